#pragma once
// The effect object as the host calls it through ACF. Threads: lifecycle, chunks, notifications and most
// queries on the host's main thread; value updates and publication on its parameter thread; the timer on a
// non-real-time thread. None of these may let an exception escape.
#include "AAX.h"
#include "AAX_CString.h"
#include "AAX_Records.h"
#include "ACFUnknown.h"

class AAX_IParameter;

class AAX_IEffectParameters : public IACFUnknown
{
public:
  // the effect answers every revision of the interface with this one object
  static constexpr acfIID kInterfaceID{0x964E333D, 0x334C, 0x533F, {0xC2, 0xC7, 0x38, 0x34, 0xC3, 0xC2, 0x3E, 0x3E}};
  static constexpr acfIID kInterfaceIDs[] = {
    kInterfaceID,
    {0xF1F47D06, 0x308F, 0x4CC5, {0x9C, 0x7C, 0x50, 0xA8, 0x3F, 0x8A, 0xB8, 0x13}},
    {0xD2540E9D, 0x9163, 0x42BB, {0xA6, 0xFD, 0x81, 0xE1, 0x0E, 0xA3, 0x24, 0x98}},
    {0x2E485536, 0x31A3, 0x4697, {0x9C, 0x16, 0xE5, 0x9B, 0xF6, 0xB2, 0x8A, 0x41}},
  };

  // lifecycle [host main thread]
  virtual AAX_Result Initialize(IACFUnknown* controller) = 0;
  virtual AAX_Result Uninitialize() = 0;
  virtual AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) = 0;

  // parameter queries
  virtual AAX_Result GetNumberOfParameters(int32_t* count) const = 0;
  virtual AAX_Result GetMasterBypassParameter(AAX_IString* id) const = 0;
  virtual AAX_Result GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* automatable) const = 0;
  virtual AAX_Result GetParameterNumberOfSteps(AAX_CParamID id, int32_t* steps) const = 0;
  virtual AAX_Result GetParameterName(AAX_CParamID id, AAX_IString* name) const = 0;
  virtual AAX_Result GetParameterNameOfLength(AAX_CParamID id, AAX_IString* name, int32_t maxChars) const = 0;
  virtual AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID id, double* value) const = 0;
  virtual AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID id, double value) = 0;
  virtual AAX_Result GetParameterType(AAX_CParamID id, AAX_EParameterType* type) const = 0;
  virtual AAX_Result GetParameterOrientation(AAX_CParamID id, AAX_EParameterOrientation* orientation) const = 0;
  virtual AAX_Result GetParameter(AAX_CParamID id, AAX_IParameter** parameter) = 0;
  virtual AAX_Result GetParameterIndex(AAX_CParamID id, int32_t* index) const = 0;
  virtual AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* id) const = 0;
  virtual AAX_Result GetParameterValueInfo(AAX_CParamID id, int32_t selector, int32_t* value) const = 0;
  virtual AAX_Result GetParameterValueFromString(AAX_CParamID id, double* value, const AAX_IString& text) const = 0;
  virtual AAX_Result GetParameterStringFromValue(AAX_CParamID id, double value, AAX_IString* text,
                                                 int32_t maxChars) const = 0;
  virtual AAX_Result GetParameterValueString(AAX_CParamID id, AAX_IString* text, int32_t maxChars) const = 0;
  virtual AAX_Result GetParameterNormalizedValue(AAX_CParamID id, double* value) const = 0;

  // parameter changes [host main or parameter thread]
  virtual AAX_Result SetParameterNormalizedValue(AAX_CParamID id, double value) = 0;
  virtual AAX_Result SetParameterNormalizedRelative(AAX_CParamID id, double delta) = 0;
  virtual AAX_Result TouchParameter(AAX_CParamID id) = 0;
  virtual AAX_Result ReleaseParameter(AAX_CParamID id) = 0;
  virtual AAX_Result UpdateParameterTouch(AAX_CParamID id, AAX_CBoolean touched) = 0;
  // the host's value for a parameter, the answer to a set-value request or automation playback
  virtual AAX_Result OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource source) = 0;
  virtual AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID id, double delta) = 0;
  virtual AAX_Result GetNumberOfChanges(int32_t* changes) const = 0;
  // [host parameter thread] after a run of updates: packets and synchronized changes go out
  virtual AAX_Result PublishParamChanges() = 0;

  // render-context support
  virtual AAX_Result ResetContextField(AAX_CFieldIndex field, void* data, uint32_t size) = 0;
  // [non-real-time thread]
  virtual AAX_Result OnHostTimer() = 0;
  virtual AAX_Result UpdatePageTable(uint32_t tableType, int32_t tableSize, IACFUnknown* pageTable) = 0;

  // chunks [host main thread]; the state they carry may be read while rendering runs
  virtual AAX_Result GetNumberOfChunks(int32_t* count) const = 0;
  virtual AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) = 0;
  virtual AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) = 0;
  virtual AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* chunk) = 0;
  virtual AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* chunk) = 0;
  virtual AAX_Result CompareActiveChunk(const AAX_SHostChunk* chunk, AAX_CBoolean* isEqual) = 0;

protected:
  ~AAX_IEffectParameters() = default;
};
