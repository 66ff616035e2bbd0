// "Play seamlessly" (Options, kept in "Sound.ini"): Play sounds at once and
// Repeat loops the section without a gap, through the live arranger, over
// the chosen chord type, parts, player type and sysex choice. "Player.tmp"
// is still written for each section that plays. Stop, the part boxes, the
// chord and a change of section act while it plays, as in the Arranger: a
// part or chord at once, a section from the next bar line. Off, Play is the
// classic playback.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSettings>
#include <QTimer>

#include "loading/entry.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/shown_q.h"
#include "shell/main_window/section_combo.h"
#include "ui_frm_vambrio.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr const char* kSeamlessKey = "MainWindow/PlaySeamlessly";
constexpr int kSeamlessPollMs = 30;

}  // namespace

void frmVambrio::SetUpSeamless() {
  mnuSeamless_ = new QAction(tr("Play seamlessly"), this);
  mnuSeamless_->setObjectName("mnuSeamless");
  mnuSeamless_->setCheckable(true);
  mnuSeamless_->setChecked(true);
  mnuSeamless_->setStatusTip(
      tr("Play sounds at once and Repeat loops without a gap; off: the classic playback of \"Player.tmp\""));
  if (services_.seamless) ui_->mnuOptions->insertAction(ui_->mnuSysex, mnuSeamless_);
  connect(mnuSeamless_, &QAction::toggled, this, [this] { SaveSeamlessSetting(); });
  seamlessWatch_ = new QTimer(this);
  connect(seamlessWatch_, &QTimer::timeout, this, &frmVambrio::WatchSeamless);

  for (int part = 0; part < 8; ++part)
    connect(PartBox(part), &QCheckBox::toggled, this, [this, part](bool on) {
      if (seamlessPlaying_) services_.seamless->Send(live::Command(Kind::Part, part, on));
    });
  auto chordChanged = [this] {
    if (seamlessPlaying_) services_.seamless->Send(SeamlessChord());
  };
  for (QRadioButton* option : {ui_->OptMajor, ui_->OptMinor, ui_->OptAnyChord})
    connect(option, &QRadioButton::toggled, this, [chordChanged](bool on) {
      if (on) chordChanged();
    });
  connect(ui_->cboChordRoot, &QComboBox::currentIndexChanged, this, chordChanged);
  connect(ui_->cboChordType, &QComboBox::currentIndexChanged, this, chordChanged);
  connect(ui_->chkRepeat, &QCheckBox::toggled, this, [this](bool on) {
    if (seamlessPlaying_ && !seamlessInTurn_) services_.seamless->Send(live::Command(Kind::Repeat, 0, on));
  });
  connect(ui_->cboSections, &SectionCombo::currentIndexChanged, this, [this] {
    if (!seamlessPlaying_ || showingSection_) return;
    const int section = SectionIndex(SectionText());
    if (section < 0) return;  // "All Sections" or a typed name: the section playing goes on
    seamlessInTurn_ = false;
    services_.seamless->Send(live::Command(Kind::PlaySection, section, RepeatOn()));
  });
}

void frmVambrio::LoadSeamlessSetting() {
  if (services_.paths.configDir.empty()) return;
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  QSignalBlocker quiet(mnuSeamless_);
  mnuSeamless_->setChecked(file.value(kSeamlessKey, true).toBool());
}

void frmVambrio::SaveSeamlessSetting() {
  if (services_.paths.configDir.empty()) return;
  QSettings file(QString::fromStdString(SoundSettingsFilePath()), QSettings::IniFormat);
  file.setValue(kSeamlessKey, mnuSeamless_->isChecked());
  file.sync();
}

bool frmVambrio::SeamlessChosen() const { return services_.seamless && mnuSeamless_->isChecked(); }

// Entries 0 to 15 of the section table, as the classic Play looks them up.
int frmVambrio::SectionIndex(const std::string& name) const {
  for (int i = 0; i < static_cast<int>(live::kSectionsInTurn) && i < static_cast<int>(model_.SectionName.size());
       ++i) {
    if (model_.SectionName[static_cast<size_t>(i)].empty()) return -1;
    if (model_.SectionName[static_cast<size_t>(i)] == name) return i;
  }
  return -1;
}

