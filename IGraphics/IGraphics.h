#pragma once
// The editor's graphics context: owns the attached controls and the special controls
// (background, corner resizer, bubbles, drawn menu and text entry, performance display),
// runs the frame cycle over dirty areas, routes pointer, key, touch and gesture events to
// controls, keeps the editor size and scales, loads bitmaps and fonts, and brokers the
// value editors and the host's context menu. Abstract: the drawing backend and the window
// supply the pure operations. Geometry is in editor units; window pixels are editor units
// times GetBackingPixelScale().
// [ui thread] unless tagged otherwise
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "IBitmap.h"
#include "IGraphicsCache.h"
#include "IGraphicsStructs.h"
#include "IGraphicsTypes.h"
#include "IPlugAAXView_Interface.h"
#include "IPopupMenu.h"

namespace iplug::igraphics {

class IControl;
class IGEditorDelegate;
class IBubbleControl;
class ICornerResizerControl;
class IFPSDisplayControl;
class IPopupMenuControl;
class ITextEntryControl;

constexpr float kDirtyPadding = 0.75f;          // antialiased edges reach this far outside a control
constexpr float kMinScaleFactor = 0.5f;         // of the draw scale at construction
constexpr float kMaxScaleFactor = 2.f;
constexpr int kDefaultBitmapScale = 0;          // LoadBitmap: the screen scale rounded up
constexpr float kDefaultCornerResizerSize = 20.f;
constexpr float kDefaultBubbleRoundness = 5.f;
inline constexpr IRect kFPSDisplayBounds{10.f, 10.f, 210.f, 60.f};
inline constexpr char kFPSDisplayTitle[] = "Frame Time";

// The process-wide caches shared by every context; each context holds a reference.
StaticStorage<APIBitmap>& BaseBitmapCache();
StaticStorage<SVGHolder>& SVGCache();

class IGraphics : public IPlugAAXView_Interface
{
public:
  IGraphics(IGEditorDelegate& dlg, int w, int h, int fps = 0, float scale = 1.f);
  IGraphics(const IGraphics&) = delete;
  IGraphics& operator=(const IGraphics&) = delete;

  // ---------------------------------------------------------------------------------
  // Virtual operations, in slot order.

  virtual void SetHostHighlight(int paramIdx, bool highlighted, int colorIndex);
  virtual void BeginFrame();
  virtual void OnViewInitialized(void* context);
  virtual void OnViewDestroyed();
  virtual void EndFrame();

