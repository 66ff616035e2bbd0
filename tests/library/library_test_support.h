// A generated style collection in a temporary folder, for the library's tests.
#pragma once

#include <filesystem>
#include <string>

#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {

// A small style: its name, tempo (quarter notes a minute), time signature
// (numerator over 2^power) and an SFF marker.
inline Bytes NamedStyle(const std::string& name, int qpm = 120, int numerator = 4, int power = 2,
                        const std::string& format = "SFF1") {
  TrackBuilder t;
  t.Marker(format).TrackName(name).Copyright("Vambrio").TempoBpm(qpm).TimeSignature(numerator, power).Marker("SInt");
  t.ProgramChange(9, 1).Marker("Main A").Delta(480).NoteOn(9, 36, 100).Delta(480).NoteOff(9, 36);
  t.Marker("Main B").Delta(960).NoteOn(10, 40, 100).Delta(480).NoteOff(10, 40).EndOfTrack();
  return StyleBytes(t, CasmBuilder().Group("Main A,Main B").Ctab({9, 9}).Ctab({10, 10}).Build());
}

// Writes bytes at root/relative, making the folders on the way.
inline std::string Put(const std::filesystem::path& root, const std::string& relative, const Bytes& bytes) {
  std::filesystem::path p = root / relative;
  std::filesystem::create_directories(p.parent_path());
  WriteFile(p.string(), bytes);
  return p.string();
}

}  // namespace vambrio::test
