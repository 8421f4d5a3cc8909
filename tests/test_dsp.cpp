// Engine DSP objects: band filter, half-band filters, decimator, smoother.
#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "HalfbandCoefficients.h"
#include "IBandFilter.h"
#include "IHalfbandDecimator.h"
#include "IHalfbandFir.h"
#include "IParamSmoother.h"

namespace {

using talven::IBandFilter;
using talven::IHalfbandDecimator;
using talven::IHalfbandFir;
using talven::IParamSmoother;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::array<std::int32_t, 3> kBandTypes = {IBandFilter::kTypePeak, IBandFilter::kTypeLowShelf,
                                                    IBandFilter::kTypeHighShelf};

std::vector<double> Noise(std::size_t count, double amplitude, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-amplitude, amplitude);
  std::vector<double> out(count);
  for (double& v : out)
    v = dist(rng);
  return out;
}

// ---------------------------------------------------------------------------
// Band filter

std::complex<double> Response(const IBandFilter::Coefficients& c, double frequency)
{
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * frequency);
  const std::complex<double> z2 = z1 * z1;
  return (c.a0 + c.a1 * z1 + c.a2 * z2) / (1.0 + c.b1 * z1 + c.b2 * z2);
}

double ResponseDb(const IBandFilter& filter, double frequency)
{
  return 20.0 * std::log10(std::abs(Response(filter.GetCoefficients(), frequency)));
}

IBandFilter MakeFilter(std::int32_t type, double fc, double q, double gainDb)
{
  IBandFilter filter;
  filter.SetAll(type, fc, q, gainDb);
  return filter;
}

// Stable biquad: both poles inside the unit circle (the stability triangle).
bool IsStable(const IBandFilter::Coefficients& c)
{
  return std::fabs(c.b2) < 1.0 && std::fabs(c.b1) < 1.0 + c.b2;
}

bool IsFinite(const IBandFilter::Coefficients& c)
{
  return std::isfinite(c.a0) && std::isfinite(c.a1) && std::isfinite(c.a2) && std::isfinite(c.b1) &&
         std::isfinite(c.b2);
}

TEST(BandFilter, StartsAsPassThroughWithDocumentedSettings)
{
  IBandFilter filter;
  EXPECT_EQ(filter.Type(), 0);
  EXPECT_EQ(filter.Frequency(), 0.5);
  EXPECT_EQ(filter.Q(), 0.707);
  EXPECT_EQ(filter.Gain(), 0.0);
  const auto c = filter.GetCoefficients();
  EXPECT_EQ(c.a0, 1.0);
  EXPECT_EQ(c.a1, 0.0);
  EXPECT_EQ(c.a2, 0.0);
  EXPECT_EQ(c.b1, 0.0);
  EXPECT_EQ(c.b2, 0.0);
  for (float x : {0.25f, -1.0f, 3.5e-3f})
    EXPECT_EQ(filter.Process(x), x);
}

TEST(BandFilter, PeakCoefficientsMatchWorkedExample)
{
  const auto c = MakeFilter(IBandFilter::kTypePeak, 0.1, 1.0, 6.0).GetCoefficients();
  EXPECT_NEAR(c.a0, 1.226062232, 1e-9);
  EXPECT_NEAR(c.a1, -1.250516431, 1e-9);
  EXPECT_EQ(c.b1, c.a1);
  EXPECT_NEAR(c.a2, 0.319661083, 1e-9);
  EXPECT_NEAR(c.b2, 0.545723316, 1e-9);
}

struct ResponseCase
{
  const char* name;
  std::int32_t type;
  double fc, q, gainDb;
  double at;
  double expectedDb;
  double toleranceDb;
};

constexpr double kExact = 1e-9;
constexpr double kTwoDecimals = 0.005;

