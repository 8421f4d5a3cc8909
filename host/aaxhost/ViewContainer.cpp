#include "ViewContainer.h"

#include "AAX_Errors.h"

namespace aaxhost {

AAX_Result ViewContainer::GetNativeParentWindow(void** window) const
{
  if (!window)
    return AAX_ERROR_NULL_OBJECT;
  *window = nullptr;
  return AAX_SUCCESS;
}

AAX_Result ViewContainer::SetViewSize(const AAX_Point& size)
{
  mViewSizes.push_back(size);
  return AAX_SUCCESS;
}

AAX_Result ViewContainer::GetModifiers(uint32_t* modifiers) const
{
  if (!modifiers)
    return AAX_ERROR_NULL_OBJECT;
  *modifiers = AAX_eModifiers_None;
  return AAX_SUCCESS;
}

AAX_Result ViewContainer::HandleParameterMouseDown(AAX_CParamID id, uint32_t /*modifiers*/)
{
  mMouseDowns.emplace_back(id ? id : "");
  return AAX_ERROR_UNIMPLEMENTED;
}

} // namespace aaxhost
