// A real window of the UI library for tests: skin files in a scratch folder that is the skin
// folder, GDI+ started, a paint manager bound to a plain CWindowWnd.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/ScopedGdiplus.h"
#include "platform/Lumilib/UIlib.h"
#include "tests/support/ProcessHarness.h"

namespace lumitest {

// A window whose messages go to its paint manager, then to the default handling.
class TestWindow : public Lumi::CWindowWnd {
public:
  Lumi::CPaintManagerUI manager;

protected:
  const wchar_t* GetWindowClassName() const override { return L"LumiTestWindow"; }
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

class LumiTest : public ::testing::Test {
protected:
  LumiTest();
  ~LumiTest() override;

  // Writes `xml` (UTF-8) as `name` in the skin folder.
  void WriteSkin(const std::string& name, const std::string& xml) const;
  // Builds the skin file into the window's manager and lays the root out over `area`.
  Lumi::CControlUI* Load(const std::string& xml, const RECT& area);
  // Delivers every message waiting for this thread's windows.
  static void Pump();
  void Click(POINT down, POINT up);
  void MoveTo(POINT pt);
  // Paints the tree into a cleared 32-bit bitmap of that size; its pixels, row by row.
  std::vector<uint32_t> PaintPixels(int width, int height);

  const ScopedGdiplus gdiplus;  // first made, last gone: the window's pictures are GDI+ objects
  vxtest::ScratchFolder skin{L"lumiskin"};
  TestWindow window;
};

// Writes a PNG of one colour (0xAARRGGBB); false when GDI+ cannot.
bool WritePng(const std::wstring& path, int width, int height, uint32_t argb);

// Reads a key of the library's section of the trace file.
std::wstring ReadTrace(const wchar_t* key);

}  // namespace lumitest
