// Refresh figures: composing one album icon (four sizes) against decoding its picture
// alone, the round trip from a favourite's hand-off to the renamed shortcut with its album
// icon (against the plain hand-off to the first .lnk, in the same run), and the program's
// handles, GDI objects and private bytes across the favourites. Needs the emulator
// (VXTAILCAST_SERVICE_URL). Prints figures; asserts nothing.
#include <windows.h>
#include <objidl.h>

#include <algorithm>
#include <gdiplus.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/Environment.h"
#include "bench/RunningProgram.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HttpFetch.h"
#include "favorites/IconComposer.h"
#include "favorites/ShortcutStore.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxbench;

constexpr int kFirstAlbum = 810000;

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

void RunComposition(int rounds) {
  const std::wstring picture = TempFile(L"vx-bench-album.jpg");
  const std::wstring icon = TempFile(L"vx-bench-album.ico");
  if (!HttpDownloadToFile(Utf8ToWide(vxtest::EmulatorOrigin() + "/pictures/album_123.jpg"), nullptr, 0, 0, picture)) {
    std::printf("composition: no picture from the emulator\n");
    return;
  }
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
  std::vector<double> decode, compose;
  const IconComposer composer(CEnvironment::Instance().GetSkinFolder());
  for (int i = 0; i < rounds; ++i) {
    auto start = Clock::now();
    { const auto bitmap = std::make_unique<Gdiplus::Bitmap>(picture.c_str()); }
    decode.push_back(Milliseconds(Clock::now() - start));
    start = Clock::now();
    composer.ComposeIconFromPicture(picture, icon, 0, kAlbumIconSizes, 1);
    compose.push_back(Milliseconds(Clock::now() - start));
  }
  Gdiplus::GdiplusShutdown(token);
  std::printf("album icon, four sizes: median %.2f ms; decoding the picture alone: %.2f ms; ratio %.1f (%d rounds)\n",
              Median(compose), Median(decode), Median(compose) / std::max(Median(decode), 0.001), rounds);
  ::DeleteFileW(picture.c_str());
  ::DeleteFileW(icon.c_str());
}

void AddCatalogueAlbum(int albumId) {
  const std::string id = std::to_string(albumId);
  vxtest::EmulatorRequest(
      "POST", "/__emu/catalogue",
      R"({"album":)" + id + R"(,"big_album":{"pb_version":"1","timestamp":"1","id":)" + id +
          R"(,"name":"B","album":{"pb_version":"1","timestamp":"1","effect":true,"id":)" + id +
          R"(,"name":"B","tv_id":1,"vid":"v","play_url":"http://www.vexo.com/a_)" + id + R"(.html"}},)" +
          R"("latest":{"album_id":)" + id + R"(,"tv_id":1,"vid":"v","video_count":40,"video_count_updateto":12}})");
}

std::wstring FavoriteText(int albumId) {
  return L"{\"AlbumID\":" + std::to_wstring(albumId) + L",\"AlbumName\":\"Bench " + std::to_wstring(albumId) +
         L"\",\"ChannelID\":2,\"PicUrl\":\"" + Utf8ToWide(vxtest::EmulatorOrigin()) +
         L"/pictures/album_123.jpg\",\"VideoUrl\":\"http://www.vexo.com/v_" + std::to_wstring(albumId) + L".html\"}";
}

int RunRoundTrips(int count) {
  for (int i = 0; i < count; ++i) AddCatalogueAlbum(kFirstAlbum + i);
  const std::wstring desktop = GetDesktopDirectory();
  std::vector<double> firstLnk, renamed;
  {
    const RunningProgram program;
    if (!program.IsReady()) return 1;
    const Usage before = program.ReadUsage();
    Usage halfway;
    for (int i = 0; i < count; ++i) {
      if (i == count / 2) halfway = program.ReadUsage();
      const std::wstring name = L"Bench " + std::to_wstring(kFirstAlbum + i);
      const auto start = Clock::now();
      if (!program.HandOver(FavoriteText(kFirstAlbum + i))) return 1;
      WaitForFile(desktop + L"\\" + name + L".lnk", std::chrono::seconds(10));
      firstLnk.push_back(Milliseconds(Clock::now() - start));
      WaitForFile(desktop + L"\\" + name + L" 更新至12集.lnk", std::chrono::seconds(20));
      renamed.push_back(Milliseconds(Clock::now() - start));
    }
    ::Sleep(1000);  // the last album information
    const Usage after = program.ReadUsage();
    std::printf("hand-off to renamed shortcut with album icon: median %.2f ms, slowest %.2f ms; "
                "to the first .lnk: median %.2f ms (%d favourites)\n",
                Median(renamed), *std::max_element(renamed.begin(), renamed.end()), Median(firstLnk), count);
    PrintUsage(before, halfway, after);
  }
  RemoveStoredShortcuts();
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? _wtoi(argv[1]) : 100;
  if (vxtest::EmulatorOrigin().empty()) {
    std::printf("refresh figures need the emulator: run through tools/with-emulator.sh\n");
    return 1;
  }
  RunComposition(20);
  return RunRoundTrips(count > 0 ? count : 100);
}
