// File dialogs that answer from queues and record how they were opened.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "editing/file_dialogs.h"

namespace vambrio::test {

class FakeFileDialogs final : public platform::FileDialogs {
 public:
  struct Call {
    std::string kind;  // "OpenStyle", "SaveStyle" or "OpenSoundFont"
    std::string startPath;
    std::string defaultSuffix;
  };

  // Each answer: the chosen path, or nothing for Cancel. An empty queue cancels.
  std::deque<std::optional<std::string>> openAnswers;
  std::deque<std::optional<std::string>> saveAnswers;
  std::deque<std::optional<std::string>> soundFontAnswers;
  std::vector<Call> calls;

  std::optional<std::string> OpenStyle(const std::string& startPath) override {
    calls.push_back({"OpenStyle", startPath, ""});
    return Next(openAnswers);
  }
  std::optional<std::string> SaveStyle(const std::string& startPath, const std::string& defaultSuffix) override {
    calls.push_back({"SaveStyle", startPath, defaultSuffix});
    return Next(saveAnswers);
  }
  std::optional<std::string> OpenSoundFont(const std::string& startPath) override {
    calls.push_back({"OpenSoundFont", startPath, ""});
    return Next(soundFontAnswers);
  }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto answer = queue.front();
    queue.pop_front();
    return answer;
  }
};

}  // namespace vambrio::test
