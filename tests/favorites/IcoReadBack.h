// Reading an .ico file back for the tests, independently of the writer: the directory, each
// 32-bit image's header fields, its pixels and whether its AND mask is all zero.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vxtest {

struct Pixel {
  int r, g, b;
  bool operator==(const Pixel& other) const { return r == other.r && g == other.g && b == other.b; }
};

std::ostream& operator<<(std::ostream& out, const Pixel& pixel);

// Within a few steps per channel, as scaling and JPEG coding move a flat colour.
bool Near(const Pixel& a, const Pixel& b);

struct IcoImageRead {
  int width = 0, height = 0, bitCount = 0;
  uint32_t blockSize = 0;
  int32_t headerHeight = 0;
  std::vector<uint8_t> pixels;  // as stored: bottom row first, blue, green, red, fourth byte
  bool maskAllZero = false;

  Pixel At(int x, int y) const;  // y counted from the top
};

struct IcoRead {
  bool ok = false;  // false when the file is missing or malformed
  size_t fileSize = 0;
  std::vector<IcoImageRead> images;

  std::vector<int> Sides() const;
};

std::vector<uint8_t> FileBytes(const std::wstring& path);
IcoRead ReadIco(const std::wstring& path);

}  // namespace vxtest
