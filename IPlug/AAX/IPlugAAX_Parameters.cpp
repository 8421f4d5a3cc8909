#include "IPlugAAX_Parameters.h"

#include <algorithm>
#include <cstring>

#include "AAX_Exception.h"
#include "AAX_IParameter.h"
#include "AAX_Records.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"

namespace iplug {

namespace {

constexpr const char* kSourcePath = "IPlug\\AAX\\IPlugAAX_Parameters";
constexpr int32_t kPlaceholderSize = 4; // a field this component does not use still takes its index
constexpr uint32_t kStateNumberSize = sizeof(int64_t);
// a state number below -kStateWrapMargin next to a batch above it means the counter wrapped past the end
constexpr int64_t kStateWrapMargin = 65535;

using Field = AAX_SIPlugRenderContext::EField;

// every host call of the description goes through here: a failure is traced and raised
void Checked(AAX_Result result)
{
  const AAX_CheckedResult checked(result);
  (void)checked;
}

bool IsDue(int64_t batch, int64_t current)
{
  const bool wrapped = current < -kStateWrapMargin && batch > kStateWrapMargin;
  return batch <= current || wrapped;
}

// The changes of one render call, in a fixed array so the audio thread never allocates.
struct DueChanges
{
  std::array<ParamValuePair*, AAX_CIPlugParameters::kMaxPairsPerRender> mPairs{};
  int32_t mSize = 0;

