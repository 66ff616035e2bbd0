#include "shell/arranger/parts_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>

#include "midi/gm_programs.h"

namespace vambrio {
namespace {

using keyboard::Part;

constexpr std::array<const char*, keyboard::kPartCount> kKeys = {"Right1", "Right2", "Left"};
constexpr int kDefaultVolume = 100;
constexpr std::array<int, keyboard::kPartCount> kDefaultVoices = {keyboard::kDefaultRightVoice, 48, 89};  // piano, strings, pad

size_t Index(Part part) { return static_cast<size_t>(part); }

}  // namespace

void AddGmVoices(QComboBox* list) {
  for (int program = 0; program < midi::kGmProgramCount; ++program)
    list->addItem(QString("%1 %2").arg(program + 1).arg(midi::GmProgramName(program)));
}

PartsPanel::PartsPanel(keyboard::PlayerKeyboard& keyboard, QComboBox* right1Voice, std::string settingsPath, QWidget* parent)
    : QWidget(parent), keyboard_(keyboard), settingsPath_(std::move(settingsPath)) {
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(new QLabel(tr("Voice"), this), 0, 1);
  grid->addWidget(new QLabel(tr("Volume"), this), 0, 2);
  grid->addWidget(new QLabel(tr("Octave"), this), 0, 3);
  for (int p = 0; p < keyboard::kPartCount; ++p) {
    const auto part = static_cast<Part>(p);
    const QString key = kKeys[Index(part)];
    auto* on = new QCheckBox(keyboard::PartName(part), this);
    on->setObjectName("chkPart" + key);
    on->setChecked(part == Part::Right1);
    on->setToolTip(part == Part::Left ? tr("The keys at or below the split play this voice; they still name the chords")
                   : part == Part::Right2 ? tr("Layered over Right 1 above the split")
                                          : tr("The keys above the split play this voice"));
    QComboBox* voice = part == Part::Right1 ? right1Voice : new QComboBox(this);
    if (part != Part::Right1) {
      AddGmVoices(voice);
      voice->setObjectName("cboVoice" + key);
    }
    auto* volume = new QSpinBox(this);
    volume->setObjectName("spnVolume" + key);
    volume->setRange(0, 127);
    volume->setValue(kDefaultVolume);
    auto* octave = new QSpinBox(this);
    octave->setObjectName("spnOctave" + key);
    octave->setRange(-2, 2);
    grid->addWidget(on, p + 1, 0);
    grid->addWidget(voice, p + 1, 1);
    grid->addWidget(volume, p + 1, 2);
    grid->addWidget(octave, p + 1, 3);
    on_[Index(part)] = on;
    voice_[Index(part)] = voice;
    volume_[Index(part)] = volume;
    octave_[Index(part)] = octave;
    connect(on, &QCheckBox::toggled, this, [this, part] { Chosen(part); });
    // Right 1's list tells the keyboard itself (bank 0, the volume kept).
    if (part != Part::Right1) connect(voice, &QComboBox::currentIndexChanged, this, [this, part] { Chosen(part); });
    connect(volume, &QSpinBox::valueChanged, this, [this, part] { Chosen(part); });
    connect(octave, &QSpinBox::valueChanged, this, [this, part] { Chosen(part); });
  }
}

// The player chose: the part plays it (a voice chosen here is bank 0's).
void PartsPanel::Chosen(Part part) {
  const size_t i = Index(part);
  keyboard_.Router().SetPartOn(part, on_[i]->isChecked());
  keyboard_.Router().SetOctave(part, octave_[i]->value());
  keyboard::PartSound sound = keyboard_.Sound(part);
  if (sound.program != voice_[i]->currentIndex()) sound = {0, 0, voice_[i]->currentIndex(), -1};
  sound.volume = volume_[i]->value();
  keyboard_.SetSound(part, sound);
  Save();
  emit Changed();
}

void PartsPanel::Refresh() {
  for (int p = 0; p < keyboard::kPartCount; ++p) {
    const auto part = static_cast<Part>(p);
    const size_t i = Index(part);
    const keyboard::PartSound sound = keyboard_.Sound(part);
    if (sound.HasVoice() && voice_[i]->currentIndex() != sound.program) {
      const QSignalBlocker quiet(voice_[i]);
      voice_[i]->setCurrentIndex(sound.program);
    }
    if (sound.volume >= 0 && volume_[i]->value() != sound.volume) {
      const QSignalBlocker quiet(volume_[i]);
      volume_[i]->setValue(sound.volume);
    }
    if (on_[i]->isChecked() != keyboard_.Router().PartOn(part)) {
      const QSignalBlocker quiet(on_[i]);
      on_[i]->setChecked(keyboard_.Router().PartOn(part));
    }
    if (octave_[i]->value() != keyboard_.Router().Octave(part)) {
      const QSignalBlocker quiet(octave_[i]);
      octave_[i]->setValue(keyboard_.Router().Octave(part));
    }
  }
}

void PartsPanel::Load() {
  loaded_ = true;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Parts");
  for (int p = 0; p < keyboard::kPartCount; ++p) {
    const auto part = static_cast<Part>(p);
    const size_t i = Index(part);
    const QString key = kKeys[i];
    const QSignalBlocker a(on_[i]), b(voice_[i]), c(volume_[i]), d(octave_[i]);
    if (!settingsPath_.empty()) {
      on_[i]->setChecked(file.value(key + "/On", part == Part::Right1).toBool());
      if (part != Part::Right1) voice_[i]->setCurrentIndex(std::clamp(file.value(key + "/Voice", kDefaultVoices[i]).toInt(), 0, 127));
      volume_[i]->setValue(std::clamp(file.value(key + "/Volume", kDefaultVolume).toInt(), 0, 127));
      octave_[i]->setValue(std::clamp(file.value(key + "/Octave", 0).toInt(), -2, 2));
    } else if (part != Part::Right1) {
      voice_[i]->setCurrentIndex(kDefaultVoices[i]);
    }
    keyboard_.Router().SetPartOn(part, on_[i]->isChecked());
    keyboard_.Router().SetOctave(part, octave_[i]->value());
    keyboard_.SetSound(part, {0, 0, voice_[i]->currentIndex(), volume_[i]->value()});
  }
}

void PartsPanel::Save() const {
  if (settingsPath_.empty() || !loaded_) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Parts");
  for (size_t i = 0; i < keyboard::kPartCount; ++i) {
    const QString key = kKeys[i];
    file.setValue(key + "/On", on_[i]->isChecked());
    if (i != Index(Part::Right1)) file.setValue(key + "/Voice", voice_[i]->currentIndex());
    file.setValue(key + "/Volume", volume_[i]->value());
    file.setValue(key + "/Octave", octave_[i]->value());
  }
  file.endGroup();
  file.setValue("Keyboard/RightVoice", voice_[Index(Part::Right1)]->currentIndex());  // as the keyboard frame keeps it
}

}  // namespace vambrio
