#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "IGraphicsEditorDelegate.h"
#include "IGraphicsStructs.h"
#include "IPlugEditorDelegate.h"
#include "RecordingGraphics.h"

using iplug::EChangeSource;
using iplug::IDataChunk;
using iplug::IKeyPress;
using iplug::igraphics::IGEditorDelegate;
using iplug::igraphics::IRect;
using testsupport::RecordingGraphics;
using testsupport::TestControl;

namespace {

constexpr int kNumTestParams = 3;
constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 200;

struct HookCall
{
  int paramIdx;
  EChangeSource source;
  bool forEditor;
  bool operator==(const HookCall&) const = default;
};

struct ResizeRequest
{
  int width, height;
  bool needsPlatformResize;
  bool operator==(const ResizeRequest&) const = default;
};

// takes ownership like the context does; null when the tag is taken
TestControl* Attach(iplug::igraphics::IGraphics* g, const IRect& bounds, int paramIdx = iplug::igraphics::kNoParameter,
                    int tag = iplug::kNoTag)
{
  auto control = std::make_unique<TestControl>(bounds, paramIdx);
  if (!g->AttachControl(control.get(), tag))
    return nullptr;
  return control.release();
}

// Records every notification; the make-graphics function builds a RecordingGraphics.
class TestDelegate : public IGEditorDelegate
{
public:
  TestDelegate() : IGEditorDelegate(kNumTestParams)
  {
    GetParam(0)->DefineContinuous("Gain", 0.0, -10.0, 10.0, 0.1);
    GetParam(1)->DefineContinuous("Freq", 100.0, 0.0, 1000.0, 1.0);
    GetParam(2)->DefineSwitch("On", true);
  }

  void EnableGraphics()
  {
    mMakeGraphicsFunc = [this] {
      auto* g = new RecordingGraphics(*this, kDefaultWidth, kDefaultHeight);
      g->ReportTo(mContexts);
      ++mContextsMade;
      return g;
    };
  }
  void SetLayout(LayoutFunc func) { mLayoutFunc = std::move(func); }
  RecordingGraphics* Graphics() const { return static_cast<RecordingGraphics*>(GetUI()); }

  void BeginUIParamChange(int) override {}
  void EndUIParamChange(int) override {}
  bool RequestEditorResize(int width, int height, bool needsPlatformResize) override
  {
    mResizeRequests.push_back({width, height, needsPlatformResize});
    return true;
  }
  void OnParamChange(int idx, EChangeSource source, int) override { mCalls.push_back({idx, source, false}); }
  void OnParamChangeForEditor(int idx, EChangeSource source) override { mCalls.push_back({idx, source, true}); }
  void OnMidiForEditor(const iplug::IMidiMessage&) override { mEvents.push_back("delegate midi"); }
  bool OnEditorMessage(int msgTag, int ctrlTag, int, const void*) override
  {
    mEvents.push_back("message " + std::to_string(msgTag) + " " + std::to_string(ctrlTag));
    return true;
  }
  void OnEditorClosed() override
  {
    ++mClosedCount;
    if (mReenterOnClose)
      CloseEditor();
  }

  std::vector<HookCall> mCalls;
  std::vector<std::string> mEvents;
  int mContextsMade = 0;
  RecordingGraphics::Lifetime mContexts;
  std::vector<ResizeRequest> mResizeRequests;
  int mClosedCount = 0;
  bool mReenterOnClose = false;
};

IDataChunk EditorBlock(int32_t width, int32_t height, float scale)
{
  IDataChunk chunk;
  chunk.Append(width);
  chunk.Append(height);
  chunk.Append(scale);
  return chunk;
}

struct EditorBlockValues
{
  int32_t width = -1, height = -1;
  float scale = -1.f;
};

EditorBlockValues ReadEditorBlock(const IDataChunk& chunk)
{
  EditorBlockValues v;
  int pos = chunk.Read(v.width, 0);
  pos = chunk.Read(v.height, pos);
  chunk.Read(v.scale, pos);
  return v;
}

int dummyParent;

} // namespace

