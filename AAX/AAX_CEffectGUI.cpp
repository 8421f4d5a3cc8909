#include "AAX_CEffectGUI.h"

#include "AAX_CString.h"
#include "AAX_Errors.h"

AAX_CEffectGUI::AAX_CEffectGUI() = default;

AAX_CEffectGUI::~AAX_CEffectGUI()
{
  Uninitialize();
}

ACFRESULT AAX_CEffectGUI::QueryInterface(const acfIID& iid, void** out)
{
  if (!out)
    return ACF_E_UNEXPECTED;
  *out = nullptr;
  if (iid != IACFUnknown::kInterfaceID && iid != AAX_IEffectGUI::kInterfaceID)
    return ACF_E_NOINTERFACE;
  InternalAddRef();
  *out = static_cast<AAX_IEffectGUI*>(this);
  return ACF_OK;
}

uint32_t AAX_CEffectGUI::AddRef()
{
  return InternalAddRef();
}

uint32_t AAX_CEffectGUI::Release()
{
  return InternalRelease();
}

AAX_Result AAX_CEffectGUI::Initialize(IACFUnknown* controller)
{
  if (!controller)
    return AAX_ERROR_NOT_INITIALIZED;
  try
  {
    mController = std::make_unique<AAX_VController>(controller);
    IACFUnknown* effect = nullptr;
    if (mController->GetEffectParameters(&effect) == AAX_SUCCESS && effect)
    {
      void* found = nullptr;
      if (effect->QueryInterface(AAX_IEffectParameters::kInterfaceID, &found) == ACF_OK)
        mEffectParameters = static_cast<AAX_IEffectParameters*>(found);
      effect->Release();
    }
    mTransport = std::make_unique<AAX_VTransport>(controller);
    CreateViewContents();
    return AAX_SUCCESS;
  }
  catch (...)
  {
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

AAX_Result AAX_CEffectGUI::Uninitialize()
{
  if (mViewContainer)
    SetViewContainer(nullptr);
  mTransport.reset();
  ReleaseEffectParameters();
  mController.reset();
  return AAX_SUCCESS;
}

void AAX_CEffectGUI::ReleaseEffectParameters()
{
  if (mEffectParameters)
    mEffectParameters->Release();
  mEffectParameters = nullptr;
}

AAX_Result AAX_CEffectGUI::SetViewContainer(IACFUnknown* viewContainer)
{
  if (!viewContainer)
  {
    DeleteViewContainer();
    mViewContainer.reset();
    return AAX_SUCCESS;
  }
  try
  {
    mViewContainer = std::make_unique<AAX_VViewContainer>(viewContainer);
    CreateViewContainer();
    UpdateAllParameters();
    return AAX_SUCCESS;
  }
  catch (...)
  {
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

AAX_Result AAX_CEffectGUI::UpdateAllParameters()
{
  if (!mEffectParameters)
    return AAX_ERROR_NOT_INITIALIZED;
  int32_t count = 0;
  mEffectParameters->GetNumberOfParameters(&count);
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CString id;
    if (mEffectParameters->GetParameterIDFromIndex(index, &id) == AAX_SUCCESS)
      ParameterUpdated(id.Get());
  }
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::GetViewSize(AAX_Point* /*size*/) const
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::ParameterUpdated(AAX_CParamID /*id*/)
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::SetControlHighlightInfo(AAX_CParamID /*id*/, AAX_CBoolean /*highlighted*/,
                                                   AAX_EHighlightColor /*color*/)
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI::TimerWakeup()
{
  return AAX_SUCCESS;
}
