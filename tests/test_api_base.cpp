#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ApiPlug.h"
#include "IPlugAPIBase.h"
#include "Timer.h"

using iplug::EHostKind;
using iplug::IPlugAPIBase;
using testsupport::ApiPlug;

namespace {

// the tick's timer argument; a timer without a function never fires by itself
std::unique_ptr<iplug::Timer> IdleTimer()
{
  return iplug::MakeTimer(nullptr, iplug::kIdleTimerMs);
}

std::vector<uint8_t> StoredValues(const std::vector<double>& values)
{
  std::vector<uint8_t> bytes(values.size() * sizeof(double));
  std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

} // namespace

TEST(HostIdentification, HostNamesGiveTheirKind)
{
  struct Case
  {
    const char* name;
    int kind;
  };
  const Case cases[] = {
    {"REAPER 6.1", 1},
    {"ProTools", 2},
    {"Pro Tools", 0},
    {"Cubase Pro", 3},
    {"WaveLab Elements 11", 32},
    {"WaveLab Pro", 31},
    {"My Standalone App", 24},
    {"Ableton Live 11", 9},
    {"Delivery Station", 9}, // the letters live inside a longer word
    {"Digital Performer", 23},
    {"Blue Cat's VST Host", 44},
    {"www.example.com", 35},
    {"Bitwig Studio", 34},
    {"", 0},
    {nullptr, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IPlugAPIBase::IdentifyHost(c.name), c.kind) << (c.name ? c.name : "(null)");
}

TEST(HostIdentification, EveryTableTextIdentifiesItsOwnHostInAnyCase)
{
  for (const iplug::IHostName& entry : iplug::kHostNames)
  {
    std::string upper = entry.text;
    for (char& ch : upper)
      ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    EXPECT_EQ(IPlugAPIBase::IdentifyHost(upper.c_str()), entry.host) << entry.text;
  }
}

TEST(HostIdentification, OnlyTheFirst255CharactersOfANameCount)
{
  const std::string pad(250, 'x');
  EXPECT_EQ(IPlugAPIBase::IdentifyHost((pad + "reaper").c_str()), iplug::eHostUnknown);
  EXPECT_EQ(IPlugAPIBase::IdentifyHost((std::string(249, 'x') + "reaper").c_str()), iplug::eHostReaper);
}

TEST(HostIdentification, SetHostStoresKindAndVersionThenRunsBothHooksInOrder)
{
  ApiPlug plug;
  EXPECT_EQ(plug.GetHost(), iplug::eHostNotIdentified);
  EXPECT_EQ(plug.GetHostVersion(false), 0);

  plug.SetHost("ProTools", iplug::PackVersion(5, 10, 1));
  EXPECT_EQ(plug.GetHost(), iplug::eHostProTools);
  EXPECT_EQ(plug.GetHostVersion(true), 51001);
  std::string text;
  plug.GetHostVersionText(text);
  EXPECT_EQ(text, "v5.10.1");
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"prepare", "known"}));
}

TEST(Versions, PackedDecimalAndTextForms)
{
  struct Case
  {
    int32_t packed;
    int32_t decimal;
    const char* text;
  };
  const Case cases[] = {
    {0x00040000, 40000, "v4.0.0"},
    {0x00010203, 10203, "v1.2.3"},
    {0, 0, "v0.0.0"},
    {0x00FFFFFF, 2575755, "v255.255.255"},
  };
  for (const Case& c : cases)
  {
    iplug::IPluginConfig config = ApiPlug::Config();
    config.vendorVersion = c.packed;
    ApiPlug plug(config);
    EXPECT_EQ(plug.GetPluginVersion(false), c.packed);
    EXPECT_EQ(plug.GetPluginVersion(true), c.decimal);
    std::string text;
    plug.GetPluginVersionText(text);
    EXPECT_EQ(text, c.text);
  }
}

TEST(Versions, BuildInfoNamesVersionApiArchitectureDateAndMinutes)
{
  ApiPlug plug;
  std::string info;
  plug.GetBuildInfo(info, "Jan  1 2024", "12:34:56");
  EXPECT_EQ(info, "v1.2.3 AAX (x86-64), built on Jan  1 2024 at 12:34 ");
}

TEST(ApiKind, NamesComeFromTheTableAndUnknownKindsAreEmpty)
{
  const char* expected[] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "LV2"};
  for (int i = 0; i < iplug::kNumApiKinds; ++i)
    EXPECT_STREQ(iplug::ApiName(static_cast<iplug::EApiKind>(i)), expected[i]);
  EXPECT_STREQ(iplug::ApiName(static_cast<iplug::EApiKind>(-1)), "");
  EXPECT_STREQ(iplug::ApiName(static_cast<iplug::EApiKind>(iplug::kNumApiKinds)), "");
}

