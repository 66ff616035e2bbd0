// "Recent Styles" beside "&Open Style": the styles opened last, newest
// first, kept in "Sound.ini"; choosing one opens it as "&Open Style" does.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "shell/main_window/frm_vambrio.h"
#include "shell/common/shown_q.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

constexpr const char* kRecentKey = "MainWindow/RecentStyles";
constexpr int kRecentCount = 8;

}  // namespace

void frmVambrio::SetUpRecentStyles() {
  mnuRecent_ = new QMenu(tr("Re&cent"), this);
  mnuRecent_->setObjectName("mnuRecent");
  QAction* after = ui_->mnuOpen;
  const QList<QAction*> bar = menuBar()->actions();
  const auto at = bar.indexOf(after);
  menuBar()->insertMenu(at + 1 < bar.size() ? bar[at + 1] : nullptr, mnuRecent_);
  connect(mnuRecent_, &QMenu::aboutToShow, this, &frmVambrio::FillRecentStyles);
}

QStringList frmVambrio::RecentStyles() const {
  if (services_.paths.configDir.empty()) return {};
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  return file.value(kRecentKey).toStringList();
}

void frmVambrio::RememberStyle(const std::string& path) {
  if (services_.paths.configDir.empty() || path.empty()) return;
  QStringList recent = RecentStyles();
  const QString style = QString::fromStdString(path);
  recent.removeAll(style);
  recent.prepend(style);
  while (recent.size() > kRecentCount) recent.removeLast();
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  file.setValue(kRecentKey, recent);
  file.sync();
}

void frmVambrio::FillRecentStyles() {
  mnuRecent_->clear();
  const QStringList recent = RecentStyles();
  for (int i = 0; i < recent.size(); ++i) {
    const QString path = recent[i];
    QAction* item = mnuRecent_->addAction(QString("&%1 %2").arg(i + 1).arg(ShownQText(path.section('/', -1))));
    item->setToolTip(ShownQText(path));
    item->setStatusTip(ShownQText(path));
    connect(item, &QAction::triggered, this, [this, path] { OpenStyle(path.toStdString()); });
  }
  if (recent.isEmpty()) mnuRecent_->addAction(tr("(none yet)"))->setEnabled(false);
}

}  // namespace vambrio
