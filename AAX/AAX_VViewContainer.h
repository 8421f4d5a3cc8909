#pragma once
// Forwarding wrappers of the editor's host interfaces.
#include "AAX_IViewContainer.h"
#include "AAX_VInterface.h"

class AAX_VViewContainer : public AAX_VInterface<AAX_IViewContainer>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // [ui thread] all of them
  void* GetNativeParentWindow() const; // null when the host gives none
  AAX_Result SetViewSize(const AAX_Point& size) const;
  AAX_Result GetModifiers(uint32_t* modifiers) const;
  AAX_Result HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers) const;
};

class AAX_VPageTable : public AAX_VInterface<AAX_IPageTable>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // [host main thread]
  AAX_Result GetNumPages(int32_t* pages) const;
  AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_CParamID* id) const;
  AAX_Result MapParameterID(AAX_CParamID id, int32_t page, int32_t slot) const;
};
