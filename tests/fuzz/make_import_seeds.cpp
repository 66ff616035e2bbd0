// Writes an importer's fuzz seeds: make_import_seeds ireal|chordpro|musicxml FOLDER.
#include <fstream>

#include "import_seeds.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string folder = argv[2];
  for (const auto& [name, bytes] : vambrio::fuzz::ImportSeeds(argv[1], folder + "/scratch.zip"))
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
  return 0;
}
