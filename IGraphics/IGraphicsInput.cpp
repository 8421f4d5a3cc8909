// Pointer, key, touch and gesture dispatch of the graphics context, and the value editors.
#include <algorithm>
#include <cstdio>
#include <string>

#include "Controls/IBubbleControl.h"
#include "Controls/ICornerResizerControl.h"
#include "Controls/IFPSDisplayControl.h"
#include "Controls/IPopupMenuControl.h"
#include "Controls/ITextEntryControl.h"
#include "IControl.h"
#include "IGraphics.h"
#include "IGraphicsEditorDelegate.h"
#include "IPlugParameter.h"

namespace iplug::igraphics {

namespace {

uint32_t HostModifiers(const IMouseModifiers& mods)
{
  uint32_t bits = 0;
  if (mods.S)
    bits |= kHostModifierShift;
  if (mods.A)
    bits |= kHostModifierAlt;
  if (mods.C)
    bits |= kHostModifierCtrl;
  if (mods.R)
    bits |= kHostModifierRightButton;
  return bits;
}

bool AcceptsPointer(const IControl& control, bool hover)
{
  if (control.IsHidden() || control.GetIgnoresMouse())
    return false;
  if (control.IsDisabled())
    return hover ? control.GetHoverWhenDisabled() : control.GetMouseWhenDisabled();
  return true;
}

// round-robin choice of a bubble for a new touch, shared by every context of the process
int gBubbleCounter = 0;

} // namespace

// --- hit search and capture ---

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool hover, uintptr_t touchId)
{
  if (const auto it = mCaptured.find(touchId); it != mCaptured.end())
    return it->second;

  IControl* found = nullptr;
  int foundIdx = -1;
  if (mPopupControl && mPopupControl->GetExpanded())
    found = mPopupControl.get();
  else if (mTextEntryControl && mTextEntryControl->GetEditing())
    found = mTextEntryControl.get();
  else if (mCornerResizer && mCornerResizer->GetRECT().Contains(x, y))
    found = mCornerResizer.get();
  else if (mPerfDisplay && mPerfDisplay->GetRECT().Contains(x, y))
    found = mPerfDisplay.get();
  else if (!hover || mEnableMouseOver)
  {
    // the background (index 0) never gets hover
    const int lowest = hover ? 1 : 0;
    for (int i = NumControls() - 1; i >= lowest; --i)
    {
      IControl& control = *mControls[static_cast<size_t>(i)];
      if (AcceptsPointer(control, hover) && control.HitTest(x, y))
      {
        found = &control;
        foundIdx = i;
        break;
      }
    }
  }

  if (capture && found)
  {
    if (mEnableMultiTouch && ControlIsCaptured(found) && !found->GetWantsMultiTouch())
      return nullptr;
    mCaptured[touchId] = found;
  }
  if (hover)
    mMouseOverIdx = foundIdx;
  return found;
}

void IGraphics::ReleaseMouseCapture()
{
  mCaptured.clear();
  if (mCursorHidden)
    HideMouseCursor(false, true);
}

bool IGraphics::ControlIsCaptured(const IControl* control) const
{
  return std::any_of(mCaptured.begin(), mCaptured.end(), [control](const auto& entry) { return entry.second == control; });
}

std::vector<uintptr_t> IGraphics::GetTouches(const IControl* control) const
{
  std::vector<uintptr_t> touches;
  for (const auto& [touchId, captured] : mCaptured)
    if (captured == control)
      touches.push_back(touchId);
  return touches;
}

// --- parameter gestures towards the host ---

void IGraphics::BeginGestures(IControl& control)
{
  for (int i = 0; i < control.NumValues(); ++i)
  {
    const int paramIdx = control.GetParamIdx(i);
    if (paramIdx < 0)
      continue;
    mOpenGestures.push_back(paramIdx);
    mDelegate->BeginUIParamChange(paramIdx);
  }
}

void IGraphics::EndGestures(IControl& control)
{
  for (int i = 0; i < control.NumValues(); ++i)
  {
    const int paramIdx = control.GetParamIdx(i);
    const auto open = std::find(mOpenGestures.begin(), mOpenGestures.end(), paramIdx);
    if (paramIdx < 0 || open == mOpenGestures.end())
      continue;
    mOpenGestures.erase(open);
    mDelegate->EndUIParamChange(paramIdx);
  }
}

