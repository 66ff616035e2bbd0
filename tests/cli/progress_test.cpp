// The progress line of a batch that reports now and then (the library's
// indexing): the count it reached, the file in hand, no line left behind.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/progress.h"

namespace vambrio::cli {
namespace {

using namespace std::chrono_literals;

TEST(BatchProgress, ABatchThatReportsNowAndThenShowsTheCountReached) {
  std::ostringstream out;
  std::chrono::steady_clock::time_point now{};
  BatchProgress progress(1000, true, out, 80, false, [&] { return now; });
  now += 1s;
  progress.Reach(400, "Pop/Rock.sty", 812);
  EXPECT_NE(out.str().find("[ 400/1000]   812 files/s  Pop/Rock.sty"), std::string::npos) << out.str();
  now += 50ms;
  progress.Reach(450, "Pop/Soul.sty", 812);  // too soon to draw again
  EXPECT_EQ(out.str().find("Soul"), std::string::npos);
  now += 50ms;
  progress.Reach(1000, "Pop/Waltz.sty", 900);  // the last is always drawn
  EXPECT_NE(out.str().find("[1000/1000]"), std::string::npos);
  progress.Finish();
  EXPECT_EQ(out.str().substr(out.str().size() - 4), "\r\033[K");

  std::ostringstream quiet;
  BatchProgress hidden(1000, false, quiet);
  hidden.Reach(1000, "Pop/Waltz.sty", 900);
  EXPECT_EQ(quiet.str(), "");
}

}  // namespace
}  // namespace vambrio::cli
