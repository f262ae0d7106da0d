// One remembered desk favourite: a row of the "shortcut" table. Texts are bytes in the
// system ANSI code page.
#pragma once

#include <cstdint>
#include <string>

struct ShortcutRecord {
  std::string strLNK;            // full path of the .lnk on the desktop
  std::string strIconName;       // full path of the icon the shortcut shows
  std::string strAlbumName;      // cleaned album name; the key
  std::string strTips;           // display title
  std::string strStartupParams;  // the shortcut's arguments
  int32_t nAlbumID = 0;
  int32_t nChannelID = 0;
  int32_t nFinished = 0;
  int32_t iChannelID = 0;
  std::string strVideoURL;  // play page address, without the source tag
  std::string strSourceName;
  int32_t iSourceCode = 0;
  int32_t iTvYear = 0;
  int32_t iInfoType = 0;  // 0 web shortcut, 1 client shortcut
  int64_t rowId = -1;
};
