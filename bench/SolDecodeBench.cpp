// Decoding throughput of .sol files: a 1 MB AMF3 file rich in references (string, traits and
// object references, arrays of references to earlier objects) decoded with DecodeSolImage,
// against two baselines measured in the same run, interleaved: copying the same number of
// bytes into an IOBuffer, as the decoder receives them, and decoding a 1 MB AMF0 file of plain
// strings. A decode is timed with the release of what it produced. Each timed run follows an
// untimed run of the same work (see TimeAfterWarmUp), so that no series pays for the heap
// state another one left.
//   vx_sol_decode_bench [RUNS]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "bench/Figures.h"
#include "sharedobject/IOBuffer.h"
#include "sharedobject/SolFile.h"
#include "tests/solfiles/SolWriter.h"

namespace {

constexpr size_t kTargetSize = size_t{1} << 20;

// Writes AMF3 values while keeping the decoder's tables in step: strings and traits are
// written inline the first time and as references afterwards, and object positions are
// counted in the order the decoder assigns them (an object when it starts, an array or a
// date when it is complete).
class ReferenceWriter {
public:
  std::string Key(const std::string& text) {
    if (text.empty()) {
      return amf3::Text(text);
    }
    const auto found = m_strings.find(text);
    if (found != m_strings.end()) {
      return amf3::TextRef(found->second);
    }
    m_strings.emplace(text, static_cast<uint32_t>(m_strings.size()));
    return amf3::Text(text);
  }
  std::string Str(const std::string& text) { return '\x06' + Key(text); }

  // An object of `className`; `members` writes the sealed values (and, for a dynamic class,
  // the dynamic pairs and their end) once the object's position and traits are taken.
  std::string Object(const std::string& className, const std::vector<std::string>& names, bool dynamic,
                     uint32_t& position, const std::function<std::string()>& members) {
    position = m_objects++;
    std::string out = "\x0a";
    const auto found = m_traits.find(className);
    if (found != m_traits.end()) {
      out += amf3::U29(found->second << 2 | 0x01);
    } else {
      m_traits.emplace(className, static_cast<uint32_t>(m_traits.size()));
      out += amf3::U29(static_cast<uint32_t>(names.size() << 4 | (dynamic ? 0x08 : 0) | 0x03));
      out += Key(className);
      for (const std::string& name : names) {
        out += Key(name);
      }
    }
    return out + members();
  }

  std::string Array(const std::vector<std::string>& dense) {
    std::string out = amf3::Array(dense);
    ++m_objects;
    return out;
  }

  std::string Date(double milliseconds, uint32_t& position) {
    position = m_objects++;
    return amf3::Date(milliseconds);
  }

private:
  std::map<std::string, uint32_t> m_strings;
  std::map<std::string, uint32_t> m_traits;
  uint32_t m_objects = 0;
};

// Deterministic pseudo-random numbers, the same on every platform.
class Lcg {
public:
  uint32_t Next(uint32_t bound) {
    m_state = m_state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<uint32_t>(m_state >> 33) % bound;
  }

private:
  uint64_t m_state = 0x5eed;
};

// A catalogue as entries: per album an album object (its picture shared with earlier albums
// most of the time), its episodes, one entry each, and a list of references to episodes of
// earlier albums, until the file reaches 1 MB.
class CatalogueWriter {
public:
  CatalogueWriter() {
    for (int i = 0; i < 300; ++i) {
      m_titles.push_back("\xe7\xac\xac" + std::to_string(i + 1) + "\xe9\x9b\x86 Episode title " +
                        std::to_string(i * 7 % 300));
    }
  }

  std::string File() {
    for (int album = 0; m_size < kTargetSize - 1000; ++album) {
      const std::string id = std::to_string(album);
      Add("a" + id, [&] { return Album(album); });
      for (int i = 0; i < 12; ++i) {
        Add("e" + id + "_" + std::to_string(i), [&] { return Episode(album, i); });
      }
      Add("r" + id, [&] { return Related(); });
    }
    return sol::File("tavra_clientflash_common", 3, m_entries);
  }

private:
  // The key is written before its value, so it takes its string-table place first.
  void Add(const std::string& key, const std::function<std::string()>& value) {
    const std::string encodedKey = m_w.Key(key);
    m_entries.push_back({encodedKey, value()});
    m_size += encodedKey.size() + m_entries.back().second.size() + 1;
  }

  std::string Pick(const std::vector<std::string>& pool) {
    return m_w.Str(pool[m_random.Next(static_cast<uint32_t>(pool.size()))]);
  }

  static std::string AlbumName(int album) { return "Album " + std::to_string(album % 97); }

