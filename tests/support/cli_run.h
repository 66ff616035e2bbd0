// vambrio-cli run from a test, and the bytes of a file a test has written.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "run_process.h"

namespace vambrio::test {

#ifdef VAMBRIO_CLI
inline ProcessResult Cli(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), VAMBRIO_CLI);
  return RunProcess(args, input);
}
#endif

inline std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

}  // namespace vambrio::test
