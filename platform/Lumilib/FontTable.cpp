#include "platform/Lumilib/FontTable.h"

namespace Lumi {

namespace {

constexpr int kFallbackSizePx = 12;

}  // namespace

HFONT CFontTable::Make(const FontSpec& spec) const {
  LOGFONTW font = {};
  font.lfHeight = -ScaleByDpi(spec.sizePx > 0 ? spec.sizePx : kFallbackSizePx, m_dpi);
  font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
  font.lfItalic = spec.italic ? TRUE : FALSE;
  font.lfUnderline = spec.underline ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  // Greyscale smoothing: its coverage turns into alpha cleanly (see Render.cpp).
  font.lfQuality = ANTIALIASED_QUALITY;
  const std::wstring name = spec.face.empty() ? CFontTable::DefaultFaceName() : spec.face;
  lstrcpynW(font.lfFaceName, name.c_str(), LF_FACESIZE);
  return ::CreateFontIndirectW(&font);
}

std::wstring CFontTable::DefaultFaceName() {
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return L"Tahoma";
  return metrics.lfMessageFont.lfFaceName[0] ? metrics.lfMessageFont.lfFaceName : L"Tahoma";
}

bool CFontTable::Add(int id, const std::wstring& face, int sizePx, bool bold, bool italic, bool underline) {
  Entry entry;
  entry.spec = FontSpec{face, sizePx, bold, italic, underline};
  entry.font.Reset(Make(entry.spec));
  if (!entry.font) return false;
  m_fonts[id] = std::move(entry);
  return true;
}

HFONT CFontTable::Get(int id) {
  auto found = m_fonts.find(id);
  if (found == m_fonts.end()) found = m_fonts.find(0);
  if (found != m_fonts.end()) return found->second.font.Get();
  if (!m_fallback) m_fallback.Reset(Make(FontSpec{}));
  return m_fallback.Get();
}

void CFontTable::Clear() {
  m_fonts.clear();
  m_fallback.Reset();
}

void CFontTable::SetDpi(unsigned dpi) {
  if (dpi == m_dpi) return;
  m_dpi = dpi;
  for (auto& item : m_fonts) {
    // A font that cannot be made at the new size keeps its old one rather than none.
    ScopedFont remade(Make(item.second.spec));
    if (remade) item.second.font = std::move(remade);
  }
  m_fallback.Reset();
}

}  // namespace Lumi
