// Points web shortcuts at the address the user last played, or at the album's play page
// when the catalogue gives one and there is no play record. Scheduled, each run asks the
// play history for the login of the moment; the answer rewrites the shortcuts later.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "follow/Executable.h"
#include "follow/PlayRecordManager.h"
#include "platform/RidOdo/PlayRecordTask.h"
#include "platform/RidOdo/TaskModule.h"

class CDesktopUrlUpdater : public CCountedTask,
                           public IResourceCallback,
                           public std::enable_shared_from_this<CDesktopUrlUpdater> {
public:
  // Without a host the updater is never scheduled, and its last run removes nothing.
  explicit CDesktopUrlUpdater(int runCount, ITaskHost* host = nullptr) : CCountedTask(runCount, host) {}

  // Asks the play history with this updater as the receiver; the answer comes later.
  void QueryPlayRecords(const LoginState& login);
  void OnPlayRecords(const std::vector<PlayRecord>& records);
  std::wstring GetCurrentRecordUrl(int albumId);
  // Rewrites the first web shortcut of the album; `firstUrl` (ANSI bytes) is used when the
  // album has no play record.
  void DoUpdateVideoUrl(int albumId, const std::string& firstUrl);

  // No request names an updater as its callback; an argument handed here is released.
  int OnResCallback(int failed, CResourceArg* arg) override;

protected:
  void RunOnce(bool& result) override;

private:
  std::mutex m_recordsMutex;  // the answer is replaced on a library thread while others read it
  std::vector<PlayRecord> m_playRecords;
};
