#include "bench/RoundTripSteps.h"

#include <windows.h>

#include <functional>
#include <vector>

#include "app/Environment.h"
#include "bench/RunningProgram.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/HttpFetch.h"
#include "favorites/IconComposer.h"
#include "favorites/ShortcutLink.h"
#include "favorites/ShortcutNames.h"
#include "follow/LatestVideo.h"

namespace vxbench {

namespace {

struct Samples {
  std::vector<double> fetch, icon, badge, catalogue, firstSave, renamedSave;
};

std::wstring TempPath(const std::wstring& name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

struct Step {
  const char* failure;
  std::vector<double>* samples;
  std::function<bool()> run;
};

// One round trip's steps in the program's order; null when all succeeded, else what failed.
const char* RunRound(const std::wstring& pictureUrl, int albumId, const IconComposer& composer,
                     const std::wstring& desktop, Samples& samples) {
  const std::wstring id = std::to_wstring(albumId);
  const std::wstring picture = TempPath(L"vx-steps-" + id + L".jpg");
  const std::wstring icon = TempPath(L"vx-steps-album_" + id + L".ico");
  const std::wstring badge = TempPath(L"vx-steps-updatealbum_" + id + L".ico");
  const std::wstring name = L"Steps " + id;
  const std::wstring firstLnk = desktop + L"\\" + name + L".lnk";
  const std::wstring renamedLnk = desktop + L"\\" + name + L" 更新至12集.lnk";
  const ShortcutLinkFields first{LinkTarget(L"http://www.vexo.com/v_" + id + L".html"), L"", L"", L"", name};
  ShortcutLinkFields renamed = first;
  renamed.iconPath = icon;
  ShortcutWrite rename;
  rename.replaces = firstLnk;

  const Step steps[] = {
      {"the picture fetch failed", &samples.fetch,
       [&] { return HttpDownloadToFile(pictureUrl, nullptr, 0, 0, picture); }},
      {"the icon composition failed", &samples.icon,
       [&] { return composer.ComposeIconFromPicture(picture, icon, RGB(0, 0, 0), kAlbumIconSizes, 1); }},
      {"the badge icon composition failed", &samples.badge,
       [&] { return composer.ComposeUpdateBadgeIcon(icon, badge, RGB(0, 0, 0), kAlbumIconSizes); }},
      {"the catalogue fetch failed", &samples.catalogue,
       [&] { return FetchLatestVideo(albumId).status == LatestVideoStatus::Answered; }},
      {"the first .lnk save failed", &samples.firstSave, [&] { return WriteShortcutLink(first, firstLnk); }},
      {"the renamed .lnk save failed", &samples.renamedSave,
       [&] { return WriteShortcutLink(renamed, renamedLnk, rename); }},
  };
  const char* failed = nullptr;
  for (const Step& step : steps) {
    const auto start = Clock::now();
    const bool done = step.run();
    step.samples->push_back(Milliseconds(Clock::now() - start));
    if (!done) {
      failed = step.failure;
      break;
    }
  }
  for (const std::wstring& path : {picture, icon, badge, firstLnk, renamedLnk}) ::DeleteFileW(path.c_str());
  return failed;
}

}  // namespace

bool MeasureRoundTripSteps(const std::wstring& pictureUrl, int firstAlbum, int rounds, RoundTripSteps& medians,
                           std::string& why) {
  const std::wstring desktop = GetDesktopDirectory();
  if (desktop.empty()) {
    why = "no desktop folder";
    return false;
  }
  const IconComposer composer(CEnvironment::GetInstance().GetSkinFolder());
  Samples samples;
  for (int i = 0; i < rounds; ++i) {
    if (const char* failed = RunRound(pictureUrl, firstAlbum + i, composer, desktop, samples)) {
      why = failed;
      return false;
    }
  }
  medians = {Median(samples.fetch),     Median(samples.icon),      Median(samples.badge),
             Median(samples.catalogue), Median(samples.firstSave), Median(samples.renamedSave)};
  return true;
}

}  // namespace vxbench
