// "MIDI Input" and "Sound Source" of the Options menu: the keyboard the
// Arranger listens to, and where Play and the Arranger are heard. Both are
// kept in "Sound.ini"; a chosen port that is not connected is named in the
// status bar until it is back.
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "midi/midi_ports.h"
#include "shell/main_window/frm_vambrio.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

constexpr const char* kMidiInputKey = "MidiInput";
constexpr const char* kSoundSourceKey = "SoundSource";
constexpr int kNewsPollMs = 500;
constexpr int kBackMessageMs = 5000;

QString PortWords(bool input, const std::string& port) {
  return QString(input ? "MIDI input \"%1\"" : "Sound source \"%1\"").arg(QString::fromStdString(port));
}

}  // namespace

void frmVambrio::ConnectMidiSettings() {
  ui_->mnuOptions->setToolTipsVisible(true);
  if (!services_.midi) {
    ui_->mnuMidiInput->menuAction()->setVisible(false);
    ui_->mnuSoundSource->menuAction()->setVisible(false);
    return;
  }
  connect(ui_->mnuMidiInput, &QMenu::aboutToShow, this, &frmVambrio::mnuMidiInput_Show);
  connect(ui_->mnuSoundSource, &QMenu::aboutToShow, this, &frmVambrio::mnuSoundSource_Show);
  lblMidiPorts_ = new QLabel(this);
  lblMidiPorts_->setObjectName("lblMidiPorts");
  statusBar()->addWidget(lblMidiPorts_, 1);
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, &frmVambrio::ShowMidiNews);
  poll->start(kNewsPollMs);
}

void frmVambrio::LoadMidiSettings() {
  if (!services_.midi) return;
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  services_.midi->ChooseInput(file.value(kMidiInputKey).toString().toStdString());
  const std::string source = file.value(kSoundSourceKey).toString().toStdString();
  if (!source.empty()) services_.midi->ChooseSoundSource(source);
  services_.midi->TakeNews();  // what the start-up found is shown as it stands
  ShowMidiPortState();
}

void frmVambrio::SaveMidiSettings() {
  if (services_.paths.configDir.empty() || !services_.midi) return;
  std::error_code ec;
  std::filesystem::create_directories(services_.paths.configDir, ec);
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  file.setValue(kMidiInputKey, QString::fromStdString(services_.midi->Input()));
  file.setValue(kSoundSourceKey, QString::fromStdString(services_.midi->SoundSource()));
  file.sync();
}

// Fixed entries first (value and caption), then the ports found; a chosen
// port that is not there now is listed too, marked.
void frmVambrio::FillPortMenu(QMenu* menu, const std::vector<std::pair<std::string, std::string>>& fixed,
                              const std::vector<std::string>& ports, const std::string& chosen,
                              const std::function<void(const std::string&)>& choose) {
  menu->clear();
  auto* group = new QActionGroup(menu);
  auto add = [&](const std::string& value, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    item->setChecked(value == chosen);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [choose, value] { choose(value); });
  };
  for (const auto& [value, caption] : fixed) add(value, QString::fromStdString(caption));
  menu->addSeparator();
  const std::string problem = services_.midi->Problem();
  if (!problem.empty()) menu->addAction(QString::fromStdString(problem))->setEnabled(false);
  bool chosenListed = chosen.empty();
  for (const auto& [value, caption] : fixed) chosenListed = chosenListed || value == chosen;
  for (const std::string& port : ports) {
    add(port, QString::fromStdString(port));
    chosenListed = chosenListed || port == chosen;
  }
  if (!chosenListed) add(chosen, QString::fromStdString(chosen) + " (not connected)");
}

void frmVambrio::mnuMidiInput_Show() {
  FillPortMenu(ui_->mnuMidiInput, {{"", "None"}, {platform::kVirtualInName, platform::kVirtualInName}},
               services_.midi->InputPorts(), services_.midi->Input(),
               [this](const std::string& port) { ChooseMidiInput(port); });
}

void frmVambrio::mnuSoundSource_Show() {
  FillPortMenu(ui_->mnuSoundSource, {{"", kBuiltInSynthText}, {platform::kVirtualOutName, platform::kVirtualOutName}},
               services_.midi->OutputPorts(), services_.midi->SoundSource(),
               [this](const std::string& port) { ChooseSoundSource(port); });
}

void frmVambrio::ChooseMidiInput(const std::string& port) {
  services_.midi->ChooseInput(port);
  SaveMidiSettings();
  ShowMidiPortState();
}

void frmVambrio::ChooseSoundSource(const std::string& port) {
  if (port == services_.midi->SoundSource()) return;
  if (stopEnabled_) cmdStop_Click();  // what plays stops; the next Play is heard on the new source
  if (!services_.midi->ChooseSoundSource(port)) {
    services_.messageBoxes.Show("The MIDI port \"" + port + "\" could not be opened: " + services_.midi->Problem() +
                                "\nThe built-in synthesizer plays instead.");
  }
  SaveMidiSettings();
  ShowMidiPortState();
  ShowSoundStatus();
}

// The ports chosen but not connected, named until they are back.
void frmVambrio::ShowMidiPortState() {
  QStringList away;
  const std::string input = services_.midi->Input();
  if (!input.empty() && !services_.midi->InputConnected()) away << PortWords(true, input) + " is not connected";
  const std::string source = services_.midi->SoundSource();
  if (!source.empty() && !services_.midi->SoundSourceConnected()) away << PortWords(false, source) + " is not connected";
  const QString text =
      away.isEmpty() ? QString() : away.join("; ") + " - Vambrio connects it as soon as it is there again.";
  if (lblMidiPorts_->text() != text) lblMidiPorts_->setText(text);
  if (!text.isEmpty()) statusBar()->show();
}

void frmVambrio::ShowMidiNews() {
  std::vector<MidiPortNews> news = services_.midi->TakeNews();
  if (news.empty()) return;
  for (const MidiPortNews& n : news) {
    if (n.lost) continue;
    statusBar()->show();
    statusBar()->showMessage(PortWords(n.input, n.port) + " is back.", kBackMessageMs);
  }
  ShowMidiPortState();
}

}  // namespace vambrio
