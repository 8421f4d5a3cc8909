#include "ICornerResizerControl.h"

#include "IGraphics.h"

namespace iplug::igraphics {

ICornerResizerControl::ICornerResizerControl(const IRect& editorBounds, float size, const IColor& color,
                                             const IColor& hoverColor, const IColor& dragColor)
  : IControl(editorBounds), mSize(size), mInitialBounds(editorBounds), mColor(color), mHoverColor(hoverColor),
    mDragColor(dragColor)
{
}

void ICornerResizerControl::Draw(IGraphics& g)
{
  const IColor& color = g.GetResizingInProcess() ? mDragColor : mHovering ? mHoverColor : mColor;
  const IRect& r = mDrawRect;
  g.FillTriangle(color, r.L, r.B, r.R, r.T, r.R, r.B);
}

void ICornerResizerControl::OnScaleChanged()
{
  if (!mGraphics)
    return;
  const float s = mSize / mGraphics->GetDrawScale();
  const float w = static_cast<float>(mGraphics->Width());
  const float h = static_cast<float>(mGraphics->Height());
  SetTargetAndDrawRECTs({w - s, h - s, w, h});
}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseModifiers&)
{
  if (mGraphics)
    mGraphics->StartResizeGesture();
}

void ICornerResizerControl::OnMouseDoubleClick(float, float, const IMouseModifiers&)
{
  if (mGraphics)
    mGraphics->Resize(static_cast<int>(mInitialBounds.W()), static_cast<int>(mInitialBounds.H()), 1.f, true);
}

void ICornerResizerControl::OnMouseHover(float x, float y, const IMouseModifiers& mods)
{
  if (!mHovering && mGraphics)
  {
    mPreviousCursor = mGraphics->SetMouseCursor(eCursorSizeNWSE);
    mHovering = true;
  }
  IControl::OnMouseHover(x, y, mods);
}

void ICornerResizerControl::OnMouseLeave()
{
  if (mHovering && mGraphics)
  {
    mGraphics->SetMouseCursor(mPreviousCursor);
    mHovering = false;
  }
  IControl::OnMouseLeave();
}

} // namespace iplug::igraphics
