// Conversions between the text forms the program meets: wide (UTF-16) for Win32,
// narrow in the system ANSI code page for the store, UTF-8 inside JSON.
// Each converts up to the first NUL and gives an empty text for empty input.
#pragma once

#include <string>

std::string WideToAnsi(const std::wstring& text);
std::wstring AnsiToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
