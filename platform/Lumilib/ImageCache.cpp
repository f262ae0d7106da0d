#include "platform/Lumilib/ImageCache.h"

#include "platform/Lumilib/AlphaLayer.h"
#include "platform/Lumilib/DpiScale.h"
#include "common/GdiplusInclude.h"
#include "platform/Lumilib/Render.h"
#include "platform/Lumilib/UISystem.h"

namespace Lumi {

namespace {

bool IsAbsolute(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return true;
  return !path.empty() && (path[0] == L'\\' || path[0] == L'/');
}

// Loads the file into a premultiplied copy of its own, so that the file is not kept open.
std::unique_ptr<Gdiplus::Bitmap> LoadPicture(const std::wstring& file) {
  Gdiplus::Bitmap source(file.c_str());
  if (source.GetLastStatus() != Gdiplus::Ok || source.GetWidth() == 0 || source.GetHeight() == 0) return nullptr;
  const int width = static_cast<int>(source.GetWidth());
  const int height = static_cast<int>(source.GetHeight());
  auto copy = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppPARGB);
  if (copy->GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics graphics(copy.get());
  graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
  if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
  return copy;
}

}  // namespace

CImageCache::Entry::Entry() = default;
CImageCache::Entry::~Entry() = default;

CImageCache::CImageCache() = default;
CImageCache::~CImageCache() = default;

std::wstring CImageCache::Resolve(const std::wstring& path) {
  const bool unc = path.size() >= 2 && (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
  std::wstring joined = IsAbsolute(path) ? path : CUISystem::GetInstance().GetResourcePath() + path;
  std::wstring file;
  for (wchar_t ch : joined) {
    if (ch == L'/') ch = L'\\';
    if (ch == L'\\' && !file.empty() && file.back() == L'\\') continue;
    file += ch;
  }
  return unc ? L"\\" + file : file;
}

CImageCache::Entry* CImageCache::Find(const std::wstring& path) {
  if (path.empty()) return nullptr;
  if (m_doubleArt && !IsAbsolute(path)) {
    if (Entry* entry = Load(Resolve(DoubleArtPath(path)))) return entry;
  }
  return Load(Resolve(path));
}

Gdiplus::Bitmap* CImageCache::Get(const std::wstring& path) {
  Entry* entry = Find(path);
  return entry ? entry->picture.get() : nullptr;
}

const CAlphaLayer* CImageCache::GetScaled(const std::wstring& path, int width, int height) {
  Entry* entry = Find(path);
  if (!entry || width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<CAlphaLayer>& scaled = entry->scaled[std::make_pair(width, height)];
  if (!scaled) scaled = ScalePicture(entry->picture.get(), width, height);
  return scaled.get();
}

void CImageCache::ForgetScaled() {
  for (auto& item : m_pictures) item.second.scaled.clear();
}

void CImageCache::Clear() { m_pictures.clear(); }

void CImageCache::SetDoubleArt(bool on) {
  if (on == m_doubleArt) return;
  m_doubleArt = on;
  m_pictures.clear();
}

// Looked at on every call, so that a file written anew (or arriving late) is read again.
CImageCache::Entry* CImageCache::Load(const std::wstring& file) {
  WIN32_FILE_ATTRIBUTE_DATA attributes = {};
  if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &attributes)) return nullptr;
  const unsigned long long writeTime =
      (static_cast<unsigned long long>(attributes.ftLastWriteTime.dwHighDateTime) << 32) |
      attributes.ftLastWriteTime.dwLowDateTime;
  Entry& entry = m_pictures[file];
  if (entry.picture && entry.writeTime == writeTime) return &entry;
  entry.picture = LoadPicture(file);
  entry.writeTime = writeTime;
  entry.scaled.clear();
  return entry.picture ? &entry : nullptr;
}

}  // namespace Lumi
