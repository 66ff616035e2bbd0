// An input box that answers from a queue and records its prompts.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "editing/input_box.h"

namespace vambrio::test {

class FakeInputBox final : public platform::InputBox {
 public:
  struct Call {
    std::string prompt;
    std::string title;
    std::string initial;
  };

  std::deque<std::string> answers;  // "" stands for Cancel; an empty queue cancels
  std::vector<Call> calls;

  std::string Ask(const std::string& prompt, const std::string& title, const std::string& initial) override {
    calls.push_back({prompt, title, initial});
    if (answers.empty()) return {};
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace vambrio::test
