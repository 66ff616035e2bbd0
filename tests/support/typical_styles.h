// Styles shaped like the ones found in collections: an "SInt" setup with
// program changes and volumes on channels 9-16, a dozen sections of drums,
// bass, chords, pad and phrase notes, and a CASM block with one entry per
// channel and section group. Used by the benchmarks.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "style_builder.h"

namespace vambrio::test {

inline const char* const kTypicalSections[] = {"Intro A", "Main A", "Main B", "Main C", "Main D", "Fill In AA",
                                               "Fill In BB", "Fill In CC", "Fill In DD", "Fill In BA",
                                               "Ending A", "Ending B"};

// A style of roughly targetBytes bytes (the sections grow until it is reached).
inline Bytes TypicalStyle(uint32_t seed, size_t targetBytes) {
  std::mt19937 rng(seed);
  TrackBuilder t;
  t.Marker("SFF1").TrackName("Typical " + std::to_string(seed)).Copyright("Vambrio developers")
      .Tempo(500000 + (rng() % 200000)).TimeSignature(4, 2).Marker("SInt").GmSystemOn();
  for (int ch = 8; ch < 16; ++ch) t.ControlChange(ch, 0, ch == 9 ? 127 : 0).ProgramChange(ch, static_cast<int>(rng() % 100)).ControlChange(ch, 7, 80 + static_cast<int>(rng() % 40));
  const size_t sections = std::size(kTypicalSections);
  const size_t perSection = targetBytes > 2000 ? (targetBytes - 1500) / sections : 50;
  for (const char* name : kTypicalSections) {
    t.Marker(name);
    size_t start = t.size();
    while (t.size() - start < perSection) {
      int ch = 8 + static_cast<int>(rng() % 8);
      int note = 36 + static_cast<int>(rng() % 48);
      t.Delta(rng() % 240).NoteOn(ch, note, 60 + static_cast<int>(rng() % 60)).Delta(120 + rng() % 240).Running({static_cast<uint8_t>(note), 0});
      if (rng() % 16 == 0) t.ControlChange(ch, 7, 70 + static_cast<int>(rng() % 50));
    }
  }
  t.Delta(10).EndOfTrack();
  CasmBuilder casm;
  casm.Group("Main A,Main B,Main C,Main D,Intro A,Ending A,Ending B");
  for (int ch = 8; ch < 16; ++ch) casm.Ctab({ch, ch, 1, 1, 0, ch == 10 ? 28 : 48, ch == 10 ? 60 : 84});
  casm.Cntt().Group("Fill In AA,Fill In BB,Fill In CC,Fill In DD,Fill In BA");
  for (int ch = 8; ch < 16; ++ch) casm.Ctab({ch, ch, 1, 1, 0, 36, 96, 31});
  return StyleBytes(t, casm.Build());
}

}  // namespace vambrio::test
