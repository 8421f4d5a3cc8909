#include "IHalfbandDecimator.h"

#include <array>

namespace talven {

namespace {
constexpr double kZeroInsertionGain = 2.0;
// partial sums, for shorter dependency chains and smaller rounding growth
constexpr std::size_t kLanes = 4;
static_assert(kDecimatorOddTaps.size() % kLanes == 0);
}

double IHalfbandDecimator::Step(double first, double second)
{
  const double delayedFirst = mFirsts[mFirstIndex];
  mFirsts[mFirstIndex] = first;
  mFirstIndex = (mFirstIndex + 1) % kFirstDelay;

  // seconds[m] is the second value of m + 1 calls ago; the taps at distance
  // 2k + 1 pair the values of 16 - k and 17 + k calls ago.
  const double* seconds = mSeconds.data() + mNewestSecond;
  constexpr std::size_t kInner = kFirstDelay - 1;
  std::array<double, kLanes> sums{};
  for (std::size_t k = 0; k < kDecimatorOddTaps.size(); ++k)
    sums[k % kLanes] += kDecimatorOddTaps[k] * (seconds[kInner - k] + seconds[kFirstDelay + k]);
  const double y = kHalfbandCentreTap * delayedFirst + ((sums[0] + sums[1]) + (sums[2] + sums[3]));

  mNewestSecond = (mNewestSecond == 0 ? kSecondCount : mNewestSecond) - 1;
  mSeconds[mNewestSecond] = second;
  mSeconds[mNewestSecond + kSecondCount] = second;
  return kZeroInsertionGain * y;
}

void IHalfbandDecimator::Clear()
{
  mFirsts.fill(0.0);
  mFirstIndex = 0;
  mSeconds.fill(0.0);
  mNewestSecond = 0;
}

} // namespace talven
