// The importers' fuzz seeds, written by the project's own test builders:
// per importer, name and bytes.
#pragma once

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "lead_sheets.h"

namespace vambrio::fuzz {

using Seeds = std::vector<std::pair<std::string, std::string>>;

inline std::string ZipOf(const Seeds& entries, const std::string& scratch) {
  int error = 0;
  zip_t* zip = zip_open(scratch.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!zip) return "";
  for (const auto& [name, data] : entries)
    zip_file_add(zip, name.c_str(), zip_source_buffer(zip, data.data(), data.size(), 0), ZIP_FL_OVERWRITE);
  zip_close(zip);
  std::ifstream f(scratch, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::filesystem::remove(scratch);
  return bytes;
}

inline Seeds ImportSeeds(const std::string& kind, const std::string& scratch) {
  using namespace vambrio::test;
  if (kind == "ireal") {
    std::string link = IrealLink({{"One", "Doe John", "Medium Swing", "C",
                                   "{*AT44C^7 A-7 |D-7 G7 |N1E-7 A7 }|N2D-7 G7 |*BF^7XyQ|x |r|  Z", 120, 2},
                                  {"Two", "Roe Jane", "Waltz", "Eb-", "*iT34Eb-7(Db7) p W/Db|S Ab7b9 Q|<D.S. al Coda>nZ Q Bh7 E7alt Z", 0, 1}});
    const std::string body = link.substr(std::string("irealb://").size());
    return {{"playlist.txt", body}, {"old.txt", "Old=Comp=Style=F=n=[T44F |C7<Fine> |<D.C. al Fine>G-7 Z"}};
  }
  if (kind == "chordpro")
    return {{"song.cho", "{title: Grace}\n{time: 3/4}\n[G]Amazing [G7]grace\n{soc}\n| D . . | D7 . G | % |\n{eoc}\n"
                         "{chorus}\n{new_song}\n{t: Two}\n[Cmaj7]la [F#m7b5/C]la [N.C.]\n"}};
  const std::string score =
      MusicXmlScore({"<attributes><divisions>2</divisions><time><beats>3</beats><beat-type>4</beat-type></time>"
                     "</attributes><barline><repeat direction=\"forward\"/></barline>" +
                         Harmony("F", 1, "minor-seventh") + Note(4) +
                         Harmony("B", -1, "dominant", "<degree><degree-value>9</degree-value><degree-alter>1"
                                                      "</degree-alter><degree-type>add</degree-type></degree>"),
                     "<barline><ending number=\"1\" type=\"start\"/></barline>" + Harmony("C", 0, "major") + Note(6) +
                         "<barline><ending number=\"1\" type=\"stop\"/><repeat direction=\"backward\"/></barline>",
                     "<direction><direction-type><rehearsal>B</rehearsal></direction-type><sound dalsegno=\"s\"/>"
                     "</direction>" + Harmony("G", 0, "none") + Note(6)});
  const std::string container =
      "<?xml version=\"1.0\"?><container><rootfiles><rootfile full-path=\"s.xml\"/></rootfiles></container>";
  return {{"score.musicxml", score}, {"score.mxl", ZipOf({{"META-INF/container.xml", container}, {"s.xml", score}}, scratch)}};
}

}  // namespace vambrio::fuzz
