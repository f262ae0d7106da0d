#include "favorites/IconComposer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "common/DirectoryTree.h"
#include "common/FileReplace.h"
#include "common/GdiplusInclude.h"
#include "common/ScopedGdi.h"
#include "common/TraceRecord.h"
#include "favorites/HostPaths.h"
#include "favorites/HttpFetch.h"

const std::vector<int> kAlbumIconSizes = {128, 48, 32, 16};

namespace {

constexpr wchar_t kMaskFallbackText[] =
    L"未找到%d x %d对应的Mask图片,将尝试使用%dx%d对应的Mask图片,这将降低Icon图标内%d x %d格式的效果！";
constexpr wchar_t kSizeIgnoredText[] = L"已忽略此尺寸的图片！";

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD length = ::GetTempPathW(MAX_PATH, folder);
  return length > 0 && length <= MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

void DebugText(const std::wstring& text) { ::OutputDebugStringW(text.c_str()); }

void ReportMaskFallback(int size, int fallback) {
  wchar_t text[256] = {};
  std::swprintf(text, 256, kMaskFallbackText, size, size, fallback, fallback, size, size);
  DebugText(text);
}

void DrawScaled(HDC dc, Gdiplus::Image& image, int x, int y, int side) {
  Gdiplus::Graphics graphics(dc);
  graphics.DrawImage(&image, x, y, side, side);
}

// The corner triangles: rows 0..cut-1 from the top and rows size..size-cut+1 from the bottom.
void CutCorners(HDC dc, int size, int cut, COLORREF color) {
  if (cut <= 0) return;
  ScopedPen pen(::CreatePen(PS_SOLID, 1, color));
  if (!pen) return;
  ScopedSelection selection(dc, pen.Get());
  auto line = [dc](int x0, int x1, int y) {
    ::MoveToEx(dc, x0, y, nullptr);
    ::LineTo(dc, x1, y);  // the end point is not drawn
  };
  for (int j = 0; j < cut; ++j) {
    const int d = cut - j;
    line(0, d, j);
    line(size - d, size, j);
    line(0, d, size - j);
    line(size - d, size, size - j);
  }
}

struct OverlayPlace {
  int x, y, side;
};

OverlayPlace MaskPlace(int size) { return {0, 0, size}; }
OverlayPlace BadgePlace(int size) { return {(2 * size) / 3, 0, size / 3}; }

// One size-by-size bitmap: the source scaled into it, the corners cut, the overlay over it.
ScopedBitmap ComposeOneSize(Gdiplus::Image& source, int size, int cut, COLORREF cutColor,
                            Gdiplus::Image* overlay, OverlayPlace place) {
  ScreenDc screen;
  if (!screen.Get()) return ScopedBitmap();
  ScopedMemoryDc dc(::CreateCompatibleDC(screen.Get()));
  ScopedBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), size, size));
  if (!dc || !bitmap) return ScopedBitmap();
  ScopedSelection selection(dc.Get(), bitmap.Get());
  if (!selection.IsValid()) return ScopedBitmap();

  DrawScaled(dc.Get(), source, 0, 0, size);
  CutCorners(dc.Get(), size, cut, cutColor);
  if (overlay && place.side > 0) DrawScaled(dc.Get(), *overlay, place.x, place.y, place.side);
  return bitmap;  // deselected and its device context deleted on the way out
}

bool WriteBitmaps(const std::vector<ScopedBitmap>& kept, const std::wstring& icoPath) {
  std::vector<HBITMAP> bitmaps;
  for (const ScopedBitmap& bitmap : kept) bitmaps.push_back(bitmap.Get());
  return IconComposer::WriteIcoFile(bitmaps, icoPath);
}

}  // namespace

IconComposer::IconComposer() : IconComposer(GetHostPaths().skinFolder) {}

IconComposer::IconComposer(std::wstring skinFolder)
    : CornerTable{{256, 38}, {128, 19}, {64, 10}, {48, 8}, {32, 5}, {24, 4}, {16, 3}},
      m_skinFolder(std::move(skinFolder)) {}

std::wstring IconComposer::FindSkinPicture(SkinPicture kind, int size) const {
  // First and second choice per kind, in the order of SkinPicture.
  static const wchar_t* const kChoices[][2] = {{L"\\skin\\mask\\mask_", L"\\mask\\mask_"},
                                               {L"\\mask\\mask_", L"\\mask_"},
                                               {L"\\updateIcon\\update_", L"\\update_"}};
  const auto& choices = kChoices[static_cast<int>(kind)];
  auto find = [&](int side) -> std::wstring {
    for (const wchar_t* choice : choices) {
      const std::wstring path = m_skinFolder + choice + std::to_wstring(side) + L".png";
      if (IsFile(path)) return path;
    }
    return L"";
  };
  std::wstring path = find(size);
  if (!path.empty()) return path;
  const int fallback = size == 16 ? 24 : 128;
  ReportMaskFallback(size, fallback);
  path = find(fallback);
  if (path.empty()) DebugText(kSizeIgnoredText);
  return path;
}

