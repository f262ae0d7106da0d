#include "favorites/DeskFavorJson.h"

#include "common/JsonText.h"

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

bool ReadText(const Json::Value& object, const char* key, Utf8Widener widen, std::wstring& out) {
  const Json::Value& member = object[key];
  if (member.isNull()) {
    out.clear();
    return true;
  }
  if (!member.isString()) return false;
  out = widen(member.asString());
  return true;
}

}  // namespace

DeskFavorJson ReadDeskFavorJson(const std::string& utf8, Utf8Widener widen, DeskFavorInfo& info) {
  Json::Value root;
  if (!ParseJsonText(utf8, root)) return DeskFavorJson::NotJson;
  if (!root.isObject() || root.size() == 0) return DeskFavorJson::Refused;

  DeskFavorInfo read;
  const bool ok = ReadInt(root, "AlbumID", read.AlbumID) && read.AlbumID != 0 &&
                  ReadInt(root, "ChannelID", read.ChannelID) && ReadText(root, "AlbumName", widen, read.AlbumName) &&
                  ReadText(root, "PicUrl", widen, read.PicUrl) && ReadText(root, "VideoUrl", widen, read.VideoUrl) &&
                  ReadText(root, "SouceName", widen, read.SourceName) &&
                  ReadInt(root, "SouceCode", read.SourceCode) && ReadInt(root, "TvYear", read.TvYear) &&
                  ReadInt(root, "Type", read.InfoType);
  if (!ok) return DeskFavorJson::Refused;
  info = read;
  return DeskFavorJson::Read;
}
