// The Songs window's controls: the list with its buttons, the selected
// song's settings and chart, the transport row and the menus.
// First: its headers come before Qt's (a chart has a member named "slots").
#include "shell/songs/frm_songs.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>


namespace vambrio {
namespace {

// The style's sections a written mark may become.
const char* const kSectionChoices[] = {"Main A", "Main B", "Main C", "Main D", "Intro A", "Intro B", "Intro C", "Intro D"};

template <typename T>
T* Named(T* widget, const char* name, const QString& tip = {}) {
  widget->setObjectName(name);
  if (!tip.isEmpty()) widget->setToolTip(tip);
  return widget;
}

QComboBox* SectionCombo(QWidget* parent, const char* name) {
  auto* combo = Named(new QComboBox(parent), name);
  for (const char* section : kSectionChoices) combo->addItem(section);
  return combo;
}

}  // namespace

void frmSongs::MakeControls() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  auto* splitter = new QSplitter(Qt::Horizontal, central);

  auto* left = new QWidget(splitter);
  auto* leftColumn = new QVBoxLayout(left);
  leftColumn->setContentsMargins(0, 0, 0, 0);
  lstSongs_ = Named(new QListWidget(left), "lstSongs",
                    "The songs in the order they are played. Drop lead sheets or iReal Pro links here to import them.");
  lstSongs_->setAcceptDrops(false);  // the window takes the drops
  leftColumn->addWidget(lstSongs_);
  lblEmpty_ = Named(new QLabel("No songs yet: paste an iReal Pro link (Paste Link, Ctrl+L), import lead sheets, or "
                               "drop files and links here.", left), "lblEmpty");
  lblEmpty_->setWordWrap(true);
  leftColumn->addWidget(lblEmpty_);
  auto* listButtons = new QGridLayout();
  cmdImport_ = Named(new QPushButton("&Import...", left), "cmdImport",
                     "Import lead sheets: iReal Pro links (in text or HTML files), ChordPro, MusicXML, .mxl (Ctrl+I)");
  cmdPaste_ = Named(new QPushButton("Paste &Link...", left), "cmdPaste",
                    "Paste an iReal Pro link (irealb://...) copied from a web page or a message (Ctrl+L)");
  cmdRemove_ = Named(new QPushButton("&Remove", left), "cmdRemove", "Take the song off the list (Delete)");
  cmdUp_ = Named(new QPushButton("Move &Up", left), "cmdUp", "Play the song earlier (Ctrl+Up)");
  cmdDown_ = Named(new QPushButton("Move &Down", left), "cmdDown", "Play the song later (Ctrl+Down)");
  listButtons->addWidget(cmdImport_, 0, 0);
  listButtons->addWidget(cmdPaste_, 0, 1);
  listButtons->addWidget(cmdRemove_, 0, 2);
  listButtons->addWidget(cmdUp_, 1, 0);
  listButtons->addWidget(cmdDown_, 1, 1);
  leftColumn->addLayout(listButtons);
  splitter->addWidget(left);
  splitter->addWidget(MakeDetails());
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  column->addWidget(splitter, 1);

  auto* transport = new QHBoxLayout();
  cmdPrevious_ = Named(new QPushButton("\u25C0 &Previous", central), "cmdPrevious",
                       "The song before: played at once while a song plays (Page Up)");
  cmdPlay_ = Named(new QPushButton("\u25B6 Pla&y", central), "cmdPlay", "Play the selected song in the Arranger (Enter)");
  cmdStop_ = Named(new QPushButton("\u25A0 &Stop", central), "cmdStop", "Stop the song (Esc)");
  cmdNext_ = Named(new QPushButton("&Next \u25B6", central), "cmdNext",
                   "The song after: played at once while a song plays (Page Down)");
  chkGoOn_ = Named(new QCheckBox("&Go on to the next song", central), "chkGoOn",
                   "When a song has ended, the next one plays");
  cmdLearn_ = Named(new QPushButton("MIDI &Learn", central), "cmdLearn",
                    "Learn a pad, key or controller of the keyboard for Next or Previous: press Learn, then the button");
  cmdLearn_->setCheckable(true);
  lblNow_ = Named(new QLabel(central), "lblNow");
  for (QWidget* w : std::initializer_list<QWidget*>{cmdPrevious_, cmdPlay_, cmdStop_, cmdNext_, chkGoOn_, cmdLearn_})
    transport->addWidget(w);
  transport->addWidget(lblNow_, 1);
  column->addLayout(transport);
  setCentralWidget(central);
  statusBar();
  setAcceptDrops(true);
  resize(1000, 620);
}

