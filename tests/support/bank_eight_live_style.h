// A style of bank-8 (articulated) voices that the live arranger plays: a
// finger bass on the Bass part and a clean guitar on Chord 1, sounding over
// every chord, for the tests that listen to the voice map.
#pragma once

#include "style_builder.h"

namespace vambrio::test {

inline constexpr int kBass = 10, kGuitar = 11;  // channels 11 and 12: the Bass and Chord 1 parts
inline constexpr int kBeat = 480;
inline constexpr int kBassNote = 36;  // C2, 65.4 Hz

// A chord-rule entry on which the channel plays over every root and chord
// type, its notes as written over C major.
inline Bytes PlayingEverywhere(int channel, int low, int high) {
  Bytes d(27, 0);
  d[0] = static_cast<uint8_t>(channel);
  d[9] = static_cast<uint8_t>(channel);
  d[11] = 0x0F, d[12] = 0xFF;                 // every root
  d[13] = 0x03, d[14] = d[15] = d[16] = d[17] = 0xFF;  // every chord type
  d[23] = static_cast<uint8_t>(low), d[24] = static_cast<uint8_t>(high);
  Bytes chunk = {'C', 't', 'a', 'b', 0, 0, 0, 27};
  chunk.insert(chunk.end(), d.begin(), d.end());
  return chunk;
}

// Main A: a bank-8 finger bass (MSB 8, program 17) with long low notes in
// its "open soft" band, and a bank-8 clean guitar (program 3) holding a
// chord in its "dead" band, which the map plays on a helper channel.
inline Bytes BankEightLiveStyle() {
  TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt");
  for (int ch : {kBass, kGuitar})
    t.ControlChange(ch, 0, 8).ControlChange(ch, 32, 0).ProgramChange(ch, ch == kBass ? 17 : 3).ControlChange(ch, 7, 110);
  t.Marker("Main A").NoteOn(kGuitar, 60, 70).NoteOn(kGuitar, 64, 70);
  for (int half = 0; half < 8; ++half) t.NoteOn(kBass, kBassNote, 50).Delta(2 * kBeat).NoteOff(kBass, kBassNote);
  t.NoteOff(kGuitar, 60).NoteOff(kGuitar, 64).Delta(1).EndOfTrack();
  CasmBuilder casm;
  casm.Group("Main A");
  casm.RawInGroup(PlayingEverywhere(kBass, 24, 60)).RawInGroup(PlayingEverywhere(kGuitar, 48, 84));
  return StyleBytes(t, casm.Build(), kBeat);
}

}  // namespace vambrio::test
