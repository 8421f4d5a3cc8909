#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "IControl.h"
#include "IGraphicsStructs.h"
#include "IPopupMenu.h"
#include "RecordingGraphics.h"

using namespace iplug::igraphics;
using testsupport::RecordingDelegate;
using testsupport::RecordingGraphics;
using testsupport::TestControl;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

struct ControlFixture : ::testing::Test
{
  RecordingDelegate dlg;
  RecordingGraphics g{dlg, kWidth, kHeight};

  template <class... Args>
  TestControl* Add(Args&&... args)
  {
    auto* control = new TestControl(std::forward<Args>(args)...);
    g.AttachControl(control);
    return control;
  }
};

} // namespace

TEST_F(ControlFixture, OneValueControlReadsEveryIndexAsItsOnlyValue)
{
  TestControl* c = Add(IRect(0, 0, 10, 100), RecordingDelegate::kGain);
  c->SetValue(1.7);
  c->MarkDirty(true, kNoValIdx);
  EXPECT_EQ(c->GetValue(), 1.0);

  c->SetValue(0.9);
  c->ResetToDefault(kNoValIdx);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.5); // 0 dB in -10..10

  c->SetValueFromPoint(5.f, 25.f, eVertical, c->GetRECT(), kNoValIdx);
  EXPECT_DOUBLE_EQ(c->GetValue(), 0.75);
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"value 0 1.000", "value 0 0.500", "value 0 0.750"}));
}

TEST_F(ControlFixture, MarkDirtyClampsThenNotifiesValueByValueThenRunsTheActionOnce)
{
  std::vector<std::string> log;
  auto* pair = new TestControl(IRect(0, 0, 10, 10), {RecordingDelegate::kGain, kNoParameter, RecordingDelegate::kFreq},
                               [&log](IControl*) { log.push_back("action"); });
  g.AttachControl(pair);
  TestControl* gainPeer = Add(IRect(20, 0, 30, 10), RecordingDelegate::kGain);
  TestControl* freqPeer = Add(IRect(40, 0, 50, 10), RecordingDelegate::kFreq);
  pair->SetValue(1.3, 0);
  pair->SetValue(0.4, 1);
  pair->SetValue(-0.2, 2);

  pair->MarkDirty(true);
  EXPECT_EQ(pair->GetValue(0), 1.0);
  EXPECT_EQ(pair->GetValue(2), 0.0);
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"value 0 1.000", "value 3 0.000"}));
  EXPECT_EQ(gainPeer->GetValue(), 1.0);
  EXPECT_EQ(freqPeer->GetValue(), 0.0);
  EXPECT_EQ(log, std::vector<std::string>{"action"});

  dlg.mEvents.clear();
  pair->MarkDirty(false);
  EXPECT_TRUE(dlg.mEvents.empty());
  EXPECT_EQ(log.size(), 1u);
}

TEST_F(ControlFixture, ReceiveValueIsIgnoredWhileTheControlIsDraggedAndAppliesAfter)
{
  TestControl* knob = Add(IRect(0, 0, 10, 10), RecordingDelegate::kGain);
  g.MouseDown(5.f, 5.f);
  knob->ReceiveValue(0.8);
  EXPECT_EQ(knob->GetValue(), 0.0);
  g.MouseUp(5.f, 5.f);
  knob->ReceiveValue(0.8);
  EXPECT_EQ(knob->GetValue(), 0.8);

  knob->MarkClean();
  knob->ReceiveValue(0.8);
  EXPECT_FALSE(knob->IsDirty()); // the same value is no change
  knob->ReceiveValue(0.3);
  EXPECT_TRUE(knob->IsDirty());
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 0", "end 0"})); // nothing echoed back
}

TEST_F(ControlFixture, NaNFromThePluginSideIsStoredAsZero)
{
  TestControl* knob = Add(IRect(0, 0, 10, 10), RecordingDelegate::kGain);
  knob->SetValue(0.6);
  knob->ReceiveValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(knob->GetValue(), 0.0);
  EXPECT_TRUE(knob->IsDirty());
}

