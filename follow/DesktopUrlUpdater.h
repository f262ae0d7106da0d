// Points web shortcuts at the address the user last played, or at the album's play page
// when the catalogue gives one and there is no play record.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "follow/PlayRecordManager.h"
#include "platform/RidOdo/PlayRecordTask.h"
#include "platform/RidOdo/TaskModule.h"

class CDesktopUrlUpdater : public IResourceCallback, public std::enable_shared_from_this<CDesktopUrlUpdater> {
public:
  explicit CDesktopUrlUpdater(int runCount) : m_runCount(runCount) {}
  virtual ~CDesktopUrlUpdater() = default;

  // Asks the play history with this updater as the receiver; the answer comes later.
  void QueryPlayRecords(const LoginState& login);
  void OnPlayRecords(const std::vector<PlayRecord>& records);
  std::wstring GetCurrentRecordUrl(int albumId);
  // Rewrites the first web shortcut of the album; `firstUrl` (ANSI bytes) is used when the
  // album has no play record.
  void DoUpdateVideoUrl(int albumId, const std::string& firstUrl);

  // No request names an updater as its callback; an argument handed here is released.
  int OnResCallback(int failed, CResourceArg* arg) override;

  int RunCount() const { return m_runCount; }

private:
  int m_runCount;
  std::mutex m_recordsMutex;  // the answer is replaced on a library thread while others read it
  std::vector<PlayRecord> m_playRecords;
};
