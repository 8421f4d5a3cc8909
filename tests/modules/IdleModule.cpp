// IDLE: a stereo pass-through with one parameter on the framework's AAX binding, for what a host sees of the
// framework's idle tick. Each value the tick brings to the editor side is traced to the host as
// "editor <id>=<real value>", on the thread the tick ran on.
#include <algorithm>
#include <mutex>

#include "AAX_VHostServices.h"
#include "IPlugAAX.h"

namespace {

constexpr const char* kName = "IDLE";
constexpr const char* kMaker = "Brasswick Test";
constexpr int32_t kUniqueID = 0x49444C45; // 'IDLE'
constexpr int32_t kMakerID = 0x42775473;  // 'BwTs'
constexpr int kChannels = 2;
constexpr AAX_CTypeID kNativeIDs[] = {AAX_FourCC("IDn2")};
constexpr AAX_CTypeID kAudioSuiteIDs[] = {AAX_FourCC("IDa2")};

iplug::IPluginConfig MakeConfig()
{
  iplug::IPluginConfig config;
  config.nParams = 1;
  config.nPresets = 1;
  config.channelIOStr = "2-2";
  config.pluginName = kName;
  config.productName = kName;
  config.mfrName = kMaker;
  config.vendorVersion = 0x00010000;
  config.uniqueID = kUniqueID;
  config.mfrID = kMakerID;
  config.plugDoesChunks = true;
  config.plugHasUI = true; // the tick drains the queues only for an effect with an editor
  config.plugWidth = 100;
  config.plugHeight = 100;
  return config;
}

class IdleEffect final : public iplug::IPlugAAX
{
public:
  explicit IdleEffect(const iplug::InstanceInfo& info) : IPlugAAX(MakeConfig(), info)
  {
    GetParam(0)->DefineContinuous("Gain", 0.0, -60.0, 12.0, 0.1, "dB");
  }

  void ProcessAudio(double** inputs, double** outputs, int nFrames) override
  {
    for (int c = 0; c < kChannels; ++c)
      std::copy(inputs[c], inputs[c] + nFrames, outputs[c]);
  }

  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override
  {
    AAX_Trace(AAX_eTracePriority_Normal, "editor %d=%g", paramIdx + 1, value);
    IPlugAAX::SendParamValueToEditor(paramIdx, value, normalized);
  }
};

const iplug::AAX_SIPlugDescription kDescription{
  .mEffectID = "com.Brasswick.aax.IDLE",
  .mEffectNames = kName,
  .mManufacturerName = kMaker,
  .mPackageVersion = 0x00010000,
  .mCategory = 1,
  .mManufacturerID = static_cast<AAX_CTypeID>(kMakerID),
  .mProductID = static_cast<AAX_CTypeID>(kUniqueID),
  .mNativeIDs = kNativeIDs,
  .mAudioSuiteIDs = kAudioSuiteIDs,
  .mMidiNodeName = "IDLE Midi",
  .mChannelIO = "2-2",
};

} // namespace

namespace iplug {

IPlugAAX* MakePlugin(const InstanceInfo& info)
{
  static std::mutex lock;
  std::lock_guard guard(lock);
  return new IdleEffect(info);
}

const AAX_SIPlugDescription& GetAAXDescription()
{
  return kDescription;
}

} // namespace iplug
