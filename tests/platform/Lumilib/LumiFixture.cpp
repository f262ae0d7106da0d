#include "tests/platform/Lumilib/LumiFixture.h"

#include <windowsx.h>

#include "common/ScopedGdi.h"
#include "common/TraceRecord.h"
#include "common/GdiplusInclude.h"

namespace lumitest {

LRESULT TestWindow::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (manager.MessageHandler(msg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(msg, wParam, lParam);
}

LumiTest::LumiTest() {
  Lumi::CUISystem::GetInstance().SetResourcePath(skin.Path().c_str());
  window.Create(nullptr, L"lumi test", WS_POPUP, 0, 0, 0, 300, 200);
  window.manager.Init(window.GetHWND());
}

LumiTest::~LumiTest() {
  ::DestroyWindow(window.GetHWND());
  Pump();
}

void LumiTest::WriteSkin(const std::string& name, const std::string& xml) const {
  const std::wstring path = skin.Path() + std::wstring(name.begin(), name.end());
  ScopedKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ASSERT_TRUE(file && ::WriteFile(file.Get(), xml.data(), static_cast<DWORD>(xml.size()), &written, nullptr));
}

Lumi::CControlUI* LumiTest::Load(const std::string& xml, const RECT& area) {
  WriteSkin("test.xml", xml);
  Lumi::CDialogBuilder builder;
  Lumi::CControlUI* root = builder.Create(L"test.xml", nullptr, nullptr, &window.manager);
  if (!root) return nullptr;
  window.manager.AttachDialog(root);
  window.manager.UpdateLayout(area);
  return root;
}

void LumiTest::Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void LumiTest::MoveTo(POINT pt) {
  ::PostMessageW(window.GetHWND(), WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
  Pump();
}

void LumiTest::Click(POINT down, POINT up) {
  ::PostMessageW(window.GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  ::PostMessageW(window.GetHWND(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
  ::PostMessageW(window.GetHWND(), WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
  Pump();
}

std::vector<uint32_t> LumiTest::PaintPixels(int width, int height) {
  void* memory = nullptr;
  ScopedBitmap bitmap(CreateArgbBitmap(nullptr, width, height, &memory));
  ScopedMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !memory) return {};
  {
    ScopedSelection selection(dc.Get(), bitmap.Get());
    window.manager.PaintTree(dc.Get(), RECT{0, 0, width, height});
    ::GdiFlush();
  }
  const uint32_t* pixels = static_cast<const uint32_t*>(memory);
  return std::vector<uint32_t>(pixels, pixels + static_cast<size_t>(width) * height);
}

bool WritePng(const std::wstring& path, int width, int height, uint32_t argb) {
  Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
  Gdiplus::Graphics graphics(&picture);
  if (graphics.Clear(Gdiplus::Color(argb)) != Gdiplus::Ok) return false;
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  return picture.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}

std::wstring ReadTrace(const wchar_t* key) {
  wchar_t value[512] = {};
  ::GetPrivateProfileStringW(L"Lumilib", key, L"", value, 512, kTraceFile);
  return value;
}

}  // namespace lumitest