TEST_F(ControlFixture, CommitUserValueNotifiesOnlyAChange)
{
  TestControl* knob = Add(IRect(0, 0, 10, 10), RecordingDelegate::kGain);
  knob->CommitUserValue(0.0);
  EXPECT_TRUE(dlg.mEvents.empty());
  knob->CommitUserValue(0.25);
  EXPECT_EQ(dlg.mEvents, std::vector<std::string>{"value 0 0.250"});
  EXPECT_DOUBLE_EQ(dlg.GetParam(RecordingDelegate::kGain)->RealValue(), -5.0);
}

TEST_F(ControlFixture, ResetToDefaultLeavesUnboundValuesAlone)
{
  auto* c = new TestControl(IRect(0, 0, 10, 10), {RecordingDelegate::kFreq, kNoParameter});
  g.AttachControl(c);
  c->SetValue(0.9, 0);
  c->SetValue(0.7, 1);
  c->ResetToDefault();
  EXPECT_DOUBLE_EQ(c->GetValue(0), 0.1);
  EXPECT_DOUBLE_EQ(c->GetValue(1), 0.7);
}

TEST_F(ControlFixture, ValueFromPointIsClampedIntoTheAreaAndQuantised)
{
  const IRect area(0, 100, 100, 200);
  struct Case
  {
    float x, y;
    EDragDirection dir;
    double min, max, expected;
  };
  const Case cases[] = {
    {50.f, 100.f, eVertical, 0.0, 1.0, 1.0},     // top edge
    {50.f, 200.f, eVertical, 0.0, 1.0, 0.0},     // bottom edge
    {50.f, -40.f, eVertical, 0.0, 1.0, 1.0},     // above the area
    {12.345f, 0.f, eHorizontal, 0.0, 1.0, 0.123}, // 0.12345 quantised
    {12.35f, 0.f, eHorizontal, 0.0, 1.0, 0.124},  // a half rounds up
    {500.f, 0.f, eHorizontal, 0.0, 1.0, 1.0},
    {90.f, 0.f, eHorizontal, 0.2, 0.6, 0.6},      // into min..max
    {5.f, 0.f, eHorizontal, 0.2, 0.6, 0.2},
  };
  TestControl* c = Add(IRect(0, 0, 10, 10));
  for (const Case& k : cases)
  {
    c->SetValueFromPoint(k.x, k.y, k.dir, area, kNoValIdx, k.min, k.max);
    EXPECT_NEAR(c->GetValue(), k.expected, 1e-12) << k.x << "," << k.y;
  }
}

TEST_F(ControlFixture, MoveToKeepsSizeAndMovesTheHitRectByTheSameOffset)
{
  TestControl* c = Add(IRect(20, 20, 50, 40));
  c->SetHitRect(IRect(25, 25, 45, 35));
  c->OnMouseHover(30.f, 30.f, IMouseModifiers());
  c->mEvents.clear();

  c->MoveTo(-5.f, 10.f);
  EXPECT_EQ(c->GetRECT(), IRect(0, 10, 30, 30));
  EXPECT_EQ(c->GetHitRect(), IRect(5, 15, 25, 25));
  EXPECT_FALSE(c->GetMouseIsOver());
  EXPECT_EQ(c->mEvents, std::vector<std::string>{"bounds"});

  c->Resize(-3.f, 8.f);
  EXPECT_EQ(c->GetRECT(), IRect(0, 10, 0, 18));
  EXPECT_EQ(c->GetHitRect(), IRect(0, 10, 0, 18));
}