TEST(ApiConfig, ConstructionCutsNamesAndOrdersTheEditorBounds)
{
  iplug::IPluginConfig config = ApiPlug::Config();
  config.pluginName = std::string(200, 'p');
  config.bundleID = "com.tester." + std::string(300, 'b');
  ApiPlug plug(config);

  EXPECT_EQ(std::strlen(plug.GetPluginName()), size_t{iplug::kMaxConfigNameLen});
  EXPECT_STREQ(plug.GetProductName(), "ApiPlug Product");
  EXPECT_STREQ(plug.GetMakerName(), "Tester");
  EXPECT_EQ(std::string(plug.GetBundleID()), config.bundleID);
  EXPECT_EQ(plug.GetUniqueID(), ApiPlug::kUniqueId);
  EXPECT_EQ(plug.GetMakerID(), 0x54657374);
  EXPECT_STREQ(plug.GetApiName(), "AAX");
  EXPECT_EQ(plug.GetEditorWidth(), 400);
  EXPECT_EQ(plug.GetEditorHeight(), 300);
  EXPECT_EQ(plug.GetMinWidth(), 200);
  EXPECT_EQ(plug.GetMaxWidth(), 800);
  EXPECT_EQ(plug.GetMinHeight(), 150);
  EXPECT_EQ(plug.GetMaxHeight(), 600);
}

TEST(CompareState, ToleranceIsAppliedAfterRoundingToFloat)
{
  struct Case
  {
    double current, stored;
    bool equal;
  };
  const Case cases[] = {
    {0.1, 0.1 + 1e-9, true},
    {0.5, 0.5001, false},
    {0.5, 0.5 + 5e-6, true},
    {0.25, 0.25 - 2e-5, false},
  };
  for (const Case& c : cases)
  {
    ApiPlug plug;
    plug.GetParam(ApiPlug::kGain)->SetRealValue(c.current);
    std::vector<double> values = {c.stored, 50.0, 0.0, 0.0};
    const std::vector<uint8_t> bytes = StoredValues(values);
    EXPECT_EQ(plug.CompareState(bytes.data(), 0), c.equal) << c.current << " vs " << c.stored;
  }
}

TEST(CompareState, ComparesEveryParameterFromTheStartIndexOnAndRefusesShortData)
{
  ApiPlug plug;
  // two leading values that are not parameters, then the four defaults
  std::vector<double> values = {123.0, -7.0, 0.0, 50.0, 0.0, 0.0};
  std::vector<uint8_t> bytes = StoredValues(values);
  EXPECT_TRUE(plug.CompareState(bytes.data(), 2));
  EXPECT_FALSE(plug.CompareState(bytes.data(), 0));
  EXPECT_TRUE(plug.CompareStateChecked(bytes.data(), static_cast<int>(bytes.size()), 2));
  EXPECT_FALSE(plug.CompareStateChecked(bytes.data(), static_cast<int>(bytes.size()) - 1, 2));
  EXPECT_FALSE(plug.CompareStateChecked(bytes.data(), static_cast<int>(bytes.size()), -1));

  // only the last parameter differs
  values.back() = 1.0;
  bytes = StoredValues(values);
  EXPECT_FALSE(plug.CompareState(bytes.data(), 2));
}

TEST(ParamQueue, A513thTransferIsDroppedAndTheTickDeliversTheRestInOrder)
{
  ApiPlug plug;
  for (int i = 0; i <= iplug::kParamTransferQueueSize; ++i)
    plug.QueueParamValueForEditor(i % ApiPlug::kNumParams, i * 0.01, false);

  plug.OnTimerTick(*IdleTimer());
  ASSERT_EQ(plug.mDeliveries.size(), size_t{iplug::kParamTransferQueueSize});
  for (int i = 0; i < iplug::kParamTransferQueueSize; ++i)
  {
    const ApiPlug::Delivery& d = plug.mDeliveries[static_cast<size_t>(i)];
    EXPECT_EQ(d.idx, i % ApiPlug::kNumParams);
    EXPECT_EQ(d.value, i * 0.01);
    EXPECT_FALSE(d.normalized);
  }
  EXPECT_EQ(plug.mIdleCount, 1);

  // the queue is empty again: the next tick delivers nothing
  plug.mDeliveries.clear();
  plug.OnTimerTick(*IdleTimer());
  EXPECT_TRUE(plug.mDeliveries.empty());
}

