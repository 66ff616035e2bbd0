// Writing a style file so that a failed save never destroys the old one: the
// bytes go to a temporary file in the target's folder, are flushed to disk
// and renamed over the target. Failures raise a RuntimeError with the
// system's error number.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vambrio {

// The file-system calls of a save, one seam so that tests can make any of
// them fail. Each returns what the POSIX call returns and sets errno.
class FileWriter {
 public:
  virtual ~FileWriter() = default;
  virtual int Create(const std::string& path, mode_t mode);  // open(O_WRONLY|O_CREAT|O_EXCL)
  virtual ssize_t Write(int fd, const uint8_t* data, size_t size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const std::string& from, const std::string& to);
};

// The writer of the real file system.
FileWriter& SystemFileWriter();

// True when path names an existing regular file (after following links): the
// case in which saving asks whether to replace it.
bool RegularFileExists(const std::string& path);

// Writes bytes to path atomically. An existing target keeps its permission
// bits (and, where allowed, its owner); a link is followed and its target
// replaced. Refused with error 75 before anything is written: a target that
// is not a regular file (a folder, a device), and an existing file that is
// read-only (no write permission for this user, or no write bit at all). On
// any failure the temporary file is removed and the old file is untouched.
void WriteStyleFile(const std::string& path, const std::vector<uint8_t>& bytes, FileWriter& writer);

}  // namespace vambrio
