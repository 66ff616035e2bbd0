// vambrio-cli edit: the window's editing commands for scripts. Loads a style
// as the window does, applies the requested edits in a fixed order and saves
// the result atomically; a refused step writes nothing.
#include <iostream>
#include <string>

#include "cli/cli_common.h"
#include "cli/command.h"
#include "editing/edit_handlers.h"
#include "editing/style_file_writer.h"
#include "loading/entry.h"
#include "model/style_model.h"
#include "model/error_reporter.h"

namespace vambrio::cli {
namespace {

const char* kNoVolumeEventsText = "This style has no volume events to scale; the master volume cannot be set";
const char* kNoTempoText = "This style has no tempo and time signature; the tempo cannot be edited";

// Message boxes that print to standard error; every question is answered OK.
class PrintingBoxes final : public platform::MessageBoxes {
 public:
  void Show(const std::string& text) override { std::cerr << text << "\n"; }
  bool AskOkCancel(const std::string&) override { return true; }
};

// The input box of TempoEdit, answered with the text of --tempo.
class FixedAnswer final : public platform::InputBox {
 public:
  explicit FixedAnswer(std::string answer) : answer_(std::move(answer)) {}
  std::string Ask(const std::string&, const std::string&, const std::string&) override { return answer_; }

 private:
  std::string answer_;
};

int PrintReported(const CollectingErrorReporter& errors) {
  for (const auto& text : errors.messages) std::cerr << text << "\n";
  return kExitReported;
}

std::optional<int> SliderValue(const std::string& text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int v = std::stoi(text);
  if (v < 1 || v > 127) return std::nullopt;
  return v;
}

// Applies the edits in their fixed order; the exit status, or nothing when all went through.
std::optional<int> ApplyEdits(StyleModel& m, const ParsedArgs& args, CollectingErrorReporter& errors) {
  PrintingBoxes boxes;
  if (args.Has("--add-volume-events") &&
      AddVolumeEvents_OK(m, args.Has("--gm"), boxes, errors).outcome != EditResult::Outcome::Done)
    return kExitFailed;
  if (auto n = args.Value("--master-volume")) {
    if (cmdSet_Click(m, *SliderValue(*n)).outcome != EditResult::Outcome::Done) {
      std::cerr << kNoVolumeEventsText << "\n";
      return kExitFailed;
    }
  }
  if (auto t = args.Value("--tempo")) {
    if (m.DisplayTempo == 0) {
      std::cerr << kNoTempoText << "\n";
      return kExitFailed;
    }
    FixedAnswer answer(*t);
    switch (TempoEdit(m, answer, boxes, errors).outcome) {
      case EditResult::Outcome::Done: break;
      case EditResult::Outcome::Reported: return PrintReported(errors);
      default: return kExitFailed;
    }
  }
  return std::nullopt;
}

int RunEdit(const std::vector<std::string>& argv) {
  auto args = ParseArgs(argv, Help("edit"));
  if (!args || args->positional.size() != 1 || !args->Value("-o") || args->Value("-o")->empty()) return Usage("edit");
  if (auto n = args->Value("--master-volume"); n && !SliderValue(*n)) {
    std::cerr << "vambrio-cli: --master-volume takes a whole number from 1 to 127\n";
    return Usage("edit");
  }
  if (auto t = args->Value("--tempo"); t && t->empty()) return Usage("edit");

  StyleModel m = MakeStartupModel();
  CollectingErrorReporter errors;
  EntryResult loaded = Entry(m, args->positional[0], args->Has("--gm"), errors);
  if (loaded.outcome == EntryResult::Outcome::Reported) return PrintReported(errors);
  if (loaded.outcome != EntryResult::Outcome::Loaded) {
    std::cerr << loaded.message << "\n";
    return kExitFailed;
  }
  if (auto status = ApplyEdits(m, *args, errors)) return *status;
  try {
    WriteStyleFile(*args->Value("-o"), m.StyleData, SystemFileWriter());
  } catch (const RuntimeError& e) {
    errors.ReportError("SaveStyle", e.error());
    return PrintReported(errors);
  }
  return kExitOk;
}

const CommandRegistration kEdit(
    {.name = "edit",
     .usage = "edit STYLE -o OUT [--gm] [--add-volume-events] [--master-volume N] [--tempo T]",
     .summary = "Applies the window's editing commands to a style and saves the result",
     .arguments = {{"STYLE", "", "the style file to edit (it is not changed)"}},
     .options = {{"-o", "OUT", "the style file to write; an existing one is replaced"},
                 {"--gm", "", "read the style for a GM player (without it, XG: a GM System On message is neutralised)"},
                 {"--add-volume-events", "", "add sixteen initial volume events after the SInt marker (\"Add Vol Events\")"},
                 {"--master-volume", "N", "rescale every volume event to the average N, 1 to 127 (the Style Volume slider, then Set)"},
                 {"--tempo", "T", "write tempo T, 32 to 280, into every tempo event (\"Edit Tempo\")"}},
     .examples = {"vambrio-cli edit Pop.sty -o Pop-quiet.sty --add-volume-events --master-volume 70"},
     .details = "The edits apply in the order above; a step that is refused writes nothing."},
    RunEdit);

}  // namespace
}  // namespace vambrio::cli
