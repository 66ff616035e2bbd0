#include "shell/main_window/recent_styles.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include "shell/common/shown_q.h"

namespace vambrio {
namespace {

constexpr const char* kRecentKey = "MainWindow/RecentStyles";
constexpr int kRecentCount = 8;

}  // namespace

RecentStyles::RecentStyles(QMenuBar* bar, QAction* after, std::string settingsFile,
                           std::function<void(const std::string&)> open)
    : QObject(bar), settingsFile_(std::move(settingsFile)), open_(std::move(open)) {
  menu_ = new QMenu(tr("Re&cent"), bar);
  menu_->setObjectName("mnuRecent");
  const QList<QAction*> actions = bar->actions();
  const auto at = actions.indexOf(after);
  bar->insertMenu(at + 1 < actions.size() ? actions[at + 1] : nullptr, menu_);
  connect(menu_, &QMenu::aboutToShow, this, &RecentStyles::Fill);
}

QStringList RecentStyles::List() const {
  if (settingsFile_.empty()) return {};
  QSettings file(QString::fromStdString(settingsFile_), QSettings::IniFormat);
  return file.value(kRecentKey).toStringList();
}

void RecentStyles::Remember(const std::string& path) {
  if (settingsFile_.empty() || path.empty()) return;
  QStringList recent = List();
  const QString style = QString::fromStdString(path);
  recent.removeAll(style);
  recent.prepend(style);
  while (recent.size() > kRecentCount) recent.removeLast();
  QSettings file(QString::fromStdString(settingsFile_), QSettings::IniFormat);
  file.setValue(kRecentKey, recent);
  file.sync();
}

void RecentStyles::Fill() {
  menu_->clear();
  const QStringList recent = List();
  for (int i = 0; i < recent.size(); ++i) {
    const QString path = recent[i];
    QAction* item = menu_->addAction(QString("&%1 %2").arg(i + 1).arg(ShownQText(path.section('/', -1))));
    item->setToolTip(ShownQText(path));
    item->setStatusTip(ShownQText(path));
    connect(item, &QAction::triggered, this, [this, path] { open_(path.toStdString()); });
  }
  if (recent.isEmpty()) menu_->addAction(tr("(none yet)"))->setEnabled(false);
}

}  // namespace vambrio
