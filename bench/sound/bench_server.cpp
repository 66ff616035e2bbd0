#include "bench_server.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

namespace vambrio::bench {
namespace {

std::string Script() { return std::string(VAMBRIO_SOURCE_DIR) + "/tests/platform/pulse_server.sh"; }

}  // namespace

PrivateServer::PrivateServer() {
  char tmpl[] = "/tmp/vambrio-bench-XXXXXX";
  if (!mkdtemp(tmpl)) return;
  root_ = tmpl;
  run_ = root_ + "/run";
  home_ = root_ + "/home";
  setenv("XDG_RUNTIME_DIR", run_.c_str(), 1);
  setenv("HOME", home_.c_str(), 1);
  setenv("XDG_CACHE_HOME", (home_ + "/.cache").c_str(), 1);
  setenv("ALSA_CONFIG_PATH", (std::string(VAMBRIO_SOURCE_DIR) + "/tests/platform/alsa_pulse.conf").c_str(), 1);
  ok_ = RunMeasured({Script(), "start", run_, home_}).status == 0;
}

PrivateServer::~PrivateServer() {
  if (root_.empty()) return;
  RunMeasured({Script(), "stop", run_, home_});
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
}

RunFigures RunMeasured(const std::vector<std::string>& argv) {
  RunFigures f;
  int out[2];
  if (pipe(out) != 0) return f;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 2);
    close(out[0]);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  char buf[4096];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) f.out.append(buf, static_cast<size_t>(n));
  close(out[0]);
  int st = 0;
  rusage ru{};
  wait4(pid, &st, 0, &ru);
  f.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  f.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  f.cpuSeconds = seconds(ru.ru_utime) + seconds(ru.ru_stime);
  return f;
}

}  // namespace vambrio::bench
