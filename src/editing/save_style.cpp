#include "editing/save_style.h"

namespace vambrio {

EditResult mnuSaveStyle_Click(const StyleModel& m, SaveServices& s) {
  if (m.StyleFileName.empty()) {
    s.boxes.Show(kSelectStyleFirstText);
    EditResult r;
    r.outcome = EditResult::Outcome::Refused;
    return r;
  }
  return SaveStyle(m, m.StyleFileName, s);
}

EditResult SaveStyle(const StyleModel& m, const std::string& path, SaveServices& s) {
  EditResult r;
  if (!m.PlaybackStopped) {
    if (s.pressStop) s.pressStop();
    s.boxes.Show(kWaitBeforeSavingText);
    r.outcome = EditResult::Outcome::Refused;
    return r;
  }
  std::optional<std::string> chosen = s.dialogs.SaveStyle(path, kStyleSuffix);
  if (!chosen || chosen->empty()) return r;
  if (RegularFileExists(*chosen) && !s.boxes.AskOkCancel(kReplaceFileText)) return r;
  try {
    WriteStyleFile(*chosen, m.StyleData, s.writer ? *s.writer : SystemFileWriter());
    r.outcome = EditResult::Outcome::Done;
  } catch (const RuntimeError& e) {
    s.errors.ReportError("SaveStyle", e.error());
    r.outcome = EditResult::Outcome::Reported;
  } catch (const std::bad_alloc&) {
    s.errors.ReportError("SaveStyle", MakeError(7));
    r.outcome = EditResult::Outcome::Reported;
  }
  return r;
}

}  // namespace vambrio
