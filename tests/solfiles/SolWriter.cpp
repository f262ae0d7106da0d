#include "tests/solfiles/SolWriter.h"

#include <cstring>
#include <stdexcept>

namespace {

void PutU16(std::string& out, uint32_t value) {
  out += static_cast<char>(value >> 8 & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void PutU32(std::string& out, uint32_t value) {
  PutU16(out, value >> 16);
  PutU16(out, value & 0xFFFF);
}

void PutDouble(std::string& out, double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  for (int shift = 56; shift >= 0; shift -= 8) {
    out += static_cast<char>(bits >> shift & 0xFF);
  }
}

std::string Marker(uint8_t marker) { return std::string(1, static_cast<char>(marker)); }

uint32_t Length32(const std::string& text) {
  if (text.size() > 0xFFFFFFFFu) {
    throw std::length_error("text too long for a 32-bit length");
  }
  return static_cast<uint32_t>(text.size());
}

// An inline U29 header: the value shifted left by one with the inline bit set.
std::string InlineHeader(size_t value) {
  if (value >= (uint32_t{1} << 28)) {
    throw std::length_error("too long for a U29 header");
  }
  return amf3::U29(static_cast<uint32_t>(value << 1 | 1));
}

std::string ReferenceHeader(uint32_t index) {
  if (index >= (uint32_t{1} << 28)) {
    throw std::length_error("reference index beyond a U29 header");
  }
  return amf3::U29(index << 1);
}

}  // namespace

namespace amf0 {

std::string Number(double value) {
  std::string out = Marker(0x00);
  PutDouble(out, value);
  return out;
}

std::string Boolean(uint8_t byte) { return Marker(0x01) + static_cast<char>(byte); }

std::string Key(const std::string& text) {
  if (text.size() > 0xFFFF) {
    throw std::length_error("text too long for a short string");
  }
  std::string out;
  PutU16(out, static_cast<uint32_t>(text.size()));
  return out + text;
}

std::string String(const std::string& text) {
  return text.size() > 0xFFFF ? LongString(text) : Marker(0x02) + Key(text);
}

std::string LongString(const std::string& text) {
  std::string out = Marker(0x0C);
  PutU32(out, Length32(text));
  return out + text;
}

std::string Null() { return Marker(0x05); }
std::string Undefined() { return Marker(0x06); }

namespace {

std::string PairsAndEnd(const std::vector<Pair>& pairs) {
  std::string out;
  for (const auto& [key, value] : pairs) {
    out += Key(key) + value;
  }
  return out + std::string("\x00\x00\x09", 3);
}

}  // namespace

std::string Object(const std::vector<Pair>& pairs) { return Marker(0x03) + PairsAndEnd(pairs); }

std::string EcmaArray(const std::vector<Pair>& counted, const std::vector<Pair>& more) {
  std::string out = Marker(0x08);
  PutU32(out, static_cast<uint32_t>(counted.size()));
  for (const auto& [key, value] : counted) {
    out += Key(key) + value;
  }
  return out + PairsAndEnd(more);
}

std::string StrictArray(const std::vector<std::string>& values) {
  std::string out = Marker(0x0A);
  PutU32(out, static_cast<uint32_t>(values.size()));
  for (const std::string& value : values) {
    out += value;
  }
  return out;
}

std::string Date(double milliseconds, int16_t timeZone) {
  std::string out = Marker(0x0B);
  PutDouble(out, milliseconds);
  PutU16(out, static_cast<uint16_t>(timeZone));
  return out;
}

std::string SwitchToAmf3(const std::string& amf3Value) { return Marker(0x11) + amf3Value; }

}  // namespace amf0

namespace amf3 {

std::string U29(uint32_t value) {
  std::string out;
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x4000) {
    out += static_cast<char>(value >> 7 | 0x80);
    out += static_cast<char>(value & 0x7F);
  } else if (value < 0x200000) {
    out += static_cast<char>(value >> 14 | 0x80);
    out += static_cast<char>((value >> 7 & 0x7F) | 0x80);
    out += static_cast<char>(value & 0x7F);
  } else if (value < 0x20000000) {
    out += static_cast<char>(value >> 22 | 0x80);
    out += static_cast<char>((value >> 15 & 0x7F) | 0x80);
    out += static_cast<char>((value >> 8 & 0x7F) | 0x80);
    out += static_cast<char>(value & 0xFF);
  } else {
    throw std::length_error("value beyond 29 bits");
  }
  return out;
}

std::string Undefined() { return Marker(0x00); }
std::string Null() { return Marker(0x01); }
std::string False() { return Marker(0x02); }
std::string True() { return Marker(0x03); }
std::string Integer(uint32_t value) { return Marker(0x04) + U29(value); }

std::string Double(double value) {
  std::string out = Marker(0x05);
  PutDouble(out, value);
  return out;
}

std::string Text(const std::string& text) { return InlineHeader(text.size()) + text; }
std::string TextRef(uint32_t index) { return ReferenceHeader(index); }
std::string String(const std::string& text) { return Marker(0x06) + Text(text); }
std::string StringRef(uint32_t index) { return Marker(0x06) + TextRef(index); }

std::string Date(double milliseconds) {
  std::string out = Marker(0x08) + InlineHeader(0);
  PutDouble(out, milliseconds);
  return out;
}

std::string DateRef(uint32_t index) { return Marker(0x08) + ReferenceHeader(index); }

std::string Array(const std::vector<std::string>& dense, const std::vector<Pair>& associative) {
  std::string out = Marker(0x09) + InlineHeader(dense.size());
  for (const auto& [key, value] : associative) {
    out += key + value;
  }
  out += Text("");
  for (const std::string& value : dense) {
    out += value;
  }
  return out;
}

std::string ArrayRef(uint32_t index) { return Marker(0x09) + ReferenceHeader(index); }

namespace {

std::string Members(bool dynamic, const std::vector<std::string>& sealed,
                    const std::vector<Pair>& dynamicPairs) {
  std::string out;
  for (const std::string& value : sealed) {
    out += value;
  }
  if (dynamic) {
    for (const auto& [key, value] : dynamicPairs) {
      out += key + value;
    }
    out += Text("");
  }
  return out;
}

}  // namespace

std::string Object(const std::string& className, const std::vector<std::string>& members,
                   bool dynamic, const std::vector<std::string>& sealed,
                   const std::vector<Pair>& dynamicPairs) {
  if (members.size() >= (size_t{1} << 25)) {
    throw std::length_error("too many members for a traits header");
  }
  const auto header = static_cast<uint32_t>(members.size() << 4 | (dynamic ? 0x08 : 0) | 0x03);
  std::string out = Marker(0x0A) + U29(header) + className;
  for (const std::string& member : members) {
    out += member;
  }
  return out + Members(dynamic, sealed, dynamicPairs);
}

std::string ObjectWithTraitsRef(uint32_t traitsIndex, bool dynamic,
                                const std::vector<std::string>& sealed,
                                const std::vector<Pair>& dynamicPairs) {
  if (traitsIndex >= (uint32_t{1} << 27)) {
    throw std::length_error("traits index beyond a U29 header");
  }
  return Marker(0x0A) + U29(traitsIndex << 2 | 0x01) + Members(dynamic, sealed, dynamicPairs);
}

std::string ObjectRef(uint32_t index) { return Marker(0x0A) + ReferenceHeader(index); }

std::string Externalizable(const std::string& className, const std::string& value) {
  return Marker(0x0A) + U29(0x07) + className + value;
}

std::string ArrayCollection(const std::string& value) {
  return Externalizable(Text("flex.messaging.io.ArrayCollection"), value);
}

std::string ByteArray(const std::string& bytes) { return Marker(0x0C) + InlineHeader(bytes.size()) + bytes; }
std::string ByteArrayRef(uint32_t index) { return Marker(0x0C) + ReferenceHeader(index); }

}  // namespace amf3

namespace sol {

std::string File(const std::string& name, int version, const std::vector<Entry>& entries,
                 const std::string& tail) {
  std::string body("TCSO\x00\x04\x00\x00\x00\x00", 10);
  body += amf0::Key(name);
  body += std::string(3, '\0');
  body += static_cast<char>(version);
  for (size_t i = 0; i < entries.size(); ++i) {
    body += version == 0 ? amf0::Key(entries[i].first) : entries[i].first;
    body += entries[i].second;
    if (i + 1 < entries.size()) {
      body += '\0';
    }
  }
  body += tail;
  std::string out("\x00\xBF", 2);
  PutU32(out, Length32(body));
  return out + body;
}

}  // namespace sol