  std::string Album(int album) {
    uint32_t position = 0;
    return m_w.Object("vexo.Album", {"id", "name", "category", "picture", "tags"}, false, position, [&] {
      std::string out = amf3::Integer(100000 + static_cast<uint32_t>(album)) + m_w.Str(AlbumName(album));
      out += Pick(kCategories);
      if (m_havePicture && album % 4 != 0) {
        out += amf3::ObjectRef(m_picture);
      } else {
        out += m_w.Object("vexo.Picture", {"url", "width", "height"}, false, m_picture, [&] {
          return m_w.Str("http://pic.example/album/" + std::to_string(album) + ".jpg") + amf3::Integer(180) +
                 amf3::Integer(240);
        });
        m_havePicture = true;
      }
      std::vector<std::string> tags;
      for (int i = 0; i < 3; ++i) {
        tags.push_back(Pick(kTags));
      }
      return out + m_w.Array(tags);
    });
  }

  std::string Episode(int album, int order) {
    uint32_t position = 0;
    std::string value = m_w.Object(
        "vexo.Episode", {"id", "title", "order", "duration", "published", "album"}, true, position, [&] {
          std::string out = amf3::Integer(static_cast<uint32_t>(album * 100 + order)) + Pick(m_titles);
          out += amf3::Integer(static_cast<uint32_t>(order + 1));
          out += amf3::Double(1200.0 + m_random.Next(1800));
          if (m_haveDate && order % 4 != 0) {
            out += amf3::DateRef(m_date);
          } else {
            out += m_w.Date(1.6e12 + 86400000.0 * album + order, m_date);
            m_haveDate = true;
          }
          out += m_w.Str(AlbumName(album));
          out += m_w.Key("quality");  // the key takes its table place before the value
          out += m_w.Str(order % 2 ? "1080p" : "720p");
          return out + m_w.Key("");
        });
    m_episodes.push_back(position);
    return value;
  }

  // References to episodes of earlier albums (the current album's twelve are the last ones).
  std::string Related() {
    std::vector<std::string> related;
    for (int i = 0; i < 4 && m_episodes.size() > 12; ++i) {
      related.push_back(amf3::ObjectRef(m_episodes[m_random.Next(static_cast<uint32_t>(m_episodes.size() - 12))]));
    }
    return m_w.Array(related);
  }

