// vambrio --arranger shows the Arranger alone and ends when it is closed,
// as a window manager closes it (WM_DELETE_WINDOW), with exit status 0.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>

namespace vambrio::test {
namespace {

using namespace std::chrono_literals;

pid_t Start(const std::vector<std::string>& argv, int outFd = -1) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(outFd >= 0 ? outFd : null, 1);
    dup2(null, 2);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

// The exit status, or -1 while it still runs after `wait`.
int ExitWithin(pid_t pid, std::chrono::milliseconds wait) {
  const auto until = std::chrono::steady_clock::now() + wait;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > until) return -1;
    std::this_thread::sleep_for(20ms);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The names of the top-level windows that are shown.
std::vector<std::pair<Window, std::string>> ShownWindows(Display* d) {
  std::vector<std::pair<Window, std::string>> found;
  Window root = DefaultRootWindow(d), parent = 0, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, root, &root, &parent, &children, &n)) return found;
  for (unsigned int i = 0; i < n; ++i) {
    XWindowAttributes a;
    char* name = nullptr;
    if (XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable && XFetchName(d, children[i], &name) &&
        name) {
      found.emplace_back(children[i], name);
      XFree(name);
    }
  }
  if (children) XFree(children);
  return found;
}

class ArrangerProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    xvfb_ = Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                  -1);
    close(fds[1]);
    char number[16] = {};
    const ssize_t got = read(fds[0], number, sizeof number - 1);
    close(fds[0]);
    if (got <= 0) GTEST_SKIP() << "no Xvfb (Debian package xvfb)";
    display_ = ":" + std::string(number, static_cast<size_t>(got - (number[got - 1] == '\n' ? 1 : 0)));
    x_ = XOpenDisplay(display_.c_str());
    ASSERT_NE(x_, nullptr);
  }
  void TearDown() override {
    if (x_) XCloseDisplay(x_);
    for (pid_t pid : {program_, xvfb_}) {
      if (pid <= 0) continue;
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  std::string display_;
  Display* x_ = nullptr;
  pid_t xvfb_ = -1, program_ = -1;
  TempDir home_;
};

TEST_F(ArrangerProcess, ShowsTheArrangerAloneAndEndsWhenItCloses) {
  program_ = Start({"env", "DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "HOME=" + home_.path().string(),
                    "XDG_CONFIG_HOME=" + home_.File("config"), "XDG_RUNTIME_DIR=" + home_.path().string(), VAMBRIO_PROGRAM,
                    "--arranger", std::string(VAMBRIO_SOURCE_DIR) + "/examples/Demo.sty"});
  std::vector<std::pair<Window, std::string>> shown;
  for (auto until = std::chrono::steady_clock::now() + 60s; shown.empty() && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(100ms);
    shown = ShownWindows(x_);
  }
  std::this_thread::sleep_for(1s);  // a second window would be shown by now
  shown = ShownWindows(x_);
  ASSERT_EQ(shown.size(), 1u) << "the program should show one window";
  EXPECT_EQ(shown[0].second, "Arranger - Demo.sty");
  EXPECT_EQ(ExitWithin(program_, 500ms), -1);  // it waits for the user

  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = shown[0].first;
  close.xclient.message_type = XInternAtom(x_, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(x_, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(x_, shown[0].first, False, NoEventMask, &close);
  XFlush(x_);
  EXPECT_EQ(ExitWithin(program_, 20s), 0);
  program_ = -1;
}

}  // namespace
}  // namespace vambrio::test
