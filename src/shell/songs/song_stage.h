// Where the set list's songs play: the Arranger. The window asks it for the
// style a song names (opening it when another is open), plays the song's
// chart and stops it, and hears when a song has stopped; tests hand the
// window a fake.
#pragma once

#include <functional>
#include <string>


namespace vambrio {
namespace registration {
struct Registration;
}
namespace songs {
struct StyleShape;
struct PreparedSong;
}
// (A chart has a member named "slots": files that use Qt include its header before Qt's.)

class SongStage {
 public:
  virtual ~SongStage() = default;
  // The style open there now ("" for none): a song that names no style plays with it.
  virtual std::string CurrentStyle() const = 0;
  // Makes `path` the style that plays (opening it unless it is open): a
  // short problem for the status line (the stage has told the user why), ""
  // when it is ready; `shape` is what the song needs of it.
  virtual std::string UseStyle(const std::string& path, songs::StyleShape& shape) = 0;
  // Recalls what a registration sets up for the song, before it plays (its
  // style and tempo the window has taken already): the problem, "" when done.
  virtual std::string Recall(const registration::Registration& setUp) = 0;
  // Plays the chart: the problem to show, "" when it plays.
  virtual std::string Play(const songs::PreparedSong& song, int transpose) = 0;
  virtual void Stop() = 0;
  virtual bool Playing() const = 0;
  // Called (on the window's thread) when a song that played stops: `ended`
  // when it played to its end.
  virtual void WhenStopped(std::function<void(bool ended)> then) = 0;
};

}  // namespace vambrio
