// libFuzzer entry point for the load, scan, editing and assembly path, classic and over any chord.
#include <cstdio>
#include <cstdlib>

#include "../playback/any_chord_fuzz.h"
#include "fuzz_one.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string finding = vambrio::fuzz::FuzzOneInput(data, size);
  if (!finding.empty()) {
    std::fprintf(stderr, "finding: %s\n", finding.c_str());
    std::abort();
  }
  // The assembly over any chord, by the style's complete chord rules; the
  // first bytes choose the chord, the last ones the playback options.
  const uint32_t bits = vambrio::fuzz::FuzzChoices(data, size).playBits;
  const vambrio::Chord chord{size > 0 ? data[0] % 12 : 0, size > 1 ? data[1] % vambrio::kChordTypeCount : 0,
                             size > 2 && data[2] % 3 == 0 ? data[2] % 12 : -1};
  std::string error = vambrio::test::AssembleEverySectionOverChord(data, size, (bits & 1) != 0, bits, chord);
  if (!error.empty()) {
    std::fprintf(stderr, "any-chord assembly: %s\n", error.c_str());
    std::abort();
  }
  return 0;
}
