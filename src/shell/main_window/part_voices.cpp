#include "shell/main_window/part_voices.h"

#include <QCheckBox>
#include <QMenu>
#include <QStatusBar>

#include "shell/voices/voice_options.h"

namespace vambrio {
namespace {

constexpr int kStandInMessageMs = 10000;

}  // namespace

PartVoices::PartVoices(Parts parts, QObject* owner) : QObject(owner), p_(std::move(parts)) {}

void PartVoices::SetOptions(VoiceOptions* options) {
  options_ = options;
  if (!options) return;
  p_.optionsMenu->addSeparator();
  options->AddTo(p_.optionsMenu);
  connect(options, &VoiceOptions::Changed, this, [this] { Show(false); });
  Show(false);
}

void PartVoices::StyleLoaded(const StyleModel& style) {
  use_ = std::make_shared<const voices::StyleVoiceUse>(voices::GatherVoiceUse(style));
  Show(true);
}

// The map of the sound source chosen: the built-in synthesizer's SoundFont,
// or the synthesizer on a MIDI port.
void PartVoices::Show(bool announceStandIns) {
  const platform::VoiceChoices choices = options_ ? options_->Choices() : platform::VoiceChoices{};
  const bool onPort = p_.midi && !p_.midi->SoundSource().empty();
  std::shared_ptr<const voices::VoiceMap> map;
  if (use_) map = onPort ? maps_.ForPort(use_, choices) : maps_.ForSynth(use_, p_.sound.SoundFont(), choices);
  for (int part = 0; part < 8; ++part) {
    const std::string text = use_ ? platform::PartVoiceText(map.get(), *use_, part) : std::string();
    p_.partSwitches[static_cast<size_t>(part)]->setToolTip(QString::fromStdString(text));
  }
  if (!announceStandIns || !map || onPort) return;
  if (const std::string text = platform::StandInText(*map); !text.empty()) {
    p_.statusBar->show();
    p_.statusBar->showMessage(QString::fromStdString(text) + ".", kStandInMessageMs);
  }
}

}  // namespace vambrio
