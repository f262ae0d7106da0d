#include "platform/Lumilib/AttributeText.h"

#include <cwchar>
#include <cwctype>
#include <vector>

namespace Lumi {

namespace {

bool ReadInt(const wchar_t*& cursor, int* value) {
  while (*cursor == L' ') ++cursor;
  if (!std::iswdigit(*cursor) && *cursor != L'-' && *cursor != L'+') return false;
  wchar_t* end = nullptr;
  const long number = std::wcstol(cursor, &end, 10);
  if (end == cursor || number < -1000000 || number > 1000000) return false;
  cursor = end;
  while (*cursor == L' ') ++cursor;
  *value = static_cast<int>(number);
  return true;
}

int HexDigit(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

}  // namespace

bool ParseIntList(const wchar_t* text, int* out, int count) {
  if (!text || count <= 0) return false;
  std::vector<int> values(count);
  const wchar_t* cursor = text;
  for (int i = 0; i < count; ++i) {
    if (i > 0 && *cursor++ != L',') return false;
    if (!ReadInt(cursor, &values[i])) return false;
  }
  if (*cursor != L'\0') return false;
  for (int i = 0; i < count; ++i) out[i] = values[i];
  return true;
}

bool ParseColor(const wchar_t* text, uint32_t* argb) {
  if (!text || text[0] != L'#') return false;
  const size_t digits = std::wcslen(text + 1);
  if (digits != 8 && digits != 6) return false;
  uint32_t value = 0;
  for (size_t i = 1; i <= digits; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return false;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  *argb = digits == 6 ? (0xFF000000u | value) : value;
  return true;
}

bool ParseFlag(const wchar_t* text) {
  return text && (std::wcscmp(text, L"true") == 0 || std::wcscmp(text, L"1") == 0);
}

}  // namespace Lumi
