// What the reminder pop-up shows and how its pages turn, apart from the window: the order of
// the albums, the status line of each, and the two paging arrows.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Series (channel 2) first, then variety shows (6), then cartoons (4), then everything else;
// within each group the feed's own order.
template <class Item>
std::vector<Item> InDisplayOrder(std::vector<Item> items) {
  std::vector<Item> ordered;
  ordered.reserve(items.size());
  std::vector<bool> taken(items.size(), false);
  const auto takeChannel = [&](std::optional<int> channel) {
    for (size_t i = 0; i < items.size(); ++i) {
      if (taken[i] || (channel && items[i].channelId != *channel)) continue;
      taken[i] = true;
      ordered.push_back(std::move(items[i]));
    }
  };
  takeChannel(2);
  takeChannel(6);
  takeChannel(4);
  takeChannel(std::nullopt);
  return ordered;
}

// The status line under an album's title; nullopt for a channel that has none, where the
// line keeps whatever it showed before.
std::optional<std::wstring> ReminderStatusText(int channelId, int videoOrder, int mpdNumber);

// The page counter's text: "3/7".
std::wstring PageCounterText(int page, int count);

struct PagerButtons {
  bool leftEnabled = false;
  bool rightEnabled = true;
};

// The outcome of a click on a paging arrow: the arrows' new states (none: leave them as they
// are) and whether the page moved, so that the window shows the new page.
struct PageTurn {
  std::optional<PagerButtons> buttons;
  bool pageChanged = false;
};

class CReminderPager {
public:
  // A new batch: page 0 of `count` albums.
  void Reset(int count) {
    m_page = 0;
    m_count = count;
  }
  int Page() const { return m_page; }
  int Count() const { return m_count; }

  PageTurn Previous();
  PageTurn Next();

private:
  int m_page = 0;
  int m_count = 0;
};
