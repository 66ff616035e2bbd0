#include "realtime/live_midi_client.h"

#include "midi/midi_bytes.h"

namespace vambrio::realtime {
namespace {

using midi::status::kControlChange;
using namespace midi::cc;

}  // namespace

bool LiveMidiClient::Send(uint8_t status, uint8_t data1, uint8_t data2) {
  return queue_.TryPush({status, data1, data2});
}

void LiveMidiClient::SilenceAll() {
  for (uint8_t channel = 0; channel < 16; ++channel) {
    Send(kControlChange | channel, kSustain, 0);
    Send(kControlChange | channel, kAllNotesOff, 0);
    Send(kControlChange | channel, kAllSoundOff, 0);
  }
}

void LiveMidiClient::Process(const BlockInfo& block, RealtimeEventSink& events) {
  uint64_t applied = 0;
  while (auto m = queue_.TryPop()) {
    events.Add(RealtimeEvent::Short(0, m->status, m->data1, m->data2));
    ++applied;
  }
  if (applied == 0) return;
  lastSampleTime_.store(block.sampleTime, std::memory_order_relaxed);
  lastCallbackNs_.store(block.callbackNs, std::memory_order_relaxed);
  applied_.fetch_add(applied, std::memory_order_release);
}

}  // namespace vambrio::realtime
