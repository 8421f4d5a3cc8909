#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Controls/ICornerResizerControl.h"
#include "Controls/IPopupMenuControl.h"
#include "Controls/ITextEntryControl.h"
#include "IControl.h"
#include "IGraphics.h"
#include "RecordingGraphics.h"

using namespace iplug::igraphics;
using iplug::IKeyPress;
using testsupport::RecordingDelegate;
using testsupport::RecordingGraphics;
using testsupport::TestControl;

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;
const IMouseModifiers kLeft(true);
const IMouseModifiers kRight(false, true);

struct InputFixture : ::testing::Test
{
  RecordingDelegate dlg;
  RecordingGraphics g{dlg, kWidth, kHeight};
  TestControl* panel = nullptr;

  InputFixture() { panel = Add(IRect(0, 0, kWidth, kHeight), kNoParameter); }

  TestControl* Add(const IRect& bounds, int paramIdx)
  {
    auto* control = new TestControl(bounds, paramIdx);
    g.AttachControl(control);
    control->mEvents.clear();
    return control;
  }
};

class FakeHostContainer : public IHostViewContainer
{
public:
  uint32_t GetModifiers() const override { return mHeld; }
  bool HandleParameterMouseDown(const char* paramID, uint32_t modifiers) override
  {
    mOffers.push_back({paramID, modifiers});
    return mTakes;
  }

  struct Offer
  {
    std::string id;
    uint32_t modifiers;
    bool operator==(const Offer&) const = default;
  };
  std::vector<Offer> mOffers;
  uint32_t mHeld = 0;
  bool mTakes = false;
};

} // namespace

TEST_F(InputFixture, HoverNeedsTrackingWhileClicksDoNot)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), RecordingDelegate::kGain);
  EXPECT_FALSE(g.OnMouseHover(20.f, 20.f, IMouseModifiers()));
  EXPECT_TRUE(knob->mEvents.empty());
  EXPECT_EQ(g.GetMouseControl(20.f, 20.f, false), knob);

  g.EnableMouseOver(true);
  EXPECT_TRUE(g.OnMouseHover(20.f, 20.f, IMouseModifiers()));
  EXPECT_EQ(g.GetMouseOver(), knob);
  EXPECT_EQ(g.GetMouseOverIdx(), 1);
  // the background never gets hover
  EXPECT_FALSE(g.OnMouseHover(100.f, 100.f, IMouseModifiers()));
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"hover", "leave"}));
  EXPECT_TRUE(panel->mEvents.empty());
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
}

TEST_F(InputFixture, RightClickOnABoundControlWithoutMenuItemsShowsNothingAndSkipsTheControl)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), RecordingDelegate::kGain);
  g.MouseDown(20.f, 20.f, kRight);
  EXPECT_TRUE(knob->mEvents.empty());
  EXPECT_TRUE(g.mMenus.empty());
  EXPECT_TRUE(dlg.mEvents.empty());
  EXPECT_FALSE(g.ControlIsCaptured());
}

TEST_F(InputFixture, RightClickOffersTheControlsContextMenuAndReportsTheChoice)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), RecordingDelegate::kGain);
  knob->mContextItems = {"Learn", "Reset"};
  g.mNextMenuChoice = 1;
  g.MouseDown(20.f, 22.f, kRight);
  ASSERT_EQ(g.mMenus.size(), 1u);
  EXPECT_EQ(g.mMenus[0].items, (std::vector<std::string>{"Learn", "Reset"}));
  EXPECT_EQ(g.mMenus[0].bounds, IRect(20, 22, 20, 22));
  EXPECT_EQ(knob->mEvents, std::vector<std::string>{"context choice 1"});
  EXPECT_TRUE(dlg.mEvents.empty()); // no gesture end without a begin
}

TEST_F(InputFixture, HostViewContainerIsOfferedTheMouseDownFirst)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), RecordingDelegate::kFreq);
  FakeHostContainer host;
  host.mHeld = 2;
  g.SetViewContainer(&host);

  g.MouseDown(20.f, 20.f, IMouseModifiers(true, false, true, true, false));
  EXPECT_EQ(host.mOffers, (std::vector<FakeHostContainer::Offer>{{"4", 1u | 8u | 2u}}));
  EXPECT_EQ(knob->mEvents, std::vector<std::string>{"down"});
  g.MouseUp(20.f, 20.f);

  host.mTakes = true;
  knob->mEvents.clear();
  dlg.mEvents.clear();
  g.MouseDown(20.f, 20.f, IMouseModifiers(false, true, false, false, true));
  EXPECT_EQ(host.mOffers.back(), (FakeHostContainer::Offer{"4", 4u | 16u | 2u}));
  EXPECT_TRUE(knob->mEvents.empty());
  EXPECT_TRUE(dlg.mEvents.empty());
  EXPECT_FALSE(g.ControlIsCaptured());

  g.MouseDown(100.f, 100.f); // the panel has no parameter: nothing to offer
  EXPECT_EQ(host.mOffers.size(), 2u);
}

