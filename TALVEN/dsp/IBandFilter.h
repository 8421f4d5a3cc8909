#pragma once
// Second-order peak or shelf filter, transposed direct form II in double
// precision with single-precision input and output.
#include <cmath>
#include <cstdint>

namespace talven {

class IBandFilter
{
public:
  // Any other type (0 at construction) passes its input unchanged.
  static constexpr std::int32_t kTypePeak = 4;
  static constexpr std::int32_t kTypeLowShelf = 5;
  static constexpr std::int32_t kTypeHighShelf = 6;

  // feed-forward a0..a2; feedback b1, b2 of the denominator 1 + b1 z^-1 + b2 z^-2
  struct Coefficients
  {
    double a0, a1, a2, b1, b2;
  };

  // Each setter stores its value and recomputes the coefficients; the filter
  // state is kept. NaN values are ignored. Fc (cycles per sample), Q and gain
  // (dB) are held inside a usable range for the computation: Fc below 0.49,
  // where tan(pi Fc) is still well behaved.
  void SetAll(std::int32_t type, double frequency, double q, double gainDb);
  void SetType(std::int32_t type);
  void SetFrequency(double frequency);
  void SetQ(double q);
  void SetGain(double gainDb);

  // [audio thread]
  float Process(float x)
  {
    const double in = x;
    const double out = in * mA0 + mZ1;
    mZ1 = in * mA1 + mZ2 - mB1 * out;
    mZ2 = in * mA2 - mB2 * out;
    // The state is never cleared by a reset, so one non-finite input would
    // otherwise silence the band for good.
    if (!std::isfinite(mZ1 + mZ2))
      mZ1 = mZ2 = 0.0;
    return static_cast<float>(out);
  }

  std::int32_t Type() const { return mType; }
  double Frequency() const { return mFrequency; }
  double Q() const { return mQ; }
  double Gain() const { return mGain; }
  Coefficients GetCoefficients() const { return {mA0, mA1, mA2, mB1, mB2}; }

private:
  void Recompute();

  std::int32_t mType = 0;
  double mA0 = 1.0, mA1 = 0.0, mA2 = 0.0;
  double mB1 = 0.0, mB2 = 0.0;
  double mFrequency = 0.5;
  double mQ = 0.707;
  double mGain = 0.0;
  double mZ1 = 0.0, mZ2 = 0.0;
};

} // namespace talven
