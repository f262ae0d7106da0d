// A scratch home for the Flash stores: the XDG base folders point into a fresh temporary
// folder for the object's life, so that the locator walks only what a test plants there.
// POSIX only.
#pragma once

#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace soltest {

inline const char kRoamingStore[] = "Macromedia/Flash Player/#SharedObjects";
inline const char kLocalStore[] =
    "Google/Chrome/User Data/Default/Pepper Data/Shockwave Flash/WritableRoot/#SharedObjects";

class ScratchFlashStores {
public:
  ScratchFlashStores();
  ~ScratchFlashStores();
  ScratchFlashStores(const ScratchFlashStores&) = delete;
  ScratchFlashStores& operator=(const ScratchFlashStores&) = delete;

  const std::string& Home() const { return m_home; }
  std::string RoamingBase() const { return m_home + "/config"; }
  std::string LocalBase() const { return m_home + "/data"; }
  std::string RoamingRoot() const { return RoamingBase() + "/" + kRoamingStore; }
  std::string LocalRoot() const { return LocalBase() + "/" + kLocalStore; }

  // Makes `path` and its parents.
  static void MakeFolders(const std::string& path);
  static void WriteFile(const std::string& path, const std::string& bytes);
  static std::optional<std::string> ReadFile(const std::string& path);
  static bool Exists(const std::string& path);
  // Sets the last-access time, leaving the last-write time alone.
  static bool SetAccessTime(const std::string& path, std::time_t seconds);
  // Names in `folder` in the order the system lists them.
  static std::vector<std::string> ListingOrder(const std::string& folder);

private:
  std::string m_home;
  std::optional<std::string> m_savedConfig, m_savedData;
};

}  // namespace soltest
