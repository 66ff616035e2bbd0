// A window, a sequencer and an event loop for the playback controller, all
// writing into one log so that tests can check the exact order of events.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_sequencer.h"
#include "loading/entry.h"
#include "playback/playback_controller.h"
#include "model/error_reporter.h"

namespace vambrio::test {

inline constexpr const char* kPlayer = "/run/user/1000/vambrio/Player.tmp";

class FakePlaybackView final : public PlaybackView {
 public:
  explicit FakePlaybackView(std::vector<std::string>& log) : log_(log) {}
  void SetStatusText(const std::string& text) override {
    status = text;
    log_.push_back(text == kPlayingText ? "Status playing" : text == kReadyText ? "Status ready" : "Status " + text);
  }
  std::string SectionText() const override { return text; }
  void SelectSection(int entry) override {
    text = entries.at(static_cast<size_t>(entry));
    log_.push_back("Select " + std::to_string(entry));
  }
  void SetPlayEnabled(bool e) override {
    playEnabled = e;
    log_.push_back(e ? "Play on" : "Play off");
  }
  void SetStopEnabled(bool e) override {
    stopEnabled = e;
    log_.push_back(e ? "Stop on" : "Stop off");
  }
  void SetDefaultButton(PlaybackButton b) override {
    defaultButton = b;
    log_.push_back(b == PlaybackButton::Play ? "Default Play" : "Default Stop");
  }
  bool RepeatOn() const override { return repeat; }
  void Repaint() override { log_.push_back("Repaint"); }

  std::vector<std::string> entries;  // cboSections: "All Sections", then the section lines
  std::string text;
  std::string status;
  bool playEnabled = true;
  bool stopEnabled = false;
  PlaybackButton defaultButton = PlaybackButton::Play;
  bool repeat = false;

 private:
  std::vector<std::string>& log_;
};

class ControllerTest : public ::testing::Test {
 protected:
  ControllerTest() {
    model.StyleFileName = "/styles/Demo.sty";
    SetSections({"Intro A", "Main A", "Ending A"});
  }

  void SetSections(const std::vector<std::string>& names) {
    model.SectionName = {};
    view.entries = {kAllSections};
    for (size_t i = 0; i < names.size(); ++i) {
      model.SectionName[i] = names[i];
      if (i < 25) view.entries.push_back(names[i]);
    }
    while (view.entries.size() < 26) view.entries.push_back("");  // "All Sections" and 25 section lines
    view.text = kAllSections;
  }

  // The log from now on only.
  void ClearLog() { seq.log.clear(); }

  // The events one section of "All Sections" gives, from its assembly to its play.
  static std::vector<std::string> AllSectionsPass(int i) {
    return {"assemble " + std::to_string(i), "close", "Select " + std::to_string(i + 1), "Repaint",
            std::string("FileName ") + kPlayer, "open", "TimeFormat 0", "Notify 1", "Wait 0", "play"};
  }
  static std::vector<std::string> Ending() {
    return {"Wait 1", "stop", "Wait 1", "prev", "close", "Status ready", "Play on", "Stop off", "Default Play"};
  }
  static std::vector<std::string> Start() { return {"Play off", "Stop on", "Default Stop", "Status playing", "Repaint"}; }
  static std::vector<std::string> Cat(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
  }

  StyleModel model = MakeStartupModel();
  FakeSequencer seq;
  FakeClock clock;
  FakeTimer timer{clock};
  FakePlaybackView view{seq.log};
  FakeMessageBoxes boxes;
  CollectingErrorReporter errors;
  PlayChoices choices;
  std::vector<PlayChoices> assembledWith;
  std::function<void(int16_t)> onAssemble;  // a test's extra work inside the assembly
  PlaybackController controller{PlaybackParts{
      model, seq, clock, timer, view, boxes, errors, [this] { return choices; },
      [this](int16_t i, const PlayChoices& c) {
        assembledWith.push_back(c);
        seq.log.push_back("assemble " + std::to_string(i));
        if (onAssemble) onAssemble(i);
        seq.Command("close");  // the assembly closes the device before it rewrites the file
      },
      kPlayer}};
};

}  // namespace vambrio::test
