#pragma once
// Enumerations, records and callable types shared by the graphics context, its controls,
// the drawing backend and the window: cursors, resize modes, resource kinds, gestures,
// path patterns and options, fonts handed from the platform to the backend.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsStructs.h"

namespace iplug::igraphics {

class IControl;
class IPopupMenu;

// Pointer shapes in the window's numbering; any other value shows the arrow.
enum ECursor : int32_t
{
  eCursorArrow = 0,
  eCursorIBeam,
  eCursorWait,
  eCursorCross,
  eCursorUpArrow,
  eCursorSizeNWSE,
  eCursorSizeNESW,
  eCursorSizeWE,
  eCursorSizeNS,
  eCursorSizeAll,
  eCursorNo,
  eCursorHand,
  eCursorAppStarting,
  eCursorHelp
};

enum EResizeMode : int32_t
{
  eResizeScale = 0, // dragging the corner changes the draw scale
  eResizeSize = 1   // dragging the corner changes width and height
};

enum EResourceLocation : int32_t
{
  eNotFound = 0,
  eFilePath = 1,
  eModuleResource = 2
};

enum EFileAction : int32_t
{
  eFileOpen = 0,
  eFileSave = 1
};

// Gestures of touch platforms; this system's window never produces them.
enum EGestureType : int32_t
{
  eGestureUnknown = 0,
  eGestureDoubleTap,
  eGestureTripleTap,
  eGestureLongPress1,
  eGestureLongPress2,
  eGestureSwipeLeft,
  eGestureSwipeRight,
  eGestureSwipeUp,
  eGestureSwipeDown,
  eGesturePinch,
  eGestureRotate,
  eGesturePan
};

enum EGestureState : int32_t
{
  eGestureStateUnknown = 0,
  eGestureStateBegan,
  eGestureStateChanged,
  eGestureStateEnded
};

struct IGestureEvent
{
  EGestureType type = eGestureUnknown;
  EGestureState state = eGestureStateUnknown;
  float x = 0.f; // editor units
  float y = 0.f;
  float scale = 1.f;
  float velocity = 0.f;
  float angle = 0.f;
};

using IControlFunc = std::function<void(IControl*)>;
using IGestureFunc = std::function<void(IControl*, const IGestureEvent&)>;
using IKeyHandlerFunc = std::function<bool(const IKeyPress& key, bool isUp)>;
using IDisplayTickFunc = std::function<void()>;
using IFileDialogCompletionHandlerFunc = std::function<void(const std::string& fileName, const std::string& path)>;
using IColorPickerHandlerFunc = std::function<void(const IColor&)>;
using IMsgBoxCompletionHandlerFunc = std::function<void(int result)>;

// --- paths ---

enum EWinding : int32_t
{
  eWindingCW = 0,
  eWindingCCW = 1
};

enum EFillRule : int32_t
{
  eFillRuleWinding = 0,
  eFillRuleEvenOdd = 1,
  eFillRulePreserve = 2
};

enum ELineCap : int32_t
{
  eLineCapButt = 0,
  eLineCapRound = 1,
  eLineCapSquare = 2
};

enum ELineJoin : int32_t
{
  eLineJoinMiter = 0,
  eLineJoinRound = 1,
  eLineJoinBevel = 2
};

enum EPatternType : int32_t
{
  ePatternSolid = 0,
  ePatternLinear = 1,
  ePatternRadial = 2
};

struct IColorStop
{
  IColor color;
  float offset = 0.f;
};

constexpr int kMaxColorStops = 16;

// A fill or stroke source: a solid colour, or a gradient of up to kMaxColorStops stops.
struct IPattern
{
  EPatternType type = ePatternSolid;
  IColorStop stops[kMaxColorStops] = {};
  int numStops = 1;
  ITransform transform;

  constexpr IPattern() = default;
  constexpr IPattern(const IColor& color) { stops[0] = {color, 0.f}; } // NOLINT: a colour is a pattern
  constexpr const IColor& FirstColor() const { return stops[0].color; }
};

struct IStrokeOptions
{
  float miterLimit = 10.f;
  ELineCap cap = eLineCapButt;
  ELineJoin join = eLineJoinMiter;
  bool preserve = false;
};

struct IFillOptions
{
  EFillRule rule = eFillRuleWinding;
  bool preserve = false;
};

// --- vector images (the SVG loader is not part of this framework's editor) ---

struct SVGHolder
{
  std::string name;
};

struct ISVG
{
  SVGHolder* holder = nullptr; // owned by the SVG cache
  bool IsValid() const { return holder != nullptr; }
};

// --- shadows and raw layer pixels ---

using RawBitmapData = std::vector<uint8_t>;

struct IShadow
{
  IPattern pattern = IPattern(kColorBlack);
  float blurSize = 0.f;
  float xOffset = 0.f;
  float yOffset = 0.f;
  float opacity = 1.f;
  bool drawForeground = true;
};

// --- fonts ---

// Font file bytes as the backend's renderer takes them.
class IFontData
{
public:
  IFontData() = default;
  IFontData(const void* data, int size, int faceIdx);

  bool IsValid() const { return !mBytes.empty() && mFaceIdx >= 0; }
  const uint8_t* Get() const { return mBytes.data(); }
  int GetSize() const { return static_cast<int>(mBytes.size()); }
  int GetFaceIdx() const { return mFaceIdx; }

private:
  std::vector<uint8_t> mBytes;
  int mFaceIdx = -1;
};

using IFontDataPtr = std::unique_ptr<IFontData>;

// A font object of the platform; the window derives its own kind.
class PlatformFont
{
public:
  explicit PlatformFont(bool isSystem) : mSystem(isSystem) {}
  virtual ~PlatformFont() = default;
  PlatformFont(const PlatformFont&) = delete;
  PlatformFont& operator=(const PlatformFont&) = delete;

  // the font file's bytes, or an invalid record
  virtual IFontDataPtr GetFontData() { return std::make_unique<IFontData>(); }
  bool IsSystem() const { return mSystem; }

private:
  bool mSystem;
};

using PlatformFontPtr = std::unique_ptr<PlatformFont>;

} // namespace iplug::igraphics
