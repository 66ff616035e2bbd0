// The chord-chart pane of the Arranger window, and the window's keys.
#include <QFile>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <fstream>

#include "shell/arranger/chart_editor.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/common/shown_q.h"
#include "ui_frm_arranger.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;

bool ReadText(const std::string& path, std::string& text) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  text.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return !f.bad();
}

// A section button's key: F1-F4 the Mains, with Shift the Intros, with Ctrl the Endings; F5 the Break.
QKeySequence ShortcutOf(const live::ControlRow& row) {
  const auto f = static_cast<Qt::Key>(Qt::Key_F1 + row.variation);
  switch (row.button) {
    case live::Button::Main: return QKeySequence(f);
    case live::Button::Intro: return QKeySequence(Qt::SHIFT | f);
    case live::Button::Ending: return QKeySequence(Qt::CTRL | f);
    case live::Button::Break: return QKeySequence(Qt::Key_F5);
    default: return {};
  }
}

}  // namespace

void frmArranger::cmdOpenChart_Click() {
  std::string path = dialogs_.OpenChart(chartPath_);
  if (!path.empty()) OpenChart(path);
}

void frmArranger::OpenChart(const std::string& path) {
  std::string text;
  if (!ReadText(path, text)) {
    dialogs_.Show("The chart " + ShownText(path) + " could not be read.");
    return;
  }
  chartPath_ = path;
  KeepChartPath();
  ui_->txtChart->setPlainText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  ShowChartStatus(QString("Opened %1").arg(QString::fromStdString(path)));
}

void frmArranger::cmdSaveChart_Click() {
  std::string path = dialogs_.SaveChart(chartPath_);
  if (path.empty()) return;
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  const QByteArray bytes = ui_->txtChart->toPlainText().toUtf8();
  f.write(bytes.data(), bytes.size());
  f.close();
  if (!f) {
    dialogs_.Show("The chart could not be saved as " + ShownText(path) + ".");
    return;
  }
  chartPath_ = path;
  KeepChartPath();
  ShowChartStatus(QString("Saved %1").arg(QString::fromStdString(path)));
}

void frmArranger::cmdPlayChart_Click() { PlayChartText(0); }

std::string frmArranger::PlayChartText(int countInBars) {
  const std::string text = ui_->txtChart->toPlainText().toStdString();
  std::string problem = service_.CheckChart(text, chartBars_);
  if (problem.empty()) problem = service_.PlayChart(text, countInBars);
  chartPlaying_ = problem.empty();
  chartSeenPlaying_ = false;
  lastChartBar_ = -1;
  if (chartPlaying_) ui_->prgExport->setValue(0);
  ShowChartStatus(QString::fromStdString(problem.empty() ? "Playing the chart" : problem), !problem.empty());
  return problem;
}

// The status under the chart, whole in its tool tip. An error is also said
// whole on the window's message line, underlined in the text, and the
// cursor is put at its line and column.
void frmArranger::ShowChartStatus(const QString& raw, bool error) {
  const QString text = QString::fromStdString(ShownLines(raw.toStdString()));
  ShowWholeInToolTip(ui_->lblChartStatus, text);
  const std::optional<ChartTextPlace> place = error ? PlaceOfChartError(text) : std::nullopt;
  if (chartHighlighter_) chartHighlighter_->MarkError(place);
  if (!error) return;
  statusBar()->showMessage(text);
  if (!place) return;
  const QTextBlock line = ui_->txtChart->document()->findBlockByNumber(place->line - 1);
  if (!line.isValid()) return;
  QTextCursor cursor(line);
  cursor.setPosition(line.position() + std::clamp(place->column - 1, 0, static_cast<int>(line.length()) - 1));
  ui_->txtChart->setTextCursor(cursor);
  ui_->txtChart->setFocus();
}

