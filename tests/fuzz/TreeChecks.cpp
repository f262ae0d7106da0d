#include "tests/fuzz/TreeChecks.h"

#include <algorithm>
#include <ctime>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "sharedobject/SolDump.h"

namespace {

// Counts the dump's lines and checks that each has two tabs, keeping nothing.
class LineChecker : public std::streambuf {
public:
  size_t Lines() const { return m_lines; }
  bool Complete() const { return m_tabs == 0; }

protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) {
      Take(traits_type::to_char_type(c));
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* data, std::streamsize size) override {
    for (std::streamsize i = 0; i < size; ++i) {
      Take(data[i]);
    }
    return size;
  }

private:
  void Take(char c) {
    if (c == '\t') {
      ++m_tabs;
    } else if (c == '\n') {
      FUZZ_CHECK(m_tabs == 2);
      m_tabs = 0;
      ++m_lines;
    } else {
      FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
    }
  }

  size_t m_lines = 0;
  size_t m_tabs = 0;
};

struct Walk {
  size_t values = 0;
  size_t heldBytes = 0;  // what the decoders must have charged at least
  size_t height = 0;
  size_t dumpBytes = 0;  // a bound of the dump's size
};

bool DecoderKind(Variant::Kind kind) {
  switch (kind) {
    case Variant::Kind::Null:
    case Variant::Kind::Bool:
    case Variant::Kind::UInt32:
    case Variant::Kind::Double:
    case Variant::Kind::Timestamp:
    case Variant::Kind::String:
    case Variant::Kind::TypedMap:
    case Variant::Kind::Map:
    case Variant::Kind::ByteArray:
      return true;
    default:
      return false;
  }
}

void CheckOne(const Variant& value) {
  const Variant::Kind kind = value.GetKind();
  FUZZ_CHECK(DecoderKind(kind));
  FUZZ_CHECK(value.IsMap() == (kind == Variant::Kind::Map || kind == Variant::Kind::TypedMap));
  FUZZ_CHECK(value.ChildCount() == value.GetChildren().size());
  FUZZ_CHECK(value.IsMap() || value.ChildCount() == 0);
  FUZZ_CHECK(kind == Variant::Kind::TypedMap || value.ClassName().empty());
  FUZZ_CHECK(!value.IsArray() || value.IsMap());  // a class name may come to an array later
  if (kind == Variant::Kind::Timestamp) {
    const std::tm* time = value.CalendarTime();
    FUZZ_CHECK(time != nullptr);
    FUZZ_CHECK(time->tm_year >= 70);  // nothing before 1970 can be held
    FUZZ_CHECK(SecondsFromCalendar(*time) >= 0);
    FUZZ_CHECK(value.ToString().size() == 23);
  } else {
    FUZZ_CHECK(value.CalendarTime() == nullptr);
  }
}

}  // namespace

size_t CheckDecodedTree(const Variant& value, const AMFLimits& limits, size_t extraLevels) {
  Walk walk;
  // Depth-first without recursion: the tree's height is what is being checked.
  struct Open {
    const Variant* value;
    size_t depth;
    size_t pathBytes;
  };
  std::vector<Open> open{{&value, 0, 0}};
  CheckOne(value);
  while (!open.empty()) {
    const Open current = open.back();
    open.pop_back();
    walk.height = std::max(walk.height, current.depth);
    for (const auto& [key, child] : current.value->GetChildren()) {
      CheckOne(child);
      const std::string text = child.ToString();
      ++walk.values;
      walk.heldBytes += AMFLimits::kValueCost + (child.GetKind() == Variant::Kind::String ||
                                                         child.GetKind() == Variant::Kind::ByteArray
                                                     ? text.size()
                                                     : 0);
      const size_t pathBytes = current.pathBytes + 1 + 4 * key.size();
      walk.dumpBytes += pathBytes + 16 + 4 * text.size();
      open.push_back({&child, current.depth + 1, pathBytes});
    }
  }
  // Each AMF3 object level may hold its sealed members one level further down, in its
  // "____traits____" map, which is not a decoded value of its own and is not charged as one.
  FUZZ_CHECK(walk.height <= 2 * limits.maxDepth + extraLevels);
  FUZZ_CHECK(walk.heldBytes <= 2 * limits.maxDecodedBytes);

  if (walk.dumpBytes <= (size_t{8} << 20)) {
    LineChecker lines;
    std::ostream out(&lines);
    DumpVariantTree(value, out);
    FUZZ_CHECK(lines.Complete());
    FUZZ_CHECK(lines.Lines() == walk.values);
  }
  return walk.dumpBytes;
}

size_t VisibleBytes(const Variant& value) {
  size_t bytes = AMFLimits::kValueCost + value.StoredBytes().size() + value.ClassName().size();
  for (const auto& [key, child] : value.GetChildren()) {
    bytes += key.size() + VisibleBytes(child);
  }
  return bytes;
}
