// A week of scheduled checks in one process, against the loopback emulator: the push manager's
// timers run on a virtual clock, so the play-history check runs every 30 minutes and the
// evening reminder check every hour of a week without waiting. The play history moves ten of
// 200 followed albums on before every check and the feed names another album before every
// reminder check. Prints this process's private bytes, handles and running timers at the
// start, the middle and the end, whether a .lnk was ever missing, and the shortcuts' targets
// against the emulator's last play history. Asserts nothing.
//   vx_schedule_soak.exe [ALBUMS]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "bench/RunningProgram.h"
#include "common/ModulePath.h"
#include "common/ScopedGdiplus.h"
#include "common/TextConvert.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/FavoriteIntake.h"
#include "favorites/ShortcutStore.h"
#include "follow/PlayRecordManager.h"
#include "push/PushManager.h"
#include "tests/push/VirtualTaskTimers.h"
#include "tests/support/EmulatorClient.h"
#include "tests/support/HostPathsForTests.h"
#include "tests/support/LinkReader.h"
#include "tests/support/ProcessHarness.h"

namespace {

using namespace vxtest;

constexpr uint64_t kMinute = 60000;
constexpr int kHalfHoursInAWeek = 7 * 24 * 2;
constexpr int kMovedPerCheck = 10;
constexpr size_t kHistoryLength = 50;  // the records the program asks for
constexpr char kCookie[] = "cookie-soak";
constexpr char kMachineId[] = "soak-machine";

ScratchFolder& Data() {
  static ScratchFolder data(L"schedule-soak");
  return data;
}

ReminderContext SoakContext() {
  ReminderContext context;
  context.machineId = kMachineId;
  context.clientDataFolder = Data().Path();
  context.clientFolder = Data().Path() + L"VexoClient";
  return context;
}

std::string AddressOf(int albumId, int episode) {
  return "http://www.vexo.com/v_" + std::to_string(albumId) + "_ep" + std::to_string(episode) + ".html";
}

class Soak {
public:
  explicit Soak(int albums) : m_albums(albums) {}

  bool Prepare();
  void Run();
  void CleanUp();

private:
  void MoveHistory(int check);
  void ChangeFeed(int check);
  bool WaitForCheck(const char* prefix) const;
  bool StoreFollowsHistory(int fromAlbum, int count) const;
  int MissingLinks() const;
  int TargetsEqualToHistory() const;
  void Print(const char* when, const vxbench::Usage& usage) const;

  int m_albums;
  std::map<int, int> m_episode;  // album -> episode the history names last
  std::vector<std::wstring> m_links;
  VirtualTaskTimers m_timers;
  int m_historyChecks = 0;
  int m_feedRequests = 0;
  int m_worstMissing = 0;
};

bool Soak::Prepare() {
  UseHostPaths(Data().Path());
  ::CreateDirectoryW((Data().Path() + L"VexoClient").c_str(), nullptr);
  ResetEmulator();
  for (int album = 1; album <= m_albums; ++album) {
    DeskFavorRequest request;
    request.AlbumName = L"Soak album " + std::to_wstring(album);
    request.AlbumID = album;
    request.ChannelID = 2;
    request.VideoUrl = Utf8ToWide(AddressOf(album, 0));
    if (CreateDeskFavor(&request) <= 0) return false;
  }
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) m_links.push_back(shortcut.lnk);
  CPlayRecordManager::SetLoginSource([] { return LoginState{true, kCookie, ""}; });
  m_timers.tick = [](uintptr_t id) { CPushManager::GetInstance().RunTaskTimer(id); };
  PushSetup setup;
  setup.context = &SoakContext;
  setup.timers = &m_timers;
  setup.localHour = [] { return 20; };
  CPushManager::Configure(std::move(setup));
  return static_cast<int>(m_links.size()) == m_albums;
}

// Before check N, albums (N*10 .. N*10+9) mod ALBUMS move to episode N; check 0 names all.
// The history lists the latest plays first, as many as the program asks for.
void Soak::MoveHistory(int check) {
  const int count = check == 0 ? m_albums : kMovedPerCheck;
  for (int i = 0; i < count; ++i) m_episode[(check * kMovedPerCheck + i) % m_albums + 1] = check;
  std::vector<std::pair<int, int>> latest;  // (episode, album)
  for (const auto& [album, episode] : m_episode) latest.emplace_back(episode, album);
  std::sort(latest.rbegin(), latest.rend());
  latest.resize(std::min<size_t>(latest.size(), kHistoryLength));
  Json::Value records(Json::arrayValue);
  for (const auto& [episode, album] : latest) {
    Json::Value record;
    record["albumId"] = std::to_string(album);
    record["tvId"] = std::to_string(episode);
    record["videoUrl"] = AddressOf(album, episode);
    records.append(record);
  }
  SetPlayHistory(kCookie, records);
}

void Soak::ChangeFeed(int check) {
  const int album = check % m_albums + 1;
  Json::Value item;
  item["reminder"]["tvPic"] = "{origin}/pictures/album_123.jpg";
  item["reminder"]["tvName"] = "Episode " + std::to_string(check);
  item["reminder"]["mpd"] = check;
  item["albumId"] = album;
  item["channelId"] = 2;
  item["albumName"] = "Soak album " + std::to_string(album);
  item["videoOrder"] = check;
  item["videoUrl"] = AddressOf(album, check);
  Json::Value request;
  request["ckuid"] = kMachineId;
  request["feed"]["code"] = "A00000";
  request["feed"]["count"] = 1;
  request["feed"]["data"].append(item);
  request["answer"] = "complete";
  EmulatorRequest("POST", "/__emu/reminders", Json::FastWriter().write(request));
  // A new day for the once-a-day rule, so that every evening check asks.
  ::DeleteFileW((Data().Path() + L"VexoClient\\vexo_remind.ini").c_str());
}

