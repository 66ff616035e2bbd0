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

namespace vambrio::test {

// The amplitude at `freq` Hz over the seconds [from, to) (Goertzel's filter, left channel).
inline double AmplitudeAt(const std::vector<int16_t>& stereo, int rate, double freq, double from, double to) {
  const size_t first = static_cast<size_t>(std::max(0.0, from) * rate);
  const size_t last = std::min(stereo.size() / 2, static_cast<size_t>(std::max(0.0, to) * rate));
  const double c = 2 * std::cos(2 * M_PI * freq / rate);
  double s1 = 0, s2 = 0;
  for (size_t i = first; i < last; ++i) {
    const double s0 = stereo[2 * i] + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  return last > first ? std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2)) / static_cast<double>(last - first) : 0;
}

// How much of a tone of fundamental `f0` lies in its 4th and 5th harmonics,
// against its first three: a plucked string carries them, an organ stop
// hardly does.
inline double UpperHarmonicShare(const std::vector<int16_t>& stereo, int rate, double f0, double from, double to) {
  double low = 0, high = 0;
  for (int h = 1; h <= 5; ++h) {
    const double a = AmplitudeAt(stereo, rate, f0 * h, from, to);
    (h <= 3 ? low : high) += a * a;
  }
  return low > 0 ? high / low : 0;
}

}  // namespace vambrio::test
