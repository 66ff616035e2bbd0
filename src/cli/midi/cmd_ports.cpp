// vambrio-cli ports [--json]: the MIDI input and output ports of the system
// (the ALSA sequencer, or JACK), numbered as --midi-in and --midi-out accept them.
#include <iostream>

#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "platform/rtmidi/rtmidi_system.h"

namespace vambrio::cli {
namespace {

constexpr const char* kUsage = "ports [--json]";

void PrintList(const char* heading, const std::vector<std::string>& ports) {
  std::cout << heading << "\n";
  if (ports.empty()) std::cout << "  (none)\n";
  for (size_t i = 0; i < ports.size(); ++i) std::cout << "  " << i + 1 << "  " << ports[i] << "\n";
}

int RunPorts(const std::vector<std::string>& args) {
  auto parsed = ParseArgs(args, {"--json"}, {});
  if (!parsed || !parsed->positional.empty()) return Usage(kUsage);
  auto system = platform::OpenMidiSystem();
  if (system->ApiName().empty()) {
    std::cerr << system->Problem() << "\n";
    return kExitFailed;
  }
  auto inputs = system->InputPorts();
  auto outputs = system->OutputPorts();
  if (parsed->Has("--json")) {
    nlohmann::ordered_json j;
    j["api"] = system->ApiName();
    j["inputs"] = inputs;
    j["outputs"] = outputs;
    j["virtual"] = {platform::kVirtualInName, platform::kVirtualOutName};
    std::cout << j.dump() << "\n";
    return kExitOk;
  }
  std::cout << "MIDI system: " << system->ApiName() << "\n";
  PrintList("Input ports (keyboards):", inputs);
  PrintList("Output ports (synthesizers):", outputs);
  std::cout << "Vambrio's own ports, for other programs to connect to: \"" << platform::kVirtualInName << "\" and \""
            << platform::kVirtualOutName << "\" (--midi-out \"" << platform::kVirtualOutName << "\").\n";
  return kExitOk;
}

const CommandRegistration kPorts(
    {.name = "ports",
     .usage = kUsage,
     .summary = "Lists the MIDI input and output ports, numbered as --midi-out accepts them",
     .options = {{"--json", "", "one JSON object: api, inputs, outputs and Vambrio's own virtual ports"}},
     .examples = {"vambrio-cli ports"}},
    RunPorts);

}  // namespace
}  // namespace vambrio::cli
