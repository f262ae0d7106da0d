// The bytes of the shared-object file in which the site's pages leave a desk favourite: an
// AMF0 .sol file named "tavra_clientflash_common" with string entries. For the tests and the
// benchmarks. Windows-free.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/sharedobject/AmfBytes.h"

namespace soltest {

// Header, name, version 0, then per entry: key, a string value and the pad byte.
inline std::string SolImage(const std::vector<std::pair<std::string, std::string>>& entries,
                            const std::string& name = "tavra_clientflash_common") {
  using amf::operator+;
  using amf::operator+=;
  amf::Bytes body;
  for (const auto& [key, value] : entries) body += amf::Name(key) + amf::String(value) + amf::Bytes{0x00};
  const amf::Bytes image = amf::SolImage(name, 0, body);
  return std::string(image.begin(), image.end());
}

// A file whose "deskTVinfo" entry holds `text` (UTF-8), after another entry as the pages
// write it.
inline std::string DeskTVSolImage(const std::string& text) {
  return SolImage({{"lastPlay", "x"}, {"deskTVinfo", text}});
}

}  // namespace soltest
