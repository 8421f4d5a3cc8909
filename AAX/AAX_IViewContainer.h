#pragma once
// The host's side of an editor: the window it provides and the page tables of its control surfaces.
#include "AAX.h"
#include "ACFUnknown.h"

class AAX_IViewContainer : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xc11af945, 0x23db, 0x4351, {0x99, 0x99, 0x4c, 0x5b, 0xa1, 0xd3, 0x02, 0xfc}};

  // [ui thread] the native window the editor opens in (a Win32 window handle), or null
  virtual AAX_Result GetNativeParentWindow(void** window) const = 0;
  // [ui thread]
  virtual AAX_Result SetViewSize(const AAX_Point& size) = 0;
  // [ui thread] AAX_EModifiers bits the host sees as held
  virtual AAX_Result GetModifiers(uint32_t* modifiers) const = 0;
  // [ui thread] AAX_SUCCESS when the host took the mouse-down for itself
  virtual AAX_Result HandleParameterMouseDown(AAX_CParamID id, uint32_t modifiers) = 0;

protected:
  ~AAX_IViewContainer() = default;
};

// A control surface page: which parameter sits in which slot.
class AAX_IPageTable : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x1f54521d, 0xb449, 0x466d, {0xab, 0x04, 0x22, 0x04, 0x46, 0xe8, 0x49, 0xbb}};

  // [host main thread]
  virtual AAX_Result GetNumPages(int32_t* pages) const = 0;
  virtual AAX_Result GetMappedParameterID(int32_t page, int32_t slot, AAX_CParamID* id) const = 0;
  virtual AAX_Result MapParameterID(AAX_CParamID id, int32_t page, int32_t slot) = 0;

protected:
  ~AAX_IPageTable() = default;
};