TEST(ParamQueue, NormalisedValuesAreQueuedAsRealValuesAndUnknownIndicesAreDropped)
{
  ApiPlug plug;
  plug.QueueParamValueForEditor(ApiPlug::kGain, 0.75, true);
  plug.QueueParamValueForEditor(ApiPlug::kNumParams, 0.5, true);
  plug.QueueParamValueForEditor(-1, 0.5, false);
  plug.OnTimerTick(*IdleTimer());
  ASSERT_EQ(plug.mDeliveries.size(), 1u);
  EXPECT_DOUBLE_EQ(plug.mDeliveries[0].value, 6.0);
}

TEST(IdleTick, WithoutAnEditorNothingIsDeliveredButTheIdleHookRuns)
{
  ApiPlug plug;
  plug.mHasEditor = false;
  plug.QueueParamValueForEditor(ApiPlug::kMix, 20.0, false);
  plug.QueueMidiForEditor({0, 0x90, 60, 100});
  plug.OnTimerTick(*IdleTimer());
  EXPECT_TRUE(plug.mDeliveries.empty());
  EXPECT_TRUE(plug.mMidiToEditor.empty());
  EXPECT_EQ(plug.mIdleCount, 1);
}

TEST(IdleTick, MidiAndSysexFromTheProcessingSideReachTheEditorInOrder)
{
  ApiPlug plug;
  const uint8_t sysex[] = {0xF0, 0x7D, 0x01, 0xF7};
  EXPECT_TRUE(plug.QueueMidiForEditor({3, 0x90, 60, 100}));
  EXPECT_TRUE(plug.QueueMidiForEditor({5, 0x80, 60, 0}));
  EXPECT_TRUE(plug.QueueSysexForEditor({0, 4, sysex}));

  plug.OnTimerTick(*IdleTimer());
  ASSERT_EQ(plug.mMidiToEditor.size(), 2u);
  EXPECT_EQ(plug.mMidiToEditor[0].mStatus, 0x90);
  EXPECT_EQ(plug.mMidiToEditor[1].mOffset, 5);
  ASSERT_EQ(plug.mSysexToEditor.size(), 1u);
  EXPECT_EQ(plug.mSysexToEditor[0], std::vector<uint8_t>(sysex, sysex + 4));
}

TEST(EditorQueues, SysexLargerThanARecordIsRefusedAndANullPointerGivesZeroes)
{
  ApiPlug plug;
  std::vector<uint8_t> big(iplug::kMaxSysexBytes + 1, 0x42);
  EXPECT_FALSE(plug.QueueSysexForEditor({0, static_cast<int32_t>(big.size()), big.data()}));

  plug.SendSysexFromEditor({0, static_cast<int32_t>(big.size()), big.data()});
  plug.SendSysexFromEditor({7, 3, nullptr});
  plug.SendSysexFromEditor({8, iplug::kMaxSysexBytes, big.data()});
  iplug::ISysexRecord record;
  ASSERT_TRUE(plug.PopSysexFromEditor(record));
  EXPECT_EQ(record.mOffset, 7);
  EXPECT_EQ(record.mSize, 3);
  EXPECT_EQ(std::count(std::begin(record.mData), std::end(record.mData), 0), iplug::kMaxSysexBytes);
  ASSERT_TRUE(plug.PopSysexFromEditor(record));
  EXPECT_EQ(record.mSize, iplug::kMaxSysexBytes);
  EXPECT_EQ(record.mData[iplug::kMaxSysexBytes - 1], 0x42);
  EXPECT_FALSE(plug.PopSysexFromEditor(record));

  plug.SendMidiFromEditor({1, 0xB0, 7, 127});
  iplug::IMidiMessage midi;
  ASSERT_TRUE(plug.PopMidiFromEditor(midi));
  EXPECT_EQ(midi.mData2, 127);
  EXPECT_FALSE(plug.PopMidiFromEditor(midi));
}

