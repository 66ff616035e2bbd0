// The benchmark's surroundings: a private PulseAudio server with the null
// sink "vambrio_test", and programs run to their end with their CPU time.
#pragma once

#include <string>
#include <vector>

namespace vambrio::bench {

// Starts the server in a fresh folder and points this process (and the
// programs it starts) at it; stops it when destroyed.
class PrivateServer {
 public:
  PrivateServer();
  ~PrivateServer();
  bool ok() const { return ok_; }
  const std::string& runtimeDir() const { return run_; }

 private:
  std::string root_, run_, home_;
  bool ok_ = false;
};

struct RunFigures {
  int status = -1;
  double wallSeconds = 0;
  double cpuSeconds = 0;  // user + system of the program and its children
  std::string out;
};

// Runs a program to its end, its standard output kept, its errors dropped.
RunFigures RunMeasured(const std::vector<std::string>& argv);

}  // namespace vambrio::bench
