#pragma once
// A popup menu drawn as a control, replacing the native menu when attached: one column of
// items over the given bounds; a click on an item chooses it, a click elsewhere chooses
// nothing, and the context is told either way.
// [ui thread]
#include "IControl.h"

namespace iplug::igraphics {

class IPopupMenuControl : public IControl
{
public:
  static constexpr float kItemHeight = 20.f;
  static constexpr float kItemWidth = 150.f;

  // empty bounds: the menu opens at the requested area
  IPopupMenuControl(const ITextStyle& style, const IRect& bounds);

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseModifiers& mods) override;

  // shows menu (not owned) below the anchor's bottom-left corner
  void CreatePopupMenu(IPopupMenu& menu, const IRect& anchor);
  bool GetExpanded() const { return mMenu != nullptr; }
  // the item under the point, or -1
  int ItemAt(float x, float y) const;

private:
  IRect ItemRect(int index) const;

  IRect mFixedBounds;
  IPopupMenu* mMenu = nullptr;
  IRect mMenuBounds;
};

} // namespace iplug::igraphics
