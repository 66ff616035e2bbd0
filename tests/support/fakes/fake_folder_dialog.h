// A folder dialog that answers from a queue and records where it started.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/folder_dialog.h"

namespace vambrio::test {

class FakeFolderDialog final : public platform::FolderDialog {
 public:
  std::optional<std::string> ChooseFolder(const std::string& startPath) override {
    starts.push_back(startPath);
    if (answers.empty()) return std::nullopt;  // an empty queue cancels
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> starts;
};

}  // namespace vambrio::test
