#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "Controls/IBitmapControl.h"
#include "Controls/IBubbleControl.h"
#include "Controls/ICornerResizerControl.h"
#include "Controls/IFPSDisplayControl.h"
#include "Controls/IPopupMenuControl.h"
#include "Controls/ITextEntryControl.h"
#include "IControl.h"
#include "IGraphics.h"
#include "RecordingGraphics.h"

using namespace iplug::igraphics;
using testsupport::RecordingDelegate;
using testsupport::RecordingGraphics;
using testsupport::TestControl;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

struct GraphicsFixture : ::testing::Test
{
  RecordingDelegate dlg;
  RecordingGraphics g{dlg, kWidth, kHeight};
  std::vector<std::string> log;

  TestControl* Add(const IRect& bounds, const char* name, int paramIdx = kNoParameter)
  {
    auto* control = new TestControl(bounds, paramIdx);
    control->mName = name;
    control->mLog = &log;
    g.AttachControl(control);
    return control;
  }

  // draws everything once, then forgets what was recorded
  void Settle()
  {
    g.RunFrame();
    g.mDraws.clear();
    g.mRegions.clear();
    log.clear();
  }
};

} // namespace

TEST_F(GraphicsFixture, AttachingBindsInOrderAndRefusesATagInUse)
{
  auto* first = new TestControl(IRect(0, 0, 10, 10));
  first->mLog = &log;
  first->mName = "first";
  EXPECT_EQ(g.AttachControl(first, 7, "knobs"), first);
  EXPECT_EQ(log, (std::vector<std::string>{"first: bound", "first: bounds", "first: scale", "first: attached"}));
  EXPECT_STREQ(first->GetGroup(), "knobs");
  EXPECT_EQ(first->GetUI(), &g);
  EXPECT_EQ(first->GetDelegate(), &dlg);

  auto second = std::make_unique<TestControl>(IRect(0, 0, 10, 10));
  EXPECT_EQ(g.AttachControl(second.get(), 7), nullptr); // the caller still owns it
  EXPECT_EQ(second->GetUI(), nullptr);
  EXPECT_EQ(g.NumControls(), 1);
  EXPECT_EQ(g.GetControlWithTag(7), first);
  EXPECT_EQ(g.GetControlWithTag(8), nullptr);
  EXPECT_EQ(g.GetControl(1), nullptr);
  EXPECT_EQ(g.GetControl(-1), nullptr);
}

TEST_F(GraphicsFixture, BackgroundGoesBehindEveryControlAtItsEditorSize)
{
  Add(IRect(0, 0, 10, 10), "knob");
  g.mResources["bg@2x.png"] = {800, 400};
  g.AttachBackground("BG.png");
  ASSERT_EQ(g.NumControls(), 2);
  auto* background = dynamic_cast<IBitmapControl*>(g.GetControl(0));
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(background->GetRECT(), IRect(0, 0, 400, 200)); // pixels / scale 2
  EXPECT_EQ(background->GetParamIdx(), kNoParameter);
  EXPECT_EQ(background->GetBlend().weight, 1.f);
}

TEST(ImageSearch, ScalesAreTriedInTheDocumentedOrder)
{
  struct Case
  {
    int target;
    std::vector<std::string> names;
  };
  const Case cases[] = {
    {1, {"BG.png", "BG@3x.png", "BG@2x.png"}},
    {2, {"BG@2x.png", "BG@3x.png", "BG.png"}},
    {3, {"BG@3x.png", "BG@2x.png", "BG.png"}},
  };
  RecordingDelegate dlg;
  for (const Case& c : cases)
  {
    RecordingGraphics g(dlg, kWidth, kHeight);
    std::string path = "untouched";
    int sourceScale = -1;
    EXPECT_EQ(g.SearchImageResource("BG.png", "png", path, c.target, sourceScale), eNotFound);
    EXPECT_EQ(g.mResourceLookups, c.names) << c.target;
    EXPECT_EQ(sourceScale, 0);
  }
}

TEST(ImageSearch, FirstHitGivesPathScaleAndLocation)
{
  RecordingDelegate dlg;
  RecordingGraphics g(dlg, kWidth, kHeight);
  g.mResources["knob@3x.png"] = {30, 30, eFilePath};
  g.mResources["knob@2x.png"] = {20, 20};
  std::string path;
  int sourceScale = 0;
  EXPECT_EQ(g.SearchImageResource("Knob.png", "png", path, 1, sourceScale), eFilePath);
  EXPECT_EQ(sourceScale, 3);
  EXPECT_EQ(path, "knob@3x.png");
  EXPECT_EQ(g.SearchImageResource("img/Knob", "png", path, 2, sourceScale), eNotFound);
  EXPECT_EQ(g.mResourceLookups.back(), "img/Knob"); // no extension: nothing after the scale
}

