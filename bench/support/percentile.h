// Figures of a benchmark's samples: the value below which a share `p` (0..1)
// of them lies (the nearest sample; 0 for none), and the median.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace vambrio::bench {

inline double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const double at = std::floor(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[static_cast<size_t>(std::clamp(at, 0.0, static_cast<double>(v.size() - 1)))];
}

inline double Median(std::vector<double> v) { return Percentile(std::move(v), 0.5); }

}  // namespace vambrio::bench
