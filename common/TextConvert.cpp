#include "common/TextConvert.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace {

std::string WideToCodePage(const std::wstring& text, UINT codePage) {
  const int length = static_cast<int>(std::wcslen(text.c_str()));
  if (length == 0) return std::string();
  const int needed = ::WideCharToMultiByte(codePage, 0, text.c_str(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string result(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(codePage, 0, text.c_str(), length, &result[0], needed, nullptr, nullptr);
  return result;
}

std::wstring CodePageToWide(const std::string& text, UINT codePage) {
  const int length = static_cast<int>(std::strlen(text.c_str()));
  if (length == 0) return std::wstring();
  const int needed = ::MultiByteToWideChar(codePage, 0, text.c_str(), length, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring result(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.c_str(), length, &result[0], needed);
  return result;
}

}  // namespace

std::string WideToAnsi(const std::wstring& text) { return WideToCodePage(text, CP_ACP); }
std::wstring AnsiToWide(const std::string& text) { return CodePageToWide(text, CP_ACP); }
std::string WideToUtf8(const std::wstring& text) { return WideToCodePage(text, CP_UTF8); }
std::wstring Utf8ToWide(const std::string& text) { return CodePageToWide(text, CP_UTF8); }
