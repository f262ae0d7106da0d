// A new favourite's icon task, run on the icon worker: the album's own icon, the episode
// count in the shortcut's name, and (for a web favourite) the album's play address.
#pragma once

#include <memory>

#include "common/WorkerThread.h"
#include "favorites/DesktopShortcut.h"
#include "favorites/ShortcutStore.h"

class CDoGetIco : public ITaskSample {
public:
  explicit CDoGetIco(IconTaskRequest request) : m_request(std::move(request)) {}

  void Run() override;

  // The maker the shortcut writer is given at start.
  static std::unique_ptr<ITaskSample> Make(const IconTaskRequest& request);

private:
  bool RewriteWithAlbumIcon(const ShortcutKey& key, const std::wstring& albumIcon) const;

  IconTaskRequest m_request;
};