TEST_F(ControlFixture, HiddenAndDisabledControlsAreHitOnlyAsTheirFlagsAllow)
{
  Add(IRect(0, 0, kWidth, kHeight)); // index 0 never gets hover
  TestControl* under = Add(IRect(0, 0, 100, 100));
  TestControl* c = Add(IRect(10, 10, 20, 20));
  g.EnableMouseOver(true);
  auto hit = [&](bool hover) { return g.GetMouseControl(15.f, 15.f, false, hover); };

  c->SetHidden(true);
  EXPECT_EQ(hit(false), under);
  c->SetHidden(false);
  c->SetDisabled(true);
  EXPECT_EQ(c->GetBlend().weight, 0.25f);
  EXPECT_EQ(hit(false), under);
  EXPECT_EQ(hit(true), under);
  c->SetHoverWhenDisabled(true);
  EXPECT_EQ(hit(true), c);
  EXPECT_EQ(hit(false), under);
  c->SetMouseWhenDisabled(true);
  EXPECT_EQ(hit(false), c);
  c->SetDisabled(false);
  EXPECT_EQ(c->GetBlend().weight, 1.f);
  c->SetIgnoresMouse(true);
  EXPECT_EQ(hit(false), under);
}

TEST_F(ControlFixture, ValueEditorOpensOnlyWhenPromptsAreEnabled)
{
  TestControl* gain = Add(IRect(100, 50, 160, 110), RecordingDelegate::kGain);
  gain->OpenValueEditor(0);
  EXPECT_TRUE(g.mTextEntries.empty());

  gain->SetPromptDisabled(false);
  gain->OpenValueEditor(kNoValIdx);
  EXPECT_TRUE(g.mTextEntries.empty());
  gain->OpenValueEditor(0);
  ASSERT_EQ(g.mTextEntries.size(), 1u);
  EXPECT_EQ(g.mTextEntries[0].bounds, IRect(110, 72, 150, 88)); // 40 x 16 at the centre
  EXPECT_EQ(g.mTextEntries[0].maxLength, kDefaultTextEntryLength);

  TestControl* mode = Add(IRect(0, 0, 30, 30), RecordingDelegate::kMode);
  mode->SetPromptDisabled(false);
  mode->OpenValueEditor(0);
  ASSERT_EQ(g.mMenus.size(), 1u);
  EXPECT_EQ(g.mMenus[0].bounds, IRect(0, 0, 30, 30)); // a menu opens over the whole control
}

TEST_F(ControlFixture, MenuChoiceCommitsTheChosenIndexAsARealValue)
{
  TestControl* mode = Add(IRect(0, 0, 30, 30), RecordingDelegate::kMode);
  IPopupMenu menu;
  menu.AddItem("Low");
  menu.AddItem("Mid");
  menu.AddItem("High");
  menu.SetChosenItemIdx(2);
  mode->OnMenuChoice(&menu, 0);
  EXPECT_EQ(mode->GetValue(), 0.0); // prompts disabled
  mode->SetPromptDisabled(false);
  mode->OnMenuChoice(nullptr, 0);
  EXPECT_EQ(mode->GetValue(), 0.0);
  mode->OnMenuChoice(&menu, 0);
  EXPECT_EQ(mode->GetValue(), 1.0);
  EXPECT_EQ(dlg.GetParam(RecordingDelegate::kMode)->RealValue(), 2.0);
}

TEST_F(ControlFixture, ParameterOutsideTheDelegateListIsNoParameter)
{
  TestControl* c = Add(IRect(0, 0, 10, 10), RecordingDelegate::kNumParams + 3);
  EXPECT_EQ(c->GetParam(), nullptr);
  c->SetPromptDisabled(false);
  c->SetValue(0.4);
  c->ResetToDefault();
  EXPECT_EQ(c->GetValue(), 0.4);
  c->OpenValueEditor(0);
  EXPECT_TRUE(g.mTextEntries.empty());
}

TEST_F(ControlFixture, BindingOutsideTheValueListBindsNothing)
{
  TestControl* c = Add(IRect(0, 0, 10, 10));
  c->BindParam(RecordingDelegate::kGain, 3);
  EXPECT_EQ(c->GetParamIdx(0), kNoParameter);
  c->BindParam(RecordingDelegate::kGain, 0);
  EXPECT_EQ(c->GetParamIdx(0), RecordingDelegate::kGain);
}