TEST(BitmapLoading, ABitmapFoundAtAnotherScaleIsCachedUnderThatScale)
{
  RecordingDelegate dlg;
  RecordingGraphics g(dlg, kWidth, kHeight);
  g.mResources["strip@2x.png"] = {60, 600};
  const IBitmap first = g.LoadBitmap("strip.png", 10, false, 1);
  ASSERT_TRUE(first.IsValid());
  EXPECT_EQ(first.W(), 30);
  EXPECT_EQ(first.H(), 300);
  EXPECT_EQ(first.FH(), 30);
  EXPECT_EQ(first.GetScale(), 2.f);
  EXPECT_EQ(g.mResourceLookups.size(), 3u);

  g.LoadBitmap("strip.png", 10, false, 1); // target 1 is still not cached
  EXPECT_EQ(g.mResourceLookups.size(), 6u);
  const IBitmap atTwo = g.LoadBitmap("strip.png", 10, false, 2);
  EXPECT_EQ(g.mResourceLookups.size(), 6u);
  EXPECT_EQ(atTwo.GetAPIBitmap(), first.GetAPIBitmap());

  g.mResources["anim.gif"] = {10, 10};
  EXPECT_FALSE(g.LoadBitmap("anim.gif").IsValid());
  EXPECT_FALSE(g.LoadBitmap("missing.png").IsValid());
}

TEST(BitmapLoading, ScaledBitmapFollowsTheScreenScaleRoundedUp)
{
  RecordingDelegate dlg;
  RecordingGraphics g(dlg, kWidth, kHeight);
  g.mResources["bg.png"] = {400, 200};
  g.mResources["bg@2x.png"] = {800, 400};
  const IBitmap atOne = g.LoadBitmap("bg.png", 1, false, 0);
  EXPECT_EQ(atOne.GetScale(), 1.f);
  g.SetScreenScale(1.5f);
  const IBitmap scaled = g.GetScaledBitmap(atOne);
  EXPECT_EQ(scaled.GetScale(), 2.f);
  EXPECT_EQ(scaled.W(), 400);
  EXPECT_STREQ(scaled.GetResourceName(), "bg.png");
}

TEST(BitmapLoading, SharedCachesLiveAsLongAsTheLastContext)
{
  RecordingDelegate dlg;
  const int before = BaseBitmapCache().RefCount();
  const int svgBefore = SVGCache().RefCount();
  auto a = std::make_unique<RecordingGraphics>(dlg, kWidth, kHeight);
  auto b = std::make_unique<RecordingGraphics>(dlg, kWidth, kHeight);
  EXPECT_EQ(BaseBitmapCache().RefCount(), before + 2);
  EXPECT_EQ(SVGCache().RefCount(), svgBefore + 2);
  a->mResources["bg.png"] = {10, 10};
  ASSERT_TRUE(a->LoadBitmap("bg.png", 1, false, 1).IsValid());
  EXPECT_EQ(BaseBitmapCache().Size(), 1);
  a.reset();
  EXPECT_EQ(BaseBitmapCache().Size(), 1); // still in use by b
  b.reset();
  EXPECT_EQ(BaseBitmapCache().RefCount(), before);
  EXPECT_EQ(BaseBitmapCache().Size(), 0);
}

TEST(BitmapFrames, FrameIndexSelectsTheSourceOffsetOfTheStrip)
{
  struct Case
  {
    int frames;
    bool horizontal;
    int frame;
    int srcX, srcY;
  };
  const Case cases[] = {
    {4, true, 3, 50, 0},   // 100 wide: frame 3 starts at 50
    {4, false, 2, 0, 10},  // 40 high
    {4, true, 9, 75, 0},   // clamped to the last frame
    {4, true, 0, 0, 0},    // clamped to the first
    {1, false, 5, 0, 0},   // a single frame always draws whole
  };
  RecordingDelegate dlg;
  for (const Case& c : cases)
  {
    RecordingGraphics g(dlg, kWidth, kHeight);
    g.mResources["strip.png"] = {100, 40};
    const IBitmap bitmap = g.LoadBitmap("strip.png", c.frames, c.horizontal, 1);
    g.DrawBitmap(bitmap, IRect(0, 0, 25, 10), c.frame);
    ASSERT_EQ(g.mDraws.size(), 1u);
    EXPECT_EQ(g.mDraws[0].srcX, c.srcX) << c.frame;
    EXPECT_EQ(g.mDraws[0].srcY, c.srcY) << c.frame;
  }
  EXPECT_EQ(FrameForValue(0.4999, 3), 2);
  EXPECT_EQ(FrameForValue(0.24, 3), 1);
  EXPECT_EQ(FrameForValue(0.005, 101), 2);
  EXPECT_EQ(FrameForValue(1.0, 101), 101);
}

