#include "library/chord_parts.h"

#include <cstring>

namespace vambrio::library {
namespace {

struct Chunk {
  int64_t data = 0;    // index of the first data byte
  int64_t length = 0;  // data bytes
  char id[5] = {};
};

// The chunk whose header starts at pos, when its header and data lie inside
// [pos, end).
bool ReadChunk(const std::vector<uint8_t>& bytes, int64_t pos, int64_t end, Chunk& c) {
  if (pos < 0 || pos + 8 > end) return false;
  std::memcpy(c.id, bytes.data() + pos, 4);
  const uint8_t* l = bytes.data() + pos + 4;
  c.length = (int64_t{l[0]} << 24) | (int64_t{l[1]} << 16) | (int64_t{l[2]} << 8) | l[3];
  c.data = pos + 8;
  return c.data + c.length <= end;
}

bool Is(const Chunk& c, const char* id) { return std::memcmp(c.id, id, 4) == 0; }

// One section group: Sdec, then channel entries, then Cntt chunks, in any order.
void ReadGroup(const std::vector<uint8_t>& bytes, int64_t pos, int64_t end, ChordRuleFacts& facts) {
  Chunk c;
  while (ReadChunk(bytes, pos, end, c)) {
    bool ctab = Is(c, "Ctab");
    bool ctb2 = Is(c, "Ctb2");
    if ((ctab || ctb2) && c.length >= 10) {  // shorter entries lack the destination
      uint8_t destination = bytes[static_cast<size_t>(c.data + 9)];
      if (destination >= 8 && destination <= 15) facts.parts |= static_cast<uint8_t>(1u << (destination - 8));
      facts.sff2 = facts.sff2 || ctb2;
    }
    pos = c.data + c.length;
  }
}

void ReadCasm(const std::vector<uint8_t>& bytes, const Chunk& casm, ChordRuleFacts& facts) {
  facts.found = true;
  int64_t end = casm.data + casm.length;
  int64_t pos = casm.data;
  Chunk group;
  while (ReadChunk(bytes, pos, end, group)) {
    if (Is(group, "CSEG")) ReadGroup(bytes, group.data, group.data + group.length, facts);
    pos = group.data + group.length;
  }
}

}  // namespace

ChordRuleFacts ReadChordRuleFacts(const std::vector<uint8_t>& bytes, int64_t trackEnd) {
  ChordRuleFacts facts;
  const int64_t fileEnd = static_cast<int64_t>(bytes.size());
  // The chunks that follow the track (CASM, OTSc, ...), walked by their lengths.
  Chunk c;
  for (int64_t pos = trackEnd; ReadChunk(bytes, pos, fileEnd, c); pos = c.data + c.length) {
    if (Is(c, "CASM")) {
      ReadCasm(bytes, c, facts);
      return facts;
    }
  }
  // A track length that is a few bytes off: look for the block close by.
  for (int64_t pos = trackEnd - 8; pos <= trackEnd + 16 && pos + 8 <= fileEnd; ++pos) {
    if (pos >= 0 && std::memcmp(bytes.data() + pos, "CASM", 4) == 0 && ReadChunk(bytes, pos, fileEnd, c)) {
      ReadCasm(bytes, c, facts);
      return facts;
    }
  }
  return facts;
}

}  // namespace vambrio::library
