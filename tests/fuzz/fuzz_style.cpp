// libFuzzer entry point for the load, scan and assembly path.
#include "fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vambrio::fuzz::FuzzOneInput(data, size);
  return 0;
}
