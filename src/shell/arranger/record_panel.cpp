#include "shell/arranger/record_panel.h"

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
      status_(new QLabel(this)),
      update_(new QTimer(this)) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(record_);
  row->addWidget(chart_);
  row->addWidget(status_);
  record_->setCheckable(true);
  record_->setObjectName("cmdRecord");
  record_->setToolTip(tr("Record what is played, the accompaniment and the keyboard, as a MIDI file"));
  chart_->setObjectName("chkRecordChart");
  chart_->setToolTip(tr("Also write the chord chart of what was played, beside the MIDI file"));
  status_->setObjectName("lblRecord");
  connect(record_, &QPushButton::toggled, this, &RecordPanel::cmdRecord_Toggle);
  connect(update_, &QTimer::timeout, this, [this] {
    if (std::string problem = service_.UpdateRecording(); !problem.empty()) status_->setText(QString::fromStdString(problem));
  });
}

void RecordPanel::cmdRecord_Toggle(bool on) {
  const QSignalBlocker quiet(record_);
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
  status_->setText(tr("Recording to %1").arg(QString::fromStdString(std::filesystem::path(path).filename().string())));
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
  const QString file = QString::fromStdString(std::filesystem::path(path_).filename().string());
  status_->setText(problem.empty() ? tr("Recorded: %1").arg(file) : QString::fromStdString(problem));
}

}  // namespace vambrio
