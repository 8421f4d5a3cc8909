#include "IBubbleControl.h"

#include <string>

#include "IGraphics.h"
#include "IPlugParameter.h"

namespace iplug::igraphics {

namespace {

constexpr float kShadowOffset = 2.f;
constexpr float kShadowBlur = 10.f;
inline constexpr IRect kMinContent{0.f, 0.f, 50.f, 20.f};
inline constexpr IRect kMinContentTall{0.f, 0.f, 50.f, 30.f};

void ShowValueBubble(IControl* caller, bool above, const IRect& minimumContent)
{
  IGraphics* g = caller ? caller->GetUI() : nullptr;
  const IParam* param = caller ? caller->GetParam() : nullptr;
  if (!g || !param)
    return;
  std::string text;
  param->FormatValueWithLabel(text, true);
  const IRect& r = caller->GetRECT();
  if (above)
    g->ShowBubbleControl(caller, r.MW(), r.T, text.c_str(), eVertical, minimumContent);
  else
    g->ShowBubbleControl(caller, r.R, r.MH(), text.c_str(), eHorizontal, minimumContent);
}

} // namespace

void BubbleAboveAction(IControl* caller) { ShowValueBubble(caller, true, kMinContent); }
void BubbleAboveTallAction(IControl* caller) { ShowValueBubble(caller, true, kMinContentTall); }
void BubbleBesideAction(IControl* caller) { ShowValueBubble(caller, false, kMinContent); }
void BubbleBesideTallAction(IControl* caller) { ShowValueBubble(caller, false, kMinContentTall); }

IBubbleControl::IBubbleControl(const ITextStyle& style, const IColor& fillColor, const IColor& strokeColor,
                               float roundness)
  : IControl(IRect()), mRoundness(roundness), mFillColor(fillColor), mStrokeColor(strokeColor)
{
  mTextStyle = style;
  mIsHidden = true;
  mIgnoresMouse = true;
  SetActionFunction([this](IControl*) { SetAnimation([this](IControl*) { Fade(); }, kBubbleFadeMs); });
  SetAnimationEndFunction([this](IControl*) {
    if (mFadeState == eShowing)
      SetAnimation([this](IControl*) { Fade(); }, kBubbleHoldMs);
  });
}

void IBubbleControl::Fade()
{
  const double p = AnimationProgress();
  const float peak = mMaxOpacity;
  if (p <= 1.0)
  {
    const float progress = static_cast<float>(p);
    mOpacity.weight = mFadeState == eFadingIn ? progress * peak : mFadeState == eFadingOut ? (1.f - progress) * peak : peak;
    return;
  }
  switch (mFadeState)
  {
    case eFadingIn:
      mOpacity.weight = peak;
      mFadeState = eShowing;
      EndAnimation();
      break;
    case eShowing:
      if (!(mGraphics && mCaller && mGraphics->ControlIsCaptured(mCaller)))
      {
        mOpacity.weight = peak;
        mFadeState = eFadingOut;
      }
      MarkDirty(true); // a new 200 ms period: keep holding, or fade out
      break;
    case eFadingOut:
      mOpacity.weight = 0.f;
      SetHidden(true);
      mFadeState = eHidden;
      mTouchId = 0;
      MarkDirty(false);
      EndAnimation();
      break;
    case eHidden:
      EndAnimation();
      break;
  }
}

void IBubbleControl::MeasureContent(const char* text, IRect& outBounds)
{
  if (mGraphics)
    mGraphics->MeasureText(mTextStyle, text, outBounds);
}

void IBubbleControl::ShowBubble(IControl* caller, float x, float y, const char* text, EDragDirection direction,
                                const IRect& minimumContent, uintptr_t touchId)
{
  if (!mGraphics || !caller)
    return;
  if (mMaxBounds.W() == 0.f)
    mMaxBounds = mGraphics->GetBounds();
  mDirection = direction;
  mTouchId = touchId;
  mText = text ? text : "";

  IRect content;
  MeasureContent(mText.c_str(), content);
  if (!minimumContent.Empty())
  {
    content.R = std::max(content.R, content.L + minimumContent.W());
    content.B = std::max(content.B, content.T + minimumContent.H());
  }
  const float width = content.W() + 2.f * (mShadowSize + mPadding);
  const float h = (content.H() + 2.f * mShadowSize) / 2.f;
  mBubbleBounds = {x, y - h, x + width, y + h};
  if (direction == eHorizontal)
    PlaceHorizontally(caller->GetRECT());
  else
    PlaceVertically(x, h, caller->GetRECT());

  // the union repaints where the bubble was
  mDrawRect = mDrawRect.Union(mBubbleBounds);
  mIsHovered = false;
  OnBoundsChanged();
  if (mFadeState == eHidden)
  {
    SetHidden(false);
    mFadeState = eFadingIn;
    MarkDirty(true);
  }
  if (caller != mCaller)
  {
    mDrawRect = mBubbleBounds;
    mGraphics->MarkAllDirty();
  }
  mCaller = caller;
}

void IBubbleControl::PlaceHorizontally(const IRect& caller)
{
  if (mBubbleBounds.R > mMaxBounds.R - mPadding - mShadowSize)
  {
    mBubbleBounds = mBubbleBounds.Translated(caller.L - mBubbleBounds.R, 0.f);
    mArrowDir = eArrowEast;
  }
  else
  {
    mArrowDir = eArrowWest;
  }
}

void IBubbleControl::PlaceVertically(float x, float h, const IRect& caller)
{
  mBubbleBounds = mBubbleBounds.Translated(x - mBubbleBounds.MW(), -h);
  mArrowDir = eArrowSouth;
  if (mBubbleBounds.T < mMaxBounds.T)
  {
    mBubbleBounds = mBubbleBounds.Translated(0.f, mBubbleBounds.H() + caller.H());
    mArrowDir = eArrowNorth;
  }
}

void IBubbleControl::Draw(IGraphics& g)
{
  const IRect area = mBubbleBounds.Padded(-mShadowSize);
  g.DrawFastDropShadow(area, mBubbleBounds, kShadowOffset, mRoundness, kShadowBlur, &mOpacity);
  DrawBubble(g, area);
  DrawContent(g, area);
}

void IBubbleControl::PathCallout(IGraphics& g, const IRect& a)
{
  const float r = mRoundness;
  const float half = mCalloutSize / 2.f;
  const float tip = mCalloutSize;
  g.PathClear();
  g.PathArc(a.L + r, a.T + r, r, 270.f, 360.f);
  if (mArrowDir == eArrowNorth)
  {
    g.PathLineTo(a.MW() - half, a.T);
    g.PathLineTo(a.MW(), a.T - tip);
    g.PathLineTo(a.MW() + half, a.T);
  }
  g.PathArc(a.R - r, a.T + r, r, 0.f, 90.f);
  if (mArrowDir == eArrowEast)
  {
    g.PathLineTo(a.R, a.MH() - half);
    g.PathLineTo(a.R + tip, a.MH());
    g.PathLineTo(a.R, a.MH() + half);
  }
  g.PathArc(a.R - r, a.B - r, r, 90.f, 180.f);
  if (mArrowDir == eArrowSouth)
  {
    g.PathLineTo(a.MW() + half, a.B);
    g.PathLineTo(a.MW(), a.B + tip);
    g.PathLineTo(a.MW() - half, a.B);
  }
  g.PathArc(a.L + r, a.B - r, r, 180.f, 270.f);
  if (mArrowDir == eArrowWest)
  {
    g.PathLineTo(a.L, a.MH() + half);
    g.PathLineTo(a.L - tip, a.MH());
    g.PathLineTo(a.L, a.MH() - half);
  }
  g.PathClose();
}

void IBubbleControl::DrawBubble(IGraphics& g, const IRect& area)
{
  PathCallout(g, area);
  g.PathFill(IPattern(mFillColor), IFillOptions{eFillRuleWinding, true}, &mOpacity);
  g.PathStroke(IPattern(mStrokeColor), mStrokeThickness, IStrokeOptions{}, &mOpacity);
}

void IBubbleControl::DrawContent(IGraphics& g, const IRect& area)
{
  if (!mText.empty())
    g.DrawText(mTextStyle, mText.c_str(), area, &mOpacity);
}

} // namespace iplug::igraphics
