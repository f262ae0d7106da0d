// libFuzzer target: a whole .sol file image through the reader, as ReadSolFile hands it over.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "sharedobject/SolDump.h"
#include "sharedobject/SolFile.h"
#include "tests/fuzz/TreeChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint8_t kHeader[6] = {0x00, 0xBF, 0x54, 0x43, 0x53, 0x4F};
  const AMFLimits limits;
  SolFile file;
  const bool accepted = DecodeSolImage(data, size, file, limits);
  if (accepted) {
    FUZZ_CHECK(file.version == 0 || file.version == 3);
    FUZZ_CHECK(std::memcmp(file.header.data(), kHeader, sizeof kHeader) == 0);
    FUZZ_CHECK(size >= kSmallestSolFile);
  }
  FUZZ_CHECK(file.root.GetKind() == Variant::Kind::Null || file.root.GetKind() == Variant::Kind::Map);
  // The root holds the entries: one level above the decoded values.
  const size_t dumpBytes = CheckDecodedTree(file.root, limits, 1);

  // A deep copy holds the same tree, and freeing both leaves nothing behind.
  if (dumpBytes <= (size_t{1} << 20)) {
    SolFile copy = file;
    FUZZ_CHECK(SolReadingText(accepted, copy) == SolReadingText(accepted, file));
  }
  return 0;
}
