#pragma once
// TALVEN: a five-band equaliser with a drive stage, by Brasswick.
#include <memory>
#include <vector>

#include "IBandFilter.h"
#include "IHalfbandDecimator.h"
#include "IHalfbandFir.h"
#include "IParamSmoother.h"
#include "IPlugConfig.h"
#include "IPlugParameter.h"
#include "IPlugProcessor.h"
#include "TALVEN_Engine.h"
#include "TALVEN_Params.h"

namespace talven {

// The configuration record every instance is built from.
iplug::IPluginConfig MakeConfig();

class TALVEN : public iplug::IPlugProcessor
{
public:
  static constexpr int kMaxLatency = kMaxLatencySamples;

  TALVEN();
  ~TALVEN() override;

  // Parameter list (moves into the editor delegate when it arrives).
  int NParams() const { return static_cast<int>(mParams.size()); }
  iplug::IParam* GetParam(int index) const;

  // [any thread, lock-free] recomputes the engine targets of one parameter
  void OnParamChange(int index);
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

  void DefineParameters();
  void InitEngine();
  void UpdateSmootherCoefficients();
  void UpdateShelfFilters();
  void UpdatePeakFilters();
  void PassThrough(double** inputs, double** outputs, int nFrames);
  double Drive(int channel, double x, double g, int stageCount);
  double BandStage(int channel, double driven);
  void ReportLatency(int latency);

  std::vector<std::unique_ptr<iplug::IParam>> mParams;
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
