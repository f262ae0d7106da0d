#include "tests/e2e/ThousandAlbums.h"

#include <json/json.h>

#include "common/TextConvert.h"

namespace {

enum class Kind { kRunning, kComplete, kFilm };

Kind KindOf(int id) { return static_cast<Kind>(id % 3); }

int EpisodeCount(Kind kind) { return kind == Kind::kFilm ? 1 : 40; }
int LatestEpisode(Kind kind) { return kind == Kind::kRunning ? 12 : EpisodeCount(kind); }

std::string Text(const Json::Value& value) {
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "";
  writer["emitUTF8"] = true;
  return Json::writeString(writer, value);
}

Json::Value CatalogueEntry(const ThousandAlbum& album) {
  const std::string name = WideToUtf8(album.Name());
  const int tvId = 500000 + album.id;
  const std::string vid = "vid" + std::to_string(tvId);
  Json::Value inner;
  inner["pb_version"] = "1.0";
  inner["timestamp"] = "20240101120000";
  inner["effect"] = true;
  inner["id"] = album.id;
  inner["name"] = name;
  inner["tv_id"] = tvId;
  inner["vid"] = vid;
  inner["category_id"] = album.Channel();
  inner["play_url"] = album.PlayPage();
  Json::Value bigAlbum;
  bigAlbum["pb_version"] = "1.0";
  bigAlbum["timestamp"] = "20240101120000";
  bigAlbum["id"] = album.id;
  bigAlbum["name"] = name;
  bigAlbum["album"] = inner;
  Json::Value latest;
  latest["album_id"] = album.id;
  latest["tv_id"] = tvId;
  latest["vid"] = vid;
  latest["video_count"] = EpisodeCount(KindOf(album.id));
  latest["video_count_updateto"] = LatestEpisode(KindOf(album.id));
  latest["category_id"] = album.Channel();
  Json::Value entry;
  entry["album"] = album.id;
  entry["big_album"] = bigAlbum;
  entry["latest"] = latest;
  return entry;
}

std::string PicturePath(const ThousandAlbum& album, const char* suffix) {
  return "/pictures/thousand_" + std::to_string(album.id) + suffix + ".jpg";
}

}  // namespace

std::wstring ThousandAlbum::Name() const { return L"Thousand " + std::to_wstring(id); }

std::wstring ThousandAlbum::FileName() const {
  const Kind kind = KindOf(id);
  if (kind == Kind::kRunning) return Name() + L" 更新至12集";
  if (kind == Kind::kComplete) return Name() + L" 40集全";
  return Name();
}

int ThousandAlbum::Channel() const { return KindOf(id) == Kind::kFilm ? 1 : 2; }

std::string ThousandAlbum::PlayPage() const { return "http://www.vexo.com/a_" + std::to_string(id) + ".html"; }

std::string ThousandAlbum::FirstPage() const { return "http://www.vexo.com/v_" + std::to_string(id) + ".html"; }

std::vector<ThousandAlbum> ThousandAlbumsFrom(int first, int count) {
  std::vector<ThousandAlbum> albums(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) albums[static_cast<size_t>(i)].id = first + i;
  return albums;
}

std::wstring FavoriteText(const ThousandAlbum& album, const std::wstring& origin) {
  Json::Value text;
  text["AlbumID"] = album.id;
  text["AlbumName"] = WideToUtf8(album.Name());
  text["ChannelID"] = album.Channel();
  text["PicUrl"] = WideToUtf8(origin) + PicturePath(album, "");  // the program asks for "_128_128"
  text["VideoUrl"] = album.FirstPage();
  return Utf8ToWide(Text(text));
}

std::string EmulatorBatch(const std::vector<ThousandAlbum>& albums) {
  Json::Value batch;
  Json::Value& pictures = batch["pictures"] = Json::Value(Json::arrayValue);
  Json::Value& catalogue = batch["catalogue"] = Json::Value(Json::arrayValue);
  for (const ThousandAlbum& album : albums) {
    Json::Value picture;
    picture["path"] = PicturePath(album, "_128_128");
    picture["status"] = 200;
    picture["file"] = "album_123.jpg";
    pictures.append(picture);
    catalogue.append(CatalogueEntry(album));
  }
  return Text(batch);
}
