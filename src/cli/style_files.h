// The style files a command line names: files as they are given, and every
// style file below a folder that is given, for the batch commands.
#pragma once

#include <string>
#include <vector>

namespace vambrio::cli {

// True for the style files' extensions (.sty .pcs .sst .pst .prs .bcs .fps), in any case.
bool HasStyleExtension(const std::string& path);

struct StyleFileList {
  std::vector<std::string> files;     // in the order of the arguments; each folder's files sorted by path
  std::vector<std::string> problems;  // folders that could not be read, in words for the user
};

// Each argument that names a folder is replaced by the style files below it,
// in every subfolder (links to folders are not followed); any other argument,
// an existing file or not, is kept as it is.
StyleFileList FindStyleFiles(const std::vector<std::string>& arguments);

}  // namespace vambrio::cli
