// Per-sample cost of the engine's DSP objects.
#include <benchmark/benchmark.h>

#include <array>
#include <random>

#include "IBandFilter.h"
#include "IHalfbandDecimator.h"
#include "IHalfbandFir.h"
#include "IParamSmoother.h"

namespace {

constexpr std::size_t kSignalLength = 4096; // power of two, for the wrap mask

const std::array<double, kSignalLength>& Signal()
{
  static const std::array<double, kSignalLength> signal = [] {
    std::array<double, kSignalLength> s{};
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (double& v : s)
      v = dist(rng);
    return s;
  }();
  return signal;
}

void BandFilterProcess(benchmark::State& state)
{
  talven::IBandFilter filter;
  filter.SetAll(static_cast<std::int32_t>(state.range(0)), 0.05, 0.8, 6.0);
  const auto& signal = Signal();
  std::size_t i = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(filter.Process(static_cast<float>(signal[i])));
    i = (i + 1) & (kSignalLength - 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BandFilterProcess)
  ->ArgName("type")
  ->Arg(talven::IBandFilter::kTypePeak)
  ->Arg(talven::IBandFilter::kTypeLowShelf)
  ->Arg(talven::IBandFilter::kTypeHighShelf);

void BandFilterSetAll(benchmark::State& state)
{
  talven::IBandFilter filter;
  double fc = 0.01;
  for (auto _ : state)
  {
    filter.SetAll(talven::IBandFilter::kTypePeak, fc, 0.8, 6.0);
    fc = fc < 0.3 ? fc * 1.001 : 0.01;
    benchmark::DoNotOptimize(filter);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BandFilterSetAll);

void HalfbandFirStep(benchmark::State& state)
{
  talven::IHalfbandFir fir;
  const auto& signal = Signal();
  std::size_t i = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(fir.Step(signal[i]));
    i = (i + 1) & (kSignalLength - 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HalfbandFirStep);

void HalfbandDecimatorStep(benchmark::State& state)
{
  talven::IHalfbandDecimator decimator;
  const auto& signal = Signal();
  std::size_t i = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(decimator.Step(signal[i], signal[i + 1]));
    i = (i + 2) & (kSignalLength - 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(HalfbandDecimatorStep);

void ParamSmootherStep(benchmark::State& state)
{
  talven::IParamSmoother smoother;
  smoother.SetFromSampleRate(48000.0);
  const auto& signal = Signal();
  std::size_t i = 0;
  for (auto _ : state)
  {
    benchmark::DoNotOptimize(smoother.Step(signal[i]));
    i = (i + 1) & (kSignalLength - 1);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParamSmootherStep);

} // namespace

BENCHMARK_MAIN();
