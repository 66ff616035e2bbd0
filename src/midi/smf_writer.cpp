#include "midi/smf_writer.h"

#include <algorithm>

#include "midi/midi_bytes.h"

namespace vambrio::midi {
namespace {

void AppendBE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int s = 8 * (bytes - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

}  // namespace

void SmfWriter::Add(uint64_t tick, const std::vector<uint8_t>& bytes) {
  events_.push_back({tick, static_cast<uint32_t>(bytes_.size()), static_cast<uint32_t>(bytes.size())});
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  lastTick_ = std::max(lastTick_, tick);
}

void SmfWriter::Send(const Event& e) {
  scratch_.clear();
  scratch_.push_back(e.status);
  if (e.IsChannel()) {
    const int n = ChannelDataLength(e.status);
    for (int k = 0; k < n; ++k) scratch_.push_back(static_cast<uint32_t>(k) < e.size ? (e.data[k] & 0x7F) : 0);
  } else if (e.IsMeta() || e.IsSysex()) {
    if (e.IsMeta()) {
      if (e.metaType == meta::kEndOfTrack) return;  // written once, by Finish
      scratch_.push_back(e.metaType);
    }
    AppendVarLen(scratch_, e.size);
    scratch_.insert(scratch_.end(), e.data, e.data + e.size);
  } else {
    return;  // system common and real-time messages have no place in a file
  }
  Add(e.tick, scratch_);
}

void SmfWriter::Channel(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2) {
  const uint8_t data[2] = {data1, data2};
  Send(Event{tick, status, 0, 2, data});
}

void SmfWriter::Meta(uint64_t tick, uint8_t type, const uint8_t* data, uint32_t size) {
  Send(Event{tick, 0xFF, type, size, data});
}

void SmfWriter::Tempo(uint64_t tick, uint32_t microsPerQuarter) {
  const uint8_t data[3] = {static_cast<uint8_t>(microsPerQuarter >> 16), static_cast<uint8_t>(microsPerQuarter >> 8),
                           static_cast<uint8_t>(microsPerQuarter)};
  Meta(tick, meta::kTempo, data, 3);
}

void SmfWriter::Marker(uint64_t tick, std::string_view text) {
  Meta(tick, meta::kMarker, reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
}

void SmfWriter::Text(uint64_t tick, std::string_view text) {
  Meta(tick, meta::kText, reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
}

std::vector<uint8_t> SmfWriter::Finish(uint64_t endTick) const {
  std::vector<Stored> order = events_;
  std::stable_sort(order.begin(), order.end(), [](const Stored& a, const Stored& b) { return a.tick < b.tick; });

  std::vector<uint8_t> track;
  track.reserve(bytes_.size() + order.size() * 2 + 4);
  uint64_t now = 0;
  for (const Stored& e : order) {
    AppendVarLen(track, static_cast<uint32_t>(std::min<uint64_t>(e.tick - now, kMaxVarLenValue)));
    now = e.tick;
    track.insert(track.end(), bytes_.begin() + e.first, bytes_.begin() + e.first + e.size);
  }
  const uint64_t end = std::max(endTick, now);
  AppendVarLen(track, static_cast<uint32_t>(std::min<uint64_t>(end - now, kMaxVarLenValue)));
  track.insert(track.end(), {0xFF, meta::kEndOfTrack, 0x00});

  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
  AppendBE(file, division_, 2);
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  AppendBE(file, static_cast<uint32_t>(track.size()), 4);
  file.insert(file.end(), track.begin(), track.end());
  return file;
}

}  // namespace vambrio::midi
