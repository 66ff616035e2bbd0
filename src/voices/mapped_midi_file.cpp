#include "voices/mapped_midi_file.h"

#include <algorithm>

#include "midi/smf_writer.h"
#include "midi/track_walk.h"
#include "voices/mapping_sink.h"

namespace vambrio::voices {
namespace {

// Every event of every track but End of Track, in tick order; the tick the
// tracks reach goes to endTick. Nothing without a valid header.
std::optional<std::vector<midi::TrackEvent>> ReadEvents(const std::vector<uint8_t>& d, uint64_t& endTick) {
  const std::optional<midi::SmfHeader> header = midi::ReadSmfHeader(d.data(), d.size());
  if (!header) return std::nullopt;
  std::vector<midi::TrackEvent> events;
  midi::ForEachTrack(d.data(), d.size(), *header, [&](uint32_t, size_t first, size_t end) {
    const midi::TrackEnd walked =
        midi::WalkTrack(d.data(), first, end, [&](const midi::TrackEvent& e) { events.push_back(e); });
    endTick = std::max(endTick, walked.reachedTick);
  });
  std::stable_sort(events.begin(), events.end(),
                   [](const midi::TrackEvent& a, const midi::TrackEvent& b) { return a.tick < b.tick; });
  return events;
}

}  // namespace

VoiceMapSettings GeneralMidiFileSettings(const std::vector<uint8_t>& smf, NoiseNotes noise) {
  uint64_t endTick = 0;
  uint16_t inUse = 0;
  if (auto events = ReadEvents(smf, endTick))
    for (const midi::TrackEvent& e : *events)
      if ((e.status >> 4) == 0x9) inUse = static_cast<uint16_t>(inUse | 1u << (e.status & 0x0F));
  VoiceMapSettings s;
  s.convention = BankConvention::GeneralMidi;
  s.noise = noise;
  s.helpers = HelperChannels::FreeChannelsOf(inUse);
  return s;
}

std::optional<std::vector<uint8_t>> MapMidiFile(const std::vector<uint8_t>& d, const VoiceMap& map) {
  uint64_t endTick = 0;
  const auto events = ReadEvents(d, endTick);
  if (!events) return std::nullopt;
  midi::SmfWriter writer(static_cast<uint16_t>(midi::ReadBigEndian(&d[12], 2)));
  {
    MappingSink sink(map, writer);
    for (const midi::TrackEvent& e : *events) sink.Send(midi::Event{e.tick, e.status, e.metaType, e.size, d.data() + e.first});
    sink.Finish();
  }
  return writer.Finish(endTick);
}

}  // namespace vambrio::voices
