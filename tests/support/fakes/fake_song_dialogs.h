// Set-list dialogs that answer from queues and keep where each started.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/desktop/song_dialogs.h"

namespace vambrio::test {

class FakeSongDialogs final : public platform::SongDialogs {
 public:
  std::string OpenSetList(const std::string& start) override { return Next(start); }
  std::string SaveSetList(const std::string& start) override { return Next(start); }
  std::vector<std::string> ImportFiles(const std::string& start) override {
    const std::string file = Next(start);
    return file.empty() ? std::vector<std::string>{} : std::vector<std::string>{file};
  }
  std::string ChooseStyle(const std::string& start) override { return Next(start); }
  std::string ChooseRegistrationBank(const std::string& start) override { return Next(start); }

  std::deque<std::string> answers;  // "" cancels; an empty queue cancels
  std::vector<std::string> starts;

 private:
  std::string Next(const std::string& start) {
    starts.push_back(start);
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace vambrio::test
