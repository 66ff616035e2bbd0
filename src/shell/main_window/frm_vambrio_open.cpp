// Opening a style: the Open menu, a dropped file, the GM/XG box, and the
// window side of Entry.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <array>

#include "loading/entry.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/part_voices.h"
#include "shell/main_window/play_controls.h"
#include "shell/main_window/recent_styles.h"
#include "shell/main_window/sound_settings.h"
#include "shell/main_window/section_combo.h"
#include "shell/common/shown_q.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

// The first local file a drop offers, or an empty text.
QString DroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) return url.toLocalFile();
  }
  return {};
}

// What a style that loaded with warnings holds, for the status line's tool tip.
QString LoadWarningTip(const std::vector<std::string>& warnings) {
  if (warnings.empty()) return {};
  QString tip = "This style loaded with warnings:";
  for (const std::string& w : warnings) tip += "\n" + ShownQ(w);
  return tip + "\nData bytes of 128 or more play as 127.";
}

}  // namespace

void frmVambrio::Entry(const std::string& path, bool showWindow) {
  if (unloaded_) return;  // the window has closed (the session ended during the start-up)
  // A style that does not load leaves the one before whole: its bytes and
  // tables, title, labels, sections, part boxes, volume and Play.
  StyleModel before = model_;
  const QString titleBefore = windowTitle();
  const int volumeBefore = ui_->SlidMasterVolume->value();
  std::array<bool, 8> partsBefore{};
  for (int i = 0; i < 8; ++i) partsBefore[static_cast<size_t>(i)] = PartBox(i)->isChecked();
  // Steps that hold whatever the file turns out to be: every part checked,
  // Play enabled and Stop disabled (unless a playback is still running),
  // the window shown, the master-volume slider at its bottom.
  SetAllParts(true);
  UpdateControls();
  if (showWindow) show();
  setWindowTitle("Vambrio");
  ui_->SlidMasterVolume->setValue(0);
  EntryResult r = vambrio::Entry(model_, path, ui_->chkGM->isChecked(), reporter_);
  if (r.outcome != EntryResult::Outcome::Loaded) {
    model_ = std::move(before);
    setWindowTitle(titleBefore);
    ui_->SlidMasterVolume->setValue(volumeBefore);
    for (int i = 0; i < 8; ++i) PartBox(i)->setChecked(partsBefore[static_cast<size_t>(i)]);
    if (!r.message.empty()) services_.messageBoxes.Show(ShownLines(r.MessageWithReason(path)));
    UpdateControls();
    return;
  }
  play_->StyleLoaded();
  ApplyEntryResult(r);
  recentStyles_->Remember(path);
}

void frmVambrio::ApplyEntryResult(const EntryResult& r) {
  if (!r.caption.empty()) setWindowTitle(ShownQ(r.caption));
  if (!r.message.empty()) services_.messageBoxes.Show(ShownLines(r.message));
  if (r.labelsSet) {
    ui_->lblStyleName->setText(ShownQ(r.nameLine));
    ui_->lblTempo->setText(QString::fromStdString(r.tempoText));
    ui_->lblTimeSignature->setText(QString::fromStdString(r.timeSignatureText));
    ui_->cboSections->clear();
    for (const std::string& line : r.sectionLines) ui_->cboSections->addItem(ShownQ(line));
    ui_->SlidMasterVolume->setValue(r.masterVolume);
    ui_->cboSections->setCurrentIndex(0);
  }
  if (r.statusSet) {
    ui_->lblStatus->setText(QString::fromStdString(r.statusText));
    ui_->lblSize->setText(QString::fromStdString(r.sizeText));
  }
  ui_->lblStatus->setToolTip(LoadWarningTip(r.warnings));
  partVoices_->StyleLoaded(model_);
  soundSettings_->ShowStatus();
  UpdateControls();
}

void frmVambrio::mnuOpen_Click() {
  cmdStop_Click();
  std::optional<std::string> chosen;
  try {
    chosen = services_.fileDialogs.OpenStyle(model_.StyleFileName);
  } catch (const RuntimeError& e) {
    reporter_.ReportError("Open", e.error());
    return;
  }
  if (!chosen) return;  // cancelled: the current style stays loaded
  repaint();
  Entry(*chosen);
}

void frmVambrio::OpenStyle(const std::string& path) {
  cmdStop_Click();
  repaint();
  Entry(path);
}

void frmVambrio::chkGM_Click() {
  ui_->chkGM->setText(ui_->chkGM->isChecked() ? "GM" : "XG");
  if (!model_.StyleFileName.empty()) Entry(model_.StyleFileName);
}

void frmVambrio::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmVambrio::dragMoveEvent(QDragMoveEvent* event) {
  if (!DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void frmVambrio::dropEvent(QDropEvent* event) {
  QString file = DroppedFile(event->mimeData());
  if (file.isEmpty()) return;  // text or other data: nothing happens
  event->acceptProposedAction();
  cmdStop_Click();
  Entry(file.toStdString());
}

}  // namespace vambrio
