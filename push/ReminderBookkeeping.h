// The per-user record that limits the automatic reminder pop-up to once a day, in the profile
// file "<client folder>\vexo_remind.ini": section "UpdateReminder" keeps the day of the last
// automatic showing (ReminderDateText), section "HasIKnow" marks a user who asked for the
// reminders by hand. Both are keyed by the user id when logged in, else the machine id.
#pragma once

#include <string>

class CReminderBookkeeping {
public:
  // A key that a profile file cannot hold as a key (empty, or with "=", brackets or line
  // breaks) or an empty client folder makes every operation a silent no-op.
  CReminderBookkeeping(std::wstring clientFolder, std::wstring userKey);

  bool ReminderShownToday() const;
  // Records today as the day of the last showing; does nothing when `flag` is false.
  void MarkShownToday(bool flag) const;
  // Records "1" under "HasIKnow"; does nothing when `flag` is false.
  void MarkIKnow(bool flag) const;

  const std::wstring& FilePath() const { return m_file; }

private:
  bool Usable() const;

  std::wstring m_file;
  std::wstring m_userKey;
};
