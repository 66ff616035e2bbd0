#include "cli/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace vambrio::cli {
namespace {

using namespace std::chrono_literals;

constexpr auto kRedrawInterval = 100ms;

size_t TerminalWidth(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

}  // namespace

BatchProgress::BatchProgress(size_t total, bool shown, std::ostream& out, size_t width, bool outputSharesTerminal,
                             Clock clock)
    : total_(total),
      shown_(shown),
      out_(&out),
      width_(width),
      outputSharesTerminal_(outputSharesTerminal),
      clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
  start_ = clock_();
}

BatchProgress BatchProgress::OnStandardError(size_t total) {
  const bool terminal = isatty(STDERR_FILENO) == 1;
  return BatchProgress(total, terminal && total > kProgressMinimumFiles, std::cerr,
                       terminal ? TerminalWidth(STDERR_FILENO) : 80, isatty(STDOUT_FILENO) == 1);
}

void BatchProgress::Next(const std::string& file) {
  const auto now = clock_();
  const double seconds = std::chrono::duration<double>(now - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(begun_) / seconds : 0.0;  // the files finished
  Draw(begun_ + 1, file, rate, now);
}

void BatchProgress::Reach(size_t begun, const std::string& file, double filesPerSecond) {
  Draw(begun, file, filesPerSecond, clock_());
}

void BatchProgress::Draw(size_t begun, const std::string& file, double filesPerSecond,
                         std::chrono::steady_clock::time_point now) {
  begun_ = begun;
  if (!shown_) return;
  if (drawn_ && now - lastDraw_ < kRedrawInterval && begun_ != total_) return;
  *out_ << "\r" << Line(begun_, total_, filesPerSecond, file, width_) << "\033[K" << std::flush;
  drawn_ = true;
  lastDraw_ = now;
}

void BatchProgress::BeforeOutput(Stream stream) {
  if (stream == Stream::Error || outputSharesTerminal_) Clear();
}

void BatchProgress::Clear() {
  if (!drawn_) return;
  *out_ << "\r\033[K" << std::flush;
  drawn_ = false;
}

std::string BatchProgress::Line(size_t done, size_t total, double filesPerSecond, const std::string& file,
                                size_t width) {
  const std::string count = std::to_string(total);
  char head[96];
  std::snprintf(head, sizeof head, "[%*zu/%s] %5.0f files/s  ", static_cast<int>(count.size()), done, count.c_str(),
                filesPerSecond);
  std::string line = head;
  // The end of a long path says more than its beginning.
  const size_t room = width > line.size() + 1 ? width - line.size() - 1 : 0;
  if (file.size() <= room) return line + file;
  if (room <= 3) return line;
  size_t from = file.size() - (room - 3);
  while (from < file.size() && (static_cast<unsigned char>(file[from]) & 0xC0) == 0x80) ++from;  // whole characters
  return line + "..." + file.substr(from);
}

}  // namespace vambrio::cli