TEST_F(InputFixture, GestureBracketsExactlyEveryValueChangeOfADrag)
{
  TestControl* knob = Add(IRect(10, 10, 30, 110), RecordingDelegate::kGain);
  TestControl* peer = Add(IRect(200, 10, 220, 110), RecordingDelegate::kGain);
  knob->mDragSetsValue = true;

  g.MouseDown(20.f, 60.f);
  g.MouseDrag(20.f, 35.f, 0.f, -25.f);
  g.MouseDrag(20.f, 35.f, 0.f, 0.f); // no movement: not delivered
  g.MouseDrag(300.f, 10.f, 280.f, -25.f); // outside the knob: still its drag
  g.MouseUp(300.f, 10.f);

  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 0", "value 0 0.750", "value 0 1.000", "end 0"}));
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"down", "drag 0 -25", "drag 280 -25", "up"}));
  EXPECT_EQ(peer->GetValue(), 1.0); // the peer follows
  EXPECT_TRUE(peer->mEvents.empty());
  EXPECT_FALSE(g.ControlIsCaptured(knob));
}

TEST_F(InputFixture, MouseUpUpdatesHoverAtTheReleasePoint)
{
  TestControl* a = Add(IRect(10, 10, 30, 30), kNoParameter);
  TestControl* b = Add(IRect(50, 10, 70, 30), kNoParameter);
  g.EnableMouseOver(true);
  g.MouseDown(20.f, 20.f);
  g.MouseUp(60.f, 20.f);
  EXPECT_EQ(a->mEvents, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(b->mEvents, std::vector<std::string>{"hover"});
  EXPECT_EQ(g.GetMouseOver(), b);
}

TEST_F(InputFixture, DoubleClickIsASecondPressOnlyWhenTheControlAsksForIt)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), RecordingDelegate::kGain);
  EXPECT_TRUE(g.OnMouseDoubleClick(20.f, 20.f, kLeft));
  EXPECT_EQ(knob->mEvents, std::vector<std::string>{"double click"});
  EXPECT_FALSE(g.ControlIsCaptured());
  EXPECT_TRUE(dlg.mEvents.empty());

  knob->mEvents.clear();
  knob->SetDoubleClickAsDown(true);
  EXPECT_TRUE(g.OnMouseDoubleClick(20.f, 20.f, kLeft));
  EXPECT_EQ(knob->mEvents, std::vector<std::string>{"down"});
  EXPECT_EQ(dlg.mEvents, std::vector<std::string>{"begin 0"});
  g.MouseUp(20.f, 20.f);
  EXPECT_EQ(dlg.mEvents.back(), "end 0");

  panel->SetIgnoresMouse(true);
  EXPECT_FALSE(g.OnMouseDoubleClick(300.f, 150.f, kLeft));
}

TEST_F(InputFixture, MouseLeaveRestoresTheArrowAndTellsEveryControl)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  g.EnableMouseOver(true);
  g.OnMouseHover(20.f, 20.f, IMouseModifiers());
  g.SetMouseCursor(eCursorHand);
  g.OnMouseLeave();
  EXPECT_EQ(g.mCursorsSet.back(), eCursorArrow);
  EXPECT_EQ(g.GetCursorShape(), eCursorHand); // remembered for when the mouse comes back
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"hover", "leave"}));
  EXPECT_EQ(g.GetMouseOver(), nullptr);
  EXPECT_EQ(g.GetMouseOverIdx(), -1);
}

TEST_F(InputFixture, WheelAndDropReachTheControlUnderThePoint)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  g.OnMouseWheel(20.f, 20.f, IMouseModifiers(), 3.f);
  g.OnFileDrop("/tmp/a.wav", 20.f, 20.f);
  g.OnFileDrop("/tmp/b.wav", 100.f, 100.f);
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"wheel 3", "drop /tmp/a.wav"}));
  EXPECT_EQ(panel->mEvents, std::vector<std::string>{"drop /tmp/b.wav"});
  EXPECT_FALSE(g.ControlIsCaptured());
}