  virtual void DrawSVG(const ISVG& svg, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void DrawRotatedSVG(const ISVG& svg, float destCentreX, float destCentreY, float width, float height,
                              double angle, const IBlendInfo* blend = nullptr);
  virtual void DrawBitmap(const IBitmap& bitmap, const IRect& dest, int srcX, int srcY,
                          const IBlendInfo* blend = nullptr) = 0;
  virtual void DrawFittedBitmap(const IBitmap& bitmap, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void DrawRotatedBitmap(const IBitmap& bitmap, float destCentreX, float destCentreY, double angle,
                                 const IBlendInfo* blend = nullptr);
  virtual void DrawPoint(const IColor& color, float x, float y, const IBlendInfo* blend = nullptr);
  virtual void DrawLine(const IColor& color, float x1, float y1, float x2, float y2,
                        const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedLine(const IColor& color, float x1, float y1, float x2, float y2,
                              const IBlendInfo* blend = nullptr, float thickness = 1.f, float dashLen = 2.f);
  virtual void DrawTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                        float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR,
                             float cRBL, const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawRoundRect(const IColor& color, const IRect& bounds, float cornerRadius,
                             const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend = nullptr,
                          float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                           const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                           float thickness = 1.f);
  virtual void DrawConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlendInfo* blend = nullptr, float thickness = 1.f);
  virtual void DrawDottedRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr,
                              float thickness = 1.f, float dashLen = 2.f);
  virtual void FillTriangle(const IColor& color, float x1, float y1, float x2, float y2, float x3, float y3,
                            const IBlendInfo* blend = nullptr);
  virtual void FillRect(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRect& bounds, float cRTL, float cRTR, float cRBR,
                             float cRBL, const IBlendInfo* blend = nullptr);
  virtual void FillRoundRect(const IColor& color, const IRect& bounds, float cornerRadius,
                             const IBlendInfo* blend = nullptr);
  virtual void FillCircle(const IColor& color, float cx, float cy, float r, const IBlendInfo* blend = nullptr);
  virtual void FillEllipse(const IColor& color, float x, float y, float r1, float r2, float angle,
                           const IBlendInfo* blend = nullptr);
  virtual void FillEllipse(const IColor& color, const IRect& bounds, const IBlendInfo* blend = nullptr);
  virtual void FillArc(const IColor& color, float cx, float cy, float r, float a1, float a2,
                       const IBlendInfo* blend = nullptr);
  virtual void FillConvexPolygon(const IColor& color, const float* x, const float* y, int nPoints,
                                 const IBlendInfo* blend = nullptr);

  // returns the width; 0 for a null or empty text
  virtual float MeasureText(const ITextStyle& style, const char* text, IRect& bounds) const;
  virtual IColor GetPoint(int x, int y) = 0;
  virtual void* GetDrawContext() = 0;
  virtual const char* GetDrawingAPIStr() = 0;

  virtual IBitmap ScaleBitmap(const IBitmap& bitmap, const char* cacheName, int targetScale);
  virtual void RetainBitmap(const IBitmap& bitmap, const char* cacheName);
  virtual void ReleaseBitmap(const IBitmap& bitmap);
  virtual bool BitmapExtSupported(const char* ext) = 0;

  virtual void DrawFastDropShadow(const IRect& inner, const IRect& outer, float xyDrop = 5.f, float roundness = 0.f,
                                  float blur = 10.f, const IBlendInfo* blend = nullptr);
  virtual void DrawGrid(const IColor& color, const IRect& bounds, float gridSizeH, float gridSizeV,
                        const IBlendInfo* blend = nullptr, float thickness = 1.f);
  // normYPoints (and normXPoints, or even spacing when null) in 0..1 of bounds
  virtual void DrawData(const IColor& color, const IRect& bounds, const float* normYPoints, int nPoints,
                        const float* normXPoints = nullptr, const IBlendInfo* blend = nullptr, float thickness = 1.f);

  // true when the backend took the font
  virtual bool LoadFont(const char* fontID, const void* data, int dataSize);
  virtual bool LoadFont(const char* fontID, const char* fileNameOrResID);

  virtual void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) = 0;
  virtual void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) = 0;
  virtual void UpdateLayer() {}

