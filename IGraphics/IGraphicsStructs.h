#pragma once
// Plain value types of the graphics framework: rectangles, colours, text styles, blends,
// pointer and key events and the 2-D transform. Coordinates are editor units (32-bit floats).
// Every constant here is constexpr, so nothing depends on static initialisation order.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace iplug {

// Virtual-key codes in Windows numbering, the numbering IKeyPress::VK uses on every platform.
constexpr int kVK_BACK = 0x08;
constexpr int kVK_TAB = 0x09;
constexpr int kVK_RETURN = 0x0D;
constexpr int kVK_SHIFT = 0x10;
constexpr int kVK_CONTROL = 0x11;
constexpr int kVK_MENU = 0x12;
constexpr int kVK_ESCAPE = 0x1B;
constexpr int kVK_SPACE = 0x20;
constexpr int kVK_PRIOR = 0x21;
constexpr int kVK_NEXT = 0x22;
constexpr int kVK_END = 0x23;
constexpr int kVK_HOME = 0x24;
constexpr int kVK_LEFT = 0x25;
constexpr int kVK_UP = 0x26;
constexpr int kVK_RIGHT = 0x27;
constexpr int kVK_DOWN = 0x28;
constexpr int kVK_INSERT = 0x2D;
constexpr int kVK_DELETE = 0x2E;

constexpr std::size_t kKeyUTF8Size = 5;

// One key event. utf8 holds at most one character (<= 4 bytes, zero-terminated);
// it is empty for keys that produce no character.
struct IKeyPress
{
  int32_t VK = 0;
  char utf8[kKeyUTF8Size] = {};
  bool S = false;
  bool C = false;
  bool A = false;

  constexpr IKeyPress() = default;
  // A null or over-long text is cut at a character boundary, never mid-sequence.
  constexpr IKeyPress(const char* text, int vk, bool shift = false, bool ctrl = false, bool alt = false)
    : VK(vk), S(shift), C(ctrl), A(alt)
  {
    const std::size_t n = FirstCharacterLength(text);
    for (std::size_t i = 0; i < n; ++i)
      utf8[i] = text[i];
  }

  constexpr bool HasCharacter() const { return utf8[0] != '\0'; }

private:
  // Bytes of text's first character that fit, or 0 for a null, empty or malformed start.
  static constexpr std::size_t FirstCharacterLength(const char* text)
  {
    if (text == nullptr || text[0] == '\0')
      return 0;
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
    for (std::size_t i = 1; i < length; ++i)
      if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
        return 1; // broken sequence: keep the lead byte, as an ANSI code page byte would be
    return length;
  }
};

namespace igraphics {

using iplug::IKeyPress;

enum EDragDirection : int32_t
{
  eVertical = 0,
  eHorizontal = 1
};

// Axis-aligned rectangle; y grows downwards. (0, 0, 0, 0) is the empty rectangle and
// contains nothing; a rectangle with R < L is not "empty" but contains no point either.
struct IRect
{
  float L = 0.f;
  float T = 0.f;
  float R = 0.f;
  float B = 0.f;

  constexpr IRect() = default;
  constexpr IRect(float l, float t, float r, float b) : L(l), T(t), R(r), B(b) {}

  // (x, y) plus one frame of a film-strip bitmap.
  template <class TBitmap>
    requires requires(const TBitmap& bitmap) { bitmap.FW(); bitmap.FH(); }
  IRect(float x, float y, const TBitmap& bitmap)
    : IRect(x, y, x + static_cast<float>(bitmap.FW()), y + static_cast<float>(bitmap.FH()))
  {
  }

  static constexpr IRect MakeXYWH(float x, float y, float w, float h) { return {x, y, x + w, y + h}; }

  constexpr bool Empty() const { return L == 0.f && T == 0.f && R == 0.f && B == 0.f; }
  constexpr float W() const { return R - L; }
  constexpr float H() const { return B - T; }
  constexpr float MW() const { return (L + R) / 2.f; }
  constexpr float MH() const { return (T + B) / 2.f; }
  constexpr float Area() const { return W() * H(); }

