// Searching and filtering the library's rows, and finding duplicates. The
// window and vambrio-cli filter with the same rules.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "library/library_row.h"

namespace vambrio::library {

struct LibraryFilter {
  QString text;          // words, each to be found in the name, the file name or the folder, or all in
                         // one song title of the style, in any case
  int tempoMin = 0;      // 0: no lower bound
  int tempoMax = 0;      // 0: no upper bound
  QString timeSignature; // "4/4"; empty: any
  QString format;        // "SFF1" or "SFF2" in any case; empty: any
  bool favouritesOnly = false;
  bool errorsOnly = false;  // only the files that do not load
};

// What the search text is looked for in: the name, file name and folder,
// case-folded. Computed once per row.
QString SearchKey(const LibraryRow& row);

class RowMatcher {
 public:
  explicit RowMatcher(const LibraryFilter& filter);
  bool Matches(const LibraryRow& row, const QString& searchKey) const;
  bool Matches(const LibraryRow& row) const { return Matches(row, SearchKey(row)); }
  // The first of the row's songs whose title holds every word of the
  // search; -1 when none does or there are no words.
  int MatchingSong(const LibraryRow& row) const;

 private:
  LibraryFilter filter_;
  QStringList words_;  // case-folded
  bool tempoBound_ = false;
};

// "90-120", "90-" (at least), "-120" (at most), "100" (exactly).
std::optional<std::pair<int, int>> ParseTempoRange(const std::string& text);
// "4/4", "6/8", "12/8": numerator 1..99 over a power of two.
bool IsTimeSignature(const std::string& text);

// Groups of rows with the same content (hash), each of two or more rows.
// Groups are ordered by their first row's path, rows inside by path.
std::vector<std::vector<size_t>> DuplicateGroups(const std::vector<LibraryRow>& rows);

}  // namespace vambrio::library
