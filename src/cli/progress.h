// The progress line of a long batch: on standard error, only when it is a
// terminal and the batch has more than 200 files, redrawn in place at most
// ten times a second: the count, the files per second and the file in hand.
// Standard output is never touched, so JSON piped from it stays clean.
//
//   BatchProgress progress = BatchProgress::OnStandardError(files.size());
//   for (const auto& f : files) {
//     progress.Next(f);
//     progress.BeforeOutput(Stream::Error);  // before printing about f
//     ...
//   }
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

namespace vambrio::cli {

inline constexpr size_t kProgressMinimumFiles = 200;  // a batch of more files shows progress

class BatchProgress {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  enum class Stream { Output, Error };

  // A line on `out` when `shown`; `width` is the terminal's width in columns;
  // outputSharesTerminal: standard output goes to the same terminal.
  BatchProgress(size_t total, bool shown, std::ostream& out, size_t width = 80, bool outputSharesTerminal = false,
                Clock clock = {});
  // On standard error when it is a terminal and total is above kProgressMinimumFiles.
  static BatchProgress OnStandardError(size_t total);
  ~BatchProgress() { Finish(); }
  BatchProgress(const BatchProgress&) = delete;
  BatchProgress& operator=(const BatchProgress&) = delete;

  // Begins the next file: its number is the count of files begun.
  void Next(const std::string& file);
  // For a batch that reports now and then, with a rate of its own: `begun`
  // files are begun, the last of them `file`.
  void Reach(size_t begun, const std::string& file, double filesPerSecond);
  // Takes the line away before a line is printed on `stream`, when that
  // would land on the terminal; the next file draws it again.
  void BeforeOutput(Stream stream);
  // Takes the line away for good.
  void Finish() { Clear(); }

  // "[ 1234/5000]  812 files/s  path/to/file.sty", cut to `width` columns.
  static std::string Line(size_t done, size_t total, double filesPerSecond, const std::string& file, size_t width);

 private:
  void Draw(size_t begun, const std::string& file, double filesPerSecond, std::chrono::steady_clock::time_point now);
  void Clear();

  size_t total_;
  bool shown_;
  std::ostream* out_;
  size_t width_;
  bool outputSharesTerminal_;
  Clock clock_;
  size_t begun_ = 0;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_{}, lastDraw_{};
};

}  // namespace vambrio::cli
