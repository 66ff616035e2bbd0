// A style with a bank-8 ("MegaVoice") finger bass and clean guitar that play
// every articulation band's edges, noise notes at 97 and 121, and a drum note
// on key 13, for the voice map's tests. Programs in kBandNotes are the General
// MIDI ones each note should play, with the velocity it should get.
#pragma once

#include "style_builder.h"

namespace vambrio::test {

inline constexpr int kBankEightDrums = 9, kBankEightBass = 10, kBankEightGuitar = 11;

// Velocities at the edges of the bands of the electric bass and the clean guitar: the
// bottom of a band sounds softest (40), its top loudest (127).
struct BandNote {
  int channel, velocity, program, mappedVelocity;
};
inline constexpr BandNote kBandNotes[] = {
    {kBankEightBass, 60, 33, 127},  {kBankEightBass, 61, 33, 40},     {kBankEightBass, 120, 33, 127},
    {kBankEightBass, 127, 36, 127}, {kBankEightGuitar, 1, 27, 40},    {kBankEightGuitar, 40, 27, 127},
    {kBankEightGuitar, 61, 28, 40},  {kBankEightGuitar, 90, 28, 127}, {kBankEightGuitar, 105, 27, 127},
    {kBankEightGuitar, 121, 31, 40}, {kBankEightBass, 70, 33, 81},  // 9/19 of the way from 40 to 127
};

// A style whose bass (bank 8, program 17) and clean guitar (bank 8, program 3)
// play each band, noise notes at 97 and 121, and drums on key 13.
inline Bytes BankEightStyle() {
  TrackBuilder t;
  t.TimeSignature(4, 2).Tempo(500000).Marker("SInt");
  for (int ch : {kBankEightBass, kBankEightGuitar}) t.ControlChange(ch, 0, 8).ControlChange(ch, 32, 0);
  t.ProgramChange(kBankEightBass, 17).ProgramChange(kBankEightGuitar, 3).ControlChange(kBankEightGuitar, 7, 77);
  t.Marker("Main A");
  int key = 40;
  for (const BandNote& n : kBandNotes) {
    ++key;
    t.Delta(10).NoteOn(n.channel, key, n.velocity).Delta(10).NoteOff(n.channel, key);
  }
  t.Delta(10).NoteOn(kBankEightGuitar, 97, 100).Delta(10).NoteOff(kBankEightGuitar, 97);
  t.Delta(10).NoteOn(kBankEightGuitar, 121, 50).Delta(10).NoteOff(kBankEightGuitar, 121);
  t.Delta(10).NoteOn(kBankEightDrums, 13, 100).Delta(10).NoteOff(kBankEightDrums, 13);
  t.Delta(1000).EndOfTrack();
  CasmBuilder casm;
  casm.Group("Main A");
  for (int ch : {kBankEightDrums, kBankEightBass, kBankEightGuitar}) {
    ChordEntry e;
    e.sourceChannel = e.destChannel = ch;  // each channel plays its own part
    casm.Ctab(e);
  }
  return StyleBytes(t, casm.Build(), 480);
}

}  // namespace vambrio::test
