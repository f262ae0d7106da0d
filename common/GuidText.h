// A GUID as the program writes identifiers: 32 lower-case hexadecimal digits, Data1, Data2 and
// Data3 then the eight bytes of Data4, without braces or dashes.
#pragma once

#include <windows.h>

#include <string>

std::wstring GuidHexDigits(const GUID& guid);
