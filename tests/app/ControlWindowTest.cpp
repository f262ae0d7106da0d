// The control window created inside the test process, with the program's own resources.
#include "app/VXTailcastDlg.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/ClientLocations.h"
#include "app/ControlWindowHandle.h"
#include "app/Messages.h"
#include "app/resource.h"
#include "common/Dpi.h"
#include "common/ModulePath.h"
#include "common/Registry.h"
#include "common/TraceRecord.h"
#include "tests/support/ProcessHarness.h"

namespace {

using vxtest::ReadTrace;

std::wstring MenuText(HMENU menu, UINT item, UINT byFlag) {
  wchar_t text[128] = {};
  ::GetMenuStringW(menu, item, text, 128, byFlag);
  return text;
}

class ControlWindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::DeleteFileW(kTraceFile);
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
    hwnd = window.GetSafeHwnd();
  }

  LRESULT SendCopyData(ULONG_PTR dwData, const void* data, DWORD bytes) {
    COPYDATASTRUCT record = {dwData, bytes, const_cast<void*>(data)};
    return ::SendMessageW(hwnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  }

  CVXTailcastDlg window;
  HWND hwnd = nullptr;
};

TEST_F(ControlWindowTest, HiddenDialogTitledForLookupWithItsIcon) {
  wchar_t title[64] = {}, className[64] = {};
  ::GetWindowTextW(hwnd, title, 64);
  ::GetClassNameW(hwnd, className, 64);
  EXPECT_STREQ(title, L"VexoTailcast");
  EXPECT_STREQ(className, L"#32770");
  EXPECT_FALSE(::IsWindowVisible(hwnd));
  EXPECT_EQ(::GetParent(hwnd), nullptr);
  EXPECT_EQ(::FindWindowW(nullptr, L"VexoTailcast"), hwnd);

  ASSERT_NE(window.Icon(), nullptr);
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0)), window.Icon());
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0)), window.Icon());
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0)), window.Icon());
}

// 16 pixels at 100 %, 24 at 150 % (the tray tests also run at that scale): an image of the
// icon's own, not the 32-pixel one that the shell would shrink.
TEST_F(ControlWindowTest, TheTrayIconHasTheSmallIconSizeOfTheDisplaysScale) {
  ICONINFO info = {};
  ASSERT_TRUE(::GetIconInfo(window.TrayIconImage(), &info));
  BITMAP colour = {};
  ::GetObjectW(info.hbmColor, sizeof colour, &colour);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  EXPECT_EQ(colour.bmWidth, ::MulDiv(16, static_cast<int>(SystemDpi()), 96));
  EXPECT_EQ(colour.bmHeight, colour.bmWidth);
  EXPECT_EQ(colour.bmWidth, SmallIconSize(SystemDpi()));
}

TEST_F(ControlWindowTest, PaintingHidesTheWindowAgain) {
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(::IsWindowVisible(hwnd));
  ::InvalidateRect(hwnd, nullptr, TRUE);
  ::UpdateWindow(hwnd);  // paints synchronously
  EXPECT_FALSE(::IsWindowVisible(hwnd));
}