  const std::vector<std::string> kCategories = {"drama", "variety", "film", "anime", "documentary", "kids", "sports"};
  const std::vector<std::string> kTags = {"new",  "hot",  "hd",        "dubbed", "classic", "family",  "award",   "series",
                                          "2023", "2024", "exclusive", "free",   "vip",     "ongoing", "finished"};
  ReferenceWriter m_w;
  Lcg m_random;
  std::vector<std::string> m_titles;
  std::vector<sol::Entry> m_entries;
  size_t m_size = 0;
  std::vector<uint32_t> m_episodes;
  uint32_t m_picture = 0;
  uint32_t m_date = 0;
  bool m_havePicture = false;
  bool m_haveDate = false;
};

std::string ReferenceRichFile() { return CatalogueWriter().File(); }

std::string PlainStringFile() {
  Lcg random;
  std::vector<sol::Entry> entries;
  size_t size = 0;
  for (int i = 0; size < kTargetSize - 100; ++i) {
    std::string text(48, ' ');
    for (char& c : text) {
      c = static_cast<char>('a' + random.Next(26));
    }
    std::string key = "s" + std::to_string(i);
    size += 2 + key.size() + 3 + text.size() + 1;
    entries.push_back({key, amf0::String(text)});
  }
  return sol::File("plain", 0, entries);
}

size_t CountValues(const Variant& value) {
  size_t count = 0;
  for (const auto& child : value.GetChildren()) {
    count += 1 + CountValues(child.second);
  }
  return count;
}

bool Decode(const std::string& image, const AMFLimits& limits = AMFLimits()) {
  SolFile file;
  return DecodeSolImage(reinterpret_cast<const uint8_t*>(image.data()), image.size(), file, limits);
}

// What the decoder charges for the file, to within 1 MiB: the smallest output bound in whole
// MiB under which it still decodes.
size_t ChargedMiB(const std::string& image) {
  size_t low = 0;                                   // fails
  size_t high = AMFLimits().maxDecodedBytes >> 20;  // decodes
  while (high - low > 1) {
    AMFLimits limits;
    const size_t middle = low + (high - low) / 2;
    limits.maxDecodedBytes = middle << 20;
    (Decode(image, limits) ? high : low) = middle;
  }
  return high;
}

struct Series {
  const char* name;
  size_t bytes = 0;
  size_t values = 0;
  std::vector<double> seconds;
  double Median() const {
    std::vector<double> sorted = seconds;
    std::sort(sorted.begin(), sorted.end());
    return sorted[sorted.size() / 2];
  }
  double Slowest() const { return *std::max_element(seconds.begin(), seconds.end()); }
  double MBps(double s) const { return static_cast<double>(bytes) / s / 1e6; }
};

// Seconds of one run of `work`, timed after an untimed run of the same work, so that the run
// finds the heap as its own kind of work leaves it. A release is not all paid when it happens:
// glibc keeps freed small blocks aside and merges them at the next large request, and may then
// hand the merged memory back to the system, so that the next user of that memory pays its page
// faults again. Timed straight after a decode, a 1 MB copy paid for merging the decode's
// 300,000 freed blocks (a floor of 30-60 MB/s instead of gigabytes per second), and the decode
// after the copy paid for faulting its memory in again.
template <typename Work>
double TimeAfterWarmUp(Work work) {
  work();
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// glibc gives the memory at the top of its heap back to the system once a release leaves more
// than a threshold there, and maps large blocks on their own: whatever follows faults those
// pages in again, at about 11 us a page on the build machines' virtual CPUs (3 ms a megabyte).
// Whether a run pays that depends on what the heap happened to merge before it, not on the
// work timed; so the bench keeps what the process has, and every series runs on memory the
// process already holds. Windows heaps are left as they are. Gives whether the heap is kept.
bool KeepHeapMemory() {
#if defined(__GLIBC__)
  return mallopt(M_TRIM_THRESHOLD, 1 << 30) == 1 && mallopt(M_MMAP_THRESHOLD, 32 << 20) == 1;
#else
  return false;
#endif
}

// The bytes copied as the decoder receives them: appended to a fresh IOBuffer, which is
// released at the end.
bool CopyIntoBuffer(const std::string& image) {
  IOBuffer buffer;
  return buffer.Append(image.data(), image.size()) && buffer.Skip(buffer.Available());
}

const char* BuildKind() {
#if defined(_WIN32)
  const char* system = "Windows";
#else
  const char* system = "native";
#endif
#if defined(__SANITIZE_ADDRESS__)
  return system[0] == 'n' ? "native, with sanitizers (figures are relative)" : "Windows, with sanitizers";
#elif defined(__OPTIMIZE__)
  return system[0] == 'n' ? "native, optimised" : "Windows, optimised";
#else
  return system[0] == 'n' ? "native, unoptimised" : "Windows, unoptimised";
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  if (runs < 1) {
    std::fprintf(stderr, "usage: vx_sol_decode_bench [RUNS]\n");
    return 2;
  }
  const bool heapKept = KeepHeapMemory();
  const std::string amf3File = ReferenceRichFile();
  const std::string amf0File = PlainStringFile();
  for (const std::string* image : {&amf3File, &amf0File}) {
    if (!Decode(*image)) {
      std::fprintf(stderr, "vx_sol_decode_bench: a generated file did not decode\n");
      return 1;
    }
  }

  Series copy{"copy into IOBuffer", amf3File.size(), 0, {}};
  Series amf0{"AMF0 plain strings", amf0File.size(), 0, {}};
  Series amf3{"AMF3 with references", amf3File.size(), 0, {}};
  {
    SolFile file;
    DecodeSolImage(reinterpret_cast<const uint8_t*>(amf0File.data()), amf0File.size(), file);
    amf0.values = CountValues(file.root);
    SolFile other;
    DecodeSolImage(reinterpret_cast<const uint8_t*>(amf3File.data()), amf3File.size(), other);
    amf3.values = CountValues(other.root);
  }

  bool decoded = true;
  for (int run = 0; run < runs; ++run) {
    copy.seconds.push_back(TimeAfterWarmUp([&] { decoded &= CopyIntoBuffer(amf3File); }));
    amf0.seconds.push_back(TimeAfterWarmUp([&] { decoded &= Decode(amf0File); }));
    amf3.seconds.push_back(TimeAfterWarmUp([&] { decoded &= Decode(amf3File); }));
  }
  if (!decoded) {
    std::fprintf(stderr, "vx_sol_decode_bench: a timed decode failed\n");
    return 1;
  }

  std::printf("sol decoding: %d runs each, interleaved; %s; %s; MB/s = 10^6 bytes per second\n", runs, BuildKind(),
              heapKept ? "glibc heap kept between runs" : "heap as the runtime keeps it");
  std::printf("%-22s %9s %8s %12s %13s %15s\n", "input", "bytes", "values", "median MB/s", "slowest MB/s",
              "median vs copy");
  for (const Series* series : {&copy, &amf0, &amf3}) {
    const std::string values = series->values ? std::to_string(series->values) : "-";
    std::printf("%-22s %9zu %8s %12.2f %13.2f %15.4f\n", series->name, series->bytes, values.c_str(),
                series->MBps(series->Median()), series->MBps(series->Slowest()),
                series->MBps(series->Median()) / copy.MBps(copy.Median()));
  }
  // One line for the summary table of ./vx bench.
  vxbench::PrintFigure("amf3_reference_rich_MBps", amf3.MBps(amf3.Median()), "baseline_copy_MBps",
                       copy.MBps(copy.Median()));
  const size_t charged = ChargedMiB(amf3File);
  std::printf("AMF3 median vs AMF0 median: %.3f; AMF3 output charged: %zu-%zu MiB of the %zu MiB bound\n",
              amf3.MBps(amf3.Median()) / amf0.MBps(amf0.Median()), charged - 1, charged,
              AMFLimits().maxDecodedBytes >> 20);
  return 0;
}
