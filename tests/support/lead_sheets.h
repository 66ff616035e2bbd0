// Lead sheets written by tests: iReal Pro links made the way the app makes
// them (the music scrambled, the text percent-encoded), and small MusicXML
// scores, so that no test needs a file from elsewhere.
#pragma once

#include <cctype>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace vambrio::test {

// The app's scrambling of the music string: blocks of 50 while more than 51
// remain, positions i and 49-i swapped for i in 0..4 and 10..23.
inline std::string IrealScramble(std::string music) {
  std::string out = "1r34LbKcu7";
  while (music.size() > 51) {
    std::string block = music.substr(0, 50);
    for (int i = 0; i < 24; ++i)
      if (i < 5 || i >= 10) std::swap(block[static_cast<size_t>(i)], block[static_cast<size_t>(49 - i)]);
    out += block;
    music.erase(0, 50);
  }
  return out + music;
}

inline std::string PercentEncode(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

struct IrealSong {
  std::string title, composer = "Doe John", style = "Medium Swing", key = "C", music;
  int tempo = 0, repeats = 1;
};

inline std::string IrealFields(const IrealSong& s) {
  return s.title + "=" + s.composer + "==" + s.style + "=" + s.key + "==" + IrealScramble(s.music) + "=0=" +
         std::to_string(s.tempo) + "=" + std::to_string(s.repeats);
}

// One song, or a playlist named `playlist` when there are more.
inline std::string IrealLink(const std::vector<IrealSong>& songs, const std::string& playlist = "Test Playlist") {
  std::string body;
  for (const IrealSong& s : songs) body += (body.empty() ? "" : "===") + IrealFields(s);
  if (songs.size() > 1) body += "===" + playlist;
  return "irealb://" + PercentEncode(body);
}

// A MusicXML score of one part; each measure's inside given as written.
inline std::string MusicXmlScore(const std::vector<std::string>& measures, const std::string& title = "Xml Song") {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\"><work><work-title>" + title +
      "</work-title></work><identification><creator type=\"composer\">Roe Jane</creator></identification>"
      "<part-list><score-part id=\"P1\"><part-name>Lead</part-name></score-part></part-list><part id=\"P1\">";
  for (size_t i = 0; i < measures.size(); ++i)
    xml += "<measure number=\"" + std::to_string(i + 1) + "\">" + measures[i] + "</measure>";
  return xml + "</part></score-partwise>\n";
}

// A <harmony> element: root step, alter, kind, and optional extra elements (degrees, bass).
inline std::string Harmony(const std::string& step, int alter, const std::string& kind, const std::string& extra = "") {
  return "<harmony><root><root-step>" + step + "</root-step>" +
         (alter ? "<root-alter>" + std::to_string(alter) + "</root-alter>" : "") + "</root><kind>" + kind + "</kind>" +
         extra + "</harmony>";
}

inline std::string Note(int duration) {
  return "<note><pitch><step>C</step><octave>5</octave></pitch><duration>" + std::to_string(duration) +
         "</duration></note>";
}

}  // namespace vambrio::test
