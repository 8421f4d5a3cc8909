#include "AAX_VViewContainer.h"

void* AAX_VViewContainer::GetNativeParentWindow() const
{
  void* window = nullptr;
  if (Forward(&AAX_IViewContainer::GetNativeParentWindow, &window) != AAX_SUCCESS)
    return nullptr;
  return window;
}

AAX_Result AAX_VViewContainer::SetViewSize(const AAX_Point& size) const
{
  return Forward(&AAX_IViewContainer::SetViewSize, size);
}

AAX_Result AAX_VViewContainer::GetModifiers(uint32_t* modifiers) const
{
  return Forward(&AAX_IViewContainer::GetModifiers, modifiers);
}

AAX_Result AAX_VViewContainer::HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers) const
{
  return Forward(&AAX_IViewContainer::HandleParameterMouseDown, id, modifiers);
}

AAX_Result AAX_VPageTable::GetNumPages(int32_t* pages) const
{
  return Forward(&AAX_IPageTable::GetNumPages, pages);
}

AAX_Result AAX_VPageTable::GetMappedParameterID(int32_t page, int32_t slot, AAX_CParamID* id) const
{
  return Forward(&AAX_IPageTable::GetMappedParameterID, page, slot, id);
}

AAX_Result AAX_VPageTable::MapParameterID(AAX_CParamID id, int32_t page, int32_t slot) const
{
  return Forward(&AAX_IPageTable::MapParameterID, id, page, slot);
}
