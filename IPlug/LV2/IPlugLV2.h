#pragma once
// The plug-in object as an LV2 host sees it: the framework bases joined with the LV2 adapter.
// Changed control ports become host parameter changes, audio runs through the processing
// frame in pieces of the prepared block size, the latency and enabled ports report and
// bypass, and the state extension carries exactly the plug-in's own state bytes.
// Every host feature is optional. Threads: as tagged in IPlugLV2Adapter.
#include <cstdint>
#include <string>
#include <vector>

#include "IPlugAPIBase.h"
#include "IPlugLV2_Adapter.h"
#include "IPlugLV2_Ports.h"
#include "IPlugProcessor.h"

namespace iplug {

// What the host gives a new instance; the defaults make an instance that only describes the plug-in.
struct InstanceInfo
{
  int ioConfigIdx = 0;       // the channel configuration of the LV2 plug-in being made
  double sampleRate = 0.0;   // a rate that is not positive keeps the processor's default
  const LV2_Feature* const* features = nullptr;
};

class IPlugLV2 : public IPlugAPIBase, public IPlugProcessor, public IPlugLV2Adapter
{
public:
  static constexpr int kDefaultBlockSize = 512; // when the host names no maximum block length
  static constexpr int kMaxBlockSize = 8192;    // a larger maximum is split into pieces of this size
  static constexpr int kMaxStateBytes = 1 << 24;

  // maxLatency: the longest latency the plug-in will report, reserved so that reporting it never allocates
  IPlugLV2(const IPluginConfig& config, const InstanceInfo& info, int maxLatency = 0);
  ~IPlugLV2() override;

  // no MIDI ports
  bool EmitMidiMessage(const IMidiMessage& /*msg*/) override { return false; }

  void LV2Instantiated() override;
  void LV2ConnectPort(uint32_t port, void* data) override;
  void LV2Activate() override;
  void LV2Run(uint32_t nFrames) override;
  void LV2Deactivate() override;
  // one property, an atom:Chunk of SaveState's bytes; LV2_STATE_ERR_NO_FEATURE without a URID map
  LV2_State_Status LV2SaveState(LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t flags,
                                const LV2_Feature* const* features) override;
  // hands the chunk to LoadState; a missing, mistyped or oversized property changes nothing
  LV2_State_Status LV2RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle, uint32_t flags,
                                   const LV2_Feature* const* features) override;

  const LV2Variant& GetLV2Variant() const { return mVariant; }
  const std::vector<LV2Port>& GetLV2Ports() const { return mPorts; }
  bool HasStateSupport() const { return mUrids.stateKey != 0; }

protected:
  // Where SaveState's bytes keep the parameter block, -1 for none (the framework's default state is the bare
  // block). Every binding asks the plug-in; LV2 stores the state whole and has no use for it yet.
  virtual int StateParamBlockPosition() const { return 0; }

private:
  struct Urids
  {
    uint32_t stateKey = 0;
    uint32_t atomChunk = 0;
    uint32_t atomInt = 0;
    uint32_t atomLong = 0;
    uint32_t maxBlockLength = 0;
    uint32_t nominalBlockLength = 0;
  };

  struct ControlPort
  {
    const float* data = nullptr;
    int paramIdx = -1;
    float applied = 0.0f;
    bool seen = false; // false until a value has been applied
  };

  void ReadFeatures(const LV2_Feature* const* features);
  int HostBlockLength(const void* optionsFeature) const;
  void ConnectVariantChannels();
  void ApplyControlPorts();
  // a later change of a port is applied, its present value is taken as known
  void MarkControlPortsSeen();
  void AttachPiece(uint32_t offset, int nFrames);

  LV2Variant mVariant;
  std::vector<LV2Port> mPorts;
  Urids mUrids;
  int mHostBlockLength = 0;

  std::vector<float*> mAudioIn;  // per channel, as connected by the host
  std::vector<float*> mAudioOut;
  std::vector<float*> mInPiece;  // the same, advanced to the piece being run
  std::vector<float*> mOutPiece;
  std::vector<ControlPort> mControls;
  std::vector<int> mControlOfPort; // port index -> entry of mControls, or -1
  float* mLatencyPort = nullptr;
  const float* mEnabledPort = nullptr;
  bool mBypassed = false;
};

// provided by the plug-in: a new instance, or null when creation failed [host main thread]
IPlugLV2* MakePlugin(const InstanceInfo& info);

} // namespace iplug
