// libFuzzer entry point for the chord-chart reader.
#include <cstdio>
#include <cstdlib>

#include "chart_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string finding = vambrio::fuzz::ChartOneInput(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "finding: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
