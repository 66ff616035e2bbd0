#include "shell/main_window/midi_port_menus.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "midi/midi_ports.h"

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

MidiPortMenus::MidiPortMenus(Parts parts, QObject* owner) : QObject(owner), p_(std::move(parts)) {
  connect(p_.inputMenu, &QMenu::aboutToShow, this, [this] {
    FillPortMenu(p_.inputMenu, {{"", "None"}, {platform::kVirtualInName, platform::kVirtualInName}},
                 p_.midi.InputPorts(), p_.midi.Input(), [this](const std::string& port) { ChooseInput(port); });
  });
  connect(p_.sourceMenu, &QMenu::aboutToShow, this, [this] {
    FillPortMenu(p_.sourceMenu, {{"", kBuiltInSynthText}, {platform::kVirtualOutName, platform::kVirtualOutName}},
                 p_.midi.OutputPorts(), p_.midi.SoundSource(),
                 [this](const std::string& port) { ChooseSoundSource(port); });
  });
  lblMidiPorts_ = new QLabel(p_.statusBar);
  lblMidiPorts_->setObjectName("lblMidiPorts");
  p_.statusBar->addWidget(lblMidiPorts_, 1);
  auto* poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, &MidiPortMenus::ShowNews);
  poll->start(kNewsPollMs);
}

void MidiPortMenus::Load() {
  QSettings file(QString::fromStdString(p_.settingsFile), QSettings::IniFormat);
  p_.midi.ChooseInput(file.value(kMidiInputKey).toString().toStdString());
  const std::string source = file.value(kSoundSourceKey).toString().toStdString();
  if (!source.empty()) p_.midi.ChooseSoundSource(source);
  p_.midi.TakeNews();  // what the start-up found is shown as it stands
  ShowPortState();
}

void MidiPortMenus::Save() {
  if (p_.configDir.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(p_.configDir, ec);
  QSettings file(QString::fromStdString(p_.settingsFile), QSettings::IniFormat);
  file.setValue(kMidiInputKey, QString::fromStdString(p_.midi.Input()));
  file.setValue(kSoundSourceKey, QString::fromStdString(p_.midi.SoundSource()));
  file.sync();
}

// Fixed entries first (value and caption), then the ports found; a chosen
// port that is not there now is listed too, marked.
void MidiPortMenus::FillPortMenu(QMenu* menu, const std::vector<std::pair<std::string, std::string>>& fixed,
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
  const std::string problem = p_.midi.Problem();
  if (!problem.empty()) menu->addAction(QString::fromStdString(problem))->setEnabled(false);
  bool chosenListed = chosen.empty();
  for (const auto& [value, caption] : fixed) chosenListed = chosenListed || value == chosen;
  for (const std::string& port : ports) {
    add(port, QString::fromStdString(port));
    chosenListed = chosenListed || port == chosen;
  }
  if (!chosenListed) add(chosen, QString::fromStdString(chosen) + " (not connected)");
}

void MidiPortMenus::ChooseInput(const std::string& port) {
  p_.midi.ChooseInput(port);
  Save();
  ShowPortState();
}

void MidiPortMenus::ChooseSoundSource(const std::string& port) {
  if (port == p_.midi.SoundSource()) return;
  p_.stopPlaying();  // what plays stops; the next Play is heard on the new source
  if (!p_.midi.ChooseSoundSource(port)) {
    p_.messageBoxes.Show("The MIDI port \"" + port + "\" could not be opened: " + p_.midi.Problem() +
                                "\nThe built-in synthesizer plays instead.");
  }
  Save();
  ShowPortState();
  p_.sourceChanged();
}

// The ports chosen but not connected, named until they are back.
void MidiPortMenus::ShowPortState() {
  QStringList away;
  const std::string input = p_.midi.Input();
  if (!input.empty() && !p_.midi.InputConnected()) away << PortWords(true, input) + " is not connected";
  const std::string source = p_.midi.SoundSource();
  if (!source.empty() && !p_.midi.SoundSourceConnected()) away << PortWords(false, source) + " is not connected";
  const QString text =
      away.isEmpty() ? QString() : away.join("; ") + " - Vambrio connects it as soon as it is there again.";
  if (lblMidiPorts_->text() != text) lblMidiPorts_->setText(text);
  if (!text.isEmpty()) p_.statusBar->show();
}

void MidiPortMenus::ShowNews() {
  std::vector<MidiPortNews> news = p_.midi.TakeNews();
  if (news.empty()) return;
  for (const MidiPortNews& n : news) {
    if (n.lost) continue;
    p_.statusBar->show();
    p_.statusBar->showMessage(PortWords(n.input, n.port) + " is back.", kBackMessageMs);
  }
  ShowPortState();
}

}  // namespace vambrio
