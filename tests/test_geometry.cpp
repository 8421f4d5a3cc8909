#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "IGraphicsStructs.h"

using namespace iplug;
using namespace iplug::igraphics;

namespace {

std::string Show(const IRect& r)
{
  std::ostringstream text;
  text << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ")";
  return text.str();
}

IRectList ListOf(const std::vector<IRect>& rects)
{
  IRectList list;
  for (const IRect& r : rects)
    list.Add(r);
  return list;
}

std::vector<IRect> Entries(const IRectList& list)
{
  return {list.begin(), list.end()};
}

int CoverCount(const IRectList& list, float x, float y)
{
  int count = 0;
  for (const IRect& r : list)
    count += r.Contains(x, y) ? 1 : 0;
  return count;
}

// ---------------------------------------------------------------- IRect

struct PointCase
{
  IRect rect;
  float x, y;
  bool inside;
};

TEST(IRect, ContainsPointIncludesLeftTopEdgesAndExcludesRightBottomEdges)
{
  const PointCase cases[] = {
    {{0, 0, 0, 0}, 0, 0, false},          // the empty rectangle holds not even its own corner
    {{0, 0, 10, 10}, 0, 0, true},
    {{0, 0, 10, 10}, 10, 10, false},
    {{0, 0, 10, 10}, 9.999f, 9.999f, true},
    {{0, 0, 10, 10}, 10, 5, false},
    {{0, 0, 10, 10}, 5, 10, false},
    {{0, 0, 10, 10}, -0.001f, 5, false},
    {{0, 0, 10, 10}, 5, -0.001f, false},
    {{-5, -5, 0, 0}, -5, -5, true},       // a corner at the origin is not "empty"
    {{10, 0, 0, 10}, 5, 5, false},        // inverted: not empty, yet holds no point
  };
  for (const PointCase& c : cases)
    EXPECT_EQ(c.rect.Contains(c.x, c.y), c.inside) << Show(c.rect) << " at " << c.x << ", " << c.y;
}

TEST(IRect, OnlyAllZeroCoordinatesAreEmpty)
{
  EXPECT_TRUE(IRect().Empty());
  EXPECT_FALSE(IRect(10, 0, 0, 10).Empty());
  EXPECT_FALSE(IRect(0, 0, 0, 1).Empty());
  EXPECT_FALSE(IRect(5, 5, 5, 5).Empty());
}

struct PairCase
{
  IRect a, b;
  bool aContainsB, aIntersectsB;
  IRect intersection;
};

TEST(IRect, ContainmentAndIntersectionFollowTheEdgeRules)
{
  const IRect unit{0, 0, 10, 10};
  const PairCase cases[] = {
    {unit, unit, true, true, unit},
    {unit, {2, 2, 5, 5}, true, true, {2, 2, 5, 5}},
    {unit, {0, 0, 10, 5}, true, true, {0, 0, 10, 5}},              // sharing edges is still inside
    {unit, {5, 5, 15, 15}, false, true, {5, 5, 10, 10}},
    {unit, {10, 0, 20, 10}, false, true, {10, 0, 10, 10}},        // own right edge touches: counts
    {{10, 0, 20, 10}, unit, false, false, {}},                    // other's right edge touches: does not
    {unit, {0, 10, 10, 20}, false, true, {0, 10, 10, 10}},
    {{0, 10, 10, 20}, unit, false, false, {}},
    {unit, {11, 0, 20, 10}, false, false, {}},
    {unit, {}, false, false, {}},                                 // empty on either side: nothing
    {{}, unit, false, false, {}},
    {{}, {}, false, false, {}},
    {{-5, -5, 5, 5}, {}, false, false, {}},                       // the empty rectangle is not a point at 0,0
  };
  for (const PairCase& c : cases)
  {
    SCOPED_TRACE(Show(c.a) + " vs " + Show(c.b));
    EXPECT_EQ(c.a.Contains(c.b), c.aContainsB);
    EXPECT_EQ(c.a.Intersects(c.b), c.aIntersectsB);
    EXPECT_EQ(c.a.Intersect(c.b), c.intersection);
  }
}

TEST(IRect, UnionWithAnEmptyRectangleIsTheOtherOne)
{
  const IRect away{20, 20, 30, 30};
  EXPECT_EQ(away.Union({}), away); // not stretched to the origin
  EXPECT_EQ(IRect().Union(away), away);
  EXPECT_EQ(IRect(0, 0, 10, 10).Union(away), IRect(0, 0, 30, 30));
}

TEST(IRect, PixelAlignedGrowsOutwardsToWholePixels)
{
  EXPECT_EQ(IRect(0.3f, 0.3f, 10.1f, 10.1f).PixelAligned(2), IRect(0, 0, 10.5f, 10.5f));
  EXPECT_EQ(IRect(0.3f, 0.3f, 10.1f, 10.1f).PixelAligned(1), IRect(0, 0, 11, 11));
  EXPECT_EQ(IRect(-0.3f, 1.5f, 2.5f, 3.f).PixelAligned(2), IRect(-0.5f, 1.5f, 2.5f, 3.f)); // already aligned
  EXPECT_EQ(IRect(0.3f, 0.3f, 10.1f, 10.1f).PixelAligned(0), IRect(0.3f, 0.3f, 10.1f, 10.1f));
}

TEST(IRect, CentredInsideKeepsTheCentreAndConstrainClampsIntoTheRectangle)
{
  const IRect r{10, 20, 30, 60};
  EXPECT_EQ(r.CentredInside(4, 8), IRect(18, 36, 22, 44));
  EXPECT_EQ(r.CentredInside(40, 80), IRect(0, 0, 40, 80));
  float x = -3, y = 100;
  r.Constrain(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 60);
  x = 15, y = 25;
  r.Constrain(x, y);
  EXPECT_EQ(x, 15);
  EXPECT_EQ(y, 25);
}

struct FakeFilmStrip
{
  int FW() const { return 59; }
  int FH() const { return 30; }
};

TEST(IRect, BuiltFromAPointAndABitmapSpansOneFrame)
{
  EXPECT_EQ(IRect(100, 50, FakeFilmStrip{}), IRect(100, 50, 159, 80));
}

// ---------------------------------------------------------------- IRectList

TEST(IRectList, BoundsIgnoresEmptyEntriesAndGetOutsideTheListIsEmpty)
{
  const IRectList list = ListOf({{}, {20, 20, 30, 30}, {}, {25, 10, 40, 22}});
  EXPECT_EQ(list.Bounds(), IRect(20, 10, 40, 30));
  EXPECT_TRUE(list.Get(-1).Empty());
  EXPECT_TRUE(list.Get(list.Size()).Empty());
  EXPECT_TRUE(IRectList().Bounds().Empty());
}

TEST(IRectList, PixelAlignAlignsEveryEntry)
{
  IRectList list = ListOf({{0.3f, 0.3f, 10.1f, 10.1f}, {1.2f, 1.2f, 1.3f, 1.3f}});
  list.PixelAlign(2);
  EXPECT_EQ(Entries(list), (std::vector<IRect>{{0, 0, 10.5f, 10.5f}, {1, 1, 1.5f, 1.5f}}));
}

struct OptimizeCase
{
  const char* name;
  std::vector<IRect> input;
  std::vector<IRect> expected;
};

TEST(IRectList, OptimizeDropsContainedAndMergesNeighbours)
{
  const OptimizeCase cases[] = {
    {"contained", {{0, 0, 10, 10}, {2, 2, 5, 5}}, {{0, 0, 10, 10}}},
    {"containing comes later", {{2, 2, 5, 5}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
    {"stacked", {{0, 0, 10, 10}, {0, 10, 10, 20}}, {{0, 0, 10, 20}}},
    {"side by side", {{10, 0, 20, 10}, {0, 0, 10, 10}}, {{0, 0, 20, 10}}},
    {"duplicates", {{0, 0, 10, 10}, {0, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
    {"empty entries vanish", {{}, {5, 5, 8, 8}, {}}, {{5, 5, 8, 8}}},
    {"apart", {{0, 0, 10, 10}, {20, 0, 30, 5}}, {{0, 0, 10, 10}, {20, 0, 30, 5}}},
    {"column overlap", {{0, 0, 10, 10}, {0, 5, 10, 30}}, {{0, 0, 10, 30}}},
  };
  for (const OptimizeCase& c : cases)
  {
    IRectList list = ListOf(c.input);
    list.Optimize();
    EXPECT_EQ(Entries(list), c.expected) << c.name;
  }
}

// A bar across the middle of a square: cutting the overlap off either rectangle must keep
// both of its far sides, not just the first.
TEST(IRectList, OptimizeKeepsBothSidesOfACrossingBar)
{
  const IRect square{0, 0, 10, 10};
  const IRect bar{-5, 4, 15, 6};
  for (const auto& input : {std::vector<IRect>{square, bar}, std::vector<IRect>{bar, square}})
  {
    IRectList list = ListOf(input);
    list.Optimize();
    const std::pair<float, float> points[] = {{5.f, 1.f}, {5.f, 8.f}, {-4.f, 5.f}, {14.f, 5.f}, {5.f, 5.f}};
    for (const auto& [x, y] : points)
      EXPECT_EQ(CoverCount(list, x, y), 1) << x << ", " << y;
  }
}

// Random dirty lists on a half-unit lattice, sampled at every lattice point (so on every
// edge) and between them: Optimize covers exactly the points covered before, each once.
TEST(IRectList, OptimizeNeverLosesOrAddsCoveredPoints)
{
  std::mt19937 rng(20240611);
  std::uniform_int_distribution<int> coord(0, 24);
  std::uniform_int_distribution<int> count(1, 7);
  std::uniform_int_distribution<int> kind(0, 19);
  const auto lattice = [&] { return static_cast<float>(coord(rng)) * 0.5f; };
  const auto randomRect = [&]() -> IRect {
    const int k = kind(rng);
    if (k == 0)
      return {};
    const float l = lattice(), t = lattice();
    if (k == 1)
      return {l, t, l, t + 3}; // zero width: covers nothing
    const float r = lattice(), b = lattice();
    return {std::min(l, r), std::min(t, b), std::max(l, r) + 0.5f, std::max(t, b) + 0.5f};
  };

  constexpr int kTrials = 400;
  constexpr float kStep = 0.25f;
  for (int trial = 0; trial < kTrials; ++trial)
  {
    std::vector<IRect> input;
    for (int n = count(rng); n > 0; --n)
      input.push_back(randomRect());
    const IRectList before = ListOf(input);
    IRectList after = ListOf(input);
    after.Optimize();

    std::string where;
    for (const IRect& r : input)
      where += Show(r) + " ";
    for (float y = -1.f; y <= 14.f; y += kStep)
      for (float x = -1.f; x <= 14.f; x += kStep)
      {
        const bool covered = CoverCount(before, x, y) > 0;
        const int coverage = CoverCount(after, x, y);
        ASSERT_EQ(coverage, covered ? 1 : 0) << "at " << x << ", " << y << " from " << where;
      }
  }
}

// ---------------------------------------------------------------- IColor

TEST(IColor, NamedColoursHaveTheirValues)
{
  struct Named
  {
    const char* name;
    IColor colour;
    int a, r, g, b;
  };
  const Named table[] = {
    {"translucent", kColorTranslucent, 10, 0, 0, 0},  {"black", kColorBlack, 255, 0, 0, 0},
    {"drop shadow", kColorBlackDropShadow, 128, 0, 0, 0}, {"gray", kColorGray, 255, 127, 127, 127},
    {"light gray", kColorLightGray, 255, 240, 240, 240}, {"mid gray", kColorMidGray, 255, 200, 200, 200},
    {"dark gray", kColorDarkGray, 255, 70, 70, 70},   {"white", kColorWhite, 255, 255, 255, 255},
    {"red", kColorRed, 255, 255, 0, 0},               {"green", kColorGreen, 255, 0, 255, 0},
    {"blue", kColorBlue, 255, 0, 0, 255},             {"yellow", kColorYellow, 255, 255, 255, 0},
    {"orange", kColorOrange, 255, 255, 127, 0},       {"indigo", kColorIndigo, 255, 75, 0, 130},
    {"violet", kColorViolet, 255, 148, 0, 211},
  };
  for (const Named& n : table)
    EXPECT_EQ(n.colour, IColor(n.a, n.r, n.g, n.b)) << n.name;
}

TEST(IColor, ClampedWithOpacityAndInterpolatedStayInRange)
{
  EXPECT_EQ(IColor(300, -4, 128, 256).Clamped(), IColor(255, 0, 128, 255));
  EXPECT_EQ(kColorRed.WithOpacity(0.5f), IColor(128, 255, 0, 0));
  EXPECT_EQ(kColorRed.WithOpacity(1.7f), kColorRed);
  EXPECT_EQ(kColorRed.WithOpacity(-1.f), IColor(0, 255, 0, 0));
  EXPECT_EQ(IColor::Interpolated(kColorBlack, kColorWhite, 0.f), kColorBlack);
  EXPECT_EQ(IColor::Interpolated(kColorBlack, kColorWhite, 1.f), kColorWhite);
  EXPECT_EQ(IColor::Interpolated(kColorBlack, kColorWhite, 0.5f), IColor(255, 128, 128, 128));
  EXPECT_EQ(IColor::Interpolated(kColorWhite, kColorBlack, 2.f), kColorBlack);
}

// ---------------------------------------------------------------- ITextStyle, IBlendInfo

// Constant-initialised: usable by any static initialiser of any translation unit.
static_assert(kDefaultTextStyle.mSize == 14.f && kDefaultTextStyle.mFont[0] == 'R');
static_assert(kColorViolet.B == 211 && kBlend25.weight == 0.25f);

TEST(ITextStyle, DefaultsAreRobotoFourteenBlackOnWhiteCentred)
{
  const ITextStyle s;
  EXPECT_STREQ(s.mFont, "Roboto-Regular");
  EXPECT_EQ(s.mSize, 14.f);
  EXPECT_EQ(s.mFGColor, kColorBlack);
  EXPECT_EQ(s.mTextEntryBGColor, kColorWhite);
  EXPECT_EQ(s.mTextEntryFGColor, kColorBlack);
  EXPECT_EQ(s.mAngle, 0.f);
  EXPECT_EQ(s.mAlign, eAlignCentre);
  EXPECT_EQ(s.mVAlign, eAlignMiddle);
}

TEST(ITextStyle, FontNameIsCutToTheFieldAndMissingNamesMeanTheDefault)
{
  const std::string longName(100, 'x');
  const ITextStyle cut(12.f, kColorRed, longName.c_str());
  EXPECT_EQ(std::strlen(cut.mFont), kFontNameSize - 1);
  EXPECT_STREQ(ITextStyle(12.f, kColorRed, "").mFont, "Roboto-Regular");
  EXPECT_STREQ(ITextStyle(12.f, kColorRed, nullptr).mFont, "Roboto-Regular");

  ITextStyle renamed(12.f, kColorRed, "A-Much-Longer-Font-Name");
  renamed.SetFont("Ab");
  EXPECT_EQ(std::memcmp(renamed.mFont, "Ab\0\0\0\0", 6), 0); // no tail of the old name left
}

TEST(IBlendInfo, PredefinedBlendsAndAMissingBlendMeanFullSourceOver)
{
  const IBlendInfo expected[] = {{eBlendSrcOver, 0.75f}, {eBlendSrcOver, 0.5f}, {eBlendSrcOver, 0.25f},
                                 {eBlendSrcOver, 0.1f},  {eBlendSrcOver, 0.05f}, {eBlendSrcOver, 0.01f},
                                 {eBlendDstIn, 1.f},     {eBlendDstOver, 1.f}};
  const IBlendInfo actual[] = {kBlend75, kBlend50, kBlend25, kBlend10, kBlend05, kBlend01, kBlendMask, kBlendUnder};
  for (std::size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(actual[i], expected[i]) << i;
  EXPECT_EQ(BlendWeight(nullptr), 1.f);
  EXPECT_EQ(BlendMethod(nullptr), eBlendSrcOver);
  EXPECT_EQ(BlendWeight(&kBlend10), 0.1f);
  EXPECT_EQ(IBlendInfo(), kBlendNone);
  EXPECT_EQ(kBlendNone.weight, 1.f);
}

// ---------------------------------------------------------------- ITransform

void ExpectMaps(const ITransform& t, double x, double y, double toX, double toY)
{
  t.TransformPoint(x, y);
  EXPECT_NEAR(x, toX, 1e-12);
  EXPECT_NEAR(y, toY, 1e-12);
}

TEST(ITransform, NewestOperationActsOnPointsFirst)
{
  ExpectMaps(ITransform(), 3, 4, 3, 4);
  ExpectMaps(ITransform().Translate(10, 0).Scale(2, 3), 1, 1, 12, 3);
  ExpectMaps(ITransform().Scale(2, 3).Translate(10, 0), 1, 1, 22, 3);
  ExpectMaps(ITransform().Rotate(90), 1, 0, 0, 1); // clockwise on a y-down screen
  ExpectMaps(ITransform().Translate(5, 5).Rotate(180), 1, 2, 4, 3);
}

TEST(ITransform, InvertUndoesAndRefusesASingularMatrix)
{
  ITransform t;
  t.Translate(7, -3).Rotate(30).Scale(2, 0.5);
  ITransform inverse = t;
  ASSERT_TRUE(inverse.Invert());
  double x = 1.5, y = -2.25;
  t.TransformPoint(x, y);
  inverse.TransformPoint(x, y);
  EXPECT_NEAR(x, 1.5, 1e-12);
  EXPECT_NEAR(y, -2.25, 1e-12);

  ITransform flat;
  flat.Scale(1, 0).Translate(4, 4);
  const ITransform kept = flat;
  EXPECT_FALSE(flat.Invert());
  EXPECT_EQ(flat, kept);
}

// ---------------------------------------------------------------- IKeyPress

TEST(IKeyPress, HoldsAtMostOneCharacter)
{
  struct KeyCase
  {
    const char* name;
    const char* text;
    const char* stored;
  };
  const KeyCase cases[] = {
    {"Delete gives no text", nullptr, ""},
    {"empty", "", ""},
    {"ascii", "a", "a"},
    {"two characters keep the first", "ab", "a"},
    {"four-byte character fits", "\xF0\x9F\x8E\xB5", "\xF0\x9F\x8E\xB5"},
    {"three-byte character then more", "\xE2\x82\xAC\x41", "\xE2\x82\xAC"},
    {"ANSI byte from the window kept as is", "\xE9", "\xE9"},
  };
  for (const KeyCase& c : cases)
  {
    const IKeyPress key(c.text, kVK_DELETE, true, false, true);
    EXPECT_STREQ(key.utf8, c.stored) << c.name;
    EXPECT_EQ(key.HasCharacter(), c.stored[0] != '\0') << c.name;
    EXPECT_EQ(key.VK, kVK_DELETE);
    EXPECT_TRUE(key.S);
    EXPECT_FALSE(key.C);
    EXPECT_TRUE(key.A);
  }
}

} // namespace
