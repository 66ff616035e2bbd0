#include "shell/main_window/recent_styles.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/common/recent_files.h"

namespace vambrio {
namespace {

constexpr const char* kRecentKey = "MainWindow/RecentStyles";

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

void RecentStyles::Remember(const std::string& path) { RememberRecentFile(settingsFile_, kRecentKey, path); }

void RecentStyles::Fill() {
  FillRecentMenu(menu_, ReadRecentFiles(settingsFile_, kRecentKey),
                 [this](const QString& path) { open_(path.toStdString()); });
}

}  // namespace vambrio
