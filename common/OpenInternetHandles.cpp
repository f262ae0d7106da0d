#include "common/OpenInternetHandles.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

struct OpenHandles {
  std::mutex lock;
  std::vector<HINTERNET> handles;  // in opening order: each request after its connection and session
  std::atomic<bool> abandoned{false};
};

OpenHandles& Listed() {
  static OpenHandles* const open = new OpenHandles;  // threads may still close handles at process end
  return *open;
}

}  // namespace

HINTERNET ListInternetHandle(HINTERNET handle) {
  if (!handle) return nullptr;
  OpenHandles& open = Listed();
  {
    std::lock_guard<std::mutex> guard(open.lock);
    if (!open.abandoned) {
      open.handles.push_back(handle);
      return handle;
    }
  }
  ::InternetCloseHandle(handle);
  return nullptr;
}

void CloseListedInternetHandle(HINTERNET handle) {
  OpenHandles& open = Listed();
  {
    std::lock_guard<std::mutex> guard(open.lock);
    const auto found = std::find(open.handles.begin(), open.handles.end(), handle);
    if (found == open.handles.end()) return;  // closed by the abandonment: WinINet may have reused the value
    open.handles.erase(found);
  }
  ::InternetCloseHandle(handle);
}

void AbandonNetwork() {
  OpenHandles& open = Listed();
  std::vector<HINTERNET> closing;
  {
    std::lock_guard<std::mutex> guard(open.lock);
    open.abandoned = true;
    closing.swap(open.handles);
  }
  // Children first, so that no request outlives the session it belongs to.
  for (auto handle = closing.rbegin(); handle != closing.rend(); ++handle) ::InternetCloseHandle(*handle);
}

bool IsNetworkAbandoned() { return Listed().abandoned; }
