// Writes the fuzzer's seed styles into the folder given as the only argument.
#include "seed_styles.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  for (const auto& [name, bytes] : vambrio::fuzz::SeedStyles()) vambrio::test::WriteFile(std::string(argv[1]) + "/" + name, bytes);
  return 0;
}