TEST(HostUpdate, SetParamFromHostLimitsQueuesTheRealValueAndRunsTheHostHook)
{
  ApiPlug plug;
  plug.SetParamFromHost(ApiPlug::kGain, 99.0, false);
  plug.SetParamFromHost(ApiPlug::kMix, 0.25, true);
  EXPECT_EQ(plug.GetParam(ApiPlug::kGain)->RealValue(), 12.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(ApiPlug::kMix)->RealValue(), 25.0);
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"change 0 Host", "change 1 Host"}));

  plug.OnTimerTick(*IdleTimer());
  ASSERT_EQ(plug.mDeliveries.size(), 2u);
  EXPECT_EQ(plug.mDeliveries[0].value, 12.0);
  EXPECT_DOUBLE_EQ(plug.mDeliveries[1].value, 25.0);

  // a NaN or infinity from a host changes nothing, not even the hook
  const size_t logged = plug.mLog.size();
  for (double bad : {std::nan(""), double(INFINITY), -double(INFINITY)})
    for (bool normalized : {false, true})
      plug.SetParamFromHost(ApiPlug::kMix, bad, normalized);
  EXPECT_DOUBLE_EQ(plug.GetParam(ApiPlug::kMix)->RealValue(), 25.0);
  EXPECT_EQ(plug.mLog.size(), logged);
}

TEST(UIRouting, GestureFromTheEditorReachesTheHostInOrder)
{
  ApiPlug plug;
  plug.BeginUIParamChange(ApiPlug::kMix);
  plug.SendUIParamValue(ApiPlug::kMix, 0.25);
  plug.SendUIParamValue(ApiPlug::kMix, 0.5);
  plug.EndUIParamChange(ApiPlug::kMix);

  const std::vector<std::string> expected = {
    "begin 1",
    "notify 1 0.25", "change 1 UI", "editor 1 UI",
    "notify 1 0.5", "change 1 UI", "editor 1 UI",
    "end 1",
  };
  EXPECT_EQ(plug.mLog, expected);
  EXPECT_DOUBLE_EQ(plug.GetParam(ApiPlug::kMix)->RealValue(), 50.0);
}

TEST(UIRouting, EditorValueWinsOverTheHostsAnswerAndTheHostSeesOnlyPositionsInRange)
{
  ApiPlug plug;
  // a host that answers with a value of its own
  plug.mHostAnswer = [&plug](int idx, double) { plug.SetParamFromHost(idx, 0.9, true); };
  plug.SendUIParamValue(ApiPlug::kMix, 0.3);
  EXPECT_DOUBLE_EQ(plug.GetParam(ApiPlug::kMix)->RealValue(), 30.0);

  plug.mHostAnswer = nullptr;
  plug.mLog.clear();
  plug.SendUIParamValue(ApiPlug::kGain, 1.5);
  plug.SendUIParamValue(ApiPlug::kNumParams, 0.5);
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"notify 0 1", "change 0 UI", "editor 0 UI"}));
}

TEST(UIRouting, NotifyingAllParamsAndResizeRequestsGoThroughTheHostOperations)
{
  ApiPlug plug;
  plug.NotifyHostOfAllParams();
  EXPECT_EQ(plug.mLog, (std::vector<std::string>{"notify 0 0.5", "notify 1 0.5", "notify 2 0", "notify 3 0"}));
  // without a binding the host refuses a platform resize
  EXPECT_FALSE(plug.RequestEditorResize(500, 400, true));
  EXPECT_TRUE(plug.RequestEditorResize(500, 400, false));
}

// Threaded: runs under ThreadSanitizer as well.
TEST(ApiQueues, IdleTickDeliversValuesFromAHostThreadOnThePumpingThread)
{
  constexpr int kValues = 100;
  ApiPlug plug;
  plug.mLogging = false;
  plug.CreateTimer();

  std::thread host([&plug] {
    for (int i = 0; i < kValues; ++i)
      plug.SetParamFromHost(ApiPlug::kMix, i, false);
  });
  // generous: a loaded machine may starve either thread for a long while
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (plug.mDeliveries.size() < size_t{kValues} && std::chrono::steady_clock::now() < giveUp)
    iplug::RunLoopRunFor(5);
  host.join();

  ASSERT_EQ(plug.mDeliveries.size(), size_t{kValues});
  for (int i = 0; i < kValues; ++i)
  {
    const ApiPlug::Delivery& d = plug.mDeliveries[static_cast<size_t>(i)];
    EXPECT_EQ(d.idx, ApiPlug::kMix);
    EXPECT_EQ(d.value, i);
    EXPECT_EQ(d.thread, std::this_thread::get_id());
  }
  EXPECT_GT(plug.mIdleCount, 0);
}

TEST(ApiQueues, DestroyingThePlugInStopsItsIdleTimer)
{
  auto plug = std::make_unique<ApiPlug>();
  plug->CreateTimer();
  iplug::RunLoopRunFor(3 * iplug::kIdleTimerMs);
  EXPECT_GT(plug->mIdleCount, 0);
  plug.reset();
  // a tick into the destroyed object would be a use after free
  EXPECT_EQ(iplug::RunLoopRunFor(3 * iplug::kIdleTimerMs), 0);
}
