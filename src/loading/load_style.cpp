#include "loading/load_style.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/checked.h"

namespace vambrio {
namespace {

// Closes the descriptor on every way out.
struct Fd {
  int fd = -1;
  ~Fd() {
    if (fd >= 0) close(fd);
  }
};

void ReadWhole(int fd, std::vector<uint8_t>& into) {
  size_t done = 0;
  while (done < into.size()) {
    ssize_t n = read(fd, into.data() + done, into.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) RaiseErrno(errno);
    if (n == 0) Raise(62);  // the file became shorter while it was read
    done += static_cast<size_t>(n);
  }
}

}  // namespace

bool LoadStyleBytes(StyleModel& m, const std::string& path) {
  // Look-up: no such file is "failed"; a path that cannot be looked up at
  // all raises the error to the caller.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || path.empty()) return false;
    RaiseErrno(errno);
  }
  if (!S_ISREG(st.st_mode)) return false;

  try {
    Fd file;
    file.fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0) RaiseErrno(errno);
    struct stat opened {};
    if (fstat(file.fd, &opened) != 0) RaiseErrno(errno);
    int32_t size = ToInt32(opened.st_size);
    ToInt32(int64_t{size} + 101);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    ReadWhole(file.fd, bytes);
    m.FileSize = size;
    m.StyleData = std::move(bytes);
    m.OutData.assign(static_cast<size_t>(size) + 101, 0);
    return true;
  } catch (const RuntimeError&) {
    return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace vambrio
