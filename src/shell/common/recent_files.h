// The files opened last, newest first, as the windows keep them in their
// settings file under a key, and the "Recent" menu that offers them.
#pragma once

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QStringList>
#include <functional>
#include <string>

#include "shell/common/shown_q.h"

namespace vambrio {

inline constexpr int kRecentFileCount = 8;

// `settingsFile` "" keeps nothing.
inline QStringList ReadRecentFiles(const std::string& settingsFile, const char* key) {
  if (settingsFile.empty()) return {};
  QSettings file(QString::fromStdString(settingsFile), QSettings::IniFormat);
  return file.value(key).toStringList();
}

// `path` first in the list; the oldest beyond kRecentFileCount dropped.
inline void RememberRecentFile(const std::string& settingsFile, const char* key, const std::string& path) {
  if (settingsFile.empty() || path.empty()) return;
  QStringList recent = ReadRecentFiles(settingsFile, key);
  const QString file = QString::fromStdString(path);
  recent.removeAll(file);
  recent.prepend(file);
  while (recent.size() > kRecentFileCount) recent.removeLast();
  QSettings settings(QString::fromStdString(settingsFile), QSettings::IniFormat);
  settings.setValue(key, recent);
  settings.sync();
}

// The menu filled with `recent`, each item named "&N file name" with its
// whole path as tip; choosing one calls `open` with its path.
inline void FillRecentMenu(QMenu* menu, const QStringList& recent, const std::function<void(const QString&)>& open) {
  menu->clear();
  for (int i = 0; i < recent.size(); ++i) {
    const QString path = recent[i];
    QAction* item = menu->addAction(QString("&%1 %2").arg(i + 1).arg(ShownQText(path.section('/', -1))));
    item->setToolTip(ShownQText(path));
    item->setStatusTip(ShownQText(path));
    QObject::connect(item, &QAction::triggered, menu, [open, path] { open(path); });
  }
  if (recent.isEmpty()) menu->addAction(QMenu::tr("(none yet)"))->setEnabled(false);
}

}  // namespace vambrio