constexpr ResponseCase kResponseCases[] = {
  {"peak boost at centre", IBandFilter::kTypePeak, 0.1, 1.0, 6.0, 0.1, 6.0, kExact},
  {"peak boost at DC", IBandFilter::kTypePeak, 0.1, 1.0, 6.0, 0.0, 0.0, kExact},
  {"peak boost at half the rate", IBandFilter::kTypePeak, 0.1, 1.0, 6.0, 0.5, 0.0, kExact},
  {"peak cut at centre", IBandFilter::kTypePeak, 0.1, 1.0, -6.0, 0.1, -6.0, kExact},
  {"low shelf boost at DC", IBandFilter::kTypeLowShelf, 0.01, 0.5, 6.0, 0.0, 6.0, kExact},
  {"low shelf boost at half the rate", IBandFilter::kTypeLowShelf, 0.01, 0.5, 6.0, 0.5, 0.0, kExact},
  {"low shelf boost overshoots at corner", IBandFilter::kTypeLowShelf, 0.01, 0.5, 6.0, 0.01, 6.26, kTwoDecimals},
  {"high shelf cut at DC", IBandFilter::kTypeHighShelf, 0.1, 0.4, -6.0, 0.0, 0.0, kExact},
  {"high shelf cut at half the rate", IBandFilter::kTypeHighShelf, 0.1, 0.4, -6.0, 0.5, -6.0, kExact},
  {"high shelf boost overshoots at corner", IBandFilter::kTypeHighShelf, 0.1, 0.4, 6.0, 0.1, 6.17, kTwoDecimals},
};

TEST(BandFilter, ResponseAtKeyFrequencies)
{
  for (const auto& tc : kResponseCases)
  {
    SCOPED_TRACE(tc.name);
    EXPECT_NEAR(ResponseDb(MakeFilter(tc.type, tc.fc, tc.q, tc.gainDb), tc.at), tc.expectedDb, tc.toleranceDb);
  }
}

TEST(BandFilter, CutExactlyUndoesBoostOfSameSettings)
{
  for (std::int32_t type : kBandTypes)
    for (double gainDb : {0.1, 6.0, 12.0})
    {
      SCOPED_TRACE(testing::Message() << "type " << type << " gain " << gainDb);
      const auto boost = MakeFilter(type, 0.05, 0.8, gainDb).GetCoefficients();
      const auto cut = MakeFilter(type, 0.05, 0.8, -gainDb).GetCoefficients();
      for (double f : {0.0, 0.01, 0.05, 0.2, 0.5})
        EXPECT_NEAR(std::abs(Response(boost, f) * Response(cut, f)), 1.0, 1e-12) << "at " << f;
    }
}

TEST(BandFilter, ZeroGainPassesInputUnchangedForEveryType)
{
  const std::vector<double> input = Noise(4096, 1.0, 7);
  for (std::int32_t type : kBandTypes)
    for (double fc : {0.001, 0.1, 0.34})
    {
      SCOPED_TRACE(testing::Message() << "type " << type << " Fc " << fc);
      IBandFilter filter = MakeFilter(type, fc, 0.7, 0.0);
      const auto c = filter.GetCoefficients();
      EXPECT_EQ(c.a0, 1.0);
      EXPECT_EQ(c.a1, c.b1);
      EXPECT_EQ(c.a2, c.b2);
      for (double x : input)
      {
        const float in = static_cast<float>(x);
        ASSERT_EQ(filter.Process(in), in);
      }
    }
}

// The documented sample step, run from the filter's own coefficients.
struct ReferenceBiquad
{
  double z1 = 0.0, z2 = 0.0;
  float Process(const IBandFilter::Coefficients& c, float x)
  {
    const double in = x;
    const double out = in * c.a0 + z1;
    z1 = in * c.a1 + z2 - c.b1 * out;
    z2 = in * c.a2 - c.b2 * out;
    return static_cast<float>(out);
  }
};

TEST(BandFilter, SettingChangesKeepTheRunningState)
{
  const std::vector<double> input = Noise(512, 0.5, 11);
  IBandFilter filter = MakeFilter(IBandFilter::kTypePeak, 0.02, 1.0, 9.0);
  ReferenceBiquad reference;
  auto run = [&](std::size_t from, std::size_t to) {
    const auto c = filter.GetCoefficients();
    for (std::size_t i = from; i < to; ++i)
    {
      const float x = static_cast<float>(input[i]);
      ASSERT_EQ(filter.Process(x), reference.Process(c, x)) << "sample " << i;
    }
  };
  run(0, 128);
  filter.SetFrequency(0.2);
  run(128, 256);
  filter.SetAll(IBandFilter::kTypeLowShelf, 0.01, 0.5, -4.0);
  run(256, 384);
  filter.SetGain(3.0);
  filter.SetQ(2.0);
  filter.SetType(IBandFilter::kTypeHighShelf);
  run(384, 512);
}

