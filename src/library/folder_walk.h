// Finding the style files of a folder tree, as the file system names them
// (bytes: a name need not be valid UTF-8).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vambrio::library {

// The file types a style comes in.
inline constexpr const char* kStyleExtensions[] = {"sty", "pcs", "sst", "pst", "prs", "bcs", "fps"};

// True when the name ends in one of the style extensions, in any case.
bool HasStyleExtension(const std::string& name);

struct FoundFile {
  std::string path;
  int64_t size = 0;
  int64_t mtimeNs = 0;  // modification time, nanoseconds since the epoch
};

struct WalkResult {
  bool rootReadable = false;          // false: the folder itself could not be opened
  std::vector<FoundFile> files;
  std::vector<std::string> problems;  // sub-folders that could not be read
};

// Walks root and every folder below it (following links to folders once
// each) and returns the regular files with a style extension.
WalkResult FindStyleFiles(const std::string& root);

// The absolute path of a folder with links, "." and ".." resolved; empty when
// it is not a folder that exists.
std::string CanonicalFolder(const std::string& path);

// True when path lies inside folder (folder itself excluded).
bool IsInside(const std::string& path, const std::string& folder);

// The file name part and the folder part of a path.
std::string BaseName(const std::string& path);
std::string DirName(const std::string& path);

}  // namespace vambrio::library
