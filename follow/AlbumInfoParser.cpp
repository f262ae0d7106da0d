#include "follow/AlbumInfoParser.h"

#include <atomic>
#include <cstdio>
#include <memory>

#include "common/Logger.h"
#include "common/ServiceAddress.h"
#include "common/TextConvert.h"
#include "follow/CatalogueParse.h"

namespace {

std::string AlbumInfoUrl(int albumId) {
  char id[32] = {};
  std::snprintf(id, sizeof id, "%u", static_cast<unsigned>(albumId));
  return ServiceUrl(std::string(service_address::kCatalogueOrigin) + "/r/dorsa/album/b/" + id + "/pb/");
}

std::atomic<AlbumInfoSink> g_albumInfoSink{nullptr};

std::string BodyOf(const CResourceArg& arg) {
  return arg.Length() != 0 ? std::string(arg.Buffer(), arg.Length()) : std::string();
}

}  // namespace

void SetAlbumInfoSink(AlbumInfoSink sink) { g_albumInfoSink.store(sink); }

CAlbumInfoParser& CAlbumInfoParser::GetInstance() {
  static CAlbumInfoParser* const instance = new CAlbumInfoParser;
  return *instance;
}

CAlbumInfoParser::CAlbumInfoParser() { m_taskModule.SetCallback(this); }

void CAlbumInfoParser::RequestAlbumInfo(int albumId) {
  try {
    auto arg = std::make_unique<CResourceArg>(kAlbumInfoRequestId);
    CResourceRequest request;
    request.url = AlbumInfoUrl(albumId);
    request.flag = true;
    request.timeoutMs = kTimeoutMs;
    m_taskModule.GetRes(request, std::move(arg));  // the library's until the callback
  } catch (...) {
    // Nothing was started; the shortcut keeps the target it has.
  }
}

int CAlbumInfoParser::OnResCallback(int failed, CResourceArg* arg) {
  const std::unique_ptr<CResourceArg> owned(arg);
  if (failed != 0 || !arg) return 1;  // no retry, nothing logged
  try {
    if (arg->id == kAlbumInfoRequestId) HandOver(BodyOf(*arg));
  } catch (...) {
    NetworkLogger().Log(LOG_LEVEL_ERROR, "%s(%d) parse albuminfo exception", "CAlbumInfoParser::OnResCallback", 72);
  }
  return 1;
}

void CAlbumInfoParser::HandOver(const std::string& body) {
  AlbumInfo info;
  if (ParseAlbumPbString(&info, body) != 1) return;
  const AlbumInfoSink sink = g_albumInfoSink.load();
  if (sink) sink(info);
}

int CAlbumInfoParser::ParseAlbumPbString(AlbumInfo* out, const std::string& body) {
  if (!out) return 0;
  // The log lines' number is the body's length in bytes.
  const int size = static_cast<int>(body.size());
  // catch (...) is as far as this compiler reaches: access violations are no C++ exceptions here.
  try {
    VRSProto1::BigAlbum bigAlbum;
    if (!ParseBigAlbum(body, bigAlbum)) {
      NetworkLogger().Log(LOG_LEVEL_ERROR, "%s(%d) can not parse %d pb file", "CAlbumInfoParser::ParseAlbumPbString",
                          87, size);
      return 0;
    }
    const VRSProto1::Album& album = bigAlbum.album();
    out->AlbumID = album.id();
    out->CategoryID = album.category_id();
    out->TvID = album.tv_id();
    out->PlayCount = album.play_count();
    out->SetsCount = album.sets_count();
    out->SourceName = AnsiToWide(album.source_name());
    out->SourceID = album.source_id();
    out->TvYear = TvYearOf(album.tv_year());
    out->AlbumName = AnsiToWide(album.name());
    out->PlayUrl = album.play_url();
    return 1;
  } catch (...) {
    NetworkLogger().Log(LOG_LEVEL_ERROR, "%s(%d) seh exception when parse %d pb file",
                        "CAlbumInfoParser::ParseAlbumPbString", 168, size);
    return 0;
  }
}
