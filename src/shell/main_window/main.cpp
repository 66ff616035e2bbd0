// vambrio: the window program. Sets up the platform services, creates the
// main window and runs the start-up procedure, then the event loop.
#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "keyboard/player_keyboard.h"
#include "platform/alsa_mixer/alsa_mixer.h"
#include "platform/rtmidi/rtmidi_system.h"
#include "platform/desktop/qt_desktop_shell.h"
#include "platform/desktop/qt_file_dialogs.h"
#include "platform/desktop/qt_input_box.h"
#include "platform/desktop/qt_message_boxes.h"
#include "platform/desktop/qt_timer.h"
#include "platform/clock/system_clock.h"
#include "platform/files/user_paths.h"
#include "shell/helpabout/program_icon.h"
#include "shell/library/arranger_preview.h"
#include "shell/library/library_host.h"
#include "shell/main_window/fluid_sound.h"
#include "shell/voices/voice_options.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/part_voices.h"
#include "shell/main_window/sound_settings.h"
#include "platform/desktop/qt_chart_dialogs.h"
#include "shell/arranger/fluid_arranger_service.h"
#include "shell/arranger/frm_arranger.h"
#include "shell/midi/sound_routing.h"
#include "shell/arranger/kept_chord.h"
#include "shell/songs/songs_host.h"

namespace {

int signalPipe[2] = {-1, -1};
bool terminating = false;
vambrio::frmVambrio* mainWindow = nullptr;
vambrio::SongsHost* songsWindows = nullptr;

void OnTerminate(int) {
  char c = 1;
  ssize_t n = write(signalPipe[1], &c, 1);
  (void)n;
}

// SIGTERM and SIGHUP (the session or the system ending) close the window as
// a shutdown does: the settings are written and the device is closed.
void QuitOnTerminationSignals(QApplication& app) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
    char c;
    ssize_t n = read(signalPipe[0], &c, 1);
    (void)n;
    // Also when it comes during the start-up (inside a message box's loop).
    terminating = true;
    if (mainWindow) mainWindow->OnSessionEnding();
    if (songsWindows) songsWindows->OnSessionEnding();
    QApplication::closeAllWindows();  // ends the loop of a message box that is open
    QApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

// The program's argument text: the arguments Qt did not take, joined by
// blanks; "--arranger" (the Arranger window instead of the main window),
// "--library" (the library window too) and "--songs [FILE.vset]" (the Songs
// window instead of the main window) are taken out.
std::string ArgumentText(int argc, char** argv, bool& arranger, bool& library, bool& songs, std::string& setList) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--songs") {
      songs = true;
      if (i + 1 < argc && std::string(argv[i + 1]).ends_with(".vset")) setList = argv[++i];
      continue;
    }
    if (std::string(argv[i]) == "--arranger") {
      arranger = true;
      continue;
    }
    if (std::string(argv[i]) == "--library") {
      library = true;
      continue;
    }
    if (!text.empty()) text += ' ';
    text += argv[i];
  }
  return text;
}

