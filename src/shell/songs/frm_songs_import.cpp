// Songs into the set list: lead-sheet files and iReal Pro links, from the
// Import dialog, pasted, or dropped on the window.
// First: its headers come before Qt's (a chart has a member named "slots").
#include "shell/songs/frm_songs.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QRegularExpression>
#include <QStatusBar>
#include <QUrl>

#include "shell/common/shown_q.h"
#include "songs/import.h"
#include "songs/set_list_play.h"

namespace vambrio {
namespace {

constexpr size_t kKeptLinkBytes = 16 * 1024;  // a longer link (a big playlist) is not kept with each of its songs
constexpr size_t kProblemsShown = 12;

bool HoldsLink(const QString& text) { return text.contains("irealb://") || text.contains("irealbook://"); }

}  // namespace

void frmSongs::cmdImport_Click() {
  const std::vector<std::string> files = services_.dialogs.ImportFiles(path_);
  if (!files.empty()) Import(files);
}

// The link on the clipboard is offered; any text holding links is taken.
void frmSongs::PasteLink() {
  const QString clipboard = QApplication::clipboard()->text().trimmed();
  const std::string text = services_.inputBox.Ask(
      "Paste an iReal Pro link (irealb://... or irealbook://...), one song or a playlist:", "Paste Link",
      HoldsLink(clipboard) ? clipboard.toStdString() : std::string());
  if (text.empty()) return;
  if (!HoldsLink(QString::fromStdString(text))) {
    services_.messageBoxes.Show("That is not an iReal Pro link: a link starts with irealb:// or irealbook://.");
    return;
  }
  Import({text});
}

void frmSongs::Import(const std::vector<std::string>& filesOrLinks) {
  int at = SelectedRow() + 1;
  const int first = at;
  size_t warnings = 0;
  std::vector<std::string> problems;
  for (const std::string& source : filesOrLinks) {
    const bool link = HoldsLink(QString::fromStdString(source)) && !QFileInfo::exists(QString::fromStdString(source));
    const songs::Imported imported = link ? songs::ImportBytes(source, "the link") : songs::ImportSource(source);
    if (!imported.error.empty()) problems.push_back((link ? std::string("The link") : source) + ": " + imported.error);
    const bool keep = !link || source.size() <= kKeptLinkBytes;
    for (const songs::ImportedSong& song : imported.songs) {
      if (!song.Ok()) {
        problems.push_back(song.error);
        continue;
      }
      for (const std::string& w : song.warnings) problems.push_back(w);
      warnings += song.warnings.size();
      list_.songs.insert(list_.songs.begin() + at, songs::SongFromImport(song, keep ? source : std::string(), {}));
      if (playing_ >= at) ++playing_;
      ++at;
    }
  }
  const int added = at - first;
  if (added > 0) modified_ = true;
  ShowList();
  if (added > 0) {
    Select(first);
    lstSongs_->setFocus();  // Enter plays it
  }
  QString status = QString("Imported %1 song%2 (%3 warnings)").arg(added).arg(added == 1 ? "" : "s").arg(warnings);
  if (added > 0) status += ": press Play (Enter) to hear it in the Arranger";
  statusBar()->showMessage(status);
  if (problems.empty()) return;
  std::string text = status.toStdString() + ".\n";
  for (size_t i = 0; i < problems.size() && i < kProblemsShown; ++i) text += "\n" + problems[i];
  if (problems.size() > kProblemsShown) text += "\n... and " + std::to_string(problems.size() - kProblemsShown) + " more";
  services_.messageBoxes.Show(ShownLines(text));
}

void frmSongs::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() || (data->hasText() && HoldsLink(data->text()))) event->acceptProposedAction();
}

void frmSongs::dropEvent(QDropEvent* event) {
  if (ImportDropped(*event->mimeData())) event->acceptProposedAction();
}

bool frmSongs::ImportDropped(const QMimeData& data) {
  std::vector<std::string> sources;
  if (data.hasText() && HoldsLink(data.text())) {
    for (const QString& line : data.text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
      if (HoldsLink(line)) sources.push_back(line.toStdString());
  } else {
    for (const QUrl& url : data.urls()) {
      if (url.isLocalFile()) sources.push_back(url.toLocalFile().toStdString());
      else if (url.scheme().startsWith("irealb")) sources.push_back(url.toString(QUrl::FullyEncoded).toStdString());
    }
  }
  if (sources.empty()) return false;
  Import(sources);
  return true;
}

}  // namespace vambrio
