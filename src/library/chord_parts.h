// The parts a style's chord rules give channels to: the destinations of the
// entries of its CASM block.
#pragma once

#include <cstdint>
#include <vector>

namespace vambrio::library {

struct ChordRuleFacts {
  uint8_t parts = 0;    // bit k: some entry sends a channel to part k (Rhythm Sub .. Phrase 2)
  bool sff2 = false;    // the entries are of the newer kind ("Ctb2")
  bool found = false;   // a CASM block was found behind the track
};

// Reads the chunks behind the track (from trackEnd, the index just behind the
// track chunk) and, in the CASM block, every channel entry of every section
// group. Every chunk is walked by its length field; a chunk that runs past
// the end of the file ends the reading with what was found so far.
ChordRuleFacts ReadChordRuleFacts(const std::vector<uint8_t>& bytes, int64_t trackEnd);

}  // namespace vambrio::library
