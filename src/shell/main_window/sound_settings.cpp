#include "shell/main_window/sound_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "loading/entry.h"

namespace vambrio {
namespace {

constexpr const char* kSoundFontKey = "SoundFont";
constexpr const char* kAudioOutputKey = "AudioOutput";
constexpr const char* kAudioLatencyKey = "AudioLatency";
constexpr int kUnderrunPollMs = 1000;
constexpr double kUnderrunWindowSeconds = 10;
constexpr uint64_t kUnderrunsOffered = 5;
constexpr realtime::AudioLatency kLatencies[] = {realtime::AudioLatency::Low, realtime::AudioLatency::Normal,
                                                 realtime::AudioLatency::Safe};

realtime::AudioLatency SaferThan(realtime::AudioLatency latency) {
  return latency == realtime::AudioLatency::Low ? realtime::AudioLatency::Normal : realtime::AudioLatency::Safe;
}

}  // namespace

SoundSettings::SoundSettings(Parts parts, QObject* owner) : QObject(owner), p_(std::move(parts)) {
  connect(p_.soundFontItem, &QAction::triggered, this, &SoundSettings::ChooseSoundFont);
  connect(p_.outputMenu, &QMenu::aboutToShow, this, &SoundSettings::FillOutputMenu);
  auto* group = new QActionGroup(this);
  for (size_t i = 0; i < p_.latencyItems.size(); ++i) {
    group->addAction(p_.latencyItems[i]);
    connect(p_.latencyItems[i], &QAction::triggered, this, [this, latency = kLatencies[i]] { ChooseLatency(latency); });
  }
  p_.latencyMenu->setToolTipsVisible(true);

  lblUnderruns_ = new QLabel(p_.statusBar);
  lblUnderruns_->setObjectName("lblUnderruns");
  p_.statusBar->addPermanentWidget(lblUnderruns_);
  p_.statusBar->hide();
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, &SoundSettings::ShowUnderruns);
  poll->start(kUnderrunPollMs);
}

void SoundSettings::Load() {
  if (p_.configDir.empty()) return;
  QSettings file(QString::fromStdString(p_.settingsFile), QSettings::IniFormat);
  soundFontChoice_ = file.value(kSoundFontKey).toString().toStdString();
  audioDriverChoice_ = file.value(kAudioOutputKey).toString().toStdString();
  latency_ = realtime::ParseLatency(file.value(kAudioLatencyKey).toString().toStdString())
                 .value_or(realtime::AudioLatency::Normal);
  p_.sound.ChooseSoundFont(soundFontChoice_);
  p_.sound.ChooseAudioDriver(audioDriverChoice_);
  p_.sound.ChooseLatency(latency_);
  CheckLatencyItem();
}

void SoundSettings::Save() {
  if (p_.configDir.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(p_.configDir, ec);
  QSettings file(QString::fromStdString(p_.settingsFile), QSettings::IniFormat);
  file.setValue(kSoundFontKey, QString::fromStdString(soundFontChoice_));
  file.setValue(kAudioOutputKey, QString::fromStdString(audioDriverChoice_));
  file.setValue(kAudioLatencyKey, QString(realtime::LatencyName(latency_)));
  file.sync();
}

bool SoundSettings::SoundFontMissing() const {
  const bool onPort = p_.midi && !p_.midi->SoundSource().empty();
  return p_.sound.SoundFont().empty() && !onPort;
}

void SoundSettings::ShowStatus() {
  const QString missing = QString::fromStdString(p_.sound.MissingSoundFontText());
  if (SoundFontMissing()) {
    p_.statusLine->setText(missing);
  } else if (p_.statusLine->text() == missing) {
    p_.statusLine->setText(p_.styleLoaded() ? QString(kReadyText) : QString());
  }
}

void SoundSettings::ChooseSoundFont() {
  const std::string start = soundFontChoice_.empty() ? p_.sound.SoundFont() : soundFontChoice_;
  const std::optional<std::string> chosen = p_.fileDialogs.OpenSoundFont(start);
  if (!chosen) return;
  soundFontChoice_ = *chosen;
  p_.sound.ChooseSoundFont(soundFontChoice_);
  Save();
  ShowStatus();
}

void SoundSettings::FillOutputMenu() {
  QMenu* menu = p_.outputMenu;
  menu->clear();
  if (!driverGroup_) driverGroup_ = new QActionGroup(this);
  const std::string current = p_.sound.AudioDriver();
  for (const std::string& driver : p_.sound.AudioDrivers()) {
    QAction* item = menu->addAction(QString::fromStdString(driver));
    item->setCheckable(true);
    item->setChecked(driver == current);
    driverGroup_->addAction(item);
    connect(item, &QAction::triggered, this, [this, driver] {
      audioDriverChoice_ = driver;
      p_.sound.ChooseAudioDriver(driver);
      Save();
    });
  }
  if (menu->isEmpty()) menu->addAction("(none available)")->setEnabled(false);
}

void SoundSettings::CheckLatencyItem() {
  for (size_t i = 0; i < p_.latencyItems.size(); ++i) p_.latencyItems[i]->setChecked(latency_ == kLatencies[i]);
}

void SoundSettings::ChooseLatency(realtime::AudioLatency latency) {
  latency_ = latency;
  p_.sound.ChooseLatency(latency);
  CheckLatencyItem();
  Save();
}

void SoundSettings::ShowUnderruns() {
  const uint64_t count = p_.sound.Underruns();
  if (count == 0) return;
  lblUnderruns_->setText(QString("Audio buffer underruns: %1 (Options > Audio Latency: a longer latency helps)")
                             .arg(static_cast<qulonglong>(count)));
  p_.statusBar->show();
  OfferSaferLatency(count);
}

// When underruns pile up (more than kUnderrunsOffered in kUnderrunWindowSeconds),
// one click on the status line takes the next safer latency; it is never
// changed unasked.
void SoundSettings::OfferSaferLatency(uint64_t count) {
  const double now = p_.clock.Seconds();
  underrunTimes_.push_back({now, count});
  while (!underrunTimes_.empty() && underrunTimes_.front().first < now - kUnderrunWindowSeconds)
    underrunTimes_.pop_front();
  const bool piling = count - underrunTimes_.front().second > kUnderrunsOffered;
  const bool safer = latency_ != realtime::AudioLatency::Safe;
  if (!cmdSaferLatency_) {
    cmdSaferLatency_ = new QPushButton(p_.statusBar);
    cmdSaferLatency_->setObjectName("cmdSaferLatency");
    cmdSaferLatency_->setFlat(true);
    p_.statusBar->addPermanentWidget(cmdSaferLatency_);
    connect(cmdSaferLatency_, &QPushButton::clicked, this, [this] {
      ChooseLatency(SaferThan(latency_));
      underrunTimes_.clear();
      cmdSaferLatency_->hide();
    });
  }
  cmdSaferLatency_->setText(QString("Use \"%1\" latency").arg(realtime::LatencyName(SaferThan(latency_))));
  cmdSaferLatency_->setVisible(piling && safer);
}

}  // namespace vambrio
