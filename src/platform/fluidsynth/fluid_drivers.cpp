#include "platform/fluidsynth/fluid_drivers.h"

#include <fluidsynth.h>

#include <algorithm>

namespace vambrio::platform {
namespace {

void Collect(void* data, const char* /*name*/, const char* option) {
  static_cast<std::vector<std::string>*>(data)->push_back(option);
}

int Rank(const std::string& driver) {
  if (driver == "pulseaudio") return 0;
  if (driver == "alsa") return 1;
  return 2;
}

}  // namespace

std::vector<std::string> FluidAudioDrivers() {
  std::vector<std::string> drivers;
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return drivers;
  fluid_settings_foreach_option(settings, "audio.driver", &drivers, Collect);
  delete_fluid_settings(settings);
  drivers.erase(std::remove(drivers.begin(), drivers.end(), "file"), drivers.end());
  std::stable_sort(drivers.begin(), drivers.end(), [](const std::string& a, const std::string& b) {
    return Rank(a) != Rank(b) ? Rank(a) < Rank(b) : a < b;
  });
  return drivers;
}

}  // namespace vambrio::platform
