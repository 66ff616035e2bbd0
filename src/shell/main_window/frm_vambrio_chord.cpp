// "Any chord" in the Chord Type frame: a root box and a type box beside the
// Major and Minor options. Major and Minor play the classic way; "Any chord"
// plays the chosen chord by the style's complete chord rules.
#include "playback/any_chord_assembly.h"
#include "playback/assembly.h"
#include "shell/main_window/frm_vambrio.h"
#include "ui_frm_vambrio.h"

namespace vambrio {

void frmVambrio::SetUpChordChoice() {
  for (int root = 0; root < 12; ++root) ui_->cboChordRoot->addItem(RootName(root), root);
  for (int type = 0; type < kChordTypeCount; ++type)
    ui_->cboChordType->addItem(ChordTypeCaption(type), type);
  ui_->cboChordRoot->setCurrentIndex(0);  // C
  ui_->cboChordType->setCurrentIndex(0);  // Maj
  connect(ui_->OptAnyChord, &QRadioButton::toggled, this, [this] { UpdateControls(); });
}

std::optional<Chord> frmVambrio::ChosenChord() const {
  if (!ui_->OptAnyChord->isChecked()) return std::nullopt;
  return Chord{ui_->cboChordRoot->currentData().toInt(), ui_->cboChordType->currentData().toInt(), -1};
}

// Each section is assembled with the choices of the moment: the classic
// chord rule for Major and Minor, the style's own rules for any other chord.
void frmVambrio::AssembleSection(int16_t section, const PlayChoices& choices) {
  auto close = [this] { services_.sequencer.Command("close"); };
  if (const std::optional<Chord> chord = ChosenChord()) {
    MakeAnyChordTrack(model_, section, choices, chordRules_, *chord, reporter_, services_.paths.playerTmpPath, close);
  } else {
    MakeSingleTrack(model_, section, choices, reporter_, services_.paths.playerTmpPath, close);
  }
}

}  // namespace vambrio
