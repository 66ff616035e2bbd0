#include "shell/arranger/record_panel.h"
#include "shell/common/shown_q.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <filesystem>

namespace vambrio {
namespace {

constexpr int kUpdateMs = 1000;

}  // namespace

std::string ChartPathBeside(const std::string& midiPath) {
  return std::filesystem::path(midiPath).replace_extension(".chart").string();
}

RecordPanel::RecordPanel(ArrangerService& service, platform::ChartDialogs& dialogs, QWidget* parent)
    : QWidget(parent),
      service_(service),
      dialogs_(dialogs),
      record_(new QPushButton(tr("Record"), this)),
      chart_(new QCheckBox(tr("Chart"), this)),
      saveWav_(new QPushButton(tr("Save WAV"), this)),
      status_(new QLabel(this)),
      update_(new QTimer(this)),
      renderWatch_(new QTimer(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(record_);
  row->addWidget(chart_);
  row->addWidget(saveWav_);
  row->addWidget(status_);
  saveWav_->setObjectName("cmdSaveRecordingWav");
  saveWav_->setToolTip(tr("Render the last recording as WAV audio, as it was played"));
  saveWav_->setEnabled(false);
  connect(saveWav_, &QPushButton::clicked, this, &RecordPanel::cmdSaveWav_Click);
  connect(renderWatch_, &QTimer::timeout, this, [this] {
    if (renderDone_) return Rendered();
    status_->setText(tr("Saving WAV... %1%").arg(static_cast<int>(renderProgress_ * 100)));
  });
  record_->setCheckable(true);
  record_->setObjectName("cmdRecord");
  record_->setToolTip(tr("Record what is played, the accompaniment and the keyboard, as a MIDI file"));
  chart_->setObjectName("chkRecordChart");
  chart_->setToolTip(tr("Also write the chord chart of what was played, beside the MIDI file"));
  status_->setObjectName("lblRecord");
  connect(record_, &QPushButton::toggled, this, &RecordPanel::cmdRecord_Toggle);
  connect(update_, &QTimer::timeout, this, [this] {
    if (std::string problem = service_.UpdateRecording(); !problem.empty()) status_->setText(ShownQ(problem));
  });
}

void RecordPanel::cmdRecord_Toggle(bool on) {
  const QSignalBlocker quiet(record_);
  if (on && Rendering()) {
    record_->setChecked(false);
    return;
  }
  if (!on) {
    Finish();
    return;
  }
  const std::string path = dialogs_.ExportFile(path_.empty() ? "take.mid" : path_, "mid");
  if (path.empty()) {
    record_->setChecked(false);
    return;
  }
  if (std::string problem = service_.StartRecording(path, chart_->isChecked() ? ChartPathBeside(path) : ""); !problem.empty()) {
    record_->setChecked(false);
    dialogs_.Show(problem);
    return;
  }
  path_ = path;
  recording_ = true;
  record_->setChecked(true);
  record_->setStyleSheet("QPushButton { color: white; background-color: #c0392b; font-weight: bold; }");
  chart_->setEnabled(false);
  status_->setText(tr("Recording to %1").arg(ShownQ(std::filesystem::path(path).filename().string())));
  update_->start(kUpdateMs);
}

void RecordPanel::Finish() {
  if (!recording_) return;
  recording_ = false;
  update_->stop();
  Stopped(service_.StopRecording());
}

void RecordPanel::Stopped(const std::string& problem) {
  const QSignalBlocker quiet(record_);
  record_->setChecked(false);
  record_->setStyleSheet({});
  chart_->setEnabled(true);
  const QString file = ShownQ(std::filesystem::path(path_).filename().string());
  status_->setText(problem.empty() ? tr("Recorded: %1").arg(file) : ShownQ(problem));
  saveWav_->setEnabled(problem.empty());
}

RecordPanel::~RecordPanel() {
  if (renderer_.joinable()) renderer_.join();
}

void RecordPanel::cmdSaveWav_Click() {
  if (path_.empty() || recording_ || Rendering()) return;
  const std::string wav =
      dialogs_.ExportFile(std::filesystem::path(path_).replace_extension(".wav").string(), "wav");
  if (wav.empty()) return;
  wavPath_ = wav;
  renderDone_ = false;
  renderProgress_ = 0;
  saveWav_->setEnabled(false);
  record_->setEnabled(false);
  renderer_ = std::thread([this, midi = path_, wav] {
    renderProblem_ = service_.SaveRecordingWav(midi, wav, [this](double part) { renderProgress_ = part; });
    renderDone_ = true;
  });
  renderWatch_->start(100);
}

void RecordPanel::WaitRendered() {
  if (!renderer_.joinable()) return;
  renderer_.join();
  Rendered();
}

void RecordPanel::Rendered() {
  renderWatch_->stop();
  if (renderer_.joinable()) renderer_.join();
  saveWav_->setEnabled(true);
  record_->setEnabled(true);
  const QString file = ShownQ(std::filesystem::path(wavPath_).filename().string());
  if (renderProblem_.empty()) {
    status_->setText(tr("Saved: %1").arg(file));
  } else {
    status_->setText(ShownQ(renderProblem_));
    dialogs_.Show(renderProblem_);
  }
}

}  // namespace vambrio
