// Bringing the index up to date with the library's folders: new and changed
// files (by size and modification time) are read, vanished ones dropped. The
// reading is spread over the processor's cores; it can be cancelled.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "library/library_database.h"

namespace vambrio::library {

struct IndexProgress {
  int64_t done = 0;   // files read so far
  int64_t total = 0;  // files to read
  double filesPerSecond = 0;
  std::string current;  // the file last read
};

struct IndexReport {
  int64_t files = 0;      // style files in the folders
  int64_t read = 0;       // read anew (new or changed)
  int64_t failed = 0;     // of those, files that do not load
  int64_t removed = 0;    // dropped from the index (vanished)
  double seconds = 0;
  bool cancelled = false;
  std::vector<std::string> problems;  // folders that could not be read, a failed write
  bool writeFailed = false;           // the index could not be written (one of the problems says why)
};

using ProgressFn = std::function<void(const IndexProgress&)>;

// Updates the index for these folders (all of the library's when empty).
// progress is called from this thread, at most about ten times a second and
// once at the end. cancel, when set, stops the reading soon; what was read
// by then is kept.
IndexReport UpdateIndex(LibraryDatabase& db, std::vector<std::string> folders, const ProgressFn& progress = {},
                        const std::atomic<bool>* cancel = nullptr);

}  // namespace vambrio::library
