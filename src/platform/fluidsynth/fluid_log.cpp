#include "platform/fluidsynth/fluid_log.h"

#include <fluidsynth.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

namespace vambrio::platform {
namespace {

constexpr size_t kSlots = 256;
constexpr size_t kTextSize = 240;

// Each slot is written once, by the message that claimed it, and published
// by its flag; no slot is reused, so a reader never meets a
// message being written.
struct Slot {
  std::atomic<bool> published{false};
  bool error = false;
  char text[kTextSize] = {};
};

struct Collection {
  std::array<Slot, kSlots> slots;
  std::atomic<size_t> claimed{0};
  size_t taken = 0;      // the reader's position, under readMutex
  size_t lostTaken = 0;  // lost messages already counted, under readMutex
  std::mutex readMutex;
  // The last error: written only when its lock is free at once.
  std::mutex lastErrorMutex;
  char lastError[kTextSize] = {};
};

Collection& TheCollection() {
  static Collection collection;
  return collection;
}

void CopyText(char (&to)[kTextSize], const char* from) {
  std::strncpy(to, from, kTextSize - 1);
  to[kTextSize - 1] = '\0';
}

void Collect(int level, const char* message, void*) {
  if (level > FLUID_WARN || message == nullptr) return;
  Collection& c = TheCollection();
  const bool error = level <= FLUID_ERR;
  if (error && c.lastErrorMutex.try_lock()) {
    CopyText(c.lastError, message);
    c.lastErrorMutex.unlock();
  }
  const size_t n = c.claimed.fetch_add(1, std::memory_order_relaxed);
  if (n >= kSlots) return;  // counted as lost
  Slot& slot = c.slots[n];
  slot.error = error;
  CopyText(slot.text, message);
  slot.published.store(true, std::memory_order_release);
}

// "Instrument not found on channel 15 [bank=114 prog=4], substituted [...]"
// and "No preset found on channel 3 [bank=8 prog=1]": the voice asked for.
bool MissingVoice(const std::string& text, const char* format, std::pair<int, int>& voice) {
  int channel = 0;
  return std::sscanf(text.c_str(), format, &channel, &voice.first, &voice.second) == 3;
}

std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

void CollectFluidLog() {
  static std::once_flag once;
  std::call_once(once, [] {
    TheCollection();
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
      fluid_set_log_function(level, Collect, nullptr);
  });
}

FluidMessages TakeFluidMessages() {
  Collection& c = TheCollection();
  std::lock_guard<std::mutex> lock(c.readMutex);
  FluidMessages out;
  const size_t claimed = c.claimed.load(std::memory_order_relaxed);
  const size_t end = std::min(claimed, kSlots);
  while (c.taken < end && c.slots[c.taken].published.load(std::memory_order_acquire)) {
    out.messages.push_back({c.slots[c.taken].error, c.slots[c.taken].text});
    ++c.taken;
  }
  const size_t lost = claimed > kSlots ? claimed - kSlots : 0;
  out.lost = lost - c.lostTaken;
  c.lostTaken = lost;
  return out;
}

std::string LastFluidError() {
  Collection& c = TheCollection();
  std::lock_guard<std::mutex> lock(c.lastErrorMutex);
  return c.lastError;
}

std::string FluidMessageSummary(const FluidMessages& messages, bool xgBankSelect) {
  std::set<std::pair<int, int>> substituted, silent;
  size_t other = messages.lost;
  for (const auto& m : messages.messages) {
    std::pair<int, int> voice;
    if (MissingVoice(m.text, "Instrument not found on channel %d [bank=%d prog=%d]", voice)) {
      substituted.insert(voice);
    } else if (MissingVoice(m.text, "No preset found on channel %d [bank=%d prog=%d]", voice)) {
      silent.insert(voice);
    } else {
      ++other;
    }
  }
  std::string line;
  auto add = [&line](const std::string& part) { line += (line.empty() ? "note: " : "; ") + part; };
  const char* kind = xgBankSelect ? "XG " : "";
  if (!substituted.empty()) {
    add(std::to_string(substituted.size()) + " " + kind +
        (substituted.size() == 1 ? "voice is not in this SoundFont; a General MIDI voice stands in"
                                 : "voices are not in this SoundFont; General MIDI voices stand in"));
  }
  if (!silent.empty()) {
    add(std::to_string(silent.size()) + " " + kind +
        (silent.size() == 1 ? "voice is not in this SoundFont and stays silent"
                            : "voices are not in this SoundFont and stay silent"));
  }
  if (other > 0) add(Count(other, "other message", "other messages") + " of FluidSynth (--verbose shows them)");
  return line;
}

std::vector<std::string> FluidMessageLines(const FluidMessages& messages) {
  std::vector<std::string> lines;
  for (const auto& m : messages.messages)
    lines.push_back(std::string("fluidsynth: ") + (m.error ? "error: " : "warning: ") + m.text);
  if (messages.lost > 0) lines.push_back("fluidsynth: " + Count(messages.lost, "more message", "more messages") + " not kept");
  return lines;
}

}  // namespace vambrio::platform
