// Styles whose channel messages hold data bytes of 128 or more, as some style
// generators write them: they load, play as valid files and edit like any other.
#include <gtest/gtest.h>

#include "editing/master_volume.h"
#include "editing/tempo_edit.h"
#include "editing/volume_events.h"
#include "loading/entry.h"
#include "loading/scan.h"
#include "malformed_style.h"
#include "playback/assembly.h"
#include "model/error_reporter.h"
#include "smf_check.h"
#include "style_builder.h"

namespace vambrio {
namespace {

using test::Bytes;
using test::StyleBytes;
using test::TrackBuilder;

using OddStyle = test::MalformedStyle;

StyleModel Scanned(const Bytes& bytes, bool* ok = nullptr) {
  StyleModel m = MakeStartupModel();
  m.StyleData = bytes;
  m.FileSize = static_cast<int32_t>(bytes.size());
  m.OutData.assign(bytes.size() + 101, 0);
  SilentErrorSink silent;
  bool scanned = ScanStyle(m, false, silent);
  if (ok) *ok = scanned;
  else EXPECT_TRUE(scanned);
  m.MasterVolume = ComputeMasterVolume(m);
  return m;
}

bool Contains(const std::vector<uint8_t>& hay, const Bytes& needle) {
  return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

TEST(MalformedDataBytes, TheStyleLoadsAndTheScanStaysInStep) {
  OddStyle odd;
  StyleModel m = Scanned(odd.bytes);
  EXPECT_EQ(m.MalformedDataBytes, OddStyle::kMalformedBytes);
  EXPECT_EQ(SectionCount(m), 2);
  EXPECT_EQ(m.SectionName[1], "Fill In AA");
  EXPECT_EQ(m.TempoQpm, 120);
  // The volume of 238 is recorded where it stands and counts as it stands.
  EXPECT_EQ(m.VolumeEventPos[1], odd.oddVolumePos);
  EXPECT_EQ(m.VolumeEventValue[1], 238);
  EXPECT_EQ(m.InitialVolumeEventCount, 2);
  EXPECT_EQ(m.MasterVolume, 169);
  EXPECT_EQ(LoadWarnings(m), std::vector<std::string>{"7 malformed data bytes"});

  TrackBuilder one;
  one.Marker("Main A").Channel(0x90, {60, 0x90}).EndOfTrack();
  StyleModel single = Scanned(StyleBytes(one));
  EXPECT_EQ(LoadWarnings(single), std::vector<std::string>{"1 malformed data byte"});
  EXPECT_TRUE(LoadWarnings(Scanned(StyleBytes(TrackBuilder().Marker("Main A").EndOfTrack()))).empty());
}

TEST(MalformedDataBytes, SystemMessagesAndStrayDataBytesStillReject) {
  for (int status = 0xF1; status <= 0xFE; ++status) {
    if (status == 0xF7) continue;  // a system-exclusive continuation
    TrackBuilder t;
    t.Marker("Main A").Raw({0x00, static_cast<uint8_t>(status), 0x00, 0x00}).EndOfTrack();
    bool ok = true;
    Scanned(StyleBytes(t), &ok);
    EXPECT_EQ(ok, status == 0xFF) << std::hex << status;  // FF 00 00 is an empty sequence number
  }
  TrackBuilder stray;
  stray.Running({60, 0x90}).Marker("Main A").EndOfTrack();
  bool ok = true;
  Scanned(StyleBytes(stray), &ok);
  EXPECT_FALSE(ok);
}

TEST(MalformedDataBytes, EverySectionAssemblesToAStrictFileWith127InTheirPlace) {
  OddStyle odd;
  StyleModel m = Scanned(odd.bytes);
  for (bool gm : {false, true}) {
    PlayChoices choices;
    choices.GmPlayer = gm;
    for (int16_t s = 0; s < SectionCount(m); ++s) {
      m.CurrentSectionName = m.SectionName[s];
      CollectingErrorReporter errors;
      ASSERT_TRUE(AssembleSingleTrack(m, s, choices, errors));
      EXPECT_TRUE(errors.messages.empty());
      std::vector<uint8_t> file(m.OutData.begin(), m.OutData.begin() + m.OutPos + 1);
      EXPECT_EQ(test::SmfStructureError(file), "") << m.CurrentSectionName;
      EXPECT_TRUE(Contains(file, {0xBB, 0x07, 0x7F, 0x00, 0xCA, 0x7F}));  // the setup part
      if (s == 0) {
        EXPECT_TRUE(Contains(file, {0xBB, 0x0B, 0x7F}));
        EXPECT_TRUE(Contains(file, {0x99, 0x7F, 0x7F}));  // the drum note moved to channel 10
        EXPECT_TRUE(Contains(file, {0x83, 0x60, 0x24, 0x7F}));  // running status: note 36, velocity 127
      } else {
        EXPECT_TRUE(Contains(file, {0xEB, 0x00, 0x7F}));
      }
    }
  }
}

// Every byte outside the positions given is the same in both.
void ExpectSameBesides(const Bytes& before, const std::vector<uint8_t>& after, std::vector<int32_t> edited) {
  ASSERT_EQ(before.size(), after.size());
  for (size_t i = 0; i < before.size(); ++i) {
    if (std::find(edited.begin(), edited.end(), static_cast<int32_t>(i)) != edited.end()) continue;
    EXPECT_EQ(before[i], after[i]) << "byte " << i;
  }
}

TEST(MalformedDataBytes, EditsChangeOnlyWhatTheyEdit) {
  OddStyle odd;
  StyleModel m = Scanned(odd.bytes);
  ASSERT_TRUE(ApplyMasterVolume(m, 127));
  EXPECT_EQ(m.StyleData[odd.firstVolumePos], 75);  // 127 / 169 x 100
  EXPECT_EQ(m.StyleData[odd.oddVolumePos], 127);   // 178.9, clipped: always a valid value
  ExpectSameBesides(odd.bytes, m.StyleData, {odd.firstVolumePos, odd.oddVolumePos});
  RestoreVolumes(m);
  EXPECT_EQ(m.StyleData, odd.bytes);

  WriteTempo(m, 100);
  ExpectSameBesides(odd.bytes, m.StyleData, {odd.tempoPos, odd.tempoPos + 1, odd.tempoPos + 2});
  m.StyleData = odd.bytes;

  SilentErrorSink silent;
  ASSERT_EQ(InsertVolumeEvents(m, false, silent).outcome, InsertResult::Outcome::Inserted);
  EXPECT_EQ(m.MalformedDataBytes, 7);
  Bytes expected = odd.bytes;
  auto block = VolumeEventBlock();
  expected.insert(expected.begin() + odd.sintEnd, block.begin(), block.end());
  const uint32_t trackLength = (uint32_t{expected[20]} << 8 | expected[21]) + 64;
  expected[20] = static_cast<uint8_t>(trackLength >> 8);
  expected[21] = static_cast<uint8_t>(trackLength);
  EXPECT_EQ(m.StyleData, expected);
}

}  // namespace
}  // namespace vambrio
