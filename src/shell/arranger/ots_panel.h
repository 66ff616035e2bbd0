// The style's One Touch Settings in the Arranger window: a button for each
// (its tool tip lists every part's voice and volume) that recalls it for the
// player's parts, and "OTS Link", with which the Main that starts playing
// (Main A-D) recalls its setting (OTS 1-4) on the bar line where it starts.
// The link's recall is made where the music is made; the panel shows it.
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
  // onRecall: a setting (0..3) to recall, by its button (byLink false) or,
  // shown only, by the Main that started with OTS Link on; onLink: the link
  // switched on or off.
  OtsPanel(std::function<void(int setting, bool byLink)> onRecall, std::function<void(bool on)> onLink,
           QWidget* parent = nullptr);

  void SetSettings(const std::vector<OneTouchSetting>& settings);
  void Recall(int setting, bool byLink = false);  // 0..3
  void SetLink(bool on);
  // The parts were set up otherwise (a registration): no setting is shown as recalled.
  void Forget();
  bool Link() const;
  // With every refresh: the section playing ("" when stopped); with OTS
  // Link on, a Main that has just started recalls its setting.
  void FollowSection(const std::string& section);
  int Recalled() const { return recalled_; }  // -1: none yet

 private:
  std::function<void(int, bool)> onRecall_;
  std::function<void(bool)> onLink_;
  std::array<QPushButton*, kOtsCount> buttons_{};
  QCheckBox* link_;
  std::vector<OneTouchSetting> settings_;
  std::string lastSection_;
  int recalled_ = -1;
};

// "Right 1: Soprano Sax, volume 100" lines of a setting.
std::string OtsDescription(const OneTouchSetting& setting);

}  // namespace vambrio
