// libFuzzer target: AMF0 values back to back, each with its own output budget, until the data
// ends or a value fails.
#include <cstddef>
#include <cstdint>

#include "sharedobject/AMF0Serializer.h"
#include "sharedobject/IOBuffer.h"
#include "tests/fuzz/TreeChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AMFLimits limits;
  const AMF0Serializer amf0(limits);
  IOBuffer buffer;
  if (size > 0) {
    FUZZ_CHECK(buffer.Append(data, size));
  }
  while (buffer.Available() > 0) {
    const size_t before = buffer.Available();
    Variant value;
    const bool decoded = amf0.ReadValue(buffer, value);
    FUZZ_CHECK(buffer.Consumed() <= buffer.Published() && buffer.Published() <= buffer.Capacity());
    FUZZ_CHECK(buffer.Available() <= before);
    CheckDecodedTree(value, limits, 0);
    if (!decoded) {
      break;
    }
    FUZZ_CHECK(buffer.Available() < before);  // a decoded value takes at least its marker
  }
  return 0;
}
