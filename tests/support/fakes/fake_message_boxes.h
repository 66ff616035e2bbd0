// Message boxes that record what they were asked to show and answer from a queue.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "model/message_box.h"

namespace vambrio::test {

class FakeMessageBoxes final : public platform::MessageBoxes {
 public:
  void Show(const std::string& text) override { shown.push_back(text); }
  bool AskOkCancel(const std::string& text) override {
    asked.push_back(text);
    if (answers.empty()) return false;
    bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<std::string> shown;
  std::vector<std::string> asked;
  std::deque<bool> answers;  // answers to AskOkCancel, OK = true
};

}  // namespace vambrio::test
