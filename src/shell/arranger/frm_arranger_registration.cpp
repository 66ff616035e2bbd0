// The Arranger window's registrations: the set-up taken from the window's
// controls and the player's keyboard, and a registration recalled into them.
// While the accompaniment plays, a new section follows the arranger's own
// rule (the next bar line, through a fill with Auto Fill); a new style waits
// for the next bar line and then plays on from its Main; the rest changes at once.
#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

#include "chord/chord_name.h"
#include "keyboard/player_keyboard.h"
#include "model/ascii_case.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/arranger/ots_panel.h"
#include "shell/arranger/parts_panel.h"
#include "shell/arranger/registration_panel.h"
#include "shell/voices/voice_options.h"
#include "ui_frm_arranger.h"

namespace vambrio {
namespace {

using registration::RecallChange;
using What = RecallChange::What;

constexpr std::array<keyboard::Part, registration::kPartCount> kParts = {keyboard::Part::Right1, keyboard::Part::Right2,
                                                                          keyboard::Part::Left};

// "voices=gm;noise=play;banks=0;gmport=0"
std::string VoiceMapText(const platform::VoiceChoices& c) {
  return std::string("voices=") + (c.asWritten ? "written" : "gm") +
         ";noise=" + (c.noise == voices::NoiseNotes::LeaveOut ? "leave-out" : "play") +
         ";banks=" + (c.soundFontHasKeyboardBanks ? "1" : "0") + ";gmport=" + (c.generalMidiPort ? "1" : "0");
}

platform::VoiceChoices VoiceMapChoices(const std::string& text) {
  platform::VoiceChoices c;
  c.asWritten = text.find("voices=written") != std::string::npos;
  c.noise = text.find("noise=leave-out") != std::string::npos ? voices::NoiseNotes::LeaveOut : voices::NoiseNotes::PlayAsEffects;
  c.soundFontHasKeyboardBanks = text.find("banks=1") != std::string::npos;
  c.generalMidiPort = text.find("gmport=1") != std::string::npos;
  return c;
}

// "low", "normal" or "safe", as registrations keep it.
std::string LatencyWord(realtime::AudioLatency latency) {
  return AsciiLower(realtime::LatencyName(latency));
}

}  // namespace

void frmArranger::MakeRegistrationPanel() {
  RegistrationPanel::Hooks hooks;
  hooks.capture = [this] { return CaptureRegistration(); };
  hooks.recall = [this](const registration::Registration& r, registration::Freeze freeze) { RecallRegistration(r, freeze); };
  hooks.learnInstead = [this](int slot) {
    return LearnInstead(static_cast<keyboard::Control>(static_cast<int>(keyboard::Control::Registration1) + slot));
  };
  registration_ = new RegistrationPanel(dialogs_, std::move(hooks), settingsPath_, this);
  if (const int at = ui_->layout_left->indexOf(ui_->fraKeyboard); at >= 0) ui_->layout_left->insertWidget(at, registration_);
  else ui_->layout_left->addWidget(registration_);
}

registration::Registration frmArranger::CaptureRegistration() const {
  registration::Registration r;
  r.styleFile = style_.path;
  r.tempo = ui_->spnTempo->value();
  const int main = std::max(0, service_.State().selectedMain);
  r.section = std::string("Main ") + static_cast<char>('A' + main);
  for (int part = 0; part < 8; ++part)
    r.accompanimentParts[static_cast<size_t>(part)] = findChild<QCheckBox*>(QString("chkPart%1").arg(part))->isChecked();
  r.otsLink = ots_->Link();
  if (keyboard_) {
    for (size_t p = 0; p < kParts.size(); ++p) {
      const keyboard::PartSound sound = keyboard_->Sound(kParts[p]);
      registration::PartVoice& v = r.voices[p];
      v.on = keyboard_->Router().PartOn(kParts[p]);
      v.bankMsb = std::max(0, sound.bankMsb);
      v.bankLsb = std::max(0, sound.bankLsb);
      v.program = std::max(0, sound.program);
      v.volume = sound.volume >= 0 ? sound.volume : 100;
      v.octave = keyboard_->Router().Octave(kParts[p]);
    }
  }
  r.splitPoint = ui_->spnSplit->value();
  r.chordMemory = ui_->chkChordMemory->isChecked();
  r.autoFill = ui_->chkAutoFill->isChecked();
  if (!chord_.noChord) r.chord = ChordName(chord_.chord);
  else r.chord.reset();
  if (voiceOptions_) r.voiceMap = VoiceMapText(voiceOptions_->Choices());
  if (latencyNow_) r.latency = LatencyWord(latencyNow_());
  return r;
}

void frmArranger::RecallRegistration(const registration::Registration& recalled, registration::Freeze freeze) {
  const registration::Registration now = CaptureRegistration();
  const registration::Registration r = registration::AfterRecall(now, recalled, freeze);
  const live::LiveState state = service_.State();
  for (const RecallChange& c : registration::PlanRecall(now, recalled, freeze, state.playing)) {
    if (c.what == What::Style && c.when == RecallChange::When::NextBarLine) {
      pendingStyle_ = r;  // its tempo and section go with it
      pendingBar_ = state.bar;
      continue;
    }
    if (pendingStyle_ && (c.what == What::Tempo || c.what == What::Section)) continue;
    ApplyChange(c, r);
  }
}

void frmArranger::ApplyChange(const RecallChange& c, const registration::Registration& r) {
  switch (c.what) {
    case What::Style:
      if (!OpenStyle(r.styleFile)) statusBar()->showMessage(QString("The registration's style could not be opened"));
      return;
    case What::Tempo:
      if (r.tempo > 0) ui_->spnTempo->setValue(static_cast<int>(std::lround(r.tempo)));
      return;
    case What::Section:
      if (r.section.size() == 6 && r.section.rfind("Main ", 0) == 0) Send(live::LiveCommand::Kind::Main, r.section[5] - 'A');
      return;
    case What::AccompanimentPart:
      findChild<QCheckBox*>(QString("chkPart%1").arg(c.index))->setChecked(r.accompanimentParts[static_cast<size_t>(c.index)]);
      return;
    case What::OtsLink: return ots_->SetLink(r.otsLink);
    case What::Voice: {
      if (!keyboard_) return;
      const registration::PartVoice& v = r.voices[static_cast<size_t>(c.index)];
      const keyboard::Part part = kParts[static_cast<size_t>(c.index)];
      keyboard_->Router().SetPartOn(part, v.on);
      keyboard_->Router().SetOctave(part, v.octave);
      keyboard_->SetSound(part, {v.bankMsb, v.bankLsb, v.program, v.volume});  // sounds in the next block
      if (parts_) parts_->Refresh(), parts_->Save();
      ots_->Forget();
      return;
    }
    case What::SplitPoint: return ui_->spnSplit->setValue(r.splitPoint);
    case What::ChordMemory: return ui_->chkChordMemory->setChecked(r.chordMemory);
    case What::AutoFill: return ui_->chkAutoFill->setChecked(r.autoFill);
    case What::Chord:
      if (!r.chord) return NoChord_Click();
      if (auto chord = ParseChord(*r.chord)) {
        chord_.chord = *chord;
        chord_.noChord = false;
        ui_->cboBass->setCurrentIndex(chord->bass + 1);
        ChordChosen();
      }
      return;
    case What::VoiceMap:
      if (voiceOptions_ && !r.voiceMap.empty()) voiceOptions_->Choose(VoiceMapChoices(r.voiceMap));
      return;
    case What::Latency:
      if (auto latency = realtime::ParseLatency(r.latency); latency && chooseLatency_) chooseLatency_(*latency);
      return;
  }
}

// A style recalled while playing: on the next bar line it plays on from the
// registration's Main at its tempo.
void frmArranger::FollowPendingStyle(const live::LiveState& s) {
  if (!pendingStyle_ || (s.playing && s.bar == pendingBar_)) return;
  const registration::Registration r = *std::exchange(pendingStyle_, std::nullopt);
  if (!OpenStyle(r.styleFile)) return statusBar()->showMessage(QString("The registration's style could not be opened"));
  ApplyChange({What::Tempo}, r);
  ApplyChange({What::Section}, r);
  if (s.playing) Send(live::LiveCommand::Kind::Start);
}

void frmArranger::FollowRegistrationControls() {
  if (!keyboard_) return;
  const uint32_t presses = keyboard_->RegistrationPresses();
  if (presses == registrationPressesSeen_) return;
  registrationPressesSeen_ = presses;
  registration_->Recall(static_cast<int>(presses & 7));
}

}  // namespace vambrio
