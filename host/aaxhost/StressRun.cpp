#include "StressRun.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "Instance.h"
#include "ParameterThread.h"

namespace aaxhost {

namespace {

constexpr auto kIdleInterval = std::chrono::milliseconds(2);
constexpr int kUpdatesPerBatch = 8;

std::size_t PickComponent(const EffectDescription& effect, int inputChannels)
{
  for (std::size_t i = 0; i < effect.mComponents.size(); ++i)
    if (AAX_StemFormatChannelCount(effect.mComponents[i].InputStemFormat()) == inputChannels)
      return i;
  return 0;
}

// planar channels of one block, with the pointer array the render call takes
struct BlockBuffers
{
  BlockBuffers(int channels, int32_t frames)
    : mChannels(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames))),
      mPointers(mChannels.size())
  {
    for (std::size_t c = 0; c < mChannels.size(); ++c)
      mPointers[c] = mChannels[c].data();
  }
  std::vector<std::vector<float>> mChannels;
  std::vector<float*> mPointers;
};

uint64_t CountNonFinite(const BlockBuffers& buffers, int32_t frames)
{
  uint64_t count = 0;
  for (const std::vector<float>& channel : buffers.mChannels)
    for (int32_t i = 0; i < frames; ++i)
      count += std::isfinite(channel[static_cast<std::size_t>(i)]) ? 0 : 1;
  return count;
}

void RenderLoop(Instance& instance, const StressOptions& options, const std::atomic<bool>& stop, StressReport& report)
{
  BlockBuffers input(instance.NumInputChannels(), options.mMaxBlock);
  BlockBuffers output(instance.NumOutputChannels(), options.mMaxBlock);
  std::mt19937 random(options.mSeed);
  std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
  for (std::vector<float>& channel : input.mChannels)
    for (float& sample : channel)
      sample = noise(random);
  std::uniform_int_distribution<int32_t> blockSize(1, options.mMaxBlock);

  int32_t frames = options.mMaxBlock;
  do
  {
    instance.Render(input.mPointers.data(), output.mPointers.data(), frames);
    report.mNonFiniteSamples += CountNonFinite(output, frames);
    report.mFrames += static_cast<uint64_t>(frames);
    if (report.mBlocks++ == 0 && options.mAfterFirstBlock)
      options.mAfterFirstBlock();
    frames = blockSize(random);
  } while (!stop.load(std::memory_order_acquire));
  if (options.mAfterLastBlock)
    options.mAfterLastBlock();
}

void UpdateLoop(Instance& instance, const std::vector<std::string>& ids, uint32_t seed, const std::atomic<bool>& stop)
{
  if (ids.empty())
    return;
  std::mt19937 random(seed);
  std::uniform_int_distribution<std::size_t> which(0, ids.size() - 1);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  while (!stop.load(std::memory_order_acquire))
  {
    for (int i = 0; i < kUpdatesPerBatch; ++i)
      instance.SendHostUpdate(ids[which(random)], value(random));
    instance.WaitForParameterThread();
  }
}

} // namespace

bool RunStress(const StressOptions& options, StressReport& report, std::string& error)
{
  if (options.mMaxBlock < 1)
  {
    error = "the largest block must have at least one frame";
    return false;
  }
  std::shared_ptr<Module> module = Module::Load(options.mModulePath, error);
  if (!module)
    return false;
  ParameterThread parameterThread;
  InstanceOptions instanceOptions;
  instanceOptions.mComponent = PickComponent(module->Description().mEffects.front(), options.mInputChannels);
  instanceOptions.mSampleRate = options.mSampleRate;
  std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, instanceOptions, error);
  if (!instance)
    return false;
  if (options.mOpenEditor && instance->Effect().mCreateEditor && !instance->OpenEditor(error))
    return false;

  std::vector<std::string> ids;
  for (const ParameterInfo& parameter : instance->ListParameters())
    ids.push_back(parameter.mID);
  report.mParameters = static_cast<int>(ids.size());

  std::atomic<bool> stop{false};
  std::thread render([&] { RenderLoop(*instance, options, stop, report); });
  std::thread updates([&] { UpdateLoop(*instance, ids, options.mSeed + 1, stop); });
  const auto end = std::chrono::steady_clock::now() + options.mDuration;
  while (std::chrono::steady_clock::now() < end)
  {
    instance->IdleTick();
    ++report.mIdleTicks;
    std::this_thread::sleep_for(kIdleInterval);
  }
  stop.store(true, std::memory_order_release);
  updates.join();
  render.join();
  instance->WaitForParameterThread();
  report.mHostUpdates = instance->Automation().HostUpdatesDelivered();
  report.mAssertions = module->Services().Assertions().size();
  instance.reset();
  return true;
}

} // namespace aaxhost