QWidget* frmSongs::MakeDetails() {
  fraSong_ = Named(new QGroupBox("Song", this), "fraSong");
  auto* column = new QVBoxLayout(fraSong_);
  auto* form = new QFormLayout();
  txtTitle_ = Named(new QLineEdit(fraSong_), "txtTitle");
  form->addRow("&Title:", txtTitle_);
  auto* styleRow = new QHBoxLayout();
  lblStyle_ = Named(new QLabel(fraSong_), "lblStyle");
  cmdStyle_ = Named(new QPushButton("St&yle...", fraSong_), "cmdStyle", "The style that plays the song");
  styleRow->addWidget(lblStyle_, 1);
  styleRow->addWidget(cmdStyle_);
  form->addRow("Style:", styleRow);
  auto* numbers = new QHBoxLayout();
  spnTempo_ = Named(new QSpinBox(fraSong_), "spnTempo", "Quarter notes a minute; \"as written\": the chart's tempo, else the style's");
  spnTempo_->setRange(9, 500);
  spnTempo_->setSpecialValueText("as written");
  spnTranspose_ = Named(new QSpinBox(fraSong_), "spnTranspose", "Semitones up or down for every chord of the song");
  spnTranspose_->setRange(-11, 11);
  cboCountIn_ = Named(new QComboBox(fraSong_), "cboCountIn", "What plays before the song's first bar");
  cboCountIn_->addItems({"None", "One bar of clicks", "Two bars of clicks", "The style's Intro"});
  numbers->addWidget(spnTempo_);
  numbers->addWidget(new QLabel("Transpose:", fraSong_));
  numbers->addWidget(spnTranspose_);
  numbers->addWidget(new QLabel("Count-in:", fraSong_));
  numbers->addWidget(cboCountIn_, 1);
  form->addRow("Tem&po:", numbers);
  auto* registrationRow = new QHBoxLayout();
  lblRegistration_ = Named(new QLabel("none", fraSong_), "lblRegistration");
  spnRegistrationSlot_ = Named(new QSpinBox(fraSong_), "spnRegistrationSlot", "The registration of the bank recalled before the song");
  spnRegistrationSlot_->setRange(0, 8);
  spnRegistrationSlot_->setSpecialValueText("none");
  cmdRegistration_ = Named(new QPushButton("Ban&k...", fraSong_), "cmdRegistration",
                           "A bank of registrations (.vreg) whose registration is recalled before the song");
  registrationRow->addWidget(lblRegistration_, 1);
  registrationRow->addWidget(spnRegistrationSlot_);
  registrationRow->addWidget(cmdRegistration_);
  form->addRow("Registration:", registrationRow);
  column->addLayout(form);
  column->addWidget(MakeMapping());
  auto* chartCaption = new QLabel("&Chart (as the Arranger's chart pane writes it):", fraSong_);
  column->addWidget(chartCaption);
  txtChart_ = Named(new QPlainTextEdit(fraSong_), "txtChart");
  chartCaption->setBuddy(txtChart_);
  txtChart_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont fixed("Monospace");
  fixed.setStyleHint(QFont::TypeWriter);
  txtChart_->setFont(fixed);
  column->addWidget(txtChart_, 1);
  return fraSong_;
}

