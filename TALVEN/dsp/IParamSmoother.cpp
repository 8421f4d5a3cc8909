#include "IParamSmoother.h"

#include <cmath>
#include <numbers>

namespace talven {

namespace {
constexpr double kConstructionExponent = -std::numbers::pi / 120.0;
constexpr double kTimeConstantSeconds = 0.001;
} // namespace

IParamSmoother::IParamSmoother()
  : mA(std::exp(kConstructionExponent))
  , mB(1.0 - mA)
{
}

bool IParamSmoother::SetCoefficients(double a)
{
  if (!(a >= 0.0 && a <= 1.0))
    return false;
  mA = a;
  mB = 1.0 - a;
  return true;
}

bool IParamSmoother::SetFromSampleRate(double sampleRate)
{
  if (!(sampleRate > 0.0 && std::isfinite(sampleRate)))
    return false;
  return SetCoefficients(std::exp(-2.0 * std::numbers::pi / (kTimeConstantSeconds * sampleRate)));
}

void IParamSmoother::Reset(double state)
{
  mState = Flushed(state);
}

} // namespace talven
