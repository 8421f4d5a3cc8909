#include "IBandFilter.h"

#include <algorithm>
#include <array>
#include <numbers>

namespace talven {

namespace {

// tan(pi Fc) runs off to infinity at Fc 0.5; host rates from 44.1 kHz up never
// go beyond about 0.34, so the ceiling only bites at lower rates.
constexpr double kMinFrequency = 1e-6;
constexpr double kMaxFrequency = 0.49;
constexpr double kMinQ = 1e-3;
constexpr double kMaxQ = 1e3;
constexpr double kMaxGainDb = 96.0;

// The three terms 1, K/Q and K^2 of a second-order section at (K, Q). A type
// scales some of them by the linear gain V: a boost puts the scaled terms in
// the numerator, a cut in the denominator, so a cut exactly undoes a boost.
struct Terms
{
  double constant, bandwidth, square;
};

struct GainedTerms
{
  std::int32_t type;
  bool constant, bandwidth, square;
};

constexpr std::array<GainedTerms, 3> kGainedTerms = {{
  {IBandFilter::kTypePeak, false, true, false},
  {IBandFilter::kTypeLowShelf, false, true, true},
  {IBandFilter::kTypeHighShelf, true, true, false},
}};

const GainedTerms* FindGainedTerms(std::int32_t type)
{
  const auto it = std::find_if(kGainedTerms.begin(), kGainedTerms.end(),
                               [type](const GainedTerms& entry) { return entry.type == type; });
  return it == kGainedTerms.end() ? nullptr : &*it;
}

void KeepUnlessNaN(double& stored, double value)
{
  if (!std::isnan(value))
    stored = value;
}

} // namespace

void IBandFilter::SetAll(std::int32_t type, double frequency, double q, double gainDb)
{
  mType = type;
  KeepUnlessNaN(mFrequency, frequency);
  KeepUnlessNaN(mQ, q);
  KeepUnlessNaN(mGain, gainDb);
  Recompute();
}

void IBandFilter::SetType(std::int32_t type)
{
  mType = type;
  Recompute();
}

void IBandFilter::SetFrequency(double frequency)
{
  KeepUnlessNaN(mFrequency, frequency);
  Recompute();
}

void IBandFilter::SetQ(double q)
{
  KeepUnlessNaN(mQ, q);
  Recompute();
}

void IBandFilter::SetGain(double gainDb)
{
  KeepUnlessNaN(mGain, gainDb);
  Recompute();
}

void IBandFilter::Recompute()
{
  const GainedTerms* gained = FindGainedTerms(mType);
  if (!gained)
  {
    mA0 = 1.0;
    mA1 = mA2 = mB1 = mB2 = 0.0;
    return;
  }

  const double fc = std::clamp(mFrequency, kMinFrequency, kMaxFrequency);
  const double q = std::clamp(mQ, kMinQ, kMaxQ);
  const double gainDb = std::clamp(mGain, -kMaxGainDb, kMaxGainDb);
  const double v = std::pow(10.0, std::fabs(gainDb) / 20.0);
  const double k = std::tan(std::numbers::pi * fc);

  const Terms plain = {1.0, k / q, k * k};
  const Terms scaled = {gained->constant ? v : plain.constant, gained->bandwidth ? v * plain.bandwidth : plain.bandwidth,
                        gained->square ? v * plain.square : plain.square};
  // a gain of exactly 0 dB takes the boost side, where both sides are equal
  const bool boost = gainDb >= 0.0;
  const Terms& num = boost ? scaled : plain;
  const Terms& den = boost ? plain : scaled;

  // Dividing rather than multiplying by 1/den keeps 0 dB an exact pass-through.
  const double norm = den.constant + den.bandwidth + den.square;
  mA0 = (num.constant + num.bandwidth + num.square) / norm;
  mA1 = 2.0 * (num.square - num.constant) / norm;
  mA2 = (num.constant - num.bandwidth + num.square) / norm;
  mB1 = 2.0 * (den.square - den.constant) / norm;
  mB2 = (den.constant - den.bandwidth + den.square) / norm;
}

} // namespace talven
