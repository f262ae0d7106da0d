// The media database at start-up: "<client folder>\cache\media.db" with its table.
#pragma once

#include <string>

// Creates the "cache" folder when it is missing, then the media table unless it exists.
// Does nothing for an empty client folder.
void CreateMediaTableInClientFolder(const std::wstring& clientFolder);
