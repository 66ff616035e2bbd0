// frmLibrary, the style library window: every style of the user's folders in
// one table, searched as the user types, filtered, sorted by any column;
// selecting a style previews it, Enter or a double-click opens it in the
// main window. The index is brought up to date in the background.
#pragma once

#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/library_database.h"
#include "library/library_indexer.h"
#include "platform/desktop/folder_dialog.h"
#include "model/message_box.h"
#include "shell/library/style_preview.h"

class QThread;
class QTimer;
class QModelIndex;

namespace Ui {
class frmLibrary;
}

namespace vambrio::shell {

class LibraryTableModel;

struct LibraryWindowServices {
  QString databaseFile;
  platform::MessageBoxes& messageBoxes;
  platform::FolderDialog& folderDialog;
  StylePreview* preview = nullptr;  // none: no preview controls
  // Opens the style in the main window, as its "&Open Style" does.
  std::function<void(const std::string& path)> openStyle;
  // Opens the style in the Arranger; empty when there is none.
  std::function<void(const std::string& path)> openInArranger;
};

class frmLibrary : public QWidget {
  Q_OBJECT

 public:
  explicit frmLibrary(LibraryWindowServices services, QWidget* parent = nullptr);
  ~frmLibrary() override;

  // Reads the index, then brings it up to date with the folders in the background.
  void Start();
  bool Indexing() const { return indexThread_ != nullptr; }

  // The commands, as the buttons and keys call them.
  void AddFolder();
  void RemoveFolder(const std::string& folder);
  void UpdateNow();
  void CancelIndexing();
  void OpenCurrent();
  void OpenCurrentInArranger();
  void StopPreview();
  void ToggleFavourite(int row);

  // The controls' enabled states and visibility, from the current state.
  void UpdateControls();

  LibraryTableModel& model() { return *model_; }
  const std::string& Previewing() const { return previewing_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ConnectControls();
  void ApplyFilter();
  void Reload();
  void FillTimeSignatures();
  void StartUpdate(std::vector<std::string> folders);
  void ShowProgress(const library::IndexProgress& p);
  void UpdateFinished(const library::IndexReport& report);
  void CurrentChanged();
  bool PreviewSounds() const;
  void SelectRow(int row);
  void ShowCount();
  void BuildFoldersMenu();
  std::string CurrentPath() const;
  bool CurrentLoaded() const;

  std::unique_ptr<Ui::frmLibrary> ui_;
  LibraryWindowServices services_;
  std::unique_ptr<library::LibraryDatabase> db_;
  LibraryTableModel* model_ = nullptr;
  bool started_ = false;

  QThread* indexThread_ = nullptr;
  std::atomic<bool> cancel_{false};
  bool updateAgain_ = false;  // a folder was added while an update ran
  std::string problems_;      // of the last update, for the status line
  std::string previewing_;    // the style the preview plays
  QTimer* previewWatch_ = nullptr;  // runs while it plays
  std::string lastFolder_;    // where Add Folder starts
};

}  // namespace vambrio::shell
