// Shared helpers of the editing tests: styles built for a purpose and loaded
// into a model the way the window loads them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "loading/entry.h"
#include "model/style_model.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {

// Loads bytes into m through Entry (XG player) from a file in dir; fails the
// test when the style does not load.
inline void LoadInto(StyleModel& m, const TempDir& dir, const Bytes& bytes, const std::string& name = "In.sty") {
  WriteFile(dir.File(name), bytes);
  SilentErrorSink silent;
  EntryResult r = Entry(m, dir.File(name), false, silent);
  EXPECT_EQ(r.outcome, EntryResult::Outcome::Loaded) << "the test style does not load";
}

inline StyleModel Loaded(const TempDir& dir, const Bytes& bytes, const std::string& name = "In.sty") {
  StyleModel m = MakeStartupModel();
  LoadInto(m, dir, bytes, name);
  return m;
}

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The chord-rule block and a chunk after it that every style here carries,
// so that tests can check that both survive an edit byte for byte.
inline Bytes TrailingChunks() {
  Bytes after = CasmBuilder().Group("Main A").Ctab({.sourceChannel = 8, .destChannel = 8}).Build();
  AppendText(after, "OTSc");
  AppendBE32(after, 3);
  after.insert(after.end(), {0x01, 0x02, 0x03});
  return after;
}

// SInt with `initial` volume events (values from `first`, step 10), a Main A
// section with `later` more, one tempo event and a 4/4 time signature.
inline Bytes VolumeStyle(int initial, int later, int first = 20) {
  TrackBuilder t;
  t.TrackName("Vol").Tempo(500000).TimeSignature(4, 2).Marker("SInt");
  int value = first;
  for (int i = 0; i < initial; ++i, value += 10) t.ControlChange(i % 16, 7, value % 128);
  t.Marker("Main A").Delta(480).NoteOn(9, 36, 100);
  for (int i = 0; i < later; ++i, value += 10) t.ControlChange(i % 16, 7, value % 128);
  t.Delta(480).NoteOff(9, 36).EndOfTrack();
  return StyleBytes(t, TrailingChunks());
}

}  // namespace vambrio::test
