// The .ico file as the program writes it: 32-bit images, each kept as one block of a
// 40-byte bitmap header, the pixels and the AND mask. All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The fields of a BITMAPINFOHEADER, in their order in the file.
struct IconImageHeader {
  uint32_t biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;
  uint16_t biPlanes = 1;
  uint16_t biBitCount = 32;
  uint32_t biCompression = 0;
  uint32_t biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  uint32_t biClrUsed = 0;
  uint32_t biClrImportant = 0;
};

// One image of an icon. `block` holds the header (biHeight = 2 x height), width x height
// pixels of 4 bytes each (bottom row first; blue, green, red, fourth byte), then the AND
// mask: height rows of IconMaskRowBytes(width) zero bytes, so every pixel is opaque.
struct IconImage {
  int width = 0;
  int height = 0;
  int bitCount = 32;
  std::vector<uint8_t> block;

  bool IsValid() const { return !block.empty(); }
};

inline constexpr size_t kIconHeaderBytes = 40;
inline constexpr size_t kIcoFileHeaderBytes = 6;
inline constexpr size_t kIcoDirectoryEntryBytes = 16;
inline constexpr int kIconMaxSide = 256;

size_t IconMaskRowBytes(int width);
// Header, pixels and mask of a 32-bit image: 128 -> 67624, 48 -> 9640, 32 -> 4264, 16 -> 1128.
size_t IconImageBlockSize(int width, int height);

// The block for the pixels a bitmap gave and the header its owner reported for them. The
// header is made that of a 32-bit uncompressed icon image (biSize 40, biBitCount 32,
// biCompression 0, biHeight twice the height); its other fields are kept. An invalid image
// when a side is outside 1..256 or `pixels` is not width x height x 4 bytes long.
IconImage MakeIconImage(const IconImageHeader& reported, const std::vector<uint8_t>& pixels);

// The whole file: reserved 0, type 1, the image count, one 16-byte directory entry per
// image and the blocks in list order (each with biSizeImage written as 0). Empty when the
// list is empty or holds an invalid image.
std::vector<uint8_t> IcoFileBytes(const std::vector<IconImage>& images);
