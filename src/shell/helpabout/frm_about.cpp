#include "shell/helpabout/frm_about.h"

#include <QPushButton>
#include <exception>

#include "shell/helpabout/program_icon.h"
#include "ui_frm_about.h"

namespace vambrio::shell {

const std::vector<std::string>& SysInfoPrograms() {
  static const std::vector<std::string> programs = {
      "hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor", "mate-system-monitor"};
  return programs;
}

frmAbout::frmAbout(platform::DesktopShell& shell, platform::MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::frmAbout>()), shell_(shell), boxes_(boxes) {
  ui_->setupUi(this);
  connect(ui_->cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
  connect(ui_->cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
  Form_Load();
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
  const QString title = QString::fromUtf8(kApplicationTitle);
  setWindowTitle(QStringLiteral("About ") + title);
  ui_->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                               .arg(VAMBRIO_VERSION_MAJOR)
                               .arg(VAMBRIO_VERSION_MINOR)
                               .arg(VAMBRIO_VERSION_PATCH));
  ui_->lblTitle->setText(title);
  ui_->lblDisclaimer->setText(QString());
  const QIcon icon = ProgramIcon();
  setWindowIcon(icon);
  ui_->picIcon->setPixmap(icon.pixmap(QSize(64, 64)));
}

void frmAbout::cmdOK_Click() { close(); }

void frmAbout::cmdSysInfo_Click() { StartSysInfo(); }

void frmAbout::StartSysInfo() {
  try {
    const std::string program = shell_.FindProgram(SysInfoPrograms());
    if (program.empty()) {
      boxes_.Show(kSysInfoUnavailableMessage);
      return;
    }
    if (!shell_.StartProgram(program)) boxes_.Show(kSysInfoUnavailableMessage);
  } catch (const std::exception&) {
    boxes_.Show(kSysInfoUnavailableMessage);
  }
}

namespace {

// The open About window of `owner`. A closed one is hidden and waits for its
// deletion at the next turn of the event loop: it does not count.
frmAbout* OpenAbout(QWidget* owner) {
  if (!owner) return nullptr;
  for (frmAbout* about : owner->findChildren<frmAbout*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (about->isVisible()) return about;
  }
  return nullptr;
}

}  // namespace

frmAbout* ShowAbout(QWidget* owner, platform::DesktopShell& shell, platform::MessageBoxes& boxes) {
  frmAbout* about = OpenAbout(owner);
  if (!about) {
    about = new frmAbout(shell, boxes, owner);
    about->setAttribute(Qt::WA_DeleteOnClose);
  }
  about->show();
  about->raise();
  about->activateWindow();
  return about;
}

void UnloadAbout(QWidget* owner) {
  if (frmAbout* about = OpenAbout(owner)) about->close();
}

}  // namespace vambrio::shell
