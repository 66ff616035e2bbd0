// The set list's file: new, opened, saved (".vset"), the recent ones kept in
// "Sound.ini" with the window's own settings, and unsaved changes asked
// about before they are let go.
#include "shell/songs/frm_songs.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStatusBar>
#include <variant>

#include "shell/common/recent_files.h"
#include "shell/common/shown_q.h"

namespace vambrio {
namespace {

constexpr const char* kRecentKey = "Songs/RecentSetLists";

}  // namespace

void frmSongs::ShowTitle() {
  const QString name = path_.empty() ? QString("New set list") : ShownFileName(path_);
  setWindowTitle(QString("Songs - %1%2").arg(name, modified_ ? " *" : ""));
}

// True when the list may be replaced: nothing unsaved, or the user lets it go.
bool frmSongs::MayDiscard() {
  if (!modified_) return true;
  return services_.messageBoxes.AskOkCancel("The set list has changes that are not saved. Leave them unsaved?");
}

void frmSongs::NewSetList() {
  if (playing_ >= 0) Stop();
  list_ = {};
  path_.clear();
  modified_ = false;
  playing_ = -1;
  ShowList();
}

void frmSongs::cmdOpen_Click() {
  if (!MayDiscard()) return;
  const std::string path = services_.dialogs.OpenSetList(path_);
  if (!path.empty()) OpenSetList(path);
}

bool frmSongs::OpenSetList(const std::string& path) {
  auto read = songs::LoadSetList(path);
  if (auto* why = std::get_if<std::string>(&read)) {
    services_.messageBoxes.Show("The set list " + ShownText(path) + " cannot be opened: " + *why + ".");
    return false;
  }
  if (playing_ >= 0) Stop();
  list_ = std::move(std::get<songs::SetList>(read));
  path_ = path;
  modified_ = false;
  playing_ = -1;
  ShowList();
  Select(0);
  Remember(path);
  statusBar()->showMessage(QString("%1 songs").arg(list_.songs.size()));
  return true;
}

bool frmSongs::Save() {
  if (path_.empty()) return SaveAs();
  std::string error;
  if (list_.name.empty()) list_.name = QFileInfo(Q(path_)).completeBaseName().toStdString();
  if (!songs::SaveSetList(path_, list_, error)) {
    services_.messageBoxes.Show(ShownLines(error));
    return false;
  }
  modified_ = false;
  ShowTitle();
  Remember(path_);
  statusBar()->showMessage(QString("Saved %1").arg(ShownQ(path_)));
  return true;
}

bool frmSongs::SaveAs() {
  const std::string path = services_.dialogs.SaveSetList(path_);
  if (path.empty()) return false;
  const std::string before = path_;
  path_ = path;
  if (Save()) return true;
  path_ = before;
  return false;
}

QStringList frmSongs::RecentSetLists() const { return ReadRecentFiles(services_.settingsPath, kRecentKey); }

void frmSongs::Remember(const std::string& path) { RememberRecentFile(services_.settingsPath, kRecentKey, path); }

void frmSongs::FillRecent() {
  FillRecentMenu(mnuRecent_, RecentSetLists(), [this](const QString& path) {
    if (MayDiscard()) OpenSetList(path.toStdString());
  });
}

void frmSongs::LoadSettings() {
  if (services_.settingsPath.empty()) return;
  QSettings file(Q(services_.settingsPath), QSettings::IniFormat);
  file.beginGroup("Songs");
  chkGoOn_->setChecked(file.value("GoOn", false).toBool());
  if (file.contains("Geometry")) restoreGeometry(file.value("Geometry").toByteArray());
}

void frmSongs::SaveSettings() {
  if (services_.settingsPath.empty()) return;
  QSettings file(Q(services_.settingsPath), QSettings::IniFormat);
  file.beginGroup("Songs");
  file.setValue("GoOn", chkGoOn_->isChecked());
  file.setValue("Geometry", saveGeometry());
}

void frmSongs::closeEvent(QCloseEvent* event) {
  if (!sessionEnding_ && !MayDiscard()) return event->ignore();
  if (learning_) LearnToggled(false);
  SaveSettings();
  QMainWindow::closeEvent(event);
}

}  // namespace vambrio
