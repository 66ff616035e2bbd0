// The style library over 10,000 generated styles of 20-60 KB in nested
// folders: the first index of the collection, a re-open with nothing
// changed, a re-open after 100 changed files, and a search over the rows.
// Prints the figures (goals: first index <= 2 s, re-open <= 0.3 s).
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "library/folder_walk.h"
#include "library/library_database.h"
#include "library/library_filter.h"
#include "library/library_indexer.h"
#include "temp_dir.h"
#include "typical_styles.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// The machine's load average over 1, 5 and 15 minutes: the figures mean more beside it.
void PrintLoadAverage(const char* when) {
  double load[3] = {0, 0, 0};
  if (getloadavg(load, 3) == 3) std::printf("load average %s: %.2f %.2f %.2f\n", when, load[0], load[1], load[2]);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  vambrio::test::TempDir styles, data;
  double bytes = 0;
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    // About 200 folders of 50 styles, two levels deep; 20-60 KB each.
    std::string folder = styles.File("genre" + std::to_string(i % 20) + "/set" + std::to_string(i % 200));
    if (i < 200) std::filesystem::create_directories(folder);
    auto style = vambrio::test::TypicalStyle(static_cast<uint32_t>(i), 20000 + (i * 7919) % 40000);
    bytes += static_cast<double>(style.size());
    vambrio::test::WriteFile(folder + "/style" + std::to_string(i) + ".sty", style);
  }
  std::printf("generated %d styles, %.0f MB, in %.1f s\n", count, bytes / 1e6, Seconds(start));
  PrintLoadAverage("before");

  // The parts of a first index, one at a time, on one thread.
  start = Clock::now();
  auto walk = vambrio::library::FindStyleFiles(styles.path().string());
  std::printf("walk: %.3f s for %zu files\n", Seconds(start), walk.files.size());
  start = Clock::now();
  for (size_t i = 0; i < walk.files.size(); i += 4) vambrio::library::SummarizeStyleFile(walk.files[i].path);
  double quarter = Seconds(start);
  std::printf("read and summarise, one thread: %.0f files/s\n", static_cast<double>(walk.files.size() / 4) / quarter);

  QString file = QString::fromStdString(data.File("library.sqlite"));
  vambrio::library::IndexReport first;
  {
    start = Clock::now();
    vambrio::library::LibraryDatabase db(file);
    db.AddFolder(styles.path().string());
    first = vambrio::library::UpdateIndex(db, {});
    double t = Seconds(start);
    std::printf("first index: %.2f s for %lld styles (%.0f files/s, %.0f MB/s), %lld do not load (goal <= 2 s)\n", t,
                static_cast<long long>(first.read), static_cast<double>(first.read) / t, bytes / 1e6 / t,
                static_cast<long long>(first.failed));
  }
  {
    start = Clock::now();
    vambrio::library::LibraryDatabase db(file);
    auto again = vambrio::library::UpdateIndex(db, {});
    double update = Seconds(start);
    auto rows = db.Rows();
    std::printf("re-open, nothing changed: %.3f s (%lld read), loading the %zu rows %.3f s more (goal <= 0.3 s)\n",
                update, static_cast<long long>(again.read), rows.size(), Seconds(start) - update);

    for (int i = 0; i < count; i += count / 100) {
      std::string path = styles.File("genre" + std::to_string(i % 20) + "/set" + std::to_string(i % 200) +
                                     "/style" + std::to_string(i) + ".sty");
      vambrio::test::WriteFile(path, vambrio::test::TypicalStyle(static_cast<uint32_t>(i + count), 30000));
    }
    start = Clock::now();
    auto changed = vambrio::library::UpdateIndex(db, {});
    std::printf("re-open, %lld files changed: %.3f s\n", static_cast<long long>(changed.read), Seconds(start));

    std::vector<QString> keys;
    for (const auto& r : rows) keys.push_back(vambrio::library::SearchKey(r));
    for (const char* text : {"t", "typical 12", "style999"}) {
      vambrio::library::LibraryFilter f;
      f.text = text;
      start = Clock::now();
      vambrio::library::RowMatcher matcher(f);
      size_t hits = 0;
      for (size_t i = 0; i < rows.size(); ++i) hits += matcher.Matches(rows[i], keys[i]);
      std::printf("search \"%s\" over %zu rows: %.2f ms, %zu found\n", text, rows.size(), Seconds(start) * 1e3,
                  hits);
    }
  }
  PrintLoadAverage("after");
  return 0;
}
