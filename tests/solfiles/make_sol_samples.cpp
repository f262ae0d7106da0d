// make_sol_samples DIR: writes the sample files to DIR/sol, and the AMF0 and AMF3 value
// seeds to DIR/amf0 and DIR/amf3 (the folders must exist or be creatable by the caller).
#include <cstdio>
#include <string>
#include <vector>

#include "tests/solfiles/SampleFiles.h"

namespace {

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::fprintf(stderr, "make_sol_samples: cannot create %s\n", path.c_str());
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

bool WriteSeeds(const std::string& folder, const std::string& prefix, const std::vector<std::string>& seeds) {
  for (size_t i = 0; i < seeds.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%s_%02zu.bin", prefix.c_str(), i);
    if (!WriteFile(folder + "/" + name, seeds[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sol_samples DIR (with DIR/sol, DIR/amf0 and DIR/amf3)\n");
    return 2;
  }
  const std::string root = argv[1];
  for (const SolSample& sample : SolSamples()) {
    if (!WriteFile(root + "/sol/" + sample.name, sample.bytes)) {
      return 1;
    }
  }
  return WriteSeeds(root + "/amf0", "amf0", Amf0ValueSeeds()) &&
                 WriteSeeds(root + "/amf3", "amf3", Amf3ValueSeeds())
             ? 0
             : 1;
}
