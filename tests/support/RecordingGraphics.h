#pragma once
// A graphics context without a screen: the backend and window operations record what they
// were asked (draw calls with their clip, text entries, menus, cursor calls, resource
// lookups, window resizes) and answer from tables the test fills. Its "window" opens the
// way the real one does: layout, everything dirty, then the opened notification.
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"
#include "IGraphicsEditorDelegate.h"
#include "IGraphicsStructs.h"
#include "IPopupMenu.h"

namespace testsupport {

namespace ig = iplug::igraphics;

struct DrawCall
{
  std::string op; // "fill", "stroke", "bitmap" or "text"
  ig::IRect clip; // the context's clip when the call was made
  ig::IRect bounds; // path bounding box, bitmap destination or text bounds
  ig::IColor color;
  float weight = 1.f; // blend weight
  int srcX = 0;
  int srcY = 0;
  std::string text;
};

class RecordingBitmap : public ig::APIBitmap
{
public:
  RecordingBitmap(const std::string& path, int width, int height, float scale)
    : APIBitmap(1, width, height, scale, 1.f), mPath(path)
  {
  }
  std::string mPath;
};

// Counts live instances so a test sees that temporary fonts are released.
class RecordingFont : public ig::PlatformFont
{
public:
  explicit RecordingFont(int& live) : PlatformFont(false), mLive(live) { ++mLive; }
  ~RecordingFont() override { --mLive; }

private:
  int& mLive;
};

class RecordingGraphics : public ig::IGraphics
{
public:
  struct ResizeCall
  {
    int width, height;
    float scale;
    bool needsPlatformResize; // the delegate's answer passed to the window
  };
  struct TextEntryRequest
  {
    int paramIdx;
    ig::ITextStyle style;
    ig::IRect bounds;
    int maxLength;
    std::string text;
  };
  struct MenuRequest
  {
    std::string title;
    std::vector<std::string> items;
    std::vector<bool> checked;
    ig::IRect bounds;
  };
  struct Resource
  {
    int width, height; // pixels
    ig::EResourceLocation location = ig::eModuleResource;
  };
  // what happened to contexts that no longer exist
  struct Lifetime
  {
    int windowsClosed = 0;
    int destroyed = 0;
  };

  RecordingGraphics(ig::IGEditorDelegate& dlg, int width, int height, float scale = 1.f, int fps = 60);
  ~RecordingGraphics() override;
  void ReportTo(Lifetime& lifetime) { mLifetime = &lifetime; }

  using IGraphics::GetMouseControl;

  // one frame through the cycle the window runs; returns the areas that were dirty
  ig::IRectList RunFrame();
  // draw calls of one op kind, in order
  std::vector<DrawCall> Draws(const std::string& op) const;
  // convenience pointer events for the mouse (touch id 0)
  void MouseDown(float x, float y, const ig::IMouseModifiers& mods = ig::IMouseModifiers(true));
  void MouseDrag(float x, float y, float dX, float dY, const ig::IMouseModifiers& mods = ig::IMouseModifiers(true));
  void MouseUp(float x, float y, const ig::IMouseModifiers& mods = ig::IMouseModifiers(true));

