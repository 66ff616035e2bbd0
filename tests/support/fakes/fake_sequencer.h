// A sequencer that records every property set and every command in order,
// answers Length and "open" from a script, and lets a test raise Done.
#pragma once

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "playback/sequencer.h"

namespace vambrio::test {

class FakeSequencer final : public platform::Sequencer {
 public:
  void SetFileName(const std::string& path) override {
    fileName_ = path;
    log.push_back("FileName " + path);
  }
  std::string FileName() const override { return fileName_; }
  void SetWait(bool wait) override {
    wait_ = wait;
    log.push_back(wait ? "Wait 1" : "Wait 0");
  }
  void SetNotify(bool notify) override {
    notify_ = notify;
    log.push_back(notify ? "Notify 1" : "Notify 0");
  }
  void SetTimeFormat(int format) override { log.push_back("TimeFormat " + std::to_string(format)); }

  bool Command(const std::string& command) override {
    log.push_back(command);
    commandWait.push_back(wait_);
    commandNotify.push_back(notify_);
    wait_ = false;  // Wait and Notify apply to the next command only
    notify_ = false;
    bool ok = failing.count(command) == 0;
    if (command == "open" && ok) open_ = true;
    if (command == "close") open_ = false;
    return ok;
  }
  int64_t Length() const override {
    ++lengthReads;
    return open_ ? length : 0;
  }
  std::string LastError() const override { return lastError; }

  // Raises the completion event as the device would.
  void Complete(platform::NotifyCode code) { RaiseDone(code); }

  // The commands only, without the property settings.
  std::vector<std::string> Commands() const {
    std::vector<std::string> out;
    static const std::set<std::string> names{"open", "play", "stop", "prev", "close"};
    std::copy_if(log.begin(), log.end(), std::back_inserter(out), [](const std::string& e) { return names.count(e) != 0; });
    return out;
  }
  bool IsOpen() const { return open_; }

  std::vector<std::string> log;
  std::vector<bool> commandWait;    // the Wait state each command was given
  std::vector<bool> commandNotify;  // the Notify state each command was given
  int64_t length = 4000;            // length of every opened file, ms
  std::set<std::string> failing;    // commands that fail
  std::string lastError;
  mutable int lengthReads = 0;

 private:
  std::string fileName_;
  bool wait_ = false;
  bool notify_ = false;
  bool open_ = false;
};

}  // namespace vambrio::test
