// A stage that records what the Songs window asks of it and plays nothing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "registration/registration.h"
#include "shell/songs/song_stage.h"
#include "songs/set_list_play.h"

namespace vambrio::test {

class FakeSongStage final : public SongStage {
 public:
  std::string CurrentStyle() const override { return current; }
  std::string UseStyle(const std::string& path, songs::StyleShape& out) override {
    styles.push_back(path);
    out = shape;
    return styleProblem;
  }
  std::string Recall(const registration::Registration& setUp) override {
    recalled.push_back(setUp);
    return {};
  }
  std::string Play(const songs::PreparedSong& song, int transpose) override {
    played.push_back({song, transpose});
    playing = true;
    return {};
  }
  void Stop() override { playing = false; }
  bool Playing() const override { return playing; }
  void WhenStopped(std::function<void(bool)> then) override { stopped = std::move(then); }
  // The song ends (or is stopped) in the Arranger.
  void Ends(bool ended) {
    playing = false;
    if (stopped) stopped(ended);
  }

  struct Played {
    songs::PreparedSong song;
    int transpose = 0;
  };
  std::string current = "/styles/Demo.sty";
  songs::StyleShape shape{{"Intro A", "Main A", "Main B", "Fill In AB", "Fill In BA", "Ending A"}, {2, 4, 4, 1, 1, 2}, 4};
  std::string styleProblem;
  std::vector<std::string> styles;
  std::vector<registration::Registration> recalled;
  std::vector<Played> played;
  bool playing = false;
  std::function<void(bool)> stopped;
};

}  // namespace vambrio::test
