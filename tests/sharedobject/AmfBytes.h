// Builders of AMF0, AMF3 and shared-object file byte sequences for the decoder tests:
// markers, big-endian numbers, strings with and without markers, reference headers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace amf {

using Bytes = std::vector<uint8_t>;

// Byte by byte: GCC 12 at -O3 warns falsely (array-bounds) about a range insert here.
inline Bytes& operator+=(Bytes& left, const Bytes& right) {
  for (const uint8_t byte : right) left.push_back(byte);
  return left;
}

inline Bytes operator+(Bytes left, const Bytes& right) {
  left += right;
  return left;
}

inline Bytes U16(uint16_t value) { return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)}; }

inline Bytes U32(uint32_t value) {
  return {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16),
          static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

inline Bytes Double(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  Bytes bytes;
  for (int shift = 56; shift >= 0; shift -= 8) {
    bytes.push_back(static_cast<uint8_t>(bits >> shift));
  }
  return bytes;
}

inline Bytes Raw(const std::string& text) { return Bytes(text.begin(), text.end()); }

// AMF0: a key or name is a length and bytes, without marker.
inline Bytes Name(const std::string& text) { return U16(static_cast<uint16_t>(text.size())) + Raw(text); }
inline Bytes Number(double value) { return Bytes{0x00} + Double(value); }
inline Bytes String(const std::string& text) { return Bytes{0x02} + Name(text); }
inline Bytes Null() { return {0x05}; }
inline Bytes Date(double milliseconds) { return Bytes{0x0B} + Double(milliseconds) + U16(0); }
inline const Bytes kEnd = {0x00, 0x00, 0x09};

// AMF3: the variable-length 29-bit integer.
inline Bytes U29(uint32_t value) {
  value &= 0x1FFFFFFF;
  if (value < 0x80) {
    return {static_cast<uint8_t>(value)};
  }
  if (value < 0x4000) {
    return {static_cast<uint8_t>(value >> 7 | 0x80), static_cast<uint8_t>(value & 0x7F)};
  }
  if (value < 0x200000) {
    return {static_cast<uint8_t>(value >> 14 | 0x80), static_cast<uint8_t>(value >> 7 | 0x80),
            static_cast<uint8_t>(value & 0x7F)};
  }
  return {static_cast<uint8_t>(value >> 22 | 0x80), static_cast<uint8_t>(value >> 15 | 0x80),
          static_cast<uint8_t>(value >> 8 | 0x80), static_cast<uint8_t>(value)};
}
// An inline string without marker (a key, a member or class name) and a reference to one.
inline Bytes Text3(const std::string& text) {
  return U29(static_cast<uint32_t>(text.size()) << 1 | 1) + Raw(text);
}
inline Bytes TextRef3(uint32_t index) { return U29(index << 1); }
inline const Bytes kEmpty3 = {0x01};  // the empty text: ends the keys of arrays and objects
inline Bytes String3(const std::string& text) { return Bytes{0x06} + Text3(text); }
inline Bytes Integer3(uint32_t value) { return Bytes{0x04} + U29(value); }
inline Bytes Double3(double value) { return Bytes{0x05} + Double(value); }
inline Bytes ObjectRef3(uint32_t index) { return Bytes{0x0A} + U29(index << 1); }

// A whole shared-object file: header, name, version and the entries as given (each entry
// already followed by its pad byte).
inline Bytes SolImage(const std::string& name, uint8_t version, const Bytes& entries) {
  const Bytes afterLength = Raw("TCSO") + Bytes{0x00, 0x04, 0x00, 0x00, 0x00, 0x00} + Name(name) +
                            Bytes{0x00, 0x00, 0x00, version} + entries;
  return Bytes{0x00, 0xBF} + U32(static_cast<uint32_t>(afterLength.size())) + afterLength;
}

}  // namespace amf
