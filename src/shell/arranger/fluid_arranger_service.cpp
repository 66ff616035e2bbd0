#include "shell/arranger/fluid_arranger_service.h"

#include <filesystem>
#include <fstream>

#include "arranger/chart.h"
#include "live/live_session.h"
#include "loading/entry.h"
#include "midi/smf_writer.h"
#include "platform/fluidsynth/fluid_render.h"
#include "platform/files/soundfont.h"
#include "model/error_reporter.h"

namespace vambrio {
namespace {

using Kind = live::LiveCommand::Kind;
constexpr double kWavTailSeconds = 3.0;

bool StartsPlaying(const live::LiveCommand& c) {
  return c.kind == Kind::Start || c.kind == Kind::StartStop || (c.kind == Kind::SyncStart && c.value != 0) ||
         c.kind == Kind::PlaySection || c.kind == Kind::PlayInTurn;
}

}  // namespace

FluidArrangerService::FluidArrangerService(std::function<platform::FluidEngine&()> engine,
                                           std::function<PlayChoices()> choices)
    : engine_(std::move(engine)), choices_(std::move(choices)), model_(MakeStartupModel()) {}

FluidArrangerService::~FluidArrangerService() {
  Detach();
  StopRecording();  // the files written whole
}

live::SessionChoices FluidArrangerService::Choices() const {
  const PlayChoices c = choices_ ? choices_() : PlayChoices{};
  live::SessionChoices s;
  s.setup = {c.IncludeSysex, c.XgSystemOn};
  s.options.gmPlayer = c.GmPlayer;
  s.sampleRate = realtime::kOutputSampleRate;
  return s;
}

std::string FluidArrangerService::OpenStyle(const std::string& path, ArrangerStyle& style) {
  StyleModel m = MakeStartupModel();
  CollectingErrorReporter errors;
  const EntryResult r = Entry(m, path, choices_ ? choices_().GmPlayer : false, errors);
  if (r.outcome != EntryResult::Outcome::Loaded)
    return !r.message.empty() ? r.MessageWithReason(path)
           : errors.messages.empty() ? "The style could not be read."
                                     : errors.messages.front();
  Use(std::move(m), path, style);
  return {};
}

std::string FluidArrangerService::OpenModel(const StyleModel& model, ArrangerStyle& style) {
  Use(model, model.StyleFileName, style);
  return {};
}

void FluidArrangerService::Use(StyleModel m, const std::string& path, ArrangerStyle& style) {
  Detach();
  model_ = std::move(m);
  loaded_ = true;
  session_ = std::make_unique<live::LiveSession>(model_, Choices());
  GiveChoices();
  voiceUse_ = std::make_shared<const voices::StyleVoiceUse>(voices::GatherVoiceUse(model_));
  style.path = path;
  style.name = model_.StyleName.empty() ? std::filesystem::path(path).stem().string() : model_.StyleName;
  style.sections.clear();
  style.sectionBars.clear();
  const auto& patterns = session_->Patterns();
  for (const auto& section : patterns.sections) {
    style.sections.push_back(section.name);
    style.sectionBars.push_back(patterns.barLength ? (section.length + patterns.barLength - 1) / patterns.barLength : 1);
  }
  style.tempoQpm = 60'000'000.0 / session_->Patterns().tempo;
  style.beatsPerBar = session_->Patterns().beatsPerBar;
  style.ots = ReadStageSettings(model_).ots;
}

// The classic Play took the output, or the output was lost: the session is
// stopped where it stands.
void FluidArrangerService::TakeBackFromOthers() {
  if (!takenAway_.exchange(false) && !outputLost_.load()) return;
  attachedTo_ = nullptr;
  if (session_) session_->StopDetached();
}

bool FluidArrangerService::Attach() {
  TakeBackFromOthers();
  platform::LiveOutput& output = Output();
  // A change of the voice choices or the SoundFont takes effect at the next start.
  if (attachedTo_ == &output && output.LiveClientAttached() && mapping_.Map() == MapFor(output, true).get()) return true;
  Detach();
  outputLost_ = false;
  if (!recorder_) recorder_ = std::make_unique<recording::PerformanceRecorder>(session_->Client());
  // The keyboard hears the arranger's markers first (OTS Link), then the recorder.
  session_->Client().SetMetaTap(recorder_.get());
  realtime::RealtimeClient& client =
      keyboard_ ? keyboard_->ClientFor(session_->Client(), recorder_.get()) : session_->Client();
  recorder_->SetInner(client);
  // The recording keeps what the style plays; the output hears it through the voice map.
  mapping_.Use(recorder_.get(), MapFor(output, true));
  if (!output.AttachLiveClient(mapping_, [this] { takenAway_ = true; }, [this] { outputLost_ = true; })) {
    problem_ = output.Problem();
    return false;
  }
  attachedTo_ = &output;
  problem_.clear();
  return true;
}

// The built-in synthesizer plays the map for its SoundFont (the engine made
// to read the map's bank selects); a port, the map for a General MIDI
// synthesizer when the user says it is one.
std::shared_ptr<const voices::VoiceMap> FluidArrangerService::MapFor(platform::LiveOutput& output, bool playing) {
  const platform::VoiceChoices choices = voiceChoices_ ? voiceChoices_() : platform::VoiceChoices{};
  platform::FluidEngine& engine = engine_();
  if (&output != static_cast<platform::LiveOutput*>(&engine)) return voiceMap_.ForPort(voiceUse_, choices);
  const bool gm = choices_ ? choices_().GmPlayer : false;
  if (playing) engine.SetXgBankSelect(platform::SynthReadsXgBanks(gm, choices));
  return voiceMap_.ForSynth(voiceUse_, platform::FindSoundFont(engine.Options().soundFont).path, choices);
}

std::string FluidArrangerService::PartVoices(int part) {
  if (!voiceUse_) return {};
  const std::shared_ptr<const voices::VoiceMap> map = MapFor(Output(), false);
  return platform::PartVoiceText(map.get(), *voiceUse_, part);
}

void FluidArrangerService::SetKeyboard(keyboard::PlayerKeyboard* keyboard, std::function<bool()> otherPlays) {
  Detach();
  keyboard_ = keyboard;
  otherPlays_ = std::move(otherPlays);
}

// Attaching takes the sound source from nobody: not from the classic Play,
// nor from another live client (the library's preview). A failed attempt
// (no audio output) is tried again a little later, not at every refresh.
void FluidArrangerService::KeepKeyboardAttached(bool on) {
  TakeBackFromOthers();
  if (!keyboard_ || !session_) return;
  platform::LiveOutput& output = Output();
  const bool ours = attachedTo_ == &output && output.LiveClientAttached();
  if (!on) {
    // Sync Start armed waits for the first chord (the pad's, the computer keys' or a keyboard's) attached.
    // nor does a Start the audio thread has not taken yet (an output still opening makes no blocks).
    const live::LiveState state = session_->Client().State();
    const bool startWaits = startPostedAt_ && state.blocks <= *startPostedAt_;
    if (ours && !state.playing && !state.syncArmed && !startWaits) Detach();
    return;
  }
  if (ours || output.LiveClientAttached() || (otherPlays_ && otherPlays_())) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < nextKeyboardTry_) return;
  if (!Attach()) nextKeyboardTry_ = now + std::chrono::seconds(2);
}

