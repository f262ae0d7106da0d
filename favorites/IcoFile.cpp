#include "favorites/IcoFile.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kPixelBytes = 4;
constexpr size_t kSizeImageOffset = 20;  // of biSizeImage inside the header

class LittleEndianWriter {
public:
  explicit LittleEndianWriter(std::vector<uint8_t>& out) : m_out(out) {}
  void U8(uint8_t value) { m_out.push_back(value); }
  void U16(uint16_t value) { Bytes(value, 2); }
  void U32(uint32_t value) { Bytes(value, 4); }
  void I32(int32_t value) { Bytes(static_cast<uint32_t>(value), 4); }

private:
  void Bytes(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) m_out.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  std::vector<uint8_t>& m_out;
};

void AppendHeader(const IconImageHeader& header, std::vector<uint8_t>& out) {
  LittleEndianWriter write(out);
  write.U32(header.biSize);
  write.I32(header.biWidth);
  write.I32(header.biHeight);
  write.U16(header.biPlanes);
  write.U16(header.biBitCount);
  write.U32(header.biCompression);
  write.U32(header.biSizeImage);
  write.I32(header.biXPelsPerMeter);
  write.I32(header.biYPelsPerMeter);
  write.U32(header.biClrUsed);
  write.U32(header.biClrImportant);
}

bool SideInRange(int side) { return side >= 1 && side <= kIconMaxSide; }

bool IsWellFormed(const IconImage& image) {
  return SideInRange(image.width) && SideInRange(image.height) && image.bitCount == 32 &&
         image.block.size() == IconImageBlockSize(image.width, image.height);
}

constexpr size_t kClrUsedOffset = 32;  // of biClrUsed inside the header

// The directory's one-byte colour count: biClrUsed (0 for 32-bit images), cut to a byte.
uint8_t ColourCount(const IconImage& image) { return image.block[kClrUsedOffset]; }

void AppendDirectoryEntry(const IconImage& image, uint32_t offset, std::vector<uint8_t>& out) {
  LittleEndianWriter write(out);
  write.U8(static_cast<uint8_t>(image.width % 256));
  write.U8(static_cast<uint8_t>(image.height % 256));
  write.U8(ColourCount(image));
  write.U8(0);
  write.U16(1);
  write.U16(static_cast<uint16_t>(image.bitCount));
  write.U32(static_cast<uint32_t>(image.block.size()));
  write.U32(offset);
}

}  // namespace

size_t IconMaskRowBytes(int width) { return static_cast<size_t>((width + 31) / 32) * 4; }

size_t IconImageBlockSize(int width, int height) {
  const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
  return kIconHeaderBytes + w * h * kPixelBytes + h * IconMaskRowBytes(width);
}

IconImage MakeIconImage(const IconImageHeader& reported, const std::vector<uint8_t>& pixels) {
  const int width = reported.biWidth;
  const int height = std::abs(reported.biHeight);
  if (!SideInRange(width) || !SideInRange(height)) return IconImage();
  if (pixels.size() != static_cast<size_t>(width) * height * kPixelBytes) return IconImage();

  IconImageHeader header = reported;
  header.biSize = kIconHeaderBytes;
  header.biHeight = 2 * height;
  header.biBitCount = 32;
  header.biCompression = 0;

  IconImage image;
  image.width = width;
  image.height = height;
  image.block.reserve(IconImageBlockSize(width, height));
  AppendHeader(header, image.block);
  image.block.insert(image.block.end(), pixels.begin(), pixels.end());
  image.block.resize(IconImageBlockSize(width, height), 0);  // the AND mask
  return image;
}

std::vector<uint8_t> IcoFileBytes(const std::vector<IconImage>& images) {
  if (images.empty() || images.size() > UINT16_MAX) return {};
  size_t total = kIcoFileHeaderBytes + kIcoDirectoryEntryBytes * images.size();
  for (const IconImage& image : images) {
    if (!IsWellFormed(image)) return {};
    total += image.block.size();
  }
  if (total > UINT32_MAX) return {};

  std::vector<uint8_t> file;
  file.reserve(total);
  LittleEndianWriter write(file);
  write.U16(0);
  write.U16(1);
  write.U16(static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(kIcoFileHeaderBytes + kIcoDirectoryEntryBytes * images.size());
  for (const IconImage& image : images) {
    AppendDirectoryEntry(image, offset, file);
    offset += static_cast<uint32_t>(image.block.size());
  }
  for (const IconImage& image : images) {
    const size_t start = file.size();
    file.insert(file.end(), image.block.begin(), image.block.end());
    std::memset(file.data() + start + kSizeImageOffset, 0, 4);
  }
  return file;
}
