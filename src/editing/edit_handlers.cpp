#include "editing/edit_handlers.h"

#include "editing/master_volume.h"
#include "editing/tempo_edit.h"
#include "editing/volume_events.h"

namespace vambrio {

ControlChanges SlidMasterVolume_Click() {
  ControlChanges c;
  c.SetEnabled = true;
  c.RestoreEnabled = true;
  return c;
}

EditResult cmdSet_Click(StyleModel& m, int slider) {
  EditResult r;
  r.view.RestoreEnabled = true;
  r.view.SetEnabled = false;
  r.outcome = ApplyMasterVolume(m, slider) ? EditResult::Outcome::Done : EditResult::Outcome::NothingToDo;
  if (m.PlayRequested) {
    m.PlayRequested = false;
    r.view.EndPlayback = true;
  }
  return r;
}

ControlChanges cmdRestore_Click(StyleModel& m) {
  ControlChanges c;
  c.SetEnabled = false;
  RestoreVolumes(m);
  c.MasterVolumeSlider = m.MasterVolume;
  return c;
}

bool mnuVolumeEvents_Click(const StyleModel& m, platform::MessageBoxes& boxes) {
  if (m.StyleFileName.empty()) {
    boxes.Show(kSelectStyleFirstText);
    return false;
  }
  return true;
}

EditResult AddVolumeEvents_OK(StyleModel& m, bool gmPlayer, platform::MessageBoxes& boxes, ErrorSink& errors) {
  EditResult r;
  InsertResult ins = InsertVolumeEvents(m, gmPlayer, errors);
  if (ins.outcome != InsertResult::Outcome::Inserted) {
    boxes.Show(ins.message);
    r.outcome = EditResult::Outcome::Refused;
    return r;
  }
  r.outcome = EditResult::Outcome::Done;
  r.view.MasterVolumeSlider = m.MasterVolume;
  return r;
}

EditResult TempoEdit(StyleModel& m, platform::InputBox& input, platform::MessageBoxes& boxes, ErrorSink& errors) {
  EditResult r;
  if (m.DisplayTempo == 0) return r;
  const std::string answer = input.Ask(kTempoPrompt, kTempoTitle, std::to_string(m.DisplayTempo));
  if (answer.empty()) return r;
  try {
    int16_t t = ParseTempoText(answer);
    if (t < kTempoMin || t > kTempoMax) {
      boxes.Show(kTempoRangeText);
      r.outcome = EditResult::Outcome::Refused;
      return r;
    }
    r.view.TempoLabel = std::to_string(t);
    WriteTempo(m, t);
    r.outcome = EditResult::Outcome::Done;
  } catch (const RuntimeError& e) {
    errors.ReportError("TempoEdit", e.error());
    r.outcome = EditResult::Outcome::Reported;
  }
  return r;
}

}  // namespace vambrio