  // false when the pair did not fit
  bool Add(ParamValuePair* pair)
  {
    if (!AAX_Check(mSize < static_cast<int32_t>(mPairs.size()), kSourcePath, "sCap > mSize"))
      return false;
    mPairs[static_cast<std::size_t>(mSize++)] = pair;
    return true;
  }
};

void FreeList(NumberedParamChanges* list)
{
  for (ParamValuePair* pair : list->mPairs)
    delete pair;
  delete list;
}

template <typename Queue>
void FreeQueuedLists(Queue& queue)
{
  while (NumberedParamChanges* list = queue.Pop())
    FreeList(list);
}

template <typename Queue>
void FreeQueuedPairs(Queue& queue)
{
  while (ParamValuePair* pair = queue.Pop())
    delete pair;
}

void DeclareMIDINode(AAX_VComponentDescriptor& component, AAX_CFieldIndex field, bool needed, AAX_EMIDINodeKind kind,
                     const char* name, uint32_t mask)
{
  if (needed)
    Checked(component.AddMIDINode(field, kind, name, mask));
  else
    Checked(component.AddPrivateData(field, kPlaceholderSize, 0));
}

void DeclareMIDIFields(AAX_VComponentDescriptor& component, const AAX_SIPlugSetup& setup)
{
  DeclareMIDINode(component, Field::eFieldGlobalNode, setup.mNeedsGlobalMIDI, AAX_eMIDINodeKind_Global,
                  setup.mGlobalMIDINodeName, setup.mGlobalMIDIEventMask);
  DeclareMIDINode(component, Field::eFieldInputNode, setup.mNeedsInputMIDI, AAX_eMIDINodeKind_Input,
                  setup.mInputMIDINodeName, setup.mInputMIDIChannelMask);
  DeclareMIDINode(component, Field::eFieldOutputNode, setup.mNeedsOutputMIDI, AAX_eMIDINodeKind_Output,
                  setup.mOutputMIDINodeName, setup.mOutputMIDIChannelMask);
  DeclareMIDINode(component, Field::eFieldTransportNode, setup.mNeedsTransport, AAX_eMIDINodeKind_Transport,
                  "Transport", 0xFFFF);
  AAX_Check(setup.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes, kSourcePath,
            "setupInfo.mNumAdditionalInputMIDINodes <= kMaxAdditionalMIDINodes");
  for (int32_t j = 0; j < kMaxAdditionalMIDINodes; ++j)
    DeclareMIDINode(component, Field::eFieldAdditionalInputNodes + j, j < setup.mNumAdditionalInputMIDINodes,
                    AAX_eMIDINodeKind_Input, setup.mInputMIDINodeName, setup.mInputMIDIChannelMask);
}

void DeclareAudioFields(AAX_VComponentDescriptor& component, const AAX_SIPlugSetup& setup)
{
  Checked(component.AddAudioIn(Field::eFieldAudioInputs));
  Checked(component.AddAudioOut(Field::eFieldAudioOutputs));
  Checked(component.AddAudioBufferLength(Field::eFieldBufferLength));
  Checked(component.AddClock(Field::eFieldClock));
  if (setup.mNumMeters >= 1)
    Checked(component.AddMeters(Field::eFieldMeters, setup.mMeterIDs, static_cast<uint32_t>(setup.mNumMeters)));
  else
    Checked(component.AddPrivateData(Field::eFieldMeters, kPlaceholderSize, 0));
  if (setup.mWantsSideChain)
    Checked(component.AddSideChainIn(Field::eFieldSideChainInput));
  AAX_Check(setup.mNumAuxOutputStems <= kMaxAuxOutputStems, kSourcePath,
            "setupInfo.mNumAuxOutputStems <= kMaxAuxOutputStems");
  // the setup has room for kMaxAuxOutputStems: a larger count must not read past it
  const int32_t auxStems = std::clamp(setup.mNumAuxOutputStems, 0, kMaxAuxOutputStems);
  for (std::size_t k = 0; k < static_cast<std::size_t>(auxStems); ++k)
    Checked(component.AddAuxOutputStem(0, static_cast<int32_t>(setup.mAuxOutputStemFormats[k]),
                                       setup.mAuxOutputStemNames[k]));
}

void DeclareInstanceFields(AAX_VComponentDescriptor& component)
{
  Checked(component.AddPrivateData(Field::eFieldPrivateData, static_cast<int32_t>(sizeof(AAX_SIPlugPrivateData)), 0));
  Checked(component.AddDataInPort(Field::eFieldStateNumber, kStateNumberSize, AAX_eDataInPortKind_Buffered));
}

void AddProperties(AAX_VPropertyMap& properties, const AAX_SIPlugSetup& setup)
{
  const auto add = [&properties](AAX_EProperty id, int64_t value) {
    Checked(properties.AddProperty(id, static_cast<AAX_CPropertyValue>(value)));
  };
  if (setup.mUseHostGeneratedGUI)
    add(AAX_eProperty_HostGeneratedEditor, 1);
  const bool hybridIn = setup.mHybridInputStemFormat != AAX_eStemFormat_None;
  const bool hybridOut = setup.mHybridOutputStemFormat != AAX_eStemFormat_None;
  AAX_Check(hybridIn == hybridOut, kSourcePath,
            "(AAX_eStemFormat_None != setupInfo.mHybridInputStemFormat) == "
            "(AAX_eStemFormat_None != setupInfo.mHybridOutputStemFormat)");
  if (hybridIn && hybridOut)
  {
    add(AAX_eProperty_HybridInputStemFormat, setup.mHybridInputStemFormat);
    add(AAX_eProperty_HybridOutputStemFormat, setup.mHybridOutputStemFormat);
  }
  if (setup.mWantsSideChain)
    add(AAX_eProperty_SideChainInput, 1);
  add(AAX_eProperty_LatencySamples, setup.mLatency);
  add(AAX_eProperty_InputStemFormat, setup.mInputStemFormat);
  add(AAX_eProperty_OutputStemFormat, setup.mOutputStemFormat);
  add(AAX_eProperty_CanBypass, setup.mCanBypass ? 1 : 0);
  add(AAX_eProperty_Constraint300, 1);
  if (setup.mNeedsTransport)
    add(AAX_eProperty_UsesTransport, 1);
  add(AAX_eProperty_ManufacturerID, setup.mManufacturerID);
  add(AAX_eProperty_ProductID, setup.mProductID);
  add(AAX_eProperty_NativePlugInID, setup.mPluginID);
  if (setup.mAudiosuiteID != AAX_FourCC("none"))
    add(AAX_eProperty_AudioSuitePlugInID, setup.mAudiosuiteID);
  if (!setup.mMultiMonoSupport)
    add(AAX_eProperty_MultiMonoSupport, 0);
}

} // namespace

AAX_CIPlugParameters::AAX_CIPlugParameters() = default;

AAX_CIPlugParameters::~AAX_CIPlugParameters()
{
  FreeQueuedLists(mPendingLists);
  FreeQueuedLists(mSpentLists);
  FreeQueuedPairs(mSpentPairs);
}

void AAX_CIPlugParameters::RegisterSynchronizedParameter(const AAX_IParameter& parameter)
{
  AAX_Check(parameter.Automatable(), kSourcePath, "inParameter.Automatable()");
  mSynchronizedParameters.emplace(parameter.Identifier());
  AAX_Check(static_cast<std::size_t>(kSynchronizedParameterQueueSize) >= mSynchronizedParameters.size(), kSourcePath,
            "kSynchronizedParameterQueueSize >= mSynchronizedParameters.size()");
}

AAX_Result AAX_CIPlugParameters::OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource source)
{
  const AAX_Result result = AAX_CEffectParameters::OnHostParamUpdate(id, value, source);
  if (result != AAX_SUCCESS)
    return result;
  if (mSynchronizedParameters.contains(std::string_view(id)))
    mDirtyParameters.insert(mParameterManager.GetParameterByID(id));
  return AAX_SUCCESS;
}

AAX_Result AAX_CIPlugParameters::PublishParamChanges()
{
  const AAX_Result dispatched = AAX_CEffectParameters::PublishParamChanges();
  if (dispatched != AAX_SUCCESS)
    return dispatched;

  const int64_t number = mStateCounter;
  // the counter wraps as a signed number; unsigned arithmetic makes that defined
  mStateCounter = static_cast<int64_t>(static_cast<uint64_t>(mStateCounter) + 1);

  if (!mDirtyParameters.empty())
  {
    auto list = std::make_unique<NumberedParamChanges>();
    list->mStateNumber = number;
    list->mPairs.reserve(mDirtyParameters.size());
    for (AAX_IParameter* parameter : mDirtyParameters)
      list->mPairs.push_back(new ParamValuePair{parameter->Identifier(), parameter->CloneValue()});
    mDirtyParameters.clear();
    NumberedParamChanges* pushed = list.release();
    const auto pushResult = mPendingLists.Push(pushed);
    if (!AAX_Check(AAX_IContainer::eStatus_Success == pushResult, kSourcePath,
                   "AAX_IContainer::eStatus_Success == pushResult"))
      FreeList(pushed); // this thread may free; the batch is lost either way
  }

  AAX_VController* controller = Controller();
  if (!controller)
    return AAX_ERROR_NOT_INITIALIZED;
  return controller->PostPacket(Field::eFieldStateNumber, &number, kStateNumberSize);
}