bool IGraphics::HasOpenGestures(const IControl& control) const
{
  for (int i = 0; i < control.NumValues(); ++i)
    if (std::find(mOpenGestures.begin(), mOpenGestures.end(), control.GetParamIdx(i)) != mOpenGestures.end())
      return true;
  return false;
}

// --- pointer events ---

bool IGraphics::OfferMouseDownToHost(IControl& control, int paramIdx, const IMouseModifiers& mods)
{
  (void)control;
  if (!mViewContainer || paramIdx < 0)
    return false;
  const uint32_t modifiers = HostModifiers(mods) | mViewContainer->GetModifiers();
  char paramID[16];
  std::snprintf(paramID, sizeof(paramID), "%i", paramIdx + 1);
  return mViewContainer->HandleParameterMouseDown(paramID, modifiers);
}

void IGraphics::OnMouseDown(const std::vector<IMouseEvent>& events)
{
  if (events.size() == 1)
  {
    mMouseDownX = events[0].x;
    mMouseDownY = events[0].y;
  }
  for (const IMouseEvent& e : events)
  {
    IControl* control = GetMouseControl(e.x, e.y, true, false, e.mods.touchId);
    if (!control)
      continue;
    const int valIdx = control->ValueIndexAt(e.x, e.y);
    const int paramIdx = control->GetParamIdx(std::max(valIdx, 0));
    if (OfferMouseDownToHost(*control, paramIdx, e.mods))
    {
      ReleaseMouseCapture();
      return;
    }
    if (e.mods.R && paramIdx >= 0)
    {
      ReleaseMouseCapture();
      PopupHostContextMenuForParam(control, paramIdx, e.x, e.y);
      return;
    }
    BeginGestures(*control);
    control->OnMouseDown(e.x, e.y, e.mods);
  }
}

void IGraphics::OnMouseUp(const std::vector<IMouseEvent>& events)
{
  for (const IMouseEvent& e : events)
  {
    const auto it = mCaptured.find(e.mods.touchId);
    if (it == mCaptured.end())
      continue;
    IControl* control = it->second;
    control->OnMouseUp(e.x, e.y, e.mods);
    EndGestures(*control);
    mCaptured.erase(e.mods.touchId);
  }

  if (mResizingInProcess)
  {
    mResizingInProcess = false;
    if (mResizeMode == eResizeScale)
    {
      ForAllControls([](IControl& control) { control.OnScaleChanged(); });
      MarkAllDirty();
    }
  }

  if (events.size() == 1 && events[0].mods.touchId == 0)
    UpdateHover(events[0].x, events[0].y, events[0].mods);
}

void IGraphics::OnMouseDrag(const std::vector<IMouseEvent>& events)
{
  if (mResizingInProcess && events.size() == 1)
  {
    const IMouseEvent& e = events[0];
    if (mResizeMode == eResizeScale)
      Resize(mWidth, mHeight, std::min(mDrawScale * e.x / mMouseDownX, mDrawScale * e.y / mMouseDownY));
    else
      Resize(static_cast<int>(e.x), static_cast<int>(e.y), mDrawScale);
    return;
  }

  const bool drawnEntryOpen = mTextEntryControl && mTextEntryControl->GetEditing();
  const bool platformEntryOpen = mInTextEntry && !mTextEntryControl;
  if (mCaptured.empty() || platformEntryOpen)
    return;
  for (const IMouseEvent& e : events)
  {
    const auto it = mCaptured.find(e.mods.touchId);
    if (it == mCaptured.end())
      continue;
    IControl* control = it->second;
    if (drawnEntryOpen && control != mTextEntryControl.get())
      continue;
    if (e.dX != 0.f || e.dY != 0.f)
      control->OnMouseDrag(e.x, e.y, e.dX, e.dY, e.mods);
  }
}

bool IGraphics::OnMouseDoubleClick(float x, float y, const IMouseModifiers& mods)
{
  IControl* control = GetMouseControl(x, y, true, false, mods.touchId);
  if (!control)
    return false;
  if (control->GetDoubleClickAsDown())
  {
    OnMouseDown({IMouseEvent{x, y, 0.f, 0.f, mods}});
  }
  else
  {
    control->OnMouseDoubleClick(x, y, mods);
    ReleaseMouseCapture();
  }
  return true;
}

