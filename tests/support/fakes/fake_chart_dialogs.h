// Chart dialogs that answer from queues and keep the messages shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/desktop/chart_dialogs.h"

namespace vambrio::test {

class FakeChartDialogs final : public platform::ChartDialogs {
 public:
  std::string OpenChart(const std::string& startPath) override {
    openStarts.push_back(startPath);
    return Next();
  }
  std::string SaveChart(const std::string&) override { return Next(); }
  std::string ExportFile(const std::string& startPath, const std::string&) override {
    exportStarts.push_back(startPath);
    return Next();
  }
  std::string OpenBank(const std::string&) override { return Next(); }
  std::string SaveBank(const std::string&) override { return Next(); }
  void Show(const std::string& text) override { shown.push_back(text); }

  std::deque<std::string> answers;  // "" cancels; an empty queue cancels
  std::vector<std::string> openStarts;
  std::vector<std::string> exportStarts;
  std::vector<std::string> shown;

 private:
  std::string Next() {
    if (answers.empty()) return {};
    std::string a = answers.front();
    answers.pop_front();
    return a;
  }
};

}  // namespace vambrio::test
