// The update-reminder feed: reading the service's JSON answer into the reminders of followed
// albums, and the texts made from a reminder (picture address, picture file extension, the
// date of a showing). Windows-free; texts stay UTF-8 as the feed has them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct ReminderEntry {
  std::string tvPic, tvName, tvFocus;
  int32_t albumId = 0, tvId = 0;
  std::string videoId;
  int32_t channelId = 0;
  std::string albumName;
  int32_t videoOrder = 0;
  int32_t mpdNumber = 0;  // "mpd" when the feed gives a number
  std::string sourceName;
  std::string mpdText;  // "mpd" when the feed gives a text
  int32_t videoPlayTime = 0;
  int32_t feedIndex = 0;  // the item's place in the feed's "data"
  std::string videoUrl;
};

struct ParsedReminderFeed {
  std::vector<ReminderEntry> kept;  // in feed order
};

// nullopt when the body is no JSON object or its "code" is not exactly "A00000": the caller
// then hands nothing on. `kept` is empty when "data" is not an array. The body counts up to its
// first zero byte; comments are allowed. Only items of an album in `followedAlbumIds` are kept
// (album id 0, which no item of a well-formed feed has, never).
std::optional<ParsedReminderFeed> ParseReminderFeed(const char* body, size_t length,
                                                    const std::set<int32_t>& followedAlbumIds);

// The small picture of a reminder: "_145_90" inserted before the address's last "."
// (".../pic/abc.jpg" -> ".../pic/abc_145_90.jpg"); "" for an address without a ".".
std::string SmallPictureAddress(const std::string& tvPic);

// The extension under which a picture from `address` is stored: the address's last path
// segment (after its last "/") from its first "." on, without that ".". Only letters, digits
// and dots, 1 to 16 characters, starting and ending with a letter or digit; anything else
// gives "jpg" ("/img.v2.png" -> "v2.png"; "a.b\..\x.exe" -> "jpg").
std::string PictureFileExtension(const std::string& address);

// The day of a showing as the bookkeeping file keeps it: year, month (1-12) and day (1-31)
// written one after another without padding. 2026-01-12 and 2026-11-02 both give "2026112";
// files written so far hold this form, so it stays.
std::string ReminderDateText(int year, int month, int day);
