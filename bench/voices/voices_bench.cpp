// bench_voices [STYLE] [SOUNDFONT]: the voice map's costs. With no style, a
// built one whose bank-8 bass and guitar play every articulation band; with
// no SoundFont, FluidR3_GM (else the General MIDI catalog as such).
// (a) reading the SoundFont's catalog (once per SoundFont);
// (b) the map made per style: the voices the style plays gathered, the map
//     made from them (goal: at most 1 ms);
// (c) mapping per note: a stream of note-ons and note-offs over every band,
//     noises and drum keys, with a controller now and then (goal: at most 50 ns a note).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "bank_eight_style.h"
#include "loading/entry.h"
#include "loading/scan.h"
#include "model/errors.h"
#include "percentile.h"
#include "voices/voice_mapper.h"

namespace {

using vambrio::bench::Median;

using namespace vambrio;
using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

bool LoadStyle(const char* path, StyleModel& m) {
  m = MakeStartupModel();
  if (!path) {
    m.StyleData = test::BankEightStyle();
    SilentErrorSink errors;
    return ScanStyle(m, false, errors);
  }
  SilentErrorSink errors;
  return Entry(m, path, false, errors).outcome == EntryResult::Outcome::Loaded;
}

}  // namespace

int main(int argc, char** argv) {
  const char* stylePath = argc > 1 ? argv[1] : nullptr;
  const std::string sf = argc > 2 ? argv[2] : "/usr/share/sounds/sf2/FluidR3_GM.sf2";
  StyleModel m;
  if (!LoadStyle(stylePath, m)) {
    std::fprintf(stderr, "%s: the style does not load\n", stylePath ? stylePath : "built style");
    return 1;
  }

  auto start = Clock::now();
  voices::CatalogResult read = voices::ReadSoundFontCatalog(sf);
  const double catalogUs = Micros(Clock::now() - start);
  auto catalog = std::make_shared<voices::SoundFontCatalog>(read.catalog ? std::move(*read.catalog)
                                                                        : voices::GeneralMidiCatalog());
  std::printf("style: %s\nSoundFont: %s (%zu presets)\n", stylePath ? stylePath : "built bank-8 style",
              read.catalog ? sf.c_str() : "General MIDI catalog", catalog->Presets().size());
  if (read.catalog) std::printf("(a) catalog read: %.0f us\n", catalogUs);

  std::vector<double> gather, make;
  for (int i = 0; i < 200; ++i) {
    start = Clock::now();
    const voices::StyleVoiceUse use = voices::GatherVoiceUse(m);
    const auto mid = Clock::now();
    const voices::VoiceMap map(use, catalog, {});
    const auto end = Clock::now();
    gather.push_back(Micros(mid - start));
    make.push_back(Micros(end - mid));
  }
  const double perStyle = Median(gather) + Median(make);
  std::printf("(b) map per style: %.1f us (voices gathered %.1f us, map made %.1f us); goal 1000 us: %s\n", perStyle,
              Median(gather), Median(make), perStyle <= 1000 ? "met" : "MISSED");

  const voices::StyleVoiceUse use = voices::GatherVoiceUse(m);
  const voices::VoiceMap map(use, catalog, {});
  voices::VoiceMapper mapper(map);
  std::vector<std::array<uint8_t, 3>> stream;
  for (uint8_t ch : {0xB0, 0xBA}) stream.push_back({ch, 0, 8});
  stream.push_back({0xC0, 3, 0});
  stream.push_back({0xCA, 17, 0});
  for (int i = 0; i < 4096; ++i) {
    const uint8_t velocity = static_cast<uint8_t>(1 + (i * 37) % 127);
    const uint8_t key = static_cast<uint8_t>(i % 7 == 0 ? 96 + i % 32 : 36 + i % 48);
    const uint8_t status = i % 3 == 0 ? 0x90 : i % 3 == 1 ? 0x9A : 0x99;
    stream.push_back({status, key, velocity});
    stream.push_back({static_cast<uint8_t>(status - 0x10), key, 0});
    if (i % 64 == 0) stream.push_back({0xB0, 11, static_cast<uint8_t>(i % 128)});
  }
  voices::MappedMessage out[voices::VoiceMapper::kMaxOut];
  long notes = 0, written = 0;
  std::vector<double> perNote;
  for (int round = 0; round < 30; ++round) {
    long roundNotes = 0;
    start = Clock::now();
    for (int pass = 0; pass < 20; ++pass) {
      for (const auto& msg : stream) {
        written += mapper.Map(msg.data(), (msg[0] >> 4) == 0xC ? 2 : 3, out);
        roundNotes += (msg[0] >> 4) == 0x9;
      }
    }
    perNote.push_back(Micros(Clock::now() - start) * 1000.0 / static_cast<double>(roundNotes));
    notes += roundNotes;
  }
  const double ns = Median(perNote);
  std::printf("(c) per note (note-on and its note-off, %ld notes, %ld messages out): %.1f ns; goal 50 ns: %s\n", notes,
              written, ns, ns <= 50 ? "met" : "MISSED");
  std::printf("    counted: %u helpers exhausted, %u silent effect keys, %u noises left out\n",
              mapper.Counts().helpersExhausted, mapper.Counts().silentEffectKeys, mapper.Counts().noisesLeftOut);
  return 0;
}
