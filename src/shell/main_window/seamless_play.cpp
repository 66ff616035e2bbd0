#include "shell/main_window/seamless_play.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>
#include <QTimer>

#include "loading/entry.h"
#include "shell/common/shown_q.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr const char* kSeamlessKey = "MainWindow/PlaySeamlessly";
constexpr int kSeamlessPollMs = 30;

}  // namespace

SeamlessPlay::SeamlessPlay(ArrangerService* live, StyleModel& model, SeamlessView& view,
                           platform::MessageBoxes& messages, std::string settingsFile, QMenu* menu, QAction* before)
    : QObject(menu), live_(live), model_(model), view_(view), messages_(messages), settingsFile_(std::move(settingsFile)) {
  menuItem_ = new QAction(tr("Play seamlessly"), menu);
  menuItem_->setObjectName("mnuSeamless");
  menuItem_->setCheckable(true);
  menuItem_->setChecked(true);
  menuItem_->setStatusTip(
      tr("Play sounds at once and Repeat loops without a gap; off: the classic playback of \"Player.tmp\""));
  if (live_) menu->insertAction(before, menuItem_);
  connect(menuItem_, &QAction::toggled, this, [this] { SaveSetting(); });
  watch_ = new QTimer(this);
  connect(watch_, &QTimer::timeout, this, &SeamlessPlay::Watch);
}

void SeamlessPlay::LoadSetting() {
  if (settingsFile_.empty()) return;
  QSettings file(QString::fromStdString(settingsFile_), QSettings::IniFormat);
  QSignalBlocker quiet(menuItem_);
  menuItem_->setChecked(file.value(kSeamlessKey, true).toBool());
}

void SeamlessPlay::SaveSetting() {
  if (settingsFile_.empty()) return;
  QSettings file(QString::fromStdString(settingsFile_), QSettings::IniFormat);
  file.setValue(kSeamlessKey, menuItem_->isChecked());
  file.sync();
}

bool SeamlessPlay::Chosen() const { return live_ && menuItem_->isChecked(); }

void SeamlessPlay::PartChanged(int part, bool on) {
  if (playing_) live_->Send(live::Command(Kind::Part, part, on));
}

void SeamlessPlay::ChordChanged() {
  if (playing_) live_->Send(view_.ChordCommand());
}

void SeamlessPlay::RepeatChanged(bool on) {
  if (playing_ && !inTurn_) live_->Send(live::Command(Kind::Repeat, 0, on));
}

void SeamlessPlay::SectionChanged() {
  if (!playing_ || showingSection_) return;
  const int section = SectionIndex(view_.ChosenSectionText());
  if (section < 0) return;  // "All Sections" or a typed name: the section playing goes on
  inTurn_ = false;
  live_->Send(live::Command(Kind::PlaySection, section, view_.RepeatChosen()));
}

// Entries 0 to 15 of the section table, as the classic Play looks them up.
int SeamlessPlay::SectionIndex(const std::string& name) const {
  for (int i = 0; i < static_cast<int>(live::kSectionsInTurn) && i < static_cast<int>(model_.SectionName.size());
       ++i) {
    if (model_.SectionName[static_cast<size_t>(i)].empty()) return -1;
    if (model_.SectionName[static_cast<size_t>(i)] == name) return i;
  }
  return -1;
}

// The session is made again only when the style's bytes or the choices it
// is read with changed since the last Play.
bool SeamlessPlay::Prepare() {
  const PlayChoices c = view_.PlayChoicesNow();
  const bool same = bytes_ == model_.StyleData && choices_.GmPlayer == c.GmPlayer &&
                    choices_.IncludeSysex == c.IncludeSysex && choices_.XgSystemOn == c.XgSystemOn;
  if (same) return true;
  ArrangerStyle style;
  const std::string problem = live_->OpenModel(model_, style);
  if (!problem.empty()) {
    messages_.Show(ShownLines(problem));
    return false;
  }
  bytes_ = model_.StyleData;
  choices_ = c;
  return true;
}

void SeamlessPlay::Play() {
  const std::string chosen = view_.ChosenSectionText();
  const bool inTurn = chosen == kAllSections;
  const int section = inTurn ? 0 : SectionIndex(chosen);
  if (section < 0 || (inTurn && SectionIndex(model_.SectionName[0]) < 0)) return;  // nothing to play
  if (!Prepare()) return;
  const PlayChoices choices = view_.PlayChoicesNow();
  for (int part = 0; part < 8; ++part)
    live_->Send(live::Command(Kind::Part, part, choices.Parts[static_cast<size_t>(part)] != 0));
  live_->Send(view_.ChordCommand());
  if (!live_->Send(live::Command(inTurn ? Kind::PlayInTurn : Kind::PlaySection, section, view_.RepeatChosen()))) {
    messages_.Show(ShownLines(live_->Problem()));
    return;
  }
  playing_ = true;
  inTurn_ = inTurn;
  startBlocks_ = live_->State().blocks;
  shown_ = -1;
  model_.PlaybackStopped = false;
  view_.ShowPlaying(true, kPlayingText);
  watch_->start(kSeamlessPollMs);
  Watch();
}

// Follows the accompaniment: in turn, the section playing is shown in the
// list and written to "Player.tmp"; at its end (or when the Arranger or the
// library took the sound) the window is ready again.
void SeamlessPlay::Watch() {
  if (!playing_) return;
  const live::LiveState state = live_->State();
  const bool started = state.blocks > startBlocks_;
  if ((started && !state.playing) || !live_->HoldsOutput()) {
    // An output that stopped (its sound server froze or went away) is named
    // on the status line; Play opens it again.
    const std::string problem = live_->HoldsOutput() ? "" : live_->Problem();
    End(false);
    if (!problem.empty()) view_.ShowPlaying(false, problem);
    return;
  }
  const int section = started ? state.section : (inTurn_ ? 0 : SectionIndex(view_.ChosenSectionText()));
  if (section < 0 || section == shown_) return;
  shown_ = section;
  if (inTurn_) ShowSection(section + 1);
  view_.WritePlayerFile(static_cast<int16_t>(section), view_.PlayChoicesNow());
}

void SeamlessPlay::End(bool stopped) {
  watch_->stop();
  playing_ = false;
  if (stopped) live_->Send(live::Command(Kind::Stop));
  if (stopped && inTurn_) ShowSection(0);
  model_.PlaybackStopped = true;
  view_.ShowPlaying(false, kReadyText);
}

void SeamlessPlay::ShowSection(int entry) {
  showingSection_ = true;
  view_.ShowSectionEntry(entry);
  showingSection_ = false;
}

}  // namespace vambrio