TEST_F(ControlWindowTest, SystemMenuEndsWithTheAboutItem) {
  const HMENU systemMenu = ::GetSystemMenu(hwnd, FALSE);
  ASSERT_NE(systemMenu, nullptr);
  const int count = ::GetMenuItemCount(systemMenu);
  ASSERT_GE(count, 2);
  EXPECT_EQ(::GetMenuItemID(systemMenu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
  EXPECT_EQ(MenuText(systemMenu, IDM_ABOUTBOX, MF_BYCOMMAND), L"&About VXTailcast...");
  EXPECT_TRUE(::GetMenuState(systemMenu, count - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(ControlWindowTest, AboutBoxOpensModallyFromSystemMenu) {
  std::wstring versionLine, caption;
  std::thread closer([&] {
    const HWND about = vxtest::WaitForWindow(L"About VXTailcast", 10000);
    if (!about) return;
    wchar_t text[128] = {};
    vxtest::WaitUntil([&] { return ::GetDlgItemTextW(about, IDC_ABOUT_VERSION, text, 128) > 0; }, 10000);
    versionLine = text;
    ::GetWindowTextW(about, text, 128);
    caption = text;
    ::PostMessageW(about, WM_COMMAND, IDOK, 0);
  });
  ::SendMessageW(hwnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);  // returns when the box is closed
  closer.join();
  EXPECT_EQ(caption, L"About VXTailcast");
  EXPECT_EQ(versionLine, L"VXTailcast, Version 1.0");
}

TEST_F(ControlWindowTest, CopyDataTextIsTracedAndHandedOn) {
  const std::wstring text = L"{\"albumId\":123,\"name\":\"\u89c6\u9891\"}";
  EXPECT_EQ(SendCopyData(0, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2)), 1);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :"), text);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"GetDataInfoManager : "), text);
}

TEST_F(ControlWindowTest, CopyDataIsNeverReadBeyondCbData) {
  const wchar_t noTerminator[] = {L'A', L'B', L'C', L'D', L'E', L'F', L'G', L'H'};
  EXPECT_EQ(SendCopyData(0, noTerminator, 6), 1);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :"), L"ABC");
  EXPECT_EQ(SendCopyData(0, noTerminator, 7), 1);  // an odd byte count: the half character is dropped
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :"), L"ABC");
  EXPECT_EQ(SendCopyData(0, noTerminator, 0), 1);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :"), L"");
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"GetDataInfoManager : "), L"");
}

TEST_F(ControlWindowTest, CopyDataStopsAtFirstNul) {
  const wchar_t twoTexts[] = L"first\0second";
  EXPECT_EQ(SendCopyData(0, twoTexts, sizeof twoTexts), 1);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :"), L"first");
}

TEST_F(ControlWindowTest, NullCopyDataIsRefused) {
  EXPECT_EQ(::SendMessageW(hwnd, WM_COPYDATA, 0, 0), 0);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData "), L"is false!");
  ::DeleteFileW(kTraceFile);
  EXPECT_EQ(SendCopyData(0, nullptr, 40), 0);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData "), L"is false!");
  EXPECT_FALSE(ReadTrace(kTraceFile, L"Tailcast:", L"CopyData IS :").has_value());
}

TEST_F(ControlWindowTest, CreateDeskFavorCommandTracesItsText) {
  const std::wstring text = L"{\"albumId\":7}";
  HandoffText record = MakeHandoffText(kHandoffFromFirstStart, text);
  EXPECT_EQ(record.cbData, 2 * text.size() + 2);
  EXPECT_EQ(::SendMessageW(hwnd, WM_TAILCAST_COMMAND, CMD_CREATE_DESKFAVOR, reinterpret_cast<LPARAM>(&record)), 1);
  EXPECT_EQ(ReadTrace(kTraceFile, L"tailcast", L"CreateDeskFavor Info :"), text);
  EXPECT_EQ(ReadTrace(kTraceFile, L"Tailcast:", L"GetDataInfoManager : "), text);
}

TEST_F(ControlWindowTest, CreateDeskFavorWithoutRecordDoesNothing) {
  EXPECT_EQ(::SendMessageW(hwnd, WM_TAILCAST_COMMAND, CMD_CREATE_DESKFAVOR, 0), 1);
  EXPECT_FALSE(ReadTrace(kTraceFile, L"Tailcast", L"CreateDeskFavor Info :").has_value());
  EXPECT_EQ(::SendMessageW(hwnd, WM_TAILCAST_COMMAND, 4242, 0), 1);  // unknown codes still answer 1
}

TEST_F(ControlWindowTest, TrayExitEndsTheMessageLoop) {
  ::SendMessageW(hwnd, WM_COMMAND, ID_TRAY_EXIT, 0);
  MSG message = {};
  bool quit = false;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quit = true;
      EXPECT_EQ(message.wParam, 0u);
    }
  }
  EXPECT_TRUE(quit);
}

bool AutostartTicked(HWND window) {
  const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  const HMENU popup = ::GetSubMenu(menu, 0);
  ::SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  const bool ticked = (::GetMenuState(popup, ID_TRAY_AUTOSTART, MF_BYCOMMAND) & MF_CHECKED) != 0;
  ::DestroyMenu(menu);
  return ticked;
}

