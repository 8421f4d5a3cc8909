#include "RecordingGraphics.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace testsupport {

namespace {

constexpr float kCharWidth = 6.f;
constexpr float kLineHeight = 10.f;

std::string Lower(std::string s)
{
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

} // namespace

RecordingGraphics::RecordingGraphics(ig::IGEditorDelegate& dlg, int width, int height, float scale, int fps)
  : IGraphics(dlg, width, height, fps, scale)
{
}

RecordingGraphics::~RecordingGraphics()
{
  ++mLifetime->destroyed;
}

ig::IRectList RecordingGraphics::RunFrame()
{
  ig::IRectList rects;
  if (CollectDirtyAreas(rects))
  {
    MarkAllClean();
    DrawFrame(rects);
  }
  return rects;
}

std::vector<DrawCall> RecordingGraphics::Draws(const std::string& op) const
{
  std::vector<DrawCall> out;
  std::copy_if(mDraws.begin(), mDraws.end(), std::back_inserter(out), [&op](const DrawCall& d) { return d.op == op; });
  return out;
}

void RecordingGraphics::MouseDown(float x, float y, const ig::IMouseModifiers& mods)
{
  OnMouseDown({ig::IMouseEvent{x, y, 0.f, 0.f, mods}});
}

void RecordingGraphics::MouseDrag(float x, float y, float dX, float dY, const ig::IMouseModifiers& mods)
{
  OnMouseDrag({ig::IMouseEvent{x, y, dX, dY, mods}});
}

void RecordingGraphics::MouseUp(float x, float y, const ig::IMouseModifiers& mods)
{
  OnMouseUp({ig::IMouseEvent{x, y, 0.f, 0.f, mods}});
}

// --- backend ---

void RecordingGraphics::BeginFrame()
{
  ++mFramesBegun;
  IGraphics::BeginFrame();
}

void RecordingGraphics::Record(const std::string& op, const ig::IColor& color, const ig::IBlendInfo* blend)
{
  DrawCall call;
  call.op = op;
  call.clip = GetClipRect();
  call.bounds = mPathBounds;
  call.color = color;
  call.weight = ig::BlendWeight(blend);
  mDraws.push_back(call);
  PathClear();
}

void RecordingGraphics::DrawBitmap(const ig::IBitmap&, const ig::IRect& dest, int srcX, int srcY,
                                   const ig::IBlendInfo* blend)
{
  DrawCall call;
  call.op = "bitmap";
  call.clip = GetClipRect();
  call.bounds = dest;
  call.weight = ig::BlendWeight(blend);
  call.srcX = srcX;
  call.srcY = srcY;
  mDraws.push_back(call);
}

bool RecordingGraphics::BitmapExtSupported(const char* ext)
{
  const std::string e = Lower(ext ? ext : "");
  return e.find("png") != std::string::npos || e.find("jpg") != std::string::npos;
}

void RecordingGraphics::AddPathPoint(float x, float y)
{
  if (!mHasPath)
    mPathBounds = ig::IRect(x, y, x, y);
  else
    mPathBounds = {std::min(mPathBounds.L, x), std::min(mPathBounds.T, y), std::max(mPathBounds.R, x),
                   std::max(mPathBounds.B, y)};
  mHasPath = true;
}

void RecordingGraphics::PathArc(float cx, float cy, float r, float, float, ig::EWinding)
{
  // the whole circle's box: enough to see where an arc was drawn
  AddPathPoint(cx - r, cy - r);
  AddPathPoint(cx + r, cy + r);
}

void RecordingGraphics::PathCubicTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2)
{
  AddPathPoint(c1x, c1y);
  AddPathPoint(c2x, c2y);
  AddPathPoint(x2, y2);
}

void RecordingGraphics::PathQuadraticTo(float cx, float cy, float x2, float y2)
{
  AddPathPoint(cx, cy);
  AddPathPoint(x2, y2);
}

void RecordingGraphics::PathStroke(const ig::IPattern& pattern, float, const ig::IStrokeOptions&,
                                   const ig::IBlendInfo* blend)
{
  Record("stroke", pattern.FirstColor(), blend);
}

void RecordingGraphics::PathFill(const ig::IPattern& pattern, const ig::IFillOptions& options,
                                 const ig::IBlendInfo* blend)
{
  const ig::IRect kept = mPathBounds;
  Record("fill", pattern.FirstColor(), blend);
  if (options.preserve)
    mPathBounds = kept, mHasPath = true;
}

