// libFuzzer target: a reminder feed answer, filtered for two sets of followed albums. What is
// kept is a subset of the feed in feed order, each entry of a followed album; following more
// albums keeps the same entries and more; the picture file names made from it stay plain.
#include <json/json.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "common/JsonText.h"
#include "push/ReminderFeed.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

const std::set<int32_t> kSome = {123, 124, 125, 126, 1, -1, 2147483647};

// Every int album id the feed's items name (read on their own), and kSome.
std::set<int32_t> AllAlbums(const std::string& body) {
  std::set<int32_t> all = kSome;
  Json::Value root;
  if (!ParseJsonText(body.substr(0, body.find('\0')), root) || !root.isObject() || !root["data"].isArray()) return all;
  for (const Json::Value& item : root["data"]) {
    if (item.isObject() && item["albumId"].isInt()) all.insert(item["albumId"].asInt());
  }
  return all;
}

bool Same(const ReminderEntry& a, const ReminderEntry& b) {
  return a.tvPic == b.tvPic && a.tvName == b.tvName && a.tvFocus == b.tvFocus && a.albumId == b.albumId &&
         a.tvId == b.tvId && a.videoId == b.videoId && a.channelId == b.channelId && a.albumName == b.albumName &&
         a.videoOrder == b.videoOrder && a.mpdNumber == b.mpdNumber && a.sourceName == b.sourceName &&
         a.mpdText == b.mpdText && a.videoPlayTime == b.videoPlayTime && a.feedIndex == b.feedIndex &&
         a.videoUrl == b.videoUrl;
}

bool PlainCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.';
}

void CheckPictureNames(const ReminderEntry& entry) {
  const std::string small = SmallPictureAddress(entry.tvPic);
  FUZZ_CHECK(small.empty() == (entry.tvPic.find('.') == std::string::npos));
  FUZZ_CHECK(small.empty() || small.size() == entry.tvPic.size() + 7);
  for (const std::string& address : {entry.tvPic, small}) {
    const std::string extension = PictureFileExtension(address);
    FUZZ_CHECK(!extension.empty() && extension.size() <= 16);
    FUZZ_CHECK(extension.front() != '.' && extension.back() != '.');
    for (const char c : extension) FUZZ_CHECK(PlainCharacter(c));
  }
}

void CheckKept(const ParsedReminderFeed& feed, const std::set<int32_t>& followed) {
  int32_t previous = -1;
  for (const ReminderEntry& entry : feed.kept) {
    FUZZ_CHECK(entry.albumId != 0 && followed.count(entry.albumId) == 1);
    FUZZ_CHECK(entry.feedIndex > previous);
    FUZZ_CHECK(entry.videoPlayTime != -1);
    previous = entry.feedIndex;
    CheckPictureNames(entry);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* body = reinterpret_cast<const char*>(data);
  const std::string text(body, size);
  const std::set<int32_t> all = AllAlbums(text);
  const std::optional<ParsedReminderFeed> some = ParseReminderFeed(body, size, kSome);
  const std::optional<ParsedReminderFeed> more = ParseReminderFeed(body, size, all);
  FUZZ_CHECK(some.has_value() == more.has_value());
  if (!some) return 0;
  FUZZ_CHECK(some->kept.size() <= more->kept.size());
  FUZZ_CHECK(more->kept.size() <= size / 2);  // an item takes at least "{}"
  CheckKept(*some, kSome);
  CheckKept(*more, all);
  // The entries of `some` are those of `more` whose album is in kSome, the same and in order.
  size_t next = 0;
  for (const ReminderEntry& entry : more->kept) {
    if (kSome.count(entry.albumId) == 0) continue;
    FUZZ_CHECK(next < some->kept.size() && Same(some->kept[next], entry));
    ++next;
  }
  FUZZ_CHECK(next == some->kept.size());
  return 0;
}
