#pragma once
// One-pole smoother: state = a * state + b * target, b = 1 - a. States that
// would become zero or subnormal are stored as +0.0.
#include <bit>
#include <cstdint>

namespace talven {

class IParamSmoother
{
public:
  // a = e^(-pi/120), state 0
  IParamSmoother();

  // [audio thread] returns the new state
  double Step(double target)
  {
    mState = Flushed(mA * mState + mB * target);
    return mState;
  }

  // returns false and keeps the coefficients unless 0 <= a <= 1
  bool SetCoefficients(double a);
  // a = exp(-2 pi / (0.001 * sampleRate)); returns false and keeps the
  // coefficients unless sampleRate is positive and finite
  bool SetFromSampleRate(double sampleRate);
  // snaps the state (flushed like a step result)
  void Reset(double state);

  double A() const { return mA; }
  double B() const { return mB; }
  double State() const { return mState; }

private:
  static constexpr std::uint64_t kExponentBits = 0x7FF0000000000000ull;

  // Subnormal arithmetic is slow on x86; a glide that has died out is silence.
  static double Flushed(double value)
  {
    return (std::bit_cast<std::uint64_t>(value) & kExponentBits) == 0 ? 0.0 : value;
  }

  double mA;
  double mB;
  double mState = 0.0;
};

} // namespace talven
