// The sound source chosen by the user: "SoundFont...", "Audio Output" and
// "Audio Latency". They are kept in a settings file of their own beside
// "Vambrio.ini", which keeps exactly its two lines. The status bar counts the
// output's buffer underruns.
#include <QActionGroup>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "loading/entry.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/midi_port_menus.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

constexpr const char* kSoundFontKey = "SoundFont";
constexpr const char* kAudioOutputKey = "AudioOutput";
constexpr const char* kAudioLatencyKey = "AudioLatency";
constexpr int kUnderrunPollMs = 1000;
constexpr double kUnderrunWindowSeconds = 10;
constexpr uint64_t kUnderrunsOffered = 5;

}  // namespace

std::string frmVambrio::SoundSettingsFilePath() const {
  return (std::filesystem::path(services_.paths.configDir) / kSoundSettingsFileName).string();
}

void frmVambrio::LoadSoundSettings() {
  if (services_.paths.configDir.empty()) return;
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  soundFontChoice_ = file.value(kSoundFontKey).toString().toStdString();
  audioDriverChoice_ = file.value(kAudioOutputKey).toString().toStdString();
  latencyChoice_ = realtime::ParseLatency(file.value(kAudioLatencyKey).toString().toStdString())
                       .value_or(realtime::AudioLatency::Normal);
  services_.sound.ChooseSoundFont(soundFontChoice_);
  services_.sound.ChooseAudioDriver(audioDriverChoice_);
  services_.sound.ChooseLatency(latencyChoice_);
  CheckLatencyItem();
  if (midiMenus_) midiMenus_->Load();
  seamless_->LoadSetting();
}

void frmVambrio::SaveSoundSettings() {
  if (services_.paths.configDir.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(services_.paths.configDir, ec);
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  file.setValue(kSoundFontKey, QString::fromStdString(soundFontChoice_));
  file.setValue(kAudioOutputKey, QString::fromStdString(audioDriverChoice_));
  file.setValue(kAudioLatencyKey, QString(realtime::LatencyName(latencyChoice_)));
  file.sync();
}

void frmVambrio::ShowSoundStatus() {
  QString missing = QString::fromStdString(services_.sound.MissingSoundFontText());
  const bool onPort = services_.midi && !services_.midi->SoundSource().empty();
  if (services_.sound.SoundFont().empty() && !onPort) {
    ui_->lblStatus->setText(missing);
  } else if (ui_->lblStatus->text() == missing) {
    ui_->lblStatus->setText(model_.StyleFileName.empty() ? QString() : QString(kReadyText));
  }
}

void frmVambrio::mnuSoundFont_Click() {
  std::string start = soundFontChoice_.empty() ? services_.sound.SoundFont() : soundFontChoice_;
  std::optional<std::string> chosen = services_.fileDialogs.OpenSoundFont(start);
  if (!chosen) return;
  soundFontChoice_ = *chosen;
  services_.sound.ChooseSoundFont(soundFontChoice_);
  SaveSoundSettings();
  ShowSoundStatus();
}

void frmVambrio::mnuAudioOutput_Show() {
  QMenu* menu = ui_->mnuAudioOutput;
  menu->clear();
  if (!driverGroup_) driverGroup_ = new QActionGroup(this);
  std::string current = services_.sound.AudioDriver();
  for (const std::string& driver : services_.sound.AudioDrivers()) {
    QAction* item = menu->addAction(QString::fromStdString(driver));
    item->setCheckable(true);
    item->setChecked(driver == current);
    driverGroup_->addAction(item);
    connect(item, &QAction::triggered, this, [this, driver] {
      audioDriverChoice_ = driver;
      services_.sound.ChooseAudioDriver(driver);
      SaveSoundSettings();
    });
  }
  if (menu->isEmpty()) menu->addAction("(none available)")->setEnabled(false);
}

void frmVambrio::ConnectSoundSettings() {
  auto* group = new QActionGroup(this);
  const std::pair<QAction*, realtime::AudioLatency> items[] = {{ui_->mnuLatencyLow, realtime::AudioLatency::Low},
                                                               {ui_->mnuLatencyNormal, realtime::AudioLatency::Normal},
                                                               {ui_->mnuLatencySafe, realtime::AudioLatency::Safe}};
  for (auto [item, latency] : items) {
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, latency = latency] { mnuAudioLatency_Choose(latency); });
  }
  ui_->mnuAudioLatency->setToolTipsVisible(true);

  lblUnderruns_ = new QLabel(this);
  lblUnderruns_->setObjectName("lblUnderruns");
  statusBar()->addPermanentWidget(lblUnderruns_);
  statusBar()->hide();
  SetUpMidiPortMenus();
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, &frmVambrio::ShowUnderruns);
  poll->start(kUnderrunPollMs);
}

