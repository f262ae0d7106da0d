// The library's wide string: a small value type over std::wstring with the operations skins
// and windows need.
#pragma once

#include <windows.h>

#include <string>

namespace Lumi {

class CStdString {
public:
  CStdString() = default;
  CStdString(const wchar_t* text, int length = -1);  // length -1: up to the terminating NUL
  CStdString(const std::wstring& text) : m_text(text) {}

  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  const wchar_t* GetData() const { return m_text.c_str(); }
  operator LPCWSTR() const { return m_text.c_str(); }
  const std::wstring& Str() const { return m_text; }

  CStdString Left(int count) const;
  CStdString Mid(int start, int count = -1) const;
  // Index of the last `ch`, or -1.
  int ReverseFind(wchar_t ch) const;
  int Find(wchar_t ch, int start = 0) const;

  CStdString& operator+=(const CStdString& other);
  CStdString& operator+=(const wchar_t* text);
  CStdString& operator+=(wchar_t ch);
  bool operator==(const wchar_t* text) const;
  bool operator!=(const wchar_t* text) const { return !(*this == text); }
  bool operator==(const CStdString& other) const { return m_text == other.m_text; }
  bool operator!=(const CStdString& other) const { return m_text != other.m_text; }

  // printf-style formatting with the Windows runtime's rules (%s is a wide string); the result
  // replaces the text. Returns the new length, or -1 (text emptied) on a bad format.
  int Format(const wchar_t* format, ...);

private:
  std::wstring m_text;
};

CStdString operator+(const CStdString& left, const CStdString& right);
CStdString operator+(const CStdString& left, const wchar_t* right);
CStdString operator+(const wchar_t* left, const CStdString& right);

}  // namespace Lumi
