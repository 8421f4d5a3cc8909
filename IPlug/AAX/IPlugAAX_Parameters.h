#pragma once
// The adapter between the AAX effect base and the plug-in wrapper: the private data through which the static
// render callback finds its instance, the block hook that callback calls, and synchronized parameters, whose
// changes reach the audio thread in numbered batches instead of through their stored values. Memory of a batch
// is freed only on the host's timer thread, never on the audio thread.
#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "AAX_CAtomicQueue.h"
#include "AAX_CEffectParameters.h"
#include "AAX_Delegates.h"
#include "AAX_StemFormat.h"
#include "IPlugParameter.h"

class AAX_VEffectDescriptor;

namespace iplug {

// Maps through the IParam's own curve and limits, so the host sees the plug-in's normalisation.
// The parameter must outlive every delegate made from it.
template <typename T>
class AAX_CIPlugTaperDelegate final : public AAX_ITaperDelegate<T>
{
public:
  explicit AAX_CIPlugTaperDelegate(const IParam& param) : mParam(&param) {}

  std::unique_ptr<AAX_ITaperDelegate<T>> Clone() const override
  {
    return std::make_unique<AAX_CIPlugTaperDelegate>(*this);
  }
  T GetMaximumValue() const override { return static_cast<T>(mParam->GetMax()); }
  T GetMinimumValue() const override { return static_cast<T>(mParam->GetMin()); }
  T ConstrainRealValue(T value) const override { return static_cast<T>(mParam->Limit(value)); }
  T NormalizedToReal(double normalized) const override { return static_cast<T>(mParam->NormalizedToReal(normalized)); }
  double RealToNormalized(T real) const override { return mParam->RealToNormalized(static_cast<double>(real)); }

private:
  const IParam* mParam;
};

// Shows what the inner delegate shows, but also reads the IParam's own display texts: a switch the host sees as
// 0 or 1 still takes the text the plug-in shows for it ("Oversampling On"). The parameter must outlive every
// delegate made from it.
template <typename T>
class AAX_CIPlugDisplayTextDecorator final : public AAX_IDisplayDelegateDecorator<T>
{
public:
  AAX_CIPlugDisplayTextDecorator(const AAX_IDisplayDelegate<T>& inner, const IParam& param)
    : AAX_IDisplayDelegateDecorator<T>(inner), mParam(&param)
  {
  }

  std::unique_ptr<AAX_IDisplayDelegate<T>> Clone() const override
  {
    return std::make_unique<AAX_CIPlugDisplayTextDecorator>(*this);
  }
  bool StringToValue(const AAX_CString& text, T* value) const override
  {
    double real = 0.0;
    if (!mParam->ValueForDisplayText(text.Get(), real))
      return AAX_IDisplayDelegateDecorator<T>::StringToValue(text, value);
    *value = static_cast<T>(real);
    return true;
  }

private:
  const IParam* mParam;
};

// What DescribeComponent declares for one component; the defaults describe a mono effect without MIDI.
struct AAX_SIPlugSetup
{
  AAX_SIPlugSetup() { mAuxOutputStemFormats.fill(AAX_eStemFormat_Mono); }

