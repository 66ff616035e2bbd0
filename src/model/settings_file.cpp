#include "model/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace vambrio {
namespace {

// Closes the descriptor when the procedure leaves, on success and in the error tail alike.
class FileNumber {
 public:
  explicit FileNumber(int fd) : fd_(fd) {}
  ~FileNumber() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileNumber(const FileNumber&) = delete;
  FileNumber& operator=(const FileNumber&) = delete;
  int get() const { return fd_; }
  // Closes now; a failing close (data not written) is an error of the caller.
  void Close() {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) RaiseErrno(errno);
  }

 private:
  int fd_;
};

std::vector<std::string> SplitAtCrLf(const std::string& text) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    size_t at = text.find("\r\n", start);
    if (at == std::string::npos) {
      pieces.push_back(text.substr(start));
      return pieces;
    }
    pieces.push_back(text.substr(start, at - start));
    start = at + 2;
  }
}

void WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      RaiseErrno(errno);
    }
    done += static_cast<size_t>(n);
  }
}

}  // namespace

std::string ReadTextFileContents(const std::string& path, ErrorSink& errors) {
  try {
    FileNumber file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) RaiseErrno(errno);
    std::string contents;
    char buffer[4096];
    for (;;) {
      ssize_t n = ::read(file.get(), buffer, sizeof buffer);
      if (n < 0) {
        if (errno == EINTR) continue;
        RaiseErrno(errno);
      }
      if (n == 0) break;
      contents.append(buffer, static_cast<size_t>(n));
    }
    return contents;
  } catch (const RuntimeError& e) {
    if (e.error().Number != err::FileNotFound) errors.ReportError("ReadTextFileContents", e.error());
    return {};
  }
}

void WriteTextFileContents(const std::string& contents, const std::string& path, bool append, ErrorSink& errors) {
  try {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    FileNumber file(::open(path.c_str(), flags, 0644));
    if (file.get() < 0) RaiseErrno(errno);
    WriteAll(file.get(), contents + "\r\n");
    file.Close();
  } catch (const RuntimeError& e) {
    errors.ReportError("WriteTextFileContents", e.error());
  }
}

void ApplySettingsText(const std::string& text, WindowSettings& settings) {
  std::vector<std::string> lines = SplitAtCrLf(text);
  settings.GmPlayer = lines[0] == "GM";
  if (lines.size() < 2) return;
  if (lines[1] == "True") settings.IncludeSysex = true;
  if (lines[1] == "False") settings.IncludeSysex = false;
}

std::string SettingsText(const WindowSettings& settings) {
  std::string text = settings.GmPlayer ? "GM" : "XG";
  text += "\r\n";
  text += settings.IncludeSysex ? "True" : "False";
  text += "\r\n";
  return text;
}

std::string StyleNameFromCommandLine(const std::string& argumentText) {
  if (argumentText.empty() || argumentText.front() != '"') return argumentText;
  if (argumentText.size() < 2) return {};
  return argumentText.substr(1, argumentText.size() - 2);
}

}  // namespace vambrio
