#include "TALVEN.h"

#include <cmath>

namespace talven {

namespace {

constexpr double kAntiDenormalOffset = 1e-15;
constexpr int kOversamplingStages = 2;

double Identity(double v) { return v; }
double DbToAmp(double dB) { return std::pow(10.0, dB / 20.0); }
double FifthOf(double v) { return v / 5.0; }
double ThirdOf(double v) { return v / 3.0; }
double KiloHertz(double v) { return v * 1000.0; }
double ShelfKiloHertz(double v) { return v * 1200.0; } // the high shelf sits a fifth above its label
double DriveGain(double v)
{
  // 0..24 on the knob maps to -24..+24 dB into the saturator; the knob's lower half
  // reaches down to -72 dB, where the stage is linear.
  const double d = (v - 0.0) / (24.0 - 0.0) * (24.0 - (-24.0)) + (-24.0);
  return DbToAmp(d);
}

struct ContinuousRule
{
  int index;
  std::atomic<double>& (*slot)(EngineTargets&);
  double (*transform)(double);
};

constexpr ContinuousRule kContinuousRules[] = {
  {kParamTrim,        [](EngineTargets& t) -> std::atomic<double>& { return t.trim; }, DbToAmp},
  {kParamLowGain,     [](EngineTargets& t) -> std::atomic<double>& { return t.lowGain; }, Identity},
  {kParamLowFreq,     [](EngineTargets& t) -> std::atomic<double>& { return t.lowFrequency; }, FifthOf},
  {kParamLowMidGain,  [](EngineTargets& t) -> std::atomic<double>& { return t.peak[0].gain; }, Identity},
  {kParamLowMidFreq,  [](EngineTargets& t) -> std::atomic<double>& { return t.peak[0].frequency; }, Identity},
  {kParamLowMidQ,     [](EngineTargets& t) -> std::atomic<double>& { return t.peak[0].q; }, ThirdOf},
  {kParamHighMidGain, [](EngineTargets& t) -> std::atomic<double>& { return t.peak[2].gain; }, Identity},
  {kParamHighMidFreq, [](EngineTargets& t) -> std::atomic<double>& { return t.peak[2].frequency; }, KiloHertz},
  {kParamHighMidQ,    [](EngineTargets& t) -> std::atomic<double>& { return t.peak[2].q; }, ThirdOf},
  {kParamHighGain,    [](EngineTargets& t) -> std::atomic<double>& { return t.highGain; }, Identity},
  {kParamHighFreq,    [](EngineTargets& t) -> std::atomic<double>& { return t.highFrequency; }, ShelfKiloHertz},
  {kParamMidGain,     [](EngineTargets& t) -> std::atomic<double>& { return t.peak[1].gain; }, Identity},
  {kParamMidFreq,     [](EngineTargets& t) -> std::atomic<double>& { return t.peak[1].frequency; }, Identity},
  {kParamMidQ,        [](EngineTargets& t) -> std::atomic<double>& { return t.peak[1].q; }, ThirdOf},
  {kParamDrive,       [](EngineTargets& t) -> std::atomic<double>& { return t.driveGain; }, DriveGain},
};

struct SwitchRule
{
  int index;
  std::atomic<int>& (*slot)(EngineTargets&);
};

constexpr SwitchRule kSwitchRules[] = {
  {kParamAllIn,     [](EngineTargets& t) -> std::atomic<int>& { return t.allIn; }},
  {kParamShelvesIn, [](EngineTargets& t) -> std::atomic<int>& { return t.shelvesIn; }},
  {kParamLowMidIn,  [](EngineTargets& t) -> std::atomic<int>& { return t.peak[0].engaged; }},
  {kParamMidIn,     [](EngineTargets& t) -> std::atomic<int>& { return t.peak[1].engaged; }},
  {kParamHighMidIn, [](EngineTargets& t) -> std::atomic<int>& { return t.peak[2].engaged; }},
};

// A switch value from a host may be anything; only whole 0/1 positions count.
int TruncateToInt(double v)
{
  if (!std::isfinite(v) || v > 1e9 || v < -1e9)
    return 0;
  return static_cast<int>(v);
}

} // namespace

iplug::IPluginConfig MakeConfig()
{
  iplug::IPluginConfig c;
  c.nParams = kParamCount;
  c.nPresets = 1;
  c.channelIOStr = kChannelIO;
  c.pluginName = kPluginName;
  c.productName = kPluginName;
  c.mfrName = kMakerName;
  c.vendorVersion = kPluginVersion;
  c.uniqueID = kUniqueID;
  c.mfrID = kMakerID;
  c.latency = 0;
  c.plugDoesMidiIn = false;
  c.plugDoesMidiOut = false;
  c.plugDoesMPE = false;
  c.plugDoesChunks = true;
  c.plugType = iplug::eEffect;
  c.plugHasUI = true;
  c.plugWidth = 790;
  c.plugHeight = 213;
  c.plugMinWidth = 395;
  c.plugMaxWidth = 1580;
  c.plugMinHeight = 106;
  c.plugMaxHeight = 426;
  c.plugHostResize = false;
  c.bundleID = "";
  return c;
}

TALVEN::TALVEN() : TALVEN(iplug::InstanceInfo{}) {}

TALVEN::TALVEN(const iplug::InstanceInfo& info) : TALVEN(MakeConfig(), info) {}

TALVEN::TALVEN(const iplug::IPluginConfig& config, const iplug::InstanceInfo& info)
  : iplug::PluginBinding(config, info, kMaxLatency)
{
  InitEngine();
  DefineParameters();

  // The engine is defined before any reset or block: the host may reset before
  // it delivers a single value.
  for (int i = 0; i < kParamCount; ++i)
    OnParamChange(i);
}

TALVEN::~TALVEN() = default;

void TALVEN::InitEngine()
{
  for (IParamSmoother& s : mSmoothers)
    s = IParamSmoother();
  for (int c = 0; c < kNumEngineChannels; ++c)
  {
    for (IHalfbandFir* f : {&mUpsamplers[c], &mDownsamplers[c]})
    {
      f->SetOffset(kAntiDenormalOffset);
      f->Clear();
    }
    mDecimators[c].Clear();
  }
  mDC = kAntiDenormalOffset;
}

void TALVEN::DefineParameters()
{
  for (const ContinuousParamDef& d : kContinuousParams)
    GetParam(d.index)->DefineContinuous(d.name, d.defaultValue, d.min, d.max, d.step, d.label);
  for (const SwitchParamDef& d : kSwitchParams)
    GetParam(d.index)->DefineInteger(d.name, d.defaultValue, 0, 1);
  for (const DisplayTextDef& d : kDisplayTexts)
    GetParam(d.index)->AddDisplayText(d.value, d.text);
}

void TALVEN::OnParamChange(int index)
{
  const iplug::IParam* param = GetParam(index);
  if (!param)
    return;
  const double v = param->RealValue();

  for (const ContinuousRule& r : kContinuousRules)
  {
    if (r.index == index)
    {
      Store(r.slot(mTargets), r.transform(v));
      return;
    }
  }
  for (const SwitchRule& r : kSwitchRules)
  {
    if (r.index == index)
    {
      Store(r.slot(mTargets), TruncateToInt(v));
      return;
    }
  }
  if (index == kParamOversampling)
  {
    const int on = TruncateToInt(v);
    if (on == 0 || on == 1)
    {
      Store(mTargets.stageCount, on ? kOversamplingStages : 0);
      Store(mTargets.latencyValue, on ? kLatencyOversampled : kLatencyPlain);
    }
  }
}

bool TALVEN::SaveState(iplug::IDataChunk& chunk) const
{
  const bool editorSaved = SaveEditorState(chunk);
  const bool paramsSaved = SerializeParams(chunk);
  return editorSaved && paramsSaved;
}

int TALVEN::LoadState(const iplug::IDataChunk& chunk, int startPos)
{
  return UnserializeParams(chunk, LoadEditorState(chunk, startPos));
}

int TALVEN::StateParamBlockPosition() const
{
  iplug::IDataChunk editorBlock;
  return SaveEditorState(editorBlock) ? editorBlock.Size() : -1;
}

void TALVEN::ResetProcessing()
{
  for (int c = 0; c < kNumEngineChannels; ++c)
  {
    mUpsamplers[c].Clear();
    mDownsamplers[c].Clear();
    mDecimators[c].Clear();
  }

  // Snap to the targets the hook stored, not to what the switches make of them:
  // a band switched out still glides to 0 dB after a reset.
  mSmoothers[kSmLowGain].Reset(Load(mTargets.lowGain));
  mSmoothers[kSmLowFreq].Reset(Load(mTargets.lowFrequency));
  mSmoothers[kSmHighGain].Reset(Load(mTargets.highGain));
  mSmoothers[kSmHighFreq].Reset(Load(mTargets.highFrequency));
  mSmoothers[kSmTrim].Reset(Load(mTargets.trim));
  for (int b = 0; b < kNumPeakBands; ++b)
  {
    const PeakBandTargets& t = mTargets.peak[b];
    mSmoothers[kPeakSmoothers[b].gain].Reset(Load(t.gain));
    mSmoothers[kPeakSmoothers[b].q].Reset(Load(t.q));
    mSmoothers[kPeakSmoothers[b].frequency].Reset(Load(t.frequency));
  }
}

} // namespace talven
