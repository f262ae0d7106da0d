// Reading of a Flash Local Shared Object file (.sol): its header, its name and its entries.
// Windows-free: paths are narrow strings in the system's ANSI code page.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sharedobject/AMFLimits.h"
#include "sharedobject/Variant.h"

struct SolFile {
  // A Map of the entries by key, or Null when the file has none.
  Variant root;
  // The shared object's name, UTF-8 as stored.
  std::string name;
  // The magic and the signature, as read.
  std::array<uint8_t, 6> header{};
  // 0 for AMF0 entries, 3 for AMF3 entries.
  int version = 0;
};

// The smallest file accepted.
constexpr size_t kSmallestSolFile = 27;
// Files larger than this are refused before they are read: the players write a few kilobytes
// and refuse far below this size, and a file is read into memory whole.
constexpr size_t kLargestSolFile = size_t{16} << 20;

// Reads and decodes one file. True only when its entries fill the entry area exactly; entries
// decoded before a failure stay in `file.root`.
bool ReadSolFile(const std::string& path, SolFile& file);
// The same, over the whole content of a file already in memory (`size` is the file's size).
bool DecodeSolImage(const uint8_t* data, size_t size, SolFile& file,
                    const AMFLimits& limits = AMFLimits());
