#include "platform/desktop/qt_chart_dialogs.h"

#include <QMessageBox>

#include "platform/desktop/qt_file_dialogs.h"

namespace vambrio::platform {
namespace {

const char* const kChartFilter = "Chord Charts (*.txt *.chart);;All Files (*)";

}  // namespace

std::string QtChartDialogs::OpenChart(const std::string& startPath) {
  return Run("Open Chart", startPath, kChartFilter, {}, false);
}

std::string QtChartDialogs::SaveChart(const std::string& startPath) {
  return Run("Save Chart", startPath, kChartFilter, "txt", true);
}

std::string QtChartDialogs::ExportFile(const std::string& startPath, const std::string& suffix) {
  const QString s = QString::fromStdString(suffix);
  const QString filter = s == "wav" ? "WAV Audio (*.wav)" : "MIDI Files (*.mid)";
  return Run(s == "wav" ? "Export WAV" : "Export MIDI", startPath, filter, s, true);
}

std::string QtChartDialogs::OpenBank(const std::string& startPath) {
  return Run("Open Registrations", startPath, kRegistrationFilter, {}, false);
}

std::string QtChartDialogs::SaveBank(const std::string& startPath) {
  return Run("Save Registrations", startPath, kRegistrationFilter, "vreg", true);
}

void QtChartDialogs::Show(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, "Vambrio", QString::fromStdString(text), QMessageBox::Ok, parent_);
  box.exec();
}

std::string QtChartDialogs::Run(const QString& title, const std::string& startPath, const QString& filter,
                                const QString& suffix, bool save) {
  const QStringList files = AskForFiles(
      parent_, {.title = title, .startPath = startPath, .filter = filter, .save = save, .defaultSuffix = suffix});
  return files.isEmpty() ? std::string() : files.front().toStdString();
}

}  // namespace vambrio::platform
