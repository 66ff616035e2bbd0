#include "shell/songs/frm_songs.h"
#include "songs/set_list_play.h"  // before Qt: a chart has a member named "slots"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

#include "shell/common/shown_q.h"

namespace vambrio {
namespace {

constexpr int kPollMs = 40;

}  // namespace

frmSongs::frmSongs(SongsWindowServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  setObjectName("frmSongs");
  MakeControls();
  MakeMenus();
  ConnectDetails();
  LoadSettings();
  LoadLearned();
  services_.stage.WhenStopped([this](bool ended) { SongStopped(ended); });
  poll_ = new QTimer(this);
  connect(poll_, &QTimer::timeout, this, &frmSongs::Poll);
  poll_->start(kPollMs);
  NewSetList();
}

frmSongs::~frmSongs() { services_.stage.WhenStopped({}); }

void frmSongs::ConnectDetails() {
  connect(lstSongs_, &QListWidget::currentRowChanged, this, [this] {
    ShowSong();
    UpdateControls();
  });
  connect(lstSongs_, &QListWidget::itemActivated, this, [this] { Play(); });
  connect(cmdImport_, &QPushButton::clicked, this, &frmSongs::cmdImport_Click);
  connect(cmdPaste_, &QPushButton::clicked, this, &frmSongs::PasteLink);
  connect(cmdRemove_, &QPushButton::clicked, this, &frmSongs::RemoveSong);
  connect(cmdUp_, &QPushButton::clicked, this, [this] { MoveSong(-1); });
  connect(cmdDown_, &QPushButton::clicked, this, [this] { MoveSong(1); });
  connect(cmdPlay_, &QPushButton::clicked, this, &frmSongs::Play);
  connect(cmdStop_, &QPushButton::clicked, this, &frmSongs::Stop);
  connect(cmdNext_, &QPushButton::clicked, this, [this] {
    if (cmdLearn_->isChecked()) return LearnInstead(keyboard::Control::NextSong);
    Next();
  });
  connect(cmdPrevious_, &QPushButton::clicked, this, [this] {
    if (cmdLearn_->isChecked()) return LearnInstead(keyboard::Control::PreviousSong);
    Previous();
  });
  connect(cmdLearn_, &QPushButton::toggled, this, &frmSongs::LearnToggled);
  connect(chkGoOn_, &QCheckBox::toggled, this, [this] { SaveSettings(); });
  connect(cmdStyle_, &QPushButton::clicked, this, &frmSongs::ChooseStyle);
  connect(cmdRegistration_, &QPushButton::clicked, this, &frmSongs::ChooseRegistration);
  connect(txtTitle_, &QLineEdit::textEdited, this,
          [this](const QString& t) { SongEdited([&](songs::SetListSong& s) { s.title = t.toStdString(); }); });
  connect(spnTempo_, &QSpinBox::valueChanged, this, [this](int bpm) {
    SongEdited([&](songs::SetListSong& s) { s.tempo = bpm < 10 ? 0 : bpm; });
  });
  connect(spnTranspose_, &QSpinBox::valueChanged, this,
          [this](int semitones) { SongEdited([&](songs::SetListSong& s) { s.transpose = semitones; }); });
  connect(cboCountIn_, &QComboBox::currentIndexChanged, this, [this](int c) {
    SongEdited([&](songs::SetListSong& s) { s.countIn = static_cast<songs::CountIn>(std::clamp(c, 0, 3)); });
  });
  connect(spnRegistrationSlot_, &QSpinBox::valueChanged, this,
          [this](int slot) { SongEdited([&](songs::SetListSong& s) { s.registrationSlot = slot - 1; }); });
  connect(txtChart_, &QPlainTextEdit::textChanged, this, [this] {
    SongEdited([&](songs::SetListSong& s) { s.chart = txtChart_->toPlainText().toStdString(); });
  });
  for (QComboBox* combo : cboMarks_) connect(combo, &QComboBox::activated, this, &frmSongs::MappingEdited);
  connect(cboUnmarked_, &QComboBox::activated, this, &frmSongs::MappingEdited);
  connect(cboUnmarkedAgain_, &QComboBox::activated, this, &frmSongs::MappingEdited);
  connect(chkFills_, &QCheckBox::clicked, this, &frmSongs::MappingEdited);
  connect(chkEnding_, &QCheckBox::clicked, this, &frmSongs::MappingEdited);
}

int frmSongs::SelectedRow() const { return lstSongs_->currentRow(); }

void frmSongs::Select(int row) {
  if (row >= 0 && row < lstSongs_->count()) lstSongs_->setCurrentRow(row);
}

// ---- The list and the selected song ----------------------------------------

void frmSongs::ShowList() {
  const int row = SelectedRow();
  lstSongs_->clear();
  for (size_t i = 0; i < list_.songs.size(); ++i) {
    lstSongs_->addItem(QString());
    ShowRow(static_cast<int>(i));
  }
  Select(std::min(std::max(row, 0), lstSongs_->count() - 1));
  ShowSong();
  ShowTitle();
  UpdateControls();
}

// "3. Blue Bossa  (Bossa.sty, 140, +2)", the playing one marked.
void frmSongs::ShowRow(int row) {
  QListWidgetItem* item = lstSongs_->item(row);
  if (!item) return;
  const songs::SetListSong& s = list_.songs[static_cast<size_t>(row)];
  QStringList facts;
  facts << (s.style.empty() ? QString("the Arranger's style") : ShownFileName(s.style));
  if (s.tempo > 0) facts << QString::number(s.tempo);
  if (s.transpose != 0) facts << QString("%1%2").arg(s.transpose > 0 ? "+" : "").arg(s.transpose);
  const QString title = s.title.empty() ? QString("(untitled)") : ShownQ(s.title);
  item->setText(QString("%1%2. %3   (%4)").arg(row == playing_ ? "\u25B6 " : "").arg(row + 1).arg(title, facts.join(", ")));
  item->setToolTip(s.source.empty() ? title : title + "\nfrom " + ShownQ(s.source.substr(0, 200)));
}

void frmSongs::ShowSong() {
  const int row = SelectedRow();
  showing_ = true;
  if (row >= 0 && static_cast<size_t>(row) < list_.songs.size()) {
    const songs::SetListSong& s = list_.songs[static_cast<size_t>(row)];
    txtTitle_->setText(Q(s.title));
    lblStyle_->setText(s.style.empty() ? QString("the Arranger's style") : ShownFileName(s.style));
    lblStyle_->setToolTip(Q(s.style));
    spnTempo_->setValue(s.tempo > 0 ? static_cast<int>(s.tempo) : spnTempo_->minimum());
    spnTranspose_->setValue(s.transpose);
    cboCountIn_->setCurrentIndex(static_cast<int>(s.countIn));
    lblRegistration_->setText(s.registrationBank.empty() ? QString("none") : ShownFileName(s.registrationBank));
    lblRegistration_->setToolTip(Q(s.registrationBank));
    spnRegistrationSlot_->setValue(s.registrationSlot + 1);
    for (size_t m = 0; m < cboMarks_.size(); ++m) {
      const std::string written = cboMarks_[m]->objectName().mid(8).toStdString();  // "cboMark_" + mark
      for (const auto& [mark, section] : s.mapping.marks)
        if (mark == written) cboMarks_[m]->setCurrentText(Q(section));
    }
    cboUnmarked_->setCurrentText(Q(s.mapping.unmarked));
    cboUnmarkedAgain_->setCurrentText(Q(s.mapping.unmarkedAgain));
    chkFills_->setChecked(s.mapping.fills);
    chkEnding_->setChecked(s.mapping.ending);
    if (txtChart_->toPlainText().toStdString() != s.chart) txtChart_->setPlainText(Q(s.chart));
  } else {
    txtTitle_->clear();
    lblStyle_->clear();
    txtChart_->clear();
  }
  showing_ = false;
}

void frmSongs::SongEdited(const std::function<void(songs::SetListSong&)>& edit) {
  const int row = SelectedRow();
  if (showing_ || row < 0 || static_cast<size_t>(row) >= list_.songs.size()) return;
  edit(list_.songs[static_cast<size_t>(row)]);
  modified_ = true;
  ShowRow(row);
  ShowTitle();
}

// A new mapping: the song is imported again from its source with it.
void frmSongs::MappingEdited() {
  const int row = SelectedRow();
  if (showing_ || row < 0) return;
  songs::SetListSong& s = list_.songs[static_cast<size_t>(row)];
  songs::SectionMapping m = s.mapping;
  for (QComboBox* combo : cboMarks_) {
    const std::string written = combo->objectName().mid(8).toStdString();
    for (auto& [mark, section] : m.marks)
      if (mark == written) section = combo->currentText().toStdString();
  }
  m.unmarked = cboUnmarked_->currentText().toStdString();
  m.unmarkedAgain = cboUnmarkedAgain_->currentText().toStdString();
  m.fills = chkFills_->isChecked();
  m.ending = chkEnding_->isChecked();
  songs::SetListSong again = s;
  again.mapping = m;
  std::string why;
  if (!songs::MapAgain(again, why)) {
    statusBar()->showMessage(ShownQ(why));
    ShowSong();  // the mapping as it was
    return;
  }
  s = std::move(again);
  modified_ = true;
  ShowSong();
  ShowTitle();
  statusBar()->showMessage(QString("\"%1\" imported again with its new sections").arg(ShownQ(s.title)));
}

void frmSongs::NewSong() {
  songs::SetListSong song;
  song.title = "New song";
  song.chart = "[Main A] C | Am | F | G7 |\n[Ending A] C |\n";
  const int at = SelectedRow() + 1;
  list_.songs.insert(list_.songs.begin() + at, song);
  if (playing_ >= at) ++playing_;
  modified_ = true;
  ShowList();
  Select(at);
  txtTitle_->setFocus();
  txtTitle_->selectAll();
}

void frmSongs::RemoveSong() {
  const int row = SelectedRow();
  if (row < 0) return;
  if (row == playing_) Stop();
  list_.songs.erase(list_.songs.begin() + row);
  if (playing_ > row) --playing_;
  if (playing_ == row) playing_ = -1;
  modified_ = true;
  ShowList();
}

void frmSongs::MoveSong(int by) {
  const int row = SelectedRow();
  const int to = row + by;
  if (row < 0 || to < 0 || static_cast<size_t>(to) >= list_.songs.size()) return;
  std::swap(list_.songs[static_cast<size_t>(row)], list_.songs[static_cast<size_t>(to)]);
  if (playing_ == row) playing_ = to;
  else if (playing_ == to) playing_ = row;
  modified_ = true;
  ShowList();
  Select(to);
}

void frmSongs::ChooseStyle() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string& now = list_.songs[static_cast<size_t>(row)].style;
  const std::string path = services_.dialogs.ChooseStyle(now.empty() ? services_.stage.CurrentStyle() : now);
  if (path.empty()) return;
  SongEdited([&](songs::SetListSong& s) { s.style = path; });
  ShowSong();
}