  // Right and bottom edges are exclusive.
  constexpr bool Contains(float x, float y) const
  {
    return !Empty() && x >= L && x < R && y >= T && y < B;
  }

  constexpr bool Contains(const IRect& other) const
  {
    return !Empty() && !other.Empty() && L <= other.L && R >= other.R && T <= other.T && B >= other.B;
  }

  // Deliberately not symmetric where edges touch: this rectangle's right and bottom edges count.
  constexpr bool Intersects(const IRect& other) const
  {
    return !Empty() && !other.Empty() && R >= other.L && L < other.R && B >= other.T && T < other.B;
  }

  constexpr IRect Intersect(const IRect& other) const
  {
    if (!Intersects(other))
      return {};
    return {std::max(L, other.L), std::max(T, other.T), std::min(R, other.R), std::min(B, other.B)};
  }

  constexpr IRect Union(const IRect& other) const
  {
    if (Empty())
      return other;
    if (other.Empty())
      return *this;
    return {std::min(L, other.L), std::min(T, other.T), std::max(R, other.R), std::max(B, other.B)};
  }

  constexpr IRect Padded(float p) const { return {L - p, T - p, R + p, B + p}; }
  constexpr IRect Translated(float dx, float dy) const { return {L + dx, T + dy, R + dx, B + dy}; }
  constexpr IRect Scaled(float s) const { return {L * s, T * s, R * s, B * s}; }

  // Grows outwards to whole pixels at the given scale; a scale <= 0 leaves the rectangle as is.
  IRect PixelAligned(float scale) const
  {
    if (!(scale > 0.f))
      return *this;
    return {std::floor(L * scale) / scale, std::floor(T * scale) / scale, std::ceil(R * scale) / scale,
            std::ceil(B * scale) / scale};
  }

  constexpr IRect CentredInside(float w, float h) const
  {
    return {MW() - w / 2.f, MH() - h / 2.f, MW() + w / 2.f, MH() + h / 2.f};
  }

  constexpr void Constrain(float& x, float& y) const
  {
    x = std::clamp(x, std::min(L, R), std::max(L, R));
    y = std::clamp(y, std::min(T, B), std::max(T, B));
  }

  constexpr bool operator==(const IRect&) const = default;
};

// The dirty-area list of a frame. The only value type here that owns heap memory.
class IRectList
{
public:
  void Add(const IRect& r) { mRects.push_back(r); }
  int Size() const { return static_cast<int>(mRects.size()); }
  // returns the empty rectangle for an index outside the list
  const IRect& Get(int i) const;
  void Clear() { mRects.clear(); }
  auto begin() const { return mRects.begin(); }
  auto end() const { return mRects.end(); }

  // union of every entry, empty entries ignored
  IRect Bounds() const;
  void PixelAlign(float scale);
  // Removes overlaps and merges neighbours; the covered points stay exactly the same.
  void Optimize();

private:
  std::vector<IRect> mRects;
};

// Components 0 to 255, alpha first.
struct IColor
{
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  constexpr IColor() = default;
  constexpr IColor(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}

  constexpr IColor Clamped() const
  {
    return {std::clamp(A, 0, 255), std::clamp(R, 0, 255), std::clamp(G, 0, 255), std::clamp(B, 0, 255)};
  }

  // the same colour with alpha = opacity (0 to 1) of full scale
  IColor WithOpacity(float opacity) const
  {
    return {static_cast<int32_t>(std::lround(std::clamp(opacity, 0.f, 1.f) * 255.f)), R, G, B};
  }

  // component-wise a + (b - a) * t, t clamped to 0..1
  static IColor Interpolated(const IColor& a, const IColor& b, float t);