TEST(EditorDelegate, ChangeSourceNamesAreTheTable)
{
  const char* expected[] = {"Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown"};
  for (int i = 0; i < iplug::kNumChangeSources; ++i)
    EXPECT_STREQ(iplug::ChangeSourceName(static_cast<EChangeSource>(i)), expected[i]) << i;
  EXPECT_STREQ(iplug::ChangeSourceName(static_cast<EChangeSource>(99)), "Unknown");
  EXPECT_EQ(iplug::eFromUnknown, 6);
  EXPECT_EQ(iplug::kNoSampleOffset, -1);
  EXPECT_EQ(iplug::kNoTag, -1);
}

TEST(EditorDelegate, ParameterListHasTheConfiguredCountAndNothingOutside)
{
  TestDelegate dlg;
  EXPECT_EQ(dlg.NParams(), kNumTestParams);
  EXPECT_NE(dlg.GetParam(kNumTestParams - 1), nullptr);
  EXPECT_EQ(dlg.GetParam(-1), nullptr);
  EXPECT_EQ(dlg.GetParam(kNumTestParams), nullptr);

  class Empty : public IGEditorDelegate
  {
  public:
    Empty() : IGEditorDelegate(-4) {}
    void BeginUIParamChange(int) override {}
    void EndUIParamChange(int) override {}
  } empty;
  EXPECT_EQ(empty.NParams(), 0);
}

TEST(EditorDelegate, SizeConstraintsAreOrderedPerPair)
{
  TestDelegate dlg;
  EXPECT_EQ(dlg.GetMinWidth(), 10);
  EXPECT_EQ(dlg.GetMaxHeight(), 100000);
  dlg.SetSizeConstraints(1580, 395, 106, 426);
  EXPECT_EQ(dlg.GetMinWidth(), 395);
  EXPECT_EQ(dlg.GetMaxWidth(), 1580);
  EXPECT_EQ(dlg.GetMinHeight(), 106);
  EXPECT_EQ(dlg.GetMaxHeight(), 426);
}

TEST(EditorDelegate, AllParamsChangedRunsChangeThenEditorHookForEachParameterInOrder)
{
  TestDelegate dlg;
  dlg.OnAllParamsChanged(iplug::eFromPreset);
  std::vector<HookCall> expected;
  for (int i = 0; i < kNumTestParams; ++i)
  {
    expected.push_back({i, iplug::eFromPreset, false});
    expected.push_back({i, iplug::eFromPreset, true});
  }
  EXPECT_EQ(dlg.mCalls, expected);
}

TEST(EditorDelegate, UIValueSetsTheParameterAndTellsOnlyTheEditorHook)
{
  TestDelegate dlg;
  dlg.SendUIParamValue(1, 0.25);
  EXPECT_DOUBLE_EQ(dlg.GetParam(1)->RealValue(), 250.0);
  EXPECT_EQ(dlg.mCalls, (std::vector<HookCall>{{1, iplug::eFromUI, true}}));

  dlg.SendUIParamValue(kNumTestParams, 0.5); // no such parameter: nothing happens
  EXPECT_EQ(dlg.mCalls.size(), 1u);
}

TEST(EditorDelegate, MessageFromDelegateArrivesWithoutControlTag)
{
  TestDelegate dlg;
  dlg.SendMessageFromDelegate(7, 0, nullptr);
  EXPECT_EQ(dlg.mEvents, std::vector<std::string>{"message 7 -1"});
}

TEST(EditorDelegate, OpenEditorWithoutMakeGraphicsFunctionReturnsNullAndCreatesNothing)
{
  TestDelegate dlg;
  EXPECT_EQ(dlg.OpenEditor(&dummyParent), nullptr);
  EXPECT_EQ(dlg.GetUI(), nullptr);
  EXPECT_TRUE(dlg.mCalls.empty()); // no context, so the window never reported itself open
  dlg.CloseEditor();
  EXPECT_EQ(dlg.mClosedCount, 1);
}

