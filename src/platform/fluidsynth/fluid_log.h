// FluidSynth's own messages (a voice the SoundFont lacks, a driver that did
// not open) are collected here instead of going to the terminal one by one;
// the programs say what matters in their own words. The collecting function
// runs on whichever thread FluidSynth logs from, the audio thread among
// them: it never allocates, locks or waits.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vambrio::platform {

// Installs the collecting function for every log level; later calls do nothing.
void CollectFluidLog();

struct FluidMessage {
  bool error = false;  // an error (or panic); otherwise a warning
  std::string text;
};

struct FluidMessages {
  std::vector<FluidMessage> messages;  // oldest first
  size_t lost = 0;                     // warnings and errors that did not fit the collection
};

// The warnings and errors logged since the last call. Informational and
// debug messages are dropped. The collection keeps the first 256 messages of
// the process; later ones are only counted.
FluidMessages TakeFluidMessages();

// The last error FluidSynth logged (it names the cause when an output cannot be opened).
std::string LastFluidError();

// At most one line about the messages for the user, such as "note: 4 XG
// voices are not in this SoundFont; General MIDI voices stand in"; empty
// when there is nothing to say. xgBankSelect: the synthesizer read bank
// selects as an XG player does.
std::string FluidMessageSummary(const FluidMessages& messages, bool xgBankSelect);

// Every message, one line each: "fluidsynth: warning: ...".
std::vector<std::string> FluidMessageLines(const FluidMessages& messages);

}  // namespace vambrio::platform