TEST_F(ControlWindowTest, AutostartToggleWritesAndRemovesTheRunValue) {
  const wchar_t* valueName = L"vx_app_window_tests";  // the running executable's base name
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, valueName);
  const bool initially = window.IsAutostartChecked();
  EXPECT_EQ(AutostartTicked(hwnd), initially);

  ::SendMessageW(hwnd, WM_COMMAND, ID_TRAY_AUTOSTART, 0);
  EXPECT_NE(window.IsAutostartChecked(), initially);
  if (!initially) {
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kRunKey, valueName), L"\"" + ModuleFilePath() + L"\" autostart");
    EXPECT_TRUE(AutostartTicked(hwnd));
  }
  ::SendMessageW(hwnd, WM_COMMAND, ID_TRAY_AUTOSTART, 0);
  EXPECT_EQ(window.IsAutostartChecked(), initially);
  EXPECT_EQ(AutostartTicked(hwnd), initially);
  if (!initially) {
    EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, kRunKey, valueName).has_value());
  }
}

// The Run key made read-only for everyone, as a locked-down profile has it; the old
// permissions come back when the object goes.
class ReadOnlyRunKey {
public:
  ReadOnlyRunKey() {
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, READ_CONTROL | WRITE_DAC, &m_key) != ERROR_SUCCESS) return;
    DWORD bytes = 0;
    ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, nullptr, &bytes);
    m_saved.resize(bytes);
    if (bytes == 0 || ::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data(), &bytes) != ERROR_SUCCESS) {
      m_saved.clear();
      return;
    }
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                               nullptr)) {
      return;
    }
    m_applied = ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
    ::LocalFree(readOnly);
  }
  ~ReadOnlyRunKey() {
    if (m_applied) ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved.data());
    if (m_key) ::RegCloseKey(m_key);
  }
  // Whether a writer is really refused now.
  bool Refuses() const {
    HKEY probe = nullptr;
    const LSTATUS opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &probe);
    if (probe) ::RegCloseKey(probe);
    return m_applied && opened != ERROR_SUCCESS;
  }

private:
  HKEY m_key = nullptr;
  std::vector<BYTE> m_saved;
  bool m_applied = false;
};

struct FailureBox {
  std::wstring caption;
  std::wstring text;
};

// Toggles autostart on `window`, answering the failure box it must show.
FailureBox ToggleExpectingTheFailureBox(HWND window) {
  FailureBox box;
  std::thread answer([&] {
    const HWND found = vxtest::WaitForWindow(L"开机自动运行程序失败！", 10000);
    if (!found) return;
    wchar_t text[256] = {};
    ::GetWindowTextW(found, text, 256);
    box.caption = text;
    vxtest::WaitUntil([&] { return ::GetDlgItemTextW(found, 0xFFFF, text, 256) > 0; }, 5000);
    box.text = text;
    ::PostMessageW(found, WM_COMMAND, IDOK, 0);
  });
  ::SendMessageW(window, WM_COMMAND, ID_TRAY_AUTOSTART, 0);  // returns when the box is answered
  answer.join();
  return box;
}

TEST_F(ControlWindowTest, RefusedAutostartWriteKeepsTheTickAndTellsTheUser) {
  const wchar_t* valueName = L"vx_app_window_tests";
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, valueName);
  ASSERT_FALSE(window.IsAutostartChecked());
  ReadOnlyRunKey readOnly;
  ASSERT_TRUE(readOnly.Refuses());

  const FailureBox box = ToggleExpectingTheFailureBox(hwnd);
  EXPECT_EQ(box.caption, L"开机自动运行程序失败！");
  EXPECT_EQ(box.text, L"请以管理员身份运行程序或者降低UAC权限！");
  EXPECT_FALSE(window.IsAutostartChecked());
  EXPECT_FALSE(AutostartTicked(hwnd));
  EXPECT_FALSE(ReadRegistryText(HKEY_CURRENT_USER, kRunKey, valueName).has_value());
}

TEST(ControlWindowAutostartTest, RefusedRemovalKeepsTheTickAndTellsTheUser) {
  const wchar_t* valueName = L"vx_app_window_tests";
  const std::wstring command = L"\"" + ModuleFilePath() + L"\" autostart";
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kRunKey, valueName, command));
  // The tick follows the program's own entry; the switch writes the running executable's.
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kRunKey, kAutostartValue, command));
  {
    CVXTailcastDlg window;  // reads the autostart state when made
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
    ASSERT_TRUE(window.IsAutostartChecked());
    ReadOnlyRunKey readOnly;
    ASSERT_TRUE(readOnly.Refuses());

    const FailureBox box = ToggleExpectingTheFailureBox(window.GetSafeHwnd());
    EXPECT_EQ(box.caption, L"开机自动运行程序失败！");
    EXPECT_TRUE(window.IsAutostartChecked());
    EXPECT_TRUE(AutostartTicked(window.GetSafeHwnd()));
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kRunKey, valueName), command);
  }
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, valueName);
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kAutostartValue);
}

