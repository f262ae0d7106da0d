#include "app/HandoffText.h"

HandoffText MakeHandoffText(ULONG_PTR dwData, const std::wstring& text) {
  HandoffText record = {};
  record.dwData = dwData;
  record.cbData = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
  record.lpData = const_cast<wchar_t*>(text.c_str());
  return record;
}

std::wstring HandoffTextOf(const HandoffText& record) {
  if (!record.lpData) return std::wstring();
  const auto* text = static_cast<const wchar_t*>(record.lpData);
  const size_t capacity = record.cbData / sizeof(wchar_t);
  size_t length = 0;
  while (length < capacity && text[length] != L'\0') ++length;
  return std::wstring(text, length);
}
