// soldump FILE: reads one .sol file and prints "ok" and its values, or only "rejected".
// Exit status: 0 accepted, 1 rejected or unreadable (or the output failed), 2 usage.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "sharedobject/SolDump.h"
#include "sharedobject/SolFile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: soldump FILE\n");
    return 2;
  }
#ifdef _WIN32
  // Other tools compare the bytes: no carriage return may be added to the line ends.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  try {
    SolFile file;
    const bool accepted = ReadSolFile(argv[1], file);
    DumpSolReading(accepted, file, std::cout);
    std::cout.flush();
    if (!std::cout) {
      std::fprintf(stderr, "soldump: cannot write the output\n");
      return 1;
    }
    return accepted ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "soldump: %s\n", error.what());
    return 1;
  }
}
