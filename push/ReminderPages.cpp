#include "push/ReminderPages.h"

#include <cwchar>

namespace {

std::wstring Formatted(const wchar_t* format, int first, int second = 0) {
  wchar_t text[64];
  std::swprintf(text, sizeof text / sizeof text[0], format, first, second);
  return text;
}

// A date-like number 20131205 becomes "2013-12-05"; anything that is not eight characters
// long becomes empty.
std::wstring IssueDate(int mpdNumber) {
  const std::wstring digits = Formatted(L"%d", mpdNumber);
  if (digits.size() != 8) return {};
  return digits.substr(0, 4) + L"-" + digits.substr(4, 2) + L"-" + digits.substr(6, 2);
}

}  // namespace

std::optional<std::wstring> ReminderStatusText(int channelId, int videoOrder, int mpdNumber) {
  switch (channelId) {
    case 2:
    case 3:
    case 4:
      return Formatted(L"看到%d集/更新至%d集", videoOrder, mpdNumber);
    case 6:
    case 14:
      return L"更新至" + IssueDate(mpdNumber) + L"期";
    case 7:
      return std::wstring(L"娱乐事件新进展");
    case 1:
      return std::wstring(L"电影正片新上映");
    default:
      return std::nullopt;
  }
}

std::wstring PageCounterText(int page, int count) { return Formatted(L"%d/%d", page, count); }

PageTurn CReminderPager::Previous() {
  if (m_page == 0) return {PagerButtons{false, true}, false};
  PagerButtons buttons{true, true};
  if (m_page == 1) buttons.leftEnabled = false;
  --m_page;
  return {buttons, true};
}

// On the last page the arrows are set and nothing else happens; with a single album that
// leaves the left arrow enabled though there is no other page, which is how the pop-up has
// always behaved.
PageTurn CReminderPager::Next() {
  if (m_count == m_page + 1) return {PagerButtons{true, false}, false};
  if (m_page >= m_count - 1) return {};
  PagerButtons buttons{true, true};
  if (m_count == m_page + 2) buttons.rightEnabled = false;
  ++m_page;
  return {buttons, true};
}
