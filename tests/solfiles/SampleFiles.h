// A fixed set of .sol files covering every marker the reader takes, references of every
// kind, nested values, odd bytes in keys and texts, and files the reader must refuse. The
// same set seeds the fuzzers and is what soldump's expected dumps describe. Windows-free.
#pragma once

#include <string>
#include <vector>

struct SolSample {
  std::string name;   // file name, ".sol" included
  std::string bytes;  // the whole file
};

std::vector<SolSample> SolSamples();
// Single AMF0 and AMF3 values and runs of values, without any file around them.
std::vector<std::string> Amf0ValueSeeds();
std::vector<std::string> Amf3ValueSeeds();