TEST_F(GraphicsFixture, DirtyControlsArePaddedAndEachIsClippedToItsOwnArea)
{
  TestControl* a = Add(IRect(10, 10, 20, 20), "a");
  TestControl* b = Add(IRect(100.2f, 10, 110, 20), "b");
  Settle();

  a->SetValue(0.5);
  a->MarkDirty(false);
  IRectList dirty;
  EXPECT_TRUE(g.CollectDirtyAreas(dirty));
  ASSERT_EQ(dirty.Size(), 1);
  EXPECT_EQ(dirty.Get(0), IRect(9.25f, 9.25f, 20.75f, 20.75f));
  g.MarkAllClean();
  g.DrawFrame(dirty);
  EXPECT_EQ(log, std::vector<std::string>{"a: draw"});
  ASSERT_EQ(a->mDrawClips.size(), 2u);
  EXPECT_EQ(a->mDrawClips.back(), IRect(9, 9, 21, 21)); // whole pixels at scale 1
  EXPECT_TRUE(b->mDrawClips.size() == 1u);

  IRectList none;
  EXPECT_FALSE(g.CollectDirtyAreas(none));
  g.DrawFrame(none);
  EXPECT_EQ(g.mFramesBegun, 2); // an empty list starts no frame
}

TEST_F(GraphicsFixture, BackgroundIsDrawnEvenWhenHiddenOtherHiddenControlsAreNot)
{
  TestControl* panel = Add(IRect(0, 0, kWidth, kHeight), "panel");
  TestControl* knob = Add(IRect(10, 10, 20, 20), "knob");
  panel->SetHidden(true);
  knob->SetHidden(true);
  log.clear();
  g.RunFrame();
  EXPECT_EQ(log, std::vector<std::string>{"panel: draw"});
}

TEST_F(GraphicsFixture, OverlappingAreasAreOptimizedAndStrictDrawingUsesOneArea)
{
  TestControl* panel = Add(IRect(0, 0, kWidth, kHeight), "panel");
  TestControl* a = Add(IRect(10, 10, 30, 30), "a");
  TestControl* b = Add(IRect(20, 20, 40, 40), "b");
  TestControl* far = Add(IRect(300, 100, 320, 120), "far");
  Settle();

  panel->mDrawClips.clear();
  for (TestControl* c : {a, b, far})
    c->MarkDirty(false);
  g.RunFrame();
  // the panel is drawn once per area: the areas cover the aligned dirty rectangles
  // (9..31, 19..41 and 299..321 x 99..121) exactly, each pixel once
  const std::vector<IRect>& areas = panel->mDrawClips;
  float area = 0.f;
  IRect covered;
  for (size_t i = 0; i < areas.size(); ++i)
  {
    area += areas[i].Area();
    covered = covered.Union(areas[i]);
    for (size_t j = i + 1; j < areas.size(); ++j)
      EXPECT_FALSE(areas[i].Intersect(areas[j]).Area() > 0.f) << i << " " << j;
  }
  EXPECT_EQ(covered, IRect(9, 9, 321, 121));
  EXPECT_EQ(area, 22.f * 22.f * 3.f - 12.f * 12.f);

  g.SetStrictDrawing(true);
  Settle();
  panel->mDrawClips.clear();
  a->MarkDirty(false);
  far->MarkDirty(false);
  g.RunFrame();
  EXPECT_EQ(panel->mDrawClips, std::vector<IRect>{IRect(9, 9, 321, 121)});
  EXPECT_EQ(std::count(log.begin(), log.end(), "b: draw"), 1); // inside the one area, though clean
}

TEST_F(GraphicsFixture, ResizeToThePresentSizeDoesNothing)
{
  Add(IRect(0, 0, 10, 10), "knob");
  log.clear();
  g.Resize(kWidth, kHeight, 1.f);
  EXPECT_TRUE(g.mResizes.empty());
  EXPECT_TRUE(dlg.mResizeRequests.empty());
  EXPECT_EQ(g.mDrawSurfaceResizes, 0);
  EXPECT_TRUE(log.empty());
}

