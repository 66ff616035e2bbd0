#include "shell/voices/voice_options.h"

#include <QActionGroup>
#include <QMenu>
#include <QSettings>
#include <filesystem>
#include <functional>

namespace vambrio {
namespace {

constexpr const char* kMapKey = "Voices/Map";                  // "SoundFont" or "AsWritten"
constexpr const char* kKeyboardBanksKey = "Voices/KeyboardBanks";
constexpr const char* kNoiseKey = "Voices/NoiseNotes";          // "Play" or "LeaveOut"
constexpr const char* kGeneralMidiPortKey = "Voices/GeneralMidiPort";

using Choices = platform::VoiceChoices;

// One checkable item: its caption, tool tip, whether the choices check it
// and how checking it changes them.
struct Item {
  const char* caption;
  const char* tip;
  std::function<bool(const Choices&)> checked;
  std::function<void(Choices&, bool)> set;
};

QAction* AddItem(QMenu* menu, VoiceOptions* options, const Item& item, QActionGroup* group = nullptr) {
  QAction* action = menu->addAction(item.caption);
  action->setCheckable(true);
  action->setToolTip(item.tip);
  if (group) group->addAction(action);
  auto show = [options, action, checked = item.checked] { action->setChecked(checked(options->Choices())); };
  show();
  QObject::connect(options, &VoiceOptions::Changed, action, show);
  QObject::connect(action, &QAction::triggered, options, [options, set = item.set](bool on) {
    Choices c = options->Choices();
    set(c, on);
    options->Choose(c);
  });
  return action;
}

}  // namespace

VoiceOptions::VoiceOptions(std::string settingsPath) : settingsPath_(std::move(settingsPath)) {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  choices_.asWritten = file.value(kMapKey).toString() == "AsWritten";
  choices_.soundFontHasKeyboardBanks = file.value(kKeyboardBanksKey, false).toBool();
  choices_.noise = file.value(kNoiseKey).toString() == "LeaveOut" ? voices::NoiseNotes::LeaveOut
                                                                   : voices::NoiseNotes::PlayAsEffects;
  choices_.generalMidiPort = file.value(kGeneralMidiPortKey, false).toBool();
}

void VoiceOptions::Choose(const platform::VoiceChoices& choices) {
  if (choices == choices_) return;
  choices_ = choices;
  Save();
  emit Changed();
}

void VoiceOptions::Save() const {
  if (settingsPath_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(settingsPath_).parent_path(), ec);
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.setValue(kMapKey, choices_.asWritten ? "AsWritten" : "SoundFont");
  file.setValue(kKeyboardBanksKey, choices_.soundFontHasKeyboardBanks);
  file.setValue(kNoiseKey, choices_.noise == voices::NoiseNotes::LeaveOut ? "LeaveOut" : "Play");
  file.setValue(kGeneralMidiPortKey, choices_.generalMidiPort);
  file.sync();
}

void VoiceOptions::AddTo(QMenu* menu) {
  menu->setToolTipsVisible(true);
  QMenu* voicesMenu = menu->addMenu("&Voices");
  voicesMenu->setObjectName("mnuVoices");
  voicesMenu->setToolTipsVisible(true);
  auto* mapGroup = new QActionGroup(voicesMenu);
  AddItem(voicesMenu, this,
          {"Map to this SoundFont",
           "Each voice the style asks for plays on the SoundFont's nearest instrument, its articulations included",
           [](const platform::VoiceChoices& c) { return !c.asWritten; }, [](platform::VoiceChoices& c, bool) { c.asWritten = false; }},
          mapGroup)->setObjectName("mnuVoicesMapped");
  AddItem(voicesMenu, this,
          {"As written", "The style's bank and program changes reach the synthesizer as they stand",
           [](const platform::VoiceChoices& c) { return c.asWritten; }, [](platform::VoiceChoices& c, bool) { c.asWritten = true; }},
          mapGroup)->setObjectName("mnuVoicesAsWritten");
  voicesMenu->addSeparator();
  AddItem(voicesMenu, this,
          {"This SoundFont has the keyboards' voice banks",
           "The SoundFont holds the keyboards' own voice banks: a voice it has plays from its own bank",
           [](const platform::VoiceChoices& c) { return c.soundFontHasKeyboardBanks; },
           [](platform::VoiceChoices& c, bool on) { c.soundFontHasKeyboardBanks = on; }})
      ->setObjectName("mnuKeyboardBanks");
  QMenu* noiseMenu = voicesMenu->addMenu("&Noise Notes");
  noiseMenu->setObjectName("mnuNoiseNotes");
  auto* noiseGroup = new QActionGroup(noiseMenu);
  AddItem(noiseMenu, this,
          {"Play as effects", "Strum, fret and breath noises (notes 96 and up) play as a General MIDI effect",
           [](const platform::VoiceChoices& c) { return c.noise == voices::NoiseNotes::PlayAsEffects; },
           [](platform::VoiceChoices& c, bool) { c.noise = voices::NoiseNotes::PlayAsEffects; }},
          noiseGroup)->setObjectName("mnuNoisePlay");
  AddItem(noiseMenu, this,
          {"Leave out", "Noise notes (96 and up) of articulated voices are not played",
           [](const platform::VoiceChoices& c) { return c.noise == voices::NoiseNotes::LeaveOut; },
           [](platform::VoiceChoices& c, bool) { c.noise = voices::NoiseNotes::LeaveOut; }},
          noiseGroup)->setObjectName("mnuNoiseLeaveOut");
  voicesMenu->addSeparator();
  AddItem(voicesMenu, this,
          {"General MIDI synthesizer",
           "The synthesizer on the MIDI port chosen as sound source is a General MIDI one: the voices are mapped "
           "for it as for a SoundFont, articulations on the channels 2-8 the style leaves free",
           [](const platform::VoiceChoices& c) { return c.generalMidiPort; }, [](platform::VoiceChoices& c, bool on) { c.generalMidiPort = on; }})
      ->setObjectName("mnuGeneralMidiPort");
}

}  // namespace vambrio
