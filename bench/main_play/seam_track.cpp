#include "seam_track.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace vambrio::bench {
namespace {

constexpr double kGood = 0.99;          // a match this good is taken; anything less is no match
constexpr double kQuiet = 30.0 * 30.0;  // mean square of a window too quiet to match (16-bit units)
constexpr long kNear = 144;             // frames searched around the last distance and the section's length
constexpr long kStepFrames = 2;         // changes of the distance below this are the matching's own jitter
// A distance holds for 5 windows (50 ms) at least, else it was a false
// match; added times closer together than that count as one.
constexpr size_t kSteady = 5;

struct Match {
  long lag = 0;
  double score = -1;
};

// The normalised correlation of the window at `t` with the one `lag` frames later.
double Score(const std::vector<float>& x, size_t t, long lag, size_t w) {
  const float* a = x.data() + t;
  const float* b = a + lag;
  double xy = 0, xx = 0, yy = 0;
  for (size_t i = 0; i < w; ++i) {
    xy += double{a[i]} * b[i];
    xx += double{a[i]} * a[i];
    yy += double{b[i]} * b[i];
  }
  return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : -1;
}

Match Best(const std::vector<float>& x, size_t t, long from, long to, long step, size_t w) {
  Match m;
  for (long lag = from; lag <= to; lag += step) {
    const double s = Score(x, t, lag, w);
    if (s > m.score) m = {lag, s};
  }
  return m;
}

// To the frame, the best of three: near the last distance, near the
// section's length (a loop without added time), and the whole range, found
// in steps of 4 frames over a window four times as long and on the change
// from frame to frame (`edges`), then frame by frame around the best. A held
// low note matches itself nearly as well one or more of its periods away;
// the true distance matches best.
Match Find(const std::vector<float>& x, const std::vector<float>& edges, size_t t, long guess, long length, long lo,
           long hi, size_t w) {
  Match best = Best(x, t, std::max(lo, length - kNear), std::min(hi, length + kNear), 1, w);
  const Match near = Best(x, t, std::max(lo, guess - kNear), std::min(hi, guess + kNear), 1, w);
  if (near.score > best.score) best = near;
  const size_t wide = 4 * w;
  if (t + static_cast<size_t>(hi) + wide > x.size()) return best;
  const Match coarse = Best(edges, t, lo, hi, 4, wide);
  const Match fine = Best(x, t, std::max(lo, coarse.lag - 4), std::min(hi, coarse.lag + 4), 1, w);
  return fine.score > best.score ? fine : best;
}

struct Point {
  double t;
  long lag;
};

// Runs of fewer than kSteady windows at one distance between runs at
// another are false matches (windows across added time, music like the
// next beat's) and are dropped.
std::vector<Point> Steady(const std::vector<Point>& track) {
  std::vector<Point> kept;
  for (size_t i = 0; i < track.size();) {
    size_t j = i;
    while (j < track.size() && std::labs(track[j].lag - track[i].lag) < kStepFrames) ++j;
    if (j - i >= kSteady || i == 0 || j == track.size()) kept.insert(kept.end(), track.begin() + i, track.begin() + j);
    i = j;
  }
  return kept;
}

struct Step {
  double at;
  long change;
  bool used = false;
};

// The step of opposite sign and like size `offset` frames from `s`, if any.
Step* Partner(std::vector<Step>& steps, const Step& s, double offset, double tolerance) {
  for (Step& o : steps) {
    if (o.used || &o == &s || (o.change > 0) == (s.change > 0)) continue;
    if (std::fabs(o.at - (s.at + offset)) <= tolerance && std::labs(o.change + s.change) <= 2 * kStepFrames) return &o;
  }
  return nullptr;
}

// Each added time makes the distance rise where the music lies one pass
// before it and fall where it is: a fall paired with the rise one pass
// earlier is time added there, a fall paired with the rise one pass later is
// music left out there. A fall or rise whose partner lies outside the track
// is read as added time.
std::vector<AddedTime> Pair(std::vector<Step> steps, double passFrames, double tolerance, double lastT) {
  std::vector<AddedTime> added;
  for (Step& s : steps) {
    if (s.used || s.change > 0) continue;
    if (Step* rise = Partner(steps, s, -passFrames, tolerance)) {
      rise->used = s.used = true;
      added.push_back({s.at, static_cast<double>(-s.change)});
    }
  }
  for (Step& s : steps) {
    if (s.used || s.change > 0) continue;
    if (Step* rise = Partner(steps, s, passFrames, tolerance)) {
      rise->used = s.used = true;
      added.push_back({rise->at, static_cast<double>(s.change)});
    }
  }
  for (Step& s : steps) {
    if (s.used) continue;
    const bool riseBeforeTheEnd = s.change > 0 && s.at + passFrames <= lastT;
    if (s.change < 0) added.push_back({s.at, static_cast<double>(-s.change)});
    else added.push_back({s.at + passFrames, static_cast<double>(riseBeforeTheEnd ? -s.change : s.change)});
  }
  std::sort(added.begin(), added.end(), [](const AddedTime& a, const AddedTime& b) { return a.atFrame < b.atFrame; });
  return added;
}

}  // namespace