// Settings no host rate from 44.1 kHz up produces, plus plain garbage: the
// coefficients must stay finite and the filter stable under full-scale noise.
struct HostileSetting
{
  const char* name;
  double fc, q, gainDb;
};

constexpr HostileSetting kHostileSettings[] = {
  {"high shelf corner at 22.05 kHz", 0.68, 0.4, 12.0},
  {"corner at half the rate", 0.5, 0.707, 12.0},
  {"corner just under half the rate", 0.4999999, 0.707, -12.0},
  {"corner at the full rate", 1.0, 0.707, 6.0},
  {"corner at zero", 0.0, 0.707, 6.0},
  {"negative corner", -0.1, 0.707, 6.0},
  {"infinite corner", kInf, 0.707, 6.0},
  {"zero Q", 0.1, 0.0, 6.0},
  {"negative Q", 0.1, -1.0, -6.0},
  {"infinite Q", 0.1, kInf, 6.0},
  {"infinite boost", 0.1, 0.707, kInf},
  {"infinite cut", 0.1, 0.707, -kInf},
};

TEST(BandFilter, HostileSettingsStayFiniteAndStable)
{
  const std::vector<double> noise = Noise(1 << 15, 1.0, 3);
  for (std::int32_t type : kBandTypes)
    for (const auto& tc : kHostileSettings)
    {
      SCOPED_TRACE(testing::Message() << "type " << type << ": " << tc.name);
      IBandFilter filter = MakeFilter(type, tc.fc, tc.q, tc.gainDb);
      const auto c = filter.GetCoefficients();
      ASSERT_TRUE(IsFinite(c));
      EXPECT_TRUE(IsStable(c));
      float peak = 0.0f;
      for (double x : noise)
        peak = std::max(peak, std::fabs(filter.Process(static_cast<float>(x))));
      EXPECT_TRUE(std::isfinite(peak));
      EXPECT_LT(peak, 1e6f);
    }
}

TEST(BandFilter, HighShelfAtTwentyTwoKilohertzStaysBounded)
{
  const std::vector<double> noise = Noise(1 << 18, 1.0, 5);
  IBandFilter filter = MakeFilter(IBandFilter::kTypeHighShelf, 0.68, 0.4, 12.0);
  float peak = 0.0f;
  for (double x : noise)
    peak = std::max(peak, std::fabs(filter.Process(static_cast<float>(x))));
  // +12 dB is a factor of 4 at most on a sine; noise peaks add little to that
  EXPECT_LT(peak, 8.0f);
}

TEST(BandFilter, NaNSettingKeepsThePreviousValue)
{
  IBandFilter filter = MakeFilter(IBandFilter::kTypePeak, 0.1, 1.0, 6.0);
  const auto before = filter.GetCoefficients();
  filter.SetAll(IBandFilter::kTypePeak, kNaN, kNaN, kNaN);
  filter.SetFrequency(kNaN);
  filter.SetQ(kNaN);
  filter.SetGain(kNaN);
  EXPECT_EQ(filter.Frequency(), 0.1);
  EXPECT_EQ(filter.Q(), 1.0);
  EXPECT_EQ(filter.Gain(), 6.0);
  const auto after = filter.GetCoefficients();
  EXPECT_EQ(after.a0, before.a0);
  EXPECT_EQ(after.a1, before.a1);
  EXPECT_EQ(after.a2, before.a2);
  EXPECT_EQ(after.b1, before.b1);
  EXPECT_EQ(after.b2, before.b2);

  filter.SetAll(IBandFilter::kTypePeak, 0.2, kNaN, -3.0);
  EXPECT_EQ(filter.Frequency(), 0.2);
  EXPECT_EQ(filter.Q(), 1.0);
  EXPECT_EQ(filter.Gain(), -3.0);
}