TEST_F(ControlWindowTest, OnlyRightButtonPressOnTheTrayIconIsHandled) {
  EXPECT_EQ(::SendMessageW(hwnd, WM_TRAY_NOTIFY, 128, WM_LBUTTONDOWN), 1);
  EXPECT_EQ(::SendMessageW(hwnd, WM_TRAY_NOTIFY, 128, WM_MOUSEMOVE), 1);
}

TEST(ControlWindowPostedWorkTest, WorkStillQueuedWhenTheWindowGoesIsFreedUnrun) {
  const auto token = std::make_shared<int>(0);
  {
    CVXTailcastDlg window;
    ASSERT_TRUE(window.Create(::GetModuleHandleW(nullptr)));
    ASSERT_TRUE(window.PostWork([token] { ++*token; }));
    EXPECT_EQ(token.use_count(), 2);
  }
  EXPECT_EQ(token.use_count(), 1);
  EXPECT_EQ(*token, 0);
}

HWND PublishedSeenFromAnotherThread() {
  HWND seen = nullptr;
  std::thread([&seen] { seen = PublishedControlWindow(); }).join();
  return seen;
}

TEST(ControlWindowHandleTest, OtherThreadsFindTheWindowOnlyWhileItExists) {
  auto window = std::make_unique<CVXTailcastDlg>();
  ASSERT_TRUE(window->Create(::GetModuleHandleW(nullptr)));
  EXPECT_EQ(PublishedSeenFromAnotherThread(), window->GetSafeHwnd());
  window.reset();
  EXPECT_EQ(PublishedSeenFromAnotherThread(), nullptr);

  CVXTailcastDlg destroyed;
  ASSERT_TRUE(destroyed.Create(::GetModuleHandleW(nullptr)));
  ASSERT_EQ(PublishedSeenFromAnotherThread(), destroyed.GetSafeHwnd());
  ::DestroyWindow(destroyed.GetSafeHwnd());
  EXPECT_EQ(PublishedSeenFromAnotherThread(), nullptr);
}

TEST(ProgramResourcesTest, TrayMenuHasItsTwoItems) {
  const HMENU menu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_TRAY_MENU));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(MenuText(menu, 0, MF_BYPOSITION), L"\u6258\u76d8");  // 托盘
  const HMENU popup = ::GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(::GetMenuItemCount(popup), 2);
  EXPECT_EQ(::GetMenuItemID(popup, 0), static_cast<UINT>(ID_TRAY_AUTOSTART));
  EXPECT_EQ(MenuText(popup, 0, MF_BYPOSITION), L"\u5f00\u673a\u542f\u52a8");  // 开机启动
  EXPECT_EQ(::GetMenuItemID(popup, 1), static_cast<UINT>(ID_TRAY_EXIT));
  EXPECT_EQ(MenuText(popup, 1, MF_BYPOSITION), L"\u9000\u51fa");  // 退出
  ::DestroyMenu(menu);
}

TEST(ProgramResourcesTest, VersionAndAboutStringArePresent) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  EXPECT_NE(::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */), nullptr);
  wchar_t about[64] = {};
  ::LoadStringW(module, IDS_ABOUTBOX, about, 64);
  EXPECT_STREQ(about, L"&About VXTailcast...");
  EXPECT_NE(::LoadImageW(module, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0), nullptr);
}

TEST(ProgramResourcesTest, ManifestAsksForCommonControlsSixPerMonitorScaleAndNoElevation) {
  const HMODULE module = ::GetModuleHandleW(nullptr);
  const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
  ASSERT_NE(found, nullptr);
  const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
  const std::string manifest(data, ::SizeofResource(module, found));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
  EXPECT_NE(manifest.find("supportedOS"), std::string::npos);
  // Per-monitor v2 where the system knows it, per monitor on Windows 8.1, the system's scale on 7.
  EXPECT_NE(manifest.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
                          "PerMonitor</dpiAwareness>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>"),
            std::string::npos);
}

}  // namespace
