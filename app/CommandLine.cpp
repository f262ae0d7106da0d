#include "app/CommandLine.h"

#include <vector>

#include "common/SplitText.h"

namespace {

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; }

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

}  // namespace

bool IsUpdateCommand(const std::wstring& commandLine) {
  if (Contains(commandLine, kCommandSeparator)) return Contains(commandLine, L"update,,");
  return Contains(commandLine, L"update");
}

bool IsDeskFavorCommand(const std::wstring& command) {
  const std::wstring prefix = kDeskFavorPrefix;
  return EqualsIgnoringCase(command.substr(0, prefix.size()), prefix);
}

bool IsUninstallCommand(const std::wstring& command) { return EqualsIgnoringCase(command, kUninstallCommand); }

std::wstring FavoriteTextOf(const std::wstring& command) {
  const std::wstring marker = kFavoriteTextMarker;
  const size_t found = command.find(marker);
  if (found == std::wstring::npos) return std::wstring();
  return command.substr(found + marker.size());
}

std::wstring UpdateStartCommand(const std::wstring& commandLine) {
  std::vector<std::wstring> pieces;
  SplitText(commandLine, kCommandSeparator, pieces);
  if (pieces.size() < 2) return std::wstring();
  return pieces[1];
}

std::wstring UpdaterParameters(const std::wstring& applicationName, const std::wstring& commandLine) {
  return L"AUTOSILENT" + std::wstring(kCommandSeparator) + applicationName + kCommandSeparator + commandLine;
}
