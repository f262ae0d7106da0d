#include "favorites/RecoveredShortcut.h"

#include <algorithm>
#include <cstdint>
#include <cwctype>

#include "common/PathText.h"

namespace {

std::wstring Lower(std::wstring text) {
  const auto lower = [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); };
  std::transform(text.begin(), text.end(), text.begin(), lower);
  return text;
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "123" or "-123" as a 32-bit id; nullopt for anything else.
std::optional<int32_t> IdOf(const std::wstring& digits) {
  const size_t start = !digits.empty() && digits[0] == L'-' ? 1 : 0;
  if (digits.size() == start || digits.size() - start > 10) return std::nullopt;
  long long value = 0;
  for (size_t i = start; i < digits.size(); ++i) {
    if (digits[i] < L'0' || digits[i] > L'9') return std::nullopt;
    value = value * 10 + (digits[i] - L'0');
  }
  if (start) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

}  // namespace

std::optional<int32_t> AlbumIdOfIcon(const std::wstring& iconLocation, const std::wstring& iconFolder) {
  if (iconFolder.empty() || Lower(FolderOf(iconLocation)) != Lower(iconFolder)) return std::nullopt;
  std::wstring name = Lower(FileNameOf(iconLocation));
  if (!EndsWith(name, L".ico")) return std::nullopt;
  name.resize(name.size() - 4);
  for (const std::wstring prefix : {L"album_", L"updatealbum_"}) {
    if (name.compare(0, prefix.size(), prefix) == 0) return IdOf(name.substr(prefix.size()));
  }
  return std::nullopt;
}

std::wstring WebAddressIn(const std::wstring& text) {
  const std::wstring lower = Lower(text);
  const size_t http = lower.find(L"http://"), https = lower.find(L"https://");
  const size_t at = std::min(http, https);
  return at == std::wstring::npos ? std::wstring() : text.substr(at);
}

std::wstring WithoutSourceTag(const std::wstring& address) {
  for (const std::wstring tag : {L"?src=fromtailcast", L"&src=fromtailcast"}) {
    if (EndsWith(address, tag)) return address.substr(0, address.size() - tag.size());
  }
  return address;
}

std::optional<RecoveredShortcut> RecoverShortcut(const LinkFacts& link, const std::wstring& iconFolder) {
  const std::optional<int32_t> albumId = AlbumIdOfIcon(link.iconLocation, iconFolder);
  if (!albumId || link.description.empty()) return std::nullopt;
  RecoveredShortcut row;
  row.lnk = link.file;
  row.iconName = link.iconLocation;
  row.albumName = link.description;
  row.albumId = *albumId;
  row.startupParams = link.arguments;
  std::wstring title = FileNameOf(link.file);
  if (EndsWith(Lower(title), L".lnk")) title.resize(title.size() - 4);
  row.tips = title;
  row.finished = EndsWith(title, L"\u96c6\u5168") ? 1 : 0;  // "集全": every episode is out
  std::wstring address;
  for (const std::wstring& target : link.targets) {
    if (address.empty()) address = WebAddressIn(target);
  }
  row.infoType = address.empty() ? 1 : 0;
  row.videoUrl = address.empty() ? std::wstring() : WithoutSourceTag(address);
  return row;
}
