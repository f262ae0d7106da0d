#include "platform/Lumilib/PaintManagerUI.h"

#include <algorithm>

#include "platform/Lumilib/AlphaLayer.h"
#include "platform/Lumilib/ControlUI.h"
#include "platform/Lumilib/UISystem.h"

namespace Lumi {

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
  // The controls still tell this manager that they go.
  m_retired.clear();
  m_root.reset();
}

void CPaintManagerUI::Init(HWND window) { m_window = window; }

void CPaintManagerUI::SetDpi(UINT dpi) {
  const UINT clamped = ClampDpi(dpi);
  if (clamped == m_dpi) return;
  m_dpi = clamped;
  m_fonts.SetDpi(clamped);
  m_images.SetDoubleArt(WantsDoubleArt(clamped));
  m_images.ForgetScaled();
  if (m_root) m_root->NeedUpdate();
  Invalidate(QRect());
}

int CPaintManagerUI::Scale(int designPixels) const { return ScaleByDpi(designPixels, m_dpi); }

QRect CPaintManagerUI::Scale(const RECT& design) const {
  return QRect(Scale(design.left), Scale(design.top), Scale(design.right), Scale(design.bottom));
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  m_hot = nullptr;
  m_pushed = nullptr;
  m_toolTip.Hide();
  Retire(std::move(m_root));
  m_root.reset(root);
  root->SetManager(this, nullptr);
  root->NeedUpdate();
  return true;
}

void CPaintManagerUI::ReleaseSkin() {
  m_hot = nullptr;
  m_pushed = nullptr;
  m_toolTip.Destroy();
  Retire(std::move(m_root));
  m_root.reset();
  m_fonts.Clear();
  m_images.Clear();
  CAlphaLayer::ReleaseScratch();
  MarkInvalid(QRect());
}

CControlUI* CPaintManagerUI::FindControl(const wchar_t* name) const {
  if (!m_root || !name || !*name) return nullptr;
  return m_root->FindControl([name](CControlUI* control) { return control->GetName() == name; }, UIFIND_ALL);
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
  if (!m_root) return nullptr;
  return m_root->FindControl([pt](CControlUI* control) { return control->GetPos().Contains(pt); },
                             UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_TOP_FIRST);
}

void CPaintManagerUI::AddNotifier(INotifyUI* listener) {
  if (!listener || std::find(m_notifiers.begin(), m_notifiers.end(), listener) != m_notifiers.end()) return;
  m_notifiers.push_back(listener);
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* listener) {
  auto found = std::find(m_notifiers.begin(), m_notifiers.end(), listener);
  if (found == m_notifiers.end()) return false;
  m_notifiers.erase(found);
  return true;
}

void CPaintManagerUI::SendNotify(CControlUI* sender, const wchar_t* type, POINT pt, WPARAM wParam, LPARAM lParam) {
  if (!sender || !type) return;
  ++m_delivering;
  TEventUI event = {type, sender, pt, wParam, lParam};
  sender->Fire(event);
  // A listener may remove others; work on a copy.
  const std::vector<INotifyUI*> listeners = m_notifiers;
  for (INotifyUI* listener : listeners) {
    TNotifyUI message = {CStdString(type), sender, wParam, lParam};
    listener->Notify(message);
  }
  if (--m_delivering == 0) m_retired.clear();
}

void CPaintManagerUI::Retire(std::unique_ptr<CControlUI> control) {
  if (!control) return;
  ForgetControl(control.get());
  if (m_delivering > 0) m_retired.push_back(std::move(control));
}

void CPaintManagerUI::UpdateLayout(const RECT& client) {
  if (!m_root) return;
  const QRect area(client);
  if (m_root->IsUpdateNeeded() && !area.IsEmpty()) {
    m_root->SetPos(area);
    MarkInvalid(QRect());
    return;
  }
  // SetPos clears the flag, so every round finds one control fewer.
  const auto needsUpdate = [](CControlUI* control) { return control->IsUpdateNeeded(); };
  while (CControlUI* control = m_root->FindControl(needsUpdate, UIFIND_VISIBLE)) {
    control->SetPos(control->GetPos());
  }
}

void CPaintManagerUI::PaintTree(HDC dc, const RECT& rc) {
  if (m_root && m_root->IsVisible()) m_root->DoPaint(dc, rc);
}

void CPaintManagerUI::Invalidate(const RECT& rc) {
  if (!m_window) return;
  MarkInvalid(rc);
  const QRect area(rc);
  ::InvalidateRect(m_window, area.IsEmpty() ? nullptr : &rc, FALSE);
}

void CPaintManagerUI::MarkInvalid(const RECT& rc) {
  const QRect area(rc);
  if (area.IsEmpty()) {
    m_invalidAll = true;
  } else if (m_invalid.IsEmpty()) {
    m_invalid = area;
  } else {
    ::UnionRect(&m_invalid, &m_invalid, &area);
  }
}

QRect CPaintManagerUI::TakeInvalidArea(const RECT& client) {
  QRect taken;
  if (m_invalidAll) {
    taken = client;
  } else {
    ::IntersectRect(&taken, &m_invalid, &client);
  }
  m_invalid = QRect();
  m_invalidAll = false;
  return taken;
}

int CPaintManagerUI::GetTruncatedStringPos(const wchar_t* text, int widthPx, int fontIndex) {
  if (!text || !*text || widthPx <= 0) return 0;
  ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!dc) return 0;
  ScopedSelection font(dc.Get(), GetFont(fontIndex));
  const int length = lstrlenW(text);
  int fit = 0;
  SIZE size = {};
  if (!::GetTextExtentExPointW(dc.Get(), text, length, widthPx, &fit, nullptr, &size)) return 0;
  return std::max(0, std::min(fit, length));
}

HFONT CPaintManagerUI::GetFont(int index) { return m_fonts.Get(index); }

bool CPaintManagerUI::AddFont(int id, const wchar_t* face, int sizePx, bool bold, bool italic, bool underline) {
  return m_fonts.Add(id, face ? face : L"", sizePx, bold, italic, underline);
}

Gdiplus::Bitmap* CPaintManagerUI::GetImage(const wchar_t* path) { return m_images.Get(path ? path : L""); }

const CAlphaLayer* CPaintManagerUI::GetScaledImage(const wchar_t* path, int width, int height) {
  return m_images.GetScaled(path ? path : L"", width, height);
}

namespace {

bool IsWithin(CControlUI* control, CControlUI* ancestor) {
  for (CControlUI* at = control; at; at = at->GetParent()) {
    if (at == ancestor) return true;
  }
  return false;
}

}  // namespace

void CPaintManagerUI::ForgetControl(CControlUI* control) {
  if (m_hot && IsWithin(m_hot, control)) {
    m_hot = nullptr;
    m_toolTip.Hide();
  }
  if (m_pushed && IsWithin(m_pushed, control)) {
    m_pushed = nullptr;
    if (m_window && ::GetCapture() == m_window) ::ReleaseCapture();
  }
}

void CPaintManagerUI::ToolTipChanged(CControlUI* control) {
  if (control == m_hot) m_toolTip.Track(m_window, control->GetPos(), control->GetToolTip().Str());
}

std::wstring CPaintManagerUI::GetInstancePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(CUISystem::GetInstance().GetModuleInstance(), path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

int CPaintManagerUI::MessageLoop() {
  MSG message = {};
  for (;;) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;       // WM_QUIT
    if (got == -1) return -1;  // the queue is gone
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace Lumi
