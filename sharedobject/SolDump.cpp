#include "sharedobject/SolDump.h"

#include <sstream>
#include <utility>
#include <vector>

const char* VariantKindName(Variant::Kind kind) {
  switch (kind) {
    case Variant::Kind::Null: return "Null";
    case Variant::Kind::Undefined: return "Undefined";
    case Variant::Kind::Bool: return "Bool";
    case Variant::Kind::Int8: return "Int8";
    case Variant::Kind::Int16: return "Int16";
    case Variant::Kind::Int32: return "Int32";
    case Variant::Kind::Int64: return "Int64";
    case Variant::Kind::UInt8: return "UInt8";
    case Variant::Kind::UInt16: return "UInt16";
    case Variant::Kind::UInt32: return "UInt32";
    case Variant::Kind::UInt64: return "UInt64";
    case Variant::Kind::Double: return "Double";
    case Variant::Kind::Timestamp: return "Timestamp";
    case Variant::Kind::Date: return "Date";
    case Variant::Kind::Time: return "Time";
    case Variant::Kind::String: return "String";
    case Variant::Kind::TypedMap: return "TypedMap";
    case Variant::Kind::Map: return "Map";
    case Variant::Kind::ByteArray: return "ByteArray";
  }
  return "Unknown";
}

namespace {

void AppendEscaped(const std::string& bytes, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    switch (byte) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20) {
          out += "\\x";
          out += kHex[byte >> 4];
          out += kHex[byte & 0x0F];
        } else {
          out += c;
        }
    }
  }
}

}  // namespace

std::string EscapeDumpText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  AppendEscaped(bytes, out);
  return out;
}

void DumpVariantTree(const Variant& root, std::ostream& out) {
  // One level per open map: where its walk stands and how long the path was above it.
  struct Level {
    Variant::Children::const_iterator next;
    Variant::Children::const_iterator end;
    size_t pathLength;
  };
  std::vector<Level> levels;
  const Variant::Children top = root.GetChildren();
  levels.push_back({top.begin(), top.end(), 0});
  std::string path;
  std::string line;
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.end) {
      levels.pop_back();
      continue;
    }
    const auto& [key, value] = *level.next;
    ++level.next;
    path.resize(level.pathLength);
    if (levels.size() > 1) {
      path += '/';
    }
    AppendEscaped(key, path);

    line = path;
    line += '\t';
    line += VariantKindName(value.GetKind());
    line += '\t';
    AppendEscaped(value.ToString(), line);
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));

    const Variant::Children children = value.GetChildren();
    if (!children.empty()) {
      // `level` may move when the vector grows: it is not used after this.
      levels.push_back({children.begin(), children.end(), path.size()});
    }
  }
}

void DumpSolReading(bool accepted, const SolFile& file, std::ostream& out) {
  if (!accepted) {
    out << "rejected\n";
    return;
  }
  out << "ok\n";
  DumpVariantTree(file.root, out);
}

std::string SolReadingText(bool accepted, const SolFile& file) {
  std::ostringstream out;
  DumpSolReading(accepted, file, out);
  return out.str();
}