void IGraphics::UpdateHover(float x, float y, const IMouseModifiers& mods)
{
  IControl* control = GetMouseControl(x, y, false, true);
  if (control != mMouseOver)
  {
    if (mMouseOver)
      mMouseOver->OnMouseLeave();
    mMouseOver = control;
  }
  if (control)
    control->OnMouseHover(x, y, mods);
}

bool IGraphics::OnMouseHover(float x, float y, const IMouseModifiers& mods)
{
  UpdateHover(x, y, mods);
  return mMouseOver != nullptr;
}

void IGraphics::OnMouseLeave()
{
  mCursorShape = SetMouseCursor(eCursorArrow);
  ForAllControls([](IControl& control) { control.OnMouseLeave(); });
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
}

void IGraphics::OnMouseWheel(float x, float y, const IMouseModifiers& mods, float delta)
{
  if (IControl* control = GetMouseControl(x, y, false))
    control->OnMouseWheel(x, y, mods, delta);
}

void IGraphics::OnFileDrop(const char* path, float x, float y)
{
  if (IControl* control = GetMouseControl(x, y, false))
    control->OnFileDrop(path);
}

// --- keys, touches, gestures, idle ---

bool IGraphics::DispatchKey(float x, float y, const IKeyPress& key, bool isUp)
{
  IControl* control = GetMouseControl(x, y, false);
  bool handled = false;
  if (control && control != GetControl(0))
    handled = isUp ? control->OnKeyUp(x, y, key) : control->OnKeyDown(x, y, key);
  if (!handled && mKeyHandlerFunc)
    handled = mKeyHandlerFunc(key, isUp);
  return handled;
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) { return DispatchKey(x, y, key, false); }
bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key) { return DispatchKey(x, y, key, true); }

void IGraphics::OnTouchCancel(const std::vector<IMouseEvent>& events)
{
  for (const IMouseEvent& e : events)
  {
    const auto it = mCaptured.find(e.mods.touchId);
    if (it == mCaptured.end())
      continue;
    IControl* control = it->second;
    control->OnTouchCancel(e.x, e.y, e.mods);
    // a cancelled touch ends its parameter gesture like a release would
    EndGestures(*control);
    mCaptured.erase(it);
  }
}

void IGraphics::OnGestureRecognized(const IGestureEvent& gesture)
{
  IControl* control = GetMouseControl(gesture.x, gesture.y, false);
  if (control && control->WantsGestures())
  {
    control->OnGesture(gesture);
    return;
  }
  for (int i = 0; i < mGestureRegions.Size(); ++i)
  {
    if (!mGestureRegions.Get(i).Contains(gesture.x, gesture.y))
      continue;
    if (const auto it = mGestureRegionFuncs.find(i); it != mGestureRegionFuncs.end())
      it->second(nullptr, gesture);
    return;
  }
}

void IGraphics::OnIdle()
{
  ForAllControls([](IControl& control) { control.OnIdle(); });
}

// --- value editors ---

void IGraphics::OpenValueEditor(IControl* control, const IRect& bounds, int valIdx)
{
  const IParam* param = control ? control->GetParam(valIdx) : nullptr;
  if (!param)
    return;
  const bool asMenu =
    param->GetKind() == eKindEnum || (param->GetKind() == eKindBool && param->DisplayTextCount() > 0);
  if (asMenu)
  {
    std::string current;
    param->FormatValue(param->RealValue(), false, current, true);
    mPromptMenu.Clear();
    for (int i = 0; i < param->DisplayTextCount(); ++i)
    {
      const char* text = param->DisplayTextAt(i);
      IPopupMenu::Item* item = mPromptMenu.AddItem(text);
      item->SetChecked(current == text);
    }
    mPromptMenu.SetRootTitle(param->Name());
    CreatePopupMenu(*control, mPromptMenu, bounds, valIdx);
    return;
  }
  std::string text;
  param->FormatValue(param->RealValue(), false, text, false);
  if (control->GetPromptShowsUnit())
    text.append(" ").append(param->UnitLabel());
  CreateTextEntry(*control, control->GetTextStyle(), bounds, text.c_str(), valIdx);
}

void IGraphics::CreateTextEntry(IControl& control, const ITextStyle& style, const IRect& bounds, const char* text,
                                int valIdx)
{
  mInTextEntry = &control;
  mTextEntryValIdx = valIdx;
  const int paramIdx = valIdx >= 0 ? control.GetParamIdx(valIdx) : kNoParameter;
  if (mTextEntryControl)
    mTextEntryControl->CreateTextEntry(paramIdx, style, bounds, control.GetTextEntryLength(), text);
  else
    OpenPlatformTextEntry(paramIdx, style, bounds, control.GetTextEntryLength(), text);
  control.MarkDirty(false);
}

