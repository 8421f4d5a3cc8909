#pragma once
// 129-tap linear-phase half-band low-pass for the doubled-rate drive path.
// Delay: 64 samples of its own rate.
#include <array>
#include <cstddef>

#include "HalfbandCoefficients.h"

namespace talven {

class IHalfbandFir
{
public:
  static constexpr double kDefaultOffset = 1e-15;

  // [audio thread] one value in, one value out; no allocation, no data-dependent branches
  double Step(double x);
  // zeroes the line; the offset keeps its size and sign
  void Clear();

  void SetOffset(double offset) { mOffset = offset; }
  double Offset() const { return mOffset; }

private:
  // Each value is written twice, so the newest kFirTapCount values are always
  // one contiguous window starting at mNewest.
  std::array<double, 2 * kFirTapCount> mLine{};
  std::size_t mNewest = 0;
  double mOffset = kDefaultOffset;
};

} // namespace talven
