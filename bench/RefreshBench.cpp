// Refresh figures: composing one album icon (four sizes) against decoding its picture
// alone, the round trip from a favourite's hand-off to the renamed shortcut with its album
// icon (against the plain hand-off to the first .lnk, and against the sum of its steps timed
// alone, in the same run), and the program's handles, GDI objects and private bytes across the
// favourites. Needs the emulator (VXTAILCAST_SERVICE_URL). Prints figures and the figure line of
// the round trip against its steps; asserts nothing.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Environment.h"
#include "bench/Figures.h"
#include "bench/RoundTripSteps.h"
#include "bench/RunningProgram.h"
#include "common/ComScope.h"
#include "common/GdiplusInclude.h"
#include "common/ScopedGdiplus.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HostPaths.h"
#include "favorites/HttpFetch.h"
#include "favorites/IconComposer.h"
#include "favorites/ShortcutStore.h"
#include "tests/support/EmulatorClient.h"

namespace {

using namespace vxbench;

constexpr int kFirstAlbum = 810000;
constexpr int kStepRounds = 20;
constexpr char kRoundTripFigure[] = "favorite_round_trip_ms";

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
  std::vector<double> decode, compose;
  const IconComposer composer(CEnvironment::GetInstance().GetSkinFolder());
  for (int i = 0; i < rounds; ++i) {
    auto start = Clock::now();
    { const auto bitmap = std::make_unique<Gdiplus::Bitmap>(picture.c_str()); }
    decode.push_back(Milliseconds(Clock::now() - start));
    start = Clock::now();
    composer.ComposeIconFromPicture(picture, icon, 0, kAlbumIconSizes, 1);
    compose.push_back(Milliseconds(Clock::now() - start));
  }
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

// The steps alone, as the program takes them for the favourites above (the picture address
// with the size suffix the program adds); the sum of their medians, negative when one failed.
double RunStepsAlone(int rounds) {
  const std::wstring picture = Utf8ToWide(vxtest::EmulatorOrigin()) + L"/pictures/album_123_128_128.jpg";
  RoundTripSteps steps;
  std::string why;
  if (!MeasureRoundTripSteps(picture, kFirstAlbum, rounds, steps, why)) {
    std::printf("round-trip steps alone: %s\n", why.c_str());
    return -1;
  }
  std::printf("round-trip steps alone, medians of %d rounds: picture fetch %.2f ms, album icon %.2f ms, badge icon "
              "%.2f ms, catalogue %.2f ms, first .lnk %.2f ms, renamed .lnk %.2f ms; sum %.2f ms\n",
              rounds, steps.pictureFetchMs, steps.iconMs, steps.badgeIconMs, steps.catalogueMs, steps.firstSaveMs,
              steps.renamedSaveMs, steps.Sum());
  return steps.Sum();
}

// Waits until a favourite's trailing work (the catalogue's play page put on its shortcut) is
// done, so that each round starts from a program at rest, as the steps alone are timed;
// false when it never came.
bool WaitUntilSettled(int albumId) {
  const std::wstring playPage = L"http://www.vexo.com/a_" + std::to_wstring(albumId) + L".html";
  const auto start = Clock::now();
  while (Clock::now() - start < std::chrono::seconds(10)) {
    const std::optional<DeskShortcut> row = FindShortcutByAlbum(albumId);
    if (row && row->videoUrl == playPage) return true;
    ::Sleep(10);
  }
  return false;
}

// The median hand-off to the renamed shortcut; negative when the program could not be run or
// a shortcut was never renamed (its time would be the wait's limit, not a round trip).
double RunRoundTrips(int count) {
  const std::wstring desktop = GetDesktopDirectory();
  std::vector<double> firstLnk, renamed;
  int notRenamed = 0;
  int unsettled = 0;
  {
    SetHostPaths(CEnvironment::GetInstance().GetHostPaths());  // the program's store
    const RunningProgram program;
    if (!program.IsReady()) return -1;
    const Usage before = program.ReadUsage();
    Usage halfway;
    for (int i = 0; i < count; ++i) {
      if (i == count / 2) halfway = program.ReadUsage();
      const std::wstring name = L"Bench " + std::to_wstring(kFirstAlbum + i);
      const auto start = Clock::now();
      if (!program.HandOver(FavoriteText(kFirstAlbum + i))) return -1;
      WaitForFile(desktop + L"\\" + name + L".lnk", std::chrono::seconds(10));
      firstLnk.push_back(Milliseconds(Clock::now() - start));
      if (!WaitForFile(desktop + L"\\" + name + L" 更新至12集.lnk", std::chrono::seconds(20))) ++notRenamed;
      renamed.push_back(Milliseconds(Clock::now() - start));
      if (!WaitUntilSettled(kFirstAlbum + i)) ++unsettled;
    }
    ::Sleep(1000);  // the last album information
    const Usage after = program.ReadUsage();
    std::printf("hand-off to renamed shortcut with album icon: median %.2f ms, slowest %.2f ms; "
                "to the first .lnk: median %.2f ms (%d favourites)\n",
                Median(renamed), *std::max_element(renamed.begin(), renamed.end()), Median(firstLnk), count);
    PrintUsage(before, halfway, after);
  }
  RemoveStoredShortcuts();
  if (notRenamed > 0) std::printf("%d of %d shortcuts were not renamed within 20 s\n", notRenamed, count);
  if (unsettled > 0) std::printf("%d of %d shortcuts never got their play page\n", unsettled, count);
  return notRenamed > 0 || unsettled > 0 ? -1 : Median(renamed);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int asked = argc > 1 ? _wtoi(argv[1]) : 100;
  const int count = asked > 0 ? asked : 100;
  if (vxtest::EmulatorOrigin().empty()) {
    std::printf("refresh figures need the emulator: run through tools/with-emulator.sh\n");
    PrintNoFigure(kRoundTripFigure, "no emulator");
    return 1;
  }
  const ComScope com;
  const ScopedGdiplus gdiplus;
  for (int i = 0; i < std::max(count, kStepRounds); ++i) AddCatalogueAlbum(kFirstAlbum + i);
  RunComposition(20);
  const double steps = RunStepsAlone(kStepRounds);
  const double roundTrip = RunRoundTrips(count);
  if (steps <= 0 || roundTrip <= 0) {
    PrintNoFigure(kRoundTripFigure, steps <= 0 ? "a step alone failed" : "a round trip did not complete");
    return 1;
  }
  std::printf("round trip against its steps alone: %.2f\n", roundTrip / steps);
  PrintFigure(kRoundTripFigure, roundTrip, "favorite_steps_sum_ms", steps);
  return 0;
}