bool Soak::WaitForCheck(const char* prefix) const {
  return WaitUntil([&] { return EmulatorJson("GET", std::string("/__emu/requests?prefix=") + prefix).size() >= 1; },
                   kProcessTimeoutMs);
}

bool Soak::StoreFollowsHistory(int fromAlbum, int count) const {
  std::map<int, std::wstring> stored;
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) stored[shortcut.albumId] = shortcut.videoUrl;
  for (int i = 0; i < count; ++i) {
    const int album = (fromAlbum + i) % m_albums + 1;
    if (stored[album] != Utf8ToWide(AddressOf(album, m_episode.at(album)))) return false;
  }
  return true;
}

int Soak::MissingLinks() const {
  int missing = 0;
  for (const std::wstring& lnk : m_links) missing += FileExists(lnk) ? 0 : 1;
  return missing;
}

int Soak::TargetsEqualToHistory() const {
  int equal = 0;
  for (const DeskShortcut& shortcut : LoadDeskShortcuts()) {
    LinkInfo info;
    const std::string wanted = AddressOf(shortcut.albumId, m_episode.at(shortcut.albumId)) + "?src=fromtailcast";
    equal += ReadLink(shortcut.lnk, info) && info.targetItemName == wanted ? 1 : 0;
  }
  return equal;
}

void Soak::Print(const char* when, const vxbench::Usage& usage) const {
  std::printf("  %-6s private bytes %.0f KiB, handles %lu, GDI objects %lu, running timers %zu (virtual %zu); "
              "play-history checks %d, feed requests %d\n",
              when, usage.privateKiB, static_cast<unsigned long>(usage.handles),
              static_cast<unsigned long>(usage.gdiObjects), CPushManager::GetInstance().RunningTimers(),
              m_timers.Count(), m_historyChecks, m_feedRequests);
}

void Soak::Run() {
  std::printf("a week of scheduled checks, %d followed albums, %d moved before each play-history check:\n", m_albums,
              kMovedPerCheck);
  MoveHistory(0);
  ChangeFeed(0);
  EmulatorRequest("DELETE", "/__emu/requests");
  CPushManager::GetInstance();
  m_timers.AdvanceBy(kMinute);  // the first checks
  m_historyChecks += WaitForCheck("/apis/playrecord/list") ? 1 : 0;
  m_feedRequests += WaitForCheck("/apis/urc/getUpdateReminder") ? 1 : 0;
  WaitUntil([&] { return StoreFollowsHistory(0, m_albums); }, 60000);
  Print("start", vxbench::ReadProcessUsage(::GetCurrentProcess()));

  int unfollowed = 0;
  const auto started = vxbench::Clock::now();
  for (int check = 1; check <= kHalfHoursInAWeek; ++check) {
    MoveHistory(check);
    const bool reminderDue = check % 2 == 0;
    if (reminderDue) ChangeFeed(check);
    EmulatorRequest("DELETE", "/__emu/requests");
    m_timers.AdvanceBy(30 * kMinute);
    m_historyChecks += WaitForCheck("/apis/playrecord/list") ? 1 : 0;
    if (reminderDue) m_feedRequests += WaitForCheck("/apis/urc/getUpdateReminder") ? 1 : 0;
    if (!WaitUntil([&] { return StoreFollowsHistory(check * kMovedPerCheck, kMovedPerCheck); }, kProcessTimeoutMs)) {
      ++unfollowed;
    }
    m_worstMissing = std::max(m_worstMissing, MissingLinks());
    if (check == kHalfHoursInAWeek / 2) Print("middle", vxbench::ReadProcessUsage(::GetCurrentProcess()));
  }
  Print("end", vxbench::ReadProcessUsage(::GetCurrentProcess()));
  std::printf("  the week took %.0f s\n", vxbench::Milliseconds(vxbench::Clock::now() - started) / 1000);
  std::printf("  checks whose moved albums the store did not follow in time: %d\n", unfollowed);
  std::printf("  .lnk files missing after any check: at most %d of %zu\n", m_worstMissing, m_links.size());
  std::printf("  shortcut targets equal to the emulator's last play history: %d of %zu\n", TargetsEqualToHistory(),
              m_links.size());
}

void Soak::CleanUp() {
  CPlayRecordManager::SetLoginSource(nullptr);
  RemoveDeskFavorites();
  SetHostPaths(HostPaths());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures appear as they are measured
  const int albums = argc > 1 ? std::max(kMovedPerCheck, static_cast<int>(std::wcstol(argv[1], nullptr, 10))) : 200;
  if (EmulatorOrigin().empty()) {
    std::printf("schedule soak: no emulator (VXTAILCAST_SERVICE_URL)\n");
    return 0;
  }
  const ScopedGdiplus gdiplus;
  Lumi::CUISystem::GetInstance().SetResourcePath((ModuleFolderWithSeparator() + L"tcskin").c_str());
  Soak soak(albums);
  if (soak.Prepare()) {
    soak.Run();
  } else {
    std::printf("schedule soak: the favourites could not be made\n");
  }
  soak.CleanUp();
  return 0;
}
