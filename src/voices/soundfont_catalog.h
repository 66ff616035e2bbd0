// What a SoundFont offers, without its samples: its presets by bank and
// program, their names, and for each preset the keys that have a sample (a
// drum kit's keys, above all). Read from an SF2 or SF3 file's preset data
// ("pdta": phdr, pbag, pgen, inst, ibag, igen); the sample data ("sdta") is
// stepped over, never read. Any bytes at all are read without fault: a
// damaged file gives an error in words, or the presets read in full.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vambrio::voices {

inline constexpr int kDrumBank = 128;  // the bank of a SoundFont's drum kits

struct SoundFontPreset {
  uint16_t bank = 0;     // 0..127 melodic banks, 128 drum kits
  uint8_t program = 0;   // 0..127
  std::string name;
  std::bitset<128> keys;  // keys with a sample
};

class SoundFontCatalog {
 public:
  SoundFontCatalog() = default;
  // From a plain list (tests, and the stand-in when no SoundFont is known).
  // A later preset with the same bank and program as an earlier one is left out.
  explicit SoundFontCatalog(std::vector<SoundFontPreset> presets);

  // The preset at bank/program, or null. bank 128: drum kits.
  const SoundFontPreset* Find(int bank, int program) const;
  bool Has(int bank, int program) const { return Find(bank, program) != nullptr; }
  // Whether any preset lies in this bank.
  bool HasBank(int bank) const;
  // Sorted by bank, then program.
  const std::vector<SoundFontPreset>& Presets() const { return presets_; }
  bool Empty() const { return presets_.empty(); }

 private:
  std::vector<SoundFontPreset> presets_;
  // Index into presets_ + 1 for bank * 128 + program (banks 0..128); 0: none.
  std::vector<uint16_t> index_;
};

// The catalog of a General MIDI SoundFont as such: bank 0 with every
// program ("Acoustic Grand Piano" ...), bank 128 with the kits every GM/GS
// SoundFont has, each with samples on keys 27..87. For when no SoundFont
// file is known.
SoundFontCatalog GeneralMidiCatalog();

struct CatalogResult {
  std::optional<SoundFontCatalog> catalog;
  std::string error;  // in words, when catalog is empty
};

// Reads the file: "RIFF" "sfbk" with LIST "INFO", "sdta", "pdta". SF3
// (compressed samples) reads alike.
CatalogResult ReadSoundFontCatalog(const std::string& path);
// The same over bytes already in memory (a whole file, or its start).
CatalogResult ReadSoundFontCatalog(std::span<const uint8_t> bytes);

}  // namespace vambrio::voices
