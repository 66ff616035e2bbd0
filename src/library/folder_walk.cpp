#include "library/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

namespace vambrio::library {
namespace {

class Walker {
 public:
  explicit Walker(WalkResult& out) : out_(out) {}

  // Reads one folder; false when it could not be opened.
  bool Folder(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (!visited_.insert({st.st_dev, st.st_ino}).second) return true;  // a link back into the tree
    DIR* dir = opendir(path.c_str());
    if (!dir) return false;
    std::vector<std::string> folders;
    while (dirent* e = readdir(dir)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      std::string child = path == "/" ? "/" + std::string(e->d_name) : path + "/" + e->d_name;
      if (e->d_type == DT_DIR) {
        folders.push_back(std::move(child));
      } else if (e->d_type == DT_REG || e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) {
        Entry(child, e->d_name, e->d_type == DT_UNKNOWN || e->d_type == DT_LNK, folders);
      }
    }
    closedir(dir);
    for (const std::string& f : folders)
      if (!Folder(f)) out_.problems.push_back(f);
    return true;
  }

 private:
  void Entry(const std::string& path, const char* name, bool mayBeFolder, std::vector<std::string>& folders) {
    bool styleName = HasStyleExtension(name);
    if (!styleName && !mayBeFolder) return;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return;  // a dangling link
    if (S_ISDIR(st.st_mode)) {
      folders.push_back(path);
    } else if (styleName && S_ISREG(st.st_mode)) {
      out_.files.push_back({path, st.st_size, int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec});
    }
  }

  WalkResult& out_;
  std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

bool HasStyleExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.size() - dot != 4) return false;
  char ext[4] = {};
  for (int i = 0; i < 3; ++i) {
    char c = name[dot + 1 + static_cast<size_t>(i)];
    ext[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  for (const char* known : kStyleExtensions)
    if (std::strcmp(ext, known) == 0) return true;
  return false;
}

WalkResult FindStyleFiles(const std::string& root) {
  WalkResult out;
  Walker walker(out);
  out.rootReadable = walker.Folder(root);
  return out;
}

std::string CanonicalFolder(const std::string& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return "";
  std::string out(resolved);
  std::free(resolved);
  struct stat st {};
  if (stat(out.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "";
  return out;
}

bool IsInside(const std::string& path, const std::string& folder) {
  if (folder == "/") return path.size() > 1 && path[0] == '/';
  return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '/';
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace vambrio::library