bool IconComposer::ComposeAlbumIcon(const std::wstring& url, const std::wstring& icoPath, COLORREF maskColor,
                                    const std::vector<int>& sizes, int episodic) const {
  const std::wstring tempFolder = TempFolder();
  if (tempFolder.empty()) return false;
  const TemporaryFile picture(tempFolder, L"~pic");
  if (picture.Path().empty()) return false;
  if (!HttpDownloadToFile(url, nullptr, 0, 0, picture.Path())) return false;
  return ComposeIconFromPicture(picture.Path(), icoPath, maskColor, sizes, episodic);
}

bool IconComposer::ComposeIconFromPicture(const std::wstring& picturePath, const std::wstring& icoPath,
                                          COLORREF maskColor, const std::vector<int>& sizes, int episodic) const {
  return Compose(picturePath, icoPath, sizes, episodic ? SkinPicture::EpisodicMask : SkinPicture::PlainMask,
                 maskColor);
}

bool IconComposer::ComposeUpdateBadgeIcon(const std::wstring& iconPath, const std::wstring& badgeIconPath,
                                          COLORREF maskColor, const std::vector<int>& sizes) const {
  return Compose(iconPath, badgeIconPath, sizes, SkinPicture::UpdateBadge, maskColor);
}

bool IconComposer::Compose(const std::wstring& sourcePath, const std::wstring& icoPath,
                           const std::vector<int>& sizes, SkinPicture overlayKind, COLORREF cutColor) const {
  if (!IsFile(sourcePath) || sizes.empty()) return false;
  auto source = std::make_unique<Gdiplus::Bitmap>(sourcePath.c_str());
  if (source->GetLastStatus() != Gdiplus::Ok) return false;

  const bool badge = overlayKind == SkinPicture::UpdateBadge;
  std::vector<ScopedBitmap> kept;
  for (const int size : sizes) {
    if (size < 1 || size > kIconMaxSide) continue;  // no .ico image can have that side
    const std::wstring overlayPath = FindSkinPicture(overlayKind, size);
    if (overlayPath.empty()) continue;
    Gdiplus::Bitmap overlay(overlayPath.c_str());
    Gdiplus::Image* drawn = overlay.GetLastStatus() == Gdiplus::Ok ? &overlay : nullptr;
    const int cut = badge ? 0 : CornerCut(size);  // a badge icon keeps the album icon's corners
    const OverlayPlace place = badge ? BadgePlace(size) : MaskPlace(size);
    ScopedBitmap bitmap = ComposeOneSize(*source, size, cut, cutColor, drawn, place);
    if (bitmap) kept.push_back(std::move(bitmap));
  }
  source.reset();  // lets go of the source file before anything is written
  return !kept.empty() && WriteBitmaps(kept, icoPath);
}

int IconComposer::CornerCut(int size) const {
  const auto found = CornerTable.find(size);
  return found == CornerTable.end() ? 0 : found->second;
}

IconImage IconComposer::BitmapToIconImage(HBITMAP bitmap) {
  if (!bitmap) return IconImage();
  ScreenDc screen;
  if (!screen.Get()) return IconImage();
  // Room for the colour masks or table GDI may put after the header when asked for the format.
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info = {};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  BITMAPINFO* asInfo = reinterpret_cast<BITMAPINFO*>(&info);
  if (!::GetDIBits(screen.Get(), bitmap, 0, 0, nullptr, asInfo, DIB_RGB_COLORS)) return IconImage();

  BITMAPINFOHEADER& header = info.header;
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  header.biHeight = std::abs(header.biHeight);
  if (header.biWidth < 1 || header.biWidth > kIconMaxSide || header.biHeight < 1 || header.biHeight > kIconMaxSide) {
    return IconImage();
  }
  std::vector<uint8_t> pixels(static_cast<size_t>(header.biWidth) * header.biHeight * 4);
  const int rows = ::GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(header.biHeight), pixels.data(), asInfo,
                               DIB_RGB_COLORS);
  if (rows != header.biHeight) return IconImage();

  IconImageHeader reported;
  reported.biWidth = header.biWidth;
  reported.biHeight = header.biHeight;
  reported.biPlanes = header.biPlanes;
  reported.biSizeImage = header.biSizeImage;
  reported.biXPelsPerMeter = header.biXPelsPerMeter;
  reported.biYPelsPerMeter = header.biYPelsPerMeter;
  reported.biClrUsed = header.biClrUsed;
  reported.biClrImportant = header.biClrImportant;
  return MakeIconImage(reported, pixels);
}

bool IconComposer::WriteIcoFile(const std::vector<HBITMAP>& bitmaps, const std::wstring& icoPath) {
  if (bitmaps.empty()) return false;
  std::vector<IconImage> images;
  images.reserve(bitmaps.size());
  for (const HBITMAP bitmap : bitmaps) images.push_back(BitmapToIconImage(bitmap));
  const std::vector<uint8_t> bytes = IcoFileBytes(images);
  if (bytes.empty()) return false;
  // The worker must never wait for a user: a file that cannot be saved leaves a trace record.
  if (!ReplaceFileContents(icoPath, bytes)) {
    WriteTrace(L"tailcast", L"WriteIcoFile : ", L"Error to open file to save! " + icoPath);
    return false;
  }
  return true;
}
