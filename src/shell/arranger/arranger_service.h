// What the Arranger window needs of the live arranger: the style read for
// live play, commands in, the published state out, and chord charts played
// live or exported. The real one plays through the built-in synthesizer;
// tests hand the window a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "live/live_command.h"
#include "loading/stage_settings.h"
#include "model/style_model.h"

namespace vambrio {

struct ArrangerStyle {
  std::string path;
  std::string name;                   // the style's own name, else its file name
  std::vector<std::string> sections;  // in file order
  double tempoQpm = 120;
  int beatsPerBar = 4;
  std::vector<OneTouchSetting> ots;   // the style's One Touch Settings, in order
  std::vector<uint32_t> sectionBars;  // each section's length in bars
};

// Where a bar of a chart stands in its text (1-based).
struct ChartBarPlace {
  int line = 0;
  int column = 0;
};

class ArrangerService {
 public:
  virtual ~ArrangerService() = default;
  // Reads the style for live play; the message to show when it cannot.
  virtual std::string OpenStyle(const std::string& path, ArrangerStyle& style) = 0;
  // The same from a style already in memory, as it stands (edits included).
  virtual std::string OpenModel(const StyleModel& model, ArrangerStyle& style) {
    return OpenStyle(model.StyleFileName, style);
  }
  // A command for the accompaniment; it takes effect in the next audio
  // block. False when nothing can sound (Problem says why).
  virtual bool Send(const live::LiveCommand& command) = 0;
  virtual live::LiveState State() const = 0;
  virtual std::string Problem() const = 0;
  virtual uint64_t Underruns() const = 0;
  // Whether the accompaniment has the audio output: false before it first
  // plays, and once something else took the output or the output was lost.
  virtual bool HoldsOutput() const = 0;

  // Chord charts of the open style. Each returns the error to show
  // ("line 3, column 7: ..."), empty when all is well.
  virtual std::string CheckChart(const std::string& text, std::vector<ChartBarPlace>& bars) = 0;
  // Plays the chart live from its first bar (State().bar is its bar), after
  // `countInBars` (0..2) bars of the metronome's clicks.
  virtual std::string PlayChart(const std::string& text, int countInBars = 0) = 0;
  // The chord as the chart playing writes it, for State().songChord ("" when unknown, "N.C." for none).
  virtual std::string WrittenChord(int songStep) const {
    (void)songStep;
    return {};
  }
  // Writes the chart as a MIDI file (".mid") or a WAV file (".wav");
  // `progress` (0..1) is called from the thread that runs the export.
  virtual std::string Export(const std::string& text, const std::string& outPath,
                             const std::function<void(double)>& progress) = 0;

  // While `on` (the window is open and a MIDI input chosen), the player's
  // keyboard is heard also while the accompaniment is stopped: the service
  // holds the sound source whenever nothing else plays there. The window
  // calls it with every refresh.
  virtual void KeepKeyboardAttached(bool on) { (void)on; }

  // Recording what is played (the accompaniment and the keyboard) from now
  // until StopRecording, into a MIDI file and, when chartPath is not empty,
  // a chord chart; both are kept whole while recording (UpdateRecording,
  // now and then). Each returns the problem to show, empty when all is well.
  virtual std::string StartRecording(const std::string& midiPath, const std::string& chartPath) {
    (void)midiPath, (void)chartPath;
    return "This Vambrio cannot record.";
  }
  virtual std::string UpdateRecording() { return {}; }
  virtual std::string StopRecording() { return {}; }
  // A recording's MIDI file rendered offline through the same synthesizer and
  // voice map as WAV audio; `progress` (0..1) is called from the thread that
  // runs it. The problem to show, empty when all is well.
  virtual std::string SaveRecordingWav(const std::string& midiPath, const std::string& wavPath,
                                       const std::function<void(double)>& progress) {
    (void)midiPath, (void)wavPath, (void)progress;
    return "This Vambrio cannot render recordings.";
  }
  // Which voice a part (0..7, "Rhythm Sub" .. "Phrase 2") of the open style
  // asks for and what plays it on the sound source now, for its switch's
  // tool tip; "" when the part plays nothing (or nobody knows).
  virtual std::string PartVoices(int part) {
    (void)part;
    return {};
  }
};

}  // namespace vambrio
