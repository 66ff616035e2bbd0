// "Recent" beside "&Open Style": the styles opened last, newest first, kept
// in "Sound.ini"; choosing one opens it as "&Open Style" does. The main
// window owns it and tells it each style that loaded.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>

class QAction;
class QMenu;
class QMenuBar;

namespace vambrio {

class RecentStyles final : public QObject {
 public:
  // The menu goes into `bar` after `after`. `settingsFile`: "Sound.ini"
  // ("" keeps nothing); `open` opens a chosen style.
  RecentStyles(QMenuBar* bar, QAction* after, std::string settingsFile,
               std::function<void(const std::string&)> open);

  // A style that loaded: first in the list.
  void Remember(const std::string& path);

 private:
  void Fill();

  QMenu* menu_ = nullptr;
  std::string settingsFile_;
  std::function<void(const std::string&)> open_;
};

}  // namespace vambrio
