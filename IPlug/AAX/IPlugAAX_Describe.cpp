#include "IPlugAAX_Describe.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>
#include <vector>

#include "AAX_StemFormat.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"
#include "IPlugAAX.h"
#include "IPlugAAX_Parameters.h"
#include "IPlugProcessor.h"

namespace iplug {

namespace {

constexpr const char* kSourcePath = "IPlug\\AAX\\IPlugAAX_Describe";
constexpr uint32_t kMidiChannelMask = 1;
constexpr int kMaxStemNameLength = 32;

using StemNames = std::array<std::array<char, kMaxStemNameLength + 1>, kMaxAuxOutputStems>;

// One line per name; the list ends at the first empty line.
void AddNames(AAX_VCollection& collection, AAX_VEffectDescriptor& effect, std::string_view names, AAX_Result& err)
{
  while (!names.empty())
  {
    const std::size_t end = names.find('\n');
    const std::string line(names.substr(0, end));
    if (line.empty())
      return;
    err |= effect.AddName(line.c_str());
    collection.AddPackageName(line.c_str());
    names.remove_prefix(end == std::string_view::npos ? names.size() : end + 1);
  }
}

// names: storage for the auxiliary stem names, alive until the component is described
void FillSetup(const AAX_SIPlugDescription& description, const IIOConfig& config, std::size_t configIdx,
               AAX_SIPlugSetup& setup, StemNames& names)
{
  setup.mInputStemFormat = AAX_StemFormatForChannels(config.NChansOnBus(eRouteInput, 0));
  setup.mOutputStemFormat = AAX_StemFormatForChannels(config.NChansOnBus(eRouteOutput, 0));

  setup.mNumAuxOutputStems = std::max(config.NBuses(eRouteOutput) - 1, 0);
  const int auxStems = std::min(setup.mNumAuxOutputStems, kMaxAuxOutputStems);
  for (int k = 0; k < auxStems; ++k)
  {
    const auto slot = static_cast<std::size_t>(k);
    setup.mAuxOutputStemFormats[slot] = AAX_StemFormatForChannels(config.NChansOnBus(eRouteOutput, k + 1));
    std::snprintf(names[slot].data(), names[slot].size(), "Output %i", k + 2);
    setup.mAuxOutputStemNames[slot] = names[slot].data();
  }

  setup.mManufacturerID = description.mManufacturerID;
  setup.mProductID = description.mProductID;
  setup.mPluginID = description.mNativeIDs[configIdx];
  setup.mAudiosuiteID = description.mAudioSuiteIDs[configIdx];

  setup.mCanBypass = true;
  setup.mWantsSideChain = config.NBuses(eRouteInput) > 1;
  setup.mNeedsInputMIDI = description.mDoesMidiIn;
  setup.mInputMIDINodeName = description.mMidiNodeName;
  setup.mInputMIDIChannelMask = kMidiChannelMask;
  setup.mNeedsOutputMIDI = description.mDoesMidiOut;
  setup.mOutputMIDINodeName = description.mMidiNodeName;
  setup.mOutputMIDIChannelMask = kMidiChannelMask;
  setup.mNeedsTransport = true;
  setup.mLatency = 0;
}

// A configuration with a second input bus is described with the side-chain input. A configuration without
// its own pair of IDs cannot be told apart by the host, so it is left out.
void DescribeComponents(AAX_VEffectDescriptor& effect, const AAX_SIPlugDescription& description, AAX_Result& err)
{
  std::vector<IIOConfig> configs;
  int maxInputs = 0, maxOutputs = 0, maxInBuses = 0, maxOutBuses = 0;
  IPlugProcessor::ParseChannelIO(description.mChannelIO ? description.mChannelIO : "", configs, maxInputs,
                                 maxOutputs, maxInBuses, maxOutBuses);
  const std::size_t numIDs = std::min(description.mNativeIDs.size(), description.mAudioSuiteIDs.size());
  AAX_Check(configs.size() <= numIDs, kSourcePath, "numConfigs <= numPluginIDs");

  for (std::size_t i = 0; i < std::min(configs.size(), numIDs); ++i)
  {
    AAX_SIPlugSetup setup;
    StemNames names{};
    FillSetup(description, configs[i], i, setup, names);
    err |= AAX_CIPlugParameters::DescribeComponent(effect, setup);
    AAX_Check(err == AAX_SUCCESS, kSourcePath, "err == AAX_SUCCESS");
  }
}

} // namespace

IACFUnknown* CreateEffectInstance()
{
  try
  {
    IPlugAAX* plug = MakePlugin(InstanceInfo{});
    return plug ? static_cast<AAX_IEffectParameters*>(plug) : nullptr;
  }
  catch (...)
  {
    return nullptr;
  }
}

IACFUnknown* CreateEditorInstance()
{
  try
  {
    return static_cast<AAX_IEffectGUI*>(new AAX_CEffectGUI_IPLUG());
  }
  catch (...)
  {
    return nullptr;
  }
}

AAX_Result DescribeEffect(AAX_VCollection& collection, const AAX_SIPlugDescription& description)
{
  AAX_VEffectDescriptor* effect = collection.NewDescriptor();
  if (!effect)
    return AAX_ERROR_NULL_OBJECT;
  AAX_Result err = AAX_SUCCESS;

  AddNames(collection, *effect, description.mEffectNames ? description.mEffectNames : "", err);
  err |= effect->AddCategory(description.mCategory);

  DescribeComponents(*effect, description, err);

  err |= effect->AddProcPtr(&CreateEffectInstance, AAX_eProcPtrID_CreateEffectParameters);
  err |= effect->AddProcPtr(&CreateEditorInstance, AAX_eProcPtrID_CreateEffectGUI);

  if (err != AAX_SUCCESS)
    AAX_ReportAssertion(kSourcePath, "err == AAX_SUCCESS");
  else if (collection.AddEffect(description.mEffectID, effect) != AAX_SUCCESS)
    AAX_ReportAssertion(kSourcePath, "err == AAX_SUCCESS");

  collection.SetManufacturerName(description.mManufacturerName);
  collection.SetPackageVersion(description.mPackageVersion);
  return err;
}

AAX_Result DescribeEffect(AAX_VCollection& collection)
{
  return DescribeEffect(collection, GetAAXDescription());
}

} // namespace iplug
