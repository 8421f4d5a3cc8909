#pragma once
// TALVEN: a five-band equaliser with a drive stage, by Brasswick.
#include "IBandFilter.h"
#include "IHalfbandDecimator.h"
#include "IHalfbandFir.h"
#include "IParamSmoother.h"
#include "IPlugConfig.h"
#include "IPlugParameter.h"
#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"
#include "TALVEN_Engine.h"
#include "TALVEN_Params.h"

namespace talven {

// The configuration record every instance is built from.
iplug::IPluginConfig MakeConfig();

class TALVEN : public iplug::IPlugAPIBase, public iplug::IPlugProcessor
{
public:
  static constexpr int kMaxLatency = kMaxLatencySamples;

  TALVEN();
  ~TALVEN() override;

  using iplug::IPlugAPIBase::OnParamChange;
  // [any thread, lock-free] recomputes the engine targets of one parameter
  void OnParamChange(int index) override;
  // [host thread] editor block (12 bytes), then one float64 per parameter: 188 bytes
  bool SaveState(iplug::IDataChunk& chunk) const override;
  // [host thread] returns the position after the state, or -1
  int LoadState(const iplug::IDataChunk& chunk, int startPos) override;
  // [audio thread] or initialisation: clears the half-band lines, snaps the smoothers
  void ResetProcessing() override;
  // [audio thread]
  void ProcessAudio(double** inputs, double** outputs, int nFrames) override;
  bool EmitMidiMessage(const iplug::IMidiMessage&) override { return false; }

  const EngineTargets& Targets() const { return mTargets; }

private:
  enum ESmoother
  {
    kSmLowGain = 0,
    kSmLowFreq,
    kSmLowMidFreq,
    kSmLowMidGain,
    kSmLowMidQ,
    kSmMidGain,
    kSmMidFreq,
    kSmMidQ,
    kSmHighMidGain,
    kSmHighMidFreq,
    kSmHighMidQ,
    kSmHighGain,
    kSmHighFreq,
    kSmTrim,
    kNumSmoothers
  };
  struct PeakSmootherIndices
  {
    int gain, q, frequency;
  };
  static constexpr PeakSmootherIndices kPeakSmoothers[kNumPeakBands] = {
    {kSmLowMidGain, kSmLowMidQ, kSmLowMidFreq},
    {kSmMidGain, kSmMidQ, kSmMidFreq},
    {kSmHighMidGain, kSmHighMidQ, kSmHighMidFreq},
  };

  explicit TALVEN(const iplug::IPluginConfig& config);
  void DefineParameters();
  void InitEngine();
  void UpdateSmootherCoefficients();
  void UpdateShelfFilters();
  void UpdatePeakFilters();
  void PassThrough(double** inputs, double** outputs, int nFrames);
  double Drive(int channel, double x, double g, int stageCount);
  double BandStage(int channel, double driven);
  void ReportLatency(int latency);

  EngineTargets mTargets;

  IParamSmoother mSmoothers[kNumSmoothers];
  IBandFilter mBandFilters[kNumBands][kNumEngineChannels];
  IHalfbandFir mUpsamplers[kNumEngineChannels];
  IHalfbandFir mDownsamplers[kNumEngineChannels];
  IHalfbandDecimator mDecimators[kNumEngineChannels];
  double mDC = 0.0;
  double mSmootherRate = 0.0; // sample rate the smoother coefficients were computed for
};

} // namespace talven