TEST(BandFilter, NonFiniteInputDoesNotSilenceTheBandForGood)
{
  const std::vector<double> input = Noise(256, 1.0, 9);
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
  {
    IBandFilter filter = MakeFilter(IBandFilter::kTypePeak, 0.05, 2.0, 12.0);
    IBandFilter fresh = MakeFilter(IBandFilter::kTypePeak, 0.05, 2.0, 12.0);
    filter.Process(0.5f);
    filter.Process(bad);
    for (double x : input)
      ASSERT_EQ(filter.Process(static_cast<float>(x)), fresh.Process(static_cast<float>(x)));
  }
}

// ---------------------------------------------------------------------------
// Half-band filters, against a literal shifting-line convolution

double FirTap(std::size_t distance) { return talven::HalfbandTap(talven::kFirOddTaps, distance); }
double DecimatorTap(std::size_t distance) { return talven::HalfbandTap(talven::kDecimatorOddTaps, distance); }

std::size_t Distance(std::size_t p, std::size_t centre) { return p > centre ? p - centre : centre - p; }

// Literal shifting-line convolutions, summed in extended precision so the
// comparison measures the rounding of the folded loops alone.
struct ReferenceFir
{
  static constexpr std::size_t kCentre = 65;
  std::array<double, 130> line{}; // positions 1..129, 1 newest
  double offset = IHalfbandFir::kDefaultOffset;
  double scale = 0.0;             // sum of |tap * value|, what rounding errors scale with

  double Step(double x)
  {
    offset = -offset;
    for (std::size_t p = 129; p >= 2; --p)
      line[p] = line[p - 1];
    line[1] = x + offset;
    long double y = 0.0L, magnitude = std::fabs(offset);
    for (std::size_t p = 1; p <= 129; ++p)
    {
      const long double term = static_cast<long double>(FirTap(Distance(p, kCentre))) * line[p];
      y += term;
      magnitude += std::fabs(term);
    }
    scale = static_cast<double>(magnitude);
    return static_cast<double>(y - offset);
  }
};

struct ReferenceDecimator
{
  static constexpr std::size_t kCentre = 33;
  std::array<double, 66> line{}; // positions 0..65, 0 newest
  double scale = 0.0;

  double Step(double first, double second)
  {
    for (std::size_t p = 65; p >= 2; --p)
      line[p] = line[p - 2];
    line[1] = first;
    line[0] = second;
    long double y = 0.0L, magnitude = 0.0L;
    for (std::size_t p = 1; p <= 65; ++p)
    {
      const long double term = static_cast<long double>(DecimatorTap(Distance(p, kCentre))) * line[p];
      y += term;
      magnitude += std::fabs(term);
    }
    scale = static_cast<double>(2.0L * magnitude);
    return static_cast<double>(2.0L * y);
  }
};

constexpr double kFoldingTolerance = 1e-15;

TEST(Halfband, TapTablesHoldTheDesignValues)
{
  struct Tap
  {
    double (*lookup)(std::size_t);
    std::size_t distance;
    double value;
  };
  constexpr Tap kSpotChecks[] = {
    {FirTap, 0, 0.5},          {FirTap, 1, 0.317956},     {FirTap, 15, -0.01647},   {FirTap, 31, -0.003301},
    {FirTap, 33, 0.002635},    {FirTap, 51, -0.00018},    {FirTap, 63, -0.000005},  {FirTap, 64, 0.0},
    {FirTap, 2, 0.0},          {DecimatorTap, 0, 0.5},    {DecimatorTap, 1, 0.316897},
    {DecimatorTap, 9, 0.0245}, {DecimatorTap, 17, 0.00469}, {DecimatorTap, 31, -0.000016},
    {DecimatorTap, 32, 0.0},   {DecimatorTap, 30, 0.0},
  };
  for (const auto& tap : kSpotChecks)
    EXPECT_EQ(tap.lookup(tap.distance), tap.value) << "distance " << tap.distance;
}

TEST(Halfband, FirImpulseResponseRunsThroughTheTapsFromEdgeToEdge)
{
  IHalfbandFir fir;
  fir.Clear();
  for (std::size_t n = 0; n < 2 * 129; ++n)
  {
    const double y = fir.Step(n == 0 ? 1.0 : 0.0);
    const double expected = n < 129 ? FirTap(Distance(n, 64)) : 0.0;
    ASSERT_NEAR(y, expected, 1e-14) << "step " << n;
  }
}

