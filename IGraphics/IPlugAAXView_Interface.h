#pragma once
// The base through which a host binding hands the host's view container to the editor.
// The graphics framework does not include any host interface: the AAX binding adapts its
// AAX_IViewContainer to IHostViewContainer and sets it here.
// [ui thread]
#include <cstdint>

namespace iplug::igraphics {

// Host modifier bits of a parameter mouse-down offer.
constexpr uint32_t kHostModifierShift = 1;
constexpr uint32_t kHostModifierAlt = 4;
constexpr uint32_t kHostModifierCtrl = 8;
constexpr uint32_t kHostModifierRightButton = 16;

class IHostViewContainer
{
public:
  // the modifier bits the host sees as held
  virtual uint32_t GetModifiers() const = 0;
  // true when the host took the mouse-down on the parameter for itself
  virtual bool HandleParameterMouseDown(const char* paramID, uint32_t modifiers) = 0;

protected:
  ~IHostViewContainer() = default;
};

class IPlugAAXView_Interface
{
public:
  virtual ~IPlugAAXView_Interface() = default;

  // not owned; null when the host supplied none
  void SetViewContainer(IHostViewContainer* container) { mViewContainer = container; }
  IHostViewContainer* GetViewContainer() const { return mViewContainer; }

protected:
  IHostViewContainer* mViewContainer = nullptr;
};

} // namespace iplug::igraphics
