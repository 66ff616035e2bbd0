// The audio drivers FluidSynth can play through on this system.
#pragma once

#include <string>
#include <vector>

namespace vambrio::platform {

// FluidSynth's audio drivers, "pulseaudio" first, then "alsa", then the rest
// by name; the "file" driver (which writes a file) is left out.
std::vector<std::string> FluidAudioDrivers();

}  // namespace vambrio::platform
