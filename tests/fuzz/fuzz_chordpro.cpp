// libFuzzer entry point for the chordpro importer.
#include <cstdio>
#include <cstdlib>

#include "import_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string finding = vambrio::fuzz::FuzzImport(data, size, "chordpro");
  if (!finding.empty()) {
    std::fprintf(stderr, "finding: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