  constexpr bool operator==(const IColor&) const = default;
};

inline constexpr IColor kColorTranslucent{10, 0, 0, 0};
inline constexpr IColor kColorBlack{255, 0, 0, 0};
inline constexpr IColor kColorBlackDropShadow{128, 0, 0, 0};
inline constexpr IColor kColorGray{255, 127, 127, 127};
inline constexpr IColor kColorLightGray{255, 240, 240, 240};
inline constexpr IColor kColorMidGray{255, 200, 200, 200};
inline constexpr IColor kColorDarkGray{255, 70, 70, 70};
inline constexpr IColor kColorWhite{255, 255, 255, 255};
inline constexpr IColor kColorRed{255, 255, 0, 0};
inline constexpr IColor kColorGreen{255, 0, 255, 0};
inline constexpr IColor kColorBlue{255, 0, 0, 255};
inline constexpr IColor kColorYellow{255, 255, 255, 0};
inline constexpr IColor kColorOrange{255, 255, 127, 0};
inline constexpr IColor kColorIndigo{255, 75, 0, 130};
inline constexpr IColor kColorViolet{255, 148, 0, 211};

enum ETextAlign : int32_t
{
  eAlignNear = 0,
  eAlignCentre = 1,
  eAlignFar = 2
};

enum ETextVAlign : int32_t
{
  eAlignTop = 0,
  eAlignMiddle = 1,
  eAlignBottom = 2
};

constexpr std::size_t kFontNameSize = 64;
inline constexpr char kDefaultFontName[] = "Roboto-Regular";
constexpr float kDefaultTextSize = 14.f;

// How text is drawn, and how a text entry opened for it looks. Fields in stored order.
struct ITextStyle
{
  char mFont[kFontNameSize] = {};
  float mSize = kDefaultTextSize;
  IColor mFGColor = kColorBlack;
  IColor mTextEntryBGColor = kColorWhite;
  IColor mTextEntryFGColor = kColorBlack;
  float mAngle = 0.f; // degrees
  ETextAlign mAlign = eAlignCentre;
  ETextVAlign mVAlign = eAlignMiddle;

  constexpr ITextStyle() : ITextStyle(kDefaultTextSize) {}
  // A null or empty font name means the default font; longer names are cut to 63 bytes.
  constexpr explicit ITextStyle(float size, const IColor& color = kColorBlack,
                                const char* font = nullptr, ETextAlign align = eAlignCentre,
                                ETextVAlign valign = eAlignMiddle, float angle = 0.f,
                                const IColor& entryBG = kColorWhite, const IColor& entryFG = kColorBlack)
    : mSize(size), mFGColor(color), mTextEntryBGColor(entryBG), mTextEntryFGColor(entryFG), mAngle(angle),
      mAlign(align), mVAlign(valign)
  {
    SetFont(font);
  }

  constexpr void SetFont(const char* font)
  {
    const char* name = (font == nullptr || font[0] == '\0') ? kDefaultFontName : font;
    std::size_t i = 0;
    for (; i + 1 < kFontNameSize && name[i] != '\0'; ++i)
      mFont[i] = name[i];
    for (; i < kFontNameSize; ++i)
      mFont[i] = '\0';
  }

  constexpr ITextStyle WithSize(float size) const { ITextStyle s = *this; s.mSize = size; return s; }
  constexpr ITextStyle WithFGColor(const IColor& c) const { ITextStyle s = *this; s.mFGColor = c; return s; }
  constexpr ITextStyle WithAlign(ETextAlign a) const { ITextStyle s = *this; s.mAlign = a; return s; }
  constexpr ITextStyle WithVAlign(ETextVAlign a) const { ITextStyle s = *this; s.mVAlign = a; return s; }
  constexpr ITextStyle WithAngle(float degrees) const { ITextStyle s = *this; s.mAngle = degrees; return s; }
};

using IText = ITextStyle;

inline constexpr ITextStyle kDefaultTextStyle{};

// Compositing modes; the drawing backend maps each to a source and a destination factor.
enum EBlendMethod : int32_t
{
  eBlendSrcOver = 0,
  eBlendSrcIn = 1,
  eBlendSrcOut = 2,
  eBlendSrcAtop = 3,
  eBlendDstOver = 4,
  eBlendDstIn = 5,
  eBlendDstOut = 6,
  eBlendDstAtop = 7,
  eBlendAdd = 8,
  eBlendXor = 9
};

struct IBlendInfo
{
  EBlendMethod method = eBlendSrcOver;
  float weight = 1.f; // opacity 0 to 1

