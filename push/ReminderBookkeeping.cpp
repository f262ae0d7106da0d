#include "push/ReminderBookkeeping.h"

#include <windows.h>

#include "common/PathText.h"
#include "common/TextConvert.h"
#include "push/ReminderFeed.h"

namespace {

constexpr wchar_t kFileName[] = L"vexo_remind.ini";
constexpr wchar_t kShownSection[] = L"UpdateReminder";
constexpr wchar_t kIKnowSection[] = L"HasIKnow";
constexpr DWORD kStoredDateChars = 15;

std::wstring TodayText() {
  SYSTEMTIME now = {};
  ::GetLocalTime(&now);
  return AnsiToWide(ReminderDateText(now.wYear, now.wMonth, now.wDay));
}

bool IsProfileKey(const std::wstring& key) {
  return !key.empty() && key.find_first_of(L"=[]\r\n") == std::wstring::npos;
}

}  // namespace

CReminderBookkeeping::CReminderBookkeeping(std::wstring clientFolder, std::wstring userKey)
    : m_file(clientFolder.empty() ? std::wstring() : JoinPath(clientFolder, kFileName)),
      m_userKey(std::move(userKey)) {}

bool CReminderBookkeeping::Usable() const { return !m_file.empty() && IsProfileKey(m_userKey); }

bool CReminderBookkeeping::ReminderShownToday() const {
  if (!Usable()) return false;
  wchar_t stored[kStoredDateChars + 1] = {};
  ::GetPrivateProfileStringW(kShownSection, m_userKey.c_str(), L"", stored, kStoredDateChars + 1, m_file.c_str());
  return stored == TodayText();
}

void CReminderBookkeeping::MarkShownToday(bool flag) const {
  if (!flag || !Usable()) return;
  ::WritePrivateProfileStringW(kShownSection, m_userKey.c_str(), TodayText().c_str(), m_file.c_str());
}

void CReminderBookkeeping::MarkIKnow(bool flag) const {
  if (!flag || !Usable()) return;
  ::WritePrivateProfileStringW(kIKnowSection, m_userKey.c_str(), L"1", m_file.c_str());
}
