// The album-information client: asks the catalogue for an album's record over the network
// library and hands what it learns (an AlbumInfo) to the application's main window.
#pragma once

#include <string>

#include "follow/AlbumInfo.h"
#include "platform/RidOdo/TaskModule.h"

class CAlbumInfoParser : public IResourceCallback {
public:
  // The request kind that marks album-information answers at the callback.
  static constexpr int kAlbumInfoRequestId = 1325;
  static constexpr unsigned kTimeoutMs = 5000;

  // The process-wide instance, created on first use and never destroyed.
  static CAlbumInfoParser& GetInstance();

  CAlbumInfoParser(const CAlbumInfoParser&) = delete;
  CAlbumInfoParser& operator=(const CAlbumInfoParser&) = delete;

  // Starts GET "/r/dorsa/album/b/<albumId>/pb/" (the id as unsigned decimal) and returns at
  // once. A complete answer reaches the main window as WM_TAILCAST_COMMAND /
  // CMD_UPDATE_SHORTCUT_URL with an AlbumInfo* that is valid only during that send.
  void RequestAlbumInfo(int albumId);

  // Called by the network library on its own thread; always 1. Releases `arg`.
  int OnResCallback(int failed, CResourceArg* arg) override;

  // 1 when `body` is a complete BigAlbum and `out` has been filled from its Album, else 0.
  int ParseAlbumPbString(AlbumInfo* out, const std::string& body);

private:
  CAlbumInfoParser();
  ~CAlbumInfoParser() = default;

  void HandOver(const std::string& body);

  CTaskModule m_taskModule;
};