  constexpr IBlendInfo() = default;
  constexpr IBlendInfo(EBlendMethod m, float w) : method(m), weight(w) {}

  constexpr bool operator==(const IBlendInfo&) const = default;
};

inline constexpr IBlendInfo kBlendNone{};
inline constexpr IBlendInfo kBlend75{eBlendSrcOver, 0.75f};
inline constexpr IBlendInfo kBlend50{eBlendSrcOver, 0.5f};
inline constexpr IBlendInfo kBlend25{eBlendSrcOver, 0.25f};
inline constexpr IBlendInfo kBlend10{eBlendSrcOver, 0.1f};
inline constexpr IBlendInfo kBlend05{eBlendSrcOver, 0.05f};
inline constexpr IBlendInfo kBlend01{eBlendSrcOver, 0.01f};
inline constexpr IBlendInfo kBlendMask{eBlendDstIn, 1.f};
inline constexpr IBlendInfo kBlendUnder{eBlendDstOver, 1.f};
constexpr float kDisabledBlendWeight = 0.25f;

// A null blend is source-over at full weight.
constexpr float BlendWeight(const IBlendInfo* blend) { return blend ? blend->weight : 1.f; }
constexpr EBlendMethod BlendMethod(const IBlendInfo* blend) { return blend ? blend->method : eBlendSrcOver; }

struct IMouseModifiers
{
  bool L = false; // left button
  bool R = false; // right button
  bool S = false; // Shift
  bool C = false; // Ctrl
  bool A = false; // Alt
  uintptr_t touchId = 0; // 0 is the mouse
  float touchRadius = 0.f;

  constexpr IMouseModifiers() = default;
  constexpr explicit IMouseModifiers(bool l, bool r = false, bool s = false, bool c = false, bool a = false,
                            uintptr_t id = 0, float radius = 0.f)
    : L(l), R(r), S(s), C(c), A(a), touchId(id), touchRadius(radius)
  {
  }

  constexpr bool IsTouch() const { return touchId != 0; }
  constexpr bool operator==(const IMouseModifiers&) const = default;
};

// One pointer event: position and movement since the previous event, in editor units.
struct IMouseEvent
{
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;
  float dY = 0.f;
  IMouseModifiers mods;
};

// Affine 2-D transform: x' = xx x + xy y + tx, y' = yx x + yy y + ty.
struct ITransform
{
  double xx = 1.0;
  double yx = 0.0;
  double xy = 0.0;
  double yy = 1.0;
  double tx = 0.0;
  double ty = 0.0;

  constexpr ITransform() = default;
  constexpr ITransform(double xx_, double yx_, double xy_, double yy_, double tx_, double ty_)
    : xx(xx_), yx(yx_), xy(xy_), yy(yy_), tx(tx_), ty(ty_)
  {
  }

  // The operations below compose like a drawing context: the newest one acts on points first.
  ITransform& Transform(const ITransform& inner);
  ITransform& Translate(double x, double y) { return Transform({1.0, 0.0, 0.0, 1.0, x, y}); }
  ITransform& Scale(double x, double y) { return Transform({x, 0.0, 0.0, y, 0.0, 0.0}); }
  // clockwise on screen (y grows downwards)
  ITransform& Rotate(double degrees);

  void TransformPoint(double& x, double& y) const;
  // returns false, leaving the transform unchanged, when it cannot be inverted
  bool Invert();

  constexpr bool operator==(const ITransform&) const = default;
};

} // namespace igraphics
} // namespace iplug
