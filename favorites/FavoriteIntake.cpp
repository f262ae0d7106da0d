#include "favorites/FavoriteIntake.h"

#include <windows.h>

#include "common/TraceRecord.h"
#include "favorites/DeskFavorInfo.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"
#include "sharedobject/DeskTVInfo.h"

namespace {

// Both roads make a web shortcut, whatever kind the text names.
DeskFavorRequest WebRequestOf(const DeskFavorInfo& info) {
  DeskFavorRequest request = MakeDeskFavorRequest(info);
  request.InfoType = 0;
  return request;
}

}  // namespace

bool TakeFavoriteText(const std::wstring& text) {
  if (text.empty()) return false;
  DeskFavorInfo info;
  if (!ParserDeskFavorInfo(text, info)) return false;  // not a favourite: no shortcut for album 0
  DeskFavorRequest request = WebRequestOf(info);
  if (CreateDeskFavor(&request) == 0) return false;
  WriteTrace(L"tailcast", L"CreateDeskFavor : ", L"true");
  return true;
}

void TakeFlashFavorite() {
  DeskFavorInfo info;
  if (!GetAndParseFlashCookieInfo(info)) {
    WriteTrace(L"tailcast", L"GetInfoFromFlashPtr: ", L"false");
    return;
  }
  DeleteConsumedSolFiles();
  DeskFavorRequest request = WebRequestOf(info);
  WriteTrace(L"tailcast", L"FlashInfo MovieName is : ", request.AlbumName);
  if (request.AlbumName.empty() || FindShortcutByAlbum(request.AlbumID)) return;
  if (CreateDeskFavor(&request) != 0) WriteTrace(L"tailcast", L"FlashCookie CreateDeskFavor : ", L"true");
}

void RemoveDeskFavorites() {
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) ::DeleteFileW(shortcut.lnk.c_str());
}