TEST_F(GraphicsFixture, ResizeClampsIntoTheLimitsAndAsksTheHostForTheWindowSize)
{
  Add(IRect(0, 0, 10, 10), "knob");
  dlg.SetSizeConstraints(200, 600, 100, 300);
  log.clear();
  g.Resize(1000, 50, 5.f);
  EXPECT_EQ(g.Width(), 600);
  EXPECT_EQ(g.Height(), 100);
  EXPECT_EQ(g.GetDrawScale(), 2.f);
  EXPECT_EQ(dlg.mResizeRequests, (std::vector<RecordingDelegate::ResizeRequest>{{1200, 200, true}}));
  ASSERT_EQ(g.mResizes.size(), 1u);
  EXPECT_TRUE(g.mResizes[0].needsPlatformResize); // the host's answer
  EXPECT_EQ(g.mDrawSurfaceResizes, 1);
  EXPECT_EQ(log, std::vector<std::string>{"knob: bounds"});
  EXPECT_EQ(dlg.mLayouts, 0);

  g.Resize(600, 100, 0.1f, false);
  EXPECT_EQ(g.GetDrawScale(), 0.5f);
  EXPECT_FALSE(dlg.mResizeRequests.back().needsPlatformResize);
}

TEST_F(GraphicsFixture, ResizeRunsTheLayoutAgainWhenAsked)
{
  g.AttachCornerResizer(eResizeSize, true);
  g.Resize(300, 150, 1.f);
  EXPECT_EQ(dlg.mLayouts, 1);
  EXPECT_EQ(g.GetCornerResizer()->GetRECT(), IRect(280, 130, 300, 150));
}

TEST_F(GraphicsFixture, ScreenScaleResizesTheWindowAndTellsEveryControl)
{
  Add(IRect(0, 0, 10, 10), "knob");
  g.Resize(kWidth, kHeight, 1.5f);
  log.clear();
  g.SetScreenScale(2.f);
  EXPECT_EQ(g.GetScreenScale(), 2.f);
  EXPECT_EQ(g.GetBackingPixelScale(), 3.f);
  // the window size is asked in editor-window units: the draw scale only
  EXPECT_EQ(dlg.mResizeRequests.back(), (RecordingDelegate::ResizeRequest{600, 300, true}));
  EXPECT_EQ(log, std::vector<std::string>{"knob: scale"});
  EXPECT_EQ(g.mDrawSurfaceResizes, 2);
}

TEST_F(GraphicsFixture, EveryControlIsVisitedListFirstThenTheSpecialOnes)
{
  TestControl* a = Add(IRect(0, 0, 10, 10), "a");
  TestControl* b = Add(IRect(0, 0, 10, 10), "b");
  g.AttachBubbleControl();
  g.AttachPopupMenuControl();
  g.AttachTextEntryControl();
  g.AttachCornerResizer();
  g.AttachCornerResizer(); // a second resizer is not made
  g.ShowFPSDisplay(true);
  std::vector<const IControl*> visited;
  g.ForAllControls([&](IControl& c) { visited.push_back(&c); });
  const std::vector<const IControl*> expected = {
    a, b, g.GetPerfDisplay(), g.GetCornerResizer(), g.GetTextEntryControl(), g.GetPopupMenuControl(), g.GetBubble(0)};
  EXPECT_EQ(visited, expected);
  EXPECT_EQ(g.GetPerfDisplay()->GetRECT(), kFPSDisplayBounds);
  EXPECT_STREQ(g.GetPerfDisplay()->GetTitle(), "Frame Time");

  visited.clear();
  g.ForStandardControls([&](IControl& c) { visited.push_back(&c); });
  EXPECT_EQ(visited, (std::vector<const IControl*>{a, b}));

  g.ShowFPSDisplay(false);
  EXPECT_EQ(g.GetPerfDisplay(), nullptr);
  g.RemoveAllControls();
  EXPECT_EQ(g.NumControls(), 0);
  EXPECT_EQ(g.GetCornerResizer(), nullptr);
  EXPECT_EQ(g.NumBubbles(), 0);
}

