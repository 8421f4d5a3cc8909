#include "IBitmapControl.h"

#include <algorithm>

#include "IGraphics.h"

namespace iplug::igraphics {

int FrameForValue(double v, int numFrames)
{
  if (numFrames < 2)
    return 1;
  const int frame = static_cast<int>(v * (numFrames - 1) + 0.5) + 1;
  return std::clamp(frame, 1, numFrames);
}

void IBitmapBase::DrawBitmap(IGraphics& g)
{
  const IRect dest = mControl->GetRECT().CentredInside(static_cast<float>(mBitmap.FW()), static_cast<float>(mBitmap.FH()));
  g.DrawBitmap(mBitmap, dest, FrameForValue(mControl->GetValue(), mBitmap.N()), &mControl->GetBlend());
}

void IBitmapBase::ReloadForScale()
{
  if (IGraphics* g = mControl->GetUI())
    mBitmap = g->GetScaledBitmap(mBitmap);
}

IBitmapControl::IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx)
  : IControl(IRect(x, y, bitmap), paramIdx), IBitmapBase(static_cast<IControl&>(*this), bitmap)
{
}

} // namespace iplug::igraphics
