#include "platform/Lumilib/FontTable.h"

namespace Lumi {

namespace {

HFONT MakeFont(const std::wstring& face, int sizePx, bool bold, bool italic, bool underline) {
  LOGFONTW font = {};
  font.lfHeight = -(sizePx > 0 ? sizePx : 12);
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = italic ? TRUE : FALSE;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  // Greyscale smoothing: its coverage turns into alpha cleanly (see Render.cpp).
  font.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring name = face.empty() ? CFontTable::DefaultFaceName() : face;
  lstrcpynW(font.lfFaceName, name.c_str(), LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

}  // namespace

std::wstring CFontTable::DefaultFaceName() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return L"Tahoma";
  return metrics.lfMessageFont.lfFaceName[0] ? metrics.lfMessageFont.lfFaceName : L"Tahoma";
}

bool CFontTable::Add(int id, const std::wstring& face, int sizePx, bool bold, bool italic, bool underline) {
  ScopedFont font(MakeFont(face, sizePx, bold, italic, underline));
  if (!font) return false;
  m_fonts[id] = std::move(font);
  return true;
}

HFONT CFontTable::Get(int id) {
  auto found = m_fonts.find(id);
  if (found == m_fonts.end()) found = m_fonts.find(0);
  if (found != m_fonts.end()) return found->second.Get();
  if (!m_fallback) m_fallback.Reset(MakeFont(std::wstring(), 12, false, false, false));
  return m_fallback.Get();
}

}  // namespace Lumi
