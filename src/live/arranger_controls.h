// The arranger's controls in one table: the buttons of the Arranger window
// and what a keyboard's learned message presses. Each control's name (kept
// in "Sound.ini"; the window's button is "cmd" followed by it), its caption,
// the live command a press gives and, for a section button, which one it
// is. A new section button is a new constant and a new row here, and its
// button in the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

#include "live/live_command.h"

namespace vambrio::live {

// Which of a style's sections a button plays.
enum class Button : uint8_t { None, Intro, Main, Fill, Ending, Break };

enum class Control : uint8_t {
  StartStop, SyncStart, IntroA, IntroB, IntroC, IntroD, MainA, MainB, MainC, MainD,
  Break, EndingA, EndingB, EndingC, EndingD, AutoFill, TapTempo,
  Tempo,  // a controller whose value sets the tempo
  Registration1, Registration2, Registration3, Registration4, Registration5, Registration6, Registration7,
  Registration8,  // recalled by the window
  NextSong, PreviousSong,  // the set list's songs, read by the window through the router's Presses
  Count
};

// What a press does: gives the row's command (its value the variation),
// turns the command's setting on or off, sets the tempo from a
// controller's value, recalls a registration (the variation is its number
// 0..7), or nothing here: the window acts on it (a tap, a song).
enum class Press : uint8_t { Gives, Toggles, SetsTempo, Recalls, Window };
inline constexpr int kControlCount = static_cast<int>(Control::Count);

struct ControlRow {
  Control control;
  const char* name;           // "MainA"
  const char* caption;        // "Main A", as its button says
  Press press;
  LiveCommand::Kind command;  // what Gives, Toggles and SetsTempo send
  Button button;  // the section button it is; None for the others
  int variation;  // A to D: 0 to 3, the command's value; a registration's number
};

inline constexpr ControlRow kControls[] = {
    {Control::StartStop, "StartStop", "Start/Stop", Press::Gives, LiveCommand::Kind::StartStop, Button::None, 0},
    {Control::SyncStart, "SyncStart", "Sync Start", Press::Toggles, LiveCommand::Kind::SyncStart, Button::None, 0},
    {Control::IntroA, "IntroA", "Intro A", Press::Gives, LiveCommand::Kind::Intro, Button::Intro, 0},
    {Control::IntroB, "IntroB", "Intro B", Press::Gives, LiveCommand::Kind::Intro, Button::Intro, 1},
    {Control::IntroC, "IntroC", "Intro C", Press::Gives, LiveCommand::Kind::Intro, Button::Intro, 2},
    {Control::IntroD, "IntroD", "Intro D", Press::Gives, LiveCommand::Kind::Intro, Button::Intro, 3},
    {Control::MainA, "MainA", "Main A", Press::Gives, LiveCommand::Kind::Main, Button::Main, 0},
    {Control::MainB, "MainB", "Main B", Press::Gives, LiveCommand::Kind::Main, Button::Main, 1},
    {Control::MainC, "MainC", "Main C", Press::Gives, LiveCommand::Kind::Main, Button::Main, 2},
    {Control::MainD, "MainD", "Main D", Press::Gives, LiveCommand::Kind::Main, Button::Main, 3},
    {Control::Break, "Break", "Break", Press::Gives, LiveCommand::Kind::Break, Button::Break, 0},
    {Control::EndingA, "EndingA", "Ending A", Press::Gives, LiveCommand::Kind::Ending, Button::Ending, 0},
    {Control::EndingB, "EndingB", "Ending B", Press::Gives, LiveCommand::Kind::Ending, Button::Ending, 1},
    {Control::EndingC, "EndingC", "Ending C", Press::Gives, LiveCommand::Kind::Ending, Button::Ending, 2},
    {Control::EndingD, "EndingD", "Ending D", Press::Gives, LiveCommand::Kind::Ending, Button::Ending, 3},
    {Control::AutoFill, "AutoFill", "Auto Fill", Press::Toggles, LiveCommand::Kind::AutoFill, Button::None, 0},
    {Control::TapTempo, "TapTempo", "Tap", Press::Window, LiveCommand::Kind::Tempo, Button::None, 0},
    {Control::Tempo, "Tempo", "Tempo", Press::SetsTempo, LiveCommand::Kind::Tempo, Button::None, 0},
    {Control::Registration1, "Registration1", "Registration 1", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 0},
    {Control::Registration2, "Registration2", "Registration 2", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 1},
    {Control::Registration3, "Registration3", "Registration 3", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 2},
    {Control::Registration4, "Registration4", "Registration 4", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 3},
    {Control::Registration5, "Registration5", "Registration 5", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 4},
    {Control::Registration6, "Registration6", "Registration 6", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 5},
    {Control::Registration7, "Registration7", "Registration 7", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 6},
    {Control::Registration8, "Registration8", "Registration 8", Press::Recalls, LiveCommand::Kind::Stop, Button::None, 7},
    {Control::NextSong, "NextSong", "Next song", Press::Window, LiveCommand::Kind::Stop, Button::None, 0},
    {Control::PreviousSong, "PreviousSong", "Previous song", Press::Window, LiveCommand::Kind::Stop, Button::None, 0},
};

constexpr bool ControlsInOrder() {
  if (std::size(kControls) != static_cast<size_t>(kControlCount)) return false;
  for (int c = 0; c < kControlCount; ++c)
    if (static_cast<int>(kControls[c].control) != c) return false;
  return true;
}
static_assert(ControlsInOrder(), "every control's row must be in its place");

constexpr const ControlRow& RowOf(Control control) { return kControls[static_cast<size_t>(control)]; }

// The name a control is kept under in "Sound.ini" ("StartStop", "MainA", ...).
inline const char* ControlName(Control control) {
  const auto i = static_cast<size_t>(control);
  return i < std::size(kControls) ? kControls[i].name : "";
}

inline std::optional<Control> ControlByName(const std::string& name) {
  for (const ControlRow& row : kControls)
    if (name == row.name) return row.control;
  return std::nullopt;
}

}  // namespace vambrio::live
