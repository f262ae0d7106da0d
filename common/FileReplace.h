// Files that appear whole or not at all: the new contents are written to a temporary file
// beside the target and then moved over it, so a reader never sees a half-written file and
// a failed write keeps the old one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// `write` fills the (already created, empty) temporary file whose path it is given and
// returns whether it succeeded. The temporary file is gone afterwards either way.
bool ReplaceFileWith(const std::wstring& path, const std::function<bool(const std::wstring& temporary)>& write);

bool ReplaceFileContents(const std::wstring& path, const std::vector<uint8_t>& bytes);
