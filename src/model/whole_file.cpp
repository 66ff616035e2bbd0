#include "model/whole_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vambrio {

bool WriteFileWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".part";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool ok = done == bytes.size() && fsync(fd) == 0;
  const int saved = errno;
  close(fd);
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int why = ok ? errno : saved;
    unlink(temporary.c_str());
    errno = why;
    return false;
  }
  return true;
}

bool WriteFileWhole(const std::string& path, const std::string& bytes) {
  return WriteFileWhole(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

}  // namespace vambrio
