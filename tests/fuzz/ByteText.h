// Byte strings as wide strings and back, one byte to one character: the fuzz targets widen the
// parsers' UTF-8 texts this way, so that every byte survives a round trip.
#pragma once

#include <string>

inline std::wstring WidenBytes(const std::string& bytes) {
  std::wstring wide;
  wide.reserve(bytes.size());
  for (const char byte : bytes) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(byte)));
  return wide;
}

inline std::string NarrowBytes(const std::wstring& wide) {
  std::string bytes;
  bytes.reserve(wide.size());
  for (const wchar_t character : wide) bytes.push_back(static_cast<char>(character));
  return bytes;
}
