// A desk favourite as the web player or the client hands it over (a small JSON text),
// and the request that the shortcut writer takes.
#pragma once

#include <string>

struct DeskFavorInfo {
  int ChannelID = 0;
  int AlbumID = 0;
  std::wstring AlbumName;
  std::wstring PicUrl;
  std::wstring VideoUrl;
  std::wstring SourceName;  // JSON key "SouceName", spelled so on the wire
  int SourceCode = 0;       // JSON key "SouceCode"
  int TvYear = 0;
  int InfoType = 0;         // JSON key "Type": 0 web shortcut, 1 client shortcut
};

struct DeskFavorRequest {
  std::wstring AlbumName;
  int AlbumID = 0;
  int Charge = 0;
  int ClientType = 1;
  std::wstring PicUrl;
  int ChannelID = 0;
  std::wstring VideoUrl;
  std::wstring SourceName;
  int SourceCode = 0;
  int TvYear = 0;
  int InfoType = 0;
};

// Parses one favourite text. False for text that is not a JSON object, for an album id
// of 0 or none, and for members of the wrong JSON type; `info` is then left as it was.
bool ParserDeskFavorInfo(const std::wstring& text, DeskFavorInfo& info);

// The favourite that the site's web pages left in their shared object, parsed into `info`.
// True whenever such a text was found, also when it does not parse (then `info` keeps its
// defaults: album id 0, no name).
bool GetAndParseFlashCookieInfo(DeskFavorInfo& info);

DeskFavorRequest MakeDeskFavorRequest(const DeskFavorInfo& info);
