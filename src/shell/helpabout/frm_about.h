// The About window: the program's title, version and authorship, and a
// button that starts the desktop's system-information program.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "model/message_box.h"
#include "platform/desktop/shell.h"

namespace Ui {
class frmAbout;
}

namespace vambrio::shell {

inline constexpr const char* kApplicationTitle = "Vambrio";
inline constexpr const char* kSysInfoUnavailableMessage = "System Information Is Unavailable At This Time";

// The system-information programs looked for on PATH, the first found is started.
const std::vector<std::string>& SysInfoPrograms();

class frmAbout final : public QDialog {
  Q_OBJECT

 public:
  frmAbout(platform::DesktopShell& shell, platform::MessageBoxes& boxes, QWidget* parent = nullptr);
  ~frmAbout() override;

  // Starts the system-information program, or says that there is none.
  void StartSysInfo();

 private:
  void Form_Load();
  void cmdOK_Click();
  void cmdSysInfo_Click();

  std::unique_ptr<Ui::frmAbout> ui_;
  platform::DesktopShell& shell_;
  platform::MessageBoxes& boxes_;
};

// "&About": shows the About window of `owner` without making it modal,
// creating it the first time and bringing it forward after that. It is a
// child of `owner`, so it closes with the main window.
frmAbout* ShowAbout(QWidget* owner, platform::DesktopShell& shell, platform::MessageBoxes& boxes);

// Closes the About window of `owner`, if one is open (the main window's unload).
void UnloadAbout(QWidget* owner);

}  // namespace vambrio::shell