ig::APIBitmap* RecordingGraphics::LoadAPIBitmap(const char* name, const void*, int, int scale)
{
  mBitmapLoads.push_back(name);
  return new RecordingBitmap(name, 0, 0, static_cast<float>(scale));
}

ig::APIBitmap* RecordingGraphics::LoadAPIBitmap(const char* path, int scale, ig::EResourceLocation, const char*)
{
  mBitmapLoads.push_back(path);
  const auto it = mResources.find(Lower(path));
  const int w = it == mResources.end() ? 0 : it->second.width;
  const int h = it == mResources.end() ? 0 : it->second.height;
  return new RecordingBitmap(path, w, h, static_cast<float>(scale));
}

ig::APIBitmap* RecordingGraphics::CreateAPIBitmap(int width, int height, float scale, double drawScale)
{
  return new RecordingBitmap("", width, height, scale * static_cast<float>(drawScale));
}

bool RecordingGraphics::LoadAPIFont(const char* fontID, const ig::PlatformFontPtr&)
{
  mFontEvents.push_back(std::string("api ") + fontID);
  return mAPIFontAccepts;
}

float RecordingGraphics::DoMeasureText(const ig::ITextStyle&, const char* text, ig::IRect& bounds) const
{
  const float w = kCharWidth * static_cast<float>(std::strlen(text));
  bounds = ig::IRect(bounds.L, bounds.T, bounds.L + w, bounds.T + kLineHeight);
  return w;
}

void RecordingGraphics::DoDrawText(const ig::ITextStyle& style, const char* text, const ig::IRect& bounds,
                                   const ig::IBlendInfo* blend)
{
  DrawCall call;
  call.op = "text";
  call.clip = GetClipRect();
  call.bounds = bounds;
  call.color = style.mFGColor;
  call.weight = ig::BlendWeight(blend);
  call.text = text;
  mDraws.push_back(call);
}

// --- window ---

void RecordingGraphics::HideMouseCursor(bool hide, bool lock)
{
  mCursorHides.push_back({hide, lock});
  SetCursorHidden(hide);
}

ig::ECursor RecordingGraphics::SetMouseCursor(ig::ECursor cursor)
{
  mCursorsSet.push_back(cursor);
  return IGraphics::SetMouseCursor(cursor);
}

void* RecordingGraphics::OpenWindow(void* parent)
{
  mParent = parent;
  ++mOpenCount;
  mWindowOpen = true;
  GetDelegate()->LayoutEditor(this);
  MarkAllDirty();
  GetDelegate()->OnEditorOpened();
  return &mWindow;
}

void RecordingGraphics::CloseWindow()
{
  ++mCloseCount;
  ++mLifetime->windowsClosed;
  mWindowOpen = false;
  RemoveAllControls();
}

ig::PlatformFontPtr RecordingGraphics::LoadFontFromFile(const char* fontID, const char* fileNameOrResID)
{
  mFontEvents.push_back(std::string("file ") + fontID);
  if (!mFontFiles.count(fileNameOrResID))
    return nullptr;
  return std::make_unique<RecordingFont>(mLiveFonts);
}

void RecordingGraphics::CacheFontHandle(const char* fontID, const ig::PlatformFontPtr&)
{
  mFontEvents.push_back(std::string("cache ") + fontID);
}

void RecordingGraphics::OpenPlatformTextEntry(int paramIdx, const ig::ITextStyle& style, const ig::IRect& bounds,
                                              int maxLength, const char* text)
{
  mTextEntries.push_back({paramIdx, style, bounds, maxLength, text ? text : ""});
}

ig::IPopupMenu* RecordingGraphics::OpenPlatformMenu(ig::IPopupMenu& menu, const ig::IRect& bounds, bool& isAsync)
{
  MenuRequest request{menu.GetRootTitle(), {}, {}, bounds};
  for (int i = 0; i < menu.NumItems(); ++i)
  {
    request.items.emplace_back(menu.GetItem(i)->GetText());
    request.checked.push_back(menu.GetItem(i)->GetChecked());
  }
  mMenus.push_back(request);
  isAsync = mMenusAsync;
  if (mNextMenuChoice < 0 || mNextMenuChoice >= menu.NumItems())
    return nullptr;
  menu.SetChosenItemIdx(mNextMenuChoice);
  return &menu;
}

void RecordingGraphics::ResizeWindow(bool needsPlatformResize)
{
  mResizes.push_back({Width(), Height(), GetDrawScale(), needsPlatformResize});
}

