#include "shell/arranger/frm_arranger.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QLabel>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "shell/arranger/chart_editor.h"
#include "shell/arranger/kept_chord.h"
#include "shell/arranger/record_panel.h"
#include "shell/common/shown_q.h"
#include "ui_frm_arranger.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr int kRefreshMs = 40;
constexpr int kBlinkRefreshes = 6;  // the queued button changes every quarter second

const char* const kPlayingLook = "background-color: #3c9a3c; color: white; font-weight: bold;";
const char* const kQueuedLook = "background-color: #e0a020; color: black; font-weight: bold;";

}  // namespace

frmArranger::frmArranger(ArrangerService& service, platform::ChartDialogs& dialogs, live::ChosenChord& chord,
                         std::string settingsPath, QWidget* parent)
    : QMainWindow(parent),
      ui_(std::make_unique<Ui::frmArranger>()),
      service_(service),
      dialogs_(dialogs),
      settingsPath_(std::move(settingsPath)),
      chord_(chord) {
  ui_->setupUi(this);
  QFont big = ui_->lblChord->font();
  big.setPointSize(big.pointSize() * 3);
  big.setBold(true);
  ui_->lblChord->setFont(big);
  QFont position = ui_->lblPosition->font();
  position.setPointSize(position.pointSize() * 2);
  ui_->lblPosition->setFont(position);
  // The song's bar beside Bar.Beat, in a room of its own so that nothing moves.
  lblSongBar_ = new QLabel(this);
  lblSongBar_->setObjectName("lblSongBar");
  lblSongBar_->setMinimumWidth(lblSongBar_->fontMetrics().horizontalAdvance("chart bar 8888 "));
  for (auto* box : findChildren<QBoxLayout*>())
    if (const int at = box->indexOf(ui_->lblPosition); at >= 0) box->insertWidget(at + 1, lblSongBar_);
  QFont name = ui_->lblStyleName->font();
  name.setPointSize(name.pointSize() + 3);
  name.setBold(true);
  ui_->lblStyleName->setFont(name);
  // The pad's buttons may be narrower than a dialog button's usual width.
  for (QPushButton* button : ui_->fraChord->findChildren<QPushButton*>()) button->setMinimumWidth(44);
  for (QPushButton* button : ui_->fraSections->findChildren<QPushButton*>()) button->setMinimumWidth(44);
  resize(1180, 620);
  ui_->fraChart->setMaximumWidth(440);
  record_ = new RecordPanel(service_, dialogs_, this);
  ui_->layout_transport->addWidget(record_);
  MakeStagePanels();
  FillChordLists();
  MakeSongControls();
  ui_->fraKeyboard->hide();  // shown once a keyboard is given
  ShowChosenChord();
  ConnectControls();
  MakeShortcuts();
  LoadSettings();
  ShowSections();
  refresh_ = new QTimer(this);
  connect(refresh_, &QTimer::timeout, this, &frmArranger::Refresh);
  refresh_->start(kRefreshMs);
}

frmArranger::~frmArranger() {
  if (exporter_.joinable()) exporter_.join();
}

void frmArranger::FillChordLists() {
  for (int type = 0; type < kChordTypeCount; ++type) ui_->cboChordType->addItem(ChordTypeCaption(type));
  ui_->cboBass->addItem("(root)");
  for (int pc = 0; pc < 12; ++pc) ui_->cboBass->addItem(QString("/") + RootName(pc));
  chartHighlighter_ = SetUpChartEditor(ui_->txtChart);
  // The chart's status on a line of its own under the progress bar, whatever its length.
  for (auto* box : findChildren<QBoxLayout*>()) {
    const int at = box->indexOf(static_cast<QLayoutItem*>(ui_->layout_export));
    if (at < 0) continue;
    ui_->layout_export->removeWidget(ui_->lblChartStatus);
    box->insertWidget(at + 1, ui_->lblChartStatus);
    break;
  }
  ShowWholeInToolTip(ui_->lblChartStatus, QString());
  ui_->txtChart->setPlaceholderText("[Main A] C Am | F G7 |\n[Ending A] C |");
}