TEST(EditorDelegate, OpenEditorMakesOneContextLaysItOutAndSendsEveryValue)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  TestControl* knob = nullptr;
  dlg.SetLayout([&knob](iplug::igraphics::IGraphics* g) { knob = Attach(g, IRect(0, 0, 10, 10), 1); });
  dlg.GetParam(1)->SetRealValue(750.0);

  void* window = dlg.OpenEditor(&dummyParent);
  ASSERT_NE(window, nullptr);
  ASSERT_NE(knob, nullptr);
  EXPECT_EQ(dlg.Graphics()->mParent, &dummyParent);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
  EXPECT_TRUE(dlg.Graphics()->mResizes.empty()); // nothing saved yet: the context keeps its own size

  RecordingGraphics* first = dlg.Graphics();
  dlg.OpenEditor(&dummyParent);
  EXPECT_EQ(dlg.Graphics(), first);
  EXPECT_EQ(dlg.mContextsMade, 1);
}

TEST(EditorDelegate, EditorBlockLoadedBeforeTheFirstOpeningSizesTheNextContext)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  EXPECT_EQ(dlg.LoadEditorState(EditorBlock(600, 160, 1.5f), 0), 12);
  dlg.OpenEditor(&dummyParent);
  ASSERT_EQ(dlg.Graphics()->mResizes.size(), 1u);
  const RecordingGraphics::ResizeCall& r = dlg.Graphics()->mResizes[0];
  EXPECT_EQ(r.width, 600);
  EXPECT_EQ(r.height, 160);
  EXPECT_EQ(r.scale, 1.5f);
  // the host is asked for the window size at that scale, with a platform resize
  EXPECT_EQ(dlg.mResizeRequests, (std::vector<ResizeRequest>{{900, 240, true}}));
}

TEST(EditorDelegate, UnusableStoredSizeLeavesTheNextContextAtItsDefault)
{
  struct Case
  {
    const char* what;
    int32_t width, height;
    float scale;
  };
  const Case cases[] = {
    {"zero scale", 600, 160, 0.f},
    {"zero width", 0, 160, 1.f},
    {"NaN scale", 600, 160, std::numeric_limits<float>::quiet_NaN()},
    {"infinite scale", 600, 160, std::numeric_limits<float>::infinity()},
    {"negative scale", 600, 160, -2.f},
    {"negative width", -600, 160, 1.f},
  };
  for (const Case& c : cases)
  {
    TestDelegate dlg;
    dlg.EnableGraphics();
    EXPECT_EQ(dlg.LoadEditorState(EditorBlock(c.width, c.height, c.scale), 0), 12) << c.what;
    dlg.OpenEditor(&dummyParent);
    EXPECT_TRUE(dlg.Graphics()->mResizes.empty()) << c.what;
    EXPECT_EQ(dlg.Graphics()->Width(), kDefaultWidth) << c.what;
  }
}

TEST(EditorDelegate, DamagedEditorBlockIsSavedBackAsNoSize)
{
  TestDelegate dlg;
  dlg.LoadEditorState(EditorBlock(-1, 160, std::numeric_limits<float>::quiet_NaN()), 0);
  IDataChunk saved;
  ASSERT_TRUE(dlg.SaveEditorState(saved));
  const EditorBlockValues v = ReadEditorBlock(saved);
  EXPECT_EQ(v.width, 0);
  EXPECT_EQ(v.height, 160);
  EXPECT_EQ(v.scale, 0.f);
}

TEST(EditorDelegate, TruncatedOrMisplacedEditorBlockReadsAsZerosAndFails)
{
  IDataChunk eightBytes;
  eightBytes.Append(int32_t{600});
  eightBytes.Append(int32_t{160});
  TestDelegate dlg;
  EXPECT_EQ(dlg.LoadEditorState(eightBytes, 0), -1);
  EXPECT_EQ(dlg.LoadEditorState(EditorBlock(600, 160, 1.f), -1), -1);
  EXPECT_EQ(dlg.LoadEditorState(EditorBlock(600, 160, 1.f), 1), -1);

  IDataChunk saved;
  dlg.SaveEditorState(saved);
  const EditorBlockValues v = ReadEditorBlock(saved);
  EXPECT_EQ(v.width, 0);
  EXPECT_EQ(v.height, 0);
  EXPECT_EQ(v.scale, 0.f);
}

