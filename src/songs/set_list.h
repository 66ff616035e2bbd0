// A set list: the songs of an evening in their order, each with its chart
// (kept in the set list, so that it travels whole), the style that plays
// it, tempo, transpose, count-in and section mapping. Saved as JSON (.vset).
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "songs/form.h"

namespace vambrio::songs {

enum class CountIn { None, OneBar, TwoBars, Intro };

struct SetListSong {
  std::string title;
  std::string chart;   // the chart's text
  std::string source;  // the file or link it was imported from ("" for none)
  std::string style;   // the style file
  double tempo = 0;    // quarter notes a minute; 0: the chart's or the style's
  int transpose = 0;   // -11..11
  CountIn countIn = CountIn::None;
  SectionMapping mapping;
  // A registration recalled before the song plays: a bank file and its slot (0..7); -1: none.
  std::string registrationBank;
  int registrationSlot = -1;
};

struct SetList {
  std::string name;
  std::vector<SetListSong> songs;
};

std::string WriteSetList(const SetList& list);

// The set list, or what is wrong with the text (and where).
std::variant<SetList, std::string> ReadSetList(std::string_view json);

// Saves the list, through a temporary file renamed over the old one. A file
// already there that is not a readable set list is never overwritten: the
// error says so.
bool SaveSetList(const std::string& path, const SetList& list, std::string& error);
std::variant<SetList, std::string> LoadSetList(const std::string& path);

}  // namespace vambrio::songs