void frmArranger::ConnectControls() {
  connect(ui_->cmdStartStop, &QPushButton::clicked, this, &frmArranger::cmdStartStop_Click);
  connect(ui_->chkSyncStart, &QCheckBox::clicked, this, [this](bool on) {
    if (LearnInstead(keyboard::Control::SyncStart)) return ui_->chkSyncStart->setChecked(!on);
    Send(Kind::SyncStart, on ? 1 : 0);
  });
  // In learn mode a click arms Auto Fill and leaves the box as it was.
  connect(ui_->chkAutoFill, &QCheckBox::clicked, this, [this](bool on) {
    if (!LearnInstead(keyboard::Control::AutoFill)) return;
    const QSignalBlocker quiet(ui_->chkAutoFill);
    ui_->chkAutoFill->setChecked(!on);
  });
  connect(ui_->chkAutoFill, &QCheckBox::toggled, this, [this](bool on) {
    if (!Learning()) Send(Kind::AutoFill, on ? 1 : 0);
  });
  connect(ui_->cmdTap, &QPushButton::clicked, this, [this] {
    Tap(std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
  });
  connect(ui_->spnTempo, &QSpinBox::valueChanged, this, [this](int bpm) {
    live::LiveCommand c = live::Command(Kind::Tempo);
    c.tempo = static_cast<uint32_t>(std::lround(60'000'000.0 / bpm));
    service_.Send(c);
  });
  for (const live::ControlRow& row : live::kControls) {
    if (row.button == live::Button::None) continue;
    connect(SectionButton(row.control), &QPushButton::clicked, this, [this, c = row.control] { SectionButton_Click(c); });
  }
  for (int pc = 0; pc < 12; ++pc)
    connect(findChild<QPushButton*>(QString("cmdRoot%1").arg(pc)), &QPushButton::clicked, this,
            [this, pc] { Root_Click(pc); });
  const std::pair<const char*, const char*> types[] = {{"cmdTypeMaj", ""},     {"cmdTypeMin", "m"},   {"cmdTypeSeven", "7"},
                                                       {"cmdTypeMin7", "m7"},  {"cmdTypeMaj7", "Maj7"}, {"cmdTypeSix", "6"},
                                                       {"cmdTypeSus4", "sus4"}, {"cmdTypeDim", "dim"}, {"cmdTypeAug", "aug"},
                                                       {"cmdTypeMin7b5", "m7b5"}};
  for (auto [button, typeName] : types) {
    const int type = ParseChordType(typeName).value_or(0);
    connect(findChild<QPushButton*>(button), &QPushButton::clicked, this, [this, type] { Type_Click(type); });
  }
  connect(ui_->cboChordType, &QComboBox::activated, this, [this](int type) { Type_Click(type); });
  connect(ui_->cboBass, &QComboBox::activated, this, [this](int) { SendChord(); });
  connect(ui_->cmdNoChord, &QPushButton::clicked, this, &frmArranger::NoChord_Click);
  for (int part = 0; part < 8; ++part) {
    auto* box = findChild<QCheckBox*>(QString("chkPart%1").arg(part));
    connect(box, &QCheckBox::toggled, this, [this, part](bool on) { Send(Kind::Part, part, on); });
  }
  connect(ui_->cmdPlayChart, &QPushButton::clicked, this, &frmArranger::cmdPlayChart_Click);
  connect(ui_->cmdOpenChart, &QPushButton::clicked, this, &frmArranger::cmdOpenChart_Click);
  connect(ui_->cmdSaveChart, &QPushButton::clicked, this, &frmArranger::cmdSaveChart_Click);
  connect(ui_->cmdExportMidi, &QPushButton::clicked, this, [this] { Export("mid"); });
  connect(ui_->cmdExportWav, &QPushButton::clicked, this, [this] { Export("wav"); });
}

QPushButton* frmArranger::SectionButton(live::Control control) const {
  return findChild<QPushButton*>(QString("cmd%1").arg(live::ControlName(control)));
}

bool frmArranger::OpenStyle(const std::string& path) {
  ArrangerStyle style;
  std::string problem = service_.OpenStyle(path, style);
  if (!problem.empty()) {
    dialogs_.Show(problem);
    return false;
  }
  style_ = style;
  buttons_ = live::SectionButtons::Of(style_.sections);
  ShowSections();
  StageStyleOpened();
  ui_->spnTempo->blockSignals(true);
  ui_->spnTempo->setValue(static_cast<int>(std::lround(style_.tempoQpm)));
  ui_->spnTempo->blockSignals(false);
  // The window's choices hold for the new style too.
  Send(Kind::AutoFill, ui_->chkAutoFill->isChecked() ? 1 : 0);
  for (int part = 0; part < 8; ++part)
    Send(Kind::Part, part, findChild<QCheckBox*>(QString("chkPart%1").arg(part))->isChecked());
  service_.Send(chord_.Command());
  ShowPartVoices();
  return true;
}

// The buttons of the sections the style has; the others are disabled.
void frmArranger::ShowSections() {
  const bool loaded = !style_.path.empty();
  ui_->lblStyleName->setText(loaded ? ShownQ(style_.name) : QString("No style: open one in the main window"));
  setWindowTitle(loaded ? QString("Arranger - %1").arg(ShownFileName(style_.path))
                        : QString("Arranger"));
  for (const live::ControlRow& row : live::kControls)
    if (row.button != live::Button::None) SectionButton(row.control)->setEnabled(buttons_.SectionOf(row.control) >= 0);
  ui_->cmdStartStop->setEnabled(loaded);
  ui_->chkSyncStart->setEnabled(loaded);
  for (QPushButton* b : {ui_->cmdPlayChart, ui_->cmdExportMidi, ui_->cmdExportWav}) b->setEnabled(loaded);
}

void frmArranger::Send(Kind kind, int value, bool on) {
  live::LiveCommand c = live::Command(kind, value, on);
  if (!service_.Send(c) && !service_.Problem().empty())
    statusBar()->showMessage(ShownQ(service_.Problem()));
}

void frmArranger::cmdStartStop_Click() {
  if (LearnInstead(keyboard::Control::StartStop)) return;
  chartPlaying_ = false;
  Send(Kind::StartStop);
}

void frmArranger::SectionButton_Click(live::Control control) {
  if (LearnInstead(control)) return;
  const live::ControlRow& row = live::RowOf(control);
  Send(row.command, row.variation);
}

void frmArranger::Root_Click(int pitchClass) {
  chord_.chord.root = pitchClass;
  SendChord();
}

void frmArranger::Type_Click(int chordType) {
  chord_.chord.type = chordType;
  SendChord();
}

void frmArranger::NoChord_Click() {
  chord_.noChord = true;
  ChordChosen();
}

void frmArranger::SendChord() {
  const int bass = ui_->cboBass->currentIndex() - 1;
  chord_.noChord = false;
  chord_.chord.bass = bass == chord_.chord.root ? -1 : bass;
  ChordChosen();
}

// The chord the player chose: shown, kept for the next run and the library's
// preview, and sent to the accompaniment.
void frmArranger::ChordChosen() {
  ShowChosenChord();
  KeepChord(settingsPath_, chord_);
  if (!service_.Send(chord_.Command()) && !service_.Problem().empty())
    statusBar()->showMessage(ShownQ(service_.Problem()));
}

void frmArranger::ShowChosenChord() {
  ui_->cboChordType->setCurrentIndex(chord_.chord.type);
  if (!chord_.noChord) ui_->cboBass->setCurrentIndex(chord_.chord.bass + 1);
  ui_->lblChord->setText(QString::fromStdString(chord_.Text()));
}

// While the accompaniment plays, the chord it follows (a chart's, or the
// player's once it has taken effect); when it stops, the chosen one again.
void frmArranger::ShowChordInForce(const live::LiveState& s) {
  const std::optional<Chord> inForce = s.hasChord ? std::optional<Chord>(s.chord) : std::nullopt;
  if (ShowWrittenChord(s)) {
    wasPlaying_ = s.playing;
    lastInForce_ = inForce;
    return;
  }
  const bool wasWritten = lastSongChord_ != -1;
  if (wasWritten) {
    lastSongChord_ = -1;
    ui_->lblChord->setToolTip(QString());
  }
  if (s.playing && (!wasPlaying_ || wasWritten || inForce != lastInForce_)) {
    const live::ChosenChord shown{!inForce, inForce.value_or(Chord{})};
    ui_->lblChord->setText(QString::fromStdString(shown.Text()));
  } else if (!s.playing && wasPlaying_) {
    ShowChosenChord();
  }
  wasPlaying_ = s.playing;
  lastInForce_ = inForce;
}

QString frmArranger::ChordText() const { return ui_->lblChord->text(); }

void frmArranger::Tap(double seconds) {
  if (auto bpm = tap_.Tap(seconds)) ui_->spnTempo->setValue(static_cast<int>(std::lround(*bpm)));
}

void frmArranger::Refresh() {
  ++ticks_;
  RefreshKeyboard();
  const live::LiveState s = service_.State();
  ui_->cmdStartStop->setText(s.playing ? "Stop" : "Start");
  FollowAutoFill(s);
  if (ui_->chkSyncStart->isChecked() != s.syncArmed) ui_->chkSyncStart->setChecked(s.syncArmed);
  // Bar.Beat, and beside its caption the song's bar (the chart's while a chart plays).
  ui_->lblPosition->setText(s.playing ? QString("%1.%2").arg(s.bar + 1).arg(s.beat + 1) : QString("-.-"));
  lblSongBar_->setText(s.playing ? QString("%1 bar %2").arg(chartPlaying_ ? "chart" : "song").arg(s.songBar + 1)
                                 : QString());
  const int bpm = s.tempo ? static_cast<int>(std::lround(60'000'000.0 / s.tempo)) : 0;
  if (s.playing && bpm > 0 && bpm != ui_->spnTempo->value() && !ui_->spnTempo->hasFocus()) {
    ui_->spnTempo->blockSignals(true);
    ui_->spnTempo->setValue(bpm);
    ui_->spnTempo->blockSignals(false);
  }
  ShowSectionLights(s);
  RefreshStage(s);
  ShowChordInForce(s);
  ShowChartBar(s);
  FollowChart(s);
  if (exportDone_) FinishExport();
  if (ExportRunning()) ui_->prgExport->setValue(static_cast<int>(exportProgress_ * 100));
  ShowOutputNews();
}

// What befell the output (it stopped, it ran dry) is said once, when it changes.
void frmArranger::ShowOutputNews() {
  if (std::string problem = service_.Problem(); problem != shownProblem_) {
    const bool said = !shownProblem_.empty();
    shownProblem_ = problem;
    if (!problem.empty()) return statusBar()->showMessage(ShownQ(problem));
    if (said) statusBar()->clearMessage();  // it no longer holds
  }
  if (uint64_t underruns = service_.Underruns(); underruns != shownUnderruns_) {
    shownUnderruns_ = underruns;
    if (underruns && shownProblem_.empty())
      statusBar()->showMessage(QString("Audio buffer underruns: %1").arg(static_cast<qulonglong>(underruns)));
  }
}

// The playing section's button lit; a requested one blinks until it starts:
// a queued section, and the Main chosen while the one before (or its fill)
// still plays. A fill that plays lights "Auto Fill", the Break its button.
// "look" says which for tests ("playing", "queued" or "").
void frmArranger::ShowSectionLights(const live::LiveState& s) {
  const bool blinkOn = (ticks_ / kBlinkRefreshes) % 2 == 0;
  auto paint = [&](QWidget* widget, const char* look) {
    const std::string_view is(look);
    const QString sheet = is == "playing" ? kPlayingLook : is == "queued" ? (blinkOn ? kQueuedLook : "") : "";
    if (widget->property("look").toString() != look) widget->setProperty("look", look);
    if (widget->styleSheet() != sheet) widget->setStyleSheet(sheet);
  };
  // selected: the Main and Intro the next Start plays, shown while stopped.
  auto show = [&](QPushButton* button, int section, bool requested, bool selected) {
    const bool playing = s.playing && section >= 0 && section == s.section;
    const bool waiting = s.playing && section >= 0 && (section == s.queued || requested);
    paint(button, playing ? "playing" : waiting || (selected && !s.playing) ? "queued" : "");
    if (!s.playing && selected && button->styleSheet() != kQueuedLook) button->setStyleSheet(kQueuedLook);
  };
  for (const live::ControlRow& row : live::kControls) {
    if (row.button == live::Button::None) continue;
    const int section = buttons_.SectionOf(row.control);
    const bool main = row.button == live::Button::Main, intro = row.button == live::Button::Intro;
    const bool selected = (main && row.variation == s.selectedMain) || (intro && row.variation == s.selectedIntro);
    show(SectionButton(row.control), section, main && selected && !chartPlaying_ && s.section != section, selected);
  }
  const bool fillPlays = s.playing && s.section >= 0 && s.section != buttons_.breakFill &&
                         std::find(buttons_.fill.begin(), buttons_.fill.end(), s.section) != buttons_.fill.end();
  paint(ui_->chkAutoFill, fillPlays ? "playing" : "");
}

void frmArranger::closeEvent(QCloseEvent* event) {
  if (service_.State().playing) Send(Kind::Stop);
  record_->Finish();
  SaveSettings();
  QMainWindow::closeEvent(event);
}

void frmArranger::LoadSettings() {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Arranger");
  ui_->chkAutoFill->setChecked(file.value("AutoFill", true).toBool());
  LoadSongSettings(file);
  chartPath_ = file.value("Chart").toString().toStdString();
  if (file.contains("Geometry")) restoreGeometry(file.value("Geometry").toByteArray());
  if (!chartPath_.empty() && QFileInfo::exists(QString::fromStdString(chartPath_))) OpenChart(chartPath_);  // the last one
}

// The chart's folder is where the chart dialogs start next time, also when
// the program ends without this window being closed.
void frmArranger::KeepChartPath() {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.setValue("Arranger/Chart", QString::fromStdString(chartPath_));
}

void frmArranger::SaveSettings() {
  if (settingsPath_.empty()) return;
  QSettings file(QString::fromStdString(settingsPath_), QSettings::IniFormat);
  file.beginGroup("Arranger");
  file.setValue("AutoFill", ui_->chkAutoFill->isChecked());
  SaveSongSettings(file);
  file.setValue("Chart", QString::fromStdString(chartPath_));
  file.setValue("Geometry", saveGeometry());
}

}  // namespace vambrio
