#include "voices/soundfont_catalog.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "midi/gm_programs.h"
#include "voices/voice_table.h"

namespace vambrio::voices {
namespace {

constexpr int kBanks = kDrumBank + 1;
constexpr uint64_t kMaxPresetData = 64u << 20;  // no SoundFont's preset data comes near this

// Where the bytes come from: a file read piece by piece, or memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // n bytes at offset, all of them, or false.
  virtual bool Read(uint64_t offset, size_t n, std::vector<uint8_t>& out) = 0;
};

class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  bool Read(uint64_t offset, size_t n, std::vector<uint8_t>& out) override {
    if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
    out.assign(bytes_.begin() + static_cast<ptrdiff_t>(offset), bytes_.begin() + static_cast<ptrdiff_t>(offset + n));
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
};

class FileSource final : public ByteSource {
 public:
  explicit FileSource(const std::string& path) : in_(path, std::ios::binary) {
    if (in_) {
      in_.seekg(0, std::ios::end);
      const auto end = in_.tellg();
      size_ = end < 0 ? 0 : static_cast<uint64_t>(end);
    }
  }
  bool Open() const { return static_cast<bool>(in_); }
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, size_t n, std::vector<uint8_t>& out) override {
    if (offset > size_ || n > size_ - offset) return false;
    out.resize(n);
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(n));
    return static_cast<size_t>(in_.gcount()) == n;
  }

 private:
  std::ifstream in_;
  uint64_t size_ = 0;
};

uint32_t U32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
bool Is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The sub-chunks of the preset data, each a table of fixed-size records.
struct Table {
  const uint8_t* data = nullptr;
  size_t count = 0;  // whole records
  size_t recordSize = 0;
  const uint8_t* At(size_t i) const { return data + i * recordSize; }
};

struct PresetData {
  Table phdr, pbag, pgen, inst, ibag, igen;
};

constexpr uint16_t kGenInstrument = 41;
constexpr uint16_t kGenKeyRange = 43;
constexpr uint16_t kGenSampleId = 53;

struct KeyRange {
  int low = 0, high = 127;
};

// The zones of one preset or instrument: records bagFirst..bagEnd of `bags`,
// generators between consecutive bags' first generator. Calls zone(range,
// link, hasLink) per zone; a first zone without a link is the global zone
// whose key range is the others' default.
template <class Zone>
void ForEachZone(const Table& bags, const Table& gens, size_t bagFirst, size_t bagEnd, uint16_t linkGen, Zone zone) {
  bagEnd = std::min(bagEnd, bags.count > 0 ? bags.count - 1 : 0);
  KeyRange global;
  for (size_t b = bagFirst; b < bagEnd; ++b) {
    const size_t genFirst = U16(bags.At(b));
    const size_t genEnd = std::min<size_t>(U16(bags.At(b + 1)), gens.count);
    KeyRange range = global;
    int link = -1;
    for (size_t g = genFirst; g < genEnd; ++g) {
      const uint8_t* rec = gens.At(g);
      const uint16_t oper = U16(rec);
      if (oper == kGenKeyRange) range = {std::min<int>(rec[2], 127), std::min<int>(rec[3], 127)};
      if (oper == linkGen) link = U16(rec + 2);
    }
    if (link < 0 && b == bagFirst) {
      global = range;
      continue;
    }
    if (link >= 0) zone(range, link);
  }
}

std::bitset<128> RangeBits(KeyRange r) {
  std::bitset<128> bits;
  for (int k = r.low; k <= r.high; ++k) bits.set(static_cast<size_t>(k));
  return bits;
}

std::vector<std::bitset<128>> InstrumentKeys(const PresetData& d) {
  std::vector<std::bitset<128>> keys(d.inst.count);
  for (size_t i = 0; i + 1 < d.inst.count; ++i) {
    ForEachZone(d.ibag, d.igen, U16(d.inst.At(i) + 20), U16(d.inst.At(i + 1) + 20), kGenSampleId,
                [&](KeyRange r, int) { keys[i] |= RangeBits(r); });
  }
  return keys;
}

std::string PresetName(const uint8_t* rec) {
  size_t n = 0;
  while (n < 20 && rec[n] != 0) ++n;
  std::string name(reinterpret_cast<const char*>(rec), n);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return name;
}

std::vector<SoundFontPreset> ReadPresets(const PresetData& d) {
  const std::vector<std::bitset<128>> instrumentKeys = InstrumentKeys(d);
  std::vector<SoundFontPreset> presets;
  for (size_t i = 0; i + 1 < d.phdr.count; ++i) {
    const uint8_t* rec = d.phdr.At(i);
    SoundFontPreset p;
    p.name = PresetName(rec);
    const uint16_t program = U16(rec + 20), bank = U16(rec + 22);
    if (program > 127 || bank > kDrumBank) continue;
    p.program = static_cast<uint8_t>(program);
    p.bank = bank;
    ForEachZone(d.pbag, d.pgen, U16(rec + 24), U16(d.phdr.At(i + 1) + 24), kGenInstrument,
                [&](KeyRange r, int inst) {
                  if (static_cast<size_t>(inst) < instrumentKeys.size())
                    p.keys |= RangeBits(r) & instrumentKeys[static_cast<size_t>(inst)];
                });
    presets.push_back(std::move(p));
  }
  return presets;
}

