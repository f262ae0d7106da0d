#include "tests/favorites/IcoReadBack.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "common/ScopedWin.h"

namespace vxtest {

namespace {

uint32_t U16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }

bool ReadImage(const std::vector<uint8_t>& file, size_t entry, IcoImageRead& image) {
  image.width = file[entry] ? file[entry] : 256;
  image.height = file[entry + 1] ? file[entry + 1] : 256;
  image.bitCount = static_cast<int>(U16(file, entry + 6));
  image.blockSize = U32(file, entry + 8);
  const size_t offset = U32(file, entry + 12);
  if (image.bitCount != 32 || image.blockSize < 40 || offset + image.blockSize > file.size()) return false;
  if (static_cast<int>(U32(file, offset + 4)) != image.width) return false;
  image.headerHeight = static_cast<int32_t>(U32(file, offset + 8));
  const size_t pixelBytes = static_cast<size_t>(image.width) * image.height * 4;
  const size_t maskBytes = static_cast<size_t>(image.height) * ((image.width + 31) / 32) * 4;
  if (40 + pixelBytes + maskBytes != image.blockSize) return false;
  const auto pixels = file.begin() + static_cast<std::ptrdiff_t>(offset + 40);
  const auto mask = pixels + static_cast<std::ptrdiff_t>(pixelBytes);
  image.pixels.assign(pixels, mask);
  image.maskAllZero =
      std::all_of(mask, mask + static_cast<std::ptrdiff_t>(maskBytes), [](uint8_t b) { return b == 0; });
  return true;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Pixel& pixel) {
  return out << "(" << pixel.r << "," << pixel.g << "," << pixel.b << ")";
}

bool Near(const Pixel& a, const Pixel& b) {
  constexpr int kTolerance = 28;
  return std::abs(a.r - b.r) <= kTolerance && std::abs(a.g - b.g) <= kTolerance && std::abs(a.b - b.b) <= kTolerance;
}

Pixel IcoImageRead::At(int x, int y) const {
  const size_t i = (static_cast<size_t>(height - 1 - y) * width + x) * 4;
  return {pixels.at(i + 2), pixels.at(i + 1), pixels.at(i)};
}

std::vector<int> IcoRead::Sides() const {
  std::vector<int> sides;
  for (const IcoImageRead& image : images) sides.push_back(image.width);
  return sides;
}

std::vector<uint8_t> FileBytes(const std::wstring& path) {
  ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return {};
  std::vector<uint8_t> bytes(::GetFileSize(file.Get(), nullptr));
  DWORD read = 0;
  if (!bytes.empty() && !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return {};
  }
  bytes.resize(read);
  return bytes;
}

IcoRead ReadIco(const std::wstring& path) {
  IcoRead ico;
  const std::vector<uint8_t> file = FileBytes(path);
  ico.fileSize = file.size();
  if (file.size() < 6 || U16(file, 0) != 0 || U16(file, 2) != 1) return ico;
  const size_t count = U16(file, 4);
  if (file.size() < 6 + 16 * count) return ico;
  for (size_t i = 0; i < count; ++i) {
    IcoImageRead image;
    if (!ReadImage(file, 6 + 16 * i, image)) return ico;
    ico.images.push_back(std::move(image));
  }
  ico.ok = true;
  return ico;
}

}  // namespace vxtest