TEST_F(GraphicsFixture, ForControlWithParamFindsAnyBoundValue)
{
  TestControl* gain = Add(IRect(0, 0, 10, 10), "gain", RecordingDelegate::kGain);
  Add(IRect(0, 0, 10, 10), "freq", RecordingDelegate::kFreq);
  auto* both = new TestControl(IRect(0, 0, 10, 10), {RecordingDelegate::kFreq, RecordingDelegate::kGain});
  g.AttachControl(both);
  std::vector<const IControl*> found;
  g.ForControlWithParam(RecordingDelegate::kGain, [&](IControl& c) { found.push_back(&c); });
  EXPECT_EQ(found, (std::vector<const IControl*>{gain, both}));
}

TEST_F(GraphicsFixture, FontLoadsOnlyWhenTheBackendTakesItAndAlwaysReleasesThePlatformFont)
{
  EXPECT_FALSE(g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf"));
  EXPECT_EQ(g.mFontEvents, std::vector<std::string>{"file Roboto-Regular"});

  g.mFontFiles.insert("Roboto-Regular.ttf");
  g.mAPIFontAccepts = false;
  g.mFontEvents.clear();
  EXPECT_FALSE(g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf"));
  EXPECT_EQ(g.mFontEvents, (std::vector<std::string>{"file Roboto-Regular", "api Roboto-Regular"}));
  EXPECT_EQ(g.mLiveFonts, 0);

  g.mAPIFontAccepts = true;
  g.mFontEvents.clear();
  EXPECT_TRUE(g.LoadFont("Roboto-Regular", "Roboto-Regular.ttf"));
  EXPECT_EQ(g.mFontEvents,
            (std::vector<std::string>{"file Roboto-Regular", "api Roboto-Regular", "cache Roboto-Regular"}));
  EXPECT_EQ(g.mLiveFonts, 0);
}

TEST_F(GraphicsFixture, EmptyTextIsNeitherMeasuredNorDrawn)
{
  IRect bounds(5, 5, 5, 5);
  EXPECT_EQ(g.MeasureText(kDefaultTextStyle, nullptr, bounds), 0.f);
  EXPECT_EQ(g.MeasureText(kDefaultTextStyle, "", bounds), 0.f);
  EXPECT_EQ(g.MeasureText(kDefaultTextStyle, "abc", bounds), 18.f);
  g.DrawText(kDefaultTextStyle, "", bounds);
  g.DrawText(kDefaultTextStyle, nullptr, bounds);
  EXPECT_TRUE(g.mDraws.empty());
}

TEST_F(GraphicsFixture, TooltipsSwitchOnHoverTrackingAndDisplayTickRunsEachFrame)
{
  EXPECT_FALSE(g.MouseOverEnabled());
  g.EnableTooltips(true);
  EXPECT_TRUE(g.MouseOverEnabled());
  g.EnableTooltips(false);
  EXPECT_TRUE(g.MouseOverEnabled());

  int ticks = 0;
  g.SetDisplayTickFunc([&ticks] { ++ticks; });
  g.RunFrame();
  g.RunFrame();
  EXPECT_EQ(ticks, 2);
}

TEST_F(GraphicsFixture, BubbleOpensOnTheSideThatFitsAndKeepsItsMinimumContent)
{
  g.AttachBubbleControl();
  IBubbleControl* bubble = g.GetBubble(0);
  TestControl* edge = Add(IRect(370, 80, 390, 100), "edge");
  TestControl* top = Add(IRect(100, 0, 120, 20), "top");

  // content 50 x 20 (the text is narrower), grown by shadow and padding: 80 x 40
  g.ShowBubbleControl(edge, 390.f, 90.f, "1.0", eHorizontal, IRect(0, 0, 50, 20));
  EXPECT_EQ(bubble->GetArrowDir(), eArrowEast);
  EXPECT_EQ(bubble->GetBubbleBounds(), IRect(290, 70, 370, 110));
  EXPECT_EQ(bubble->GetFadeState(), eFadingIn);
  EXPECT_FALSE(bubble->IsHidden());
  EXPECT_TRUE(bubble->IsAnimating());

  g.ShowBubbleControl(top, 110.f, 0.f, "a much longer value text", eVertical, IRect(0, 0, 50, 20));
  EXPECT_EQ(bubble->GetArrowDir(), eArrowNorth);
  const IRect r = bubble->GetBubbleBounds();
  EXPECT_EQ(r.T, 20.f); // below the caller
  EXPECT_EQ(r.W(), 6.f * 24.f + 30.f); // the text sets its own width
  EXPECT_EQ(r.MW(), 110.f);
  EXPECT_STREQ(bubble->GetText(), "a much longer value text");
}
