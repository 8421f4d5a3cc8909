#pragma once
// Half-band low-pass taps, stored once by distance from the centre. Every even
// distance above 0 is a zero tap, so only the centre and the odd distances are
// kept; the filters add the two line values at equal distance before multiplying.
#include <array>
#include <cstddef>

namespace talven {

inline constexpr double kHalfbandCentreTap = 0.5;

// 129-tap filter: taps at distances 1, 3, ..., 63 from the centre.
inline constexpr std::array<double, 32> kFirOddTaps = {
  0.317956, -0.105047, 0.061915, -0.043056, 0.032309, -0.025272, 0.020254, -0.01647,
  0.013505, -0.011119, 0.009163, -0.007542, 0.006187, -0.005051, 0.004099, -0.003301,
  0.002635, -0.002082, 0.001627, -0.001255, 0.000954, -0.000713, 0.000524, -0.000377,
  0.000264, -0.00018,  0.000118, -0.000075, 0.000045, -0.000025, 0.000012, -0.000005,
};

// 65-tap decimator: taps at distances 1, 3, ..., 31 from the centre.
inline constexpr std::array<double, 16> kDecimatorOddTaps = {
  0.316897, -0.101933, 0.056928, -0.036479, 0.0245,   -0.016631, 0.011189, -0.007364,
  0.00469,  -0.002862, 0.001653, -0.000891, 0.000438, -0.000189, 0.000067, -0.000016,
};

inline constexpr std::size_t kFirTapCount = 2 * (2 * kFirOddTaps.size()) + 1;             // 129
inline constexpr std::size_t kDecimatorTapCount = 2 * (2 * kDecimatorOddTaps.size()) + 1; // 65

// The tap at a distance from the centre, for either table (0 beyond its end).
template <std::size_t N>
constexpr double HalfbandTap(const std::array<double, N>& oddTaps, std::size_t distance)
{
  if (distance == 0)
    return kHalfbandCentreTap;
  if (distance % 2 == 0 || distance > 2 * N - 1)
    return 0.0;
  return oddTaps[distance / 2];
}

template <std::size_t N>
constexpr double HalfbandDcGain(const std::array<double, N>& oddTaps)
{
  double sum = kHalfbandCentreTap;
  for (double tap : oddTaps)
    sum += 2.0 * tap;
  return sum;
}

static_assert(kFirTapCount == 129 && kDecimatorTapCount == 65);
static_assert(HalfbandDcGain(kFirOddTaps) > 0.999994 - 1e-12 && HalfbandDcGain(kFirOddTaps) < 0.999994 + 1e-12);
static_assert(HalfbandDcGain(kDecimatorOddTaps) > 0.999994 - 1e-12 &&
              HalfbandDcGain(kDecimatorOddTaps) < 0.999994 + 1e-12);

} // namespace talven
