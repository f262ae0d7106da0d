#include "favorites/ShortcutNames.h"

#include <algorithm>

namespace {

bool IsReservedDeviceName(const std::wstring& name) {
  const size_t dot = name.find(L'.');
  std::wstring base = name.substr(0, dot);
  while (!base.empty() && base.back() == L' ') base.pop_back();
  for (wchar_t& c : base) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  for (const wchar_t* reserved : {L"CON", L"PRN", L"AUX", L"NUL"}) {
    if (base == reserved) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
    return base[3] >= L'1' && base[3] <= L'9';
  }
  return false;
}

}  // namespace

void SanitizeFileName(std::wstring& text, wchar_t replacement) {
  const std::wstring forbidden = L"\\/?*<>:\"|";
  for (wchar_t& c : text) {
    if (forbidden.find(c) != std::wstring::npos || c < 0x20 || c == 0x7F) c = replacement;
  }
  if (IsReservedDeviceName(text)) text += L'_';
}

std::wstring WithSourceTag(const std::wstring& address) {
  return address + (address.find(L'?') == std::wstring::npos ? L"?src=fromtailcast" : L"&src=fromtailcast");
}

std::string InsertPictureSuffix(const std::string& url, const std::string& suffix) {
  const size_t dot = url.rfind('.');
  if (url.empty() || dot == std::string::npos) return std::string();
  return url.substr(0, dot) + suffix + url.substr(dot);
}

std::wstring LinkTarget(const std::wstring& target) {
  return target.find(L"://") == std::wstring::npos ? target : WithSourceTag(target);
}

std::wstring ShortcutPathFor(const std::wstring& folder, const std::wstring& name, const std::wstring& suffix,
                             size_t longest) {
  const std::wstring head = folder + L"\\";
  const std::wstring tail = suffix + L".lnk";
  if (name.empty() || head.size() + tail.size() >= longest) return std::wstring();
  size_t kept = std::min(name.size(), longest - head.size() - tail.size());
  if (kept < name.size() && kept > 0 && name[kept - 1] >= 0xD800 && name[kept - 1] <= 0xDBFF) --kept;
  if (kept == 0) return std::wstring();
  return head + name.substr(0, kept) + tail;
}
