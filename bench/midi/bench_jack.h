// The private JACK server of the MIDI benchmarks: the dummy backend at
// 48 kHz under a name of the benchmark's own, reached through
// JACK_DEFAULT_SERVER, stopped and removed when the benchmark ends.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace vambrio::bench {

struct JackServer {
  std::string name = "vambrio-bench-" + std::to_string(getpid());
  std::string run = "/tmp/" + name;
  bool Start() {
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    setenv("JACK_NO_START_SERVER", "1", 1);
    return std::system((std::string(VAMBRIO_JACK_SERVER_SCRIPT) + " start " + name + " " + run + " 32").c_str()) == 0;
  }
  // Cycles the server itself reports late or unfinished (MIDI of such a cycle may be lost).
  int Xruns() const {
    std::ifstream log(run + "/jackd.log");
    int count = 0;
    for (std::string line; std::getline(log, line);) count += line.find("XRun") != std::string::npos;
    return count;
  }
  // Clients the server gave up on (too late too often): nothing reaches them any more.
  int Zombified() const {
    std::ifstream log(run + "/jackd.log");
    int count = 0;
    for (std::string line; std::getline(log, line);) count += line.find("zombif") != std::string::npos;
    return count;
  }
  ~JackServer() {
    std::system((std::string(VAMBRIO_JACK_SERVER_SCRIPT) + " stop " + name + " " + run + " && rm -rf " + run).c_str());
  }
};

}  // namespace vambrio::bench
