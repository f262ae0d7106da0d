#include "follow/LatestVideo.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/ServiceAddress.h"
#include "common/TextConvert.h"
#include "favorites/HttpFetch.h"
#include "follow/CatalogueParse.h"

namespace {

std::wstring LatestVideoUrl(int albumId) {
  char path[48] = {};
  std::snprintf(path, sizeof path, "/r/dorsa/album/latest/%d/pb/", albumId);
  return AnsiToWide(ServiceUrl(std::string(service_address::kCatalogueOrigin) + path));
}

}  // namespace

LatestVideoAnswer FetchLatestVideo(int albumId) {
  LatestVideoAnswer answer;
  try {
    std::vector<uint8_t> data;
    if (!HttpGetToMemory(LatestVideoUrl(albumId), nullptr, 0, 0, data)) return answer;
    const std::string body(data.begin(), data.end());
    answer.status = ParseLatestVideo(body, answer.video) ? LatestVideoStatus::Answered : LatestVideoStatus::Unreadable;
    return answer;
  } catch (...) {
    return LatestVideoAnswer{};
  }
}
