// How vambrio-cli library prints rows and duplicate groups.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "library/library_indexer.h"
#include "library/library_row.h"

namespace vambrio::cli {

// One style as a JSON object (one line of `library list --json`).
nlohmann::ordered_json RowJson(const library::LibraryRow& row);
// One readable line: name, tempo, time signature, format and path.
std::string RowLine(const library::LibraryRow& row, size_t nameWidth);
// Width of the name column for these rows.
size_t NameWidth(const std::vector<const library::LibraryRow*>& rows);

// A song record as JSON: title, genre, keywords, tempo, time signature.
nlohmann::ordered_json SongJson(const library::LibrarySong& song);
// One readable line: title, tempo, time signature, genre.
std::string SongLine(const library::LibrarySong& song);

// "1,234" (grouped digits).
std::string Grouped(int64_t n);

}  // namespace vambrio::cli
