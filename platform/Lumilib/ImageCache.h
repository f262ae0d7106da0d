// The pictures of one window, loaded once per path. Paths are relative to the skin folder
// (CUISystem::GetResourcePath) unless absolute.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace Gdiplus {
class Bitmap;
}

namespace Lumi {

class CImageCache {
public:
  CImageCache();
  ~CImageCache();
  CImageCache(const CImageCache&) = delete;
  CImageCache& operator=(const CImageCache&) = delete;

  // The picture, or null when the file is missing or no picture. A failure is tried again next
  // time and a file written anew is read again (a downloaded picture may arrive later).
  Gdiplus::Bitmap* Get(const std::wstring& path);

  // The file a skin path names: absolute paths as they are, others below the skin folder;
  // forward and doubled separators become one backslash.
  static std::wstring Resolve(const std::wstring& path);

private:
  struct Entry {
    unsigned long long writeTime = 0;
    std::unique_ptr<Gdiplus::Bitmap> picture;
  };
  std::map<std::wstring, Entry> m_pictures;
};

}  // namespace Lumi
