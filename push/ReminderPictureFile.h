// Storing a downloaded reminder picture: "<client data folder>\VexoClient\Cache\updateImage_N.EXT",
// N a process-wide count of the pictures stored so far (from 0; every call takes a number,
// also one that fails), EXT from the address (PictureFileExtension). The file appears whole
// or not at all, replacing one of the same name (from an earlier run); the picture cache
// then knows it under `address`.
#pragma once

#include <cstddef>
#include <string>

inline constexpr size_t kMaxReminderPictureBytes = 4 * 1024 * 1024;

// The stored file's path; "" when nothing was stored (no folder, a body above
// kMaxReminderPictureBytes, a folder or file that cannot be written).
std::wstring StoreReminderPicture(const std::wstring& clientDataFolder, const std::string& address, const char* body,
                                  size_t length);