// Finds the sub-chunks of the "pdta" list's bytes.
std::optional<PresetData> SplitPresetData(const std::vector<uint8_t>& pdta, std::string& error) {
  PresetData d;
  struct Want {
    const char* id;
    Table* table;
    size_t recordSize;
  };
  const Want wants[] = {{"phdr", &d.phdr, 38}, {"pbag", &d.pbag, 4}, {"pgen", &d.pgen, 4},
                        {"inst", &d.inst, 22}, {"ibag", &d.ibag, 4}, {"igen", &d.igen, 4}};
  size_t at = 4;  // after "pdta"
  while (at + 8 <= pdta.size()) {
    const uint32_t size = U32(&pdta[at + 4]);
    const size_t first = at + 8;
    const size_t avail = std::min<size_t>(size, pdta.size() - first);
    for (const Want& w : wants)
      if (Is(&pdta[at], w.id)) *w.table = Table{&pdta[first], avail / w.recordSize, w.recordSize};
    at = first + avail + (avail & 1);
  }
  for (const Want& w : wants) {
    if (w.table->count < 2) {
      error = std::string("its preset data has no \"") + w.id + "\" table";
      return std::nullopt;
    }
  }
  return d;
}

CatalogResult ReadFrom(ByteSource& source) {
  CatalogResult result;
  std::vector<uint8_t> head;
  if (!source.Read(0, 12, head) || !Is(&head[0], "RIFF") || !Is(&head[8], "sfbk")) {
    result.error = "not a SoundFont (no RIFF \"sfbk\" header)";
    return result;
  }
  const uint64_t end = std::min<uint64_t>(source.Size(), 8 + uint64_t{U32(&head[4])});
  uint64_t at = 12;
  std::vector<uint8_t> chunk;
  while (at + 12 <= end) {
    if (!source.Read(at, 12, chunk)) break;
    const uint64_t size = U32(&chunk[4]);
    if (Is(&chunk[0], "LIST") && Is(&chunk[8], "pdta")) {
      const uint64_t take = std::min(size, end - (at + 8));
      if (take > kMaxPresetData || !source.Read(at + 8, static_cast<size_t>(take), chunk)) break;
      auto data = SplitPresetData(chunk, result.error);
      if (data) result.catalog = SoundFontCatalog(ReadPresets(*data));
      return result;
    }
    at += 8 + size + (size & 1);  // "sdta" and the rest are stepped over
  }
  result.error = "its preset data (\"pdta\") is missing or cut short";
  return result;
}

}  // namespace

SoundFontCatalog::SoundFontCatalog(std::vector<SoundFontPreset> presets) : index_(kBanks * 128, 0) {
  std::stable_sort(presets.begin(), presets.end(), [](const SoundFontPreset& a, const SoundFontPreset& b) {
    return a.bank != b.bank ? a.bank < b.bank : a.program < b.program;
  });
  for (auto& p : presets) {
    if (p.bank >= kBanks || p.program > 127) continue;
    uint16_t& slot = index_[p.bank * 128u + p.program];
    if (slot != 0) continue;
    presets_.push_back(std::move(p));
    slot = static_cast<uint16_t>(presets_.size());
  }
}

const SoundFontPreset* SoundFontCatalog::Find(int bank, int program) const {
  if (index_.empty() || bank < 0 || bank >= kBanks || program < 0 || program > 127) return nullptr;
  const uint16_t slot = index_[static_cast<size_t>(bank) * 128 + static_cast<size_t>(program)];
  return slot == 0 ? nullptr : &presets_[slot - 1u];
}

bool SoundFontCatalog::HasBank(int bank) const {
  return std::any_of(presets_.begin(), presets_.end(), [&](const SoundFontPreset& p) { return p.bank == bank; });
}

SoundFontCatalog GeneralMidiCatalog() {
  std::vector<SoundFontPreset> presets;
  std::bitset<128> all;
  all.set();
  for (int p = 0; p < midi::kGmProgramCount; ++p)
    presets.push_back({0, static_cast<uint8_t>(p), midi::GmProgramName(p), all});
  std::bitset<128> kitKeys;
  for (int k = 27; k <= 87; ++k) kitKeys.set(static_cast<size_t>(k));
  for (int kit : {0, 8, 16, 24, 25, 32, 40, 48})
    presets.push_back({kDrumBank, static_cast<uint8_t>(kit), KitName(kit), kitKeys});
  return SoundFontCatalog(std::move(presets));
}

CatalogResult ReadSoundFontCatalog(const std::string& path) {
  FileSource source(path);
  if (!source.Open()) return {std::nullopt, "cannot be read"};
  return ReadFrom(source);
}

CatalogResult ReadSoundFontCatalog(std::span<const uint8_t> bytes) {
  MemorySource source(bytes);
  return ReadFrom(source);
}

}  // namespace vambrio::voices
