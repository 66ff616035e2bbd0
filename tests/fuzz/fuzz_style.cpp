// libFuzzer entry point for the load, scan and assembly path.
#include <cstdio>
#include <cstdlib>

#include "../playback/assembly_fuzz.h"
#include "fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vambrio::fuzz::FuzzOneInput(data, size);
  // Every section of an input that loads assembles into a well-formed file;
  // the last bytes of the input choose the playback options.
  uint32_t bits = size >= 2 ? static_cast<uint32_t>(data[size - 1] | data[size - 2] << 8) : 0;
  for (bool gm : {false, true}) {
    std::string error = vambrio::test::AssembleEverySection(data, size, gm, bits);
    if (!error.empty()) {
      std::fprintf(stderr, "assembly (%s player): %s\n", gm ? "GM" : "XG", error.c_str());
      std::abort();
    }
  }
  return 0;
}
