#include "tests/push/FollowedAlbums.h"

#include "app/ClientLocations.h"
#include "common/Registry.h"
#include "common/ScopedGdi.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "favorites/ShortcutStore.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/LinkReader.h"

namespace vxtest {

const std::wstring kUserKey = std::wstring(kClientUserKeyFormat) + kClientProductKey;
const std::wstring kMachineId = L"0123456789abcdef0123456789abcdef";

COLORREF AlbumColour(int albumId) {
  switch (albumId) {
    case 123: return RGB(200, 40, 40);
    case 124: return RGB(40, 160, 80);
    case 125: return RGB(40, 80, 200);
    default: return RGB(220, 180, 40);
  }
}

bool Near(COLORREF a, COLORREF b) {
  const auto close = [](int x, int y) { return x - y < 24 && y - x < 24; };
  return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) && close(GetBValue(a), GetBValue(b));
}

HWND VisiblePopup() {
  const HWND popup = ::FindWindowW(L"CPushWnd", nullptr);
  return popup && ::IsWindowVisible(popup) ? popup : nullptr;
}

COLORREF PopupPixel(HWND popup, POINT point) {
  ::ClientToScreen(popup, &point);
  return ::GetPixel(ScreenDc().Get(), point.x, point.y);
}

void Click(HWND popup, POINT point) {
  const LPARAM at = MAKELPARAM(point.x, point.y);
  ::PostMessageW(popup, WM_MOUSEMOVE, 0, at);
  ::PostMessageW(popup, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(popup, WM_LBUTTONUP, 0, at);
}

std::wstring IconOf(const std::wstring& lnk) {
  LinkInfo info;
  return ReadLink(lnk, info) ? info.icon : std::wstring();
}

std::string TargetOf(const std::wstring& lnk) {
  LinkInfo info;
  return ReadLink(lnk, info) ? info.targetItemName : std::string();
}

Json::Value OneReminder(const std::string& videoUrl, int albumId) {
  Json::Value item;
  item["reminder"]["tvPic"] = "{origin}/pictures/album_" + std::to_string(albumId) + ".jpg";
  item["reminder"]["tvName"] = "第12集";
  item["reminder"]["mpd"] = 12;
  item["albumId"] = albumId;
  item["channelId"] = 2;
  item["albumName"] = "ABC 都市情缘";
  item["videoOrder"] = 10;
  item["videoUrl"] = videoUrl;
  Json::Value feed;
  feed["code"] = "A00000";
  feed["count"] = 1;
  feed["data"].append(item);
  return feed;
}

void AnswerMachine(const Json::Value& feed, const char* answer) {
  Json::Value request;
  request["ckuid"] = WideToUtf8(kMachineId);
  request["feed"] = feed;
  request["answer"] = answer;
  ASSERT_EQ(EmulatorRequest("POST", "/__emu/reminders", Json::FastWriter().write(request)).status, 200u);
}

void FollowedAlbumsTest::SetUp() {
  ASSERT_FALSE(EmulatorOrigin().empty()) << "no emulator: run the tests through tools/with-emulator.sh";
  ResetEmulator();
  ASSERT_TRUE(WriteRegistryText(HKEY_LOCAL_MACHINE, kClientKey, kDataFolderValue, data.Path()));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kUserKey, L"Status", L"0"));
  ASSERT_TRUE(WriteRegistryText(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue, kMachineId));
  ASSERT_TRUE(program.InstallSkin());
  UseHostPaths(data.Path());
  ::CreateDirectoryW((data.Path() + L"VexoClient").c_str(), nullptr);
  ::CreateDirectoryW(IconFolder().c_str(), nullptr);
}

void FollowedAlbumsTest::TearDown() {
  EndAllInstances();
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) ::DeleteFileW(shortcut.lnk.c_str());
  SetHostPaths(HostPaths());
  for (const wchar_t* value : {kDataFolderValue, kInstallFolderValue}) {
    ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, value);
  }
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Status");
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kUserKey.c_str(), L"Cookie");
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kMachineIdKey, kMachineIdValue);
}

std::wstring FollowedAlbumsTest::Follow(int albumId, const std::wstring& name, bool badged) {
  DeskFavorRequest request;
  request.AlbumName = name;
  request.AlbumID = albumId;
  request.ChannelID = 2;
  request.VideoUrl = L"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html";
  request.PicUrl = L"http://pic.vexo.com/a.jpg";
  EXPECT_GT(CreateDeskFavor(&request), 0);
  const std::wstring skinIcon = ProvisionalIconPath();
  for (const wchar_t* prefix : {L"album_", L"updatealbum_"}) {
    ::CopyFileW(skinIcon.c_str(), (IconFolder() + prefix + std::to_wstring(albumId) + L".ico").c_str(), FALSE);
  }
  const std::wstring icon = IconFolder() + (badged ? L"updatealbum_" : L"album_") + std::to_wstring(albumId) + L".ico";
  const auto stored = FindShortcutByAlbum(albumId);
  if (!stored) return std::wstring();
  const ShortcutLinkFields fields{LinkTarget(request.VideoUrl), L"", kSourceTagArguments, icon, name};
  EXPECT_TRUE(WriteShortcutLink(fields, stored->lnk));
  SetShortcutIconName(KeyOf(name), icon);
  SetShortcutTitle(KeyOf(name), name, stored->lnk, 0);  // counted: nothing for the checks to complete
  MarkPlayPageKnown(albumId);
  return stored->lnk;
}

void FollowedAlbumsTest::StartAtLogOn() {
  running = program.Start(L"update,,autostart");
  ASSERT_NE(program.WaitForControlWindow(running.Id()), nullptr);
}

HWND FollowedAlbumsTest::WaitForPopupShowing(int albumId) {
  HWND popup = nullptr;
  WaitUntil([&] {
    popup = VisiblePopup();
    return popup && Near(PopupPixel(popup, kPicture), AlbumColour(albumId));
  }, kProcessTimeoutMs);
  return popup;
}

std::wstring FollowedAlbumsTest::RemindIni(const wchar_t* section) const {
  wchar_t value[64] = {};
  ::GetPrivateProfileStringW(section, kMachineId.c_str(), L"", value, 64,
                             (data.Path() + L"VexoClient\\vexo_remind.ini").c_str());
  return value;
}

void EveningProcessTest::TearDown() {
  ::SetEnvironmentVariableW(L"TZ", nullptr);
  FollowedAlbumsTest::TearDown();
}

std::wstring EveningProcessTest::ZoneWhereItIs(int localHour) {
  SYSTEMTIME utc = {};
  ::GetSystemTime(&utc);
  int offset = (utc.wHour - localHour + 24) % 24;
  if (offset > 12) offset -= 24;
  return L"VXT" + std::to_wstring(offset);
}

size_t EveningProcessTest::AnonymousFeeds() {
  return EmulatorJson("GET", "/__emu/requests?prefix=/apis/urc/getUpdateReminder").size();
}

}  // namespace vxtest
