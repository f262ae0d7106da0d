#include "favorites/DeskFavorInfo.h"

#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "favorites/DeskFavorJson.h"
#include "sharedobject/DeskTVInfo.h"

bool ParserDeskFavorInfo(const std::wstring& text, DeskFavorInfo& info) {
  if (text.empty()) return false;
  const DeskFavorJson read = ReadDeskFavorJson(WideToUtf8(text), &Utf8ToWide, info);
  if (read == DeskFavorJson::NotJson) {
    WriteTrace(L"tailcast", L"ParserDeskFavorInfo : ", L"Parser false");
  }
  return read == DeskFavorJson::Read;
}

bool GetAndParseFlashCookieInfo(DeskFavorInfo& info) {
  const std::string text = ReadDeskTVInfo();
  if (text.empty()) {
    WriteTrace(L"tailcast", L"GetAndParseFlashCookieInfo : ", L"JsonData is null");
    return false;
  }
  const std::wstring wideText = Utf8ToWide(text);
  WriteTrace(L"tailcast", L"FlashCookieInfo is : ", wideText);
  ParserDeskFavorInfo(wideText, info);
  return true;
}

DeskFavorRequest MakeDeskFavorRequest(const DeskFavorInfo& info) {
  DeskFavorRequest request;
  request.AlbumName = info.AlbumName;
  request.AlbumID = info.AlbumID;
  request.PicUrl = info.PicUrl;
  request.ChannelID = info.ChannelID;
  request.VideoUrl = info.VideoUrl;
  request.SourceName = info.SourceName;
  request.SourceCode = info.SourceCode;
  request.TvYear = info.TvYear;
  request.InfoType = info.InfoType;
  return request;
}
