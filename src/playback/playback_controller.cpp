#include "playback/playback_controller.h"

#include <utility>

#include "loading/entry.h"

namespace vambrio {
namespace {

constexpr const char* kSelectStyleFirst = "Please click Select Style first";
constexpr const char* kDeviceFailed = "The sound output failed during playback; playback has ended.";
constexpr int kListedSections = 25;  // cboSections lists the first 25 sections after "All Sections"

}  // namespace

const char* RepeatCaption(int value) { return value == 0 ? "Off" : "On"; }

PlaybackController::PlaybackController(PlaybackParts parts) : p_(std::move(parts)) {
  p_.sequencer.SetDoneHandler([this](platform::NotifyCode code) { MmcDone(code); });
}

PlaybackController::~PlaybackController() {
  Abandon();
  p_.sequencer.SetDoneHandler(nullptr);
}

void PlaybackController::CmdPlayClick() {
  if (!playEnabled_) return;  // a disabled button cannot be pressed
  if (p_.model.StyleFileName.empty()) {
    p_.messages.Show(kSelectStyleFirst);
    return;
  }
  // Stop was pressed but the running playback has not yet seen it: let it
  // end now, so that this Play does not start inside it.
  if (Running()) Guarded(&PlaybackController::OnTimer);
  if (Running()) return;
  playEnabled_ = false;
  deviceEnded_.clear();
  p_.view.SetPlayEnabled(false);
  p_.view.SetStopEnabled(true);
  p_.model.PlayRequested = true;
  p_.view.SetDefaultButton(PlaybackButton::Stop);
  Guarded(&PlaybackController::PlayStyle);
}

void PlaybackController::CmdStopClick() {
  p_.view.SetStopEnabled(false);
  p_.view.SetPlayEnabled(true);
  playEnabled_ = true;
  if (p_.model.PlayRequested) p_.model.PlayRequested = false;
  p_.view.SetDefaultButton(PlaybackButton::Play);
  if (Running()) Yield();  // the playback sees the request at its next turn
}

void PlaybackController::CboSectionsDblClick() { CmdPlayClick(); }

void PlaybackController::MmcDone(platform::NotifyCode code) {
  if (code == platform::NotifyCode::Successful) {
    p_.model.PlaybackStopped = true;
    return;
  }
  // The device gave up in the middle of a pass (the sound server went away):
  // say so and end the playback as Stop would.
  if (code == platform::NotifyCode::Failed && stage_ == Stage::Passing && p_.model.PlayRequested) {
    const std::string why = p_.sequencer.LastError();
    deviceEnded_ = why.empty() ? kDeviceFailed : why;
    CmdStopClick();
    p_.view.SetStatusText(deviceEnded_);
    p_.messages.Show(deviceEnded_);
  }
}

void PlaybackController::ClearPlayRequest() {
  p_.model.PlayRequested = false;
  if (Running()) Yield();
}

void PlaybackController::Abandon() {
  if (!Running()) return;
  p_.timer.Cancel();
  stage_ = Stage::Idle;
  p_.model.PlayRequested = false;
  try {
    StopDevice();
    p_.sequencer.Command("close");
  } catch (const RuntimeError&) {
  }
  p_.model.PlaybackStopped = true;
}

void PlaybackController::PlayStyle() {
  stage_ = Stage::Starting;
  p_.view.SetStatusText(kPlayingText);
  p_.view.Repaint();
  if (p_.view.SectionText() == kAllSections) {
    mode_ = Mode::AllSections;
    section_ = 0;
    stage_ = Stage::BeforeSection;
    Yield();
  } else {
    mode_ = Mode::OneSection;
    StartOneSection();
  }
}

void PlaybackController::StartOneSection() {
  p_.model.CurrentSectionName = p_.view.SectionText();
  // Every listed section can be played; an empty name matches nothing.
  int found = -1;
  for (int i = 0; i < kSectionSlots && !p_.model.SectionName[i].empty(); ++i) {
    if (p_.model.SectionName[i] == p_.model.CurrentSectionName) {
      found = i;
      break;
    }
  }
  if (found < 0) {
    CommonEnding();
    return;
  }
  section_ = found;
  p_.assemble(static_cast<int16_t>(section_), p_.choices());
  if (!OpenPlayerFile(true)) return;
  StartPass();
}

void PlaybackController::OnTimer() {
  if (stage_ == Stage::BeforeSection) {
    BeforeSection();
  } else if (stage_ == Stage::Passing) {
    if (!p_.model.PlayRequested) {
      if (mode_ == Mode::AllSections) p_.view.SelectSection(0);
      CommonEnding();
      return;
    }
    double due = passStart_ + static_cast<double>(p_.sequencer.Length()) / 1000.0;
    if (p_.clock.Seconds() < due) {
      p_.timer.Arm(due, [this] { Guarded(&PlaybackController::OnTimer); });
      return;
    }
    PassOver();
  }
}

void PlaybackController::BeforeSection() {
  if (section_ >= kSectionSlots || p_.model.SectionName[section_].empty()) {
    CommonEnding();
    return;
  }
  if (!p_.model.PlayRequested) {
    p_.view.SelectSection(0);
    CommonEnding();
    return;
  }
  p_.model.CurrentSectionName = p_.model.SectionName[section_];
  p_.assemble(static_cast<int16_t>(section_), p_.choices());
  if (section_ < kListedSections) p_.view.SelectSection(section_ + 1);
  p_.view.Repaint();
  if (!OpenPlayerFile(false)) return;
  StartPass();
}

// The end of a pass: the next section, another pass of the same file, or the end.
void PlaybackController::PassOver() {
  if (mode_ == Mode::AllSections) {
    p_.model.PlaybackStopped = true;
    ++section_;
    stage_ = Stage::BeforeSection;
    Yield();
    return;
  }
  StopDevice();
  if (p_.view.RepeatOn()) {
    StartPass();
  } else {
    CommonEnding();
  }
}

void PlaybackController::StartPass() {
  p_.sequencer.SetNotify(true);
  p_.sequencer.SetWait(false);
  p_.sequencer.Command("play");
  passStart_ = p_.clock.Seconds();
  stage_ = Stage::Passing;
  int64_t length = p_.sequencer.Length();
  if (length > 0) {
    p_.timer.Arm(passStart_ + static_cast<double>(length) / 1000.0, [this] { Guarded(&PlaybackController::OnTimer); });
    return;
  }
  // Nothing to wait for: the pass is over at once. A single section is not
  // repeated then, or the passes would follow one another without end.
  if (mode_ == Mode::AllSections) {
    PassOver();
  } else {
    StopDevice();
    CommonEnding();
  }
}

// "open" of "Player.tmp"; a file that cannot be opened ends the playback.
bool PlaybackController::OpenPlayerFile(bool wait) {
  p_.sequencer.SetFileName(p_.playerFile);
  if (wait) p_.sequencer.SetWait(true);
  if (!p_.sequencer.Command("open")) {
    std::string why = p_.sequencer.LastError();
    CommonEnding();
    if (!why.empty()) p_.messages.Show(why);
    return false;
  }
  p_.model.PlaybackStopped = false;
  p_.sequencer.SetTimeFormat(0);
  return true;
}

void PlaybackController::StopDevice() {
  p_.sequencer.SetWait(true);
  p_.sequencer.Command("stop");
  p_.sequencer.SetWait(true);
  p_.sequencer.Command("prev");
}

void PlaybackController::CommonEnding() {
  p_.timer.Cancel();
  stage_ = Stage::Idle;
  StopDevice();
  p_.sequencer.Command("close");
  p_.model.PlaybackStopped = true;
  p_.view.SetStatusText(deviceEnded_.empty() ? kReadyText : deviceEnded_);
  SetReady();
}

void PlaybackController::SetReady() {
  playEnabled_ = true;
  p_.view.SetPlayEnabled(true);
  p_.view.SetStopEnabled(false);
  p_.view.SetDefaultButton(PlaybackButton::Play);
}

// Lets the event loop handle what is pending before the next step.
void PlaybackController::Yield() {
  p_.timer.Arm(p_.clock.Seconds(), [this] { Guarded(&PlaybackController::OnTimer); });
}

// The error tail of PlayStyle: a failure is reported (380 silently) and the
// playback ends, so that the device is closed and the window can be closed.
void PlaybackController::Guarded(void (PlaybackController::*step)()) {
  try {
    (this->*step)();
  } catch (const RuntimeError& e) {
    if (e.error().Number != err::InvalidPropertyValue) p_.errors.ReportError("PlayStyle", e.error());
    if (!Running()) return;
    try {
      CommonEnding();
    } catch (const RuntimeError&) {
      stage_ = Stage::Idle;
      p_.model.PlaybackStopped = true;
      SetReady();
    }
  }
}

}  // namespace vambrio
