// libFuzzer entry point: the commands that read chord rules agree on every input.
#include <cstdio>
#include <cstdlib>

#include "agreement_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string finding = vambrio::fuzz::AgreementOneInput(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "disagreement: %s\n", finding.c_str());
    std::abort();
  }
  return 0;
}
