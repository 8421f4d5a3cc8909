#pragma once
// The triangle in the editor's bottom-right corner with which the user zooms or sizes
// the editor; it keeps its size in window pixels whatever the draw scale.
// [ui thread]
#include "IControl.h"

namespace iplug::igraphics {

class ICornerResizerControl : public IControl
{
public:
  // editorBounds: the editor rectangle at creation, restored by a double click
  ICornerResizerControl(const IRect& editorBounds, float size, const IColor& color, const IColor& hoverColor,
                        const IColor& dragColor);

  void Draw(IGraphics& g) override;
  void OnScaleChanged() override;
  void OnMouseDown(float x, float y, const IMouseModifiers& mods) override;
  void OnMouseDoubleClick(float x, float y, const IMouseModifiers& mods) override;
  void OnMouseHover(float x, float y, const IMouseModifiers& mods) override;
  void OnMouseLeave() override;

private:
  float mSize;
  bool mHovering = false;
  ECursor mPreviousCursor = eCursorArrow;
  IRect mInitialBounds;
  IColor mColor;
  IColor mHoverColor;
  IColor mDragColor;
};

} // namespace iplug::igraphics
