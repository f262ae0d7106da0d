// Reading the catalogue's answer bodies. Windows-free; also built and tested natively.
#pragma once

#include <string>

#include "PB/album.pb.h"

// True when `body` is one complete BigAlbum: the whole body is consumed and every required
// field, of the BigAlbum and of its Album, is present. Only then is `out` replaced.
// Never throws.
bool ParseBigAlbum(const std::string& body, VRSProto1::BigAlbum& out);

// The same for a LatestVideo (required: album_id, tv_id, vid).
bool ParseLatestVideo(const std::string& body, VRSProto1::LatestVideo& out);

// An Album.tv_year text read the way atoi reads it (leading blanks, a sign, then decimal
// digits; "2013年" is 2013), 0 when it starts with no number, clamped to the int range.
int TvYearOf(const std::string& tvYear);
