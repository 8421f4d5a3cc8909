// The whole chain through the processing frame, as the host binding drives it:
// stereo, every band doing work, float host buffers in and out.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "TALVEN.h"

namespace {

using iplug::ERouteDirection;
using namespace talven;

void SetParam(TALVEN& plug, int index, double value)
{
  plug.GetParam(index)->SetRealValue(value);
  plug.OnParamChange(index);
}

void BM_ProcessStereo(benchmark::State& state)
{
  const double sampleRate = static_cast<double>(state.range(0));
  const int blockSize = static_cast<int>(state.range(1));
  const bool oversampling = state.range(2) != 0;

  TALVEN plug;
  plug.SetSampleRate(sampleRate);
  for (ERouteDirection dir : {ERouteDirection::eRouteInput, ERouteDirection::eRouteOutput})
    plug.ConnectChannels(dir, 0, 2, true);
  plug.ChangeBlockSize(blockSize);
  for (int gain : {kParamLowGain, kParamLowMidGain, kParamMidGain, kParamHighMidGain, kParamHighGain})
    SetParam(plug, gain, 3.0);
  SetParam(plug, kParamTrim, -1.0);
  SetParam(plug, kParamDrive, 6.0);
  SetParam(plug, kParamOversampling, oversampling ? 1 : 0);
  plug.ResetProcessing();

  std::mt19937 rng(1);
  std::uniform_real_distribution<float> dist(-0.25f, 0.25f);
  std::vector<std::vector<float>> in(2, std::vector<float>(static_cast<size_t>(blockSize)));
  std::vector<std::vector<float>> out = in;
  for (auto& ch : in)
    for (float& v : ch)
      v = dist(rng);
  float* inPtrs[2] = {in[0].data(), in[1].data()};
  float* outPtrs[2] = {out[0].data(), out[1].data()};

  for (auto _ : state)
  {
    plug.AttachHostBuffers(ERouteDirection::eRouteInput, 0, 2, inPtrs, blockSize);
    plug.AttachHostBuffers(ERouteDirection::eRouteOutput, 0, 2, outPtrs, blockSize);
    plug.RunBlock(blockSize);
    benchmark::DoNotOptimize(out[0].data());
    benchmark::ClobberMemory();
  }

  state.SetItemsProcessed(state.iterations() * blockSize);
}

BENCHMARK(BM_ProcessStereo)
  ->ArgNames({"rate", "block", "os"})
  ->ArgsProduct({{44100, 48000, 96000}, {32, 512, 4096}, {0, 1}})
  ->MeasureProcessCPUTime();

} // namespace

BENCHMARK_MAIN();
