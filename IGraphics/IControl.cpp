#include "IControl.h"

#include <array>
#include <chrono>
#include <cmath>

#include "IGraphics.h"
#include "IGraphicsEditorDelegate.h"
#include "IPlugParameter.h"
#include "IPopupMenu.h"

namespace iplug::igraphics {

namespace {

// by the host's colour index
constexpr std::array<IColor, 4> kHostHighlightColors = {kColorRed, kColorBlue, kColorGreen, kColorYellow};

constexpr double kPointQuantum = 0.001;
constexpr float kPromptWidth = 40.f;
constexpr float kPromptHeight = 16.f;

// A NaN reaching a control (a broken host value) would later index a film-strip frame
// with an undefined integer; it reads as 0 instead.
double ClampNormalized(double v)
{
  return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0);
}

} // namespace

const IColor* HostHighlightColor(int colorIndex)
{
  if (colorIndex < 0 || colorIndex >= static_cast<int>(kHostHighlightColors.size()))
    return nullptr;
  return &kHostHighlightColors[static_cast<size_t>(colorIndex)];
}

double SteadyClockMs()
{
  using Ms = std::chrono::duration<double, std::milli>;
  return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

IControl::IControl(const IRect& bounds, int paramIdx, IControlFunc actionFunc)
  : mDrawRect(bounds), mHitRect(bounds), mActionFunc(std::move(actionFunc)), mValues{IControlValue{paramIdx, 0.0}}
{
}

IControl::IControl(const IRect& bounds, std::initializer_list<int> paramIdxs, IControlFunc actionFunc)
  : mDrawRect(bounds), mHitRect(bounds), mActionFunc(std::move(actionFunc))
{
  for (int paramIdx : paramIdxs)
    mValues.push_back({paramIdx, 0.0});
}

IControl::IControl(const IRect& bounds, IControlFunc actionFunc) : IControl(bounds, kNoParameter, std::move(actionFunc)) {}

IControl::~IControl() = default;

// --- events ---

void IControl::OnMouseDown(float x, float y, const IMouseModifiers& mods)
{
  if (mods.R)
    OpenValueEditor(ValueIndexAt(x, y));
}

void IControl::OnMouseUp(float, float, const IMouseModifiers&) {}
void IControl::OnMouseDrag(float, float, float, float, const IMouseModifiers&) {}

void IControl::OnMouseDoubleClick(float x, float y, const IMouseModifiers&)
{
  OpenValueEditor(ValueIndexAt(x, y));
}

void IControl::OnMouseWheel(float, float, const IMouseModifiers&, float) {}
bool IControl::OnKeyDown(float, float, const IKeyPress&) { return false; }
bool IControl::OnKeyUp(float, float, const IKeyPress&) { return false; }

void IControl::OnMouseHover(float, float, const IMouseModifiers&)
{
  const bool was = mIsHovered;
  mIsHovered = true;
  if (!was)
    MarkDirty(false);
}

void IControl::OnMouseLeave()
{
  const bool was = mIsHovered;
  mIsHovered = false;
  if (was)
    MarkDirty(false);
}

void IControl::OnTouchCancel(float, float, const IMouseModifiers&) {}
void IControl::OnFileDrop(const char*) {}
void IControl::OnDelegateMessage(int, int, const void*) {}
void IControl::OnMidiMessage(const IMidiMessage&) {}

bool IControl::OnGesture(const IGestureEvent& gesture)
{
  const auto it = mGestureFuncs.find(gesture.type);
  if (it == mGestureFuncs.end())
    return false;
  mLastGesture = gesture.type;
  it->second(this, gesture);
  return true;
}

void IControl::FillContextMenu(IPopupMenu&) {}

void IControl::OnMenuChoice(IPopupMenu* menu, int valIdx)
{
  // the choice is normalised by the parameter of the value it is for
  const IParam* param = GetParam(valIdx);
  if (!menu || valIdx < 0 || !param || mPromptDisabled)
    return;
  CommitUserValue(param->RealToNormalized(static_cast<double>(menu->GetChosenItemIdx())), valIdx);
}

void IControl::OnTextEntered(const char*, int) {}
void IControl::OnContextMenuChoice(int) {}

// --- drawing ---

void IControl::DrawHostHighlight(IGraphics& g)
{
  if (mIsHighlighted)
    g.FillCircle(mHighlightColor, mDrawRect.R - kHighlightInset, mDrawRect.T + kHighlightInset, kHighlightRadius);
}

// --- values ---

void IControl::BindParam(int paramIdx, int valIdx)
{
  // a layout error must not throw through the host's editor-opening call
  if (!ValidIndex(valIdx))
    return;
  mValues[static_cast<size_t>(valIdx)].paramIdx = paramIdx;
  MarkDirty(false);
}

int IControl::ValueIndexAt(float, float) const
{
  return NumValues() == 1 ? 0 : kNoValIdx;
}

void IControl::ReceiveValue(double value, int valIdx)
{
  if (!ValidIndex(valIdx) || (mGraphics && mGraphics->ControlIsCaptured(this)))
    return;
  // a NaN on either side never compares equal, so it counts as a change
  if (!(mValues[static_cast<size_t>(valIdx)].value == value))
  {
    SetValue(value, valIdx);
    MarkDirty(false);
  }
}

void IControl::CommitUserValue(double value, int valIdx)
{
  if (!ValidIndex(valIdx))
    return;
  if (!(mValues[static_cast<size_t>(valIdx)].value == value))
  {
    SetValue(value, valIdx);
    MarkDirty(true, valIdx);
  }
}

void IControl::ResetToDefault(int valIdx)
{
  ForValues(valIdx, [this](int i) {
    if (const IParam* param = GetParam(i))
      SetValue(param->RealToNormalized(param->GetDefault()), i);
  });
  MarkDirty(true, valIdx);
}

void IControl::SetValue(double value, int valIdx)
{
  if (ValidIndex(valIdx))
    mValues[static_cast<size_t>(valIdx)].value = value;
}

double IControl::GetValue(int valIdx) const
{
  return ValidIndex(valIdx) ? mValues[static_cast<size_t>(valIdx)].value : 0.0;
}

int IControl::GetParamIdx(int valIdx) const
{
  return ValidIndex(valIdx) ? mValues[static_cast<size_t>(valIdx)].paramIdx : kNoParameter;
}

const IParam* IControl::GetParam(int valIdx) const
{
  const int paramIdx = GetParamIdx(valIdx);
  if (paramIdx < 0 || !mDelegate)
    return nullptr;
  return static_cast<const IGEditorDelegate*>(mDelegate)->GetParam(paramIdx);
}

// --- geometry and state ---

void IControl::MoveTo(float x, float y)
{
  x = std::max(x, 0.f);
  y = std::max(y, 0.f);
  const float dx = x - mDrawRect.L;
  const float dy = y - mDrawRect.T;
  mDrawRect = mDrawRect.Translated(dx, dy);
  mHitRect = mHitRect.Translated(dx, dy);
  mIsHovered = false;
  OnBoundsChanged();
}

void IControl::Resize(float w, float h)
{
  w = std::max(w, 0.f);
  h = std::max(h, 0.f);
  const IRect r = IRect::MakeXYWH(mDrawRect.L, mDrawRect.T, w, h);
  mDrawRect = r;
  mHitRect = r;
  mIsHovered = false;
  OnBoundsChanged();
}

void IControl::SetHidden(bool hidden)
{
  mIsHidden = hidden;
  MarkDirty(false);
}

void IControl::SetDisabled(bool disabled)
{
  mIsDisabled = disabled;
  mBlend.weight = disabled ? kDisabledBlendWeight : 1.f;
  MarkDirty(false);
}

void IControl::MarkDirty(bool notify, int valIdx)
{
  ForValues(valIdx, [this](int i) { SetValue(ClampNormalized(GetValue(i)), i); });
  mIsDirty = true;
  if (!notify)
    return;
  ForValues(valIdx, [this](int i) {
    const int paramIdx = GetParamIdx(i);
    if (paramIdx < 0)
      return;
    if (mDelegate)
      mDelegate->SendUIParamValue(paramIdx, GetValue(i));
    if (mGraphics)
      mGraphics->UpdatePeers(this, i);
  });
  if (mActionFunc)
    mActionFunc(this);
}

void IControl::SetValueFromPoint(float x, float y, EDragDirection direction, const IRect& area, int valIdx,
                                 double minValue, double maxValue)
{
  area.Constrain(x, y);
  double v = direction == eVertical ? 1.0 - (y - area.T) / area.H() : (x - area.L) / area.W();
  // std::round rounds halves away from zero
  v = std::round(v / kPointQuantum) * kPointQuantum;
  v = std::clamp(v, minValue, maxValue);
  ForValues(valIdx, [this, v](int i) { SetValue(v, i); });
  MarkDirty(true, valIdx);
}

void IControl::EndAnimation()
{
  mAnimationFunc = nullptr;
  MarkDirty(false);
  if (mAnimationEndFunc)
    mAnimationEndFunc(this);
}

// --- value editors ---

void IControl::OpenValueEditor(int valIdx)
{
  const IParam* param = valIdx < 0 ? nullptr : GetParam(valIdx);
  if (!param || mPromptDisabled)
    return;
  // enumerations pop up a menu over the control; anything else gets a small entry box
  const IRect area = param->DisplayTextCount() > 0 ? mDrawRect : mDrawRect.CentredInside(kPromptWidth, kPromptHeight);
  OpenValueEditor(area, valIdx);
  MarkDirty(false);
}

void IControl::OpenValueEditor(const IRect& area, int valIdx)
{
  if (valIdx < 0 || !GetParam(valIdx) || mPromptDisabled || !mGraphics)
    return;
  mGraphics->OpenValueEditor(this, area, valIdx);
}

// --- animation ---

void IControl::SetAnimation(IControlFunc func, double durationMs)
{
  mAnimationFunc = std::move(func);
  StartAnimation(durationMs);
}

void IControl::StartAnimation(double durationMs)
{
  mAnimationStart = SteadyClockMs();
  mAnimationDuration = durationMs;
}

double IControl::AnimationProgress() const
{
  if (!mAnimationFunc)
    return 0.0;
  return (SteadyClockMs() - mAnimationStart) / mAnimationDuration;
}

void IControl::Animate()
{
  if (mAnimationFunc)
    mAnimationFunc(this);
}

void IControl::AddGestureHandler(EGestureType type, IGestureFunc func)
{
  // an empty handler would throw from the dispatch
  if (func)
    mGestureFuncs[type] = std::move(func);
}

// --- highlight and rectangles ---

void IControl::SetHostHighlight(bool highlighted, int colorIndex)
{
  if (const IColor* color = HostHighlightColor(colorIndex))
    mHighlightColor = *color;
  mIsHighlighted = highlighted;
  MarkDirty(false);
}

void IControl::SetRECT(const IRect& r)
{
  mDrawRect = r;
}

void IControl::SetTargetAndDrawRECTs(const IRect& r)
{
  mDrawRect = r;
  mHitRect = r;
  mIsHovered = false;
  OnBoundsChanged();
}

} // namespace iplug::igraphics
