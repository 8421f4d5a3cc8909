#pragma once
// Base of every on-screen element of the editor: a drawing and a hit rectangle, a list of
// normalised values each optionally bound to a plug-in parameter, a text style, a blend,
// visibility and mouse flags, and the action, animation and animation-end callables.
// Operations taking a valIdx that may mean every value read 0 for a one-value control,
// and -1 as every value in index order.
// [ui thread]
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

#include "IGraphicsStructs.h"
#include "IGraphicsTypes.h"
#include "IPlugMidi.h"

namespace iplug {
class IParam;
}

namespace iplug::igraphics {

class IGraphics;
class IGEditorDelegate;
class IPopupMenu;

constexpr int kNoParameter = -1;
constexpr int kNoValIdx = -1; // as a valIdx: every value
constexpr float kHighlightRadius = 2.f;
constexpr float kHighlightInset = 5.f;
constexpr int kDefaultTextEntryLength = 7;

struct IControlValue
{
  int paramIdx = kNoParameter;
  double value = 0.0; // normalised 0..1
};

// The host's automation highlight colour for its colour index, or null for an unknown index.
const IColor* HostHighlightColor(int colorIndex);

class IControl
{
public:
  IControl(const IRect& bounds, int paramIdx = kNoParameter, IControlFunc actionFunc = nullptr);
  // one value per parameter index, each 0.0
  IControl(const IRect& bounds, std::initializer_list<int> paramIdxs, IControlFunc actionFunc = nullptr);
  // one unbound value
  IControl(const IRect& bounds, IControlFunc actionFunc);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  // --- events from the context ---
  // right button: opens the value editor for the value under the point
  virtual void OnMouseDown(float x, float y, const IMouseModifiers& mods);
  virtual void OnMouseUp(float x, float y, const IMouseModifiers& mods);
  virtual void OnMouseDrag(float x, float y, float dX, float dY, const IMouseModifiers& mods);
  virtual void OnMouseDoubleClick(float x, float y, const IMouseModifiers& mods);
  virtual void OnMouseWheel(float x, float y, const IMouseModifiers& mods, float delta);
  // true when the key was used
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key);
  virtual void OnMouseHover(float x, float y, const IMouseModifiers& mods);
  virtual void OnMouseLeave();
  virtual void OnTouchCancel(float x, float y, const IMouseModifiers& mods);
  virtual void OnFileDrop(const char* path);
  virtual void OnScaleChanged() {}
  virtual void OnBoundsChanged() {}
  virtual void OnDelegateBound() {}
  virtual void OnAttached() {}
  virtual void OnDelegateMessage(int msgTag, int dataSize, const void* data);
  virtual void OnMidiMessage(const IMidiMessage& msg);
  // false when no handler is registered for the gesture's type
  virtual bool OnGesture(const IGestureEvent& gesture);
  virtual void FillContextMenu(IPopupMenu& menu);
  // menu is null when nothing was chosen
  virtual void OnMenuChoice(IPopupMenu* menu, int valIdx);
  virtual void OnTextEntered(const char* text, int valIdx);
  virtual void OnContextMenuChoice(int itemIndex);

  // --- drawing ---
  virtual void Draw(IGraphics& g) = 0;
  virtual void DrawHostHighlight(IGraphics& g);

  // --- values ---
  // an index outside the value list binds nothing
  virtual void BindParam(int paramIdx, int valIdx = 0);
  // 0 with exactly one value, else -1
  virtual int ValueIndexAt(float x, float y) const;
  // a value from the plug-in; ignored while any pointer holds the control
  virtual void ReceiveValue(double value, int valIdx = 0);
  // a value the user chose in a menu or typed: stored and notified when it differs
  virtual void CommitUserValue(double value, int valIdx = 0);
  virtual void ResetToDefault(int valIdx = kNoValIdx);
  // stores the value; no redraw, no notification
  virtual void SetValue(double value, int valIdx = 0);
  virtual void SetTextStyle(const ITextStyle& style) { mTextStyle = style; }

