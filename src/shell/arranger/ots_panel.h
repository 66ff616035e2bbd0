// The style's One Touch Settings in the Arranger window: a button for each
// (its tool tip lists every part's voice and volume) that gives the right
// hand the setting's Right 1 voice, and "OTS Link", with which the Main that
// starts playing (Main A-D) recalls its setting (OTS 1-4) as it starts.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "loading/stage_settings.h"

class QCheckBox;
class QPushButton;

namespace vambrio {

class OtsPanel : public QWidget {
  Q_OBJECT

 public:
  // onVoice gets the General MIDI program of the recalled Right 1 voice.
  OtsPanel(std::function<void(int program)> onVoice, QWidget* parent = nullptr);

  void SetSettings(const std::vector<OneTouchSetting>& settings);
  void Recall(int setting);  // 0..3
  // With every refresh: the section playing ("" when stopped); with OTS
  // Link on, a Main that has just started recalls its setting.
  void FollowSection(const std::string& section);
  int Recalled() const { return recalled_; }  // -1: none yet

 private:
  std::function<void(int)> onVoice_;
  std::array<QPushButton*, kOtsCount> buttons_{};
  QCheckBox* link_;
  std::vector<OneTouchSetting> settings_;
  std::string lastSection_;
  int recalled_ = -1;
};

// "Right 1: Soprano Sax, volume 100" lines of a setting.
std::string OtsDescription(const OneTouchSetting& setting);

}  // namespace vambrio
