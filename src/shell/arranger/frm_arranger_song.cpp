// The Arranger window's song controls: the metronome (a click on each beat
// through the drum kit), transpose (every chord, from the pad, the keyboard
// and charts, moved by -11..11 semitones), the chord as a chart writes it
// while the chart plays, and the songs a set list hands to the window.
#include <QBoxLayout>
#include <QCheckBox>
#include <QLabel>
#include <QSettings>
#include <QShortcut>
#include <QSpinBox>

#include "chord/chord_symbols.h"
#include "shell/arranger/frm_arranger.h"
#include "ui_frm_arranger.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;

// Puts `widget` into the layout that holds `beside`, just after it.
void PlaceAfter(QWidget* beside, QWidget* widget) {
  for (auto* box : beside->parentWidget()->findChildren<QBoxLayout*>()) {
    if (const int at = box->indexOf(beside); at >= 0) return box->insertWidget(at + 1, widget);
  }
}

}  // namespace

void frmArranger::MakeSongControls() {
  chkMetronome_ = new QCheckBox("Metronome", this);
  chkMetronome_->setObjectName("chkMetronome");
  chkMetronome_->setToolTip("A click on each beat through the drum kit, the first beat of the bar accented (M)");
  PlaceAfter(ui_->chkAutoFill, chkMetronome_);
  auto* transposeBox = new QWidget(this);
  auto* row = new QHBoxLayout(transposeBox);
  row->setContentsMargins(0, 0, 0, 0);
  auto* caption = new QLabel("Transpose:", transposeBox);
  spnTranspose_ = new QSpinBox(transposeBox);
  spnTranspose_->setObjectName("spnTranspose");
  spnTranspose_->setRange(-11, 11);
  spnTranspose_->setToolTip("Every chord (the pad's, the keyboard's, a chart's) moved by semitones");
  caption->setBuddy(spnTranspose_);
  row->addWidget(caption);
  row->addWidget(spnTranspose_);
  PlaceAfter(ui_->cmdTap, transposeBox);
  connect(chkMetronome_, &QCheckBox::toggled, this, [this](bool on) { Send(Kind::Metronome, on ? 1 : 0); });
  connect(spnTranspose_, &QSpinBox::valueChanged, this, [this](int semitones) { Send(Kind::Transpose, semitones); });
  auto* key = new QShortcut(QKeySequence(Qt::Key_M), this);
  connect(key, &QShortcut::activated, chkMetronome_, &QCheckBox::click);
}

void frmArranger::SetMetronome(bool on) { chkMetronome_->setChecked(on); }
void frmArranger::SetTranspose(int semitones) { spnTranspose_->setValue(semitones); }
bool frmArranger::MetronomeOn() const { return chkMetronome_->isChecked(); }
int frmArranger::Transpose() const { return spnTranspose_->value(); }

std::string frmArranger::PlaySong(const std::string& chartText, int countInBars, int transpose) {
  SetTranspose(transpose);
  ui_->txtChart->setPlainText(QString::fromStdString(chartText));
  return PlayChartText(countInBars);
}

void frmArranger::RecallForSong(const registration::Registration& setUp) {
  RecallRegistration(setUp, registration::Freeze{true, false});
}

void frmArranger::StopSong() {
  if (chartPlaying_ || service_.State().playing) Send(Kind::Stop);
}

// While a chart plays: the chord as the chart writes it (moved by the
// transpose), with the chord the accompaniment plays in its tool tip.
bool frmArranger::ShowWrittenChord(const live::LiveState& s) {
  if (!chartPlaying_ || !s.playing || s.songChord < 0) return false;
  if (s.songChord == lastSongChord_ && s.transpose == lastTranspose_) return true;
  std::string written = service_.WrittenChord(s.songChord);
  if (written.empty()) return false;
  if (s.transpose != 0 && written != "N.C.") written = TransposeSymbol(written, s.transpose);
  lastSongChord_ = s.songChord;
  lastTranspose_ = s.transpose;
  ui_->lblChord->setText(QString::fromStdString(written));
  const live::ChosenChord plays{!s.hasChord, s.chord};
  ui_->lblChord->setToolTip(QString("Plays as %1").arg(QString::fromStdString(plays.Text())));
  return true;
}

void frmArranger::LoadSongSettings(QSettings& file) {
  chkMetronome_->setChecked(file.value("Metronome", false).toBool());
}

void frmArranger::SaveSongSettings(QSettings& file) const { file.setValue("Metronome", chkMetronome_->isChecked()); }

}  // namespace vambrio