TEST(EditorDelegate, SaveEditorStateOfNeverOpenedEditorWritesZeros)
{
  TestDelegate dlg;
  IDataChunk chunk;
  ASSERT_TRUE(dlg.SaveEditorState(chunk));
  ASSERT_EQ(chunk.Size(), 12);
  const EditorBlockValues v = ReadEditorBlock(chunk);
  EXPECT_EQ(v.width, 0);
  EXPECT_EQ(v.height, 0);
  EXPECT_EQ(v.scale, 0.f);
}

TEST(EditorDelegate, EditorBlockRoundTripsWithAndWithoutAContext)
{
  TestDelegate source;
  source.EnableGraphics();
  source.OpenEditor(&dummyParent);
  source.Graphics()->Resize(640, 180, 1.25f, true);
  IDataChunk withContext;
  ASSERT_TRUE(source.SaveEditorState(withContext));
  const EditorBlockValues v = ReadEditorBlock(withContext);
  EXPECT_EQ(v.width, 640);
  EXPECT_EQ(v.height, 180);
  EXPECT_EQ(v.scale, 1.25f);

  // the same block through a delegate without a context, then back into an open one
  TestDelegate closed;
  EXPECT_EQ(closed.LoadEditorState(withContext, 0), 12);
  IDataChunk withoutContext;
  closed.SaveEditorState(withoutContext);
  ASSERT_EQ(withoutContext.Size(), 12);
  EXPECT_EQ(std::memcmp(withoutContext.Data(), withContext.Data(), 12), 0);

  TestDelegate open;
  open.EnableGraphics();
  open.OpenEditor(&dummyParent);
  EXPECT_EQ(open.LoadEditorState(withoutContext, 0), 12);
  EXPECT_EQ(open.Graphics()->Width(), 640);
  EXPECT_EQ(open.Graphics()->Height(), 180);
  EXPECT_EQ(open.Graphics()->GetDrawScale(), 1.25f);
}

TEST(EditorDelegate, LoadedZeroSizeDoesNotResizeAnOpenContext)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  dlg.OpenEditor(&dummyParent);
  EXPECT_EQ(dlg.LoadEditorState(EditorBlock(0, 0, 0.f), 0), 12);
  EXPECT_TRUE(dlg.Graphics()->mResizes.empty());
}

TEST(EditorDelegate, ClosingRemembersSizeAndScaleForTheNextOpening)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  dlg.OpenEditor(&dummyParent);
  dlg.Graphics()->Resize(500, 250, 2.f, true);
  dlg.CloseEditor();
  EXPECT_EQ(dlg.GetUI(), nullptr);
  EXPECT_EQ(dlg.mContexts.windowsClosed, 1);
  EXPECT_EQ(dlg.mContexts.destroyed, 1);

  IDataChunk closedState;
  dlg.SaveEditorState(closedState);
  const EditorBlockValues v = ReadEditorBlock(closedState);
  EXPECT_EQ(v.width, 500);
  EXPECT_EQ(v.scale, 2.f);

  dlg.OpenEditor(&dummyParent);
  ASSERT_EQ(dlg.Graphics()->mResizes.size(), 1u);
  EXPECT_EQ(dlg.Graphics()->mResizes[0].width, 500);
  EXPECT_EQ(dlg.Graphics()->mResizes[0].height, 250);
}

TEST(EditorDelegate, CloseEditorCalledFromOnEditorClosedReturnsAtOnce)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  dlg.OpenEditor(&dummyParent);
  dlg.mReenterOnClose = true;
  dlg.CloseEditor();
  EXPECT_EQ(dlg.mClosedCount, 1);
  EXPECT_EQ(dlg.mContexts.windowsClosed, 1);
  EXPECT_EQ(dlg.mContexts.destroyed, 1);
  EXPECT_EQ(dlg.GetUI(), nullptr);

  // the guard is released afterwards: a later close runs normally
  dlg.mReenterOnClose = false;
  dlg.CloseEditor();
  EXPECT_EQ(dlg.mClosedCount, 2);
}