void FluidArrangerService::Detach() {
  TakeBackFromOthers();
  if (!attachedTo_) return;
  attachedTo_->DetachLiveClient();
  attachedTo_ = nullptr;
  if (session_) session_->StopDetached();
}

// After a chart, the buttons play again.
void FluidArrangerService::UseButtons() {
  if (!session_ || !session_->IsChart()) return;
  Detach();
  session_ = std::make_unique<live::LiveSession>(model_, Choices());
  GiveChoices();
}

void FluidArrangerService::KeepChoices(const live::LiveCommand& command) {
  if (command.kind == Kind::Metronome) metronome_ = command.value;
  if (command.kind == Kind::Transpose) transpose_ = command.value;
}

// A new session (another style, a chart) plays with the metronome and the transpose chosen.
void FluidArrangerService::GiveChoices() {
  session_->Client().Post(live::Command(Kind::Metronome, metronome_));
  session_->Client().Post(live::Command(Kind::Transpose, transpose_));
}

bool FluidArrangerService::Send(const live::LiveCommand& command) {
  if (!session_) return false;
  KeepChoices(command);
  TakeBackFromOthers();
  if (StartsPlaying(command) && !session_->Client().State().playing) {
    UseButtons();
    if (!Attach()) return false;
  }
  if (StartsPlaying(command)) startPostedAt_ = session_->Client().State().blocks;
  if (!session_->Client().Post(command)) return false;
  if (!attachedTo_) session_->Pump();
  return true;
}

