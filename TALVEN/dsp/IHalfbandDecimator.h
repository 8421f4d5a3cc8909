#pragma once
// 65-tap half-band low-pass that turns two doubled-rate values into one base-rate
// value, with a gain of 2 for the zero-inserted input. Delay: 16 base-rate samples.
#include <array>
#include <cstddef>

#include "HalfbandCoefficients.h"

namespace talven {

class IHalfbandDecimator
{
public:
  // [audio thread] no allocation, no data-dependent branches
  double Step(double first, double second);
  void Clear();

private:
  // Only the centre tap meets the first values, so those need just the one from
  // kFirstDelay calls ago; the odd-distance taps meet the second values of the
  // last kSecondCount calls (the current one joins on the next call).
  static constexpr std::size_t kFirstDelay = kDecimatorOddTaps.size();
  static constexpr std::size_t kSecondCount = 2 * kDecimatorOddTaps.size();

  std::array<double, kFirstDelay> mFirsts{};
  std::size_t mFirstIndex = 0;
  // written twice so the last kSecondCount values form one window at mNewestSecond
  std::array<double, 2 * kSecondCount> mSeconds{};
  std::size_t mNewestSecond = 0;
};

} // namespace talven
