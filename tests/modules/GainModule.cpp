// GAIN: a stereo gain written directly on the AAX library layer, the host's test module. One parameter (gain
// in dB) plus a master bypass; the gain reaches the render procedure only as a coefficient packet in a
// data-in port, the bypass as the parameter's stored value, and the output peak goes to a meter.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <exception>
#include <memory>

#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CParameter.h"
#include "AAX_Exception.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"
#include "ACFModule.h"

namespace {

constexpr const char* kEffectID = "com.Brasswick.aax.GAIN";
constexpr const char* kEffectNames[] = {"Test Gain", "Gain"};
constexpr const char* kManufacturer = "Brasswick Test";
constexpr uint32_t kCategory = 0x00000010;
constexpr uint32_t kPackageVersion = 0x00010203;
constexpr AAX_CTypeID kManufacturerID = AAX_FourCC("BwTs");
constexpr AAX_CTypeID kProductID = AAX_FourCC("GAIN");
constexpr AAX_CTypeID kNativeID = AAX_FourCC("GNn2");
constexpr AAX_CTypeID kChunkID = AAX_FourCC("GNst");
constexpr AAX_CTypeID kPeakMeterID = AAX_FourCC("Peak");

constexpr const char* kGainID = "Gain";
constexpr double kMinGainDb = -60.0;
constexpr double kMaxGainDb = 12.0;
constexpr double kDefaultGainDb = 0.0;
constexpr int kChannels = 2;
constexpr float kViewWidth = 320.0f;
constexpr float kViewHeight = 200.0f;

class GainEffect;

struct GainPrivateData
{
  GainEffect* mEffect;
};

// The fields this module uses, at the render-context indices the host fills.
enum EGainField : AAX_CFieldIndex
{
  eFieldInputs = 0,
  eFieldOutputs = 1,
  eFieldLength = 2,
  eFieldPrivate = 23,
  eFieldMeters = 24,
  eFieldCoefficient = 25
};

struct GainContext
{
  float* const* mInputs;
  float* const* mOutputs;
  const int32_t* mLength;
  void* mUnused[eFieldPrivate - eFieldLength - 1];
  GainPrivateData* mPrivate;
  float* mMeters;
  const double* mCoefficient; // linear gain, from the coefficient packet
};
static_assert(offsetof(GainContext, mPrivate) == eFieldPrivate * sizeof(void*));
static_assert(offsetof(GainContext, mCoefficient) == eFieldCoefficient * sizeof(void*));

double LinearGain(double db)
{
  return std::pow(10.0, db / 20.0);
}

class GainEffect final : public AAX_CEffectParameters
{
public:
  static IACFUnknown* Create() { return static_cast<AAX_IEffectParameters*>(new GainEffect); }

  AAX_Result ResetContextField(AAX_CFieldIndex field, void* data, uint32_t size) override
  {
    const AAX_Result result = AAX_CEffectParameters::ResetContextField(field, data, size);
    if (field == eFieldPrivate && size == sizeof(GainPrivateData))
      static_cast<GainPrivateData*>(data)->mEffect = this;
    if (field == eFieldCoefficient && size == sizeof(double))
    {
      const double unity = LinearGain(kDefaultGainDb);
      std::memcpy(data, &unity, sizeof(unity));
    }
    return result;
  }

  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) override
  {
    if (!chunkID)
      return AAX_ERROR_NULL_OBJECT;
    *chunkID = index == 0 ? kChunkID : 0;
    return index == 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_INDEX;
  }

  AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) override
  {
    if (!size)
      return AAX_ERROR_NULL_OBJECT;
    *size = chunkID == kChunkID ? sizeof(double) : 0;
    return chunkID == kChunkID ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_ID;
  }

  AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* chunk) override
  {
    if (chunkID != kChunkID || !chunk)
      return AAX_ERROR_INVALID_CHUNK_ID;
    const double db = mGain->GetValue();
    chunk->mSize = sizeof(db);
    std::memcpy(chunk->Data(), &db, sizeof(db));
    return AAX_SUCCESS;
  }

  AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* chunk) override
  {
    if (chunkID != kChunkID || !chunk || chunk->mSize != sizeof(double))
      return AAX_ERROR_INVALID_CHUNK_ID;
    double db = 0.0;
    std::memcpy(&db, chunk->Data(), sizeof(db));
    if (!std::isfinite(db))
      return AAX_ERROR_INVALID_CHUNK_ID;
    mGain->SetValueWithDouble(db); // the host answers with the update
    mNumPlugInChanges.fetch_add(1, std::memory_order_relaxed);
    return AAX_SUCCESS;
  }

  AAX_Result CompareActiveChunk(const AAX_SHostChunk* chunk, AAX_CBoolean* isEqual) override
  {
    if (!chunk || !isEqual)
      return AAX_ERROR_NULL_OBJECT;
    double db = 0.0;
    if (chunk->mChunkID == kChunkID && chunk->mSize == sizeof(double))
      std::memcpy(&db, chunk->Data(), sizeof(db));
    *isEqual = chunk->mChunkID != kChunkID || (chunk->mSize == sizeof(double) && db == mGain->GetValue());
    return AAX_SUCCESS;
  }

  // [audio thread]
  static void Render(void* const* first, void* const* last)
  {
    for (void* const* context = first; context != last; ++context)
    {
      const auto* c = static_cast<const GainContext*>(*context);
      if (c && c->mPrivate && c->mPrivate->mEffect)
        c->mPrivate->mEffect->RenderBlock(*c);
    }
  }

protected:
  AAX_Result InitEffect() override
  {
    auto bypass = std::make_unique<AAX_CParameter<bool>>(kAAXMasterBypassID, AAX_CString("Master Bypass"), false,
                                                          AAX_CBinaryTaperDelegate<bool>(),
                                                          AAX_CBinaryDisplayDelegate<bool>("off", "on"), true);
    bypass->SetNumberOfSteps(2);
    bypass->SetType(AAX_eParameterType_Discrete);
    mBypass = bypass.get();
    mParameterManager.AddParameter(std::move(bypass));

    auto gain = std::make_unique<AAX_CParameter<double>>(
      kGainID, AAX_CString("Gain"), kDefaultGainDb, AAX_CLinearTaperDelegate<double, 0>(kMinGainDb, kMaxGainDb),
      AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 1, 1>(), "dB"), true);
    mGain = gain.get();
    mParameterManager.AddParameter(std::move(gain));

    mPacketDispatcher.RegisterPacket(kGainID, eFieldCoefficient, [this](std::vector<uint8_t>& data) {
      const double coefficient = LinearGain(mGain->GetValue());
      data.resize(sizeof(coefficient));
      std::memcpy(data.data(), &coefficient, sizeof(coefficient));
      return AAX_Result{AAX_SUCCESS};
    });
    return AAX_SUCCESS;
  }

private:
  void RenderBlock(const GainContext& c) const
  {
    const int32_t n = *c.mLength;
    const double coefficient = mBypass->GetValue() ? 1.0 : *c.mCoefficient;
    float peak = 0.0f;
    for (int ch = 0; ch < kChannels; ++ch)
      for (int32_t i = 0; i < n; ++i)
      {
        const float out = static_cast<float>(c.mInputs[ch][i] * coefficient);
        c.mOutputs[ch][i] = out;
        peak = std::max(peak, std::fabs(out));
      }
    c.mMeters[0] = peak;
  }

  AAX_CParameter<bool>* mBypass = nullptr; // owned by the manager
  AAX_CParameter<double>* mGain = nullptr;
};

class GainEditor final : public AAX_CEffectGUI
{
public:
  static IACFUnknown* Create() { return static_cast<AAX_IEffectGUI*>(new GainEditor); }

  AAX_Result GetViewSize(AAX_Point* size) const override
  {
    if (!size)
      return AAX_ERROR_NULL_OBJECT;
    size->mVert = kViewHeight;
    size->mHorz = kViewWidth;
    return AAX_SUCCESS;
  }
};