  // --- backend ---
  void BeginFrame() override;
  void EndFrame() override { ++mFramesEnded; }
  void DrawBitmap(const ig::IBitmap& bitmap, const ig::IRect& dest, int srcX, int srcY,
                  const ig::IBlendInfo* blend) override;
  using IGraphics::DrawBitmap;
  ig::IColor GetPoint(int, int) override { return ig::kColorBlack; }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIStr() override { return "Recording"; }
  bool BitmapExtSupported(const char* ext) override;
  void GetLayerBitmapData(const ig::ILayerPtr&, ig::RawBitmapData& data) override { data.clear(); }
  void ApplyShadowMask(ig::ILayerPtr&, ig::RawBitmapData&, const ig::IShadow&) override {}
  void PathClear() override { mPathBounds = ig::IRect(), mHasPath = false; }
  void PathClose() override {}
  void PathArc(float cx, float cy, float r, float a1, float a2, ig::EWinding winding) override;
  void PathMoveTo(float x, float y) override { AddPathPoint(x, y); }
  void PathLineTo(float x, float y) override { AddPathPoint(x, y); }
  void PathCubicTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override;
  void PathQuadraticTo(float cx, float cy, float x2, float y2) override;
  void PathStroke(const ig::IPattern& pattern, float thickness, const ig::IStrokeOptions& options,
                  const ig::IBlendInfo* blend) override;
  void PathFill(const ig::IPattern& pattern, const ig::IFillOptions& options, const ig::IBlendInfo* blend) override;
  void PathTransformSetMatrix(const ig::ITransform& transform) override { mLastTransform = transform; }
  void PrepareRegion(const ig::IRect& clip) override { mRegions.push_back(clip); }
  ig::APIBitmap* LoadAPIBitmap(const char* name, const void* data, int dataSize, int scale) override;
  ig::APIBitmap* LoadAPIBitmap(const char* path, int scale, ig::EResourceLocation location, const char* ext) override;
  ig::APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale) override;
  bool LoadAPIFont(const char* fontID, const ig::PlatformFontPtr& font) override;
  int AlphaChannel() const override { return 3; }
  bool FlippedBitmap() const override { return false; }
  // every character is 6 units wide and a line 10 high
  float DoMeasureText(const ig::ITextStyle& style, const char* text, ig::IRect& bounds) const override;
  void DoDrawText(const ig::ITextStyle& style, const char* text, const ig::IRect& bounds,
                  const ig::IBlendInfo* blend) override;
  void ResizeDrawSurface() override { ++mDrawSurfaceResizes; }

  // --- window ---
  void GetPointerPosition(float& x, float& y) override { x = mPointerX, y = mPointerY; }
  void HideMouseCursor(bool hide, bool lock) override;
  void MoveMouseCursor(float, float) override {}
  ig::ECursor SetMouseCursor(ig::ECursor cursor) override;
  void CancelPlatformTextEntry() override { ++mTextEntriesCancelled; }
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override { return mWindowOpen ? &mWindow : nullptr; }
  ig::PlatformFontPtr LoadFontFromFile(const char* fontID, const char* fileNameOrResID) override;
  void CacheFontHandle(const char* fontID, const ig::PlatformFontPtr& font) override;
  void OpenPlatformTextEntry(int paramIdx, const ig::ITextStyle& style, const ig::IRect& bounds, int maxLength,
                             const char* text) override;
  ig::IPopupMenu* OpenPlatformMenu(ig::IPopupMenu& menu, const ig::IRect& bounds, bool& isAsync) override;
  void ResizeWindow(bool needsPlatformResize) override;
  ig::EResourceLocation FindResourcePath(const char* name, const char* type, std::string& path,
                                         const char* bundleID) override;

  // --- recorded ---
  std::vector<DrawCall> mDraws;
  std::vector<ig::IRect> mRegions;
  int mFramesBegun = 0;
  int mFramesEnded = 0;
  ig::ITransform mLastTransform;
  std::vector<TextEntryRequest> mTextEntries;
  int mTextEntriesCancelled = 0;
  std::vector<MenuRequest> mMenus;
  std::vector<ig::ECursor> mCursorsSet;
  std::vector<std::pair<bool, bool>> mCursorHides; // (hide, lock)
  std::vector<std::string> mResourceLookups;
  std::vector<std::string> mBitmapLoads; // paths given to LoadAPIBitmap
  std::vector<ResizeCall> mResizes;
  int mDrawSurfaceResizes = 0;
  std::vector<std::string> mFontEvents; // "file <id>", "api <id>", "cache <id>" in call order
  int mLiveFonts = 0;
  void* mParent = nullptr;
  int mOpenCount = 0;
  int mCloseCount = 0;

  // --- answers ---
  float mPointerX = 0.f;
  float mPointerY = 0.f;
  int mNextMenuChoice = -1; // item the "user" picks in the next native menu; -1 closes it
  bool mMenusAsync = false;
  std::map<std::string, Resource> mResources; // by lower-case candidate name
  std::set<std::string> mFontFiles;           // names LoadFontFromFile finds
  bool mAPIFontAccepts = true;

private:
  void AddPathPoint(float x, float y);
  void Record(const std::string& op, const ig::IColor& color, const ig::IBlendInfo* blend);