AAX_Result AAX_CIPlugParameters::ResetContextField(AAX_CFieldIndex field, void* data, uint32_t size)
{
  if (field != Field::eFieldPrivateData)
    return AAX_CEffectParameters::ResetContextField(field, data, size);
  AAX_Check(size == sizeof(AAX_SIPlugPrivateData), kSourcePath, "iDataSize == sizeof(AAX_SIPlugPrivateData)");
  if (!data)
    return AAX_ERROR_NULL_OBJECT;
  std::memset(data, 0, size);
  // a smaller block cannot take the address: the callback then skips this instance
  if (size >= sizeof(AAX_SIPlugPrivateData))
    static_cast<AAX_SIPlugPrivateData*>(data)->mInstance = this;
  return AAX_SUCCESS;
}

AAX_Result AAX_CIPlugParameters::OnHostTimer()
{
  FreeQueuedLists(mSpentLists);
  FreeQueuedPairs(mSpentPairs);
  return AAX_CEffectParameters::OnHostTimer();
}

void AAX_CIPlugParameters::RenderBlock(AAX_SIPlugRenderContext* /*context*/, ParamValuePair* const* /*pairs*/,
                                       int32_t /*count*/)
{
}

void AAX_CIPlugParameters::HandBackPair(ParamValuePair* pair)
{
  const auto pushResult = mSpentPairs.Push(pair);
  AAX_Check(AAX_IContainer::eStatus_Success == pushResult, kSourcePath,
            "AAX_IContainer::eStatus_Success == pushResult");
}

void AAX_CIPlugParameters::RenderWithDueChanges(AAX_SIPlugRenderContext* context)
{
  DueChanges due;
  // without a state number nothing can be due yet
  if (const int64_t* stateNumber = context->mCurrentStateNumber)
  {
    const int64_t current = *stateNumber;
    for (NumberedParamChanges* peeked = mPendingLists.Peek(); peeked && IsDue(peeked->mStateNumber, current);
         peeked = mPendingLists.Peek())
    {
      NumberedParamChanges* list = mPendingLists.Pop();
      AAX_Check(list == peeked, kSourcePath, "poppedPair == numberedStateList");
      if (!list)
        break;
      AAX_Check(kMaxPairsPerRender >= due.mSize + static_cast<int64_t>(list->mPairs.size()), kSourcePath,
                "sCap >= mSize + (int64_t)inOther.size()");
      for (ParamValuePair* pair : list->mPairs)
        if (!due.Add(pair))
          HandBackPair(pair); // not delivered, but freed with the rest
      list->mPairs.clear();
      const auto pushResult = mSpentLists.Push(list);
      AAX_Check(AAX_IContainer::eStatus_Success == pushResult, kSourcePath,
                "AAX_IContainer::eStatus_Success == pushResult");
    }
  }

  RenderBlock(context, due.mPairs.data(), due.mSize);

  for (int32_t i = 0; i < due.mSize; ++i)
    HandBackPair(due.mPairs[static_cast<std::size_t>(i)]);
}

void AAX_CIPlugParameters::StaticRenderCallback(void* const* first, void* const* last)
{
  if (!first || !last)
    return;
  for (void* const* it = first; it < last; ++it)
  {
    auto* context = static_cast<AAX_SIPlugRenderContext*>(*it);
    if (!context || !context->mPrivateData || !context->mPrivateData->mInstance)
      continue;
    // the field holds what ResetContextField stored: an object of this class
    static_cast<AAX_CIPlugParameters*>(context->mPrivateData->mInstance)->RenderWithDueChanges(context);
  }
}

AAX_Result AAX_CIPlugParameters::DescribeComponent(AAX_VEffectDescriptor& effect, const AAX_SIPlugSetup& setup)
{
  AAX_VComponentDescriptor* component = effect.NewComponentDescriptor();
  if (!component)
    Checked(AAX_ERROR_NULL_OBJECT);

  DeclareMIDIFields(*component, setup);
  DeclareAudioFields(*component, setup);
  DeclareInstanceFields(*component);

  AAX_VPropertyMap* properties = component->NewPropertyMap();
  if (!properties)
    Checked(AAX_ERROR_NULL_OBJECT);
  AddProperties(*properties, setup);

  Checked(component->AddProcessProc(&StaticRenderCallback, properties));
  Checked(effect.AddComponent(component));
  return AAX_SUCCESS;
}

} // namespace iplug
