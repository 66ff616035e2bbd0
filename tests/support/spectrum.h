// Where a recording's sound lies in frequency: the spectral centroid of
// interleaved 16-bit stereo (the left channel), from the power spectra of
// Hann-windowed frames of 4096 samples.
#pragma once

#include <cmath>
#include <complex>
#include <cstdint>
#include <vector>

namespace vambrio::test {

inline void Fft(std::vector<std::complex<double>>& a) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> w = std::polar(1.0, -2 * M_PI / static_cast<double>(len));
    for (size_t i = 0; i < n; i += len) {
      std::complex<double> wk = 1;
      for (size_t k = 0; k < len / 2; ++k, wk *= w) {
        const auto u = a[i + k], v = a[i + k + len / 2] * wk;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
}

// The centroid in Hz of the seconds [from, to), frames of `frame` samples;
// 0 when the span is silent.
inline double SpectralCentroid(const std::vector<int16_t>& stereo, int rate, double from, double to,
                               size_t frame = 4096) {
  const size_t first = static_cast<size_t>(std::max(0.0, from) * rate);
  const size_t last = std::min(stereo.size() / 2, static_cast<size_t>(std::max(0.0, to) * rate));
  double weighted = 0, total = 0;
  std::vector<std::complex<double>> a(frame);
  for (size_t start = first; start + frame <= last; start += frame) {
    for (size_t i = 0; i < frame; ++i) {
      const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(i) / static_cast<double>(frame));
      a[i] = hann * stereo[2 * (start + i)];
    }
    Fft(a);
    for (size_t k = 1; k < frame / 2; ++k) {
      const double power = std::norm(a[k]);
      weighted += power * static_cast<double>(k) * rate / static_cast<double>(frame);
      total += power;
    }
  }
  return total > 0 ? weighted / total : 0;
}

}  // namespace vambrio::test
