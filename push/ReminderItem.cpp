#include "push/ReminderItem.h"

#include "common/TextConvert.h"

ReminderItem ToReminderItem(const ReminderEntry& entry) {
  ReminderItem item;
  item.tvPic = Utf8ToWide(entry.tvPic);
  item.tvName = Utf8ToWide(entry.tvName);
  item.tvFocus = Utf8ToWide(entry.tvFocus);
  item.albumId = entry.albumId;
  item.tvId = entry.tvId;
  item.videoId = Utf8ToWide(entry.videoId);
  item.channelId = entry.channelId;
  item.albumName = Utf8ToWide(entry.albumName);
  item.videoOrder = entry.videoOrder;
  item.mpdNumber = entry.mpdNumber;
  item.sourceName = Utf8ToWide(entry.sourceName);
  item.mpdText = Utf8ToWide(entry.mpdText);
  item.videoPlayTime = entry.videoPlayTime;
  item.feedIndex = entry.feedIndex;
  item.videoUrl = Utf8ToWide(entry.videoUrl);
  return item;
}
