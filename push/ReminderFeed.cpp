#include "push/ReminderFeed.h"

#include <json/json.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "common/JsonText.h"

namespace {

constexpr char kSuccessCode[] = "A00000";
constexpr size_t kMaxExtensionLength = 16;

// Members of the wrong JSON type read as an empty text or 0: the feed is not ours to trust.
const Json::Value& Member(const Json::Value& object, const char* key) {
  static const Json::Value null;
  if (!object.isObject()) return null;
  const Json::Value* member = object.find(key, key + std::strlen(key));
  return member ? *member : null;
}

std::string TextOf(const Json::Value& object, const char* key) {
  const Json::Value& member = Member(object, key);
  return member.isString() ? member.asString() : std::string();
}

int32_t IntOf(const Json::Value& object, const char* key) {
  const Json::Value& member = Member(object, key);
  return member.isInt() ? member.asInt() : 0;
}

// A decimal text, whole; anything else is 0. The feed's "not played" is -1, also kept as 0.
int32_t PlayTimeOf(const Json::Value& item) {
  const std::string text = TextOf(item, "videoPlayTime");
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return value == -1 ? 0 : value;
}

ReminderEntry ReadEntry(const Json::Value& item, int32_t index) {
  const Json::Value& reminder = Member(item, "reminder");
  ReminderEntry entry;
  entry.tvPic = TextOf(reminder, "tvPic");
  entry.tvName = TextOf(reminder, "tvName");
  entry.tvFocus = TextOf(reminder, "tvFocus");
  entry.albumId = IntOf(item, "albumId");
  entry.tvId = IntOf(item, "tvId");
  entry.videoId = TextOf(item, "videoId");
  entry.channelId = IntOf(item, "channelId");
  entry.albumName = TextOf(item, "albumName");
  entry.videoOrder = IntOf(item, "videoOrder");
  entry.mpdNumber = IntOf(reminder, "mpd");
  entry.sourceName = TextOf(item, "sourceName");
  entry.mpdText = TextOf(reminder, "mpd");
  entry.videoPlayTime = PlayTimeOf(item);
  entry.feedIndex = index;
  entry.videoUrl = TextOf(item, "videoUrl");
  return entry;
}

bool IsAlphanumeric(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

bool IsSafeExtension(const std::string& extension) {
  if (extension.empty() || extension.size() > kMaxExtensionLength) return false;
  if (!IsAlphanumeric(extension.front()) || !IsAlphanumeric(extension.back())) return false;
  return std::all_of(extension.begin(), extension.end(), [](char c) { return IsAlphanumeric(c) || c == '.'; });
}

}  // namespace

std::optional<ParsedReminderFeed> ParseReminderFeed(const char* body, size_t length,
                                                    const std::set<int32_t>& followedAlbumIds) {
  if (!body) return std::nullopt;
  const std::string text(body, std::find(body, body + length, '\0'));
  Json::Value root;
  if (!ParseJsonText(text, root) || !root.isObject()) return std::nullopt;
  if (TextOf(root, "code") != kSuccessCode) return std::nullopt;

  ParsedReminderFeed feed;
  const Json::Value& data = Member(root, "data");
  if (!data.isArray()) return feed;
  // "count" may promise more items than "data" holds; those could only be empty items.
  const Json::ArrayIndex promised = static_cast<Json::ArrayIndex>(std::max(IntOf(root, "count"), 0));
  const Json::ArrayIndex count = std::min(promised, data.size());
  for (Json::ArrayIndex i = 0; i < count; ++i) {
    ReminderEntry entry = ReadEntry(data[i], static_cast<int32_t>(i));
    if (entry.albumId != 0 && followedAlbumIds.count(entry.albumId)) feed.kept.push_back(std::move(entry));
  }
  return feed;
}

std::string SmallPictureAddress(const std::string& tvPic) {
  const size_t dot = tvPic.rfind('.');
  if (dot == std::string::npos) return std::string();
  return tvPic.substr(0, dot) + "_145_90" + tvPic.substr(dot);
}

std::string PictureFileExtension(const std::string& address) {
  const size_t slash = address.rfind('/');
  const std::string segment = slash == std::string::npos ? address : address.substr(slash + 1);
  const size_t dot = segment.find('.');
  if (dot == std::string::npos) return "jpg";
  const std::string extension = segment.substr(dot + 1);
  return IsSafeExtension(extension) ? extension : "jpg";
}

std::string ReminderDateText(int year, int month, int day) {
  char text[40];
  std::snprintf(text, sizeof text, "%d%d%d", year, month, day);
  return text;
}
