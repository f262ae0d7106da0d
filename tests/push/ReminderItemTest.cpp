#include "push/ReminderItem.h"

#include <gtest/gtest.h>

namespace {

TEST(ReminderItemTest, TextsBecomeWideAndNumbersStay) {
  ReminderEntry entry;
  entry.tvPic = "http://emu/pictures/album_126.jpg";
  entry.tvName = "\xe7\xac\xac" "12\xe9\x9b\x86";  // 第12集
  entry.tvFocus = "focus";
  entry.albumId = 126;
  entry.tvId = -7;
  entry.videoId = "v1";
  entry.channelId = 6;
  entry.albumName = "\xe5\xbf\xab\xe4\xb9\x90";  // 快乐
  entry.videoOrder = 3;
  entry.mpdNumber = 20131205;
  entry.sourceName = "src";
  entry.mpdText = "2013";
  entry.videoPlayTime = 99;
  entry.feedIndex = 4;
  entry.videoUrl = "http://www.vexo.com/v.html";

  const ReminderItem item = ToReminderItem(entry);
  EXPECT_EQ(item.tvPic, L"http://emu/pictures/album_126.jpg");
  EXPECT_EQ(item.tvName, L"\x7b2c" L"12\x96c6");
  EXPECT_EQ(item.tvFocus, L"focus");
  EXPECT_EQ(item.albumName, L"\x5feb\x4e50");
  EXPECT_EQ(item.videoId + item.sourceName + item.mpdText + item.videoUrl, L"v1src2013http://www.vexo.com/v.html");
  EXPECT_EQ(item.albumId, 126);
  EXPECT_EQ(item.tvId, -7);
  EXPECT_EQ(item.channelId, 6);
  EXPECT_EQ(item.videoOrder, 3);
  EXPECT_EQ(item.mpdNumber, 20131205);
  EXPECT_EQ(item.videoPlayTime, 99);
  EXPECT_EQ(item.feedIndex, 4);
}

}  // namespace