void DescribeComponent(AAX_VEffectDescriptor& effect)
{
  AAX_VComponentDescriptor* component = effect.NewComponentDescriptor();
  if (!component)
    throw AAX::Exception::ResultError(AAX_ERROR_NULL_OBJECT);
  AAX_CheckedResult checked;
  checked = component->AddAudioIn(eFieldInputs);
  checked = component->AddAudioOut(eFieldOutputs);
  checked = component->AddAudioBufferLength(eFieldLength);
  checked = component->AddPrivateData(eFieldPrivate, sizeof(GainPrivateData), 0);
  checked = component->AddMeters(eFieldMeters, &kPeakMeterID, 1);
  checked = component->AddDataInPort(eFieldCoefficient, sizeof(double), AAX_eDataInPortKind_Unbuffered);

  AAX_VPropertyMap* properties = component->NewPropertyMap();
  if (!properties)
    throw AAX::Exception::ResultError(AAX_ERROR_NULL_OBJECT);
  checked = properties->AddProperty(AAX_eProperty_ManufacturerID, static_cast<AAX_CPropertyValue>(kManufacturerID));
  checked = properties->AddProperty(AAX_eProperty_ProductID, static_cast<AAX_CPropertyValue>(kProductID));
  checked = properties->AddProperty(AAX_eProperty_NativePlugInID, static_cast<AAX_CPropertyValue>(kNativeID));
  checked = properties->AddProperty(AAX_eProperty_InputStemFormat, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Stereo));
  checked = properties->AddProperty(AAX_eProperty_OutputStemFormat, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Stereo));
  checked = properties->AddProperty(AAX_eProperty_CanBypass, 1);
  checked = component->AddProcessProc(&GainEffect::Render, properties);
  checked = effect.AddComponent(component);
}

AAX_Result DescribeEffect(AAX_VCollection& collection)
{
  AAX_VEffectDescriptor* effect = collection.NewDescriptor();
  if (!effect)
    return AAX_ERROR_NULL_OBJECT;
  AAX_CheckedResult checked;
  for (const char* name : kEffectNames)
    checked = effect->AddName(name);
  checked = effect->AddCategory(kCategory);
  DescribeComponent(*effect);
  checked = effect->AddProcPtr(&GainEffect::Create, AAX_eProcPtrID_CreateEffectParameters);
  checked = effect->AddProcPtr(&GainEditor::Create, AAX_eProcPtrID_CreateEffectGUI);
  checked = collection.AddEffect(kEffectID, effect);
  checked = collection.AddPackageName(kEffectNames[0]);
  checked = collection.SetManufacturerName(kManufacturer);
  checked = collection.SetPackageVersion(kPackageVersion);
  return AAX_SUCCESS;
}

} // namespace

ACF_EXPORT ACFRESULT ACFStartup(IACFUnknown* host)
{
  try
  {
    if (host)
      AAX_InstallHostServices(host);
    else
      AAX_RemoveHostServices();
    return ACF_OK;
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACF_EXPORT ACFRESULT ACFShutdown()
{
  AAX_RemoveHostServices();
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFGetSDKVersion(uint64_t* version)
{
  if (!version)
    return ACF_E_UNEXPECTED;
  *version = kACFSDKVersion;
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* host, IACFUnknown** definition)
{
  try
  {
    if (!definition)
      return AAX_ERROR_NULL_OBJECT;
    *definition = nullptr;
    AAX_VCollection collection(host);
    if (const AAX_Result result = DescribeEffect(collection); result != AAX_SUCCESS)
      return result;
    void* found = nullptr;
    if (!host || host->QueryInterface(kAAXPluginDefinitionID, &found) != ACF_OK)
      return AAX_ERROR_NULL_OBJECT;
    *definition = static_cast<IACFUnknown*>(found);
    return ACF_OK;
  }
  catch (const AAX::Exception::ResultError& error)
  {
    AAX_Trace(AAX_eTracePriority_High, "GAIN registration failed: %s", error.what());
    return error.Result();
  }
  catch (...)
  {
    AAX_Trace(AAX_eTracePriority_High, "GAIN registration failed: unknown");
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

ACF_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* /*host*/, const acfUID* /*componentID*/, IACFUnknown** component)
{
  if (component)
    *component = nullptr;
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* /*host*/, const acfUID* /*classID*/, const acfIID* /*iid*/,
                                        void** factory)
{
  if (factory)
    *factory = nullptr;
  return AAX_ERROR_UNIMPLEMENTED;
}

ACF_EXPORT ACFRESULT ACFCanUnloadNow()
{
  return CACFUnknown::LiveObjectCount();
}
