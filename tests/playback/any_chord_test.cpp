// "Any chord": every section of the project's own styles over all 12 x 34
// chords assembles into the classic file but for its notes, and over the
// recorded chord into the recording itself.
#include "cli_run.h"
#include "playback/any_chord_assembly.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "any_chord_fuzz.h"
#include "chord/note_mapping.h"
#include "loading/scan.h"
#include "playback/assembly.h"
#include "rule_entry.h"
#include "smf_check.h"
#include "typical_styles.h"

namespace vambrio {
namespace {

using test::ReadAll;

using test::Bytes;

const char kMains[] = "Main A,Main B,Main C,Main D,Intro A,Ending A,Ending B";
const char kFills[] = "Fill In AA,Fill In BB,Fill In CC,Fill In DD,Fill In BA";

struct NamedStyle {
  const char* name;
  Bytes bytes;
};

std::vector<NamedStyle> Styles() {
  return {{"demo", ReadAll(std::filesystem::path(VAMBRIO_SOURCE_DIR) / "examples/Demo.sty")},
          {"typical", test::TypicalStyle(7, 2500)},
          {"older rules", test::WithBlock(test::TypicalStyle(8, 2500), test::RealisticRules(false, kMains, kFills))},
          {"newer rules", test::WithBlock(test::TypicalStyle(9, 2500), test::RealisticRules(true, kMains, kFills))}};
}

StyleModel Load(const Bytes& bytes) {
  StyleModel m = MakeStartupModel();
  m.StyleData = bytes;
  m.FileSize = static_cast<int32_t>(bytes.size());
  m.OutData.assign(bytes.size() + 101, 0);
  SilentErrorSink errors;
  EXPECT_TRUE(ScanStyle(m, false, errors));
  return m;
}

test::SmfFile Assembled(StyleModel& m, int16_t s, const PlayChoices& c, const NoteHook* hook) {
  SilentErrorSink errors;
  m.CurrentSectionName = m.SectionName[s];
  EXPECT_TRUE(AssembleSingleTrack(m, s, c, errors, hook));
  return test::ReadSmf(m.OutData.data(), static_cast<size_t>(m.OutPos) + 1);
}

// Notes as the style holds them; remembers each note's channel in the style.
struct AsWritten final : NoteHook {
  void MapNote(int channel, int&, int&) const override { channels.push_back(channel); }
  mutable std::vector<int> channels;
};

// What differs from the classic file may only be note numbers and velocities.
std::string StructureDifference(const test::SmfFile& classic, const test::SmfFile& any) {
  if (!any.ok()) return any.error;
  if (classic.events.size() != any.events.size()) return "event count";
  for (size_t i = 0; i < any.events.size(); ++i) {
    const test::SmfEvent& a = classic.events[i];
    const test::SmfEvent& b = any.events[i];
    if (a.offset != b.offset || a.delta != b.delta || a.status != b.status || a.running != b.running)
      return "event " + std::to_string(i);
    if (!a.IsNote() && a.data != b.data) return "data of event " + std::to_string(i);
  }
  return "";
}

TEST(AnyChord, EveryChordGivesTheClassicFileButForItsNotes) {
  PlayChoices choices;
  choices.XgSystemOn = true;
  choices.Parts[4] = 0;  // Chord 2 off
  for (const NamedStyle& style : Styles()) {
    StyleModel m = Load(style.bytes);
    const ChordRules rules = ReadChordRules(m);
    int files = 0;
    for (int16_t s = 0; s < SectionCount(m); ++s) {
      const test::SmfFile classic = Assembled(m, s, choices, nullptr);
      const SectionRules section = rules.ForSection(m.SectionName[s]);
      for (int root = 0; root < 12; ++root) {
        for (int type = 0; type < kChordTypeCount; ++type) {
          const Chord chord{root, type, (root + type) % 5 == 0 ? (root + 4) % 12 : -1};
          const AnyChordNotes notes(section, chord, choices);
          const test::SmfFile any = Assembled(m, s, choices, &notes);
          ASSERT_EQ(StructureDifference(classic, any), "") << style.name << " " << m.SectionName[s] << " " << ChordName(chord);
          ++files;
        }
      }
    }
    EXPECT_EQ(files, 408 * SectionCount(m)) << style.name;
  }
}

TEST(AnyChord, OverTheRecordedChordEveryNoteIsTheRecording) {
  PlayChoices choices;
  choices.GmPlayer = true;
  for (const NamedStyle& style : Styles()) {
    StyleModel m = Load(style.bytes);
    const ChordRules rules = ReadChordRules(m);
    for (int16_t s = 0; s < SectionCount(m); ++s) {
      const SectionRules section = rules.ForSection(m.SectionName[s]);
      AsWritten asWritten;
      const test::SmfFile recording = Assembled(m, s, choices, &asWritten);
      const Chord recorded{section[10].sourceRoot, section[10].sourceType, -1};
      const AnyChordNotes notes(section, recorded, choices);
      const test::SmfFile any = Assembled(m, s, choices, &notes);
      ASSERT_EQ(StructureDifference(recording, any), "") << style.name;
      size_t note = 0;
      for (size_t i = 0; i < any.events.size(); ++i) {
        if (!any.events[i].IsNote()) continue;
        const ChannelRule& rule = section[static_cast<size_t>(asWritten.channels.at(note++))];
        const std::vector<uint8_t>& want = recording.events[i].data;
        EXPECT_EQ(any.events[i].data[0], want[0]) << style.name << " " << m.SectionName[s] << " event " << i;
        EXPECT_EQ(any.events[i].data[1], ChannelSounds(rule, recorded) ? want[1] : 0) << style.name << " event " << i;
      }
      EXPECT_GT(note, 0u);
    }
  }
}

TEST(AnyChord, PartBoxesAndMutesSilenceNotes) {
  const Bytes style = test::WithBlock(test::TypicalStyle(11, 2500), test::RealisticRules(false, kMains, kFills));
  StyleModel m = Load(style);
  const SectionRules rules = ReadChordRules(m).ForSection("Main A");
  PlayChoices choices;
  choices.Parts[2] = 0;  // Bass off
  const AnyChordNotes notes(rules, *ParseChord("G1+8"), choices);
  for (int ch = 8; ch < 16; ++ch) {
    int note = 60, velocity = 100;
    notes.MapNote(ch, note, velocity);
    const bool silent = ch == kBassPart || ch == kPhrase1Part;  // the box, and the phrase's rest on 1+8
    EXPECT_EQ(velocity, silent ? 0 : 100) << ch;
  }
}

TEST(AnyChord, DamagedStylesThatStillLoad) {
  std::mt19937 rng(20250101);
  int loaded = 0;
  for (const NamedStyle& style : Styles()) {
    const Bytes& bytes = style.bytes;
    for (size_t n = bytes.size(); n > 22 && bytes.size() - n < 600; --n) {
      const Chord chord{static_cast<int>(n % 12), static_cast<int>(n % kChordTypeCount), n % 3 == 0 ? 4 : -1};
      EXPECT_EQ(test::AssembleEverySectionOverChord(bytes.data(), n, n % 2 == 0, static_cast<uint32_t>(n), chord), "");
    }
    for (int round = 0; round < 200; ++round) {
      Bytes damaged = bytes;
      for (int k = 0; k < 1 + round % 6; ++k) damaged[22 + rng() % (damaged.size() - 22)] = static_cast<uint8_t>(rng());
      const Chord chord{static_cast<int>(rng() % 12), static_cast<int>(rng() % kChordTypeCount), -1};
      EXPECT_EQ(test::AssembleEverySectionOverChord(damaged.data(), damaged.size(), false, rng(), chord), "")
          << style.name << " round " << round;
      loaded += !ReadChordRules(damaged).groups.empty();
    }
  }
  EXPECT_GT(loaded, 400);  // most damage leaves rules to read
}

}  // namespace
}  // namespace vambrio