// Why nothing sounds: the output stopped, could not be used, or (a MIDI
// port) is away for now.
std::string FluidArrangerService::Problem() const {
  if (outputLost_) return platform::kAudioOutputLostText;
  if (!problem_.empty()) return problem_;
  platform::LiveOutput& output = Output();
  return &output == static_cast<platform::LiveOutput*>(&engine_()) ? std::string() : output.Problem();
}

live::LiveState FluidArrangerService::State() const {
  if (!session_) return {};
  live::LiveState s = session_->Client().State();
  if (takenAway_ || outputLost_) s.playing = false;
  return s;
}

uint64_t FluidArrangerService::Underruns() const { return Output().Underruns(); }

std::string FluidArrangerService::CheckChart(const std::string& text, std::vector<ChartBarPlace>& bars) {
  if (!loaded_) return "Open a style first.";
  auto chart = arranger::ReadChart(text);
  if (auto* e = std::get_if<arranger::ChartError>(&chart)) return e->Text();
  auto made = live::LiveSession::ForChart(model_, Choices(), text);
  if (auto* e = std::get_if<arranger::ChartError>(&made)) return e->Text();
  bars.clear();
  for (const auto& bar : std::get<arranger::Chart>(chart).bars) bars.push_back({bar.place.line, bar.place.column});
  return {};
}

std::string FluidArrangerService::PlayChart(const std::string& text, int countInBars) {
  if (!loaded_) return "Open a style first.";
  auto made = live::LiveSession::ForChart(model_, Choices(), text);
  if (auto* e = std::get_if<arranger::ChartError>(&made)) return e->Text();
  Detach();
  session_ = std::move(std::get<std::unique_ptr<live::LiveSession>>(made));
  GiveChoices();
  if (!Attach()) return problem_;
  startPostedAt_ = session_->Client().State().blocks;
  session_->Client().Post(live::Command(Kind::Start, countInBars));
  return {};
}

std::string FluidArrangerService::WrittenChord(int songStep) const {
  const arranger::Song* song = session_ ? session_->Song() : nullptr;
  if (!song || songStep < 0 || static_cast<size_t>(songStep) >= song->steps.size()) return {};
  const arranger::SongStep& step = song->steps[static_cast<size_t>(songStep)];
  if (step.kind == arranger::SongStep::Kind::NoChord) return "N.C.";
  return step.kind == arranger::SongStep::Kind::Chord ? step.text : std::string();
}

std::string FluidArrangerService::Export(const std::string& text, const std::string& outPath,
                                         const std::function<void(double)>& progress) {
  auto made = live::LiveSession::ForChart(model_, Choices(), text);
  if (auto* e = std::get_if<arranger::ChartError>(&made)) return e->Text();
  const auto& session = *std::get<std::unique_ptr<live::LiveSession>>(made);
  arranger::Arranger arranger(session.Patterns(), Choices().options);
  midi::SmfWriter writer(session.Patterns().division);
  arranger::PlaySong(*session.Song(), arranger, writer);
  std::vector<uint8_t> midi = writer.Finish(static_cast<uint64_t>(session.Song()->end));
  const bool wav = outPath.size() >= 4 && outPath.compare(outPath.size() - 4, 4, ".wav") == 0;
  if (!wav) {
    std::ofstream f(outPath, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(midi.data()), static_cast<std::streamsize>(midi.size()));
    f.close();
    if (progress) progress(1.0);
    return f ? "" : "The file " + outPath + " could not be written.";
  }
  return RenderWav(outPath + " (the arranged song)", std::move(midi), outPath, progress);
}

std::string FluidArrangerService::RenderWav(const std::string& name, std::vector<uint8_t> midi,
                                            const std::string& wavPath, const std::function<void(double)>& progress) {
  platform::RenderRequest request;
  request.midiFile = name;
  request.midiBytes = std::move(midi);
  request.wavFile = wavPath;
  request.sound = engine_().Options();
  const platform::VoiceChoices voiceChoices = voiceChoices_ ? voiceChoices_() : platform::VoiceChoices{};
  request.voices = [use = voiceUse_, voiceChoices](const std::string& soundFont) {
    return use ? platform::MapForSynth(*use, soundFont, voiceChoices) : nullptr;
  };
  request.tailSeconds = kWavTailSeconds;
  request.endWhenSilent = true;
  request.progress = progress;
  const platform::RenderResult r = platform::RenderToWav(request);
  if (r.ok && progress) progress(1.0);
  return r.ok ? "" : r.problem;
}

}  // namespace vambrio
