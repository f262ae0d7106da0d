// The check of the fuzz targets: a property that fails ends the process with a message naming
// it, which libFuzzer records as a crash with its input.
#pragma once

[[noreturn]] void FuzzCheckFailed(const char* what);

#define FUZZ_CHECK(condition)          \
  do {                                 \
    if (!(condition)) {                \
      FuzzCheckFailed(#condition);     \
    }                                  \
  } while (0)
