#pragma once
// Base of an editor object: keeps the controller, the instance's effect object, the view container and the
// transport, and calls the view hooks when the host opens and closes the view. [ui thread] throughout.
#include <memory>

#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "AAX_VController.h"
#include "AAX_VViewContainer.h"

class AAX_CEffectGUI : public AAX_IEffectGUI, public CACFUnknown
{
public:
  AAX_CEffectGUI();
  ~AAX_CEffectGUI() override;

  // answers IACFUnknown and AAX_IEffectGUI
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  // AAX_ERROR_NOT_INITIALIZED for a null controller; otherwise takes the wrappers, then CreateViewContents
  AAX_Result Initialize(IACFUnknown* controller) override;
  AAX_Result Uninitialize() override;
  // null: DeleteViewContainer, then the wrapper goes; otherwise wrap, CreateViewContainer, UpdateAllParameters
  AAX_Result SetViewContainer(IACFUnknown* viewContainer) override;
  AAX_Result GetViewSize(AAX_Point* size) const override; // leaves the size as it is
  AAX_Result ParameterUpdated(AAX_CParamID id) override;
  AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean highlighted, AAX_EHighlightColor color) override;
  AAX_Result TimerWakeup() override;

protected:
  virtual void CreateViewContents() {}
  virtual void CreateViewContainer() {}
  // the base destructor cannot reach an override: a subclass that opened a view closes it in its own destructor
  virtual void DeleteViewContainer() {}
  // ParameterUpdated for every parameter, in the host's index order
  virtual AAX_Result UpdateAllParameters();

  // null before Initialize and after Uninitialize
  AAX_VController* GetController() const { return mController.get(); }
  AAX_IEffectParameters* GetEffectParameters() const { return mEffectParameters; }
  AAX_VTransport* Transport() const { return mTransport.get(); }
  // null while the host shows no view
  AAX_VViewContainer* GetViewContainer() const { return mViewContainer.get(); }

private:
  void ReleaseEffectParameters();

  std::unique_ptr<AAX_VController> mController;
  AAX_IEffectParameters* mEffectParameters = nullptr; // one reference held
  std::unique_ptr<AAX_VViewContainer> mViewContainer;
  std::unique_ptr<AAX_VTransport> mTransport;
};
