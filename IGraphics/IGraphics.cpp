#include "IGraphics.h"

#include <algorithm>
#include <cmath>

#include "Controls/IBitmapControl.h"
#include "Controls/IBubbleControl.h"
#include "Controls/ICornerResizerControl.h"
#include "Controls/IFPSDisplayControl.h"
#include "Controls/IPopupMenuControl.h"
#include "Controls/ITextEntryControl.h"
#include "IControl.h"
#include "IGraphicsEditorDelegate.h"

namespace iplug::igraphics {

// --- lifetime ---

IGraphics::IGraphics(IGEditorDelegate& dlg, int w, int h, int fps, float scale)
  : mWidth(w), mHeight(h), mFPS(fps), mDrawScale(scale), mMinScale(scale * kMinScaleFactor),
    mMaxScale(scale * kMaxScaleFactor), mDelegate(&dlg)
{
  SVGCache().Retain();
  BaseBitmapCache().Retain();
}

IGraphics::~IGraphics()
{
  // the window is gone: no cursor call may reach it
  mCursorHidden = false;
  RemoveAllControls();
  BaseBitmapCache().Release();
  SVGCache().Release();
}

// --- attaching ---

void IGraphics::BindControl(IControl& control)
{
  control.SetDelegate(*mDelegate);
  control.SetGraphics(this);
  control.OnDelegateBound();
  control.OnBoundsChanged();
  control.OnScaleChanged();
}

IControl* IGraphics::AttachControl(IControl* control, int tag, const char* group)
{
  if (!control || (tag >= 0 && mControlTags.count(tag)))
    return nullptr;
  if (tag >= 0)
    mControlTags[tag] = control;
  BindControl(*control);
  control->SetGroup(group);
  mControls.emplace_back(control);
  control->OnAttached();
  return control;
}

void IGraphics::AttachBackground(const char* fileName)
{
  const IBitmap bitmap = LoadBitmap(fileName, 1, false);
  auto background = std::make_unique<IBitmapControl>(0.f, 0.f, bitmap, kNoParameter);
  BindControl(*background);
  mControls.insert(mControls.begin(), std::move(background));
}

void IGraphics::AttachCornerResizer(EResizeMode mode, bool layoutOnResize, const IColor& color,
                                    const IColor& hoverColor, const IColor& dragColor, float size)
{
  if (mCornerResizer)
    return;
  mCornerResizer = std::make_unique<ICornerResizerControl>(GetBounds(), size, color, hoverColor, dragColor);
  mResizeMode = mode;
  mLayoutOnResize = layoutOnResize;
  BindControl(*mCornerResizer);
}

void IGraphics::AttachBubbleControl(const ITextStyle& style)
{
  auto bubble = std::make_unique<IBubbleControl>(style, kColorWhite, kColorBlack, kDefaultBubbleRoundness);
  BindControl(*bubble);
  mBubbles.push_back(std::move(bubble));
}

void IGraphics::AttachTextEntryControl()
{
  mTextEntryControl = std::make_unique<ITextEntryControl>();
  BindControl(*mTextEntryControl);
}

void IGraphics::AttachPopupMenuControl(const ITextStyle& style, const IRect& bounds)
{
  mPopupControl = std::make_unique<IPopupMenuControl>(style, bounds);
  BindControl(*mPopupControl);
}

void IGraphics::ShowFPSDisplay(bool enable)
{
  if (enable && !mPerfDisplay)
  {
    mPerfDisplay = std::make_unique<IFPSDisplayControl>(kFPSDisplayBounds, kFPSDisplayTitle);
    BindControl(*mPerfDisplay);
  }
  else if (!enable)
  {
    mPerfDisplay.reset();
  }
  MarkAllDirty();
}

void IGraphics::DeleteSpecialControls()
{
  mPopupControl.reset();
  mTextEntryControl.reset();
  mCornerResizer.reset();
  mPerfDisplay.reset();
  mBubbles.clear();
}

void IGraphics::RemoveAllControls()
{
  ReleaseMouseCapture();
  mMouseOver = nullptr;
  mMouseOverIdx = -1;
  // no editor may complete into a deleted control
  mInTextEntry = nullptr;
  mInPopupMenu = nullptr;
  DeleteSpecialControls();
  mControlTags.clear();
  mControls.clear();
}

// --- lookup and iteration ---

IControl* IGraphics::GetControl(int idx) const
{
  return idx >= 0 && idx < NumControls() ? mControls[static_cast<size_t>(idx)].get() : nullptr;
}

IControl* IGraphics::GetControlWithTag(int tag) const
{
  const auto it = mControlTags.find(tag);
  return it == mControlTags.end() ? nullptr : it->second;
}

int IGraphics::GetControlIdx(const IControl* control) const
{
  for (int i = 0; i < NumControls(); ++i)
    if (mControls[static_cast<size_t>(i)].get() == control)
      return i;
  return -1;
}

IBubbleControl* IGraphics::GetBubble(int i) const
{
  return i >= 0 && i < NumBubbles() ? mBubbles[static_cast<size_t>(i)].get() : nullptr;
}

void IGraphics::ForStandardControls(const std::function<void(IControl&)>& func)
{
  for (auto& control : mControls)
    func(*control);
}

void IGraphics::ForAllControls(const std::function<void(IControl&)>& func)
{
  ForStandardControls(func);
  IControl* specials[] = {mPerfDisplay.get(), mCornerResizer.get(), mTextEntryControl.get(), mPopupControl.get()};
  for (IControl* control : specials)
    if (control)
      func(*control);
  for (auto& bubble : mBubbles)
    func(*bubble);
}

void IGraphics::ForControlWithParam(int paramIdx, const std::function<void(IControl&)>& func)
{
  ForStandardControls([&](IControl& control) {
    for (int i = 0; i < control.NumValues(); ++i)
    {
      if (control.GetParamIdx(i) == paramIdx)
      {
        func(control);
        return;
      }
    }
  });
}

void IGraphics::MarkAllDirty()
{
  ForAllControls([](IControl& control) { control.MarkDirty(false); });
}

void IGraphics::MarkAllClean()
{
  ForAllControls([](IControl& control) { control.MarkClean(); });
}

void IGraphics::SetHostHighlight(int paramIdx, bool highlighted, int colorIndex)
{
  ForControlWithParam(paramIdx, [=](IControl& control) { control.SetHostHighlight(highlighted, colorIndex); });
}

// --- frame cycle ---

bool IGraphics::CollectDirtyAreas(IRectList& rects)
{
  if (mDisplayTickFunc)
    mDisplayTickFunc();
  ForAllControls([](IControl& control) { control.Animate(); });
  bool any = false;
  ForAllControls([&](IControl& control) {
    if (control.NeedsRedraw())
    {
      rects.Add(control.GetRECT().Padded(kDirtyPadding));
      any = true;
    }
  });
  return any;
}

void IGraphics::DrawFrame(const IRectList& rects)
{
  if (rects.Size() == 0)
    return;
  const float scale = GetBackingPixelScale();
  BeginFrame();
  if (mStrictDrawing)
  {
    DrawArea(rects.Bounds().PixelAligned(scale), scale);
  }
  else
  {
    IRectList areas = rects;
    areas.PixelAlign(scale);
    areas.Optimize();
    for (const IRect& area : areas)
      DrawArea(area, scale);
  }
  EndFrame();
}

void IGraphics::DrawArea(const IRect& area, float scale)
{
  int index = 0;
  ForAllControls([&](IControl& control) { DrawControl(control, index++, area, scale); });
}

void IGraphics::DrawControl(IControl& control, int index, const IRect& area, float scale)
{
  // the background is drawn even when hidden: it is what everything else is drawn over
  if (control.IsHidden() && index != 0)
    return;
  const IRect clip = area.Intersect(control.GetRECT().Padded(kDirtyPadding).PixelAligned(scale));
  if (clip.Empty() || !(clip.W() > 0.f) || !(clip.H() > 0.f))
    return;
  PathTransformReset();
  PathClear();
  PrepareRegion(clip);
  mClipRect = clip;
  control.Draw(*this);
  control.DrawHostHighlight(*this);
  CompleteRegion(clip);
}

void IGraphics::BeginFrame()
{
  if (mPerfDisplay)
    mPerfDisplay->Update(SteadyClockMs());
}

void IGraphics::OnViewInitialized(void*) {}
void IGraphics::OnViewDestroyed() {}
void IGraphics::EndFrame() {}
void IGraphics::CompleteRegion(const IRect&) {}

// --- size and scale ---

void IGraphics::RequestWindowResize(bool needsPlatformResize)
{
  const float windowScale = GetWindowScale();
  const int w = static_cast<int>(static_cast<float>(WindowWidth()) * windowScale);
  const int h = static_cast<int>(static_cast<float>(WindowHeight()) * windowScale);
  ResizeWindow(mDelegate->RequestEditorResize(w, h, needsPlatformResize));
}

void IGraphics::Resize(int w, int h, float scale, bool needsPlatformResize)
{
  // a scale from a broken drag (a division by a zero mouse-down point) is no size
  if (std::isnan(scale))
    return;
  w = std::clamp(w, mDelegate->GetMinWidth(), std::max(mDelegate->GetMinWidth(), mDelegate->GetMaxWidth()));
  h = std::clamp(h, mDelegate->GetMinHeight(), std::max(mDelegate->GetMinHeight(), mDelegate->GetMaxHeight()));
  scale = std::clamp(scale, mMinScale, mMaxScale);
  if (w == mWidth && h == mHeight && scale == mDrawScale)
    return;

  ReleaseMouseCapture();
  mDrawScale = scale;
  mWidth = w;
  mHeight = h;
  if (mCornerResizer)
    mCornerResizer->OnScaleChanged();
  RequestWindowResize(needsPlatformResize);
  ForAllControls([](IControl& control) { control.OnBoundsChanged(); });
  MarkAllDirty();
  ResizeDrawSurface();
  if (mLayoutOnResize)
    mDelegate->LayoutEditor(this);
}

void IGraphics::SetScreenScale(float scale)
{
  mScreenScale = scale;
  RequestWindowResize(true);
  ForAllControls([](IControl& control) { control.OnScaleChanged(); });
  MarkAllDirty();
  ResizeDrawSurface();
}

void IGraphics::ResizeWindow(bool) {}

void IGraphics::SetStrictDrawing(bool strict)
{
  mStrictDrawing = strict;
  MarkAllDirty();
}

void IGraphics::EnableTooltips(bool enable)
{
  mEnableTooltips = enable;
  if (enable)
    mEnableMouseOver = true;
}

void IGraphics::AttachGestureRecognizer(EGestureType type)
{
  if (std::find(mGestureTypes.begin(), mGestureTypes.end(), type) == mGestureTypes.end())
    mGestureTypes.push_back(type);
}

void IGraphics::AttachGestureRegion(const IRect& region, IGestureFunc func)
{
  if (!func)
    return;
  mGestureRegionFuncs[mGestureRegions.Size()] = std::move(func);
  mGestureRegions.Add(region);
}

// --- platform defaults: nothing is available without a window ---

ECursor IGraphics::SetMouseCursor(ECursor cursor)
{
  const ECursor previous = mCursorShape;
  mCursorShape = cursor;
  return previous;
}

bool IGraphics::ReadClipboardText(std::string& text)
{
  text.clear();
  return false;
}

bool IGraphics::WriteClipboardText(const char*) { return false; }

int IGraphics::ShowMessageDialog(const char*, const char*, int, IMsgBoxCompletionHandlerFunc) { return 0; }

void IGraphics::ChooseFile(std::string& fileName, std::string&, EFileAction, const char*,
                           IFileDialogCompletionHandlerFunc)
{
  fileName.clear();
}

void IGraphics::ChooseDirectory(std::string& directory, IFileDialogCompletionHandlerFunc)
{
  directory.clear();
}

bool IGraphics::ChooseColour(IColor&, const char*, IColorPickerHandlerFunc) { return false; }
bool IGraphics::OpenWebAddress(const char*, const char*, const char*, const char*) { return false; }
bool IGraphics::RevealPath(const char*, bool) { return false; }
void IGraphics::SetResourceModule(void*) {}
PlatformFontPtr IGraphics::LoadSystemFont(const char*, const char*, int) { return nullptr; }
PlatformFontPtr IGraphics::LoadFontFromMemory(const char*, const void*, int) { return nullptr; }
PlatformFontPtr IGraphics::LoadFontFromFile(const char*, const char*) { return nullptr; }
void IGraphics::CacheFontHandle(const char*, const PlatformFontPtr&) {}

EResourceLocation IGraphics::FindResourcePath(const char*, const char*, std::string& path, const char*)
{
  path.clear();
  return eNotFound;
}

} // namespace iplug::igraphics
