// The AAX binding in-process: TALVEN (and two small effects) driven through the AAX interfaces by host
// stand-ins, with render contexts built by hand so that malformed ones can be handed in too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "AAXStandIns.h"
#include "AAX_CParameter.h"
#include "AAX_IEffectGUI.h"
#include "ACFModule.h"
#include "IPlugAAX.h"
#include "RecordingGraphics.h"
#include "TALVEN.h"
#include "Timer.h"

namespace {

using namespace iplug;
using testsupport::ScopedServices;
using testsupport::StandInHost;
using testsupport::StandInMidiNode;
using testsupport::StandInViewContainer;
using Field = AAX_SIPlugRenderContext::EField;

constexpr AAX_CTypeID kTalvenChunkID = 0x544C5631; // 'TLV1'
constexpr int kTalvenStateBytes = 188;

struct NoTimer : Timer
{
  void Stop() override {}
};

class HighlightGraphics : public testsupport::RecordingGraphics
{
public:
  using RecordingGraphics::RecordingGraphics;
  void SetHostHighlight(int paramIdx, bool highlighted, int colorIndex) override
  {
    highlights.push_back({paramIdx, highlighted, colorIndex});
    RecordingGraphics::SetHostHighlight(paramIdx, highlighted, colorIndex);
  }
  struct Highlight
  {
    int paramIdx;
    bool highlighted;
    int color;
  };
  std::vector<Highlight> highlights;
};

// TALVEN with its hooks recorded.
class ProbedTalven : public talven::TALVEN
{
public:
  struct Change
  {
    int idx;
    EChangeSource source;
    int offset;
  };

  using TALVEN::OnParamChange;
  void OnParamChange(int idx, EChangeSource source, int offset) override
  {
    changes.push_back({idx, source, offset});
    TALVEN::OnParamChange(idx, source, offset);
  }
  void ResetProcessing() override
  {
    ++resets;
    TALVEN::ResetProcessing();
  }
  void SendParamValueToEditor(int idx, double value, bool normalized) override
  {
    editorValues.emplace_back(idx, value);
    TALVEN::SendParamValueToEditor(idx, value, normalized);
  }
  void RenderBlock(AAX_SIPlugRenderContext* context, ParamValuePair* const* pairs, int32_t count) override
  {
    pairCounts.push_back(count);
    TALVEN::RenderBlock(context, pairs, count);
  }
  igraphics::IGraphics* CreateGraphics() override { return new HighlightGraphics(*this, 790, 213); }

  std::vector<Change> changes;
  std::vector<std::pair<int, double>> editorValues;
  std::vector<int32_t> pairCounts;
  int resets = 0;
};

// An effect with MIDI in and out and a plain gain parameter.
class MidiPlug : public IPlugAAX
{
public:
  static IPluginConfig Config()
  {
    IPluginConfig c;
    c.nParams = 1;
    c.channelIOStr = "2-2";
    c.uniqueID = 0x4D696469; // 'Midi'
    c.plugDoesMidiIn = true;
    c.plugDoesMidiOut = true;
    c.plugHasUI = true;
    return c;
  }
  MidiPlug() : IPlugAAX(Config(), InstanceInfo{}) { GetParam(0)->DefineContinuous("Gain", 0.0, -12.0, 12.0, 0.1); }
  void SendMidiToEditor(const IMidiMessage& msg) override { editorMidi.push_back(msg); }

  std::vector<IMidiMessage> editorMidi;
};

// The adapter alone, with synchronized parameters "p1".."pN" (0..1, linear).
class SyncEffect : public AAX_CIPlugParameters
{
public:
  explicit SyncEffect(int numParams) : mNumParams(numParams) {}

  AAX_Result InitEffect() override
  {
    for (int i = 1; i <= mNumParams; ++i)
    {
      const std::string id = "p" + std::to_string(i);
      auto parameter = std::make_unique<AAX_CParameter<double>>(
        id.c_str(), AAX_CString(id), 0.0, AAX_CLinearTaperDelegate<double, 0>(0.0, 1.0),
        AAX_CNumberDisplayDelegate<double, 2, 0>(), true);
      RegisterSynchronizedParameter(*parameter);
      mParameterManager.AddParameter(std::move(parameter));
    }
    return AAX_SUCCESS;
  }
  void RenderBlock(AAX_SIPlugRenderContext*, ParamValuePair* const* pairs, int32_t count) override
  {
    counts.push_back(count);
    for (int32_t i = 0; i < count; ++i)
    {
      double value = -1.0;
      pairs[i]->mValue->GetValueAsDouble(&value);
      delivered.push_back(std::string(pairs[i]->mID) + "=" + std::to_string(value));
    }
  }
  void Register(const AAX_IParameter& parameter) { RegisterSynchronizedParameter(parameter); }

  std::vector<int32_t> counts;
  std::vector<std::string> delivered;

private:
  int mNumParams;
};

// An effect initialised with its own stand-in host; released when it goes.
template <typename Effect>
class Hosted
{
public:
  template <typename... Args>
  explicit Hosted(Args&&... args) : effect(new Effect(std::forward<Args>(args)...)), host(new StandInHost)
  {
    host->effect = effect;
    effect->Initialize(host->Unknown());
  }
  ~Hosted()
  {
    effect->Uninitialize();
    host->effect = nullptr;
    static_cast<AAX_IEffectParameters*>(effect)->Release();
    host->Release();
  }
  Hosted(const Hosted&) = delete;
  Hosted& operator=(const Hosted&) = delete;

