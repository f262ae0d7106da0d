#include "push/ReminderPages.h"

#include <gtest/gtest.h>

namespace {

struct Item {
  int channelId;
  int feedIndex;
};

std::vector<int> Channels(const std::vector<Item>& items) {
  std::vector<int> channels;
  for (const Item& item : items) channels.push_back(item.channelId);
  return channels;
}

TEST(ReminderPages, SeriesThenShowsThenCartoonsThenTheRestEachInFeedOrder) {
  const auto ordered = InDisplayOrder(std::vector<Item>{{1, 0}, {2, 1}, {4, 2}, {6, 3}, {9, 4}, {2, 5}, {6, 6}});
  EXPECT_EQ(Channels(ordered), (std::vector<int>{2, 2, 6, 6, 4, 1, 9}));
  EXPECT_EQ(ordered[0].feedIndex, 1);
  EXPECT_EQ(ordered[1].feedIndex, 5);
  EXPECT_EQ(ordered[5].feedIndex, 0);
}

TEST(ReminderPages, StatusLinePerChannel) {
  EXPECT_EQ(ReminderStatusText(2, 3, 12), std::wstring(L"看到3集/更新至12集"));
  EXPECT_EQ(ReminderStatusText(4, 0, 0), std::wstring(L"看到0集/更新至0集"));
  EXPECT_EQ(ReminderStatusText(6, 0, 20131205), std::wstring(L"更新至2013-12-05期"));
  EXPECT_EQ(ReminderStatusText(14, 0, 0), std::wstring(L"更新至期"));
  EXPECT_EQ(ReminderStatusText(6, 0, 2013120), std::wstring(L"更新至期"));    // seven digits
  EXPECT_EQ(ReminderStatusText(6, 0, -2013120), std::wstring(L"更新至-201-31-20期"));  // eight characters
  EXPECT_EQ(ReminderStatusText(7, 0, 0), std::wstring(L"娱乐事件新进展"));
  EXPECT_EQ(ReminderStatusText(1, 0, 0), std::wstring(L"电影正片新上映"));
  EXPECT_FALSE(ReminderStatusText(5, 1, 1).has_value());
  EXPECT_EQ(PageCounterText(1, 7), std::wstring(L"1/7"));
}

TEST(ReminderPages, OneAlbumRightArrowTurnsOffAndLeftOnThoughThereIsNoOtherPage) {
  CReminderPager pager;
  pager.Reset(1);
  const PageTurn next = pager.Next();
  ASSERT_TRUE(next.buttons.has_value());
  EXPECT_TRUE(next.buttons->leftEnabled);
  EXPECT_FALSE(next.buttons->rightEnabled);
  EXPECT_FALSE(next.pageChanged);
  const PageTurn previous = pager.Previous();
  EXPECT_FALSE(previous.buttons->leftEnabled);
  EXPECT_TRUE(previous.buttons->rightEnabled);
  EXPECT_EQ(pager.Page(), 0);
}

TEST(ReminderPages, WalkingThreePagesForwardAndBack) {
  CReminderPager pager;
  pager.Reset(3);
  PageTurn turn = pager.Next();
  EXPECT_TRUE(turn.pageChanged);
  EXPECT_TRUE(turn.buttons->leftEnabled && turn.buttons->rightEnabled);
  turn = pager.Next();
  EXPECT_EQ(pager.Page(), 2);
  EXPECT_FALSE(turn.buttons->rightEnabled);  // now on the last page
  turn = pager.Next();
  EXPECT_FALSE(turn.pageChanged);
  EXPECT_EQ(pager.Page(), 2);
  pager.Previous();
  turn = pager.Previous();
  EXPECT_EQ(pager.Page(), 0);
  EXPECT_FALSE(turn.buttons->leftEnabled);
}

TEST(ReminderPages, AnEmptyBatchTurnsNothing) {
  CReminderPager pager;
  pager.Reset(0);
  const PageTurn next = pager.Next();
  EXPECT_FALSE(next.buttons.has_value());
  EXPECT_FALSE(next.pageChanged);
  EXPECT_EQ(pager.Page(), 0);
}

}  // namespace