  // --- geometry and state ---
  virtual void MoveTo(float x, float y);
  virtual void Resize(float w, float h);
  virtual void SetHidden(bool hidden);
  virtual void SetDisabled(bool disabled);
  virtual bool HitTest(float x, float y) const { return mHitRect.Contains(x, y); }
  // clamps the chosen values to 0..1; notify sends them to the delegate and the peers
  virtual void MarkDirty(bool notify = true, int valIdx = kNoValIdx);
  virtual void MarkClean() { mIsDirty = false; }
  virtual bool NeedsRedraw() const { return mAnimationFunc ? true : mIsDirty; }
  virtual void OnIdle() {}
  // the point's position in area, quantised to 0.001, becomes the chosen values
  virtual void SetValueFromPoint(float x, float y, EDragDirection direction, const IRect& area,
                                 int valIdx = kNoValIdx, double minValue = 0.0, double maxValue = 1.0);
  virtual void EndAnimation();

  // --- values, non-virtual ---
  int NumValues() const { return static_cast<int>(mValues.size()); }
  // 0 for an index outside the list
  double GetValue(int valIdx = 0) const;
  // kNoParameter when unbound or outside the list
  int GetParamIdx(int valIdx = 0) const;
  // null when unbound, detached or the index is outside the delegate's parameters
  const IParam* GetParam(int valIdx = 0) const;
  bool IsBound(int valIdx) const { return GetParamIdx(valIdx) >= 0; }

  // --- value editors ---
  // a popup menu over the control for enumerations, else a small text entry at its centre
  void OpenValueEditor(int valIdx);
  void OpenValueEditor(const IRect& area, int valIdx);

  // --- callables and animation (steady clock, milliseconds) ---
  void SetActionFunction(IControlFunc func) { mActionFunc = std::move(func); }
  void SetAnimationEndFunction(IControlFunc func) { mAnimationEndFunc = std::move(func); }
  void SetAnimation(IControlFunc func) { mAnimationFunc = std::move(func); }
  void SetAnimation(IControlFunc func, double durationMs);
  void StartAnimation(double durationMs);
  // 0 without an animation function; exceeds 1 once the duration has passed
  double AnimationProgress() const;
  void Animate();
  bool IsAnimating() const { return static_cast<bool>(mAnimationFunc); }
  const IControlFunc& GetActionFunction() const { return mActionFunc; }

  // an empty handler is not registered
  void AddGestureHandler(EGestureType type, IGestureFunc func);
  bool WantsGestures() const { return !mGestureFuncs.empty() && !mAnimationFunc; }
  EGestureType GetLastGesture() const { return mLastGesture; }

  // --- host automation highlight ---
  void SetHostHighlight(bool highlighted, int colorIndex);
  bool GetHostHighlighted() const { return mIsHighlighted; }
  const IColor& GetHighlightColor() const { return mHighlightColor; }

