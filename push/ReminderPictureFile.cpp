#include "push/ReminderPictureFile.h"

#include <atomic>
#include <cstdint>
#include <vector>

#include "common/DirectoryTree.h"
#include "common/FileReplace.h"
#include "common/PathText.h"
#include "common/TextConvert.h"
#include "follow/PictureCache.h"
#include "push/ReminderFeed.h"

namespace {

std::atomic<int> g_pictureCounter{0};

std::wstring PicturePath(const std::wstring& cacheFolder, int number, const std::string& address) {
  const std::wstring name =
      L"updateImage_" + std::to_wstring(number) + L"." + AnsiToWide(PictureFileExtension(address));
  return JoinPath(cacheFolder, name);
}

}  // namespace

std::wstring StoreReminderPicture(const std::wstring& clientDataFolder, const std::string& address, const char* body,
                                  size_t length) {
  const int number = g_pictureCounter.fetch_add(1);
  if (clientDataFolder.empty() || length > kMaxReminderPictureBytes || (!body && length > 0)) return std::wstring();
  const std::wstring cacheFolder = JoinPath(clientDataFolder, L"VexoClient\\Cache");
  if (!CreateDirectoryTree(cacheFolder)) return std::wstring();
  const std::wstring path = PicturePath(cacheFolder, number, address);
  const auto* bytes = reinterpret_cast<const uint8_t*>(body);
  if (!ReplaceFileContents(path, std::vector<uint8_t>(bytes, bytes + length))) return std::wstring();
  CPictureCache::GetInstance().AddPicture(address, WideToAnsi(path));
  return path;
}
