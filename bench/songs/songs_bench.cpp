// bench_songs: the importers on large inputs.
// (a) an iReal Pro playlist of 1,500 songs (about the size of the large jazz
//     playlists players keep) found in an HTML export, read and made into
//     charts (goal: under 1 s);
// (b) a MusicXML lead sheet of 1,000 measures read and made into a chart
//     (goal: under 100 ms).
// Each is run five times; the best and the median are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "lead_sheets.h"
#include "songs/import.h"

namespace {

using Clock = std::chrono::steady_clock;

// Songs of 32 to 40 bars: a repeated A with two endings, a B, the A again, chords of all kinds.
std::string Playlist(int songs) {
  const char* chords[] = {"C^7", "A-7", "D-7", "G7", "E-7", "A7b9", "Dh7", "G7alt", "F^7", "Bb7#11", "Eb^9", "Ab13"};
  std::vector<vambrio::test::IrealSong> list;
  for (int s = 0; s < songs; ++s) {
    std::string music = "{*AT44";
    for (int bar = 0; bar < 8; ++bar) {
      if (bar == 6) music += "N1";
      music += std::string(chords[(s + bar) % 12]) + (bar % 2 ? " " + std::string(chords[(s + bar + 3) % 12]) : "XyQ");
      music += bar == 7 ? " }" : " |";
    }
    music += "N2C^7XyQ|Kcl|*B";
    for (int bar = 0; bar < 8; ++bar) music += std::string(chords[(s * 7 + bar) % 12]) + "  " + chords[(bar + 5) % 12] + "|";
    music += "*AF^7 |x |D-7 G7 |C^7 Z";
    list.push_back({"Song " + std::to_string(s + 1), "Doe John", "Medium Swing", "C", music, 160, 1});
  }
  return "<html><body><a href=\"" + vambrio::test::IrealLink(list, "Big Book") + "\">Big Book</a></body></html>";
}

std::string Score(int measures) {
  const char* kinds[] = {"major-seventh", "minor-seventh", "dominant", "half-diminished", "dominant-ninth"};
  std::vector<std::string> m;
  for (int i = 0; i < measures; ++i) {
    std::string inside = i == 0 ? "<attributes><divisions>4</divisions><time><beats>4</beats><beat-type>4</beat-type>"
                                  "</time></attributes>"
                                : "";
    if (i % 16 == 0) inside += "<direction><direction-type><rehearsal>" + std::string(i % 32 ? "B" : "A") +
                               "</rehearsal></direction-type></direction>";
    inside += vambrio::test::Harmony(std::string(1, static_cast<char>('A' + i % 7)), i % 3 - 1, kinds[i % 5]) +
              vambrio::test::Note(8) + vambrio::test::Harmony("G", 0, "dominant") + vambrio::test::Note(8);
    m.push_back(inside);
  }
  return vambrio::test::MusicXmlScore(m, "Long Song");
}

template <class F>
void Measure(const char* what, double goalMs, F run) {
  std::vector<double> ms;
  for (int i = 0; i < 5; ++i) {
    const auto start = Clock::now();
    run();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%s: best %.1f ms, median %.1f ms (goal: under %.0f ms)\n", what, ms[0], ms[2], goalMs);
}

}  // namespace

int main() {
  const std::string html = Playlist(1500);
  size_t songs = 0, bars = 0, warnings = 0;
  Measure("1,500-song iReal Pro playlist", 1000, [&] {
    const vambrio::songs::Imported in = vambrio::songs::ImportBytes(html, "book.html");
    songs = bars = warnings = 0;
    for (const auto& s : in.songs) songs += s.Ok(), bars += s.chart.bars.size(), warnings += s.warnings.size();
  });
  std::printf("  %zu KB of HTML, %zu songs, %zu bars played, %zu warnings\n", html.size() / 1024, songs, bars, warnings);

  const std::string xml = Score(1000);
  size_t measures = 0;
  Measure("1,000-measure MusicXML score", 100, [&] {
    const vambrio::songs::Imported in = vambrio::songs::ImportBytes(xml, "long.musicxml");
    measures = in.songs.empty() ? 0 : in.songs[0].chart.bars.size();
  });
  std::printf("  %zu KB of XML, %zu bars\n", xml.size() / 1024, measures);
  return songs == 1500 && measures == 1000 ? 0 : 1;
}
