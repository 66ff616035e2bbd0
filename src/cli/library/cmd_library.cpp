// vambrio-cli library: the style library from the terminal. add indexes
// folders, list searches the index, duplicates finds copies, remove drops a
// folder. The index is the one the window uses unless --db names another.
#include <QCoreApplication>
#include <QDir>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "cli/library/library_output.h"
#include "cli/progress.h"
#include "model/shown_text.h"
#include "library/folder_walk.h"
#include "library/library_database.h"
#include "library/library_filter.h"
#include "library/library_indexer.h"

namespace vambrio::cli {
namespace {

constexpr const char* kUsage =
    "library add DIR... | list [--json] [--search TEXT] [--tempo MIN-MAX] [--time-signature N/D] "
    "[--format sff1|sff2] [--favourites] [--errors] [--no-update] | songs [--json] [--search TEXT] [--no-update] | "
    "duplicates [--json] | remove DIR | folders"
    "  [--db FILE]";

using library::LibraryDatabase;
using library::LibraryRow;

// Qt SQL loads its SQLite driver through the application object.
void EnsureApplication() {
  static int argc = 1;
  static char name[] = "vambrio-cli";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) static QCoreApplication app(argc, argv);
}

std::unique_ptr<LibraryDatabase> OpenDatabase(const ParsedArgs& args) {
  EnsureApplication();
  QString file = args.Value("--db") ? QString::fromStdString(*args.Value("--db")) : library::DefaultDatabaseFile();
  auto db = std::make_unique<LibraryDatabase>(file);
  if (!db->Notice().isEmpty()) std::cerr << "vambrio-cli: " << db->Notice().toStdString() << "\n";
  if (!db->IsOpen()) {
    std::cerr << "vambrio-cli: " << db->Problem().toStdString() << "\n";
    return nullptr;
  }
  return db;
}

// Brings the index up to date; prints what could not be read. False when
// the index could not be written.
bool Update(LibraryDatabase& db, const std::vector<std::string>& folders, library::IndexReport* out = nullptr) {
  std::unique_ptr<BatchProgress> progress;  // once the first report says how many files there are to read
  library::IndexReport r = library::UpdateIndex(db, folders, [&](const library::IndexProgress& p) {
    if (!progress) progress.reset(new BatchProgress(BatchProgress::OnStandardError(static_cast<size_t>(p.total))));
    progress->Reach(static_cast<size_t>(p.done), p.current, p.filesPerSecond);
  });
  progress.reset();
  for (const std::string& p : r.problems) std::cerr << "vambrio-cli: " << p << "\n";
  if (out) *out = r;
  return !r.writeFailed;
}

int Add(LibraryDatabase& db, const std::vector<std::string>& dirs) {
  std::vector<std::string> folders;
  for (const std::string& dir : dirs) {
    std::string folder = library::CanonicalFolder(dir);
    if (folder.empty()) {
      std::cerr << "vambrio-cli: " << dir << " is not a folder\n";
      return kExitFailed;
    }
    folders.push_back(folder);
  }
  for (const std::string& f : folders) {
    if (!db.AddFolder(f)) {
      std::cerr << "vambrio-cli: the style library could not be written: " << db.LastError().toStdString() << "\n";
      return kExitFailed;
    }
  }
  library::IndexReport r;
  bool written = Update(db, folders, &r);
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", r.seconds);
  std::cout << "Indexed " << Grouped(r.files) << (r.files == 1 ? " style file in " : " style files in ") << seconds << " s: " << Grouped(r.read)
            << " read, " << Grouped(r.failed) << (r.failed == 1 ? " of them does not load, " : " of them do not load, ")
            << Grouped(r.removed) << " removed.\n";
  if (r.failed > 0) std::cout << "vambrio-cli library list --errors shows the files that do not load.\n";
  return written ? kExitOk : kExitFailed;
}

std::optional<library::LibraryFilter> ReadFilter(const ParsedArgs& args) {
  library::LibraryFilter f;
  if (auto text = args.Value("--search")) f.text = QString::fromStdString(*text);
  if (auto tempo = args.Value("--tempo")) {
    auto range = library::ParseTempoRange(*tempo);
    if (!range) {
      std::cerr << "vambrio-cli: --tempo " << *tempo << ": a tempo range is wanted (90-120, 90-, -120 or 100)\n";
      return std::nullopt;
    }
    f.tempoMin = range->first;
    f.tempoMax = range->second;
  }
  if (auto ts = args.Value("--time-signature")) {
    if (!library::IsTimeSignature(*ts)) {
      std::cerr << "vambrio-cli: --time-signature " << *ts << ": a time signature such as 3/4 is wanted\n";
      return std::nullopt;
    }
    f.timeSignature = QString::fromStdString(*ts);
  }
  if (auto format = args.Value("--format")) {
    f.format = QString::fromStdString(*format).toUpper();
    if (f.format != "SFF1" && f.format != "SFF2") {
      std::cerr << "vambrio-cli: --format " << *format << ": sff1 or sff2 is wanted\n";
      return std::nullopt;
    }
  }
  f.favouritesOnly = args.Has("--favourites");
  f.errorsOnly = args.Has("--errors");
  return f;
}

// By name in any case, then by path.
void SortRows(std::vector<const LibraryRow*>& rows) {
  std::sort(rows.begin(), rows.end(), [](const LibraryRow* a, const LibraryRow* b) {
    int c = a->name.compare(b->name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a->path < b->path;
  });
}

int List(LibraryDatabase& db, const ParsedArgs& args) {
  auto filter = ReadFilter(args);
  if (!filter) return Usage(kUsage);
  if (!args.Has("--no-update") && !Update(db, {})) return kExitFailed;
  std::vector<LibraryRow> rows = db.Rows();
  library::RowMatcher matcher(*filter);
  std::vector<const LibraryRow*> shown;
  for (const LibraryRow& r : rows)
    if (matcher.Matches(r)) shown.push_back(&r);
  SortRows(shown);
  size_t width = NameWidth(shown);
  for (const LibraryRow* r : shown) {
    const int song = matcher.MatchingSong(*r);
    const library::LibrarySong* matched = song < 0 ? nullptr : &r->songs[static_cast<size_t>(song)];
    if (args.Has("--json")) {
      nlohmann::ordered_json j = RowJson(*r);
      if (matched) j["matched_song"] = SongJson(*matched);
      std::cout << j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
      std::cout << RowLine(*r, width);
      if (matched) std::cout << "  (song: " << matched->title.toStdString() << ", " << matched->tempo << ")";
      std::cout << "\n";
    }
  }
  // On a terminal an empty answer would look like a fault; in a pipe it is simply empty.
  if (shown.empty() && isatty(STDERR_FILENO)) std::cerr << "No style matches.\n";
  return kExitOk;
}

// Every song record of the index with its style; with --search, those whose
// title, genre and keywords hold every word.
int Songs(LibraryDatabase& db, const ParsedArgs& args) {
  if (!args.Has("--no-update") && !Update(db, {})) return kExitFailed;
  std::vector<LibraryRow> rows = db.Rows();
  std::vector<const LibraryRow*> sorted;
  for (const LibraryRow& r : rows) sorted.push_back(&r);
  SortRows(sorted);
  const QStringList words = QString::fromStdString(args.Value("--search").value_or(""))
                                .toCaseFolded()
                                .split(QLatin1Char(' '), Qt::SkipEmptyParts);
  for (const LibraryRow* r : sorted) {
    for (const library::LibrarySong& song : r->songs) {
      const QString key = (song.title + '\n' + song.genre + '\n' + song.keywords.join('\n')).toCaseFolded();
      if (!std::all_of(words.begin(), words.end(), [&](const QString& w) { return key.contains(w); })) continue;
      if (args.Has("--json")) {
        nlohmann::ordered_json j = SongJson(song);
        j["style"] = r->name.toStdString();
        j["path"] = r->DisplayPath().toStdString();
        std::cout << j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
      } else {
        std::cout << SongLine(song) << "  " << r->name.toStdString() << "  " << r->path.toStdString() << "\n";
      }
    }
  }
  return kExitOk;
}

int Duplicates(LibraryDatabase& db, const ParsedArgs& args) {
  if (!args.Has("--no-update") && !Update(db, {})) return kExitFailed;
  std::vector<LibraryRow> rows = db.Rows();
  for (const auto& group : library::DuplicateGroups(rows)) {
    const LibraryRow& first = rows[group.front()];
    if (args.Has("--json")) {
      nlohmann::ordered_json j{{"hash", first.hash.toStdString()}, {"size", first.size}};
      nlohmann::ordered_json paths = nlohmann::ordered_json::array();
      for (size_t i : group) paths.push_back(rows[i].DisplayPath().toStdString());
      j["paths"] = paths;
      std::cout << j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    } else {
      std::cout << group.size() << " copies of " << Grouped(first.size) << " bytes:\n";
      for (size_t i : group) std::cout << "  " << rows[i].path.toStdString() << "\n";
    }
  }
  return kExitOk;
}

int Remove(LibraryDatabase& db, const std::string& dir) {
  // A folder that no longer exists can still be removed by the name it had.
  std::string folder = library::CanonicalFolder(dir);
  if (folder.empty()) folder = QDir::cleanPath(QDir::current().absoluteFilePath(QString::fromStdString(dir))).toStdString();
  auto dropped = db.RemoveFolder(folder);
  if (!dropped) {
    std::cerr << "vambrio-cli: " << folder << " is not a folder of the library";
    if (!db.LastError().isEmpty()) std::cerr << " (" << db.LastError().toStdString() << ")";
    std::cerr << "; vambrio-cli library folders lists them\n";
    return kExitFailed;
  }
  std::cout << "Removed " << folder << " from the library (" << Grouped(*dropped) << " styles).\n";
  return kExitOk;
}

int RunLibrary(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args,
                          {"--json", "--favourites", "--errors", "--no-update"},
                          {"--db", "--search", "--tempo", "--time-signature", "--format"});
  if (!parsed || parsed->positional.empty()) return Usage(kUsage);
  const std::string action = parsed->positional[0];
  std::vector<std::string> operands(parsed->positional.begin() + 1, parsed->positional.end());
  bool known = action == "add" || action == "list" || action == "songs" || action == "duplicates" ||
               action == "remove" || action == "folders";
  bool operandsFit = action == "add" ? !operands.empty() : action == "remove" ? operands.size() == 1 : operands.empty();
  if (!known || !operandsFit) return Usage(kUsage);

  auto db = OpenDatabase(*parsed);
  if (!db) return kExitFailed;
  if (action == "add") return Add(*db, operands);
  if (action == "list") return List(*db, *parsed);
  if (action == "songs") return Songs(*db, *parsed);
  if (action == "duplicates") return Duplicates(*db, *parsed);
  if (action == "remove") return Remove(*db, operands[0]);
  for (const std::string& f : db->Folders()) std::cout << ShownText(f) << "\n";
  return kExitOk;
}

const CommandRegistration kLibrary(
    {.name = "library",
     .usage = kUsage,
     .summary = "Keeps an index of style folders: add, list and search, find duplicates, remove",
     .arguments = {{"add DIR...", "", "read every style below the folders into the index (again only what changed)"},
                   {"list", "", "the indexed styles, after bringing the index up to date"},
                   {"songs", "", "the song records of the indexed styles (title, tempo, time signature, genre), each with its style"},
                   {"duplicates", "", "the files whose content another file also has"},
                   {"remove DIR", "", "drop a folder from the index (the files stay)"},
                   {"folders", "", "the folders of the index"}},
     .options = {{"--json", "", "list, songs and duplicates: one JSON object per line"},
                 {"--search", "TEXT",
                  "list: styles whose name, file name or folder, or one of whose song titles, holds every word of TEXT "
                  "(--json says which song matched); songs: songs whose title, genre and keywords hold them"},
                 {"--tempo", "MIN-MAX", "list: a tempo range (90-120, 90- at least, -120 at most, 100 exactly)"},
                 {"--time-signature", "N/D", "list: this time signature only, such as 3/4"},
                 {"--format", "sff1|sff2", "list: this style format only"},
                 {"--favourites", "", "list: the favourites only"},
                 {"--errors", "", "list: the files that could not be loaded only"},
                 {"--no-update", "", "list: the index as it stands, without reading changed files"},
                 {"--db", "FILE", "the index file (without it: the one the window uses)"}},
     .examples = {"vambrio-cli library add ~/Styles", "vambrio-cli library list --search waltz --time-signature 3/4",
                  "vambrio-cli library songs --search \"moon\""}},
    RunLibrary);

}  // namespace
}  // namespace vambrio::cli
