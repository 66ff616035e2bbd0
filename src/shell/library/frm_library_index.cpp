// frmLibrary: reading the index, and bringing it up to date in the
// background with a progress bar (count, files per second) and Cancel.
#include <QLocale>
#include <QMenu>
#include <QThread>

#include "library/folder_walk.h"
#include "shell/library/frm_library.h"
#include "shell/library/library_table_model.h"
#include "shell/common/shown_q.h"
#include "ui_frm_library.h"

namespace vambrio::shell {

void frmLibrary::Start() {
  started_ = true;
  if (!db_->Notice().isEmpty()) services_.messageBoxes.Show(ShownLines(db_->Notice().toStdString()));
  if (!db_->IsOpen()) {
    services_.messageBoxes.Show(db_->Problem().toStdString());
    ShowCount();
    return;
  }
  Reload();
  StartUpdate({});
}

void frmLibrary::Reload() {
  std::string keep = CurrentPath();
  model_->SetRows(db_->Rows());
  FillTimeSignatures();
  SelectRow(model_->RowOf(QByteArray::fromStdString(keep)));
  ShowCount();
}

void frmLibrary::FillTimeSignatures() {
  QString chosen = ui_->cboTimeSignature->currentIndex() > 0 ? ui_->cboTimeSignature->currentText() : QString();
  QSignalBlocker quiet(ui_->cboTimeSignature);
  ui_->cboTimeSignature->clear();
  ui_->cboTimeSignature->addItem(tr("any"));
  ui_->cboTimeSignature->addItems(model_->TimeSignatures());
  int index = chosen.isEmpty() ? 0 : ui_->cboTimeSignature->findText(chosen);
  if (index < 0) {  // no style of that time signature is left: keep the choice anyway
    ui_->cboTimeSignature->addItem(chosen);
    index = ui_->cboTimeSignature->count() - 1;
  }
  ui_->cboTimeSignature->setCurrentIndex(index);
}

void frmLibrary::StartUpdate(std::vector<std::string> folders) {
  if (Indexing()) {
    updateAgain_ = true;
    return;
  }
  if (db_->Folders().empty()) return;
  cancel_ = false;
  problems_.clear();
  QString file = services_.databaseFile;
  // The indexer has its own connection to the index, on its own thread.
  indexThread_ = QThread::create([this, file, folders] {
    library::LibraryDatabase db(file);
    library::IndexReport report;
    if (!db.IsOpen()) {
      report.problems.push_back(db.Problem().toStdString());
      report.writeFailed = db.WriteFailed();
    } else {
      report = library::UpdateIndex(db, folders, [this](const library::IndexProgress& p) {
        QMetaObject::invokeMethod(this, [this, p] { ShowProgress(p); }, Qt::QueuedConnection);
      }, &cancel_);
    }
    QMetaObject::invokeMethod(this, [this, report] { UpdateFinished(report); }, Qt::QueuedConnection);
  });
  ui_->prgIndex->setRange(0, 0);  // busy until the folders are walked
  ui_->lblStatus->setText(tr("Looking for styles..."));
  indexThread_->start();
  UpdateControls();
}

void frmLibrary::ShowProgress(const library::IndexProgress& p) {
  if (!Indexing()) return;
  ui_->prgIndex->setRange(0, static_cast<int>(p.total));
  ui_->prgIndex->setValue(static_cast<int>(p.done));
  QLocale locale;
  ui_->lblStatus->setText(tr("Reading styles: %1 of %2, %3 files/s")
                              .arg(locale.toString(static_cast<qlonglong>(p.done)),
                                   locale.toString(static_cast<qlonglong>(p.total)),
                                   locale.toString(static_cast<qlonglong>(p.filesPerSecond))));
}

void frmLibrary::UpdateFinished(const library::IndexReport& report) {
  if (indexThread_) {
    indexThread_->wait();
    delete indexThread_;
    indexThread_ = nullptr;
  }
  if (report.writeFailed) services_.messageBoxes.Show(report.problems.back());
  problems_ = report.problems.empty() ? std::string() : report.problems.front();
  if (report.cancelled) problems_ = "the update was cancelled; what was read is kept";
  if (report.read > 0 || report.removed > 0 || report.problems.size() > 0) {
    Reload();
  } else {
    ShowCount();  // nothing changed: the table stays as it is
  }
  UpdateControls();
  if (updateAgain_) {
    updateAgain_ = false;
    StartUpdate({});
  }
}

void frmLibrary::CancelIndexing() { cancel_ = true; }

void frmLibrary::UpdateNow() { StartUpdate({}); }

void frmLibrary::AddFolder() {
  std::optional<std::string> chosen = services_.folderDialog.ChooseFolder(lastFolder_);
  if (!chosen) return;
  std::string folder = library::CanonicalFolder(*chosen);
  if (folder.empty()) {
    services_.messageBoxes.Show(ShownText(*chosen) + " is not a folder.");
    return;
  }
  lastFolder_ = folder;
  if (!db_->AddFolder(folder)) {
    services_.messageBoxes.Show("The folder could not be added: " + db_->LastError().toStdString());
    return;
  }
  ShowCount();
  StartUpdate({folder});
}

void frmLibrary::RemoveFolder(const std::string& folder) {
  // An update still running would write the folder's files back.
  if (indexThread_) {
    cancel_ = true;
    indexThread_->wait();
  }
  if (!db_->RemoveFolder(folder)) {
    services_.messageBoxes.Show("The folder could not be removed: " + db_->LastError().toStdString());
    return;
  }
  Reload();
}

void frmLibrary::BuildFoldersMenu() {
  QMenu* menu = ui_->cmdFolders->menu();
  menu->clear();
  QAction* update = menu->addAction(tr("&Update Library Now"), this, &frmLibrary::UpdateNow);
  update->setEnabled(!Indexing());
  std::vector<std::string> folders = db_->Folders();
  if (!folders.empty()) menu->addSection(tr("Remove from the library (the files stay)"));
  for (const std::string& f : folders) {
    menu->addAction(ShownQ(f), this, [this, f] { RemoveFolder(f); });
  }
}

}  // namespace vambrio::shell
