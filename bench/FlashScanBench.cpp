// The start-up cost of finding the web player's favourite: the walk of both Flash stores with
// ten candidates (six site-host folders in each store, each holding a readable copy) and the
// whole reading of the freshest copy, against a stat of one file and the walk with no store
// roots, measured in the same run. Prints figures; asserts nothing.
//   vx_flash_scan_bench [RUNS]
// Natively the stores' bases are pointed at a scratch folder; under Windows the user's own
// stores are used, and the bench refuses to run when they exist already.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "sharedobject/DeskTVInfo.h"
#include "sharedobject/FolderSystem.h"
#include "sharedobject/SharedObjectLocator.h"
#include "tests/sharedobject/DeskTVSolImage.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Figures {
  double median = 0;
  double slowest = 0;
};

// Runs the workloads in turn, `runs` rounds, so that drift of the machine touches all alike.
std::vector<Figures> Measure(int runs, const std::vector<std::function<void()>>& workloads) {
  std::vector<std::vector<double>> times(workloads.size());
  for (int round = 0; round < runs; ++round) {
    for (size_t i = 0; i < workloads.size(); ++i) {
      const auto start = Clock::now();
      workloads[i]();
      times[i].push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }
  std::vector<Figures> figures;
  for (std::vector<double>& series : times) {
    std::sort(series.begin(), series.end());
    figures.push_back({series[series.size() / 2], series.back()});
  }
  return figures;
}

void Print(const char* what, const Figures& figures, const Figures* baseline = nullptr) {
  std::printf("  %-46s median %8.3f ms, slowest %8.3f ms", what, figures.median, figures.slowest);
  if (baseline && baseline->median > 0) std::printf("  (%.1fx the empty walk)", figures.median / baseline->median);
  std::printf("\n");
}

// The folders and files the bench plants, removed again however it ends.
class PlantedStores {
public:
  explicit PlantedStores(std::vector<std::string> bases) : m_bases(std::move(bases)) {}
  ~PlantedStores() {
    std::error_code ignored;
    for (size_t i = 0; i < m_roots.size(); ++i) {
      fs::remove_all(m_roots[i], ignored);
      // The parents up to the base, as far as the bench made them (they are empty then).
      for (fs::path parent = fs::path(m_roots[i]).parent_path(); parent.string().size() > m_bases[i].size();
           parent = parent.parent_path()) {
        if (!fs::remove(parent, ignored)) break;
      }
    }
    if (!m_scratch.empty()) fs::remove_all(m_scratch, ignored);
  }
  PlantedStores(const PlantedStores&) = delete;
  PlantedStores& operator=(const PlantedStores&) = delete;

  void AddRoot(const std::string& root) { m_roots.push_back(root); }
  void SetScratch(const std::string& scratch) { m_scratch = scratch; }

private:
  std::vector<std::string> m_bases;
  std::vector<std::string> m_roots;
  std::string m_scratch;
};

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// Six host folders in one profile of `root`, the main host among them, each with a copy.
bool PlantStore(const std::string& root, const std::string& profile, const char* prefix, std::string& onePath) {
  const std::string separator(1, folder_system::kSeparator);
  for (int i = 0; i < 6; ++i) {
    const std::string host = i == 0 ? "www.vexo.com" : prefix + std::to_string(i) + ".vexo.com";
    const std::string folder = root + separator + profile + separator + host;
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string text = "{\"AlbumID\":" + std::to_string(9000 + i) + ",\"AlbumName\":\"Bench " + host + "\"}";
    onePath = folder + separator + kClientFlashSolFile;
    if (error || !WriteFile(onePath, soltest::DeskTVSolImage(text))) return false;
  }
  return true;
}

#ifndef _WIN32
// The native stores lie below the XDG base folders: point them at a fresh scratch folder.
std::string UseScratchBases() {
  std::string scratch = (fs::temp_directory_path() / "vx-flash-bench-XXXXXX").string();
  if (!::mkdtemp(scratch.data())) return std::string();
  fs::create_directories(scratch + "/config");
  fs::create_directories(scratch + "/data");
  ::setenv("XDG_CONFIG_HOME", (scratch + "/config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
  return scratch;
}
#endif

int CountCandidates() {
  SOProcessor processor(kClientFlashSolFile);
  processor.ScanFlashRoots();
  return processor.Count();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
#ifdef _WIN32
  const char* build = "Windows";
#elif defined(__SANITIZE_ADDRESS__)
  const char* build = "native, AddressSanitizer and UndefinedBehaviorSanitizer";
#else
  const char* build = "native";
#endif

#ifndef _WIN32
  const std::string scratch = UseScratchBases();
  if (scratch.empty()) return 1;
#endif
  const std::array<std::string, 2> roots = FlashStoreRoots();
  PlantedStores planted({folder_system::RoamingDataFolder(), folder_system::LocalDataFolder()});
#ifndef _WIN32
  planted.SetScratch(scratch);
#endif
  for (const std::string& root : roots) {
    if (root.empty() || folder_system::KindOf(root) != folder_system::PathKind::kMissing) {
      std::fprintf(stderr, "flash scan bench: store root missing or already there: \"%s\"\n", root.c_str());
      return 1;
    }
  }

  // The walk with no store roots first, while neither store exists.
  const Figures emptyWalk = Measure(runs, {[] { CountCandidates(); }})[0];

  for (const std::string& root : roots) planted.AddRoot(root);
  std::string roamingCopy, localCopy;
  if (!PlantStore(roots[0], "ABCDEFGH", "r", roamingCopy) || !PlantStore(roots[1], "QRSTUVWX", "l", localCopy)) {
    std::fprintf(stderr, "flash scan bench: cannot plant the stores\n");
    return 1;
  }
  const int candidates = CountCandidates();
  const std::string favorite = ReadDeskTVInfo();

  const std::vector<Figures> figures = Measure(runs, {
      [&] { folder_system::KindOf(roamingCopy); },
      [] { FlashStoreRoots(); },
      [] { CountCandidates(); },
      [] { ReadDeskTVInfo(); },
  });

  std::printf("flash store scan (%s), %d runs, 12 site-host folders -> %d candidates, favourite %s\n", build, runs,
              candidates, favorite.empty() ? "missing" : "found");
  Print("baseline: stat of one .sol file", figures[0], &emptyWalk);
  Print("baseline: walk with no store roots", emptyWalk);
  Print("the two store base folders alone", figures[1], &emptyWalk);
  Print("ScanFlashRoots into a fresh SOProcessor", figures[2], &emptyWalk);
  Print("ReadDeskTVInfo (walk, read 10 copies, pick)", figures[3], &emptyWalk);
  return candidates == SOProcessor::kCapacity && !favorite.empty() ? 0 : 1;
}
