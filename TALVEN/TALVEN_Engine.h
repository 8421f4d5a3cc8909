#pragma once
// What the change hook writes and the audio thread reads. Each value is a
// single aligned scalar, written and read with relaxed atomics: a change in
// the middle of a block is simply seen at the next read.
#include <atomic>

namespace talven {

enum EBand
{
  kBandLowShelf = 0,
  kBandHighShelf,
  kBandLowMid,
  kBandMid,
  kBandHighMid,
  kNumBands
};

inline constexpr int kNumPeakBands = 3;
inline constexpr int kLatencyPlain = 16;        // the decimator's delay
inline constexpr int kLatencyOversampled = 80;  // plus 32 each in the up- and down-sampler
inline constexpr int kMaxLatencySamples = kLatencyOversampled;
inline constexpr int kNumEngineChannels = 2;

enum EFilterType
{
  kFilterPeak = 4,
  kFilterLowShelf = 5,
  kFilterHighShelf = 6
};

struct PeakBandTargets
{
  std::atomic<double> gain{0.0};      // dB
  std::atomic<double> frequency{0.0}; // Hz
  std::atomic<double> q{0.0};         // Q parameter / 3
  std::atomic<int> engaged{1};
};

struct EngineTargets
{
  std::atomic<double> trim{1.0};          // linear gain
  std::atomic<double> lowGain{0.0};       // dB
  std::atomic<double> lowFrequency{0.0};  // Hz, a fifth of the displayed value
  std::atomic<double> highGain{0.0};      // dB
  std::atomic<double> highFrequency{0.0}; // Hz
  std::atomic<double> driveGain{1.0};     // linear gain g of the saturator
  PeakBandTargets peak[kNumPeakBands];    // low-mid, mid, high-mid
  std::atomic<int> allIn{1};
  std::atomic<int> shelvesIn{1};
  std::atomic<int> stageCount{0};
  std::atomic<int> latencyValue{0};
};

inline double Load(const std::atomic<double>& v) { return v.load(std::memory_order_relaxed); }
inline int Load(const std::atomic<int>& v) { return v.load(std::memory_order_relaxed); }
template <typename T>
inline void Store(std::atomic<T>& target, T v) { target.store(v, std::memory_order_relaxed); }

} // namespace talven
