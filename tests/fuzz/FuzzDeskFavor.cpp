// libFuzzer target: a favourite text as the client hands it over. A favourite read, written
// back as JSON, reads as the same favourite; a text refused leaves the favourite untouched.
#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "favorites/DeskFavorJson.h"
#include "tests/fuzz/ByteText.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

std::wstring Widen(const std::string& utf8) { return WidenBytes(utf8); }

bool Same(const DeskFavorInfo& a, const DeskFavorInfo& b) {
  return a.ChannelID == b.ChannelID && a.AlbumID == b.AlbumID && a.AlbumName == b.AlbumName && a.PicUrl == b.PicUrl &&
         a.VideoUrl == b.VideoUrl && a.SourceName == b.SourceName && a.SourceCode == b.SourceCode &&
         a.TvYear == b.TvYear && a.InfoType == b.InfoType;
}

DeskFavorInfo Untouched() {
  DeskFavorInfo info;
  info.AlbumID = -7;
  info.AlbumName = L"untouched";
  info.TvYear = 1999;
  return info;
}

std::string Written(const DeskFavorInfo& info) {
  Json::Value object(Json::objectValue);
  object["AlbumID"] = info.AlbumID;
  object["ChannelID"] = info.ChannelID;
  object["AlbumName"] = NarrowBytes(info.AlbumName);
  object["PicUrl"] = NarrowBytes(info.PicUrl);
  object["VideoUrl"] = NarrowBytes(info.VideoUrl);
  object["SouceName"] = NarrowBytes(info.SourceName);
  object["SouceCode"] = info.SourceCode;
  object["TvYear"] = info.TvYear;
  object["Type"] = info.InfoType;
  Json::StreamWriterBuilder writer;
  writer["emitUTF8"] = true;  // bytes as they are, so that texts that are no UTF-8 survive too
  return Json::writeString(writer, object);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  DeskFavorInfo info = Untouched();
  if (ReadDeskFavorJson(text, &Widen, info) != DeskFavorJson::Read) {
    FUZZ_CHECK(Same(info, Untouched()));
    return 0;
  }
  FUZZ_CHECK(info.AlbumID != 0);
  DeskFavorInfo again = Untouched();
  FUZZ_CHECK(ReadDeskFavorJson(Written(info), &Widen, again) == DeskFavorJson::Read);
  FUZZ_CHECK(Same(again, info));
  return 0;
}
