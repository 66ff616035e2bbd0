#include "shell/main_window/play_controls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"
#include "shell/common/shown_q.h"
#include "shell/main_window/section_combo.h"

namespace vambrio {

PlayControls::PlayControls(Parts parts) : p_(std::move(parts)) {
  controller_ = std::make_unique<PlaybackController>(PlaybackParts{
      .model = p_.model,
      .sequencer = p_.sequencer,
      .clock = p_.clock,
      .timer = p_.timer,
      .view = *this,
      .messages = p_.messages,
      .errors = p_.errors,
      .choices = p_.choices,
      .assemble = [this](int16_t section, const PlayChoices& choices) { Assemble(section, choices); },
      .playerFile = p_.playerFile,
  });
  connect(p_.repeat, &QCheckBox::toggled, this, [this](bool on) { p_.repeat->setText(RepeatCaption(on ? 1 : 0)); });
  SetUpChordChoice();
  seamless_ = new SeamlessPlay(p_.live, p_.model, *this, p_.messages, p_.settingsFile, p_.optionsMenu, p_.sysexItem);
  seamless_->setParent(this);  // gone with its view, not with the menu
  ConnectSeamless();
}

PlayControls::~PlayControls() = default;

void PlayControls::LoadSetting() { seamless_->LoadSetting(); }

void PlayControls::StyleLoaded() { chordRules_ = ReadChordRules(p_.model); }

void PlayControls::Play() {
  if (!p_.model.StyleFileName.empty() && p_.soundFontMissing()) {
    p_.messages.Show(p_.sound.MissingSoundFontText());
    return;
  }
  if (seamless_->Chosen() && !p_.model.StyleFileName.empty()) return seamless_->Play();
  controller_->CmdPlayClick();
}

void PlayControls::Stop() {
  if (seamless_->Playing()) return seamless_->Stop();
  controller_->CmdStopClick();
}

void PlayControls::Abandon() {
  if (seamless_->Playing()) seamless_->Stop();
  controller_->Abandon();
}

void PlayControls::SetUpChordChoice() {
  for (int root = 0; root < 12; ++root) p_.chordRoot->addItem(RootName(root), root);
  for (int type = 0; type < kChordTypeCount; ++type) p_.chordType->addItem(ChordTypeCaption(type), type);
  p_.chordRoot->setCurrentIndex(0);  // C
  p_.chordType->setCurrentIndex(0);  // Maj
  connect(p_.chordOptions[2], &QRadioButton::toggled, this, [this] { p_.changed(); });
}

std::optional<Chord> PlayControls::ChosenChord() const {
  if (!p_.chordOptions[2]->isChecked()) return std::nullopt;
  return Chord{p_.chordRoot->currentData().toInt(), p_.chordType->currentData().toInt(), -1};
}

// C major or C minor as the classic Play has them, else the chosen chord.
live::LiveCommand PlayControls::ChordCommand() const {
  live::LiveCommand c = live::Command(live::LiveCommand::Kind::Chord);
  if (const std::optional<Chord> chord = ChosenChord()) {
    c.chord = *chord;
  } else {
    c.chord = *ParseChord(p_.chordOptions[1]->isChecked() ? "Cm" : "C");
  }
  return c;
}

// Each section is assembled with the choices of the moment: the classic
// chord rule for Major and Minor, the style's own rules for any other chord.
void PlayControls::Assemble(int16_t section, const PlayChoices& choices) {
  auto close = [this] { p_.sequencer.Command("close"); };
  if (const std::optional<Chord> chord = ChosenChord()) {
    MakeAnyChordTrack(p_.model, section, choices, chordRules_, *chord, p_.errors, p_.playerFile, close);
  } else {
    MakeSingleTrack(p_.model, section, choices, p_.errors, p_.playerFile, close);
  }
}

// What the user changes while it may play seamlessly is passed on. The
// controller is the connections' context: gone with it, they never reach it.
void PlayControls::ConnectSeamless() {
  SeamlessPlay* play = seamless_;
  for (int part = 0; part < 8; ++part) {
    connect(p_.partSwitches[static_cast<size_t>(part)], &QCheckBox::toggled, play,
            [play, part](bool on) { play->PartChanged(part, on); });
  }
  for (QRadioButton* option : p_.chordOptions)
    connect(option, &QRadioButton::toggled, play, [play](bool on) {
      if (on) play->ChordChanged();
    });
  connect(p_.chordRoot, &QComboBox::currentIndexChanged, play, [play] { play->ChordChanged(); });
  connect(p_.chordType, &QComboBox::currentIndexChanged, play, [play] { play->ChordChanged(); });
  connect(p_.repeat, &QCheckBox::toggled, play, [play](bool on) { play->RepeatChanged(on); });
  connect(p_.sections, &SectionCombo::currentIndexChanged, play, [play] { play->SectionChanged(); });
}

void PlayControls::SetStatusText(const std::string& text) {
  p_.statusLine->setText(QString::fromStdString(ShownLines(text)));
}

std::string PlayControls::SectionText() const { return p_.sections->currentText().toStdString(); }

void PlayControls::SelectSection(int entry) { p_.sections->setCurrentIndex(entry); }

void PlayControls::SetPlayEnabled(bool enabled) {
  playEnabled_ = enabled;
  p_.changed();
}

void PlayControls::SetStopEnabled(bool enabled) {
  stopEnabled_ = enabled;
  p_.changed();
}

void PlayControls::SetDefaultButton(PlaybackButton button) {
  stopIsDefault_ = button == PlaybackButton::Stop;
  p_.changed();
}

bool PlayControls::RepeatOn() const { return p_.repeat->isChecked(); }

void PlayControls::Repaint() { p_.window->repaint(); }

void PlayControls::ShowPlaying(bool playing, const std::string& status) {
  playEnabled_ = !playing;
  stopEnabled_ = playing;
  stopIsDefault_ = playing;
  SetStatusText(status);
  p_.changed();
}

}  // namespace vambrio
