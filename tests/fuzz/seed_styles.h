// Styles built with the project's style builder (and a tiny SoundFont), as fuzzer seeds and as
// material for the regression test.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "bank_eight_style.h"
#include "malformed_style.h"
#include "rule_entry.h"
#include "soundfont_writer.h"
#include "style_builder.h"

namespace vambrio::fuzz {

inline std::vector<std::pair<std::string, test::Bytes>> SeedStyles() {
  using test::CasmBuilder;
  using test::StyleBytes;
  using test::TrackBuilder;
  TrackBuilder t;
  t.TrackName("Seed").Copyright("Vambrio").Tempo(600000).TimeSignature(4, 2).GmSystemOn().Marker("SFF1")
      .Marker("SInt").ControlChange(8, 7, 100).ProgramChange(8, 0).ControlChange(9, 39, 90).Marker("Main A")
      .NoteOn(9, 36, 100).Delta(480).Running({36, 0}).NoteOn(10, 48, 90).Delta(480).NoteOff(10, 48)
      .Marker("Fill In AA").PitchBend(11, 0, 64).Delta(960).Marker("Ending A").NoteOn(12, 60, 80).EndOfTrack();
  CasmBuilder c;
  c.Group("Main A,Fill In AA").Ctab({8, 8}).Ctab({9, 9}).Ctab({10, 10, 1, 1, 0, 24, 60}).Cntt()
      .Group("Ending A").Ctab({12, 12, 1, 1, 2, 48, 84});
  CasmBuilder c2;
  c2.Group("Main A").Ctb2({10, 10, 1, 1, 0, 36, 72});
  const test::Bytes olderRules = test::RealisticRules(false, "Main A", "Fill In AA,Ending A");
  const test::Bytes newerRules = test::RealisticRules(true, "Main A,Ending A", "Fill In AA");
  return {{"seed-ctab.sty", StyleBytes(t, c.Build())},
          {"seed-rules-ctab.sty", StyleBytes(t, olderRules)},
          {"seed-rules-ctb2.sty", StyleBytes(t, newerRules)},
          {"seed-ctb2.sty", StyleBytes(t, c2.Build())},
          {"seed-plain.sty", StyleBytes(t, {}, 192)},
          {"seed-malformed.sty", test::MalformedStyle().bytes},
          {"seed-bank-eight.sty", test::BankEightStyle()},
          {"seed-soundfont.sf2", test::TinyGmSoundFont(true)}};
}

}  // namespace vambrio::fuzz
