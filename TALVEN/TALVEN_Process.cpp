// The processing chain: drive, five bands at twice the rate, decimation, trim.
#include <cmath>

#include "TALVEN.h"

namespace talven {

namespace {

constexpr double kLowShelfQNumerator = 10.0; // Q = 10 / corner, i.e. 50 / displayed frequency
constexpr double kHighShelfQ = 0.4;
constexpr double kNeutralPeakQ = 0.7;
constexpr double kPeakQBase = 0.3;
constexpr double kPeakQPerDb = 0.125;
constexpr double kOversampledDriveScale = 2.0; // restores the level the inserted zeros take away

inline double Shape(double u)
{
  return std::tanh(u) + 0.000001 * std::tanh(u * u) + 0.001 * std::tanh(u * u * u);
}

// Normalised frequency at the bands' doubled rate.
inline double BandFc(double hz, double sampleRate) { return hz / sampleRate * 0.5; }

// Boost or cut widens the band; a flat band sits at a neutral Q.
inline double EffectivePeakQ(double gainDb, double q)
{
  if (gainDb == 0.0)
    return kNeutralPeakQ;
  return kPeakQBase + std::fabs(gainDb) * kPeakQPerDb * q;
}

} // namespace

void TALVEN::UpdateSmootherCoefficients()
{
  const double sampleRate = GetSampleRate();
  if (sampleRate == mSmootherRate)
    return;
  mSmootherRate = sampleRate;
  for (IParamSmoother& s : mSmoothers)
    s.SetFromSampleRate(sampleRate);
}

void TALVEN::UpdateShelfFilters()
{
  const double sampleRate = GetSampleRate();
  double lowGain = 0.0;
  double highGain = 0.0;
  if (Load(mTargets.shelvesIn) != 0)
  {
    lowGain = mSmoothers[kSmLowGain].Step(Load(mTargets.lowGain));
    highGain = mSmoothers[kSmHighGain].Step(Load(mTargets.highGain));
  }

  const double lowFrequency = Load(mTargets.lowFrequency);
  const double lowQ = kLowShelfQNumerator / lowFrequency;
  for (IBandFilter& f : mBandFilters[kBandLowShelf])
  {
    const double hz = mSmoothers[kSmLowFreq].Step(lowFrequency);
    f.SetAll(kFilterLowShelf, BandFc(hz, sampleRate), lowQ, lowGain);
  }

  const double highFrequency = Load(mTargets.highFrequency);
  for (IBandFilter& f : mBandFilters[kBandHighShelf])
  {
    const double hz = mSmoothers[kSmHighFreq].Step(highFrequency);
    f.SetAll(kFilterHighShelf, BandFc(hz, sampleRate), kHighShelfQ, highGain);
  }
}

void TALVEN::UpdatePeakFilters()
{
  const double sampleRate = GetSampleRate();
  for (int b = 0; b < kNumPeakBands; ++b)
  {
    const PeakBandTargets& t = mTargets.peak[b];
    const double g = Load(t.gain);
    const double qTarget = EffectivePeakQ(g, Load(t.q));
    const double gainTarget = Load(t.engaged) != 0 ? g : 0.0;
    const double frequency = Load(t.frequency);
    const PeakSmootherIndices& sm = kPeakSmoothers[b];

    // Left and right each step the smoothers once, so a gliding band's two
    // filters differ by one step within a block.
    for (IBandFilter& f : mBandFilters[kBandLowMid + b])
    {
      const double gain = mSmoothers[sm.gain].Step(gainTarget);
      const double q = mSmoothers[sm.q].Step(qTarget);
      const double hz = mSmoothers[sm.frequency].Step(frequency);
      f.SetAll(kFilterPeak, BandFc(hz, sampleRate), q, gain);
    }
  }
}

void TALVEN::PassThrough(double** inputs, double** outputs, int nFrames)
{
  const int nOut = ConnectedChannelCount(iplug::ERouteDirection::eRouteOutput);
  for (int c = 0; c < nOut; ++c)
    for (int i = 0; i < nFrames; ++i)
      outputs[c][i] = inputs[c][i];
}

double TALVEN::Drive(int channel, double x, double g, int stageCount)
{
  if (stageCount <= 0)
    return Shape(g * x) / g;

  double driven = 0.0;
  for (int j = 0; j < stageCount; ++j)
  {
    const double up = mUpsamplers[channel].Step(j == 0 ? x : 0.0);
    const double y = Shape(kOversampledDriveScale * g * up) / g;
    const double down = mDownsamplers[channel].Step(y);
    if (j == 0)
      driven = down;
  }
  return driven;
}

double TALVEN::BandStage(int channel, double driven)
{
  // Zero insertion: each filter sees the driven sample and then a zero, at twice the rate.
  float first = static_cast<float>(driven);
  float second = 0.0f;
  for (int b = 0; b < kNumBands; ++b)
  {
    IBandFilter& f = mBandFilters[b][channel];
    first = f.Process(first);
    second = f.Process(second);
  }
  return mDecimators[channel].Step(first, second);
}

void TALVEN::ReportLatency(int latency)
{
  if (latency != GetLatency())
    ApplyLatency(latency);
}

void TALVEN::ProcessAudio(double** inputs, double** outputs, int nFrames)
{
  UpdateSmootherCoefficients();
  UpdateShelfFilters();
  UpdatePeakFilters();

  if (Load(mTargets.allIn) == 0)
  {
    PassThrough(inputs, outputs, nFrames);
    ReportLatency(0);
    return;
  }

  const double g = Load(mTargets.driveGain);
  const int stageCount = Load(mTargets.stageCount);
  const double trimTarget = Load(mTargets.trim);

  for (int i = 0; i < nFrames; ++i)
  {
    mDC = -mDC;
    double y[kNumEngineChannels];
    for (int c = 0; c < kNumEngineChannels; ++c)
      y[c] = BandStage(c, Drive(c, inputs[c][i] + mDC, g, stageCount));

    if (Load(mTargets.allIn) == 0)
    {
      for (int c = 0; c < kNumEngineChannels; ++c)
        outputs[c][i] = inputs[c][i] - mDC;
      continue;
    }
    // The trim smoother advances once per channel, left first.
    for (int c = 0; c < kNumEngineChannels; ++c)
      outputs[c][i] = (y[c] - mDC) * mSmoothers[kSmTrim].Step(trimTarget);
  }

  ReportLatency(Load(mTargets.latencyValue) * Load(mTargets.allIn));
}

} // namespace talven
