// The machine-readable lines of a benchmark, besides its prose: tools/figures-table.py gathers
// them into the table that closes `./vx bench`.
#pragma once

#include <cstdio>

namespace vxbench {

// "figure KEY VALUE FLOOR-KEY FLOOR": a figure and what it is held against, both measured in
// this run. Flushed at once, so that a bench that dies later still leaves what it measured.
inline void PrintFigure(const char* key, double value, const char* floorKey, double floor) {
  std::printf("figure %s %.6g %s %.6g\n", key, value, floorKey, floor);
  std::fflush(stdout);
}

// "nofigure KEY REASON": the figure could not be measured, and why.
inline void PrintNoFigure(const char* key, const char* reason) {
  std::printf("nofigure %s %s\n", key, reason);
  std::fflush(stdout);
}

}  // namespace vxbench
