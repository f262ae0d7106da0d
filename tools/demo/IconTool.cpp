// Makes one album icon and its badge icon as the icon task does, and prints their paths:
//   vx_icon_tool.exe ALBUM_ID PICTURE_URL EPISODIC
// The skin is read from "tcskin" beside this program, the icons go to the client's icon folder.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Environment.h"
#include "common/ScopedGdiplus.h"
#include "common/TextConvert.h"
#include "favorites/AlbumIcons.h"

namespace {

void Print(const std::wstring& text) {
  const std::string bytes = WideToUtf8(text + L"\n");
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    Print(L"usage: vx_icon_tool.exe ALBUM_ID PICTURE_URL EPISODIC");
    return 2;
  }
  const ScopedGdiplus gdiplus;
  if (!gdiplus.IsStarted()) {
    Print(L"FAILED: GDI+ did not start");
    return 1;
  }
  SetHostPaths(CEnvironment::GetInstance().GetHostPaths());
  const int albumId = std::wcstol(argv[1], nullptr, 10);
  const int episodic = std::wcstol(argv[3], nullptr, 10);
  const std::wstring albumIcon = MakeAlbumIconFile(albumId, WideToAnsi(argv[2]), episodic);
  MakeUpdateIconFile(albumIcon);
  const std::wstring badgeIcon = UpdateIconPathFor(albumIcon);

  Print(albumIcon);
  Print(badgeIcon);
  return FileExists(albumIcon) && FileExists(badgeIcon) ? 0 : 1;
}
