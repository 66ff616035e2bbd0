// Checked arithmetic and indexing for the walks over style bytes. A result
// that does not fit its type raises error 6 (Overflow), an index outside an
// array error 9 (Subscript out of range), a division by zero error 11.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "model/errors.h"

namespace vambrio {

inline int16_t ToInt16(int64_t v) {
  if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max()) Raise(err::Overflow);
  return static_cast<int16_t>(v);
}

inline int32_t ToInt32(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) Raise(err::Overflow);
  return static_cast<int32_t>(v);
}

// Rounds to the nearest integer, a value exactly halfway going to the even
// neighbour (112.5 -> 112, 113.5 -> 114).
inline double RoundHalfEven(double v) { return std::nearbyint(v); }

inline int32_t RoundToInt32(double v) {
  if (!std::isfinite(v)) Raise(err::Overflow);
  double r = RoundHalfEven(v);
  if (r < -2147483648.0 || r > 2147483647.0) Raise(err::Overflow);
  return static_cast<int32_t>(r);
}

inline int16_t RoundToInt16(double v) {
  if (!std::isfinite(v)) Raise(err::Overflow);
  double r = RoundHalfEven(v);
  if (r < -32768.0 || r > 32767.0) Raise(err::Overflow);
  return static_cast<int16_t>(r);
}

template <typename T>
inline T& At(std::vector<T>& v, int64_t i) {
  if (i < 0 || static_cast<uint64_t>(i) >= v.size()) Raise(err::SubscriptOutOfRange);
  return v[static_cast<size_t>(i)];
}
template <typename T>
inline const T& At(const std::vector<T>& v, int64_t i) {
  if (i < 0 || static_cast<uint64_t>(i) >= v.size()) Raise(err::SubscriptOutOfRange);
  return v[static_cast<size_t>(i)];
}
template <typename T, size_t N>
inline T& At(std::array<T, N>& v, int64_t i) {
  if (i < 0 || static_cast<uint64_t>(i) >= N) Raise(err::SubscriptOutOfRange);
  return v[static_cast<size_t>(i)];
}
template <typename T, size_t N>
inline const T& At(const std::array<T, N>& v, int64_t i) {
  if (i < 0 || static_cast<uint64_t>(i) >= N) Raise(err::SubscriptOutOfRange);
  return v[static_cast<size_t>(i)];
}

}  // namespace vambrio
