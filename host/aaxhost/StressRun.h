#pragma once
// A bounded stress run against any module: a render thread renders blocks of random size while a parameter
// thread delivers host updates for random parameters and the calling thread, standing in for the UI thread,
// runs the idle tick. The caller can watch the render thread through two hooks (to count allocations).
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace aaxhost {

struct StressOptions
{
  std::string mModulePath;
  int mInputChannels = 2; // picks the first component with this many inputs, else the first component
  double mSampleRate = 48000.0;
  std::chrono::milliseconds mDuration{2000};
  int32_t mMaxBlock = 4096; // the first block has this size, later ones 1..mMaxBlock
  uint32_t mSeed = 1;
  bool mOpenEditor = true;
  std::function<void()> mAfterFirstBlock; // [render thread]
  std::function<void()> mAfterLastBlock;  // [render thread]
};

struct StressReport
{
  uint64_t mBlocks = 0;
  uint64_t mFrames = 0;
  uint64_t mHostUpdates = 0; // delivered on the parameter thread
  uint64_t mIdleTicks = 0;
  uint64_t mNonFiniteSamples = 0;
  std::size_t mAssertions = 0; // reported by the module
  int mParameters = 0;
};

// [the thread standing in for the UI thread] false with a message when the module cannot be run
bool RunStress(const StressOptions& options, StressReport& report, std::string& error);

} // namespace aaxhost