// "vambrio --help" and "vambrio --version" answer on standard output and
// end the program before anything needs a display. True when one was asked.
bool AnswersHelpOrVersion(int argc, char** argv) {
  if (argc != 2) return false;
  const std::string arg = argv[1];
  if (arg == "--version") {
    std::printf("vambrio %s\n", VAMBRIO_VERSION);
    return true;
  }
  if (arg != "--help" && arg != "-h") return false;
  std::printf(
      "usage: vambrio [--arranger | --library | --songs [SETLIST.vset]] [STYLE]\n\n"
      "Opens the Vambrio window, the player and editor of accompaniment styles, and loads\n"
      "STYLE (.sty .pcs .sst .pst .prs .bcs .fps) when one is given.\n\n"
      "Options:\n"
      "  --arranger  open the Arranger window (with STYLE) instead of the main window\n"
      "  --library   open the style library too\n"
      "  --songs     open the Songs window (the set list, with SETLIST) instead of the main window\n"
      "  -h, --help  show this help\n"
      "  --version   show the program's version\n\n"
      "Qt's own options (-platform NAME, -style NAME, ...) are taken as well.\n"
      "vambrio-cli plays, renders and edits styles from the terminal: see \"vambrio-cli help\".\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswersHelpOrVersion(argc, argv)) return 0;
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vambrio");
  // Wayland desktops find the window's icon and name through the desktop file.
  QGuiApplication::setDesktopFileName("org.vambrio.Vambrio");
  QApplication::setWindowIcon(vambrio::shell::ProgramIcon());
  QuitOnTerminationSignals(app);

  using namespace vambrio;
  platform::QtMessageBoxes boxes;
  platform::UserPath config = platform::ConfigDir();
  platform::UserPath playerTmp = platform::PlayerTmpPath();
  if (!config.problem.empty()) boxes.Show(config.problem);
  if (!playerTmp.problem.empty()) boxes.Show(playerTmp.problem);

  platform::QtFileDialogs dialogs;
  platform::QtInputBox input;
  platform::QtDesktopShell shell;
  platform::AlsaMixer mixer;
  platform::SystemClock clock;
  platform::QtTimer timer(clock);
  frmVambrio* window = nullptr;
  FluidSound sound([&window] { return window && window->Choices().GmPlayer; });
  // The sound source chosen in the Options menu (the built-in synthesizer or
  // a MIDI port), and the player's keyboard at the chosen MIDI input.
  platform::SystemMonoClock monoClock;
  SoundRouting routing(sound, [&sound]() -> platform::LiveOutput& { return sound.Engine(); }, &platform::OpenMidiSystem,
                       monoClock);
  keyboard::PlayerKeyboard keys(routing.KeyboardInputs());
  keys.SetListening(false);
  routing.SetInputHandler([&keys](const std::string& input) {
    keys.SetListening(!input.empty());
    keys.SetInputName(input);
  });
  auto chosenOutput = [&routing]() -> platform::LiveOutput& { return routing.LiveOutput(); };

  // The Arranger window, made when first opened; it plays through the same sound source.
  FluidArrangerService arrangerService([&sound]() -> platform::FluidEngine& { return sound.Engine(); },
                                       [&window] { return window ? window->Choices() : PlayChoices{}; });
  arrangerService.SetLiveOutput(chosenOutput);
  arrangerService.SetKeyboard(&keys, [&window] { return window && window->Playing(); });
  platform::QtChartDialogs chartDialogs;
  const std::string soundSettings = config.path.empty() ? std::string() : config.path + "/" + kSoundSettingsFileName;
  // The voice choices of both windows' Options menus; the classic Play and
  // the Arranger play through the map they make for the style and SoundFont.
  VoiceOptions voiceOptions(soundSettings);
  auto voiceChoices = [&voiceOptions] { return voiceOptions.Choices(); };
  sound.SetVoices([&window] { return window ? window->partVoices().Use() : nullptr; }, voiceChoices);
  arrangerService.SetVoices(voiceChoices);
  // The chord the accompaniment plays over, in the Arranger and in the library's preview.
  live::ChosenChord chosenChord;
  ReadKeptChord(soundSettings, chosenChord);
  std::unique_ptr<frmArranger> arranger;
  SongsHost* songs = nullptr;
  auto arrangerWindow = [&]() -> frmArranger& {
    if (!arranger) {
      arranger = std::make_unique<frmArranger>(arrangerService, chartDialogs, chosenChord, soundSettings);
      chartDialogs.SetParent(arranger.get());
      arranger->SetKeyboard(&keys);
      arranger->SetVoiceOptions(&voiceOptions);
      arranger->SetLatency([&window] { return window ? window->soundSettings().Latency() : realtime::AudioLatency::Normal; },
                           [&window](realtime::AudioLatency latency) {
                             if (window) window->soundSettings().ChooseLatency(latency);
                           });
      if (songs) songs->AddMenuTo(*arranger);
    }
    return *arranger;
  };
  auto openArranger = [&](const std::string& style) {
    arrangerWindow();
    if (!style.empty()) arranger->OpenStyle(style);
    arranger->show();
    arranger->raise();
    arranger->activateWindow();
  };

  // The main window's "Play seamlessly": the live arranger on the same sound source, a service of its own.
  FluidArrangerService playService([&sound]() -> platform::FluidEngine& { return sound.Engine(); },
                                   [&window] { return window ? window->Choices() : PlayChoices{}; });
  playService.SetLiveOutput(chosenOutput);
  playService.SetVoices(voiceChoices);

  bool withArranger = false;
  bool withLibrary = false;
  bool withSongs = false;
  std::string setList;
  const std::string arguments = ArgumentText(argc, argv, withArranger, withLibrary, withSongs, setList);
  frmVambrio main(WindowServices{routing, mixer, dialogs, boxes, input, shell, clock, timer, sound,
                                 SettingsPaths{config.path, playerTmp.path}, openArranger, &routing, &playService},
                  arguments);
  // The arranger taking the output stops a section that plays.
  sound.SetTakenAwayHandler([&main] {
    if (main.Playing()) main.cmdStop_Click();
  });
  routing.SetTakenAwayHandler([&main] {
    if (main.Playing()) main.cmdStop_Click();
  });
  window = &main;
  main.partVoices().SetOptions(&voiceOptions);
  mainWindow = &main;
  boxes.SetParent(&main);
  dialogs.SetParent(&main);
  input.SetParent(&main);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                   [&main](QSessionManager&) { main.OnSessionEnding(); });
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &main, [&main] { main.OnSessionEnding(); });

  // The library's preview: the live arranger on the same engine, with a service of its own.
  FluidArrangerService previewService([&sound]() -> platform::FluidEngine& { return sound.Engine(); },
                                      [&window] { return window ? window->Choices() : PlayChoices{}; });
  previewService.SetLiveOutput(chosenOutput);
  previewService.SetVoices(voiceChoices);
  shell::ArrangerPreview preview(previewService, chosenChord);
  shell::LibraryHost library(main, boxes, &preview, [&main](const std::string& path) { main.OpenStyle(path); },
                            openArranger);
  QObject::connect(&main, &frmVambrio::libraryRequested, &main, [&library] { library.Show(); });
  QObject::connect(&main, &frmVambrio::unloadedWindow, &main, [&library] { library.Close(); });
  // The set list: its songs play in the Arranger, with the main window's style when they name none.
  SongsHost songsHost(arrangerWindow, [&main] { return main.model().StyleFileName; }, boxes, input, soundSettings, &keys);
  songs = &songsHost;
  songsWindows = &songsHost;
  songsHost.AddMenuTo(main);
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &main,
                   [&songsHost](QSessionManager&) { songsHost.OnSessionEnding(); });

  // With --arranger (or --songs) that window alone is shown; the program ends when its last window closes.
  StartUp(main, !withArranger && !withSongs);
  if (terminating) return 0;
  if (withArranger) openArranger(main.model().StyleFileName);
  if (withLibrary) library.Show();
  if (withSongs) songsHost.Show(setList);
  sound.StartLoading();  // with the choices the settings named
  int status = QApplication::exec();
  mainWindow = nullptr;
  songsHost.OnSessionEnding();  // the loop has ended: nothing is asked any more
  songsHost.Close();
  songs = nullptr;
  songsWindows = nullptr;
  arranger.reset();  // before the engine it plays through
  library.Close();
  return status;
}
