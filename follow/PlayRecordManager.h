// The thin client of the user's play history: one query at a time is asked through the
// network library, and every answer goes to the updater given to the latest query.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "follow/LoginState.h"
#include "platform/RidOdo/PlayRecordTask.h"

class CDesktopUrlUpdater;

// The address the records give for the album; "" when none names it.
std::wstring RecordUrlFor(const std::vector<PlayRecord>& records, int albumId);

// Who is logged in now, as the program reads it from the client.
using LoginSource = LoginState (*)();

// Where the service's play-record notice goes (the program keeps it with its arrival time).
using PlayRecordNoticeSink = void (*)(uint32_t value);

class CPlayRecordManager : public IPlayRecordHandler {
public:
  // The library reports a notice, not records, with this code.
  static constexpr int kNoticeCode = 2143;

  static CPlayRecordManager& GetInstance();

  // Installed once at start; without one, notices are dropped.
  static void SetNoticeSink(PlayRecordNoticeSink sink);
  // Installed once at start; without one, nobody is logged in.
  static void SetLoginSource(LoginSource source);
  static LoginState LoginNow();

  // Remembers the receiver (even when no query can be made) and starts one query.
  void Query(std::shared_ptr<CDesktopUrlUpdater> receiver, const LoginState& login);
  void OnPlayRecordResult(int code, int value, const std::vector<PlayRecord>& records) override;
  // The address the latest answer gives for the album, whichever updater received it; "" when
  // no answer came yet or it does not name the album.
  std::wstring LatestRecordUrl(int albumId);

private:
  CPlayRecordManager() = default;

  std::mutex m_mutex;
  CPlayRecordTask* m_recordTask = nullptr;
  // Shared, so that an updater stays alive while an answer for it is being delivered.
  std::shared_ptr<CDesktopUrlUpdater> m_receiver;
  std::vector<PlayRecord> m_latestRecords;
  std::string m_latestAsker;  // the login cookie of the latest query; "" when logged out
};
