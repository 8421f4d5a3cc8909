#pragma once
// Film-strip drawing shared by the bitmap controls, and the plain bitmap control the
// context uses as the editor's background.
// [ui thread]
#include "IBitmap.h"
#include "IControl.h"

namespace iplug::igraphics {

// The frame (1-based) that value v in 0..1 shows of an n-frame strip.
int FrameForValue(double v, int numFrames);

class IBitmapBase
{
public:
  IBitmapBase(IControl& control, const IBitmap& bitmap) : mBitmap(bitmap), mControl(&control) {}
  virtual ~IBitmapBase() = default;
  IBitmapBase(const IBitmapBase&) = delete;
  IBitmapBase& operator=(const IBitmapBase&) = delete;

  // the frame for the control's value 0, centred in its draw rectangle
  void DrawBitmap(IGraphics& g);
  // the same strip for the present screen scale
  void ReloadForScale();
  const IBitmap& GetBitmap() const { return mBitmap; }

protected:
  IBitmap mBitmap;
  IControl* mControl;
};

class IBitmapControl : public IControl, public IBitmapBase
{
public:
  IBitmapControl(float x, float y, const IBitmap& bitmap, int paramIdx = kNoParameter);

  void Draw(IGraphics& g) override { DrawBitmap(g); }
  void OnScaleChanged() override { ReloadForScale(); }
};

} // namespace iplug::igraphics
