#include "editing/style_file_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>

#include "model/errors.h"

namespace vambrio {
namespace {

[[noreturn]] void Refuse() { Raise(err::PathFileAccess); }

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A link is saved through: the file it points to is the one replaced.
std::string ResolveLinks(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return path;  // a dangling link is replaced itself
  return resolved;
}

// The state of the file being replaced, or none.
struct Target {
  bool exists = false;
  struct stat st {};
};

Target Inspect(const std::string& path) {
  Target t;
  if (stat(path.c_str(), &t.st) != 0) {
    if (errno == ENOENT) return t;
    RaiseErrno(errno);
  }
  t.exists = true;
  if (!S_ISREG(t.st.st_mode)) Refuse();
  // A file without any write bit is read-only even for a user whose rights
  // would let the write through.
  if (access(path.c_str(), W_OK) != 0 || (t.st.st_mode & 0222) == 0) Refuse();
  return t;
}

// Removes the temporary file on every way out unless the rename happened.
struct TempFile {
  FileWriter& writer;
  std::string path;
  int fd = -1;
  bool renamed = false;
  ~TempFile() {
    if (fd >= 0) writer.Close(fd);
    if (!path.empty() && !renamed) unlink(path.c_str());
  }
};

void CreateTemp(TempFile& tmp, const std::string& folder) {
  std::random_device rd;
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = folder + "/.vambrio-save-";
    for (int k = 0; k < 8; ++k) name += kChars[rd() % (sizeof kChars - 1)];
    int fd = tmp.writer.Create(name, 0666);
    if (fd >= 0) {
      tmp.fd = fd;
      tmp.path = name;
      return;
    }
    if (errno != EEXIST) RaiseErrno(errno);
  }
  RaiseErrno(EEXIST);
}

void WriteAll(TempFile& tmp, const std::vector<uint8_t>& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = tmp.writer.Write(tmp.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) RaiseErrno(errno);
    if (n == 0) RaiseErrno(ENOSPC);
    done += static_cast<size_t>(n);
  }
}

void KeepAttributes(const TempFile& tmp, const Target& target) {
  if (!target.exists) return;
  if (fchmod(tmp.fd, target.st.st_mode & 07777) != 0) RaiseErrno(errno);
  // Only a privileged user can give the file back to another owner; for
  // everyone else the owner is already the same.
  if (fchown(tmp.fd, target.st.st_uid, target.st.st_gid) == 0) return;
  if (fchown(tmp.fd, static_cast<uid_t>(-1), target.st.st_gid) != 0) {
    // Not a member of the file's group either: the file keeps this user's.
  }
}

void SyncFolder(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

int FileWriter::Create(const std::string& path, mode_t mode) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
}
ssize_t FileWriter::Write(int fd, const uint8_t* data, size_t size) { return write(fd, data, size); }
int FileWriter::Sync(int fd) { return fsync(fd); }
int FileWriter::Close(int fd) { return close(fd); }
int FileWriter::Rename(const std::string& from, const std::string& to) { return rename(from.c_str(), to.c_str()); }

FileWriter& SystemFileWriter() {
  static FileWriter writer;
  return writer;
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteStyleFile(const std::string& path, const std::vector<uint8_t>& bytes, FileWriter& writer) {
  if (path.empty() || path.back() == '/') Refuse();
  const std::string target = ResolveLinks(path);
  const Target existing = Inspect(target);
  const std::string folder = FolderOf(target);
  TempFile tmp{writer, {}};
  CreateTemp(tmp, folder);
  WriteAll(tmp, bytes);
  KeepAttributes(tmp, existing);
  if (writer.Sync(tmp.fd) != 0) RaiseErrno(errno);
  int fd = tmp.fd;
  tmp.fd = -1;
  if (writer.Close(fd) != 0) RaiseErrno(errno);
  if (writer.Rename(tmp.path, target) != 0) RaiseErrno(errno);
  tmp.renamed = true;
  SyncFolder(folder);
}

}  // namespace vambrio
