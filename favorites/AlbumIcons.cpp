#include "favorites/AlbumIcons.h"

#include <windows.h>

#include "common/DirectoryTree.h"
#include "common/PathText.h"
#include "common/TextConvert.h"
#include "favorites/HostPaths.h"
#include "favorites/IconComposer.h"

namespace {

std::wstring IconBeside(const std::wstring& iconName, const wchar_t* prefix, int albumId) {
  return FolderOf(iconName) + prefix + std::to_wstring(albumId) + L".ico";
}

}  // namespace

std::wstring MakeAlbumIconFile(int albumId, const std::string& picUrlAnsi, int episodic) {
  const std::wstring folder = AlbumIconFolder();
  if (folder.empty()) return L"";
  const std::wstring path = folder + L"album_" + std::to_wstring(albumId) + L".ico";
  if (IsFile(path)) return path;  // an album's icon is made once
  try {
    CreateDirectoryTree(folder);
    IconComposer().ComposeAlbumIcon(AnsiToWide(picUrlAnsi), path, RGB(0, 0, 0), kAlbumIconSizes, episodic);
  } catch (...) {
    return L"";
  }
  return path;
}

void MakeUpdateIconFile(const std::wstring& iconPath) {
  if (!IsFile(iconPath)) return;
  try {
    IconComposer().ComposeUpdateBadgeIcon(iconPath, UpdateIconPathFor(iconPath), RGB(0, 0, 0), kAlbumIconSizes);
  } catch (...) {
    // nothing reaches the icon task; the badge icon is simply not renewed
  }
}

std::wstring UpdateIconPathFor(const std::wstring& iconPath) {
  return FolderOf(iconPath) + L"update" + FileNameOf(iconPath);
}

std::wstring AlbumIconBeside(const std::wstring& iconName, int albumId) {
  return IconBeside(iconName, L"album_", albumId);
}

std::wstring BadgeIconBeside(const std::wstring& iconName, int albumId) {
  return IconBeside(iconName, L"updatealbum_", albumId);
}

bool IsBadgeIcon(const std::wstring& iconName) { return FileNameOf(iconName).find(L"update") != std::wstring::npos; }
