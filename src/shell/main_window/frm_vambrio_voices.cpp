// The voices of the loaded style: the Options menu's voice choices (shared
// with the Arranger window), the part switches' tool tips naming the voice
// each part asks for and what plays it, and the status line's word, once
// per style, when voices are played by stand-ins.
#include <QCheckBox>
#include <QMenu>
#include <QStatusBar>

#include "loading/entry.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/voices/voice_options.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

constexpr int kStandInMessageMs = 10000;

}  // namespace

void frmVambrio::SetVoiceOptions(VoiceOptions* options) {
  voiceOptions_ = options;
  if (!options) return;
  ui_->mnuOptions->addSeparator();
  options->AddTo(ui_->mnuOptions);
  connect(options, &VoiceOptions::Changed, this, [this] { ShowVoices(false); });
  ShowVoices(false);
}

void frmVambrio::GatherVoices(const EntryResult& r) {
  if (r.outcome != EntryResult::Outcome::Loaded) {
    voiceUse_.reset();
  } else {
    voiceUse_ = std::make_shared<const voices::StyleVoiceUse>(voices::GatherVoiceUse(model_));
  }
  ShowVoices(true);
}

// The map of the sound source chosen: the built-in synthesizer's SoundFont,
// or the synthesizer on a MIDI port.
void frmVambrio::ShowVoices(bool announceStandIns) {
  const platform::VoiceChoices choices = voiceOptions_ ? voiceOptions_->Choices() : platform::VoiceChoices{};
  const bool onPort = services_.midi && !services_.midi->SoundSource().empty();
  std::shared_ptr<const voices::VoiceMap> map;
  if (voiceUse_) {
    map = onPort ? voiceMap_.ForPort(voiceUse_, choices)
                 : voiceMap_.ForSynth(voiceUse_, services_.sound.SoundFont(), choices);
  }
  for (int part = 0; part < 8; ++part) {
    const std::string text = voiceUse_ ? platform::PartVoiceText(map.get(), *voiceUse_, part) : std::string();
    PartBox(part)->setToolTip(QString::fromStdString(text));
  }
  if (!announceStandIns || !map || onPort) return;
  if (const std::string text = platform::StandInText(*map); !text.empty()) {
    statusBar()->show();
    statusBar()->showMessage(QString::fromStdString(text) + ".", kStandInMessageMs);
  }
}

}  // namespace vambrio
