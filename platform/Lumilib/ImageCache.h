// The pictures of one window, loaded once per file. Paths are relative to the skin folder
// (CUISystem::GetResourcePath) unless absolute. A skin picture may have a 2x file beside it
// ("name@2x.png", see DoubleArtPath), taken instead while the cache is set to double art;
// absolute paths (downloaded pictures) have none. Each picture keeps the copies scaled to the
// sizes it is drawn at, so that a repaint only blends them.
#pragma once

#include <map>
#include <memory>
#include <string>

namespace Gdiplus {
class Bitmap;
}

namespace Lumi {

class CAlphaLayer;

class CImageCache {
public:
  CImageCache();
  ~CImageCache();
  CImageCache(const CImageCache&) = delete;
  CImageCache& operator=(const CImageCache&) = delete;

  // The picture, or null when the file is missing or no picture. A failure is tried again next
  // time and a file written anew is read again (a downloaded picture may arrive later).
  Gdiplus::Bitmap* Get(const std::wstring& path);
  // The picture scaled to width x height (premultiplied), made on first use; null as Get.
  const CAlphaLayer* GetScaled(const std::wstring& path, int width, int height);
  // Lets go of the scaled copies (the sizes they were made for are gone: a change of scale).
  void ForgetScaled();
  // Lets go of everything.
  void Clear();
  // Whether Get takes a skin picture's 2x file when there is one; a change lets go of the
  // pictures loaded for the other choice.
  void SetDoubleArt(bool on);

  // The file a skin path names: absolute paths as they are, others below the skin folder;
  // forward and doubled separators become one backslash.
  static std::wstring Resolve(const std::wstring& path);

private:
  struct Entry {
    Entry();
    ~Entry();
    unsigned long long writeTime = 0;
    std::unique_ptr<Gdiplus::Bitmap> picture;
    std::map<std::pair<int, int>, std::unique_ptr<CAlphaLayer>> scaled;  // by width and height
  };
  Entry* Find(const std::wstring& path);
  Entry* Load(const std::wstring& file);

  std::map<std::wstring, Entry> m_pictures;
  bool m_doubleArt = false;
};

}  // namespace Lumi
