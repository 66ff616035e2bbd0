#include "cli/style_files.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "model/ascii_case.h"

namespace vambrio::cli {
namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 7> kStyleExtensions = {".sty", ".pcs", ".sst", ".pst", ".prs", ".bcs", ".fps"};

// Adds the style files below `folder` to `found`; a folder that cannot be
// read is named in `problems` and the walk goes on.
void Walk(const fs::path& folder, std::vector<std::string>& found, std::vector<std::string>& problems) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  std::vector<fs::path> subfolders;
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& entry = *it;
    std::error_code typeError;
    if (entry.is_symlink(typeError) && entry.is_directory(typeError)) continue;  // as find does
    if (entry.is_directory(typeError)) {
      subfolders.push_back(entry.path());
    } else if (HasStyleExtension(entry.path().filename().string()) && entry.is_regular_file(typeError)) {
      found.push_back(entry.path().string());
    }
  }
  if (ec) problems.push_back(folder.string() + ": the folder could not be read (" + ec.message() + ")");
  for (const auto& sub : subfolders) Walk(sub, found, problems);
}

}  // namespace

bool HasStyleExtension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return false;
  const std::string ext = AsciiLower(path.substr(dot));
  return std::find(kStyleExtensions.begin(), kStyleExtensions.end(), ext) != kStyleExtensions.end();
}

StyleFileList FindStyleFiles(const std::vector<std::string>& arguments) {
  StyleFileList list;
  for (const auto& arg : arguments) {
    std::error_code ec;
    if (!fs::is_directory(arg, ec)) {
      list.files.push_back(arg);
      continue;
    }
    std::vector<std::string> found;
    Walk(arg, found, list.problems);
    std::sort(found.begin(), found.end());
    list.files.insert(list.files.end(), found.begin(), found.end());
  }
  return list;
}

}  // namespace vambrio::cli
