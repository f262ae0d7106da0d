#include "sharedobject/SharedObjectLocator.h"

#include <ctime>
#include <initializer_list>
#include <random>
#include <utility>
#include <vector>

#include "common/ServiceAddress.h"
#include "sharedobject/FolderSystem.h"

namespace {

using folder_system::kSeparator;
using folder_system::PathKind;

constexpr size_t kProfileNameLength = 8;

std::string Below(const std::string& folder, const std::string& name) { return folder + kSeparator + name; }

// `base` followed by the components, joined with the platform's separator; empty without a base.
std::string StoreRoot(const std::string& base, std::initializer_list<const char*> components) {
  if (base.empty()) return std::string();
  std::string root = base;
  for (const char* component : components) root = Below(root, component);
  return root;
}

// Eight capital letters, one draw modulo 26 each, from a generator seeded with the current
// second. A generator of its own leaves the process's rand() sequence alone.
std::string RandomProfileName() {
  std::minstd_rand generator(static_cast<std::minstd_rand::result_type>(std::time(nullptr)));
  std::string name;
  for (size_t i = 0; i < kProfileNameLength; ++i) name += static_cast<char>('A' + generator() % 26);
  return name;
}

}  // namespace

std::array<std::string, 2> FlashStoreRoots() {
  return {StoreRoot(folder_system::RoamingDataFolder(), {"Macromedia", "Flash Player", "#SharedObjects"}),
          StoreRoot(folder_system::LocalDataFolder(), {"Google", "Chrome", "User Data", "Default", "Pepper Data",
                                                       "Shockwave Flash", "WritableRoot", "#SharedObjects"})};
}

void SharedObjectFolderIO::OnSharedObjectFolder(std::string) {}

void SharedObjectFolderIO::ScanFlashRoots() {
  for (const std::string& root : FlashStoreRoots()) {
    if (!root.empty()) ScanRoot(root);
  }
}

void SharedObjectFolderIO::ScanRoot(const std::string& root) {
  const std::string profile = FindProfileFolder(root);
  if (!profile.empty()) ScanSiteFolders(profile);
}

std::string SharedObjectFolderIO::FindProfileFolder(const std::string& root) {
  std::vector<folder_system::Entry> entries;
  if (!folder_system::List(root, "*", entries)) return std::string();
  for (const folder_system::Entry& entry : entries) {
    if (entry.isDirectory && entry.name.size() == kProfileNameLength) return Below(root, entry.name);
  }
  const std::string created = Below(root, RandomProfileName());
  return folder_system::CreateFolder(created) ? created : std::string();
}

void SharedObjectFolderIO::ScanSiteFolders(const std::string& profile) {
  std::vector<folder_system::Entry> hosts;
  folder_system::List(profile, service_address::kWebHostPattern, hosts);
  bool sawMainHost = false;
  for (const folder_system::Entry& host : hosts) {
    if (!host.isDirectory) continue;
    if (host.name == service_address::kMainWebHost) sawMainHost = true;
    OnSharedObjectFolder(Below(profile, host.name) + kSeparator);
  }
  if (sawMainHost) return;

  const std::string mainHost = Below(profile, service_address::kMainWebHost);
  switch (folder_system::KindOf(mainHost)) {
    case PathKind::kOther:
      return;
    case PathKind::kMissing:
      if (!folder_system::CreateFolder(mainHost)) return;
      break;
    case PathKind::kFolder:
      break;
  }
  OnSharedObjectFolder(mainHost + kSeparator);
}

SOProcessor::SOProcessor(std::string fileName) : m_fileName(std::move(fileName)) {}

void SOProcessor::OnSharedObjectFolder(std::string folder) {
  if (m_count >= kCapacity) return;
  m_candidates[static_cast<size_t>(m_count++)] = std::move(folder) + m_fileName;
}