TEST(EditorDelegate, ParamValueReachesEveryControlValueBoundToIt)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  TestControl *a = nullptr, *b = nullptr, *pair = nullptr, *other = nullptr;
  dlg.SetLayout([&](iplug::igraphics::IGraphics* g) {
    a = Attach(g, IRect(0, 0, 10, 10), 1);
    b = Attach(g, IRect(10, 0, 20, 10), 1);
    pair = new TestControl(IRect(20, 0, 30, 10), std::initializer_list<int>{0, 1});
    g->AttachControl(pair);
    other = Attach(g, IRect(30, 0, 40, 10), 0);
  });
  dlg.OpenEditor(&dummyParent);
  dlg.mCalls.clear();

  dlg.SendParamValueToEditor(1, 400.0, false);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.4);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.4);
  EXPECT_DOUBLE_EQ(pair->GetValue(1), 0.4);
  EXPECT_DOUBLE_EQ(pair->GetValue(0), 0.5); // parameter 0 at its default, sent at opening
  EXPECT_DOUBLE_EQ(other->GetValue(), 0.5);

  dlg.SendParamValueToEditor(1, 0.9, true);
  EXPECT_DOUBLE_EQ(a->GetValue(), 0.9);
  EXPECT_DOUBLE_EQ(b->GetValue(), 0.9);

  dlg.SendParamValueToEditor(2, 0.0, true); // bound to no control
  dlg.SendParamValueToEditor(kNumTestParams, 0.0, true); // no such parameter
  EXPECT_EQ(dlg.mCalls, (std::vector<HookCall>{
                          {1, iplug::eFromDelegate, true},
                          {1, iplug::eFromDelegate, true},
                          {2, iplug::eFromDelegate, true},
                        }));
}

TEST(EditorDelegate, ParamValueLeavesAControlBeingDraggedAlone)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  TestControl* knob = nullptr;
  dlg.SetLayout([&](iplug::igraphics::IGraphics* g) { knob = Attach(g, IRect(0, 0, 10, 10), 1); });
  dlg.OpenEditor(&dummyParent);
  dlg.Graphics()->MouseDown(5.f, 5.f); // the press captures the knob
  dlg.SendParamValueToEditor(1, 0.8, true);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.1);
  dlg.Graphics()->MouseUp(5.f, 5.f);
  dlg.SendParamValueToEditor(1, 0.8, true);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.8);
}

TEST(EditorDelegate, ParamValueWithoutEditorStillReachesTheEditorHook)
{
  TestDelegate dlg;
  dlg.SendParamValueToEditor(0, 3.0, false);
  EXPECT_EQ(dlg.mCalls, (std::vector<HookCall>{{0, iplug::eFromDelegate, true}}));
}

TEST(EditorDelegate, TaggedControlGetsValueAndMessageUnknownTagIsIgnored)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  TestControl *tagged = nullptr, *untagged = nullptr;
  dlg.SetLayout([&](iplug::igraphics::IGraphics* g) {
    untagged = Attach(g, IRect(0, 0, 10, 10));
    tagged = Attach(g, IRect(0, 0, 10, 10), iplug::igraphics::kNoParameter, 42);
  });
  dlg.SetControlValueByTag(42, 0.3); // editor closed: nothing to reach
  dlg.OpenEditor(&dummyParent);

  dlg.SetControlValueByTag(42, 0.6);
  dlg.SendMessageToControl(42, 5, 16, nullptr);
  dlg.SetControlValueByTag(7, 0.9);
  dlg.SendMessageToControl(7, 5, 16, nullptr);

  EXPECT_DOUBLE_EQ(tagged->GetValue(), 0.6);
  ASSERT_EQ(tagged->mMessages.size(), 1u);
  EXPECT_EQ(tagged->mMessages[0].tag, 5);
  EXPECT_EQ(tagged->mMessages[0].size, 16);
  EXPECT_DOUBLE_EQ(untagged->GetValue(), 0.0);
  EXPECT_TRUE(untagged->mMessages.empty());
}