  virtual void PathClear() = 0;
  virtual void PathClose() = 0;
  // angles in degrees clockwise from 12 o'clock
  virtual void PathArc(float cx, float cy, float r, float a1, float a2, EWinding winding = eWindingCW) = 0;
  virtual void PathMoveTo(float x, float y) = 0;
  virtual void PathLineTo(float x, float y) = 0;
  virtual void PathSetWinding(EWinding) {}
  virtual void PathCubicTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) = 0;
  virtual void PathQuadraticTo(float cx, float cy, float x2, float y2) = 0;
  virtual void PathStroke(const IPattern& pattern, float thickness, const IStrokeOptions& options = {},
                          const IBlendInfo* blend = nullptr) = 0;
  virtual void PathFill(const IPattern& pattern, const IFillOptions& options = {},
                        const IBlendInfo* blend = nullptr) = 0;
  virtual void PathTransformSetMatrix(const ITransform& transform) = 0;

  virtual void CompleteRegion(const IRect& clip);
  virtual void PrepareRegion(const IRect& clip) = 0;
  virtual void ReservedDrawHookA() {}
  virtual void ReservedDrawHookB() {}

  // --- platform (the window) ---
  virtual void GetPointerPosition(float& x, float& y) = 0;
  virtual void HideMouseCursor(bool hide = true, bool lock = true) = 0;
  virtual void MoveMouseCursor(float x, float y) = 0;
  // returns the previous shape
  virtual ECursor SetMouseCursor(ECursor cursor = eCursorArrow);
  virtual void CancelPlatformTextEntry() = 0;
  // returns the native window, or null
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  virtual void* GetWindow() = 0;
  virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
  virtual bool ReadClipboardText(std::string& text);
  virtual bool WriteClipboardText(const char* text);
  virtual void ReservedPlatformHook() {}
  // returns the dialog's result code
  virtual int ShowMessageDialog(const char* text, const char* caption, int type,
                                IMsgBoxCompletionHandlerFunc completion = nullptr);
  virtual void ChooseFile(std::string& fileName, std::string& directory, EFileAction action = eFileOpen,
                          const char* extensions = "", IFileDialogCompletionHandlerFunc completion = nullptr);
  virtual void ChooseDirectory(std::string& directory, IFileDialogCompletionHandlerFunc completion = nullptr);
  virtual bool ChooseColour(IColor& colour, const char* title = "", IColorPickerHandlerFunc completion = nullptr);
  virtual bool OpenWebAddress(const char* url, const char* title = nullptr, const char* confirmText = nullptr,
                              const char* failureText = nullptr);
  virtual const char* PlatformName() const { return ""; }
  virtual bool RevealPath(const char* path, bool select);
  virtual void SetResourceModule(void* module);
  virtual void* GetResourceModule() const { return nullptr; }
  virtual void ReservedModuleHook() {}
  virtual PlatformFontPtr LoadSystemFont(const char* fontID, const char* familyName, int style);
  virtual PlatformFontPtr LoadFontFromMemory(const char* fontID, const void* data, int dataSize);
  virtual PlatformFontPtr LoadFontFromFile(const char* fontID, const char* fileNameOrResID);
  virtual void CacheFontHandle(const char* fontID, const PlatformFontPtr& font);
  virtual const char* GetBundleID() const { return ""; }
  virtual void ActivateDrawContext() {}
  virtual void DeactivateDrawContext() {}
  virtual void OpenPlatformTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds, int maxLength,
                                     const char* text) = 0;
  // returns the (sub)menu holding the chosen item, or null; isAsync set means the
  // window calls CompleteMenu itself later
  virtual IPopupMenu* OpenPlatformMenu(IPopupMenu& menu, const IRect& bounds, bool& isAsync) = 0;

  ~IGraphics() override;

  virtual bool SupportsMultiTouch() const { return false; }
  virtual float GetWindowScale() const { return 1.f; }
  virtual void ResizeWindow(bool needsPlatformResize);
  virtual void ResizeDrawSurface() {}
  virtual int ReservedQuery() const { return 0; }

  // an empty handle: this framework's editor draws no vector images
  virtual ISVG LoadSVG(const char* fileName, const char* units = "px", float dpi = 72.f);
  // targetScale 0 means the screen scale rounded up; an empty bitmap when not found
  virtual IBitmap LoadBitmap(const char* name, int numFrames = 1, bool framesAreHorizontal = false,
                             int targetScale = kDefaultBitmapScale);
  virtual ISVG LoadSVGFromData(const void* data, int dataSize, const char* units = "px", float dpi = 72.f);
  virtual ISVG LoadSVG(const char* name, const void* data, int dataSize, const char* units = "px",
                       float dpi = 72.f);
  // where a resource of this name and type is; the window looks in its module and on disk
  virtual EResourceLocation FindResourcePath(const char* name, const char* type, std::string& path,
                                             const char* bundleID);
  virtual void AttachGestureRecognizer(EGestureType type);

  // the backend's image for bytes in memory; ownership passes to the caller
  virtual APIBitmap* LoadAPIBitmap(const char* name, const void* data, int dataSize, int scale) = 0;
  virtual APIBitmap* LoadAPIBitmap(const char* path, int scale, EResourceLocation location, const char* ext) = 0;
  virtual APIBitmap* CreateAPIBitmap(int width, int height, float scale, double drawScale) = 0;
  virtual bool LoadAPIFont(const char* fontID, const PlatformFontPtr& font) = 0;
  virtual void ReservedBackendHook() {}
  // byte index of alpha in a pixel
  virtual int AlphaChannel() const = 0;
  virtual bool FlippedBitmap() const = 0;
  virtual float DoMeasureText(const ITextStyle& style, const char* text, IRect& bounds) const = 0;
  virtual void DoDrawText(const ITextStyle& style, const char* text, const IRect& bounds,
                          const IBlendInfo* blend = nullptr) = 0;
  virtual float GetBackingPixelScale() const { return mDrawScale * mScreenScale; }

  // ---------------------------------------------------------------------------------
  // Drawing helpers for controls.

  // frame i (1-based) of a film-strip into dest
  void DrawBitmap(const IBitmap& bitmap, const IRect& dest, int frame, const IBlendInfo* blend = nullptr);
  void DrawText(const ITextStyle& style, const char* text, const IRect& bounds, const IBlendInfo* blend = nullptr);
  void PathRect(const IRect& bounds);
  void PathCircle(float cx, float cy, float r);
  void PathTransformReset();
  const IRect& GetClipRect() const { return mClipRect; }

  // ---------------------------------------------------------------------------------
  // Attaching and lookup.

  // null (and the caller keeps the control) when tag >= 0 is already in use
  IControl* AttachControl(IControl* control, int tag = -1, const char* group = "");
  // the named bitmap as control 0, behind every other control
  void AttachBackground(const char* fileName);
  // a second call does nothing
  void AttachCornerResizer(EResizeMode mode = eResizeScale, bool layoutOnResize = false,
                           const IColor& color = kColorTranslucent, const IColor& hoverColor = kColorBlack,
                           const IColor& dragColor = kColorBlack, float size = kDefaultCornerResizerSize);
  void AttachBubbleControl(const ITextStyle& style = kDefaultTextStyle);
  void AttachTextEntryControl();
  void AttachPopupMenuControl(const ITextStyle& style = kDefaultTextStyle, const IRect& bounds = IRect());
  void ShowFPSDisplay(bool enable);
  void RemoveAllControls();

  int NumControls() const { return static_cast<int>(mControls.size()); }
  // null outside the list
  IControl* GetControl(int idx) const;
  // null when no control has the tag
  IControl* GetControlWithTag(int tag) const;
  int GetControlIdx(const IControl* control) const;
  ICornerResizerControl* GetCornerResizer() const { return mCornerResizer.get(); }
  IFPSDisplayControl* GetPerfDisplay() const { return mPerfDisplay.get(); }
  ITextEntryControl* GetTextEntryControl() const { return mTextEntryControl.get(); }
  IPopupMenuControl* GetPopupMenuControl() const { return mPopupControl.get(); }
  int NumBubbles() const { return static_cast<int>(mBubbles.size()); }
  IBubbleControl* GetBubble(int i) const;

  // the list in order
  void ForStandardControls(const std::function<void(IControl&)>& func);
  // the list, then the performance display, corner resizer, text entry, popup and bubbles
  void ForAllControls(const std::function<void(IControl&)>& func);
  // controls with any value bound to the parameter
  void ForControlWithParam(int paramIdx, const std::function<void(IControl&)>& func);
  void MarkAllDirty();
  void MarkAllClean();
  // every other control's first value bound to the caller's parameter receives its value
  void UpdatePeers(IControl* caller, int valIdx);

  // ---------------------------------------------------------------------------------
  // Frame cycle (the window calls these).

  // true when any area was added
  bool CollectDirtyAreas(IRectList& rects);
  void DrawFrame(const IRectList& rects);

  // ---------------------------------------------------------------------------------
  // Size and scale.

  // clamps into the delegate's limits and the scale range; the same size does nothing
  void Resize(int w, int h, float scale, bool needsPlatformResize = true);
  void SetScreenScale(float scale);
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  int WindowWidth() const { return static_cast<int>(static_cast<float>(mWidth) * mDrawScale); }
  int WindowHeight() const { return static_cast<int>(static_cast<float>(mHeight) * mDrawScale); }
  float GetDrawScale() const { return mDrawScale; }
  float GetScreenScale() const { return mScreenScale; }
  float GetMinScale() const { return mMinScale; }
  float GetMaxScale() const { return mMaxScale; }
  int FPS() const { return mFPS; }
  IRect GetBounds() const { return {0.f, 0.f, static_cast<float>(mWidth), static_cast<float>(mHeight)}; }
  IGEditorDelegate* GetDelegate() const { return mDelegate; }

  void SetStrictDrawing(bool strict);
  bool GetStrictDrawing() const { return mStrictDrawing; }
  void EnableMouseOver(bool enable) { mEnableMouseOver = enable; }
  bool MouseOverEnabled() const { return mEnableMouseOver; }
  // enabling tooltips also enables hover tracking
  void EnableTooltips(bool enable);
  bool TooltipsEnabled() const { return mEnableTooltips; }
  void EnableMultiTouch(bool enable) { mEnableMultiTouch = enable; }
  bool MultiTouchEnabled() const { return mEnableMultiTouch; }
  void SetKeyHandlerFunc(IKeyHandlerFunc func) { mKeyHandlerFunc = std::move(func); }
  void SetDisplayTickFunc(IDisplayTickFunc func) { mDisplayTickFunc = std::move(func); }
  void SetLayoutOnResize(bool layout) { mLayoutOnResize = layout; }
  EResizeMode GetResizeMode() const { return mResizeMode; }
  bool GetResizingInProcess() const { return mResizingInProcess; }
  void StartResizeGesture() { mResizingInProcess = true; }
  bool GetCursorHidden() const { return mCursorHidden; }
  void SetCursorHidden(bool hidden) { mCursorHidden = hidden; }
  ECursor GetCursorShape() const { return mCursorShape; }
  void SetTranslation(float x, float y) { mTranslateX = x, mTranslateY = y; }
  const std::vector<EGestureType>& GetGestureTypes() const { return mGestureTypes; }
  // a handler for gestures over region that no control takes
  void AttachGestureRegion(const IRect& region, IGestureFunc func);

  // ---------------------------------------------------------------------------------
  // Pointer, key, touch and gesture events (the window calls these).

  void OnMouseDown(const std::vector<IMouseEvent>& events);
  void OnMouseUp(const std::vector<IMouseEvent>& events);
  void OnMouseDrag(const std::vector<IMouseEvent>& events);
  // false when no control is under the point
  bool OnMouseDoubleClick(float x, float y, const IMouseModifiers& mods);
  // true when a control is under the point
  bool OnMouseHover(float x, float y, const IMouseModifiers& mods);
  void OnMouseLeave();
  void OnMouseWheel(float x, float y, const IMouseModifiers& mods, float delta);
  void OnFileDrop(const char* path, float x, float y);
  // true when a control or the key handler took the key
  bool OnKeyDown(float x, float y, const IKeyPress& key);
  bool OnKeyUp(float x, float y, const IKeyPress& key);
  void OnTouchCancel(const std::vector<IMouseEvent>& events);
  void OnGestureRecognized(const IGestureEvent& gesture);
  void OnIdle();

  void ReleaseMouseCapture();
  bool ControlIsCaptured() const { return !mCaptured.empty(); }
  // true while any pointer holds the control (a drag is in progress)
  bool ControlIsCaptured(const IControl* control) const;
  // the touch ids under which the control is captured, in no particular order
  std::vector<uintptr_t> GetTouches(const IControl* control) const;
  IControl* GetMouseOver() const { return mMouseOver; }
  int GetMouseOverIdx() const { return mMouseOverIdx; }
  void GetMouseDownPoint(float& x, float& y) const { x = mMouseDownX, y = mMouseDownY; }

  // ---------------------------------------------------------------------------------
  // Value editors and host menus.

  // a menu for enumerations and switches with texts, else a text entry
  void OpenValueEditor(IControl* control, const IRect& bounds, int valIdx);
  void CreateTextEntry(IControl& control, const ITextStyle& style, const IRect& bounds, const char* text,
                       int valIdx);
  void CreatePopupMenu(IControl& control, IPopupMenu& menu, const IRect& bounds, int valIdx,
                       bool isContext = false);
  void CompleteTextEntry(const char* text);
  // menu is null or has no choice when the user chose nothing
  void CompleteMenu(IPopupMenu* menu);
  // opens a menu only when the control offers items
  void PopupHostContextMenuForParam(IControl* control, int paramIdx, float x, float y);
  // needs an attached bubble
  void ShowBubbleControl(IControl* caller, float x, float y, const char* text, EDragDirection direction,
                         const IRect& minimumContent);
  IPopupMenu& GetPromptMenu() { return mPromptMenu; }
  IControl* GetControlInTextEntry() const { return mInTextEntry; }
  IControl* GetControlInPopupMenu() const { return mInPopupMenu; }
  // the text-entry control reports that editing was abandoned
  void ClearInTextEntryControl() { mInTextEntry = nullptr; }

  // ---------------------------------------------------------------------------------
  // Resources.

  // tries the target scale first, then the others in the order documented with it
  EResourceLocation SearchImageResource(const char* name, const char* ext, std::string& outPath, int targetScale,
                                        int& outSourceScale);
  // the same film-strip for the present screen scale
  IBitmap GetScaledBitmap(const IBitmap& bitmap);
  // the order in which SearchImageResource tries scales
  static std::vector<int> ImageScaleSearchOrder(int targetScale);

