#pragma once
// The performance display: the time between the last frames, averaged, with a title.
// [ui thread]
#include <array>
#include <string>

#include "IControl.h"

namespace iplug::igraphics {

class IFPSDisplayControl : public IControl
{
public:
  static constexpr int kNumSamples = 32;

  IFPSDisplayControl(const IRect& bounds, const char* title);

  void Draw(IGraphics& g) override;
  // [ui thread] once per frame with the steady clock in milliseconds
  void Update(double timeMs);
  // 0 until two frames were seen
  double AverageFrameTimeMs() const;
  const char* GetTitle() const { return mTitle.c_str(); }

private:
  std::string mTitle;
  std::array<double, kNumSamples> mFrameTimes{};
  int mNumFrameTimes = 0;
  int mNextSample = 0;
  double mLastTimeMs = -1.0;
};

} // namespace iplug::igraphics
