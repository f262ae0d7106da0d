// What an album-information answer is reduced to before it is handed to the control window.
#pragma once

#include <string>

struct AlbumInfo {
  int AlbumID = 0;
  int CategoryID = 0;
  int TvID = 0;
  int PlayCount = 0;
  int SetsCount = 0;
  int TvYear = 0;
  int SourceID = 0;
  std::wstring AlbumName;   // from the ANSI code page
  std::wstring SourceName;  // from the ANSI code page
  std::string PlayUrl;      // the server's bytes, unchanged
};
