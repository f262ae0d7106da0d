// Album icons for desk favourites: the album picture scaled to each icon size, its corners
// cut in the mask colour and the skin's mask frame drawn over it, saved as a multi-size
// 32-bit .ico; and the "update" badge icon made from an album icon. Runs on the icon worker
// thread. GDI+ must already be started for the process.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "favorites/IcoFile.h"

class IconComposer {
public:
  // Skin pictures from the skin folder beside the program (the host paths' skin folder).
  IconComposer();
  // Skin pictures from another folder (no trailing backslash).
  explicit IconComposer(std::wstring skinFolder);

  const std::wstring& SkinFolder() const { return m_skinFolder; }

  // Downloads `url` to a temporary file and composes it; false when the download fails.
  bool ComposeAlbumIcon(const std::wstring& url, const std::wstring& icoPath, COLORREF maskColor,
                        const std::vector<int>& sizes, int episodic) const;
  // One image per size that has a mask (or a fall-back mask), in `sizes` order.
  bool ComposeIconFromPicture(const std::wstring& picturePath, const std::wstring& icoPath, COLORREF maskColor,
                              const std::vector<int>& sizes, int episodic) const;
  // The album icon at `iconPath` with the badge in the top-right third, written to `badgeIconPath`.
  bool ComposeUpdateBadgeIcon(const std::wstring& iconPath, const std::wstring& badgeIconPath, COLORREF maskColor,
                              const std::vector<int>& sizes) const;

  // The bitmap's pixels as a 32-bit icon image (invalid when GDI cannot read it).
  static IconImage BitmapToIconImage(HBITMAP bitmap);
  // Writes the bitmaps as one .ico; false (and a trace record) when it cannot be written.
  // The file appears complete or not at all: it is written beside `icoPath` and renamed.
  static bool WriteIcoFile(const std::vector<HBITMAP>& bitmaps, const std::wstring& icoPath);

  // Icon side in pixels -> length of the corner cut; a side not listed is not cut.
  const std::map<int, int> CornerTable;

private:
  enum class SkinPicture { PlainMask, EpisodicMask, UpdateBadge };
  // The skin picture for `size`, else the one for the fall-back size; "" when neither exists.
  std::wstring FindSkinPicture(SkinPicture kind, int size) const;
  bool Compose(const std::wstring& sourcePath, const std::wstring& icoPath, const std::vector<int>& sizes,
               SkinPicture overlayKind, COLORREF cutColor) const;
  int CornerCut(int size) const;

  std::wstring m_skinFolder;
};

// The icon sizes of both icon kinds, in .ico directory order.
extern const std::vector<int> kAlbumIconSizes;
