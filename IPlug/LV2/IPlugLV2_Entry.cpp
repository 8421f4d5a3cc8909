// The module's LV2 descriptors and the C entry points behind them.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "IPlugLV2.h"

namespace iplug {

namespace {

IPlugLV2Adapter* Adapter(LV2_Handle handle) { return static_cast<IPlugLV2Adapter*>(handle); }

// Built once from an instance made only to describe the plug-in, so the URIs are the
// ones the Turtle generator wrote from the same code.
class DescriptorTable
{
public:
  DescriptorTable()
  {
    const std::unique_ptr<IPlugLV2> plug(MakePlugin(InstanceInfo{}));
    if (!plug)
      return;
    mVariants = LV2Variants(*plug, *plug);
    for (const LV2Variant& v : mVariants)
      mDescriptors.push_back({v.uri.c_str(), Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup, ExtensionData});
  }

  const LV2_Descriptor* At(uint32_t index) const { return index < mDescriptors.size() ? &mDescriptors[index] : nullptr; }

  const LV2Variant* VariantOf(const LV2_Descriptor* descriptor) const
  {
    for (size_t i = 0; i < mDescriptors.size(); ++i)
      if (descriptor == &mDescriptors[i])
        return &mVariants[i];
    return nullptr;
  }

private:
  static LV2_Handle Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* /*bundlePath*/,
                                const LV2_Feature* const* features);
  static void ConnectPort(LV2_Handle h, uint32_t port, void* data) { Adapter(h)->LV2ConnectPort(port, data); }
  static void Activate(LV2_Handle h) { Adapter(h)->LV2Activate(); }
  static void Run(LV2_Handle h, uint32_t nFrames) { Adapter(h)->LV2Run(nFrames); }
  static void Deactivate(LV2_Handle h) { Adapter(h)->LV2Deactivate(); }
  static void Cleanup(LV2_Handle h) { delete Adapter(h); }
  static const void* ExtensionData(const char* uri);

  static LV2_State_Status Save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t flags,
                               const LV2_Feature* const* features)
  {
    return Adapter(h)->LV2SaveState(store, handle, flags, features);
  }
  static LV2_State_Status Restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                  uint32_t flags, const LV2_Feature* const* features)
  {
    return Adapter(h)->LV2RestoreState(retrieve, handle, flags, features);
  }

  static constexpr LV2_State_Interface kStateInterface = {Save, Restore};

  std::vector<LV2Variant> mVariants;
  std::vector<LV2_Descriptor> mDescriptors;
};

const DescriptorTable& Table()
{
  static const DescriptorTable table;
  return table;
}

LV2_Handle DescriptorTable::Instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char* /*bundlePath*/,
                                        const LV2_Feature* const* features)
{
  const LV2Variant* variant = Table().VariantOf(descriptor);
  if (!variant)
    return nullptr;
  InstanceInfo info;
  info.ioConfigIdx = variant->ioConfigIdx;
  info.sampleRate = sampleRate;
  info.features = features;
  IPlugLV2* plug = MakePlugin(info);
  if (!plug)
    return nullptr;
  plug->LV2Instantiated();
  return static_cast<IPlugLV2Adapter*>(plug);
}

const void* DescriptorTable::ExtensionData(const char* uri)
{
  return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &kStateInterface : nullptr;
}

} // namespace

const LV2_Descriptor* LV2DescriptorAt(uint32_t index) { return Table().At(index); }

} // namespace iplug
