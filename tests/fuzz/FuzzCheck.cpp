#include "tests/fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>

void FuzzCheckFailed(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}
