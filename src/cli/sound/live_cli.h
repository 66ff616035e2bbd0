// What the commands that play the live arranger from the terminal share:
// the session as the play options choose it, the voice map it sounds
// through, the bar and section printed as they change, waiting for the
// audio thread to take what was posted, and the end of the playing.
#pragma once

#include <chrono>
#include <cstdint>
#include <iostream>
#include <thread>
#include <vector>

#include "cli/midi/port_playback.h"
#include "live/live_arranger.h"
#include "live/live_session.h"
#include "model/play_choices.h"
#include "platform/files/voice_choices.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "realtime/voice_mapping_client.h"

namespace vambrio::cli {

inline live::SessionChoices SessionChoicesOf(const PlayChoices& c, int sampleRate) {
  live::SessionChoices s;
  s.setup = {c.IncludeSysex, c.XgSystemOn};
  s.options.gmPlayer = c.GmPlayer;
  for (size_t k = 0; k < 8; ++k) s.options.partsOn[k] = c.Parts[k] != 0;
  s.sampleRate = sampleRate;
  return s;
}

// `inner` heard through the voice map of where it sounds: the synthesizer on
// the port, else the built-in synthesizer's SoundFont (waited for).
inline void MapLive(realtime::VoiceMappingClient& mapped, realtime::RealtimeClient* inner,
                    const voices::StyleVoiceUse& use, const platform::VoiceChoices& voices, PortPlayback* port,
                    platform::FluidEngine* engine) {
  if (port) return mapped.Use(inner, platform::MapForPort(use, voices));
  engine->WaitLoaded();
  mapped.Use(inner, platform::MapForSynth(use, engine->SoundFontPath(), voices));
}

// "Bar 3  Main A" on standard output whenever the bar or the section changes.
class BarLines {
 public:
  void Show(const live::LiveState& s, const std::vector<arranger::SectionPattern>& sections) {
    if (static_cast<int>(s.bar) == lastBar_ && s.section == lastSection_) return;
    const bool known = s.section >= 0 && static_cast<size_t>(s.section) < sections.size();
    std::cout << "Bar " << s.bar + 1 << "  " << (known ? sections[static_cast<size_t>(s.section)].name : "") << std::endl;
    lastBar_ = static_cast<int>(s.bar);
    lastSection_ = s.section;
  }

 private:
  int lastBar_ = -1;
  int lastSection_ = -2;
};

// Waits until `count` more audio blocks have been played. An output that
// stopped asking for blocks (its server froze) is not waited for long.
inline void WaitForBlocks(const live::LiveArranger& client, uint64_t count) {
  const uint64_t until = client.State().blocks + count;
  for (int i = 0; i < 150 && client.State().blocks < until; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// The end of the playing: a stop asked for reaches the audio thread, else the
// last notes' release sounds out (unless the output is gone); then the port
// or the synthesizer lets go of the client, every note off.
inline void EndLivePlay(live::LiveArranger& client, bool stopped, bool outputGone, PortPlayback* port,
                        platform::FluidEngine* engine) {
  constexpr auto kReleaseTail = std::chrono::milliseconds(1500);
  if (stopped) {
    client.Post(live::Command(live::LiveCommand::Kind::Stop));
    WaitForBlocks(client, 2);
  } else if (!outputGone) {
    std::this_thread::sleep_for(kReleaseTail);
  }
  if (port) port->DetachLive();
  else engine->DetachLiveClient();
}

}  // namespace vambrio::cli
