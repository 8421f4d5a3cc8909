#pragma once
// A floating rounded callout showing a value text beside the control being moved; it fades
// in over 200 ms, holds at least 1000 ms and while its caller is held, and fades out.
// [ui thread]
#include <string>

#include "IControl.h"

namespace iplug::igraphics {

enum EArrowDir : int32_t
{
  eArrowNorth = 0,
  eArrowEast,
  eArrowSouth,
  eArrowWest
};

enum EFadeState : int32_t
{
  eHidden = 0,
  eFadingIn,
  eShowing,
  eFadingOut
};

constexpr double kBubbleFadeMs = 200.0;
constexpr double kBubbleHoldMs = 1000.0;

class IBubbleControl : public IControl
{
public:
  IBubbleControl(const ITextStyle& style, const IColor& fillColor = kColorWhite,
                 const IColor& strokeColor = kColorBlack, float roundness = 5.f);

  void Draw(IGraphics& g) override;
  virtual void DrawContent(IGraphics& g, const IRect& area);
  virtual void DrawBubble(IGraphics& g, const IRect& area);
  virtual void MeasureContent(const char* text, IRect& outBounds);

  // (x, y) is the anchor beside the caller; minimumContent, when not empty, is the least content size
  void ShowBubble(IControl* caller, float x, float y, const char* text, EDragDirection direction,
                  const IRect& minimumContent, uintptr_t touchId = 0);
  uintptr_t GetTouchId() const { return mTouchId; }
  EFadeState GetFadeState() const { return mFadeState; }
  EArrowDir GetArrowDir() const { return mArrowDir; }
  float GetOpacity() const { return mOpacity.weight; }
  const IRect& GetBubbleBounds() const { return mBubbleBounds; }
  const char* GetText() const { return mText.c_str(); }
  void SetMaxBounds(const IRect& bounds) { mMaxBounds = bounds; }

private:
  void Fade();
  void PathCallout(IGraphics& g, const IRect& area);
  void PlaceHorizontally(const IRect& caller);
  void PlaceVertically(float x, float h, const IRect& caller);

  uintptr_t mTouchId = 0;
  EDragDirection mDirection = eHorizontal;
  IRect mMaxBounds;
  IRect mBubbleBounds;
  IControl* mCaller = nullptr;
  EArrowDir mArrowDir = eArrowWest;
  std::string mText;
  IBlendInfo mOpacity{eBlendSrcOver, 0.f};
  float mRoundness;
  float mShadowSize = 10.f;
  float mCalloutSize = 10.f;
  float mMaxOpacity = 0.95f;
  float mStrokeThickness = 2.f;
  float mPadding = 5.f;
  IColor mFillColor;
  IColor mStrokeColor;
  EFadeState mFadeState = eHidden;
};

// Action functions for layouts: the caller's value text in a bubble above or beside it.
void BubbleAboveAction(IControl* caller);
void BubbleAboveTallAction(IControl* caller);
void BubbleBesideAction(IControl* caller);
void BubbleBesideTallAction(IControl* caller);

} // namespace iplug::igraphics
