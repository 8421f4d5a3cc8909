#pragma once
// Base of an effect object: answers the host's parameter queries from the parameter manager, keeps the host
// wrappers of the instance, and gives every other host call a harmless default. A subclass defines its
// parameters in InitEffect and overrides what it needs. Threads as in AAX_IEffectParameters.h.
#include <atomic>
#include <memory>

#include "AAX_CPacketDispatcher.h"
#include "AAX_CParameterManager.h"
#include "AAX_IEffectParameters.h"
#include "AAX_VController.h"

constexpr const char* kAAXMasterBypassID = "MasterBypassID";
constexpr const char* kAAXPreviewID = "PreviewID";
constexpr AAX_CTypeID kAAXControlsChunkID = AAX_FourCC("ctrl");

class AAX_CEffectParameters : public AAX_IEffectParameters, public CACFUnknown
{
public:
  AAX_CEffectParameters();
  ~AAX_CEffectParameters() override;

  // answers IACFUnknown and every AAX_IEffectParameters identifier
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  // creates the wrappers, attaches the automation delegate to the manager, then runs InitEffect
  AAX_Result Initialize(IACFUnknown* controller) override;
  // deletes every parameter, then the wrappers
  AAX_Result Uninitialize() override;
  // sets the preview parameter on the preview notification when there is one; otherwise 0
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;

  AAX_Result GetNumberOfParameters(int32_t* count) const override;
  AAX_Result GetMasterBypassParameter(AAX_IString* id) const override;
  AAX_Result GetParameterIsAutomatable(AAX_CParamID id, AAX_CBoolean* automatable) const override;
  AAX_Result GetParameterNumberOfSteps(AAX_CParamID id, int32_t* steps) const override;
  AAX_Result GetParameterName(AAX_CParamID id, AAX_IString* name) const override;
  AAX_Result GetParameterNameOfLength(AAX_CParamID id, AAX_IString* name, int32_t maxChars) const override;
  AAX_Result GetParameterDefaultNormalizedValue(AAX_CParamID id, double* value) const override;
  AAX_Result SetParameterDefaultNormalizedValue(AAX_CParamID id, double value) override;
  AAX_Result GetParameterType(AAX_CParamID id, AAX_EParameterType* type) const override;
  AAX_Result GetParameterOrientation(AAX_CParamID id, AAX_EParameterOrientation* orientation) const override;
  AAX_Result GetParameter(AAX_CParamID id, AAX_IParameter** parameter) override;
  AAX_Result GetParameterIndex(AAX_CParamID id, int32_t* index) const override;
  AAX_Result GetParameterIDFromIndex(int32_t index, AAX_IString* id) const override;
  AAX_Result GetParameterValueInfo(AAX_CParamID id, int32_t selector, int32_t* value) const override;
  AAX_Result GetParameterValueFromString(AAX_CParamID id, double* value, const AAX_IString& text) const override;
  AAX_Result GetParameterStringFromValue(AAX_CParamID id, double value, AAX_IString* text,
                                         int32_t maxChars) const override;
  AAX_Result GetParameterValueString(AAX_CParamID id, AAX_IString* text, int32_t maxChars) const override;
  AAX_Result GetParameterNormalizedValue(AAX_CParamID id, double* value) const override;

  AAX_Result SetParameterNormalizedValue(AAX_CParamID id, double value) override;
  AAX_Result SetParameterNormalizedRelative(AAX_CParamID id, double delta) override;
  AAX_Result TouchParameter(AAX_CParamID id) override;
  AAX_Result ReleaseParameter(AAX_CParamID id) override;
  AAX_Result UpdateParameterTouch(AAX_CParamID id, AAX_CBoolean touched) override;
  AAX_Result OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  AAX_Result UpdateParameterNormalizedRelative(AAX_CParamID id, double delta) override;
  AAX_Result GetNumberOfChanges(int32_t* changes) const override;
  // dispatches the dirty coefficient packets
  AAX_Result PublishParamChanges() override;

  // zero-fills the field's initial data
  AAX_Result ResetContextField(AAX_CFieldIndex field, void* data, uint32_t size) override;
  AAX_Result OnHostTimer() override;
  // leaves the table as the host gave it
  AAX_Result UpdatePageTable(uint32_t tableType, int32_t tableSize, IACFUnknown* pageTable) override;

  // One chunk, kAAXControlsChunkID, whose contents a subclass provides: the base produces no chunk data.
  AAX_Result GetNumberOfChunks(int32_t* count) const override;
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) override;
  AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) override;
  AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* chunk) override;
  AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* chunk) override;
  AAX_Result CompareActiveChunk(const AAX_SHostChunk* chunk, AAX_CBoolean* isEqual) override;

protected:
  // [host main thread] runs once the wrappers exist; the place to define the parameters
  virtual AAX_Result InitEffect();

  // null before Initialize and after Uninitialize
  AAX_VController* Controller() const { return mController.get(); }
  AAX_VAutomationDelegate* AutomationDelegate() const { return mAutomationDelegate.get(); }
  AAX_VTransport* Transport() const { return mTransport.get(); }

  AAX_CParameterManager mParameterManager;
  AAX_CPacketDispatcher mPacketDispatcher;
  std::atomic<int32_t> mNumPlugInChanges{0}; // plug-in-side changes the host can ask for
  int32_t mNumChunkedParameters = 0;         // the parameters a controls chunk would hold

private:
  AAX_IParameter* Find(AAX_CParamID id) const { return mParameterManager.GetParameterByID(id); }
  void CountChunkedParameters();

  std::unique_ptr<AAX_VController> mController;
  std::unique_ptr<AAX_VAutomationDelegate> mAutomationDelegate;
  std::unique_ptr<AAX_VTransport> mTransport;
};
