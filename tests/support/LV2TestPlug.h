#pragma once
// A small plug-in on the LV2 binding: a gain, an undefined slot and a switch with display
// texts, on "1-1 2-2". It multiplies by the gain (negated when inverted), reports a fixed
// latency and counts what reaches it, so tests can see what the binding delivers.
#include <cmath>

#include "IPlugLV2.h"

namespace testsupport {

class LV2TestPlug : public iplug::IPlugLV2
{
public:
  enum
  {
    kGain = 0,   // -24..24 dB
    kUnused,     // never defined
    kPolarity,   // 0 "Normal", 1 "Inverted"
    kNumParams
  };
  static constexpr int kLatency = 4;

  static iplug::IPluginConfig Config()
  {
    iplug::IPluginConfig c;
    c.nParams = kNumParams;
    c.nPresets = 1;
    c.channelIOStr = "1-1 2-2";
    c.pluginName = "LV2 Test Plug";
    c.productName = "LV2 Test Plug";
    c.mfrName = "Brasswick Tests";
    c.vendorVersion = 0x00010203;
    c.uniqueID = 0x4C563254; // 'LV2T'
    c.mfrID = 0x42777454;    // 'BwtT'
    c.plugDoesChunks = true;
    return c;
  }

  explicit LV2TestPlug(const iplug::InstanceInfo& info) : IPlugLV2(Config(), info, kLatency)
  {
    GetParam(kGain)->DefineContinuous("Gain", 0.0, -24.0, 24.0, 0.1, "dB");
    GetParam(kPolarity)->DefineInteger("Polarity", 0, 0, 1);
    GetParam(kPolarity)->AddDisplayText(0.0, "Normal");
    GetParam(kPolarity)->AddDisplayText(1.0, "Inverted");
  }

  void OnParamChange(int idx, iplug::EChangeSource source, int offset) override
  {
    if (source == iplug::eFromHost && idx >= 0 && idx < kNumParams)
      ++mHostChanges[idx];
    IPlugLV2::OnParamChange(idx, source, offset);
  }

  void ProcessAudio(double** inputs, double** outputs, int nFrames) override
  {
    mLongestBlock = nFrames > mLongestBlock ? nFrames : mLongestBlock;
    const double polarity = GetParam(kPolarity)->RealValue() > 0.5 ? -1.0 : 1.0;
    const double g = std::pow(10.0, GetParam(kGain)->RealValue() / 20.0) * polarity;
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i)
        outputs[c][i] = inputs[c][i] * g;
    if (GetLatency() != kLatency)
      ApplyLatency(kLatency);
  }

  void ResetProcessing() override { ++mResets; }

  int mHostChanges[kNumParams] = {};
  int mLongestBlock = 0;
  int mResets = 0;
};

} // namespace testsupport
