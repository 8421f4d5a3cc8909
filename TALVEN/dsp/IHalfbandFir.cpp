#include "IHalfbandFir.h"

namespace talven {

namespace {
constexpr std::ptrdiff_t kCentre = static_cast<std::ptrdiff_t>(kFirTapCount / 2);
constexpr std::ptrdiff_t kPairs = static_cast<std::ptrdiff_t>(kFirOddTaps.size());
constexpr std::size_t kLanes = 4;
static_assert(kFirOddTaps.size() % kLanes == 0);
}

double IHalfbandFir::Step(double x)
{
  // The sign flips every step so the offset averages out while still keeping
  // the line away from subnormals in silence.
  mOffset = -mOffset;
  mNewest = (mNewest == 0 ? kFirTapCount : mNewest) - 1;
  const double value = x + mOffset;
  mLine[mNewest] = value;
  mLine[mNewest + kFirTapCount] = value;

  // Four partial sums: shorter dependency chains, and smaller rounding growth.
  const double* centre = mLine.data() + mNewest + kCentre;
  std::array<double, kLanes> sums{};
  for (std::ptrdiff_t k = 0; k < kPairs; ++k)
  {
    const std::ptrdiff_t distance = 2 * k + 1;
    sums[static_cast<std::size_t>(k) % kLanes] +=
      kFirOddTaps[static_cast<std::size_t>(k)] * (centre[-distance] + centre[distance]);
  }
  const double y = kHalfbandCentreTap * centre[0] + ((sums[0] + sums[1]) + (sums[2] + sums[3]));
  return y - mOffset;
}

void IHalfbandFir::Clear()
{
  mLine.fill(0.0);
  mNewest = 0;
}

} // namespace talven
