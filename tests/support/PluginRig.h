#pragma once
// Drives a plug-in's processing frame as a host binding does: channel
// connections, block size, host float buffers, one RunBlock per block.
#include <algorithm>
#include <memory>
#include <vector>

#include "IPlugStructs.h"

namespace testsupport {

template <typename Plug>
class PluginRig
{
public:
  explicit PluginRig(double sampleRate = 48000.0, int channels = 2, int blockSize = 512)
    : mPlug(std::make_unique<Plug>()), mChannels(channels)
  {
    mPlug->SetSampleRate(sampleRate);
    for (auto dir : {iplug::ERouteDirection::eRouteInput, iplug::ERouteDirection::eRouteOutput})
    {
      mPlug->ConnectChannels(dir, 0, channels, true);
      mPlug->ConnectChannels(dir, channels, 2 - channels, false);
    }
    mPlug->CreateLatencyDelay(Plug::kMaxLatency);
    mPlug->ChangeBlockSize(blockSize);
    mPlug->ResetProcessing();
  }

  Plug& plug() { return *mPlug; }

  // Sets a parameter as the host would, then runs the change hook.
  void Set(int index, double value)
  {
    mPlug->GetParam(index)->SetRealValue(value);
    mPlug->OnParamChange(index);
  }

  // Processes one block; in[c] and out[c] hold at least n samples.
  void Run(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out, int offset, int n)
  {
    float* inPtrs[2] = {};
    float* outPtrs[2] = {};
    for (int c = 0; c < mChannels; ++c)
    {
      inPtrs[c] = in[static_cast<size_t>(c)].data() + offset;
      outPtrs[c] = out[static_cast<size_t>(c)].data() + offset;
    }
    mPlug->AttachHostBuffers(iplug::ERouteDirection::eRouteInput, 0, mChannels, inPtrs, n);
    mPlug->AttachHostBuffers(iplug::ERouteDirection::eRouteOutput, 0, mChannels, outPtrs, n);
    mPlug->RunBlock(n);
  }

  // Renders a whole signal (one vector per channel) in blocks of blockSize.
  std::vector<std::vector<float>> Render(std::vector<std::vector<float>> in, int blockSize)
  {
    const int frames = static_cast<int>(in[0].size());
    std::vector<std::vector<float>> out(in.size(), std::vector<float>(static_cast<size_t>(frames)));
    for (int pos = 0; pos < frames; pos += blockSize)
      Run(in, out, pos, std::min(blockSize, frames - pos));
    return out;
  }

private:
  std::unique_ptr<Plug> mPlug;
  int mChannels;
};

} // namespace testsupport
