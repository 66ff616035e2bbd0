// A style whose channel messages hold data bytes of 128 or more, as some
// style generators write them (the controller BB 0B EE among them).
#pragma once

#include <cstdint>

#include "style_builder.h"

namespace vambrio::test {

// Seven malformed data bytes: a volume of 238, a program of 133, the
// controller BB 0B EE, a drum note 164 with velocity 200, a running-status
// velocity of 144 and a pitch bend of FF. Sections "Main A" and "Fill In AA".
struct MalformedStyle {
  static constexpr int kMalformedBytes = 7;
  Bytes bytes;
  int32_t tempoPos = 0;        // the tempo event's first data byte
  int32_t firstVolumePos = 0;  // the value byte of the volume of 100
  int32_t oddVolumePos = 0;    // the value byte of the volume of 238
  int32_t sintEnd = 0;         // the first byte after the "SInt" marker

  MalformedStyle() {
    TrackBuilder t;
    t.TrackName("Odd");
    tempoPos = t.Here() + 4;  // delta FF 51 03, then the three tempo bytes
    t.Tempo(500000).TimeSignature(4, 2).Marker("SInt");
    sintEnd = t.Here();
    firstVolumePos = t.Here() + 3;
    t.ControlChange(8, 7, 100);
    oddVolumePos = t.Here() + 3;
    t.Channel(0xBB, {0x07, 0xEE}).Channel(0xCA, {0x85}).Marker("Main A");
    t.Channel(0xBB, {0x0B, 0xEE}).Delta(10).NoteOn(11, 60, 100).Channel(0x99, {0xA4, 0xC8});
    t.Delta(480).Running({36, 0x90}).Delta(480).NoteOff(11, 60).Marker("Fill In AA");
    t.PitchBend(11, 0, 0xFF).Delta(240).EndOfTrack();
    bytes = StyleBytes(t, CasmBuilder()
                              .Group("Main A,Fill In AA")
                              .Ctab({.sourceChannel = 9, .destChannel = 9})
                              .Ctab({.sourceChannel = 11, .destChannel = 11})
                              .Build());
  }
};

}  // namespace vambrio::test