  ig::IRect mPathBounds;
  bool mHasPath = false;
  bool mWindowOpen = false;
  int mWindow = 0;
  Lifetime mOwnLifetime;
  Lifetime* mLifetime = &mOwnLifetime;
};

// A delegate with four parameters that records what the editor sends it:
// 0 "Gain" -10..10 dB, 1 "Mode" choice Low/Mid/High, 2 "On" switch, 3 "Freq" 0..1000.
class RecordingDelegate : public ig::IGEditorDelegate
{
public:
  enum
  {
    kGain = 0,
    kMode,
    kOn,
    kFreq,
    kNumParams
  };
  struct ResizeRequest
  {
    int width, height;
    bool needsPlatformResize;
    bool operator==(const ResizeRequest&) const = default;
  };

  RecordingDelegate();

  // "begin 0", "value 0 0.250", "end 0" in call order
  void BeginUIParamChange(int paramIdx) override;
  void SendUIParamValue(int paramIdx, double normalized) override;
  void EndUIParamChange(int paramIdx) override;
  bool RequestEditorResize(int width, int height, bool needsPlatformResize) override;
  void LayoutEditor(ig::IGraphics* graphics) override;

  std::vector<std::string> mEvents;
  std::vector<ResizeRequest> mResizeRequests;
  bool mAcceptResize = true;
  int mLayouts = 0;
};

// A control that draws a filled rectangle in its colour and records what reaches it.
class TestControl : public ig::IControl
{
public:
  using IControl::IControl;

  void Draw(ig::IGraphics& g) override;
  void OnMouseDown(float x, float y, const ig::IMouseModifiers& mods) override;
  void OnMouseUp(float x, float y, const ig::IMouseModifiers& mods) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const ig::IMouseModifiers& mods) override;
  void OnMouseDoubleClick(float x, float y, const ig::IMouseModifiers& mods) override;
  void OnMouseWheel(float x, float y, const ig::IMouseModifiers& mods, float delta) override;
  void OnMouseHover(float x, float y, const ig::IMouseModifiers& mods) override;
  void OnMouseLeave() override;
  bool OnKeyDown(float x, float y, const iplug::IKeyPress& key) override;
  bool OnKeyUp(float x, float y, const iplug::IKeyPress& key) override;
  void OnTouchCancel(float x, float y, const ig::IMouseModifiers& mods) override;
  void OnFileDrop(const char* path) override;
  void OnScaleChanged() override { Log("scale"); }
  void OnBoundsChanged() override { Log("bounds"); }
  void OnDelegateBound() override { Log("bound"); }
  void OnAttached() override { Log("attached"); }
  void OnDelegateMessage(int msgTag, int dataSize, const void*) override { mMessages.push_back({msgTag, dataSize}); }
  void OnMidiMessage(const iplug::IMidiMessage& msg) override { mMidi.push_back(msg); }
  void FillContextMenu(ig::IPopupMenu& menu) override;
  void OnTextEntered(const char* text, int valIdx) override;
  void OnContextMenuChoice(int itemIndex) override { Log("context choice " + std::to_string(itemIndex)); }

  // "name: event" lines go here when set, shared between controls to see the order
  std::vector<std::string>* mLog = nullptr;
  std::string mName = "control";
  ig::IColor mColor = ig::kColorGray;
  bool mTakesKeys = false;
  // a vertical drag sets the value from the point over the control
  bool mDragSetsValue = false;
  std::vector<std::string> mContextItems;

  std::vector<std::string> mEvents; // this control's own events
  std::vector<ig::IRect> mDrawClips;
  std::pair<float, float> mKeyAt{-1.f, -1.f};
  std::pair<float, float> mKeyUpAt{-1.f, -1.f};
  struct Message
  {
    int tag, size;
  };
  std::vector<Message> mMessages;
  std::vector<iplug::IMidiMessage> mMidi;

private:
  void Log(const std::string& event);
};

} // namespace testsupport
