// What the AAX binding's entry points need from the plug-in: its factory and its description.
#include <mutex>

#include "AAX.h"
#include "TALVEN.h"

namespace {

constexpr AAX_CTypeID kNativeIDs[] = {AAX_FourCC("IEF1"), AAX_FourCC("IEF2")};
constexpr AAX_CTypeID kAudioSuiteIDs[] = {AAX_FourCC("IEA1"), AAX_FourCC("IEA2")};
constexpr uint32_t kCategoryEQ = 1;

const iplug::AAX_SIPlugDescription kDescription{
  .mEffectID = "com.Brasswick.aax.TALVEN",
  .mEffectNames = talven::kPluginName,
  .mManufacturerName = talven::kMakerName,
  .mPackageVersion = static_cast<uint32_t>(talven::kPluginVersion),
  .mCategory = kCategoryEQ,
  .mManufacturerID = static_cast<AAX_CTypeID>(talven::kMakerID),
  .mProductID = static_cast<AAX_CTypeID>(talven::kUniqueID),
  .mNativeIDs = kNativeIDs,
  .mAudioSuiteIDs = kAudioSuiteIDs,
  .mMidiNodeName = "TALVEN Midi",
  .mChannelIO = talven::kChannelIO,
  .mDoesMidiIn = false,
  .mDoesMidiOut = false,
};

// Created on first use, destroyed at exit; instances may be made from several host threads.
std::mutex& FactoryLock()
{
  static std::mutex lock;
  return lock;
}

} // namespace

namespace iplug {

IPlugAAX* MakePlugin(const InstanceInfo& info)
{
  std::lock_guard guard(FactoryLock());
  return new talven::TALVEN(info);
}

const AAX_SIPlugDescription& GetAAXDescription()
{
  return kDescription;
}

} // namespace iplug
