#pragma once
// TALVEN: a five-band equaliser with a drive stage, by Brasswick.
#include "IBandFilter.h"
#include "IHalfbandDecimator.h"
#include "IHalfbandFir.h"
#include "IParamSmoother.h"
#include "IPlugBinding.h"
#include "IPlugConfig.h"
#include "IPlugParameter.h"
#include "TALVEN_Engine.h"
#include "TALVEN_Params.h"

namespace talven {

// Identity, shared by the configuration record and the host description.
inline constexpr const char* kPluginName = "TALVEN";
inline constexpr const char* kMakerName = "Brasswick";
inline constexpr int32_t kPluginVersion = 0x00040000; // 4.0.0
inline constexpr int32_t kUniqueID = 0x544C5631;      // 'TLV1'
inline constexpr int32_t kMakerID = 0x4277636B;       // 'Bwck'
inline constexpr const char* kChannelIO = "1-1 2-2";

// The configuration record every instance is built from.
iplug::IPluginConfig MakeConfig();

// The binding is the build target's (IPlugBinding.h of IPlug/AAX or IPlug/LV2): one source, one module per binding.
class TALVEN : public iplug::PluginBinding
{
public:
  static constexpr int kMaxLatency = kMaxLatencySamples;

  // without a host (tests, the offline renderer)
  TALVEN();
  explicit TALVEN(const iplug::InstanceInfo& info);
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

  const EngineTargets& Targets() const { return mTargets; }

protected:
  // the parameter block follows the editor block
  int StateParamBlockPosition() const override;

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

  TALVEN(const iplug::IPluginConfig& config, const iplug::InstanceInfo& info);
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