void frmSongs::ChooseRegistration() {
  const int row = SelectedRow();
  if (row < 0) return;
  const std::string path = services_.dialogs.ChooseRegistrationBank(list_.songs[static_cast<size_t>(row)].registrationBank);
  if (path.empty()) return;
  SongEdited([&](songs::SetListSong& s) {
    s.registrationBank = path;
    if (s.registrationSlot < 0) s.registrationSlot = 0;
  });
  ShowSong();
}

// ---- Every control's state -------------------------------------------------

void frmSongs::UpdateControls() {
  const int row = SelectedRow();
  const int count = static_cast<int>(list_.songs.size());
  const bool selected = row >= 0 && row < count;
  const bool playing = playing_ >= 0 && services_.stage.Playing();
  const int from = playing_ >= 0 ? playing_ : row;
  fraSong_->setEnabled(selected);
  cmdPlay_->setEnabled(selected);
  cmdStop_->setEnabled(playing);
  cmdNext_->setEnabled(cmdLearn_->isChecked() || (count > 0 && from + 1 < count));
  cmdPrevious_->setEnabled(cmdLearn_->isChecked() || (count > 0 && from > 0));
  cmdLearn_->setVisible(services_.keyboard != nullptr);
  lblEmpty_->setVisible(count == 0);
  cmdRemove_->setEnabled(selected);
  cmdUp_->setEnabled(selected && row > 0);
  cmdDown_->setEnabled(selected && row + 1 < count);
  if (mnuSave_) mnuSave_->setEnabled(modified_ || path_.empty());
  lblNow_->setText(playing && playing_ < count
                       ? QString("Now playing: %1").arg(ShownQ(list_.songs[static_cast<size_t>(playing_)].title))
                       : QString());
}

}  // namespace vambrio
