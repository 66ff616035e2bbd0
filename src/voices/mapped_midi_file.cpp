#include "voices/mapped_midi_file.h"

#include <algorithm>

#include "midi/midi_bytes.h"
#include "midi/smf_writer.h"
#include "voices/mapping_sink.h"

namespace vambrio::voices {
namespace {

struct FileEvent {
  uint64_t tick = 0;
  uint8_t status = 0;
  uint8_t metaType = 0;
  uint32_t first = 0;  // data bytes in the file
  uint32_t size = 0;
};

uint32_t BigEndian(const uint8_t* p, int n) {
  uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v << 8 | p[i];
  return v;
}

// The events of one track (bytes first..end), End of Track left out; its
// tick goes to endTick.
void ReadTrack(const std::vector<uint8_t>& d, size_t i, size_t end, std::vector<FileEvent>& events, uint64_t& endTick) {
  using namespace midi;
  uint64_t tick = 0;
  uint8_t running = 0;
  while (i < end) {
    const VarLen delta = ReadVarLen(d.data(), end, i);
    if (delta.fault != ReadFault::None || delta.last + 1 >= end) break;
    tick += delta.value;
    i = delta.last + 1;
    FileEvent e;
    e.tick = tick;
    e.status = d[i];
    if (e.status >= 0x80) {
      ++i;
    } else if (IsChannelStatus(running)) {
      e.status = running;
    } else {
      break;
    }
    if (e.status == 0xFF || e.status == 0xF0 || e.status == 0xF7) {
      running = 0;
      if (e.status == 0xFF) {
        if (i >= end) break;
        e.metaType = d[i++];
      }
      const EventLength len = ReadEventLength(d.data(), end, i);
      if (len.fault != ReadFault::None || len.length > end - len.first) break;
      e.first = static_cast<uint32_t>(len.first);
      e.size = len.length;
      i = len.first + len.length;
      if (e.status == 0xFF && e.metaType == meta::kEndOfTrack) break;
    } else if (IsChannelStatus(e.status)) {
      running = e.status;
      const size_t n = static_cast<size_t>(ChannelDataLength(e.status));
      if (i + n > end) break;
      e.first = static_cast<uint32_t>(i);
      e.size = static_cast<uint32_t>(n);
      i += n;
    } else {
      break;
    }
    events.push_back(e);
  }
  endTick = std::max(endTick, tick);
}

// Every event of every track, in tick order; empty without a valid header.
std::optional<std::vector<FileEvent>> ReadEvents(const std::vector<uint8_t>& d, uint64_t& endTick) {
  if (d.size() < 14 || d[0] != 'M' || d[1] != 'T' || d[2] != 'h' || d[3] != 'd' || BigEndian(&d[4], 4) < 6)
    return std::nullopt;
  const uint32_t tracks = BigEndian(&d[10], 2);
  std::vector<FileEvent> events;
  size_t at = 8 + static_cast<size_t>(BigEndian(&d[4], 4));
  for (uint32_t t = 0; t < tracks && at + 8 <= d.size(); ++t) {
    const size_t length = BigEndian(&d[at + 4], 4);
    const size_t first = at + 8, end = first + std::min(length, d.size() - first);
    if (d[at] == 'M' && d[at + 1] == 'T' && d[at + 2] == 'r' && d[at + 3] == 'k') {
      ReadTrack(d, first, end, events, endTick);
    } else {
      --t;  // another kind of chunk: passed over
    }
    at = end;
  }
  std::stable_sort(events.begin(), events.end(), [](const FileEvent& a, const FileEvent& b) { return a.tick < b.tick; });
  return events;
}

}  // namespace

VoiceMapSettings GeneralMidiFileSettings(const std::vector<uint8_t>& smf, NoiseNotes noise) {
  uint64_t endTick = 0;
  uint16_t inUse = 0;
  if (auto events = ReadEvents(smf, endTick))
    for (const FileEvent& e : *events)
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
  midi::SmfWriter writer(static_cast<uint16_t>(BigEndian(&d[12], 2)));
  {
    MappingSink sink(map, writer);
    for (const FileEvent& e : *events) sink.Send(midi::Event{e.tick, e.status, e.metaType, e.size, d.data() + e.first});
    sink.Finish();
  }
  return writer.Finish(endTick);
}

}  // namespace vambrio::voices
