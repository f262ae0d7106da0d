// Reads of big-endian numbers at the cursor of an IOBuffer, as both AMF formats store them.
// Each is false (and consumes nothing) when fewer bytes are available. Windows-free.
#pragma once

#include <cstdint>
#include <cstring>

#include "sharedobject/IOBuffer.h"

// The four bytes at `bytes` as one number; the caller has checked that they are there.
inline uint32_t BigEndian32At(const uint8_t* bytes) {
  return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

inline bool ReadByte(IOBuffer& buffer, uint8_t& value) {
  if (buffer.Available() < 1) {
    return false;
  }
  value = buffer.Data()[0];
  return buffer.Skip(1);
}

inline bool ReadU16(IOBuffer& buffer, uint16_t& value) {
  if (buffer.Available() < 2) {
    return false;
  }
  const uint8_t* bytes = buffer.Data();
  value = static_cast<uint16_t>(bytes[0] << 8 | bytes[1]);
  return buffer.Skip(2);
}

inline bool ReadU32(IOBuffer& buffer, uint32_t& value) {
  if (buffer.Available() < 4) {
    return false;
  }
  value = BigEndian32At(buffer.Data());
  return buffer.Skip(4);
}

// An IEEE 754 double of 8 bytes.
inline bool ReadDouble(IOBuffer& buffer, double& value) {
  if (buffer.Available() < 8) {
    return false;
  }
  const uint8_t* bytes = buffer.Data();
  uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) {
    bits = bits << 8 | bytes[i];
  }
  static_assert(sizeof bits == sizeof value, "IEEE double expected");
  std::memcpy(&value, &bits, sizeof value);
  return buffer.Skip(8);
}
