// libFuzzer target: AMF3 values back to back through one serializer, so that references reach
// back into the tables of earlier values, until the data ends or a value fails.
#include <cstddef>
#include <cstdint>

#include "sharedobject/AMF3Serializer.h"
#include "sharedobject/IOBuffer.h"
#include "tests/fuzz/TreeChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AMFLimits limits;
  AMFBudget budget(limits);
  AMF3Serializer amf3(budget, 0);
  size_t visible = 0;
  IOBuffer buffer;
  if (size > 0) {
    FUZZ_CHECK(buffer.Append(data, size));
  }
  while (buffer.Available() > 0) {
    const size_t before = buffer.Available();
    Variant value;
    const bool decoded = amf3.ReadValue(buffer, value);
    FUZZ_CHECK(buffer.Consumed() <= buffer.Published() && buffer.Published() <= buffer.Capacity());
    FUZZ_CHECK(buffer.Available() <= before);
    CheckDecodedTree(value, limits, 0);
    if (!decoded) {
      break;
    }
    // References share what they name, but the bound counts them in full: what the values
    // show was charged.
    visible += VisibleBytes(value);
    FUZZ_CHECK(visible <= budget.Charged());
    FUZZ_CHECK(buffer.Available() < before);
  }
  // What the tables hold is what references share: it obeys the same rules.
  for (size_t i = 0; i < amf3.ObjectCount(); ++i) {
    CheckDecodedTree(amf3.ObjectAt(i), limits, 0);
  }
  for (size_t i = 0; i < amf3.TraitsCount(); ++i) {
    FUZZ_CHECK(amf3.TraitsAt(i).GetKind() == Variant::Kind::Null || amf3.TraitsAt(i).IsMap());
  }
  return 0;
}
