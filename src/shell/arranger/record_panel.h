// The Arranger window's recorder: "Record" asks where to keep the MIDI file
// and records what is played (the accompaniment and the keyboard) until it
// is pressed again or the window closes; with "Chart" on, the chord chart of
// what was played is written beside it (same name, ".chart"). The files are
// kept whole while recording. "Save WAV" then renders the last recording
// offline as WAV audio, through the same synthesizer and voice map.
#pragma once

#include <QWidget>
#include <atomic>
#include <string>
#include <thread>

#include "platform/desktop/chart_dialogs.h"
#include "shell/arranger/arranger_service.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;

namespace vambrio {

class RecordPanel : public QWidget {
  Q_OBJECT

 public:
  RecordPanel(ArrangerService& service, platform::ChartDialogs& dialogs, QWidget* parent = nullptr);
  ~RecordPanel() override;

  void cmdRecord_Toggle(bool on);
  // The recording finished (the window closes).
  void Finish();
  // Asks for the WAV file and renders the last recording into it.
  void cmdSaveWav_Click();
  bool Rendering() const { return renderer_.joinable(); }
  // Waits for a render that runs (tests, closing).
  void WaitRendered();
  bool Recording() const { return recording_; }
  QPushButton* RecordButton() const { return record_; }
  QCheckBox* ChartBox() const { return chart_; }
  QLabel* Status() const { return status_; }

 private:
  void Stopped(const std::string& problem);
  void Rendered();

  ArrangerService& service_;
  platform::ChartDialogs& dialogs_;
  QPushButton* record_;
  QCheckBox* chart_;
  QPushButton* saveWav_;
  QLabel* status_;
  QTimer* update_;
  QTimer* renderWatch_;
  std::thread renderer_;
  std::atomic<double> renderProgress_{0};
  std::atomic<bool> renderDone_{false};
  std::string renderProblem_;
  std::string wavPath_;
  bool recording_ = false;
  std::string path_;
};

// "take.mid" -> "take.chart"
std::string ChartPathBeside(const std::string& midiPath);

}  // namespace vambrio
