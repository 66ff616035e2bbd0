#include "shell/arranger/kept_chord.h"

#include <QSettings>

namespace vambrio {
namespace {

constexpr const char* kChordKey = "Arranger/Chord";

}  // namespace

void ReadKeptChord(const std::string& settingsPath, live::ChosenChord& chord) {
  if (settingsPath.empty()) return;
  QSettings file(QString::fromStdString(settingsPath), QSettings::IniFormat);
  const QString text = file.value(kChordKey).toString();
  if (!text.isEmpty()) chord.SetText(text.toStdString());
}

void KeepChord(const std::string& settingsPath, const live::ChosenChord& chord) {
  if (settingsPath.empty()) return;
  QSettings file(QString::fromStdString(settingsPath), QSettings::IniFormat);
  file.setValue(kChordKey, QString::fromStdString(chord.Text()));
}

}  // namespace vambrio