// The written sections and the style's sections they become; the fills and the ending.
QWidget* frmSongs::MakeMapping() {
  auto* box = Named(new QGroupBox("Sections", fraSong_), "fraSections");
  box->setToolTip("How the sheet's sections become the style's: the song is imported again from its file or link "
                  "with them");
  auto* grid = new QGridLayout(box);
  const songs::SectionMapping defaults;
  int at = 0;
  for (const auto& [written, section] : defaults.marks) {
    auto* combo = SectionCombo(box, ("cboMark_" + written).c_str());
    cboMarks_.push_back(combo);
    const QString caption = written.size() == 1 ? QString::fromStdString(written).toUpper()
                                                : QString::fromStdString(written).replace(0, 1, QChar(written[0]).toUpper());
    grid->addWidget(new QLabel(caption + ":", box), at / 4, (at % 4) * 2);
    grid->addWidget(combo, at / 4, (at % 4) * 2 + 1);
    ++at;
  }
  cboUnmarked_ = SectionCombo(box, "cboUnmarked");
  cboUnmarkedAgain_ = SectionCombo(box, "cboUnmarkedAgain");
  grid->addWidget(new QLabel("No marks:", box), 2, 0);
  grid->addWidget(cboUnmarked_, 2, 1);
  grid->addWidget(new QLabel("again:", box), 2, 2);
  grid->addWidget(cboUnmarkedAgain_, 2, 3);
  chkFills_ = Named(new QCheckBox("Fill In before each change of Main", box), "chkFills");
  chkEnding_ = Named(new QCheckBox("Ending after the last bar", box), "chkEnding");
  grid->addWidget(chkFills_, 3, 0, 1, 4);
  grid->addWidget(chkEnding_, 3, 4, 1, 4);
  return box;
}

void frmSongs::MakeMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  file->addAction("&New Set List", QKeySequence::New, this, [this] {
    if (MayDiscard()) NewSetList();
  });
  file->addAction("&Open Set List...", QKeySequence::Open, this, &frmSongs::cmdOpen_Click);
  mnuRecent_ = file->addMenu("Open &Recent");
  mnuRecent_->setObjectName("mnuRecent");
  connect(mnuRecent_, &QMenu::aboutToShow, this, &frmSongs::FillRecent);
  mnuSave_ = file->addAction("&Save", QKeySequence::Save, this, [this] { Save(); });
  file->addAction("Save &As...", QKeySequence::SaveAs, this, [this] { SaveAs(); });
  file->addSeparator();
  file->addAction("&Close", QKeySequence::Close, this, &QWidget::close);
  QMenu* song = menuBar()->addMenu("&Song");
  song->setObjectName("mnuSong");
  song->addAction("&Import Files...", QKeySequence("Ctrl+I"), this, &frmSongs::cmdImport_Click);
  song->addAction("&Paste Link...", QKeySequence("Ctrl+L"), this, &frmSongs::PasteLink);
  song->addAction("&New Song (written)", QKeySequence("Ctrl+Shift+N"), this, &frmSongs::NewSong);
  song->addSeparator();
  song->addAction("&Style...", this, &frmSongs::ChooseStyle);
  song->addAction("Registration &Bank...", this, &frmSongs::ChooseRegistration);

  auto key = [this](const QKeySequence& sequence, auto action) {
    auto* shortcut = new QShortcut(sequence, this);
    connect(shortcut, &QShortcut::activated, this, action);
  };
  key(QKeySequence(Qt::Key_PageDown), &frmSongs::Next);
  key(QKeySequence(Qt::Key_PageUp), &frmSongs::Previous);
  key(QKeySequence(Qt::Key_Escape), &frmSongs::Stop);
  key(QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { MoveSong(-1); });
  key(QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { MoveSong(1); });
  auto* remove = new QShortcut(QKeySequence::Delete, lstSongs_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(remove, &QShortcut::activated, this, &frmSongs::RemoveSong);
}

}  // namespace vambrio