void frmVambrio::CheckLatencyItem() {
  ui_->mnuLatencyLow->setChecked(latencyChoice_ == realtime::AudioLatency::Low);
  ui_->mnuLatencyNormal->setChecked(latencyChoice_ == realtime::AudioLatency::Normal);
  ui_->mnuLatencySafe->setChecked(latencyChoice_ == realtime::AudioLatency::Safe);
}

void frmVambrio::mnuAudioLatency_Choose(realtime::AudioLatency latency) {
  latencyChoice_ = latency;
  services_.sound.ChooseLatency(latency);
  CheckLatencyItem();
  SaveSoundSettings();
}

void frmVambrio::ShowUnderruns() {
  uint64_t count = services_.sound.Underruns();
  if (count == 0) return;
  lblUnderruns_->setText(QString("Audio buffer underruns: %1 (Options > Audio Latency: a longer latency helps)")
                             .arg(static_cast<qulonglong>(count)));
  statusBar()->show();
  OfferSaferLatency(count);
}

// When underruns pile up (more than kUnderrunsOffered in kUnderrunWindowSeconds),
// one click on the status line takes the next safer latency; it is never
// changed unasked.
void frmVambrio::OfferSaferLatency(uint64_t count) {
  const double now = services_.clock.Seconds();
  underrunTimes_.push_back({now, count});
  while (!underrunTimes_.empty() && underrunTimes_.front().first < now - kUnderrunWindowSeconds)
    underrunTimes_.pop_front();
  const bool piling = count - underrunTimes_.front().second > kUnderrunsOffered;
  const bool safer = latencyChoice_ != realtime::AudioLatency::Safe;
  if (!cmdSaferLatency_) {
    cmdSaferLatency_ = new QPushButton(this);
    cmdSaferLatency_->setObjectName("cmdSaferLatency");
    cmdSaferLatency_->setFlat(true);
    statusBar()->addPermanentWidget(cmdSaferLatency_);
    connect(cmdSaferLatency_, &QPushButton::clicked, this, [this] {
      mnuAudioLatency_Choose(latencyChoice_ == realtime::AudioLatency::Low ? realtime::AudioLatency::Normal
                                                                          : realtime::AudioLatency::Safe);
      underrunTimes_.clear();
      cmdSaferLatency_->hide();
    });
  }
  const auto next = latencyChoice_ == realtime::AudioLatency::Low ? realtime::AudioLatency::Normal
                                                                  : realtime::AudioLatency::Safe;
  cmdSaferLatency_->setText(QString("Use \"%1\" latency").arg(realtime::LatencyName(next)));
  cmdSaferLatency_->setVisible(piling && safer);
}

void frmVambrio::SetUpMidiPortMenus() {
  ui_->mnuOptions->setToolTipsVisible(true);
  if (!services_.midi) {
    ui_->mnuMidiInput->menuAction()->setVisible(false);
    ui_->mnuSoundSource->menuAction()->setVisible(false);
    return;
  }
  midiMenus_ = new MidiPortMenus(
      MidiPortMenus::Parts{*services_.midi, ui_->mnuMidiInput, ui_->mnuSoundSource, statusBar(), services_.messageBoxes,
                           services_.paths.configDir, SoundSettingsFilePath(),
                           [this] {
                             if (stopEnabled_) cmdStop_Click();
                           },
                           [this] { ShowSoundStatus(); }},
      this);
}

void frmVambrio::ShowMidiNews() {
  if (midiMenus_) midiMenus_->ShowNews();
}

}  // namespace vambrio