TEST_F(InputFixture, KeysGoToTheControlUnderThePointThenToTheKeyHandler)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  std::vector<std::string> handled;
  const IKeyPress key("a", 'A');
  EXPECT_FALSE(g.OnKeyDown(20.f, 20.f, key));
  g.SetKeyHandlerFunc([&handled](const IKeyPress&, bool isUp) {
    handled.push_back(isUp ? "up" : "down");
    return true;
  });
  EXPECT_TRUE(g.OnKeyDown(20.f, 20.f, key));
  EXPECT_TRUE(g.OnKeyUp(100.f, 100.f, key)); // over the background: straight to the handler
  knob->mTakesKeys = true;
  EXPECT_TRUE(g.OnKeyDown(20.f, 20.f, key));
  EXPECT_EQ(handled, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"key down", "key down", "key down"}));
  EXPECT_TRUE(panel->mEvents.empty());
}

TEST_F(InputFixture, TouchCancelReleasesOnlyThatTouch)
{
  TestControl* a = Add(IRect(10, 10, 30, 30), RecordingDelegate::kGain);
  TestControl* b = Add(IRect(50, 10, 70, 30), RecordingDelegate::kFreq);
  g.EnableMultiTouch(true);
  const IMouseModifiers touch1(true, false, false, false, false, 1);
  const IMouseModifiers touch2(true, false, false, false, false, 2);
  g.OnMouseDown({IMouseEvent{20.f, 20.f, 0.f, 0.f, touch1}, IMouseEvent{60.f, 20.f, 0.f, 0.f, touch2}});
  EXPECT_TRUE(g.ControlIsCaptured(a));
  EXPECT_TRUE(g.ControlIsCaptured(b));
  float x = 0.f, y = 0.f;
  g.GetMouseDownPoint(x, y);
  EXPECT_EQ(x, -1.f); // only a single pointer's press is remembered

  g.OnTouchCancel({IMouseEvent{20.f, 20.f, 0.f, 0.f, touch1}});
  EXPECT_FALSE(g.ControlIsCaptured(a));
  EXPECT_TRUE(g.ControlIsCaptured(b));
  EXPECT_EQ(a->mEvents.back(), "touch cancel");
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 0", "begin 3", "end 0"}));
}

TEST_F(InputFixture, SecondTouchOnAControlWithoutMultiTouchFindsNothing)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  g.EnableMultiTouch(true);
  const IMouseModifiers touch1(true, false, false, false, false, 1);
  const IMouseModifiers touch2(true, false, false, false, false, 2);
  g.OnMouseDown({IMouseEvent{20.f, 20.f, 0.f, 0.f, touch1}});
  g.OnMouseDown({IMouseEvent{21.f, 21.f, 0.f, 0.f, touch2}});
  EXPECT_EQ(knob->mEvents, std::vector<std::string>{"down"});
  knob->SetWantsMultiTouch(true);
  g.OnMouseDown({IMouseEvent{21.f, 21.f, 0.f, 0.f, touch2}});
  EXPECT_EQ(knob->mEvents, (std::vector<std::string>{"down", "down"}));
  EXPECT_EQ(g.GetTouches(knob).size(), 2u);
}

TEST_F(InputFixture, GestureGoesToAControlWithAHandlerElseToTheRegionUnderIt)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  std::vector<std::string> log;
  g.AttachGestureRegion(IRect(0, 0, 100, 100), [&log](IControl* c, const IGestureEvent&) {
    log.push_back(c ? "control" : "region");
  });
  IGestureEvent tap;
  tap.type = eGestureDoubleTap;
  tap.x = tap.y = 20.f;
  g.OnGestureRecognized(tap);
  knob->AddGestureHandler(eGestureDoubleTap, [&log](IControl*, const IGestureEvent&) { log.push_back("knob"); });
  g.OnGestureRecognized(tap);
  knob->SetAnimation([](IControl*) {}); // an animating control does not take gestures
  g.OnGestureRecognized(tap);
  tap.x = 300.f;
  g.OnGestureRecognized(tap); // outside every region
  EXPECT_EQ(log, (std::vector<std::string>{"region", "knob", "region"}));

  g.AttachGestureRecognizer(eGesturePinch);
  g.AttachGestureRecognizer(eGesturePinch);
  EXPECT_EQ(g.GetGestureTypes(), std::vector<EGestureType>{eGesturePinch});
}