TEST(EditorDelegate, MidiReachesOnlyControlsThatWantItThenTheDelegate)
{
  TestDelegate dlg;
  dlg.EnableGraphics();
  TestControl *deaf = nullptr, *listening = nullptr;
  dlg.SetLayout([&](iplug::igraphics::IGraphics* g) {
    deaf = Attach(g, IRect(0, 0, 10, 10));
    listening = Attach(g, IRect(0, 0, 10, 10));
    listening->SetWantsMidi(true);
  });
  iplug::IMidiMessage msg;
  msg.mStatus = 0x90;
  dlg.SendMidiToEditor(msg); // closed: only the delegate hears it
  dlg.OpenEditor(&dummyParent);
  dlg.SendMidiToEditor(msg);

  EXPECT_TRUE(deaf->mMidi.empty());
  ASSERT_EQ(listening->mMidi.size(), 1u);
  EXPECT_EQ(listening->mMidi[0].mStatus, 0x90);
  EXPECT_EQ(dlg.mEvents, (std::vector<std::string>{"delegate midi", "delegate midi"}));
}

TEST(EditorDelegate, KeysGoToTheContextAtThePointerPosition)
{
  TestDelegate dlg;
  const IKeyPress key("a", 'A');
  EXPECT_FALSE(dlg.OnKeyDown(key));
  EXPECT_FALSE(dlg.OnKeyUp(key));

  dlg.EnableGraphics();
  TestControl *target = nullptr, *elsewhere = nullptr;
  dlg.SetLayout([&](iplug::igraphics::IGraphics* g) {
    Attach(g, IRect(0, 0, 400, 200)); // the panel at index 0 never takes keys
    target = Attach(g, IRect(10, 0, 20, 10));
    elsewhere = Attach(g, IRect(30, 0, 40, 10));
    target->mTakesKeys = elsewhere->mTakesKeys = true;
  });
  dlg.OpenEditor(&dummyParent);
  dlg.Graphics()->mPointerX = 12.5f;
  dlg.Graphics()->mPointerY = 7.f;

  EXPECT_TRUE(dlg.OnKeyDown(key));
  EXPECT_EQ(target->mKeyAt, (std::pair<float, float>{12.5f, 7.f}));
  EXPECT_TRUE(dlg.OnKeyUp(key));
  EXPECT_EQ(target->mKeyUpAt, (std::pair<float, float>{12.5f, 7.f}));
  EXPECT_EQ(elsewhere->mKeyAt, (std::pair<float, float>{-1.f, -1.f}));

  dlg.Graphics()->mPointerX = 100.f; // over the panel only
  EXPECT_FALSE(dlg.OnKeyDown(key));
}

TEST(EditorDelegate, DisplayScaleReachesTheOpenContext)
{
  TestDelegate dlg;
  dlg.SetDisplayScale(2.f); // closed: nowhere to go
  dlg.EnableGraphics();
  dlg.OpenEditor(&dummyParent);
  dlg.SetDisplayScale(1.5f);
  EXPECT_EQ(dlg.Graphics()->GetScreenScale(), 1.5f);
}

TEST(EditorDelegate, BaseDelegateOpensByNotifyingEveryParameter)
{
  class Plain : public iplug::IEditorDelegate
  {
  public:
    Plain() : IEditorDelegate(2) {}
    void BeginUIParamChange(int) override {}
    void EndUIParamChange(int) override {}
    void OnParamChangeForEditor(int idx, EChangeSource source) override { mCalls.push_back({idx, source, true}); }
    std::vector<HookCall> mCalls;
  } plain;

  EXPECT_EQ(plain.OpenEditor(&dummyParent), nullptr);
  EXPECT_EQ(plain.mCalls, (std::vector<HookCall>{{0, iplug::eFromDelegate, true}, {1, iplug::eFromDelegate, true}}));
  IDataChunk chunk;
  EXPECT_TRUE(plain.SaveEditorState(chunk));
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(plain.LoadEditorState(chunk, 5), 5);
}