void IGraphics::CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds, int valIdx, bool isContext)
{
  ReleaseMouseCapture();
  mInPopupMenu = &control;
  mPopupMenuValIdx = valIdx;
  mIsContextMenu = isContext;
  if (mPopupControl)
  {
    mPopupControl->CreatePopupMenu(menu, bounds);
    return;
  }
  bool isAsync = false;
  IPopupMenu* result = OpenPlatformMenu(menu, bounds, isAsync);
  if (!isAsync)
    CompleteMenu(result);
}

void IGraphics::CompleteTextEntry(const char* text)
{
  IControl* control = mInTextEntry;
  if (!control)
    return;
  mInTextEntry = nullptr;
  const int valIdx = mTextEntryValIdx;
  if (const IParam* param = control->GetParam(valIdx))
  {
    // a typed change is a user change of its own: the host sees it inside a gesture
    const double value = param->RealToNormalized(param->ParseValue(text ? text : ""));
    const bool bracket = control->GetValue(valIdx) != value && !HasOpenGestures(*control);
    if (bracket)
      BeginGestures(*control);
    control->CommitUserValue(value, valIdx);
    if (bracket)
      EndGestures(*control);
  }
  else
  {
    control->OnTextEntered(text ? text : "", valIdx);
  }
}

void IGraphics::CompleteMenu(IPopupMenu* menu)
{
  IControl* control = mInPopupMenu;
  if (!control)
    return;
  mInPopupMenu = nullptr;
  if (mIsContextMenu)
  {
    control->OnContextMenuChoice(menu ? menu->GetChosenItemIdx() : -1);
    return;
  }
  IPopupMenu* chosen = menu && menu->GetChosenItemIdx() != -1 ? menu : nullptr;
  // a choice from a menu opened without a press (a double click) still comes in a gesture;
  // a control with prompts off takes no choice, so none is begun for it
  if (chosen && !control->GetPromptDisabled() && !HasOpenGestures(*control))
    BeginGestures(*control);
  control->OnMenuChoice(chosen, mPopupMenuValIdx);
  EndGestures(*control);
}

void IGraphics::PopupHostContextMenuForParam(IControl* control, int, float x, float y)
{
  if (!control)
    return;
  mPromptMenu.Clear();
  control->FillContextMenu(mPromptMenu);
  if (mPromptMenu.NumItems() > 0)
    CreatePopupMenu(*control, mPromptMenu, IRect(x, y, x, y), -1, true);
}

void IGraphics::UpdatePeers(IControl* caller, int valIdx)
{
  if (!caller)
    return;
  const double value = caller->GetValue(valIdx);
  const int paramIdx = caller->GetParamIdx(valIdx);
  if (paramIdx < 0)
    return;
  ForStandardControls([&](IControl& control) {
    if (&control == caller)
      return;
    for (int i = 0; i < control.NumValues(); ++i)
    {
      if (control.GetParamIdx(i) == paramIdx)
      {
        control.ReceiveValue(value, i);
        return;
      }
    }
  });
}

void IGraphics::ShowBubbleControl(IControl* caller, float x, float y, const char* text, EDragDirection direction,
                                  const IRect& minimumContent)
{
  if (mBubbles.empty())
    return;
  if (!mEnableMultiTouch)
  {
    mBubbles[0]->ShowBubble(caller, x, y, text, direction, minimumContent, 0);
    return;
  }
  const std::vector<uintptr_t> touches = GetTouches(caller);
  if (touches.size() != 1)
    return;
  const uintptr_t touchId = touches[0];
  for (auto& bubble : mBubbles)
  {
    if (bubble->GetTouchId() == touchId)
    {
      bubble->ShowBubble(caller, x, y, text, direction, minimumContent, touchId);
      return;
    }
  }
  const int n = NumBubbles();
  IBubbleControl& bubble = *mBubbles[static_cast<size_t>(gBubbleCounter % n)];
  gBubbleCounter = (gBubbleCounter + 1) % n;
  bubble.ShowBubble(caller, x, y, text, direction, minimumContent, touchId);
}

} // namespace iplug::igraphics