TEST_F(InputFixture, EnumerationPromptIsAMenuOfItsTextsWithThePresentOneChecked)
{
  TestControl* mode = Add(IRect(10, 10, 30, 30), RecordingDelegate::kMode);
  mode->SetValue(0.5);
  dlg.GetParam(RecordingDelegate::kMode)->SetRealValue(1.0);
  g.mNextMenuChoice = 2;
  g.OpenValueEditor(mode, mode->GetRECT(), 0);
  ASSERT_EQ(g.mMenus.size(), 1u);
  EXPECT_EQ(g.mMenus[0].title, "Mode");
  EXPECT_EQ(g.mMenus[0].items, (std::vector<std::string>{"Low", "Mid", "High"}));
  EXPECT_EQ(g.mMenus[0].checked, (std::vector<bool>{false, true, false}));
  // prompts are off for this control, so the choice is not taken
  EXPECT_EQ(mode->GetValue(), 0.5);
  EXPECT_EQ(g.GetControlInPopupMenu(), nullptr);
  EXPECT_TRUE(dlg.mEvents.empty());

  mode->SetPromptDisabled(false);
  g.OpenValueEditor(mode, mode->GetRECT(), 0);
  EXPECT_EQ(mode->GetValue(), 1.0);
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 1", "value 1 1.000", "end 1"}));
}

TEST_F(InputFixture, MenuFromAPressEndsThePressGestureWhenItCompletes)
{
  TestControl* mode = Add(IRect(10, 10, 30, 30), RecordingDelegate::kMode);
  mode->SetPromptDisabled(false);
  g.mMenusAsync = true;
  g.MouseDown(20.f, 20.f);
  g.OpenValueEditor(mode, mode->GetRECT(), 0); // as a control opening its menu on a press would
  EXPECT_FALSE(g.ControlIsCaptured());
  EXPECT_EQ(g.GetControlInPopupMenu(), mode);
  g.MouseUp(20.f, 20.f); // capture is gone: the release does not end the gesture
  EXPECT_EQ(dlg.mEvents, std::vector<std::string>{"begin 1"});

  g.GetPromptMenu().SetChosenItemIdx(0);
  mode->SetValue(0.5);
  g.CompleteMenu(&g.GetPromptMenu());
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 1", "value 1 0.000", "end 1"}));
  g.CompleteMenu(&g.GetPromptMenu()); // nothing open any more
  EXPECT_EQ(dlg.mEvents.size(), 3u);
}

TEST_F(InputFixture, MenuClosedWithoutChoiceChangesNothing)
{
  TestControl* mode = Add(IRect(10, 10, 30, 30), RecordingDelegate::kMode);
  mode->SetPromptDisabled(false);
  g.OpenValueEditor(mode, mode->GetRECT(), 0);
  EXPECT_EQ(g.mMenus.size(), 1u);
  EXPECT_EQ(mode->GetValue(), 0.0);
  EXPECT_TRUE(dlg.mEvents.empty());
}

TEST_F(InputFixture, TextPromptShowsTheValueAndCommitsWhatIsTyped)
{
  TestControl* gain = Add(IRect(10, 10, 50, 50), RecordingDelegate::kGain);
  gain->SetPromptShowsUnit(true);
  g.OpenValueEditor(gain, IRect(10, 22, 50, 38), 0);
  ASSERT_EQ(g.mTextEntries.size(), 1u);
  EXPECT_EQ(g.mTextEntries[0].text, "0.0 dB");
  EXPECT_EQ(g.mTextEntries[0].paramIdx, RecordingDelegate::kGain);
  EXPECT_EQ(g.mTextEntries[0].bounds, IRect(10, 22, 50, 38));
  EXPECT_EQ(g.GetControlInTextEntry(), gain);

  g.CompleteTextEntry("5");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.75);
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"begin 0", "value 0 0.750", "end 0"}));
  EXPECT_EQ(g.GetControlInTextEntry(), nullptr);
  g.CompleteTextEntry("7");
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.75);

  g.OpenValueEditor(gain, gain->GetRECT(), 0);
  g.CompleteTextEntry("5.0"); // the same value: nothing to tell the host
  EXPECT_EQ(dlg.mEvents.size(), 3u);
}

