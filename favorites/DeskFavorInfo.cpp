#include "favorites/DeskFavorInfo.h"

#include "common/JsonText.h"
#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "sharedobject/DeskTVInfo.h"

namespace {

// An absent member reads as 0; a member of another type makes the text unusable.
bool ReadInt(const Json::Value& object, const char* key, int& out) {
  const Json::Value& member = object[key];
  if (member.isNull()) {
    out = 0;
    return true;
  }
  if (!member.isInt()) return false;
  out = member.asInt();
  return true;
}

bool ReadText(const Json::Value& object, const char* key, std::wstring& out) {
  const Json::Value& member = object[key];
  if (member.isNull()) {
    out.clear();
    return true;
  }
  if (!member.isString()) return false;
  out = Utf8ToWide(member.asString());
  return true;
}


}  // namespace

bool ParserDeskFavorInfo(const std::wstring& text, DeskFavorInfo& info) {
  if (text.empty()) return false;
  Json::Value root;
  if (!ParseJsonText(WideToUtf8(text), root)) {
    WriteTrace(L"tailcast", L"ParserDeskFavorInfo : ", L"Parser false");
    return false;
  }
  if (!root.isObject() || root.size() == 0) return false;

  DeskFavorInfo parsed;
  const bool ok = ReadInt(root, "AlbumID", parsed.AlbumID) && parsed.AlbumID != 0 &&
                  ReadInt(root, "ChannelID", parsed.ChannelID) && ReadText(root, "AlbumName", parsed.AlbumName) &&
                  ReadText(root, "PicUrl", parsed.PicUrl) && ReadText(root, "VideoUrl", parsed.VideoUrl) &&
                  ReadText(root, "SouceName", parsed.SourceName) && ReadInt(root, "SouceCode", parsed.SourceCode) &&
                  ReadInt(root, "TvYear", parsed.TvYear) && ReadInt(root, "Type", parsed.InfoType);
  if (!ok) return false;
  info = parsed;
  return true;
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
