// libFuzzer entry point for the load, scan and assembly path, classic and over any chord.
#include <cstdio>
#include <cstdlib>

#include "../playback/any_chord_fuzz.h"
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
  // The same over any chord, by the style's complete chord rules; the first
  // bytes choose the chord.
  const vambrio::Chord chord{size > 0 ? data[0] % 12 : 0, size > 1 ? data[1] % vambrio::kChordTypeCount : 0,
                             size > 2 && data[2] % 3 == 0 ? data[2] % 12 : -1};
  std::string error = vambrio::test::AssembleEverySectionOverChord(data, size, (bits & 1) != 0, bits, chord);
  if (!error.empty()) {
    std::fprintf(stderr, "any-chord assembly: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