TEST_F(InputFixture, TextEntryForAnUnboundValueGoesToTheControl)
{
  TestControl* label = Add(IRect(10, 10, 50, 50), kNoParameter);
  g.CreateTextEntry(*label, kDefaultTextStyle, label->GetRECT(), "abc", 0);
  EXPECT_EQ(g.mTextEntries.back().paramIdx, kNoParameter);
  g.CompleteTextEntry("xyz");
  EXPECT_EQ(label->mEvents.back(), "text xyz 0");
}

TEST_F(InputFixture, DragIsNotDeliveredWhileANativeTextEntryIsOpen)
{
  TestControl* gain = Add(IRect(10, 10, 50, 50), RecordingDelegate::kGain);
  g.MouseDown(20.f, 20.f);
  g.OpenValueEditor(gain, gain->GetRECT(), 0);
  g.MouseDrag(20.f, 10.f, 0.f, -10.f);
  EXPECT_EQ(gain->mEvents, std::vector<std::string>{"down"});
}

TEST_F(InputFixture, DrawnEditorsReplaceTheNativeOnesAndTakeThePointer)
{
  g.AttachTextEntryControl();
  g.AttachPopupMenuControl();
  TestControl* gain = Add(IRect(10, 10, 50, 50), RecordingDelegate::kGain);
  TestControl* mode = Add(IRect(100, 10, 140, 50), RecordingDelegate::kMode);
  mode->SetPromptDisabled(false);

  g.OpenValueEditor(gain, gain->GetRECT(), 0);
  EXPECT_TRUE(g.mTextEntries.empty());
  ITextEntryControl* entry = g.GetTextEntryControl();
  ASSERT_TRUE(entry->GetEditing());
  EXPECT_STREQ(entry->GetText(), "0.0");
  EXPECT_EQ(g.GetMouseControl(300.f, 150.f, false), entry);
  for (const char* key : {"\b", "\b", "\b"})
    EXPECT_TRUE(g.OnKeyDown(0.f, 0.f, IKeyPress(key, iplug::kVK_BACK)));
  EXPECT_TRUE(g.OnKeyDown(0.f, 0.f, IKeyPress("-", '-')));
  EXPECT_TRUE(g.OnKeyDown(0.f, 0.f, IKeyPress("5", '5')));
  EXPECT_TRUE(g.OnKeyDown(0.f, 0.f, IKeyPress("", iplug::kVK_RETURN)));
  EXPECT_FALSE(entry->GetEditing());
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.25);

  g.OpenValueEditor(mode, mode->GetRECT(), 0);
  EXPECT_TRUE(g.mMenus.empty());
  IPopupMenuControl* menu = g.GetPopupMenuControl();
  ASSERT_TRUE(menu->GetExpanded());
  // items hang below the control, 20 units each: the third is "High"
  g.MouseDown(110.f, 50.f + 2.5f * IPopupMenuControl::kItemHeight);
  EXPECT_FALSE(menu->GetExpanded());
  EXPECT_EQ(mode->GetValue(), 1.0);
}

TEST_F(InputFixture, CornerResizerDragScalesTheEditorAndReleaseRescalesEveryControl)
{
  TestControl* knob = Add(IRect(10, 10, 30, 30), kNoParameter);
  g.AttachCornerResizer(eResizeScale);
  ICornerResizerControl* resizer = g.GetCornerResizer();
  EXPECT_EQ(resizer->GetRECT(), IRect(380, 180, 400, 200));
  EXPECT_EQ(g.GetMouseControl(390.f, 190.f, false), resizer);

  g.MouseDown(390.f, 190.f);
  EXPECT_TRUE(g.GetResizingInProcess());
  knob->mEvents.clear();
  g.MouseDrag(585.f, 380.f, 195.f, 190.f);
  EXPECT_FLOAT_EQ(g.GetDrawScale(), 1.5f); // the smaller of 585/390 and 380/190
  EXPECT_EQ(resizer->GetRECT(), IRect(400 - 20 / 1.5f, 200 - 20 / 1.5f, 400, 200));
  g.MouseUp(585.f, 380.f);
  EXPECT_FALSE(g.GetResizingInProcess());
  EXPECT_EQ(std::count(knob->mEvents.begin(), knob->mEvents.end(), "scale"), 1);

  EXPECT_TRUE(g.OnMouseDoubleClick(399.f, 199.f, kLeft));
  EXPECT_EQ(g.GetDrawScale(), 1.f);
}
