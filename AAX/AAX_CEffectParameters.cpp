#include "AAX_CEffectParameters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "AAX_Errors.h"
#include "AAX_IParameter.h"
#include "AAX_VHostServices.h"

namespace {

constexpr const char* kSourcePath = "AAX\\AAX_CEffectParameters";
constexpr int32_t kNumChunks = 1;

// a relative change keeps the value inside 0..1; a delta that is not a number changes nothing
double ApplyDelta(double current, double delta)
{
  const double moved = current + delta;
  return std::isnan(moved) ? current : std::clamp(moved, 0.0, 1.0);
}

void SetText(AAX_IString* out, const char* text)
{
  if (out)
    out->Set(text);
}

} // namespace

AAX_CEffectParameters::AAX_CEffectParameters() = default;

AAX_CEffectParameters::~AAX_CEffectParameters()
{
  Uninitialize();
}

ACFRESULT AAX_CEffectParameters::QueryInterface(const acfIID& iid, void** out)
{
  if (!out)
    return ACF_E_UNEXPECTED;
  *out = nullptr;
  const bool answered = iid == IACFUnknown::kInterfaceID ||
                        std::ranges::find(kInterfaceIDs, iid) != std::end(kInterfaceIDs);
  if (!answered)
    return ACF_E_NOINTERFACE;
  InternalAddRef();
  *out = static_cast<AAX_IEffectParameters*>(this);
  return ACF_OK;
}

uint32_t AAX_CEffectParameters::AddRef()
{
  return InternalAddRef();
}

uint32_t AAX_CEffectParameters::Release()
{
  return InternalRelease();
}

// ---- lifecycle