TEST(Halfband, FirAlternatingInputSettlesToHalfLevel)
{
  IHalfbandFir fir;
  double afterOne = 0.0, afterZero = 0.0;
  for (int n = 0; n < 1000; ++n)
  {
    afterOne = fir.Step(1.0);
    afterZero = fir.Step(0.0);
  }
  EXPECT_NEAR(afterOne, 0.5, 1e-12);
  EXPECT_NEAR(afterZero, 0.499994, 1e-12);
}

TEST(Halfband, FirMatchesDirectConvolution)
{
  for (double offset : {1e-15, -1e-15, 0.0, 0.25})
  {
    SCOPED_TRACE(testing::Message() << "offset " << offset);
    IHalfbandFir fir;
    fir.SetOffset(offset);
    ReferenceFir reference;
    reference.offset = offset;
    for (double x : Noise(20000, 1.0, 21))
    {
      const double y = fir.Step(x);
      const double expected = reference.Step(x);
      ASSERT_LE(std::fabs(y - expected), kFoldingTolerance * reference.scale);
      ASSERT_EQ(fir.Offset(), reference.offset);
    }
  }
}

TEST(Halfband, FirClearZeroesTheLineAndKeepsTheOffset)
{
  IHalfbandFir fir;
  fir.SetOffset(1e-15);
  for (double x : Noise(77, 1.0, 2))
    fir.Step(x);
  const double offset = fir.Offset();
  ASSERT_EQ(offset, -1e-15); // 77 flips

  fir.Clear();
  EXPECT_EQ(fir.Offset(), offset);

  IHalfbandFir fresh;
  fresh.SetOffset(offset);
  for (int n = 0; n < 300; ++n)
  {
    const double x = n == 0 ? 1.0 : 0.0;
    ASSERT_EQ(fir.Step(x), fresh.Step(x)) << "step " << n;
  }
  EXPECT_EQ(fir.Offset(), fresh.Offset());
}

TEST(Halfband, DecimatorReturnsFirstValueSixteenCallsLater)
{
  IHalfbandDecimator decimator;
  decimator.Clear();
  for (int call = 0; call < 80; ++call)
  {
    const double y = call == 0 ? decimator.Step(1.0, 0.0) : decimator.Step(0.0, 0.0);
    ASSERT_EQ(y, call == 16 ? 1.0 : 0.0) << "call " << call;
  }
}

TEST(Halfband, DecimatorUsesNewestSecondValueOnlyFromTheNextCall)
{
  IHalfbandDecimator decimator;
  EXPECT_EQ(decimator.Step(0.0, 1.0), 0.0);
  EXPECT_DOUBLE_EQ(decimator.Step(0.0, 0.0), 2.0 * DecimatorTap(31));
}

TEST(Halfband, DecimatorMatchesDirectConvolution)
{
  IHalfbandDecimator decimator;
  ReferenceDecimator reference;
  const std::vector<double> input = Noise(40000, 1.0, 33);
  for (std::size_t i = 0; i + 1 < input.size(); i += 2)
  {
    const double y = decimator.Step(input[i], input[i + 1]);
    const double expected = reference.Step(input[i], input[i + 1]);
    ASSERT_LE(std::fabs(y - expected), kFoldingTolerance * reference.scale) << "call " << i / 2;
  }
}

TEST(Halfband, DecimatorClearForgetsEverything)
{
  IHalfbandDecimator decimator;
  for (double x : Noise(101, 1.0, 4))
    decimator.Step(x, -x);
  decimator.Clear();
  for (int call = 0; call < 40; ++call)
    ASSERT_EQ(decimator.Step(0.0, 0.0), 0.0) << "call " << call;
}

// ---------------------------------------------------------------------------
// Smoother

TEST(Smoother, ConstructedWithTheSlowCoefficient)
{
  IParamSmoother smoother;
  EXPECT_NEAR(smoother.A(), 0.97416, 1e-5);
  EXPECT_DOUBLE_EQ(smoother.A(), std::exp(-std::numbers::pi / 120.0));
  EXPECT_EQ(smoother.B(), 1.0 - smoother.A());
  EXPECT_EQ(smoother.State(), 0.0);
}

