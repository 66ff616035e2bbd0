// What the sound commands of vambrio-cli share: the window's controls as
// lines on the terminal, message boxes and the error reporter on standard
// error, loading a style as the window does, and the sound source.
#pragma once

#include <cstdint>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/midi/port_playback.h"
#include "loading/entry.h"
#include "platform/fluidsynth/fluid_engine.h"
#include "platform/fluidsynth/fluid_log.h"
#include "model/message_box.h"
#include "playback/playback_controller.h"
#include "model/error_reporter.h"

namespace vambrio::cli {

// Message boxes become lines on standard error.
class TerminalMessages final : public platform::MessageBoxes {
 public:
  void Show(const std::string& text) override {
    std::cerr << text << "\n";
    ++shown;
  }
  bool AskOkCancel(const std::string& text) override {
    std::cerr << text << "\n";
    return false;
  }
  int shown = 0;
};

// The error reporter's messages, as they happen.
class TerminalErrors final : public ErrorSink {
 public:
  void ReportError(std::string_view procedure, const VbError& error) override {
    if (auto text = ErrorMessageText(procedure, error)) {
      std::cerr << *text << "\n";
      ++reported;
    }
  }
  int reported = 0;
};

// The playback controls of the window, printed: the status line whenever it
// changes and the section the list shows while "All Sections" plays.
class TerminalView final : public PlaybackView {
 public:
  TerminalView(std::vector<std::string> entries, std::string text, bool repeat)
      : entries_(std::move(entries)), text_(std::move(text)), repeat_(repeat) {}
  void SetStatusText(const std::string& text) override {
    if (text != status_) std::cout << text << std::endl;
    status_ = text;
  }
  std::string SectionText() const override { return text_; }
  void SelectSection(int entry) override {
    if (entry < 0 || entry >= static_cast<int>(entries_.size())) return;
    text_ = entries_[static_cast<size_t>(entry)];
    if (entry > 0) std::cout << "Section: " << text_ << std::endl;
  }
  void SetPlayEnabled(bool) override {}
  void SetStopEnabled(bool) override {}
  void SetDefaultButton(PlaybackButton) override {}
  bool RepeatOn() const override { return repeat_; }
  void Repaint() override {}

 private:
  std::vector<std::string> entries_;
  std::string text_;
  std::string status_;
  bool repeat_;
};

// FluidSynth's messages since the last call: every one with --verbose,
// otherwise at most one line that sums them up.
inline void PrintFluidMessages(bool verbose, bool xgBankSelect) {
  platform::FluidMessages messages = platform::TakeFluidMessages();
  if (verbose) {
    for (const auto& line : platform::FluidMessageLines(messages)) std::cerr << line << "\n";
  } else if (std::string line = platform::FluidMessageSummary(messages, xgBankSelect); !line.empty()) {
    std::cerr << line << "\n";
  }
}

// --latency: low, normal (the default, also for "") or safe; nothing, said,
// for another word.
inline std::optional<realtime::AudioLatency> ReadLatencyOption(const std::string& word) {
  auto latency = realtime::ParseLatency(word.empty() ? "normal" : word);
  if (!latency) std::cerr << "vambrio-cli: --latency " << word << ": low, normal or safe is wanted\n";
  return latency;
}

// The sound source a command plays through: the MIDI port `midiOut` names,
// or, when none is named, the built-in synthesizer, which starts loading its
// SoundFont at once. False (said) when the port cannot be opened.
inline bool OpenSoundSource(const std::optional<std::string>& midiOut, const platform::SoundOptions& synth,
                            std::unique_ptr<PortPlayback>& port, std::optional<platform::FluidEngine>& engine) {
  if (midiOut) {
    port = PortPlayback::Open(*midiOut);
    return port != nullptr;
  }
  engine.emplace(synth);
  engine->StartLoading();
  return true;
}

// Buffer underruns of the audio output, said once at the end when there were any.
inline void SayUnderruns(uint64_t underruns) {
  if (underruns > 0)
    std::cerr << "note: the audio output ran dry " << underruns << " times (buffer underruns); --latency safe helps\n";
}

// The options of the commands that sound.
inline std::vector<OptionHelp> SoundOptions() {
  return {{"--soundfont", "FILE", "the SoundFont to play with (without it: Debian's General MIDI SoundFont, or the first one found)"},
          {"--verbose", "", "print every message of the synthesizer instead of one line about them"}};
}

// Loads the style as Entry does; prints why not and returns false on failure.
inline bool LoadForPlaying(StyleModel& m, const std::string& path, bool gm, ErrorSink& errors, EntryResult& r) {
  r = Entry(m, path, gm, errors);
  if (r.outcome == EntryResult::Outcome::Loaded) return true;
  if (!r.message.empty()) std::cerr << path << ": " << r.message << "\n";
  return false;
}

}  // namespace vambrio::cli
