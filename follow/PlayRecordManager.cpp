#include "follow/PlayRecordManager.h"

#include <atomic>

#include "common/TextConvert.h"
#include "common/TraceRecord.h"
#include "follow/DesktopUrlUpdater.h"
#include "platform/RidOdo/RidOdoDll.h"

namespace {

constexpr int kRecordsAsked = 50;

std::atomic<PlayRecordNoticeSink> g_noticeSink{nullptr};
std::atomic<LoginSource> g_loginSource{nullptr};

}  // namespace

CPlayRecordManager& CPlayRecordManager::GetInstance() {
  static CPlayRecordManager* const manager = new CPlayRecordManager;  // answers may come until the process ends
  return *manager;
}

void CPlayRecordManager::SetNoticeSink(PlayRecordNoticeSink sink) { g_noticeSink.store(sink); }

void CPlayRecordManager::SetLoginSource(LoginSource source) { g_loginSource.store(source); }

LoginState CPlayRecordManager::LoginNow() {
  const LoginSource source = g_loginSource.load();
  return source ? source() : LoginState();
}

void CPlayRecordManager::Query(std::shared_ptr<CDesktopUrlUpdater> receiver, const LoginState& login) {
  CPlayRecordTask* task = nullptr;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_receiver = std::move(receiver);
    // Another user's (or nobody's) history no longer counts.
    const std::string asker = login.loggedIn ? login.cookie : std::string();
    if (asker != m_latestAsker) m_latestRecords.clear();
    m_latestAsker = asker;
  }
  if (!login.loggedIn) {
    WriteTrace(L"Tailcast", L"GetPlayRecord ", L"is not online, can not Get Record!", kPlayRecordTraceFile);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_recordTask) m_recordTask = fnRidOdoDll()->GetPlayRecordTask();
    task = m_recordTask;
  }
  task->QueryRecords(this, AnsiToWide(login.cookie), kRecordsAsked);
}

void CPlayRecordManager::OnPlayRecordResult(int code, int value, const std::vector<PlayRecord>& records) {
  if (code == kNoticeCode) {
    const PlayRecordNoticeSink sink = g_noticeSink.load();
    if (sink) sink(static_cast<uint32_t>(value));
    return;
  }
  std::shared_ptr<CDesktopUrlUpdater> receiver;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    receiver = m_receiver;
    m_latestRecords = records;
  }
  if (receiver) receiver->OnPlayRecords(records);
}

std::wstring CPlayRecordManager::LatestRecordUrl(int albumId) {
  std::lock_guard<std::mutex> lock(m_mutex);
  return RecordUrlFor(m_latestRecords, albumId);
}

std::wstring RecordUrlFor(const std::vector<PlayRecord>& records, int albumId) {
  const std::wstring key = std::to_wstring(albumId);
  for (const PlayRecord& record : records) {
    if (record.albumId == key) return record.videoUrl;
  }
  return std::wstring();
}
