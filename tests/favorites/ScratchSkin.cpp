#include "tests/favorites/ScratchSkin.h"

#include <windows.h>

#include "common/GdiplusInclude.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "common/DirectoryTree.h"
#include "common/ScopedWin.h"

namespace vxtest {

namespace {

std::optional<CLSID> PngEncoder() {
  UINT count = 0, bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return std::nullopt;
  std::vector<uint8_t> buffer(bytes);
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok) return std::nullopt;
  for (UINT i = 0; i < count; ++i) {
    if (std::wstring(encoders[i].MimeType) == L"image/png") return encoders[i].Clsid;
  }
  return std::nullopt;
}

bool IsDots(const wchar_t* name) { return std::wstring(name) == L"." || std::wstring(name) == L".."; }

}  // namespace

std::wstring ShippedSkinFolder() { return BinaryFolder() + L"tcskin"; }

int CountFiles(const std::wstring& folder, const std::wstring& pattern) {
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle find(::FindFirstFileW((folder + pattern).c_str(), &found));
  if (!find) return 0;
  int count = 0;
  do {
    ++count;
  } while (::FindNextFileW(find.Get(), &found));
  return count;
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  ::CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found = {};
  ScopedFindHandle find(::FindFirstFileW((from + L"\\*").c_str(), &found));
  if (!find) return;
  do {
    if (IsDots(found.cFileName)) continue;
    const std::wstring source = from + L"\\" + found.cFileName, target = to + L"\\" + found.cFileName;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      CopyTree(source, target);
    } else {
      ::CopyFileW(source.c_str(), target.c_str(), FALSE);
    }
  } while (::FindNextFileW(find.Get(), &found));
}

void RemoveTree(const std::wstring& folder) {
  {
    WIN32_FIND_DATAW found = {};
    ScopedFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
      do {
        if (IsDots(found.cFileName)) continue;
        const std::wstring path = folder + L"\\" + found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          ::DeleteFileW(path.c_str());
        }
      } while (::FindNextFileW(find.Get(), &found));
    }
  }
  ::RemoveDirectoryW(folder.c_str());
}

ScratchSkin::ScratchSkin(Start start) : m_folder(m_scratch.Path() + L"tcskin") {
  if (start == CopyOfShipped) CopyTree(ShippedSkinFolder(), m_folder);
  ::CreateDirectoryW(m_folder.c_str(), nullptr);
}

void ScratchSkin::Remove(const std::wstring& relative) const {
  ::DeleteFileW((m_folder + L"\\" + relative).c_str());
}

void ScratchSkin::PutSolid(const std::wstring& relative, int side, uint32_t argb) const {
  const std::wstring path = m_folder + L"\\" + relative;
  CreateDirectoryTree(path.substr(0, path.find_last_of(L'\\')));
  Gdiplus::Bitmap picture(side, side, PixelFormat32bppARGB);
  Gdiplus::Graphics(&picture).Clear(Gdiplus::Color(argb));
  const std::optional<CLSID> png = PngEncoder();
  ASSERT_TRUE(png.has_value());
  ASSERT_EQ(picture.Save(path.c_str(), &*png, nullptr), Gdiplus::Ok);
}

}  // namespace vxtest
