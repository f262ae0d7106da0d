// Where the streaming client keeps its settings, and what they say: the client's data
// folder and executable, whether it runs, the user's login state, this installation's
// machine id and whether the log-on autostart entry exists. Every lookup degrades to an
// empty text or false; the data folder and the machine id always have a value.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "favorites/HostPaths.h"

class CEnvironment {
public:
  // The process-wide object, created on first use (safe from several threads).
  static CEnvironment& GetInstance();

  // A separate object with its own caches (tests use these).
  CEnvironment();

  std::wstring GetModuleFolder();      // without trailing backslash
  std::wstring GetSkinFolder();        // module folder + "\tcskin", without trailing backslash
  // The client folder, client program and skin folder, as the favourites are given them.
  HostPaths GetHostPaths();
  std::wstring GetRawDataFolder();     // "HKernelPath" as stored
  std::wstring GetClientDataFolder();  // resolved, never empty
  std::wstring GetClientFolder();      // data folder + "\VexoClient"
  bool IsClientRunning() const;
  std::wstring GetClientExePath() const;
  bool IsLoggedIn();
  std::string GetUserId();
  std::string GetLoginCookie();
  std::string GetMachineId();
  bool IsAutostartRegistered() const;
  // Keeps the play history's last notice (code 2143) and its arrival; nothing in the program
  // acts on it: it is there to be read in a debugger or a crash dump.
  void StorePlayRecordNotice(uint32_t value);
  std::wstring ReadClientValue(const std::wstring& productKey, const std::wstring& valueName) const;
  // The command-line splitter (common/SplitText.h), offered here with the other host services;
  // the program's own command-line reading calls it directly.
  void SplitText(const std::wstring& text, const std::wstring& separator, std::vector<std::wstring>& pieces) const;

  // The identity file below the raw data folder ("" when the client has no data folder).
  std::wstring IdentityFile();

private:
  std::string ReadOrCreateMachineId();

  std::recursive_mutex m_mutex;
  std::wstring m_moduleFolder;
  std::wstring m_rawDataFolder;
  std::wstring m_dataFolder;
  std::string m_machineId;
  bool m_loggedIn = true;
  uint32_t m_playRecordNotice = 0;
  uint32_t m_playRecordNoticeTick;
};