std::vector<Silence> SilentRuns(const std::vector<float>& x, size_t from, size_t to, size_t minFrames) {
  std::vector<Silence> runs;
  to = std::min(to, x.size());
  for (size_t i = from; i < to;) {
    size_t j = i;
    while (j < to && x[j] == 0.0f) ++j;
    if (j - i >= minFrames) runs.push_back({i, j - i});
    i = j > i ? j : i + 1;
  }
  return runs;
}

SeamTrack TrackSeams(const std::vector<float>& x, size_t firstPass, size_t passFrames, int passes, int rate) {
  SeamTrack r;
  std::vector<float> edges(x.size(), 0.0f);
  for (size_t i = 1; i < x.size(); ++i) edges[i] = x[i] - x[i - 1];
  const size_t w = static_cast<size_t>(rate / 25), hop = static_cast<size_t>(rate / 100);
  const long p = static_cast<long>(passFrames);
  const long lo = p - rate / 100, hi = p + rate / 16;  // from 10 ms less to 60 ms more
  const size_t end = firstPass + static_cast<size_t>(passes - 1) * passFrames;
  std::vector<Point> track;
  long guess = p;
  for (size_t t = firstPass; t < end && t + static_cast<size_t>(hi) + w <= x.size(); t += hop) {
    double energy = 0;
    for (size_t i = 0; i < w; ++i) energy += double{x[t + i]} * x[t + i];
    if (energy / static_cast<double>(w) < kQuiet) continue;
    ++r.windows;
    const Match m = Find(x, edges, t, guess, p, lo, hi, w);
    if (m.score < kGood) {
      ++r.unmatched;
      continue;
    }
    track.push_back({static_cast<double>(t), m.lag});
    guess = m.lag;
  }
  track = Steady(track);
  if (track.empty()) return r;

  std::vector<Step> steps;
  for (size_t i = 1; i < track.size(); ++i) {
    const long change = track[i].lag - track[i - 1].lag;
    if (std::labs(change) >= kStepFrames) steps.push_back({(track[i - 1].t + track[i].t + w) / 2, change});
  }
  const double tolerance = 3.0 * static_cast<double>(hop + w);
  r.added = Pair(steps, static_cast<double>(p), tolerance, track.back().t);

  // Where each pass starts: one section length after the one before, plus
  // what was added up to its start.
  r.passStart.push_back(static_cast<double>(firstPass));
  for (int k = 1; k < passes; ++k) {
    double start = r.passStart.back() + static_cast<double>(p);
    for (const AddedTime& a : r.added)
      if (a.atFrame > r.passStart.back() + tolerance && a.atFrame <= start + tolerance) start += a.frames;
    r.passStart.push_back(start);
  }
  for (int k = 0; k + 1 < passes; ++k) {
    std::optional<double> lag;
    for (const Point& pt : track)
      if (pt.t >= r.passStart[static_cast<size_t>(k)] && pt.t < r.passStart[static_cast<size_t>(k)] + rate * 3 / 10) {
        lag = static_cast<double>(pt.lag);
        break;
      }
    r.passes.push_back(lag ? *lag - static_cast<double>(p) : NAN);
  }
  return r;
}

double StartToStart(const std::vector<float>& x, size_t firstPass, size_t passFrames, size_t longest, int rate) {
  const size_t w = static_cast<size_t>(rate) * 3 / 10;
  const long lo = static_cast<long>(passFrames) - rate / 5;
  long hi = static_cast<long>(passFrames + longest);
  hi = std::min(hi, static_cast<long>(x.size()) - static_cast<long>(firstPass + w) - 8);
  if (firstPass + w >= x.size() || hi < lo) return NAN;
  std::vector<float> edges(x.size(), 0.0f);
  for (size_t i = 1; i < x.size(); ++i) edges[i] = x[i] - x[i - 1];
  const Match coarse = Best(edges, firstPass, lo, hi, 4, w);
  const Match fine = Best(x, firstPass, std::max(lo, coarse.lag - 8), std::min(hi, coarse.lag + 8), 1, w);
  return static_cast<double>(fine.lag) - static_cast<double>(passFrames);
}

}  // namespace vambrio::bench
