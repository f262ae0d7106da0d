#include "follow/MediaTableSetup.h"

#include "common/DirectoryTree.h"
#include "common/PathText.h"
#include "common/TextConvert.h"
#include "follow/PictureCache.h"

void CreateMediaTableInClientFolder(const std::wstring& clientFolder) {
  if (clientFolder.empty()) return;
  // The reminder pictures go to the same folder; making it here gives the table on a first start.
  const std::wstring cacheFolder = JoinPath(clientFolder, L"cache");
  if (!CreateDirectoryTree(cacheFolder)) return;
  CPictureCache::CreateMediaTable(WideToUtf8(JoinPath(cacheFolder, L"media.db")));
}
