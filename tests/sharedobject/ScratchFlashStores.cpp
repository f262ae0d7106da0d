#include "tests/sharedobject/ScratchFlashStores.h"

#include <dirent.h>
#include <fcntl.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <stdexcept>

namespace soltest {

namespace {

std::optional<std::string> Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace

ScratchFlashStores::ScratchFlashStores()
    : m_savedConfig(Variable("XDG_CONFIG_HOME")), m_savedData(Variable("XDG_DATA_HOME")) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vx-flash-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("no scratch folder");
  m_home = pattern;
  MakeFolders(RoamingBase());
  MakeFolders(LocalBase());
  ::setenv("XDG_CONFIG_HOME", RoamingBase().c_str(), 1);
  ::setenv("XDG_DATA_HOME", LocalBase().c_str(), 1);
}

ScratchFlashStores::~ScratchFlashStores() {
  Restore("XDG_CONFIG_HOME", m_savedConfig);
  Restore("XDG_DATA_HOME", m_savedData);
  std::error_code ignored;
  std::filesystem::remove_all(m_home, ignored);
}

void ScratchFlashStores::MakeFolders(const std::string& path) { std::filesystem::create_directories(path); }

void ScratchFlashStores::WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> ScratchFlashStores::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ScratchFlashStores::Exists(const std::string& path) {
  struct stat status = {};
  return ::stat(path.c_str(), &status) == 0;
}

bool ScratchFlashStores::SetAccessTime(const std::string& path, std::time_t seconds) {
  const timespec times[2] = {{seconds, 0}, {0, UTIME_OMIT}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::vector<std::string> ScratchFlashStores::ListingOrder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.push_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

}  // namespace soltest