TEST_F(ControlFixture, AnimationRedrawsEveryFrameUntilItEnds)
{
  TestControl* c = Add(IRect(0, 0, 10, 10));
  EXPECT_EQ(c->AnimationProgress(), 0.0);
  int frames = 0;
  std::vector<std::string> log;
  c->SetAnimationEndFunction([&log](IControl*) { log.push_back("ended"); });
  c->SetAnimation(
    [&](IControl* self) {
      ++frames;
      if (self->AnimationProgress() > 1.0)
        self->EndAnimation();
    },
    5.0);
  c->MarkClean();
  EXPECT_TRUE(c->NeedsRedraw());
  const double first = c->AnimationProgress();
  EXPECT_GE(first, 0.0);
  EXPECT_LT(first, 1.0);

  std::this_thread::sleep_for(std::chrono::milliseconds(8));
  EXPECT_GT(c->AnimationProgress(), 1.0); // not clamped
  EXPECT_EQ(g.RunFrame().Size(), 1); // the frame that ends it is still drawn
  EXPECT_EQ(frames, 1);
  EXPECT_FALSE(c->IsAnimating());
  EXPECT_EQ(c->AnimationProgress(), 0.0);
  EXPECT_EQ(log, std::vector<std::string>{"ended"});
  EXPECT_EQ(g.RunFrame().Size(), 0);
}

TEST_F(ControlFixture, HostHighlightPicksTheColourByIndexAndDrawsADotInTheCorner)
{
  TestControl* c = Add(IRect(100, 20, 160, 80), RecordingDelegate::kGain);
  const IColor expected[] = {kColorRed, kColorBlue, kColorGreen, kColorYellow};
  for (int i = 0; i < 4; ++i)
  {
    c->SetHostHighlight(true, i);
    EXPECT_EQ(c->GetHighlightColor(), expected[i]) << i;
  }
  c->SetHostHighlight(true, 9);
  EXPECT_EQ(c->GetHighlightColor(), kColorYellow);

  g.mDraws.clear();
  g.RunFrame();
  const auto fills = g.Draws("fill");
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.back().color, kColorYellow);
  EXPECT_EQ(fills.back().bounds, IRect(153, 23, 157, 27)); // radius 2 at (R - 5, T + 5)

  g.SetHostHighlight(RecordingDelegate::kGain, false, 0);
  EXPECT_FALSE(c->GetHostHighlighted());
  EXPECT_EQ(c->GetHighlightColor(), kColorRed);
}

TEST_F(ControlFixture, GestureReachesOnlyARegisteredHandler)
{
  TestControl* c = Add(IRect(0, 0, 10, 10));
  IGestureEvent pinch;
  pinch.type = eGesturePinch;
  EXPECT_FALSE(c->OnGesture(pinch));
  c->AddGestureHandler(eGesturePinch, nullptr);
  EXPECT_FALSE(c->WantsGestures());
  EXPECT_FALSE(c->OnGesture(pinch));

  int calls = 0;
  c->AddGestureHandler(eGesturePinch, [&calls](IControl*, const IGestureEvent&) { ++calls; });
  EXPECT_TRUE(c->WantsGestures());
  EXPECT_TRUE(c->OnGesture(pinch));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(c->GetLastGesture(), eGesturePinch);
}

TEST_F(ControlFixture, HoverAndLeaveRedrawOnlyOnAChange)
{
  TestControl* c = Add(IRect(0, 0, 10, 10));
  c->MarkClean();
  c->OnMouseHover(1.f, 1.f, IMouseModifiers());
  EXPECT_TRUE(c->IsDirty());
  c->MarkClean();
  c->OnMouseHover(2.f, 2.f, IMouseModifiers());
  EXPECT_FALSE(c->IsDirty());
  c->OnMouseLeave();
  EXPECT_TRUE(c->IsDirty());
  c->MarkClean();
  c->OnMouseLeave();
  EXPECT_FALSE(c->IsDirty());
}