ig::EResourceLocation RecordingGraphics::FindResourcePath(const char* name, const char*, std::string& path,
                                                          const char*)
{
  mResourceLookups.emplace_back(name);
  const auto it = mResources.find(Lower(name));
  if (it == mResources.end())
    return ig::eNotFound;
  path = Lower(name);
  return it->second.location;
}

// --- delegate ---

RecordingDelegate::RecordingDelegate() : IGEditorDelegate(kNumParams)
{
  GetParam(kGain)->DefineContinuous("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
  GetParam(kMode)->DefineChoice("Mode", 1, {"Low", "Mid", "High"});
  GetParam(kOn)->DefineSwitch("On", false);
  GetParam(kFreq)->DefineContinuous("Freq", 100.0, 0.0, 1000.0, 1.0, "Hz");
}

void RecordingDelegate::BeginUIParamChange(int paramIdx)
{
  mEvents.push_back("begin " + std::to_string(paramIdx));
}

void RecordingDelegate::SendUIParamValue(int paramIdx, double normalized)
{
  char text[64];
  std::snprintf(text, sizeof(text), "value %d %.3f", paramIdx, normalized);
  mEvents.emplace_back(text);
  IGEditorDelegate::SendUIParamValue(paramIdx, normalized);
}

void RecordingDelegate::EndUIParamChange(int paramIdx)
{
  mEvents.push_back("end " + std::to_string(paramIdx));
}

bool RecordingDelegate::RequestEditorResize(int width, int height, bool needsPlatformResize)
{
  mResizeRequests.push_back({width, height, needsPlatformResize});
  return mAcceptResize;
}

void RecordingDelegate::LayoutEditor(ig::IGraphics* graphics)
{
  ++mLayouts;
  IGEditorDelegate::LayoutEditor(graphics);
}

// --- test control ---

void TestControl::Log(const std::string& event)
{
  mEvents.push_back(event);
  if (mLog)
    mLog->push_back(mName + ": " + event);
}

void TestControl::Draw(ig::IGraphics& g)
{
  Log("draw");
  mDrawClips.push_back(g.GetClipRect());
  g.FillRect(mColor, mDrawRect, &mBlend);
}

void TestControl::OnMouseDown(float x, float y, const ig::IMouseModifiers& mods)
{
  Log("down");
  IControl::OnMouseDown(x, y, mods);
}

void TestControl::OnMouseUp(float, float, const ig::IMouseModifiers&) { Log("up"); }

void TestControl::OnMouseDrag(float x, float y, float dX, float dY, const ig::IMouseModifiers&)
{
  Log("drag " + std::to_string(static_cast<int>(dX)) + " " + std::to_string(static_cast<int>(dY)));
  if (mDragSetsValue)
    SetValueFromPoint(x, y, ig::eVertical, mDrawRect);
}

void TestControl::OnMouseDoubleClick(float x, float y, const ig::IMouseModifiers& mods)
{
  Log("double click");
  IControl::OnMouseDoubleClick(x, y, mods);
}

void TestControl::OnMouseWheel(float, float, const ig::IMouseModifiers&, float delta)
{
  Log("wheel " + std::to_string(static_cast<int>(delta)));
}

void TestControl::OnMouseHover(float x, float y, const ig::IMouseModifiers& mods)
{
  Log("hover");
  IControl::OnMouseHover(x, y, mods);
}

void TestControl::OnMouseLeave()
{
  if (mIsHovered)
    Log("leave");
  IControl::OnMouseLeave();
}

bool TestControl::OnKeyDown(float x, float y, const iplug::IKeyPress&)
{
  Log("key down");
  mKeyAt = {x, y};
  return mTakesKeys;
}

bool TestControl::OnKeyUp(float x, float y, const iplug::IKeyPress&)
{
  Log("key up");
  mKeyUpAt = {x, y};
  return mTakesKeys;
}

void TestControl::OnTouchCancel(float, float, const ig::IMouseModifiers&) { Log("touch cancel"); }

void TestControl::OnFileDrop(const char* path) { Log(std::string("drop ") + path); }

void TestControl::FillContextMenu(ig::IPopupMenu& menu)
{
  for (const std::string& item : mContextItems)
    menu.AddItem(item.c_str());
}

void TestControl::OnTextEntered(const char* text, int valIdx)
{
  Log("text " + std::string(text) + " " + std::to_string(valIdx));
}

} // namespace testsupport
