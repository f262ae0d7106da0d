#include "platform/Lumilib/UIString.h"

#include <cstdarg>
#include <cwchar>
#include <vector>

namespace Lumi {

CStdString::CStdString(const wchar_t* text, int length) {
  if (!text) return;
  if (length < 0) {
    m_text = text;
  } else {
    m_text.assign(text, wcsnlen(text, static_cast<size_t>(length)));
  }
}

CStdString CStdString::Left(int count) const {
  if (count <= 0) return CStdString();
  return CStdString(m_text.substr(0, static_cast<size_t>(count)));
}

CStdString CStdString::Mid(int start, int count) const {
  if (start < 0 || start >= GetLength()) return CStdString();
  return CStdString(m_text.substr(static_cast<size_t>(start), count < 0 ? std::wstring::npos : count));
}

int CStdString::ReverseFind(wchar_t ch) const {
  const size_t at = m_text.rfind(ch);
  return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CStdString::Find(wchar_t ch, int start) const {
  if (start < 0) return -1;
  const size_t at = m_text.find(ch, static_cast<size_t>(start));
  return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CStdString& CStdString::operator+=(const CStdString& other) {
  m_text += other.m_text;
  return *this;
}

CStdString& CStdString::operator+=(const wchar_t* text) {
  if (text) m_text += text;
  return *this;
}

CStdString& CStdString::operator+=(wchar_t ch) {
  m_text += ch;
  return *this;
}

bool CStdString::operator==(const wchar_t* text) const {
  return m_text == (text ? text : L"");
}

int CStdString::Format(const wchar_t* format, ...) {
  m_text.clear();
  if (!format) return -1;
  std::vector<wchar_t> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    const int written = _vsnwprintf(buffer.data(), buffer.size() - 1, format, args);
    va_end(args);
    if (written >= 0 && static_cast<size_t>(written) < buffer.size() - 1) {
      m_text.assign(buffer.data(), static_cast<size_t>(written));
      return written;
    }
    if (buffer.size() >= 64 * 1024) return -1;
    buffer.resize(buffer.size() * 4);
  }
}

CStdString operator+(const CStdString& left, const CStdString& right) {
  CStdString result(left);
  result += right;
  return result;
}

CStdString operator+(const CStdString& left, const wchar_t* right) {
  CStdString result(left);
  result += right;
  return result;
}

CStdString operator+(const wchar_t* left, const CStdString& right) {
  CStdString result(left);
  result += right;
  return result;
}

}  // namespace Lumi
