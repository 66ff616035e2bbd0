// A desktop shell that records the requests made of it and answers as told.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/desktop/shell.h"

namespace vambrio::test {

class FakeDesktopShell final : public platform::DesktopShell {
 public:
  bool OpenDocument(const std::string& path) override {
    opened.push_back(path);
    if (throwOnOpen) throw std::runtime_error("the shell refused the request");
    return openSucceeds;
  }
  std::string FindProgram(const std::vector<std::string>& names) override {
    searched.push_back(names);
    for (const auto& name : names) {
      auto it = programs.find(name);
      if (it != programs.end()) return it->second;
    }
    return {};
  }
  bool StartProgram(const std::string& path) override {
    started.push_back(path);
    return startSucceeds;
  }

  std::map<std::string, std::string> programs;  // program name -> full path "on PATH"
  bool openSucceeds = true;
  bool throwOnOpen = false;
  bool startSucceeds = true;
  std::vector<std::string> opened;
  std::vector<std::vector<std::string>> searched;
  std::vector<std::string> started;
};

}  // namespace vambrio::test
