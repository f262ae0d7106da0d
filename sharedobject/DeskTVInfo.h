// The desk favourite that the site's web pages leave for this program in their shared
// object "tavra_clientflash_common", under the key "deskTVinfo" (a JSON text).
// Windows-free: the text is UTF-8 bytes as stored.
#pragma once

#include <string>

inline constexpr char kClientFlashSolFile[] = "tavra_clientflash_common.sol";

// The freshest non-empty "deskTVinfo" text among the copies in the Flash stores, by the
// copies' last-access times; on a tie the copy found first wins. Empty when there is none.
std::string ReadDeskTVInfo();

// Deletes every copy in the Flash stores that reads as a shared-object file, once its
// favourite has been taken. Always true.
bool DeleteConsumedSolFiles();