// While a chart plays, the progress bar follows its bars; when it has
// ended (or was stopped), the status says so.
void frmArranger::FollowChart(const live::LiveState& s) {
  if (!chartPlaying_) return;
  if (s.playing) {
    chartSeenPlaying_ = true;
    const auto bars = static_cast<int>(std::max<size_t>(chartBars_.size(), 1));
    ui_->prgExport->setValue(std::min(100, static_cast<int>(s.songBar) * 100 / bars));
    return;
  }
  if (!chartSeenPlaying_) return;  // its Start is still on its way to the audio thread
  chartPlaying_ = false;
  chartSeenPlaying_ = false;
  const bool ended = lastChartBar_ + 1 >= static_cast<int>(chartBars_.size());
  if (ended) ui_->prgExport->setValue(100);
  ShowChartStatus(ended ? "The chart has ended" : "The chart was stopped");
  emit chartEnded(ended);
}

// The bar being played, highlighted in the chart.
void frmArranger::ShowChartBar(const live::LiveState& s) {
  QList<QTextEdit::ExtraSelection> marks;
  if (chartPlaying_ && s.playing && s.bar < chartBars_.size()) {
    const ChartBarPlace& at = chartBars_[s.bar];
    QTextBlock line = ui_->txtChart->document()->findBlockByNumber(at.line - 1);
    if (line.isValid()) {
      QString text = line.text();
      int from = std::max(0, at.column - 1);
      int to = text.indexOf('|', from);
      QTextEdit::ExtraSelection mark;
      mark.cursor = QTextCursor(line);
      mark.cursor.setPosition(line.position() + from);
      mark.cursor.setPosition(line.position() + (to < 0 ? static_cast<int>(text.size()) : to + 1), QTextCursor::KeepAnchor);
      mark.format.setBackground(QColor(255, 214, 102));
      marks.append(mark);
    }
  }
  ui_->txtChart->setExtraSelections(marks);
  ui_->txtChart->setProperty("playingBar", chartPlaying_ && s.playing ? static_cast<int>(s.bar) : -1);
  if (chartPlaying_ && s.playing) lastChartBar_ = static_cast<int>(s.bar);
}

void frmArranger::Export(const std::string& suffix) {
  if (ExportRunning()) return;
  const std::string text = ui_->txtChart->toPlainText().toStdString();
  std::vector<ChartBarPlace> bars;
  if (std::string problem = service_.CheckChart(text, bars); !problem.empty()) {
    ShowChartStatus(QString::fromStdString(problem), true);
    return;
  }
  std::string start = chartPath_.empty() ? style_.path : chartPath_;
  if (auto dot = start.rfind('.'); dot != std::string::npos) start = start.substr(0, dot);
  exportPath_ = dialogs_.ExportFile(start + "." + suffix, suffix);
  if (exportPath_.empty()) return;
  exportProgress_ = 0;
  exportDone_ = false;
  ui_->cmdExportMidi->setEnabled(false);
  ui_->cmdExportWav->setEnabled(false);
  ShowChartStatus(QString("Exporting %1...").arg(QString::fromStdString(exportPath_)));
  exporter_ = std::thread([this, text] {
    exportResult_ = service_.Export(text, exportPath_, [this](double done) { exportProgress_ = done; });
    exportDone_ = true;
  });
}

void frmArranger::FinishExport() {
  if (exporter_.joinable()) exporter_.join();
  exportDone_ = false;
  exportProgress_ = exportResult_.empty() ? 1.0 : 0.0;
  ui_->prgExport->setValue(static_cast<int>(exportProgress_ * 100));
  ShowChartStatus(QString::fromStdString(exportResult_.empty() ? "Exported " + exportPath_ : exportResult_),
                  !exportResult_.empty());
  ui_->cmdExportMidi->setEnabled(true);
  ui_->cmdExportWav->setEnabled(true);
}