  Effect* operator->() const { return effect; }
  AAX_IEffectParameters& Params() const { return *effect; }

  Effect* effect;
  StandInHost* host;
};

// One render context with its buffers, as a host lays it out.
class RenderRig
{
public:
  explicit RenderRig(AAX_IEffectParameters& effect, AAX_ITransport* transport = nullptr)
  {
    effect.ResetContextField(Field::eFieldPrivateData, &mPrivateData, sizeof(mPrivateData));
    transportNode.transport = transport;
    context.mInputs = mInputPointers;
    context.mOutputs = mOutputPointers;
    context.mBufferLength = &mLength;
    context.mInputNode = &inputNode;
    context.mOutputNode = &outputNode;
    context.mTransportNode = &transportNode;
    context.mPrivateData = &mPrivateData;
    context.mCurrentStateNumber = &stateNumber;
    context.mSideChainChannel = &mSideChain;
  }

  // n frames of the inputs (silence when shorter) into outputs pre-filled with `fill`
  void Render(int n, float fill = 0.f)
  {
    for (int c = 0; c < 2; ++c)
    {
      in[c].resize(static_cast<size_t>(n), 0.f);
      out[c].assign(static_cast<size_t>(n), fill);
      mInputPointers[c] = in[c].data();
      mOutputPointers[c] = out[c].data();
    }
    mLength = n;
    void* list[] = {&context};
    AAX_CIPlugParameters::StaticRenderCallback(list, list + 1);
  }

