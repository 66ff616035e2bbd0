#include "loading/entry.h"

#include <clocale>

#include "loading/load_failure.h"
#include "loading/load_style.h"
#include "loading/scan.h"
#include "model/checked.h"

namespace vambrio {
namespace {

std::string TrimSpaces(const std::string& s) {
  size_t b = s.find_first_not_of(' ');
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(' ');
  return s.substr(b, e - b + 1);
}

// Steps 12-17: the derived values and the labels of a scanned style.
void FillLabels(StyleModel& m, EntryResult& r) {
  int16_t product = ToInt16(int32_t{m.TempoQpm} * m.TimeSigDenominator);
  m.DisplayTempo = RoundToInt16(product / 4.0);
  r.nameLine = TrimSpaces(m.StyleName) + " - " + TrimSpaces(m.StyleCopyright);
  r.tempoText = std::to_string(m.DisplayTempo);
  r.timeSignatureText = std::to_string(m.TimeSigNumerator) + "/" + std::to_string(m.TimeSigDenominator);
  r.sectionLines.clear();
  r.sectionLines.push_back(kAllSections);
  for (int i = 0; i <= 24; ++i) r.sectionLines.push_back(m.SectionName[i]);
  m.MasterVolume = ComputeMasterVolume(m);
  r.masterVolume = m.MasterVolume;
  r.warnings = LoadWarnings(m);
  r.labelsSet = true;
}

}  // namespace

std::vector<std::string> LoadWarnings(const StyleModel& m) {
  std::vector<std::string> warnings;
  if (m.MalformedDataBytes > 0) {
    warnings.push_back(std::to_string(m.MalformedDataBytes) + " malformed data byte" +
                       (m.MalformedDataBytes == 1 ? "" : "s"));
  }
  return warnings;
}

std::string FileNamePart(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FormatSize(int64_t size) {
  if (size <= 0) return size == 0 ? "" : std::to_string(size);
  std::string sep = ",";
  if (const lconv* lc = std::localeconv(); lc && lc->thousands_sep && *lc->thousands_sep) sep = lc->thousands_sep;
  std::string digits = std::to_string(size);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += sep;
    out += digits[i];
  }
  return out;
}

EntryResult Entry(StyleModel& m, const std::string& path, bool gmPlayer, ErrorSink& errors) {
  EntryResult r;
  try {
    m.InitialVolumeEventCount = 0;
    m.StyleFileName = path;
    r.caption = std::string("Vambrio") + "   " + FileNamePart(path);
    if (!LoadStyleBytes(m, path)) {
      r.outcome = EntryResult::Outcome::CouldNotOpen;
      r.message = kCouldNotOpenText;
      r.reason = OpenFailureReason(path);
      return r;
    }
    if (ScanStyle(m, gmPlayer, errors)) {
      FillLabels(m, r);
      r.outcome = EntryResult::Outcome::Loaded;
    } else {
      r.outcome = EntryResult::Outcome::CouldNotProcess;
      r.message = kCouldNotProcessText;
      r.reason = ProcessFailureReason(m.StyleData);
    }
    r.statusText = kReadyText;
    r.sizeText = FormatSize(m.FileSize);
    r.statusSet = true;
  } catch (const RuntimeError& e) {
    errors.ReportError("Entry", e.error());
    r.outcome = EntryResult::Outcome::Reported;
  }
  return r;
}

}  // namespace vambrio