// Keys for everything, so that a player never needs the mouse: the letters
// C D E F G A B choose the root (with Shift the note a semitone up), the
// digits the chord type, N no chord, Space Start/Stop, F1-F4 Main A-D,
// Shift+F1-F4 Intro A-D, Ctrl+F1-F4 Ending A-D, F5 Break, F6 Sync Start,
// F7 Auto Fill, T tap tempo; Ctrl+O, Ctrl+S and Ctrl+P open, save and play
// the chart. While the chart text has the focus, letters, digits and Space
// type into it; the same controls are then reached with Alt (Alt+C, Alt+Shift+C,
// Alt+1, Alt+N) and Ctrl+Space, which type nothing. The F keys work throughout.
void frmArranger::MakeShortcuts() {
  auto key = [this](const QKeySequence& sequence, auto action) {
    auto* shortcut = new QShortcut(sequence, this);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  const std::pair<char, int> naturals[] = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11}};
  for (auto [letter, pc] : naturals) {
    key(QKeySequence(QString(QChar(letter))), [this, pc = pc] { Root_Click(pc); });
    key(QKeySequence(QString("Shift+%1").arg(QChar(letter))), [this, pc = pc] { Root_Click((pc + 1) % 12); });
  }
  const char* digitTypes[] = {"m7b5", "", "m", "7", "m7", "Maj7", "6", "sus4", "dim", "aug"};
  for (int digit = 0; digit <= 9; ++digit) {
    const int type = ParseChordType(digitTypes[digit]).value_or(0);
    key(QKeySequence(QString::number(digit)), [this, type] { Type_Click(type); });
  }
  key(QKeySequence(Qt::Key_N), [this] { NoChord_Click(); });
  key(QKeySequence(Qt::Key_Space), [this] { cmdStartStop_Click(); });
  // The keys that do not type.
  for (auto [letter, pc] : naturals) {
    key(QKeySequence(QString("Alt+%1").arg(QChar(letter))), [this, pc = pc] { Root_Click(pc); });
    key(QKeySequence(QString("Alt+Shift+%1").arg(QChar(letter))), [this, pc = pc] { Root_Click((pc + 1) % 12); });
  }
  for (int digit = 0; digit <= 9; ++digit) {
    const int type = ParseChordType(digitTypes[digit]).value_or(0);
    key(QKeySequence(QString("Alt+%1").arg(digit)), [this, type] { Type_Click(type); });
  }
  key(QKeySequence(Qt::ALT | Qt::Key_N), [this] { NoChord_Click(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Space), [this] { cmdStartStop_Click(); });
  // The tool tips say them.
  const QString whileTyping = QStringLiteral(" \u2014 while typing a chart: %1");
  ui_->cmdStartStop->setToolTip(ui_->cmdStartStop->toolTip() + whileTyping.arg("Ctrl+Space"));
  for (QPushButton* b : findChildren<QPushButton*>()) {
    const QString name = b->objectName();
    const QString tip = b->toolTip();
    const auto at = tip.indexOf("key ");
    if (at < 0 || !(name.startsWith("cmdRoot") || name.startsWith("cmdType") || name == "cmdNoChord")) continue;
    const auto end = tip.indexOf(')', at);
    b->setToolTip(tip + whileTyping.arg("Alt+" + tip.mid(at + 4, end < 0 ? -1 : end - at - 4)));
  }
  for (const live::ControlRow& row : live::kControls)
    if (const QKeySequence sequence = ShortcutOf(row); !sequence.isEmpty())
      key(sequence, [this, c = row.control] { SectionButton_Click(c); });
  key(QKeySequence(Qt::Key_F6), [this] { ui_->chkSyncStart->click(); });
  key(QKeySequence(Qt::Key_F7), [this] { ui_->chkAutoFill->click(); });
  key(QKeySequence(Qt::Key_T), [this] { ui_->cmdTap->click(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_O), [this] { cmdOpenChart_Click(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { cmdSaveChart_Click(); });
  key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { cmdPlayChart_Click(); });
}

}  // namespace vambrio
