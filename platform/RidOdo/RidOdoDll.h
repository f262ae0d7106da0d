// The network library's root object: this installation's identifier, random ids and the
// play-history task.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/RidOdo/PlayRecordTask.h"

class CRidOdoDll {
public:
  // Kept in the user's registry, so it stays the same across runs; 32 lower-case hex digits.
  std::string GetUuid();
  uint32_t GenRandomId();
  CPlayRecordTask* GetPlayRecordTask() { return &m_playRecordTask; }

private:
  std::mutex m_mutex;
  std::string m_uuid;
  CPlayRecordTask m_playRecordTask;
};

// The process-wide root object, created on first use.
CRidOdoDll* fnRidOdoDll();

// Where the identifier is kept (HKEY_CURRENT_USER).
inline constexpr wchar_t kRidOdoKey[] = L"Software\\Vexo\\RidOdo";
inline constexpr wchar_t kInstallIdValue[] = L"InstallId";