// C major or C minor as the classic Play has them, else the chosen chord.
live::LiveCommand frmVambrio::SeamlessChord() const {
  live::LiveCommand c = live::Command(Kind::Chord);
  if (const std::optional<Chord> chord = ChosenChord()) {
    c.chord = *chord;
  } else {
    c.chord = *ParseChord(ui_->OptMinor->isChecked() ? "Cm" : "C");
  }
  return c;
}

// The session is made again only when the style's bytes or the choices it
// is read with changed since the last Play.
bool frmVambrio::PrepareSeamless() {
  const PlayChoices c = Choices();
  const bool same = seamlessBytes_ == model_.StyleData && seamlessChoices_.GmPlayer == c.GmPlayer &&
                    seamlessChoices_.IncludeSysex == c.IncludeSysex && seamlessChoices_.XgSystemOn == c.XgSystemOn;
  if (same) return true;
  ArrangerStyle style;
  const std::string problem = services_.seamless->OpenModel(model_, style);
  if (!problem.empty()) {
    services_.messageBoxes.Show(ShownLines(problem));
    return false;
  }
  seamlessBytes_ = model_.StyleData;
  seamlessChoices_ = c;
  return true;
}

void frmVambrio::PlaySeamlessly() {
  const bool inTurn = SectionText() == kAllSections;
  const int section = inTurn ? 0 : SectionIndex(SectionText());
  if (section < 0 || (inTurn && SectionIndex(model_.SectionName[0]) < 0)) return;  // nothing to play
  if (!PrepareSeamless()) return;
  ArrangerService& live = *services_.seamless;
  const PlayChoices choices = Choices();
  for (int part = 0; part < 8; ++part)
    live.Send(live::Command(Kind::Part, part, choices.Parts[static_cast<size_t>(part)] != 0));
  live.Send(SeamlessChord());
  if (!live.Send(live::Command(inTurn ? Kind::PlayInTurn : Kind::PlaySection, section, RepeatOn()))) {
    services_.messageBoxes.Show(ShownLines(live.Problem()));
    return;
  }
  seamlessPlaying_ = true;
  seamlessInTurn_ = inTurn;
  seamlessStartBlocks_ = live.State().blocks;
  seamlessShown_ = -1;
  model_.PlaybackStopped = false;
  playEnabled_ = false;
  stopEnabled_ = true;
  stopIsDefault_ = true;
  SetStatusText(kPlayingText);
  UpdateControls();
  seamlessWatch_->start(kSeamlessPollMs);
  WatchSeamless();
}

// Follows the accompaniment: in turn, the section playing is shown in the
// list and written to "Player.tmp"; at its end (or when the Arranger or the
// library took the sound) the window is ready again.
void frmVambrio::WatchSeamless() {
  if (!seamlessPlaying_) return;
  const live::LiveState state = services_.seamless->State();
  const bool started = state.blocks > seamlessStartBlocks_;
  if ((started && !state.playing) || !services_.seamless->HoldsOutput()) {
    // An output that stopped (its sound server froze or went away) is named
    // on the status line; Play opens it again.
    const std::string problem = services_.seamless->HoldsOutput() ? "" : services_.seamless->Problem();
    EndSeamless(false);
    if (!problem.empty()) SetStatusText(problem);
    return;
  }
  const int section = started ? state.section : (seamlessInTurn_ ? 0 : SectionIndex(SectionText()));
  if (section < 0 || section == seamlessShown_) return;
  seamlessShown_ = section;
  if (seamlessInTurn_) {
    showingSection_ = true;
    SelectSection(section + 1);
    showingSection_ = false;
  }
  AssembleSection(static_cast<int16_t>(section), Choices());
}

void frmVambrio::EndSeamless(bool stopped) {
  seamlessWatch_->stop();
  seamlessPlaying_ = false;
  if (stopped) services_.seamless->Send(live::Command(Kind::Stop));
  if (stopped && seamlessInTurn_) {
    showingSection_ = true;
    SelectSection(0);
    showingSection_ = false;
  }
  model_.PlaybackStopped = true;
  playEnabled_ = true;
  stopEnabled_ = false;
  stopIsDefault_ = false;
  SetStatusText(kReadyText);
  UpdateControls();
}

}  // namespace vambrio
