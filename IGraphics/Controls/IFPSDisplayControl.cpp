#include "IFPSDisplayControl.h"

#include <cstdio>

#include "IGraphics.h"

namespace iplug::igraphics {

IFPSDisplayControl::IFPSDisplayControl(const IRect& bounds, const char* title)
  : IControl(bounds), mTitle(title ? title : "")
{
  mIgnoresMouse = true;
}

void IFPSDisplayControl::Update(double timeMs)
{
  if (mLastTimeMs >= 0.0)
  {
    mFrameTimes[static_cast<size_t>(mNextSample)] = timeMs - mLastTimeMs;
    mNextSample = (mNextSample + 1) % kNumSamples;
    mNumFrameTimes = std::min(mNumFrameTimes + 1, kNumSamples);
  }
  mLastTimeMs = timeMs;
  MarkDirty(false);
}

double IFPSDisplayControl::AverageFrameTimeMs() const
{
  if (mNumFrameTimes == 0)
    return 0.0;
  double sum = 0.0;
  for (int i = 0; i < mNumFrameTimes; ++i)
    sum += mFrameTimes[static_cast<size_t>(i)];
  return sum / mNumFrameTimes;
}

void IFPSDisplayControl::Draw(IGraphics& g)
{
  g.FillRect(kColorWhite, mDrawRect, &kBlend50);
  char text[64];
  std::snprintf(text, sizeof(text), "%s: %.2f ms", mTitle.c_str(), AverageFrameTimeMs());
  g.DrawText(mTextStyle, text, mDrawRect);
}

} // namespace iplug::igraphics