  bool mNeedsGlobalMIDI = false;
  const char* mGlobalMIDINodeName = "GlobalMIDI";
  uint32_t mGlobalMIDIEventMask = 0xFFFF;
  bool mNeedsInputMIDI = false;
  const char* mInputMIDINodeName = "InputMIDI";
  uint32_t mInputMIDIChannelMask = 0xFFFF;
  int32_t mNumAdditionalInputMIDINodes = 0; // at most kMaxAdditionalMIDINodes
  bool mNeedsOutputMIDI = false;
  const char* mOutputMIDINodeName = "OutputMIDI";
  uint32_t mOutputMIDIChannelMask = 0xFFFF;
  bool mNeedsTransport = false;
  const char* mTransportMIDINodeName = "Transport";
  int32_t mNumMeters = 0;
  const AAX_CTypeID* mMeterIDs = nullptr;
  int32_t mNumAuxOutputStems = 0; // at most kMaxAuxOutputStems
  std::array<const char*, kMaxAuxOutputStems> mAuxOutputStemNames{};
  std::array<AAX_EStemFormat, kMaxAuxOutputStems> mAuxOutputStemFormats;
  AAX_EStemFormat mHybridInputStemFormat = AAX_eStemFormat_None;
  AAX_EStemFormat mHybridOutputStemFormat = AAX_eStemFormat_None;
  AAX_EStemFormat mInputStemFormat = AAX_eStemFormat_Mono;
  AAX_EStemFormat mOutputStemFormat = AAX_eStemFormat_Mono;
  bool mUseHostGeneratedGUI = false;
  bool mCanBypass = true;
  bool mWantsSideChain = false;
  AAX_CTypeID mManufacturerID = AAX_FourCC("none");
  AAX_CTypeID mProductID = AAX_FourCC("none");
  AAX_CTypeID mPluginID = AAX_FourCC("none");
  AAX_CTypeID mAudiosuiteID = AAX_FourCC("none");
  bool mMultiMonoSupport = true;
  int32_t mLatency = 0;
};

// One synchronized change: the parameter's identifier (its own text) and a copy of its value.
struct ParamValuePair
{
  AAX_CParamID mID = nullptr;
  std::unique_ptr<AAX_IParameterValue> mValue;
};

// The changes of one publication, due once the host delivers its state number to a render call.
struct NumberedParamChanges
{
  int64_t mStateNumber = 0;
  std::vector<ParamValuePair*> mPairs; // owned
};

class AAX_CIPlugParameters : public AAX_CEffectParameters
{
public:
  static constexpr int kSynchronizedParameterQueueSize = 32;
  static constexpr uint32_t kNumPendingLists = 256;
  static constexpr uint32_t kNumSpentPairs = 512;
  static constexpr int kMaxPairsPerRender = 128;

  AAX_CIPlugParameters();
  // frees every batch still queued: nothing renders any more
  ~AAX_CIPlugParameters() override;

  // [host main thread, before the host starts updates] the parameter's changes then travel in batches
  void RegisterSynchronizedParameter(const AAX_IParameter& parameter);

  // [host parameter thread] the base update; a synchronized parameter is also marked for the next batch
  AAX_Result OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  // [host parameter thread] numbers the marked changes as one batch and posts the number to the render side
  AAX_Result PublishParamChanges() override;
  // the private-data field gets this object's address
  AAX_Result ResetContextField(AAX_CFieldIndex field, void* data, uint32_t size) override;
  // [non-real-time thread] frees what the render side handed back
  AAX_Result OnHostTimer() override;

  // [audio thread] one block; pairs are the synchronized changes due in it
  virtual void RenderBlock(AAX_SIPlugRenderContext* context, ParamValuePair* const* pairs, int32_t count);

  // [audio thread] the native process procedure: contexts as [first, last), each rendered by its instance
  static void StaticRenderCallback(void* const* first, void* const* last);
  // [host main thread, description path] one component; a failing host call raises AAX::Exception::ResultError
  static AAX_Result DescribeComponent(AAX_VEffectDescriptor& effect, const AAX_SIPlugSetup& setup);

private:
  // [audio thread] applies the batches due at the context's state number, then the block
  void RenderWithDueChanges(AAX_SIPlugRenderContext* context);
  void HandBackPair(ParamValuePair* pair);

  std::set<std::string, std::less<>> mSynchronizedParameters;
  int64_t mStateCounter = 0;
  std::set<AAX_IParameter*> mDirtyParameters;
  AAX_CAtomicQueue<NumberedParamChanges, kNumPendingLists> mPendingLists;
  AAX_CAtomicQueue<NumberedParamChanges, kNumPendingLists> mSpentLists;
  AAX_CAtomicQueue<ParamValuePair, kNumSpentPairs> mSpentPairs;
};

} // namespace iplug