  // --- plain accessors ---
  const IRect& GetRECT() const { return mDrawRect; }
  const IRect& GetHitRect() const { return mHitRect; }
  void SetRECT(const IRect& r);
  void SetHitRect(const IRect& r) { mHitRect = r; }
  // both rectangles at once: clears hover and tells the control
  void SetTargetAndDrawRECTs(const IRect& r);
  const char* GetGroup() const { return mGroup.c_str(); }
  void SetGroup(const char* group) { mGroup = group ? group : ""; }
  const char* GetTooltip() const { return mTooltip.c_str(); }
  void SetTooltip(const char* tooltip) { mTooltip = tooltip ? tooltip : ""; }
  const ITextStyle& GetTextStyle() const { return mTextStyle; }
  const IBlendInfo& GetBlend() const { return mBlend; }
  int GetTextEntryLength() const { return mTextEntryLength; }
  void SetTextEntryLength(int length) { mTextEntryLength = length; }
  bool IsDirty() const { return mIsDirty; }
  bool IsHidden() const { return mIsHidden; }
  bool IsDisabled() const { return mIsDisabled; }
  bool GetPromptDisabled() const { return mPromptDisabled; }
  void SetPromptDisabled(bool disabled) { mPromptDisabled = disabled; }
  bool GetDoubleClickAsDown() const { return mDoubleClickAsDown; }
  void SetDoubleClickAsDown(bool asDown) { mDoubleClickAsDown = asDown; }
  bool GetHoverWhenDisabled() const { return mHoverWhenDisabled; }
  void SetHoverWhenDisabled(bool hover) { mHoverWhenDisabled = hover; }
  bool GetMouseWhenDisabled() const { return mMouseWhenDisabled; }
  void SetMouseWhenDisabled(bool mouse) { mMouseWhenDisabled = mouse; }
  bool GetIgnoresMouse() const { return mIgnoresMouse; }
  void SetIgnoresMouse(bool ignores) { mIgnoresMouse = ignores; }
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool wants) { mWantsMidi = wants; }
  bool GetWantsMultiTouch() const { return mWantsMultiTouch; }
  void SetWantsMultiTouch(bool wants) { mWantsMultiTouch = wants; }
  bool GetPromptShowsUnit() const { return mPromptShowsUnit; }
  void SetPromptShowsUnit(bool shows) { mPromptShowsUnit = shows; }
  bool GetMouseIsOver() const { return mIsHovered; }
  // Ctrl or Shift: the fine adjustment of knobs and sliders
  static bool IsFineAdjust(const IMouseModifiers& mods) { return mods.C || mods.S; }

  // set when the control is attached to a context
  void SetDelegate(IGEditorDelegate& dlg) { mDelegate = &dlg; }
  void SetGraphics(IGraphics* graphics) { mGraphics = graphics; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }
  IGraphics* GetUI() const { return mGraphics; }

protected:
  bool ValidIndex(int valIdx) const { return valIdx >= 0 && valIdx < NumValues(); }
  // a one-value control reads every index as 0
  int NormalizedIndex(int valIdx) const { return NumValues() == 1 ? 0 : valIdx; }
  // calls func(index) for the chosen value, or every value for -1
  template <class F>
  void ForValues(int valIdx, F&& func)
  {
    valIdx = NormalizedIndex(valIdx);
    if (valIdx == kNoValIdx)
    {
      for (int i = 0; i < NumValues(); ++i)
        func(i);
    }
    else if (ValidIndex(valIdx))
    {
      func(valIdx);
    }
  }

  IRect mDrawRect;
  IRect mHitRect;
  std::string mGroup;
  ITextStyle mTextStyle;
  IBlendInfo mBlend;
  int mTextEntryLength = kDefaultTextEntryLength;
  bool mIsDirty = true;
  bool mIsHidden = false;
  bool mIsDisabled = false;
  bool mPromptDisabled = true;
  bool mDoubleClickAsDown = false;
  bool mHoverWhenDisabled = false;
  bool mMouseWhenDisabled = false;
  bool mIgnoresMouse = false;
  bool mWantsMidi = false;
  bool mWantsMultiTouch = false;
  bool mPromptShowsUnit = false;
  bool mIsHovered = false;
  std::string mTooltip;
  IColor mHighlightColor = kColorRed;
  bool mIsHighlighted = false;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  IControlFunc mActionFunc;
  IControlFunc mAnimationEndFunc;
  IControlFunc mAnimationFunc;
  double mAnimationStart = 0.0;
  double mAnimationDuration = 0.0;
  std::vector<IControlValue> mValues;
  std::unordered_map<int, IGestureFunc> mGestureFuncs;
  EGestureType mLastGesture = eGestureUnknown;
};

// Milliseconds of the steady clock, the animation clock.
double SteadyClockMs();

} // namespace iplug::igraphics