struct SettleCase
{
  const char* name;
  int stepsPerBlock;
  double from, to;
  int blocks;
};

constexpr SettleCase kSettleCases[] = {
  {"gain stepped once per block", 1, 0.0, 6.0, 53},
  {"gain falling, once per block", 1, 12.0, -12.0, 53},
  {"frequency stepped twice per block", 2, 110.0, 2500.0, 27},
};

TEST(Smoother, SettlesWithinATenthOfAPercentAtFortyEightKilohertz)
{
  for (const auto& tc : kSettleCases)
  {
    SCOPED_TRACE(tc.name);
    IParamSmoother smoother;
    ASSERT_TRUE(smoother.SetFromSampleRate(48000.0));
    EXPECT_NEAR(smoother.A(), 0.8773, 1e-4);
    smoother.Reset(tc.from);
    const double tolerance = 0.001 * std::fabs(tc.to - tc.from);
    for (int block = 1; block <= tc.blocks; ++block)
    {
      for (int s = 0; s < tc.stepsPerBlock; ++s)
        smoother.Step(tc.to);
      const bool settled = std::fabs(smoother.State() - tc.to) <= tolerance;
      EXPECT_EQ(settled, block == tc.blocks) << "block " << block;
    }
  }
}

struct FlushCase
{
  const char* name;
  double from, target;
  bool flushed;
};

const FlushCase kFlushCases[] = {
  {"decay into subnormal range", DBL_MIN * 1.01, 0.0, true},
  {"negative decay into subnormal range", -DBL_MIN * 1.01, 0.0, true},
  {"smallest subnormal target", 0.0, std::numeric_limits<double>::denorm_min(), true},
  {"still normal after the step", DBL_MIN * 4.0, 0.0, false},
};

TEST(Smoother, FlushesZeroAndSubnormalStatesToPositiveZero)
{
  for (const auto& tc : kFlushCases)
  {
    SCOPED_TRACE(tc.name);
    IParamSmoother smoother;
    smoother.Reset(tc.from);
    const double state = smoother.Step(tc.target);
    EXPECT_EQ(state, smoother.State());
    if (tc.flushed)
    {
      EXPECT_EQ(state, 0.0);
      EXPECT_FALSE(std::signbit(state));
    }
    else
      EXPECT_EQ(std::fpclassify(state), FP_NORMAL);
  }
}

TEST(Smoother, LongDecayNeverHoldsASubnormal)
{
  for (double from : {1.0, -1.0})
  {
    IParamSmoother smoother;
    smoother.Reset(from);
    for (int n = 0; n < 40000; ++n)
      ASSERT_NE(std::fpclassify(smoother.Step(0.0)), FP_SUBNORMAL) << "step " << n;
    EXPECT_EQ(smoother.State(), 0.0);
    EXPECT_FALSE(std::signbit(smoother.State()));
  }
}

TEST(Smoother, ResetSnapsWithoutGlide)
{
  IParamSmoother smoother;
  smoother.Reset(440.0);
  EXPECT_EQ(smoother.State(), 440.0);
  EXPECT_EQ(smoother.Step(440.0), 440.0);
  smoother.Reset(-0.0);
  EXPECT_FALSE(std::signbit(smoother.State()));
}

TEST(Smoother, RejectsCoefficientsThatWouldNotConverge)
{
  IParamSmoother smoother;
  const double a = smoother.A();
  for (double sampleRate : {0.0, -48000.0, kNaN, kInf})
    EXPECT_FALSE(smoother.SetFromSampleRate(sampleRate)) << sampleRate;
  for (double coefficient : {-0.1, 1.5, kNaN})
    EXPECT_FALSE(smoother.SetCoefficients(coefficient)) << coefficient;
  EXPECT_EQ(smoother.A(), a);
  EXPECT_EQ(smoother.B(), 1.0 - a);

  EXPECT_TRUE(smoother.SetCoefficients(0.5));
  EXPECT_EQ(smoother.B(), 0.5);
}

} // namespace
