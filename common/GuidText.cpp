#include "common/GuidText.h"

#include <cwchar>

std::wstring GuidHexDigits(const GUID& guid) {
  wchar_t text[33] = {};
  std::swprintf(text, 33, L"%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x", static_cast<unsigned long>(guid.Data1),
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}
