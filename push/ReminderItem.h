// One kept reminder as the push window shows it: the feed's texts in UTF-16.
#pragma once

#include <cstdint>
#include <string>

#include "push/ReminderFeed.h"

struct ReminderItem {
  std::wstring tvPic, tvName, tvFocus;
  int32_t albumId = 0, tvId = 0;
  std::wstring videoId;
  int32_t channelId = 0;
  std::wstring albumName;
  int32_t videoOrder = 0;
  int32_t mpdNumber = 0;
  std::wstring sourceName;
  std::wstring mpdText;
  int32_t videoPlayTime = 0;
  int32_t feedIndex = 0;
  std::wstring videoUrl;
};

ReminderItem ToReminderItem(const ReminderEntry& entry);
