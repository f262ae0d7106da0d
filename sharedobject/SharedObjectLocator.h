// Finding the site's shared-object folders in the Flash players' per-user stores: a store
// root, one profile folder with a random eight-letter name below it, and one folder per web
// host below that. Windows-free: paths are narrow strings in the system's ANSI code page.
#pragma once

#include <array>
#include <string>

// The roots of the two stores in walk order: the stand-alone player's below the roaming
// application-data folder, the browser-embedded player's below the local one. A root is
// empty when its base folder is unknown.
std::array<std::string, 2> FlashStoreRoots();

// Walks both stores and hands every site-host folder to the folder hook. A walk can create
// folders: a profile folder in a store root that has none, and the main host's folder.
class SharedObjectFolderIO {
public:
  virtual ~SharedObjectFolderIO() = default;

  // Receives the full path of a site-host folder, ending in the path separator.
  virtual void OnSharedObjectFolder(std::string folder);

  void ScanFlashRoots();

protected:
  void ScanRoot(const std::string& root);
  // The profile folder below `root`, created when there is none; empty when `root` cannot
  // be listed or the folder cannot be created.
  std::string FindProfileFolder(const std::string& root);
  void ScanSiteFolders(const std::string& profile);
};

// Collects where a shared-object file of the given name would lie: at most kCapacity
// candidates in walk order, later folders are dropped.
class SOProcessor : public SharedObjectFolderIO {
public:
  static constexpr int kCapacity = 10;

  explicit SOProcessor(std::string fileName);

  void OnSharedObjectFolder(std::string folder) override;

  int Count() const { return m_count; }
  const std::string& Candidate(int index) const { return m_candidates[static_cast<size_t>(index)]; }

private:
  std::array<std::string, kCapacity> m_candidates;
  int m_count = 0;
  std::string m_fileName;
};
