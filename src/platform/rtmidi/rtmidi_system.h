// MIDI ports through RtMidi, on the ALSA sequencer or on JACK.
//
// Which one: $VAMBRIO_MIDI_API ("alsa" or "jack") when set; otherwise the
// ALSA sequencer where /dev/snd/seq can be opened (every Linux desktop with a
// sound card, PipeWire ones included: PipeWire bridges it to its own MIDI
// graph, and a2jmidid bridges it to JACK); otherwise a running JACK server
// (its name from $JACK_DEFAULT_SERVER, as for every JACK program). JACK is
// never started by Vambrio.
//
// Vambrio's ports belong to clients named "Vambrio" (JACK numbers further
// clients of one name "Vambrio-01", ...); they are left out of the lists.
#pragma once

#include <memory>

#include "midi/midi_ports.h"

namespace vambrio::platform {

std::unique_ptr<MidiSystem> OpenMidiSystem();

// The name under which ports show a port: ALSA's client and port numbers
// ("Midi Through:Midi Through Port-0 14:0") are left out, since they change
// when a device is plugged in again.
std::string StablePortName(const std::string& rtmidiName);

}  // namespace vambrio::platform
