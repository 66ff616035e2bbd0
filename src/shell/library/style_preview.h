// What the library window plays when a style is selected: its first Main
// section, looping, until another style is selected or Stop.
#pragma once

#include <string>

namespace vambrio::shell {

class StylePreview {
 public:
  virtual ~StylePreview() = default;
  // Starts the preview of the style at path (stopping the one that plays).
  virtual void Play(const std::string& path) = 0;
  virtual void Stop() = 0;
  // Whether the preview still sounds: false after Stop, and once something
  // else (the Arranger, the classic Play) took the sound or the output was lost.
  virtual bool Playing() const = 0;
};

}  // namespace vambrio::shell
