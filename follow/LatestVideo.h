// The catalogue's latest-episode question: how many episodes an album has and up to which
// one it is published. Asked synchronously on the calling thread (the icon worker).
#pragma once

#include "PB/album.pb.h"

enum class LatestVideoStatus {
  NoAnswer,    // the HTTP fetch failed: no 2xx answer with a body
  Unreadable,  // the body is no complete LatestVideo
  Answered,
};

struct LatestVideoAnswer {
  LatestVideoStatus status = LatestVideoStatus::NoAnswer;
  VRSProto1::LatestVideo video;  // the answer when Answered; otherwise empty
};

// GET "/r/dorsa/album/latest/<albumId>/pb/" (signed decimal) from the catalogue server.
// Blocks for the fetch; never throws.
LatestVideoAnswer FetchLatestVideo(int albumId);