protected:
  IControl* GetMouseControl(float x, float y, bool capture, bool hover = false, uintptr_t touchId = 0);
  void BindControl(IControl& control);
  void DrawArea(const IRect& area, float scale);
  void DrawControl(IControl& control, int index, const IRect& area, float scale);
  void RequestWindowResize(bool needsPlatformResize);
  bool OfferMouseDownToHost(IControl& control, int paramIdx, const IMouseModifiers& mods);
  void UpdateHover(float x, float y, const IMouseModifiers& mods);
  bool DispatchKey(float x, float y, const IKeyPress& key, bool isUp);
  void BeginGestures(IControl& control);
  void EndGestures(IControl& control);
  bool HasOpenGestures(const IControl& control) const;
  void DeleteSpecialControls();

  std::vector<std::unique_ptr<IControl>> mControls;
  std::unordered_map<int, IControl*> mControlTags;
  std::unique_ptr<ICornerResizerControl> mCornerResizer;
  std::vector<std::unique_ptr<IBubbleControl>> mBubbles;
  std::unique_ptr<IPopupMenuControl> mPopupControl;
  std::unique_ptr<IFPSDisplayControl> mPerfDisplay;
  std::unique_ptr<ITextEntryControl> mTextEntryControl;
  IPopupMenu mPromptMenu;
  ECursor mCursorShape = eCursorArrow;
  int mWidth;
  int mHeight;
  int mFPS;
  float mScreenScale = 1.f;
  float mDrawScale;
  std::vector<EGestureType> mGestureTypes;
  IRectList mGestureRegions;
  std::unordered_map<int, IGestureFunc> mGestureRegionFuncs;
  std::unordered_map<uintptr_t, IControl*> mCaptured;
  IControl* mMouseOver = nullptr;
  IControl* mInTextEntry = nullptr;
  IControl* mInPopupMenu = nullptr;
  bool mIsContextMenu = false;
  int mTextEntryValIdx = -1;
  int mPopupMenuValIdx = -1;
  int mMouseOverIdx = -1;
  float mMouseDownX = -1.f;
  float mMouseDownY = -1.f;
  float mMinScale;
  float mMaxScale;
  bool mEnableMouseOver = false;
  bool mStrictDrawing = false;
  bool mEnableTooltips = false;
  bool mResizingInProcess = false;
  bool mLayoutOnResize = false;
  bool mEnableMultiTouch = false;
  EResizeMode mResizeMode = eResizeScale;
  IKeyHandlerFunc mKeyHandlerFunc;
  IDisplayTickFunc mDisplayTickFunc;
  IGEditorDelegate* mDelegate;
  bool mCursorHidden = false;
  float mTranslateX = 0.f;
  float mTranslateY = 0.f;
  IRect mClipRect;
  ITransform mTransform;
  std::vector<ILayerPtr> mLayers;
  std::vector<ITransform> mTransformStack;

private:
  // parameters whose UI gesture this context began and has not ended, so that every
  // end sent to the host answers a begin
  std::vector<int> mOpenGestures;
};

} // namespace iplug::igraphics