  AAX_SIPlugRenderContext context{};
  StandInMidiNode inputNode, outputNode, transportNode;
  int64_t stateNumber = 0;
  std::vector<float> in[2], out[2];

private:
  AAX_SIPlugPrivateData mPrivateData;
  float* mInputPointers[2] = {};
  float* mOutputPointers[2] = {};
  int32_t mLength = 0;
  int32_t mSideChain = 0;
};

std::string ValueText(AAX_IEffectParameters& effect, const char* id, int32_t limit)
{
  AAX_CString text;
  effect.GetParameterValueString(id, &text, limit);
  return text.Get();
}

std::string TextOfNormalized(AAX_IEffectParameters& effect, const char* id, double value, int32_t limit)
{
  AAX_CString text;
  effect.GetParameterStringFromValue(id, value, &text, limit);
  return text.Get();
}

// A host chunk record of exactly the header and `dataBytes`, so reading past it is caught.
class ChunkRecord
{
public:
  ChunkRecord(AAX_CTypeID id, int32_t dataBytes)
    : mBytes(AAX_SHostChunk::AllocationSize(static_cast<size_t>(std::max(dataBytes, 0))), 0)
  {
    Get()->mChunkID = id;
    Get()->mSize = dataBytes;
  }
  AAX_SHostChunk* Get() { return reinterpret_cast<AAX_SHostChunk*>(mBytes.data()); }
  uint8_t* Data() { return Get()->Data(); }

private:
  std::vector<uint8_t> mBytes;
};

ChunkRecord TakeChunk(AAX_IEffectParameters& effect)
{
  uint32_t size = 0;
  EXPECT_EQ(effect.GetChunkSize(kTalvenChunkID, &size), AAX_SUCCESS);
  ChunkRecord record(kTalvenChunkID, static_cast<int32_t>(size));
  EXPECT_EQ(effect.GetChunk(kTalvenChunkID, record.Get()), AAX_SUCCESS);
  return record;
}

std::vector<double> Values(const IPlugAAX& plug)
{
  std::vector<double> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(plug.GetParam(i)->RealValue());
  return values;
}

class BindingTest : public ::testing::Test
{
protected:
  ScopedServices services;
  Hosted<ProbedTalven> plug;
};

// ---------------------------------------------------------------- host parameters

TEST_F(BindingTest, HostSeesTheMasterBypassThenEveryDefinedParameterAndNotTheReservedOne)
{
  int32_t count = 0;
  plug.Params().GetNumberOfParameters(&count);
  ASSERT_EQ(count, 22);

  std::vector<std::string> expected = {""};
  for (int i = 1; i <= 22; ++i)
    if (i != 12)
      expected.push_back(std::to_string(i));
  std::vector<std::string> ids, registered;
  for (int32_t i = 0; i < count; ++i)
  {
    AAX_CString id;
    EXPECT_EQ(plug.Params().GetParameterIDFromIndex(i, &id), AAX_SUCCESS);
    ids.emplace_back(id.Get());
  }
  EXPECT_EQ(ids, expected);
  for (const std::string& e : plug.host->EventsOf("register"))
    registered.push_back(e.substr(std::strlen("register ")));
  EXPECT_EQ(registered, expected);

  AAX_CString bypassID, name;
  plug.Params().GetMasterBypassParameter(&bypassID);
  EXPECT_STREQ(bypassID.Get(), "");
  plug.Params().GetParameterName("", &name);
  EXPECT_STREQ(name.Get(), "Master Bypass");
  plug.Params().GetParameterName("16", &name);
  EXPECT_STREQ(name.Get(), "Drive");

  int32_t index = 0;
  EXPECT_EQ(plug.Params().GetParameterIndex("12", &index), AAX_ERROR_INVALID_PARAMETER_ID);
  EXPECT_EQ(index, -1);
  double value = 0.0;
  EXPECT_EQ(plug.Params().GetParameterNormalizedValue("12", &value), AAX_ERROR_INVALID_PARAMETER_ID);
  plug.Params().GetParameterName("12", &name);
  EXPECT_STREQ(name.Get(), "");
}

TEST_F(BindingTest, ParametersShowTheirValuesWithUnitsTextsAndLimits)
{
  struct Case
  {
    const char* id;
    double normalized; // < 0: the current value
    int32_t limit;
    const char* text;
  };
  const Case cases[] = {
    {"3", -1, 255, "110.00Hz"},
    {"3", -1, 6, "110.00"},
    {"11", -1, 255, "9.30kHz"},
    {"6", -1, 255, "2.00Oct"},
    {"22", -1, 255, "0"}, // the oversampling switch without its texts or a unit
    {"22", 1.0, 255, "1"},
    {"17", -1, 255, "1"},
    {"", -1, 255, "bypass"},
    {"", 1.0, 255, "on"},
  };
  for (const Case& c : cases)
  {
    const std::string text = c.normalized < 0 ? ValueText(plug.Params(), c.id, c.limit)
                                              : TextOfNormalized(plug.Params(), c.id, c.normalized, c.limit);
    EXPECT_EQ(text, c.text) << "id " << c.id << " limit " << c.limit;
  }
}

TEST_F(BindingTest, StepsAndTypesFollowTheParameterKinds)
{
  struct Case
  {
    const char* id;
    int32_t steps;
    AAX_EParameterType type;
  };
  const Case cases[] = {
    {"", 2, AAX_eParameterType_Discrete},
    {"3", 128, AAX_eParameterType_Continuous},
    {"17", 128, AAX_eParameterType_Continuous},
    {"22", 128, AAX_eParameterType_Continuous},
  };
  for (const Case& c : cases)
  {
    int32_t steps = 0;
    AAX_EParameterType type = AAX_eParameterType_Discrete;
    plug.Params().GetParameterNumberOfSteps(c.id, &steps);
    plug.Params().GetParameterType(c.id, &type);
    EXPECT_EQ(steps, c.steps) << c.id;
    EXPECT_EQ(type, c.type) << c.id;
  }
}

TEST_F(BindingTest, HostUpdateOfThreeAtHalfSetsLowFrequencyTellsEditorAndHook)
{
  plug->changes.clear();
  int32_t changesBefore = 0, changesAfter = 0;
  plug.Params().GetNumberOfChanges(&changesBefore);

  EXPECT_EQ(plug.Params().OnHostParamUpdate("3", 0.5, AAX_eUpdateSource_Parameter), AAX_SUCCESS);

  const IParam& lowFrequency = *plug->GetParam(talven::kParamLowFreq);
  EXPECT_DOUBLE_EQ(lowFrequency.RealValue(), lowFrequency.NormalizedToReal(0.5));
  ASSERT_EQ(plug->changes.size(), 1u);
  EXPECT_EQ(plug->changes[0].idx, talven::kParamLowFreq);
  EXPECT_EQ(plug->changes[0].source, eFromHost);
  EXPECT_EQ(plug->changes[0].offset, kNoSampleOffset);
  plug.Params().GetNumberOfChanges(&changesAfter);
  EXPECT_EQ(changesAfter, changesBefore + 1);

  NoTimer timer;
  plug->OnTimerTick(timer);
  ASSERT_EQ(plug->editorValues.size(), 1u);
  EXPECT_EQ(plug->editorValues[0].first, talven::kParamLowFreq);
  EXPECT_DOUBLE_EQ(plug->editorValues[0].second, lowFrequency.RealValue());
}

TEST_F(BindingTest, UnknownIdentifiersAndTheMasterBypassLeaveEveryParameterAlone)
{
  const std::vector<double> before = Values(*plug.effect);
  plug->changes.clear();
  for (const char* id : {"12", "23", "0", "abc", "-1", static_cast<const char*>(nullptr)})
    EXPECT_EQ(plug.Params().OnHostParamUpdate(id, 0.7, AAX_eUpdateSource_Parameter), AAX_ERROR_INVALID_PARAMETER_ID)
      << (id ? id : "null");

  EXPECT_EQ(plug.Params().OnHostParamUpdate("", 1.0, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
  double bypass = 0.0;
  plug.Params().GetParameterNormalizedValue("", &bypass);
  EXPECT_EQ(bypass, 1.0);
  EXPECT_EQ(Values(*plug.effect), before);
  EXPECT_TRUE(plug->changes.empty());
}

TEST_F(BindingTest, EditorGesturesAndValuesReachTheHostUnderTheParameterIdentifier)
{
  plug.host->events.clear();
  plug->BeginUIParamChange(talven::kParamDrive);
  plug->SendUIParamValue(talven::kParamDrive, 0.75);
  plug->EndUIParamChange(talven::kParamDrive);
  // the reserved parameter and indices outside the list have no identifier on the host
  plug->BeginHostParamGesture(talven::kParamReserved);
  plug->NotifyHostOfParamChange(99, 0.5);
  plug->EndHostParamGesture(-1);

  const std::vector<std::string> expected = {"touch 16", "touch 16", "request 16 0.75", "current 16 0.75",
                                             "release 16", "release 16"};
  EXPECT_EQ(plug.host->events, expected);
  EXPECT_DOUBLE_EQ(plug->GetParam(talven::kParamDrive)->NormalizedValue(), 0.75);
}

TEST_F(BindingTest, NotificationsSetOfflineRenderingAndTheTrackName)
{
  AAX_CString trackName("Lead Vocal");
  std::string name;
  EXPECT_EQ(plug.Params().NotificationReceived(AAX_eNotification_OfflineStart, nullptr, 0), AAX_SUCCESS);
  EXPECT_TRUE(plug->GetRenderingOffline());
  EXPECT_EQ(plug.Params().NotificationReceived(AAX_eNotification_TrackName, &trackName, 0), AAX_SUCCESS);
  plug->GetTrackName(name);
  EXPECT_EQ(name, "Lead Vocal");
  EXPECT_EQ(plug.Params().NotificationReceived(AAX_eNotification_TrackName, nullptr, 0), AAX_SUCCESS);
  plug->GetTrackName(name);
  EXPECT_EQ(name, "Lead Vocal");
  EXPECT_EQ(plug.Params().NotificationReceived(AAX_eNotification_OfflineEnd, nullptr, 0), AAX_SUCCESS);
  EXPECT_FALSE(plug->GetRenderingOffline());
  EXPECT_EQ(plug.Params().NotificationReceived(AAX_FourCC("XXXX"), nullptr, 0), AAX_SUCCESS);
}

// ---------------------------------------------------------------- rendering

TEST_F(BindingTest, LongerBlockResizesAndResetsOnceShorterOneChangesNothing)
{
  RenderRig rig(plug.Params());
  plug->resets = 0;
  rig.Render(1024);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  EXPECT_EQ(plug->resets, 1);
  rig.Render(256);
  EXPECT_EQ(plug->GetBlockSize(), 1024);
  EXPECT_EQ(plug->resets, 1);
}

TEST_F(BindingTest, MasterBypassDelaysByTheReportedLatencyWithoutTransportOrEditorMidi)
{
  RenderRig rig(plug.Params(), plug.host);
  rig.Render(64);
  ASSERT_EQ(plug.host->latencies, std::vector<int32_t>{16});
  ASSERT_EQ(plug->GetLatency(), 16);

  plug.Params().OnHostParamUpdate("", 1.0, AAX_eUpdateSource_Parameter);
  plug->QueueMidiFromEditor(IMidiMessage{0, 0x90, 60, 100});
  const int readsBefore = plug.host->transportReads;
  rig.in[0].assign(64, 0.f);
  rig.in[1].assign(64, 0.f);
  rig.in[0][0] = 1.f;
  rig.in[1][3] = -0.5f;
  rig.Render(64);

  for (int i = 0; i < 64; ++i)
  {
    EXPECT_EQ(rig.out[0][static_cast<size_t>(i)], i == 16 ? 1.f : 0.f) << i;
    EXPECT_EQ(rig.out[1][static_cast<size_t>(i)], i == 19 ? -0.5f : 0.f) << i;
  }
  EXPECT_EQ(plug.host->transportReads, readsBefore);
  IMidiMessage waiting;
  EXPECT_TRUE(plug->PopMidiFromEditor(waiting));
}

TEST_F(BindingTest, MonoRenderOnTheStereoFrameConnectsOneChannelEachWay)
{
  plug.host->inputFormat = AAX_eStemFormat_Mono;
  plug.host->outputFormat = AAX_eStemFormat_Mono;
  RenderRig rig(plug.Params());
  rig.Render(32, 9.f);
  EXPECT_TRUE(plug->IsChannelConnected(eRouteInput, 0));
  EXPECT_FALSE(plug->IsChannelConnected(eRouteInput, 1));
  EXPECT_TRUE(plug->IsChannelConnected(eRouteOutput, 0));
  EXPECT_FALSE(plug->IsChannelConnected(eRouteOutput, 1));
  EXPECT_EQ(rig.out[1], std::vector<float>(32, 9.f)); // no buffer for it: never written
}

TEST_F(BindingTest, TransportIsReadIntoTheTransportRecord)
{
  struct Case
  {
    int64_t ticks, loopStart, loopEnd;
    double ppq, cycleStart, cycleEnd;
  };
  const Case cases[] = {
    {1920000, 960000, 3840000, 2.0, 1.0, 4.0},
    {-480000, -960000, -480000, 0.0, -1.0, -0.5}, // before the start: position 0, the loop stays negative
  };
  RenderRig rig(plug.Params(), plug.host);
  for (const Case& c : cases)
  {
    plug.host->transport = {90.0, true, 3, 8, c.ticks, 44100, true, c.loopStart, c.loopEnd};
    rig.Render(16);
    const ITransportInfo& info = plug->GetTransportInfo();
    EXPECT_EQ(info.mTempo, 90.0);
    EXPECT_TRUE(info.mTransportIsRunning);
    EXPECT_EQ(info.mNumerator, 3);
    EXPECT_EQ(info.mDenominator, 8);
    EXPECT_EQ(info.mSamplePos, 44100.0);
    EXPECT_EQ(info.mPPQPos, c.ppq);
    EXPECT_TRUE(info.mTransportLoopEnabled);
    EXPECT_EQ(info.mCycleStart, c.cycleStart);
    EXPECT_EQ(info.mCycleEnd, c.cycleEnd);
    EXPECT_EQ(info.mLastBar, -1.0);
  }
}

TEST_F(BindingTest, MalformedContextListsAreSkippedWithoutTouchingBuffers)
{
  RenderRig rig(plug.Params());
  rig.Render(8);
  plug->pairCounts.clear();

  AAX_CIPlugParameters::StaticRenderCallback(nullptr, nullptr);
  void* nullEntry[] = {nullptr};
  AAX_CIPlugParameters::StaticRenderCallback(nullEntry, nullEntry + 1);

  AAX_SIPlugRenderContext withoutPrivateData = rig.context;
  withoutPrivateData.mPrivateData = nullptr;
  AAX_SIPlugPrivateData empty;
  AAX_SIPlugRenderContext withoutInstance = rig.context;
  withoutInstance.mPrivateData = &empty;
  std::fill(rig.out[0].begin(), rig.out[0].end(), 5.f);
  void* list[] = {&withoutPrivateData, nullptr, &withoutInstance};
  AAX_CIPlugParameters::StaticRenderCallback(list, list + 3);

  EXPECT_TRUE(plug->pairCounts.empty());
  EXPECT_EQ(rig.out[0], std::vector<float>(8, 5.f));
}

TEST_F(BindingTest, EveryPublicationPostsTheNextStateNumberAndRendersWithoutPairs)
{
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(plug.Params().PublishParamChanges(), AAX_SUCCESS);
  EXPECT_EQ(plug.host->stateNumbers, (std::vector<int64_t>{0, 1, 2}));
  RenderRig rig(plug.Params());
  rig.stateNumber = 2;
  rig.Render(16);
  EXPECT_EQ(plug->pairCounts, std::vector<int32_t>{0});
}

TEST_F(BindingTest, SmallPrivateDataBlockIsReportedAndNotOverrun)
{
  std::vector<uint8_t> block(4, 0xAB);
  EXPECT_EQ(plug.Params().ResetContextField(Field::eFieldPrivateData, block.data(), 4), AAX_SUCCESS);
  EXPECT_EQ(services->Count("iDataSize == sizeof(AAX_SIPlugPrivateData)"), 1);
  EXPECT_EQ(services->reports.back().path, "IPlug\\AAX\\IPlugAAX_Parameters");
  EXPECT_EQ(block, std::vector<uint8_t>(4, 0));
}

// ---------------------------------------------------------------- chunks

TEST_F(BindingTest, OneChunkUnderTheUniqueIDAndNothingElse)
{
  AAX_CTypeID id = 1;
  EXPECT_EQ(plug.Params().GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
  EXPECT_EQ(id, kTalvenChunkID);
  EXPECT_EQ(plug.Params().GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(id, 0u);

  uint32_t size = 7;
  EXPECT_EQ(plug.Params().GetChunkSize(kAAXControlsChunkID, &size), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(plug.Params().GetChunkSize(kTalvenChunkID, &size), AAX_SUCCESS);
  EXPECT_EQ(size, static_cast<uint32_t>(kTalvenStateBytes));

  ChunkRecord record(kTalvenChunkID, 4);
  record.Get()->mSize = 4;
  EXPECT_EQ(plug.Params().GetChunk(kAAXControlsChunkID, record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(record.Get()->mSize, 4);
  const std::vector<double> before = Values(*plug.effect);
  EXPECT_EQ(plug.Params().SetChunk(kAAXControlsChunkID, record.Get()), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(Values(*plug.effect), before);
}

TEST_F(BindingTest, ChunkSetIntoAFreshInstanceRestoresEveryValueWithOneRequestPerHostParameter)
{
  plug.Params().OnHostParamUpdate("1", 0.75, AAX_eUpdateSource_Parameter);
  plug.Params().OnHostParamUpdate("3", 0.2, AAX_eUpdateSource_Parameter);
  plug.Params().OnHostParamUpdate("17", 0.0, AAX_eUpdateSource_Parameter);
  plug.Params().OnHostParamUpdate("22", 1.0, AAX_eUpdateSource_Parameter);
  ChunkRecord chunk = TakeChunk(plug.Params());
  ASSERT_EQ(chunk.Get()->mSize, kTalvenStateBytes);

  Hosted<ProbedTalven> fresh;
  fresh.host->events.clear();
  EXPECT_EQ(fresh.Params().SetChunk(kTalvenChunkID, chunk.Get()), AAX_SUCCESS);

  const std::vector<double> expected = Values(*plug.effect), restored = Values(*fresh.effect);
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_NEAR(restored[i], expected[i], 1e-9) << "parameter " << i;
  std::vector<std::string> requested;
  for (const std::string& e : fresh.host->EventsOf("request"))
    requested.push_back(e.substr(0, e.rfind(' ')));
  std::vector<std::string> expectedRequests;
  for (int i = 1; i <= 22; ++i)
    if (i != 12)
      expectedRequests.push_back("request " + std::to_string(i));
  EXPECT_EQ(requested, expectedRequests);
}

TEST_F(BindingTest, CompareLooksAtTheParameterValuesBehindTheEditorBlock)
{
  ChunkRecord chunk = TakeChunk(plug.Params());
  AAX_CBoolean equal = 0;
  EXPECT_EQ(plug.Params().CompareActiveChunk(chunk.Get(), &equal), AAX_SUCCESS);
  EXPECT_TRUE(equal);

  // only the editor's size differs: the settings are the same
  int32_t width = 1000;
  std::memcpy(chunk.Data(), &width, sizeof(width));
  plug.Params().CompareActiveChunk(chunk.Get(), &equal);
  EXPECT_TRUE(equal);

  plug.Params().OnHostParamUpdate("1", 0.9, AAX_eUpdateSource_Parameter);
  plug.Params().CompareActiveChunk(chunk.Get(), &equal);
  EXPECT_FALSE(equal);

  ChunkRecord truncated(kTalvenChunkID, kTalvenStateBytes - 8);
  plug.Params().CompareActiveChunk(truncated.Get(), &equal);
  EXPECT_FALSE(equal);
  ChunkRecord foreign(AAX_FourCC("othr"), 0);
  plug.Params().CompareActiveChunk(foreign.Get(), &equal);
  EXPECT_TRUE(equal);
}

void ExpectUsable(const IPlugAAX& plug)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam& p = *plug.GetParam(i);
    EXPECT_TRUE(std::isfinite(p.RealValue())) << i;
    EXPECT_GE(p.RealValue(), p.GetMin()) << i;
    EXPECT_LE(p.RealValue(), p.GetMax()) << i;
  }
}

TEST_F(BindingTest, GarbageChunksLoadOnlyValuesInRange)
{
  std::mt19937 random(20240611);
  RenderRig rig(plug.Params());
  for (int round = 0; round < 400; ++round)
  {
    const int size = static_cast<int>(random() % 400);
    ChunkRecord garbage(kTalvenChunkID, size);
    for (int i = 0; i < size; ++i)
      garbage.Data()[i] = static_cast<uint8_t>(random());
    // now and then values a reader must not take as they are
    if (size >= kTalvenStateBytes && round % 3 == 0)
      for (double special : {double(NAN), double(INFINITY), -double(INFINITY), 1e300})
        std::memcpy(garbage.Data() + 12 + 8 * (random() % 22), &special, sizeof(special));
    ASSERT_EQ(plug.Params().SetChunk(kTalvenChunkID, garbage.Get()), AAX_SUCCESS);
    ExpectUsable(*plug.effect);
    uint32_t saved = 0;
    plug.Params().GetChunkSize(kTalvenChunkID, &saved);
    EXPECT_EQ(saved, static_cast<uint32_t>(kTalvenStateBytes));
    if (round % 40 == 0)
    {
      rig.Render(64);
      for (float s : rig.out[0])
        ASSERT_TRUE(std::isfinite(s));
    }
  }
  ChunkRecord negative(kTalvenChunkID, 0);
  negative.Get()->mSize = -5;
  EXPECT_EQ(plug.Params().SetChunk(kTalvenChunkID, negative.Get()), AAX_ERROR_INVALID_CHUNK_ID);
}

TEST_F(BindingTest, TruncatedChunkRestoresOnlyTheValuesItHolds)
{
  plug.Params().OnHostParamUpdate("1", 1.0, AAX_eUpdateSource_Parameter);
  plug.Params().OnHostParamUpdate("22", 1.0, AAX_eUpdateSource_Parameter);
  ChunkRecord full = TakeChunk(plug.Params());
  const std::vector<double> saved = Values(*plug.effect);

  for (int size = 0; size < kTalvenStateBytes; ++size)
  {
    Hosted<ProbedTalven> fresh;
    const std::vector<double> before = Values(*fresh.effect);
    ChunkRecord truncated(kTalvenChunkID, size);
    std::memcpy(truncated.Data(), full.Data(), static_cast<size_t>(size));
    ASSERT_EQ(fresh.Params().SetChunk(kTalvenChunkID, truncated.Get()), AAX_SUCCESS);
    const std::vector<double> after = Values(*fresh.effect);
    for (size_t i = 0; i < after.size(); ++i)
      EXPECT_TRUE(std::fabs(after[i] - saved[i]) < 1e-9 || after[i] == before[i]) << "size " << size << " param " << i;
  }
}

// ---------------------------------------------------------------- MIDI

TEST(BindingMidi, OutputGoesToTheHostInOffsetOrderThenTheQueueIsEmpty)
{
  ScopedServices services;
  Hosted<MidiPlug> plug;
  RenderRig rig(plug.Params());
  for (const IMidiMessage& msg : {IMidiMessage{5, 0x90, 60, 1}, IMidiMessage{2, 0x90, 61, 2},
                                  IMidiMessage{2, 0x90, 62, 3}, IMidiMessage{9, 0x80, 63, 4}})
    EXPECT_TRUE(plug->EmitMidiMessage(msg));
  rig.Render(16);

  ASSERT_EQ(rig.outputNode.posted.size(), 4u);
  const uint32_t offsets[] = {2, 2, 5, 9};
  const uint8_t notes[] = {61, 62, 60, 63};
  for (size_t i = 0; i < 4; ++i)
  {
    const AAX_CMidiPacket& p = rig.outputNode.posted[i];
    EXPECT_EQ(p.mTimestamp, offsets[i]);
    EXPECT_EQ(p.mData[1], notes[i]);
    EXPECT_EQ(p.mLength, 3u);
    EXPECT_EQ(p.mIsImmediate, 1);
  }
  rig.outputNode.posted.clear();
  rig.Render(16);
  EXPECT_TRUE(rig.outputNode.posted.empty());
}

TEST(BindingMidi, InputReachesTheHandlerAndTheEditorAndSysexLeavesInFourBytePackets)
{
  ScopedServices services;
  Hosted<MidiPlug> plug;
  RenderRig rig(plug.Params());
  AAX_CMidiPacket note;
  note.mTimestamp = 3;
  note.mLength = 3;
  note.mData[0] = 0x90, note.mData[1] = 64, note.mData[2] = 100;
  rig.inputNode.input.push_back(note);
  const uint8_t sysex[10] = {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7};
  plug->QueueSysexFromEditor(ISysexMessage{4, 10, sysex});
  rig.Render(16);

  // the default handler passes input through to the output
  ASSERT_EQ(rig.outputNode.posted.size(), 4u);
  EXPECT_EQ(rig.outputNode.posted[0].mTimestamp, 3u);
  EXPECT_EQ(rig.outputNode.posted[0].mData[1], 64);
  const uint32_t lengths[] = {4, 4, 2};
  for (size_t i = 0; i < 3; ++i)
  {
    EXPECT_EQ(rig.outputNode.posted[i + 1].mLength, lengths[i]);
    EXPECT_EQ(rig.outputNode.posted[i + 1].mTimestamp, 4u);
    EXPECT_EQ(rig.outputNode.posted[i + 1].mData[0], sysex[4 * i]);
  }
  NoTimer timer;
  plug->OnTimerTick(timer);
  ASSERT_EQ(plug->editorMidi.size(), 1u);
  EXPECT_EQ(plug->editorMidi[0].mData1, 64);
}

TEST(BindingMidi, EmitReportsFalseOnceTheQueueCannotGrow)
{
  ScopedServices services;
  Hosted<MidiPlug> plug;
  int accepted = 0;
  while (plug->EmitMidiMessage(IMidiMessage{accepted % 64, 0x90, 60, 1}) && accepted <= IPlugAAX::kMaxMidiOutMessages)
    ++accepted;
  EXPECT_EQ(accepted, IPlugAAX::kMaxMidiOutMessages);
  EXPECT_FALSE(plug->EmitMidiMessage(IMidiMessage{}));

  RenderRig rig(plug.Params());
  rig.Render(64);
  EXPECT_EQ(rig.outputNode.posted.size(), static_cast<size_t>(IPlugAAX::kMaxMidiOutMessages));
  EXPECT_TRUE(plug->EmitMidiMessage(IMidiMessage{}));
}

// ---------------------------------------------------------------- synchronized changes

class SyncTest : public ::testing::Test
{
protected:
  void Change(const char* id, double value) { sync.Params().OnHostParamUpdate(id, value, AAX_eUpdateSource_Parameter); }
  void Publish(int times = 1)
  {
    for (int i = 0; i < times; ++i)
      sync.Params().PublishParamChanges();
  }

  ScopedServices services;
  Hosted<SyncEffect> sync{32};
};

TEST_F(SyncTest, BatchIsDeliveredOnceTheContextCarriesItsNumber)
{
  Publish(5); // 0..4, nothing changed
  Change("p1", 0.25);
  Publish(); // batch 5
  RenderRig rig(sync.Params());
  rig.stateNumber = 4;
  rig.Render(8);
  rig.stateNumber = 5;
  rig.Render(8);
  rig.Render(8);
  EXPECT_EQ(sync->counts, (std::vector<int32_t>{0, 1, 0}));
  EXPECT_EQ(sync->delivered, std::vector<std::string>{"p1=0.250000"});
  EXPECT_EQ(sync.host->stateNumbers.back(), 5);
  sync.Params().OnHostTimer();
}

TEST_F(SyncTest, BatchAfterTheCounterWrappedIsDue)
{
  Publish(70000);
  Change("p2", 1.0);
  Publish(); // batch 70000
  RenderRig rig(sync.Params());
  rig.stateNumber = -70000;
  rig.Render(8);
  EXPECT_EQ(sync->counts, std::vector<int32_t>{1});
}

TEST_F(SyncTest, PairsBeyondTheCapOfOneRenderAreHandedBackNotLeaked)
{
  for (int round = 0; round < 5; ++round)
  {
    for (int i = 1; i <= 32; ++i)
      Change(("p" + std::to_string(i)).c_str(), 0.1 * (round + 1));
    Publish();
  }
  RenderRig rig(sync.Params());
  rig.stateNumber = 4;
  rig.Render(8);
  EXPECT_EQ(sync->counts, std::vector<int32_t>{128});
  EXPECT_EQ(services->Count("sCap >= mSize + (int64_t)inOther.size()"), 1);
  EXPECT_EQ(services->Count("sCap > mSize"), 32);
  rig.Render(8);
  EXPECT_EQ(sync->counts.back(), 0);
  // the leak check at exit sees whether the 32 left out were freed with the rest
  sync.Params().OnHostTimer();
}

TEST_F(SyncTest, FullPendingQueueReportsAndDropsTheBatch)
{
  for (int i = 0; i <= static_cast<int>(AAX_CIPlugParameters::kNumPendingLists); ++i)
  {
    Change("p1", (i % 2) ? 1.0 : 0.0);
    Publish();
  }
  EXPECT_EQ(services->Count("AAX_IContainer::eStatus_Success == pushResult"), 1);
  EXPECT_EQ(services->reports.back().path, "IPlug\\AAX\\IPlugAAX_Parameters");
}

TEST_F(SyncTest, RegistrationChecksAutomationAndTheQueueSize)
{
  AAX_CParameter<double> manual("manual", AAX_CString("Manual"), 0.0, AAX_CLinearTaperDelegate<double, 0>(0.0, 1.0),
                                AAX_CNumberDisplayDelegate<double, 2, 0>(), false);
  sync->Register(manual);
  EXPECT_EQ(services->Count("inParameter.Automatable()"), 1);
  EXPECT_EQ(services->Count("kSynchronizedParameterQueueSize >= mSynchronizedParameters.size()"), 1);
}

// ---------------------------------------------------------------- editor adapter

TEST_F(BindingTest, EditorAdapterOpensTheEditorInTheHostWindowAndFollowsIt)
{
  IACFUnknown* created = CreateEditorInstance();
  ASSERT_NE(created, nullptr);
  void* found = nullptr;
  ASSERT_EQ(created->QueryInterface(AAX_IEffectGUI::kInterfaceID, &found), ACF_OK);
  created->Release();
  auto* gui = static_cast<AAX_IEffectGUI*>(found);
  auto* container = new StandInViewContainer;

  ASSERT_EQ(gui->Initialize(plug.host->Unknown()), AAX_SUCCESS);
  EXPECT_EQ(gui->SetControlHighlightInfo("3", 1, AAX_eHighlightColor_Red), AAX_ERROR_INVALID_PARAMETER_ID);
  ASSERT_EQ(gui->SetViewContainer(container->Unknown()), AAX_SUCCESS);
  auto* view = dynamic_cast<HighlightGraphics*>(plug->GetEditorView());
  ASSERT_NE(view, nullptr);
  EXPECT_NE(view->GetViewContainer(), nullptr);

  AAX_Point size;
  gui->GetViewSize(&size);
  EXPECT_EQ(size.mVert, 213.f);
  EXPECT_EQ(size.mHorz, 790.f);
  EXPECT_TRUE(plug->ResizeEditorWindow(790, 213));
  EXPECT_TRUE(container->sizes.empty());
  EXPECT_TRUE(plug->ResizeEditorWindow(800, 300));
  ASSERT_EQ(container->sizes.size(), 1u);
  EXPECT_EQ(container->sizes[0].mVert, 300.f);
  EXPECT_EQ(container->sizes[0].mHorz, 800.f);
  EXPECT_EQ(plug->GetEditorWidth(), 800);

  EXPECT_EQ(gui->SetControlHighlightInfo("3", 1, AAX_eHighlightColor_Green), AAX_SUCCESS);
  ASSERT_EQ(view->highlights.size(), 1u);
  EXPECT_EQ(view->highlights[0].paramIdx, 2);
  EXPECT_TRUE(view->highlights[0].highlighted);
  EXPECT_EQ(view->highlights[0].color, AAX_eHighlightColor_Green);

  gui->SetViewContainer(nullptr);
  EXPECT_EQ(plug->GetEditorView(), nullptr);
  gui->Release();
  container->Release();
}

// ---------------------------------------------------------------- module entry points

TEST(BindingEntry, EntryPointsWithoutADescriptionAnswerAsTheyMust)
{
  void* factory = &factory;
  EXPECT_EQ(ACFGetClassFactory(nullptr, nullptr, nullptr, &factory), AAX_ERROR_UNIMPLEMENTED);
  EXPECT_EQ(factory, nullptr);
  IACFUnknown* component = reinterpret_cast<IACFUnknown*>(&factory);
  EXPECT_EQ(ACFRegisterComponent(nullptr, nullptr, &component), ACF_OK);
  EXPECT_EQ(component, nullptr);
  uint64_t version = 0;
  EXPECT_EQ(ACFGetSDKVersion(&version), ACF_OK);
  EXPECT_EQ(version, 0x00000204013449EAull);

  const int32_t live = ACFCanUnloadNow();
  IACFUnknown* effect = CreateEffectInstance();
  IACFUnknown* editor = CreateEditorInstance();
  EXPECT_EQ(ACFCanUnloadNow(), live + 2);
  editor->Release();
  effect->Release();
  EXPECT_EQ(ACFCanUnloadNow(), live);
}

TEST(BindingEntry, StartupInstallsTheHostServicesAndANullHostRemovesThem)
{
  AAX_RemoveHostServices();
  auto* services = new testsupport::RecordingServices;
  EXPECT_EQ(ACFStartup(services->Unknown()), ACF_OK);
  ASSERT_NE(AAX_GetHostServices(), nullptr);
  AAX_ReportAssertion("here", "reported");
  EXPECT_EQ(services->Count("reported"), 1);
  EXPECT_EQ(ACFStartup(nullptr), ACF_OK);
  EXPECT_EQ(AAX_GetHostServices(), nullptr);
  EXPECT_EQ(ACFStartup(services->Unknown()), ACF_OK);
  EXPECT_EQ(ACFShutdown(), ACF_OK);
  EXPECT_EQ(AAX_GetHostServices(), nullptr);
  services->Release();
}

} // namespace
