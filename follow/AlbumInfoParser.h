// The album-information client: asks the catalogue for an album's record over the network
// library and hands what it learns (an AlbumInfo) to the sink the program installed.
#pragma once

#include <string>

#include "follow/AlbumInfo.h"
#include "platform/RidOdo/TaskModule.h"

// Takes a complete answer, on the network library's thread; the record is valid only during
// the call.
using AlbumInfoSink = void (*)(const AlbumInfo& info);

// Installed once at start; without one, answers are dropped.
void SetAlbumInfoSink(AlbumInfoSink sink);

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
  // once. A complete answer goes to the album-information sink.
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