AAX_Result AAX_CEffectParameters::Initialize(IACFUnknown* controller)
{
  if (!controller)
    return AAX_ERROR_NOT_INITIALIZED;
  // a repeated initialisation starts over: the parameters must not keep the old delegate
  if (mController)
    Uninitialize();
  try
  {
    mController = std::make_unique<AAX_VController>(controller);
    mAutomationDelegate = std::make_unique<AAX_VAutomationDelegate>(controller);
    mTransport = std::make_unique<AAX_VTransport>(controller);
    mPacketDispatcher.Initialize(mController.get());
    // a host without automation leaves parameters to store their values themselves
    mParameterManager.Initialize(mAutomationDelegate->IsValid() ? mAutomationDelegate.get() : nullptr);
    const AAX_Result result = InitEffect();
    CountChunkedParameters();
    return result;
  }
  catch (...)
  {
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

AAX_Result AAX_CEffectParameters::Uninitialize()
{
  mParameterManager.RemoveAllParameters();
  mParameterManager.Initialize(nullptr);
  mPacketDispatcher.Initialize(nullptr);
  mTransport.reset();
  mAutomationDelegate.reset();
  mController.reset();
  return AAX_SUCCESS;
}

void AAX_CEffectParameters::CountChunkedParameters()
{
  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  const bool hasBypass = Find(bypassID.Get()) != nullptr;
  mNumChunkedParameters = mParameterManager.NumParameters() - (hasBypass ? 1 : 0);
  AAX_Check(mNumChunkedParameters >= 0, kSourcePath, "mNumChunkedParameters >= 0");
}

AAX_Result AAX_CEffectParameters::InitEffect()
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t /*size*/)
{
  if (type == AAX_eNotification_Preview)
    if (AAX_IParameter* preview = Find(kAAXPreviewID))
      preview->SetValueWithBool(data != nullptr);
  return AAX_SUCCESS;
}

// ---- parameter queries

AAX_Result AAX_CEffectParameters::GetNumberOfParameters(int32_t* count) const
{
  if (!count)
    return AAX_ERROR_NULL_OBJECT;
  *count = mParameterManager.NumParameters();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetMasterBypassParameter(AAX_IString* id) const
{
  SetText(id, Find(kAAXMasterBypassID) ? kAAXMasterBypassID : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* automatable) const
{
  if (!automatable)
    return AAX_ERROR_NULL_OBJECT;
  const AAX_IParameter* parameter = Find(id);
  *automatable = parameter && parameter->Automatable();
  return parameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterNumberOfSteps(AAX_CParamID id, int32_t* steps) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!steps)
    return AAX_ERROR_NULL_OBJECT;
  const uint32_t count = parameter->GetNumberOfSteps();
  if (count > static_cast<uint32_t>(std::numeric_limits<int32_t>::max()))
    return AAX_ERROR_SIGNED_INT_OVERFLOW;
  *steps = static_cast<int32_t>(count);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterName(AAX_CParamID id, AAX_IString* name) const
{
  const AAX_IParameter* parameter = Find(id);
  SetText(name, parameter ? parameter->Name().Get() : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterNameOfLength(AAX_CParamID id, AAX_IString* name, int32_t maxChars) const
{
  const AAX_IParameter* parameter = Find(id);
  SetText(name, parameter ? parameter->ShortenedName(maxChars).Get() : "");
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterDefaultNormalizedValue(AAX_CParamID id, double* value) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!value)
    return AAX_ERROR_NULL_OBJECT;
  *value = parameter->GetNormalizedDefaultValue();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterDefaultNormalizedValue(AAX_CParamID id, double value)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->SetNormalizedDefaultValue(value);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterType(AAX_CParamID id, AAX_EParameterType* type) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!type)
    return AAX_ERROR_NULL_OBJECT;
  *type = parameter->GetType();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterOrientation(AAX_CParamID id,
                                                          AAX_EParameterOrientation* orientation) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!orientation)
    return AAX_ERROR_NULL_OBJECT;
  *orientation = parameter->GetOrientation();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameter(AAX_CParamID id, AAX_IParameter** parameter)
{
  if (!parameter)
    return AAX_ERROR_NULL_OBJECT;
  *parameter = Find(id);
  return *parameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIndex(AAX_CParamID id, int32_t* index) const
{
  if (!index)
    return AAX_ERROR_NULL_OBJECT;
  *index = mParameterManager.GetParameterIndex(id);
  return *index >= 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterIDFromIndex(int32_t index, AAX_IString* id) const
{
  const AAX_IParameter* parameter = mParameterManager.GetParameter(index);
  SetText(id, parameter ? parameter->Identifier() : "");
  return parameter ? AAX_SUCCESS : AAX_ERROR_INVALID_PARAMETER_ID;
}

AAX_Result AAX_CEffectParameters::GetParameterValueInfo(AAX_CParamID /*id*/, int32_t /*selector*/,
                                                        int32_t* value) const
{
  if (value)
    *value = 0;
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetParameterValueFromString(AAX_CParamID id, double* value,
                                                              const AAX_IString& text) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!value)
    return AAX_ERROR_NULL_OBJECT;
  if (!parameter->GetNormalizedValueFromString(AAX_CString(text.Get()), value))
    return AAX_ERROR_INVALID_STRING_CONVERSION;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterStringFromValue(AAX_CParamID id, double value, AAX_IString* text,
                                                              int32_t maxChars) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  AAX_CString formatted;
  if (!parameter->GetStringFromNormalizedValue(value, maxChars, &formatted))
    return AAX_ERROR_INVALID_STRING_CONVERSION;
  SetText(text, formatted.Get());
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetParameterValueString(AAX_CParamID id, AAX_IString* text, int32_t maxChars) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  AAX_CString formatted;
  const bool ok = parameter->GetValueString(maxChars, &formatted);
  // a display without a text for the value still has something to show ("String Not Found")
  SetText(text, formatted.Get());
  return ok ? AAX_SUCCESS : AAX_ERROR_INVALID_STRING_CONVERSION;
}

AAX_Result AAX_CEffectParameters::GetParameterNormalizedValue(AAX_CParamID id, double* value) const
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  if (!value)
    return AAX_ERROR_NULL_OBJECT;
  *value = parameter->GetNormalizedValue();
  return AAX_SUCCESS;
}

// ---- parameter changes

AAX_Result AAX_CEffectParameters::SetParameterNormalizedValue(AAX_CParamID id, double value)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->SetNormalizedValue(value);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::SetParameterNormalizedRelative(AAX_CParamID id, double delta)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->SetNormalizedValue(ApplyDelta(parameter->GetNormalizedValue(), delta));
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::TouchParameter(AAX_CParamID id)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->Touch();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::ReleaseParameter(AAX_CParamID id)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->Release();
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdateParameterTouch(AAX_CParamID /*id*/, AAX_CBoolean /*touched*/)
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource /*source*/)
{
  AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  const double previous = parameter->GetNormalizedValue();
  parameter->UpdateNormalizedValue(value);
  const AAX_Result result = mPacketDispatcher.SetDirty(id);
  if (value != previous)
    mNumPlugInChanges.fetch_add(1, std::memory_order_relaxed);
  return result;
}

AAX_Result AAX_CEffectParameters::UpdateParameterNormalizedRelative(AAX_CParamID id, double delta)
{
  const AAX_IParameter* parameter = Find(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  return OnHostParamUpdate(id, ApplyDelta(parameter->GetNormalizedValue(), delta), AAX_eUpdateSource_Unspecified);
}

AAX_Result AAX_CEffectParameters::GetNumberOfChanges(int32_t* changes) const
{
  const int32_t count = mNumPlugInChanges.load(std::memory_order_relaxed);
  if (changes && count >= 0)
    *changes = count;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::PublishParamChanges()
{
  return mPacketDispatcher.Dispatch();
}

// ---- render-context support

AAX_Result AAX_CEffectParameters::ResetContextField(AAX_CFieldIndex /*field*/, void* data, uint32_t size)
{
  if (data)
    std::memset(data, 0, size);
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::OnHostTimer()
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::UpdatePageTable(uint32_t /*tableType*/, int32_t /*tableSize*/,
                                                  IACFUnknown* /*pageTable*/)
{
  return AAX_SUCCESS;
}

// ---- chunks

AAX_Result AAX_CEffectParameters::GetNumberOfChunks(int32_t* count) const
{
  if (!count)
    return AAX_ERROR_NULL_OBJECT;
  *count = kNumChunks;
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectParameters::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID)
{
  if (!chunkID)
    return AAX_ERROR_NULL_OBJECT;
  *chunkID = index == 0 ? kAAXControlsChunkID : 0;
  return index == 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_INDEX;
}

AAX_Result AAX_CEffectParameters::GetChunkSize(AAX_CTypeID chunkID, uint32_t* size)
{
  if (chunkID != kAAXControlsChunkID)
  {
    if (size)
      *size = 0;
    return AAX_ERROR_INVALID_CHUNK_ID;
  }
  return AAX_ERROR_UNIMPLEMENTED;
}

AAX_Result AAX_CEffectParameters::GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* /*chunk*/)
{
  return chunkID == kAAXControlsChunkID ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AAX_CEffectParameters::SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* /*chunk*/)
{
  return chunkID == kAAXControlsChunkID ? AAX_ERROR_UNIMPLEMENTED : AAX_ERROR_INVALID_CHUNK_ID;
}

AAX_Result AAX_CEffectParameters::CompareActiveChunk(const AAX_SHostChunk* /*chunk*/, AAX_CBoolean* /*isEqual*/)
{
  return AAX_ERROR_UNIMPLEMENTED;
}
