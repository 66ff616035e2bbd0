// The main window on fakes: every service records what it is asked and
// answers as the test says. Settings live in a temporary folder.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fake_midi_routing.h"
#include "fake_sound_source.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_desktop_shell.h"
#include "fakes/fake_file_dialogs.h"
#include "fakes/fake_input_box.h"
#include "fakes/fake_message_boxes.h"
#include "fakes/fake_mixer.h"
#include "fakes/fake_sequencer.h"
#include "shell/main_window/frm_vambrio.h"
#include "shell/main_window/part_voices.h"
#include "shell/main_window/sound_settings.h"
#include "shell/main_window/section_combo.h"
#include "style_builder.h"
#include "temp_dir.h"

namespace vambrio::test {

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A small style of our own: name, copyright, tempo 120, 4/4, three sections
// with a note each and a volume event on two channels (values 100 and 80).
inline Bytes ThreeSectionStyle(const std::string& name = "Rig Style") {
  TrackBuilder t;
  t.TrackName(name).Copyright("(c) Rig").TempoBpm(120).TimeSignature(4, 2).Marker("SInt")
      .ControlChange(8, 7, 100).ControlChange(9, 7, 80);
  for (const char* section : {"Main A", "Fill In AA", "Ending A"}) {
    t.Marker(section).NoteOn(8, 60, 100).Delta(480).NoteOff(8, 60).Delta(1440);
  }
  t.EndOfTrack();
  return StyleBytes(t);
}

class WindowRig {
 public:
  WindowRig() { std::filesystem::create_directories(ConfigDir()); }

  WindowServices Services() {
    return WindowServices{sequencer, mixer, dialogs, boxes, input, shell, clock, timer, sound,
                          SettingsPaths{ConfigDir(), work.File("Player.tmp")},
                          [this](const std::string& style) { arrangerOpened.push_back(style); }, &midi, seamless};
  }

  // Creates the window and runs the start-up procedure.
  frmVambrio& Start(const std::string& commandLine = "") {
    window = std::make_unique<frmVambrio>(Services(), commandLine);
    StartUp(*window);
    return *window;
  }

  std::string ConfigDir() const { return config.File("Vambrio"); }
  std::string IniPath() const { return ConfigDir() + "/Vambrio.ini"; }
  void WriteIni(const std::string& text) const { std::ofstream(IniPath(), std::ios::binary) << text; }

  // Writes a style into the work folder and returns its path.
  std::string Style(const std::string& fileName, const Bytes& bytes = ThreeSectionStyle()) {
    std::string path = work.File(fileName);
    WriteFile(path, bytes);
    return path;
  }

  template <typename T>
  T* Find(const char* name) const {
    return window ? window->findChild<T*>(QString::fromLatin1(name)) : nullptr;
  }
  QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
  QCheckBox* Check(const char* name) const { return Find<QCheckBox>(name); }
  QString Text(const char* labelName) const {
    QLabel* l = Find<QLabel>(labelName);
    return l ? l->text() : QString("<no label %1>").arg(labelName);
  }
  QAction* Action(const char* name) const { return Find<QAction>(name); }
  SectionCombo* Sections() const { return Find<SectionCombo>("cboSections"); }

  // Ends the window as the user's Exit would, and destroys it.
  void Exit() {
    if (!window) return;
    window->mnuExit_Click();
    window.reset();
  }

  TempDir config;
  TempDir work;
  FakeSequencer sequencer;
  FakeMixer mixer;
  FakeFileDialogs dialogs;
  FakeMessageBoxes boxes;
  FakeInputBox input;
  FakeDesktopShell shell;
  FakeClock clock;
  FakeTimer timer{clock};
  std::vector<std::string> arrangerOpened;  // the styles the Arranger window was opened with
  FakeSoundSource sound;
  FakeMidiRouting midi;
  ArrangerService* seamless = nullptr;  // "Play seamlessly" through it; none: the classic Play only
  std::unique_ptr<frmVambrio> window;
};

}  // namespace vambrio::test
