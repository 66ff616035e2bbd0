// bench_chart [BARS]: reads a chord chart of BARS bars (1,000,000 by default)
// written all on one line, then one bar a line, and prints the seconds each
// took and the megabytes a second (goal: the one-line chart under 2 s, and
// about as fast as the other: reading keeps to time proportional to the text).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <variant>

#include "arranger/chart.h"

namespace {

std::string Chart(long bars, const char* between) {
  const char* chords[] = {"C", "Am7", "Dm7 G7", "F . G .", "%"};
  std::string text = "[Main A]";
  for (long b = 0; b < bars; ++b) text += std::string(" ") + chords[b % 5] + " |" + between;
  return text;
}

void Measure(const char* what, const std::string& text) {
  const auto start = std::chrono::steady_clock::now();
  const auto chart = vambrio::arranger::ReadChart(text);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto* read = std::get_if<vambrio::arranger::Chart>(&chart);
  std::printf("%-22s %9zu bytes  %8zu bars  %7.3f s  %7.1f MB/s%s\n", what, text.size(), read ? read->bars.size() : 0,
              seconds, text.size() / seconds / 1e6, read ? "" : "  (refused!)");
}

}  // namespace

int main(int argc, char** argv) {
  const long bars = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::printf("bench_chart: %ld bars\n", bars);
  Measure("all on one line", Chart(bars, ""));
  Measure("one bar a line", Chart(bars, "\n"));
  return 0;
}
