// Reading the favourite text that the web player or the client hands over: a small JSON object.
// Windows-free; the texts are widened by the conversion the caller gives.
#pragma once

#include <string>

#include "favorites/DeskFavorInfo.h"

enum class DeskFavorJson { NotJson, Refused, Read };

using Utf8Widener = std::wstring (*)(const std::string& utf8);

// Read for a JSON object with a nonzero int "AlbumID" whose other members, where present, have
// their types: ints "ChannelID", "SouceCode", "TvYear" and "Type", texts "AlbumName", "PicUrl",
// "VideoUrl" and "SouceName" (an absent or null member reads as 0 or empty). NotJson for text
// that is no whole JSON value; Refused for any other JSON. Only Read changes `info`.
DeskFavorJson ReadDeskFavorJson(const std::string& utf8, Utf8Widener widen, DeskFavorInfo& info);
