// A tiny SoundFont (SF2) written from a list of presets, for tests: each
// preset gets one instrument whose zones name a sample over the given key
// ranges, so that a drum kit can lack keys. The sample data is a few silent
// frames; a reader must find the presets without reading them.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vambrio::test {

struct TinyPreset {
  int bank = 0;
  int program = 0;
  std::string name;
  std::vector<std::pair<int, int>> keyRanges = {{0, 127}};  // instrument zones with a sample
  std::pair<int, int> presetRange = {0, 127};               // the preset zone's key range
};

namespace sf2_detail {
inline void Le(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void Name(std::vector<uint8_t>& out, const std::string& name) {
  for (size_t i = 0; i < 20; ++i) out.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
}
inline std::vector<uint8_t> Chunk(const char* id, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out(id, id + 4);
  Le(out, static_cast<uint32_t>(body.size()), 4);
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() % 2) out.push_back(0);
  return out;
}
inline std::vector<uint8_t> List(const char* type, const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body(type, type + 4);
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return Chunk("LIST", body);
}
inline void Gen(std::vector<uint8_t>& out, int oper, int lo, int hi) {
  Le(out, static_cast<uint32_t>(oper), 2);
  out.push_back(static_cast<uint8_t>(lo));
  out.push_back(static_cast<uint8_t>(hi));
}
inline void GenWord(std::vector<uint8_t>& out, int oper, int value) {
  Le(out, static_cast<uint32_t>(oper), 2);
  Le(out, static_cast<uint32_t>(value), 2);
}
}  // namespace sf2_detail

inline std::vector<uint8_t> TinySoundFont(const std::vector<TinyPreset>& presets) {
  using namespace sf2_detail;
  constexpr int kKeyRange = 43, kInstrument = 41, kSampleId = 53;
  std::vector<uint8_t> phdr, pbag, pgen, pmod(10, 0), inst, ibag, igen, imod(10, 0), shdr;
  int pbags = 0, pgens = 0, ibags = 0, igens = 0;
  for (size_t i = 0; i < presets.size(); ++i) {
    const TinyPreset& p = presets[i];
    Name(phdr, p.name);
    Le(phdr, static_cast<uint32_t>(p.program), 2);
    Le(phdr, static_cast<uint32_t>(p.bank), 2);
    Le(phdr, static_cast<uint32_t>(pbags), 2);
    Le(phdr, 0, 4), Le(phdr, 0, 4), Le(phdr, 0, 4);
    Le(pbag, static_cast<uint32_t>(pgens), 2), Le(pbag, 0, 2), ++pbags;
    Gen(pgen, kKeyRange, p.presetRange.first, p.presetRange.second), GenWord(pgen, kInstrument, static_cast<int>(i));
    pgens += 2;
    Name(inst, p.name);
    Le(inst, static_cast<uint32_t>(ibags), 2);
    for (const auto& [lo, hi] : p.keyRanges) {
      Le(ibag, static_cast<uint32_t>(igens), 2), Le(ibag, 0, 2), ++ibags;
      Gen(igen, kKeyRange, lo, hi), GenWord(igen, kSampleId, 0);
      igens += 2;
    }
  }
  Name(phdr, "EOP"), Le(phdr, 0, 2), Le(phdr, 0, 2), Le(phdr, static_cast<uint32_t>(pbags), 2);
  Le(phdr, 0, 4), Le(phdr, 0, 4), Le(phdr, 0, 4);
  Le(pbag, static_cast<uint32_t>(pgens), 2), Le(pbag, 0, 2);
  Le(pgen, 0, 4);
  Name(inst, "EOI"), Le(inst, static_cast<uint32_t>(ibags), 2);
  Le(ibag, static_cast<uint32_t>(igens), 2), Le(ibag, 0, 2);
  Le(igen, 0, 4);
  for (const char* name : {"silence", "EOS"}) {
    Name(shdr, name);
    for (uint32_t v : {0u, 8u, 0u, 8u, 22050u}) Le(shdr, v, 4);
    shdr.push_back(60), shdr.push_back(0), Le(shdr, 0, 2), Le(shdr, 1, 2);
  }
  std::vector<uint8_t> ifil, smpl(2 * 8 + 2 * 46, 0);
  Le(ifil, 2, 2), Le(ifil, 1, 2);
  const std::string engine = "EMU8000";
  std::vector<uint8_t> riff = {'s', 'f', 'b', 'k'};
  for (const auto& part :
       {List("INFO", {Chunk("ifil", ifil), Chunk("isng", {engine.begin(), engine.end()}),
                      Chunk("INAM", {'T', 'i', 'n', 'y', 0, 0})}),
        List("sdta", {Chunk("smpl", smpl)}),
        List("pdta", {Chunk("phdr", phdr), Chunk("pbag", pbag), Chunk("pmod", pmod), Chunk("pgen", pgen),
                      Chunk("inst", inst), Chunk("ibag", ibag), Chunk("imod", imod), Chunk("igen", igen),
                      Chunk("shdr", shdr)})})
    riff.insert(riff.end(), part.begin(), part.end());
  return Chunk("RIFF", riff);
}

// Three melodic presets in bank 0, a Standard kit lacking keys 13..26, and
// with bank8 a preset in bank 8 (a GS variation, as FluidR3_GM has them).
inline std::vector<uint8_t> TinyGmSoundFont(bool bank8) {
  std::vector<TinyPreset> p = {
      {0, 0, "Piano"},
      {0, 27, "Clean Guitar"},
      {0, 33, "Finger Bass"},
      {128, 0, "Standard", {{27, 87}}},
  };
  if (bank8) p.push_back({8, 17, "Percussive Organ 2"});
  return TinySoundFont(p);
}

}  // namespace vambrio::test
