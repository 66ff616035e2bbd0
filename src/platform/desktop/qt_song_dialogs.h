// The set-list window's dialogs on Qt.
#pragma once

#include <QWidget>

#include "platform/desktop/song_dialogs.h"

namespace vambrio::platform {

class QtSongDialogs final : public SongDialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  std::string OpenSetList(const std::string& startPath) override;
  std::string SaveSetList(const std::string& startPath) override;
  std::vector<std::string> ImportFiles(const std::string& startPath) override;
  std::string ChooseStyle(const std::string& startPath) override;
  std::string ChooseRegistrationBank(const std::string& startPath) override;

 private:
  QWidget* parent_ = nullptr;
};

}  // namespace vambrio::platform
