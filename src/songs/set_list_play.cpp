#include "songs/set_list_play.h"

#include <algorithm>

#include "arranger/chart.h"
#include "registration/registration_bank.h"
#include "songs/chart_text.h"

namespace vambrio::songs {
namespace {

using arranger::ChartSlot;

// The first chord of the chart, N.C. when it has none.
ChartSlot FirstChord(const arranger::Chart& chart) {
  for (const auto& bar : chart.bars)
    for (const ChartSlot& slot : bar.slots)
      if (slot.kind == ChartSlot::Kind::Chord) return slot;
  return ChartSlot{ChartSlot::Kind::NoChord, {}, "N.C.", {}};
}

bool IsIntro(const std::string& name) { return name.rfind("Intro ", 0) == 0; }

// The style's Intro before the first bar, played whole on the song's first
// chord. False when the style has none (or the song starts with one).
bool PutIntroBefore(arranger::Chart& chart, const StyleShape& style) {
  if (!chart.sections.empty() && chart.sections.front().firstBar == 0 && IsIntro(chart.sections.front().name))
    return true;
  const auto intro = std::find_if(style.sections.begin(), style.sections.end(), IsIntro);
  if (intro == style.sections.end()) return false;
  const auto index = static_cast<size_t>(intro - style.sections.begin());
  const size_t bars = std::max<uint32_t>(1, index < style.sectionBars.size() ? style.sectionBars[index] : 1);
  arranger::ChartBar bar;
  bar.slots.push_back(FirstChord(chart));
  chart.bars.insert(chart.bars.begin(), bars, bar);
  for (auto& s : chart.sections) s.firstBar += bars;
  for (auto& t : chart.tempos)
    if (t.bar > 0) t.bar += bars;
  chart.sections.insert(chart.sections.begin(), {*intro, 0, {}});
  // Before an intro the chart's first section started at bar 0 implicitly; it still starts where its bars do.
  if (chart.sections.size() == 1 || chart.sections[1].firstBar != bars) chart.sections.insert(chart.sections.begin() + 1, {"Main A", bars, {}});
  return true;
}

}  // namespace

PreparedSong PrepareSong(const SetListSong& song, const StyleShape& style) {
  PreparedSong out;
  auto read = arranger::ReadChart(song.chart);
  if (auto* e = std::get_if<arranger::ChartError>(&read)) {
    out.error = e->Text();
    return out;
  }
  arranger::Chart chart = std::move(std::get<arranger::Chart>(read));
  if (song.tempo > 0) {
    std::erase_if(chart.tempos, [](const arranger::ChartTempo& t) { return t.bar == 0; });
    chart.tempos.insert(chart.tempos.begin(), {song.tempo, 0, {}});
  }
  switch (song.countIn) {
    case CountIn::None: break;
    case CountIn::OneBar: out.countInBars = 1; break;
    case CountIn::TwoBars: out.countInBars = 2; break;
    case CountIn::Intro:
      if (!PutIntroBefore(chart, style)) {
        out.countInBars = 1;
        out.notes.push_back("the style has no Intro: one bar of clicks instead");
      }
      break;
  }
  for (std::string& note : FitChart(chart, style.sections, style.beats)) out.notes.push_back(std::move(note));
  out.chartText = WriteChart(chart);
  return out;
}

SetListSong SongFromImport(const ImportedSong& imported, const std::string& source, const SectionMapping& mapping) {
  SetListSong song;
  song.title = imported.info.title;
  song.chart = WriteChart(imported.chart);
  song.source = source;
  song.mapping = mapping;
  return song;
}

std::optional<registration::Registration> SongRegistration(const SetListSong& song, std::string& why) {
  if (song.registrationSlot < 0 || song.registrationSlot >= registration::kBankSize || song.registrationBank.empty())
    return std::nullopt;
  auto bank = registration::ReadBank(song.registrationBank);
  if (auto* problem = std::get_if<registration::BankProblem>(&bank)) {
    why = problem->message;
    return std::nullopt;
  }
  const auto& slot = std::get<registration::Bank>(bank).entries[static_cast<size_t>(song.registrationSlot)];
  if (!slot) why = "registration " + std::to_string(song.registrationSlot + 1) + " of " + song.registrationBank + " is empty";
  return slot;
}

bool MapAgain(SetListSong& song, std::string& why) {
  if (song.source.empty()) {
    why = "the song's source is not kept (a long playlist pasted whole): its sections stay as imported";
    return false;
  }
  const Imported again = ImportSource(song.source, song.mapping);
  if (!again.error.empty()) {
    why = song.source + ": " + again.error;
    return false;
  }
  for (const ImportedSong& s : again.songs)
    if (s.Ok() && s.info.title == song.title) {
      song.chart = WriteChart(s.chart);
      return true;
    }
  why = song.source + " no longer holds \"" + song.title + "\"";
  return false;
}

}  // namespace vambrio::songs
