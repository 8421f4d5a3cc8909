#pragma once
// The editor object as the host calls it through ACF, all on the host's user-interface thread.
// None of these may let an exception escape.
#include "AAX.h"
#include "ACFUnknown.h"

class AAX_IEffectGUI : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x2e4e23ab, 0x662d, 0x4fad, {0xb2, 0x2a, 0x77, 0x9e, 0x04, 0x39, 0x72, 0x00}};

  // [ui thread] all of them
  virtual AAX_Result Initialize(IACFUnknown* controller) = 0;
  virtual AAX_Result Uninitialize() = 0;
  // null closes the view
  virtual AAX_Result SetViewContainer(IACFUnknown* viewContainer) = 0;
  virtual AAX_Result GetViewSize(AAX_Point* size) const = 0;
  virtual AAX_Result ParameterUpdated(AAX_CParamID id) = 0;
  virtual AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean highlighted, AAX_EHighlightColor color) = 0;
  virtual AAX_Result TimerWakeup() = 0;

protected:
  ~AAX_IEffectGUI() = default;
};
