#pragma once
// The LV2 side of a plug-in instance: the entry points of LV2_Descriptor and of the state
// interface land here, on the instance the host's handle points to. Threads are LV2's own
// classes: [instantiation] never runs beside anything else on the instance, [audio thread]
// is the host's real-time thread, and state saving may run beside it.
#include <cstdint>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

namespace iplug {

class IPlugLV2Adapter
{
public:
  virtual ~IPlugLV2Adapter() = default;

  // [instantiation] the plug-in is complete: ports are laid out, processing reset
  virtual void LV2Instantiated() = 0;
  // [audio thread] a port index outside the plug-in's ports is ignored
  virtual void LV2ConnectPort(uint32_t port, void* data) = 0;
  // [instantiation]
  virtual void LV2Activate() = 0;
  // [audio thread]
  virtual void LV2Run(uint32_t nFrames) = 0;
  // [instantiation]
  virtual void LV2Deactivate() = 0;
  // [host thread, beside the audio thread]
  virtual LV2_State_Status LV2SaveState(LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t flags,
                                        const LV2_Feature* const* features) = 0;
  // [instantiation]
  virtual LV2_State_Status LV2RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                           uint32_t flags, const LV2_Feature* const* features) = 0;
};

// The module's plug-ins, one per channel configuration: null past the last. [host main thread]
const LV2_Descriptor* LV2DescriptorAt(uint32_t index);

} // namespace iplug
