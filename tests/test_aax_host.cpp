#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "AAX_Errors.h"
#include "AllocationCounter.h"
#include "AudioFile.h"
#include "Instance.h"
#include "OfflineRender.h"
#include "ParameterThread.h"
#include "StressRun.h"
#include "TestPlatform.h"

using namespace aaxhost;
namespace fs = std::filesystem;

namespace {

constexpr const char* kGainModule = AAXHOST_GAIN_MODULE;
constexpr const char* kGainID = "Gain";
constexpr const char* kBypassID = "MasterBypassID";
constexpr double kMinDb = -60.0;
constexpr double kMaxDb = 12.0;
constexpr int kChannels = 2;

double GainNormalized(double db)
{
  return (db - kMinDb) / (kMaxDb - kMinDb);
}

double Linear(double db)
{
  return std::pow(10.0, db / 20.0);
}

// planar stereo blocks with their pointer arrays
struct Stereo
{
  explicit Stereo(int frames, float value = 0.0f)
    : mChannels(kChannels, std::vector<float>(static_cast<std::size_t>(frames), value))
  {
    for (int c = 0; c < kChannels; ++c)
      mPointers[c] = mChannels[static_cast<std::size_t>(c)].data();
  }
  std::vector<std::vector<float>> mChannels;
  float* mPointers[kChannels];
};

Stereo Ramp(int frames)
{
  Stereo ramp(frames);
  for (int c = 0; c < kChannels; ++c)
    for (int i = 0; i < frames; ++i)
      ramp.mChannels[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] = 0.001f * static_cast<float>(i - 300 * c);
  return ramp;
}

void ExpectScaled(const Stereo& input, const Stereo& output, double gain)
{
  for (int c = 0; c < kChannels; ++c)
    for (std::size_t i = 0; i < input.mChannels[0].size(); ++i)
      ASSERT_FLOAT_EQ(output.mChannels[static_cast<std::size_t>(c)][i],
                      static_cast<float>(input.mChannels[static_cast<std::size_t>(c)][i] * gain))
        << "channel " << c << " sample " << i;
}

std::shared_ptr<Module> LoadGain()
{
  std::string error;
  std::shared_ptr<Module> module = Module::Load(kGainModule, error);
  EXPECT_TRUE(module) << error;
  return module;
}

class GainInstance : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mModule = LoadGain();
    ASSERT_TRUE(mModule);
    std::string error;
    mInstance = Instance::Create(mModule, mParameterThread, {}, error);
    ASSERT_TRUE(mInstance) << error;
  }

  void SetGainDb(double db)
  {
    mInstance->SendHostUpdate(kGainID, GainNormalized(db));
    mInstance->WaitForParameterThread();
  }

  Stereo RenderRamp(const Stereo& input)
  {
    Stereo output(static_cast<int>(input.mChannels[0].size()));
    EXPECT_TRUE(mInstance->Render(input.mPointers, output.mPointers,
                                  static_cast<int32_t>(input.mChannels[0].size())));
    return output;
  }

  ParameterThread mParameterThread;
  std::shared_ptr<Module> mModule;
  std::unique_ptr<Instance> mInstance;
};

} // namespace

// ---- loading and description

TEST(AaxHostModule, RecordsTheWholeDescriptionOfTheTestModule)
{
  const std::shared_ptr<Module> module = LoadGain();
  ASSERT_TRUE(module);
  EXPECT_EQ(module->SDKVersion(), kACFSDKVersion);
  EXPECT_EQ(module->LiveObjects(), 0);
  const ModuleDescription& description = module->Description();
  EXPECT_EQ(description.mManufacturer, "Brasswick Test");
  EXPECT_EQ(description.mPackageVersion, 0x00010203u);
  EXPECT_EQ(description.mPackageNames, std::vector<std::string>{"Test Gain"});
  ASSERT_EQ(description.mEffects.size(), 1u);

  const EffectDescription& effect = description.mEffects[0];
  EXPECT_EQ(effect.mEffectID, "com.Brasswick.aax.GAIN");
  EXPECT_EQ(effect.mNames, (std::vector<std::string>{"Test Gain", "Gain"}));
  EXPECT_EQ(effect.mCategories, std::vector<uint32_t>{0x10});
  EXPECT_NE(effect.mCreateEffect, nullptr);
  EXPECT_NE(effect.mCreateEditor, nullptr);
  ASSERT_EQ(effect.mComponents.size(), 1u);

  const ComponentDescription& component = effect.mComponents[0];
  ASSERT_EQ(component.mProcedures.size(), 1u);
  EXPECT_NE(component.mProcedures[0].mProc, nullptr);
  const std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>> expected{
    {11, static_cast<AAX_CPropertyValue>(AAX_FourCC("BwTs"))},
    {12, static_cast<AAX_CPropertyValue>(AAX_FourCC("GAIN"))},
    {13, static_cast<AAX_CPropertyValue>(AAX_FourCC("GNn2"))},
    {51, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Stereo)},
    {52, static_cast<AAX_CPropertyValue>(AAX_eStemFormat_Stereo)},
    {60, 1},
  };
  std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>> recorded;
  for (const Property& property : component.mProcedures[0].mProperties)
    recorded.emplace_back(property.mID, property.mValue);
  EXPECT_EQ(recorded, expected);
  EXPECT_EQ(component.InputStemFormat(), AAX_eStemFormat_Stereo);

  const std::vector<std::pair<AAX_CFieldIndex, EFieldKind>> fields{
    {0, EFieldKind::eAudioIn},      {1, EFieldKind::eAudioOut}, {2, EFieldKind::eBufferLength},
    {23, EFieldKind::ePrivateData}, {24, EFieldKind::eMeters},  {25, EFieldKind::eDataInPort},
  };
  ASSERT_EQ(component.mFields.size(), fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i)
  {
    EXPECT_EQ(component.mFields[i].mIndex, fields[i].first) << i;
    EXPECT_EQ(component.mFields[i].mKind, fields[i].second) << i;
    EXPECT_FALSE(IsPlaceholder(component.mFields[i])) << i;
  }
  EXPECT_EQ(component.Field(23)->mSize, 8);
  EXPECT_EQ(component.Field(24)->mMeterIDs, std::vector<AAX_CTypeID>{AAX_FourCC("Peak")});
  EXPECT_EQ(component.Field(25)->mPacketSize, 8u);
}

TEST(AaxHostModule, PlaceholdersArePrivateDataWhereTheContextKeepsSomethingElse)
{
  struct Case
  {
    FieldDeclaration mField;
    bool mPlaceholder;
    const char* mRole;
  };
  const Case cases[] = {
    {{.mIndex = 4, .mKind = EFieldKind::ePrivateData, .mSize = 4}, true, "input MIDI node"},
    {{.mIndex = 12, .mKind = EFieldKind::ePrivateData, .mSize = 4}, true, "additional input MIDI node"},
    {{.mIndex = 24, .mKind = EFieldKind::ePrivateData, .mSize = 4}, true, "meters"},
    {{.mIndex = 23, .mKind = EFieldKind::ePrivateData, .mSize = 8}, false, "private data"},
    {{.mIndex = 7, .mKind = EFieldKind::eMidiNode}, false, "transport node"},
    {{.mIndex = 27, .mKind = EFieldKind::ePrivateData, .mSize = 4}, false, "outside the render context"},
  };
  for (const Case& c : cases)
  {
    EXPECT_EQ(IsPlaceholder(c.mField), c.mPlaceholder) << c.mField.mIndex;
    EXPECT_STREQ(FieldRoleName(c.mField.mIndex), c.mRole);
  }
}

TEST(AaxHostModule, RefusesModulesItCannotUseWithAClearReason)
{
  const fs::path dir =
    fs::temp_directory_path() / ("aaxhost-bad-" + std::to_string(testsupport::CurrentProcessId()));
  fs::create_directories(dir / "EMPTY.aaxplugin");
  std::ofstream(dir / "text.aaxplugin") << "not a shared library";
  const std::pair<std::string, std::string> cases[] = {
    {(dir / "missing.aaxplugin").string(), "no module at"},
    {(dir / "EMPTY.aaxplugin").string(), "no module at"}, // a bundle without its binary
    {(dir / "text.aaxplugin").string(), "cannot load module"},
    {AAXHOST_PARTIAL_MODULE,
     "lacks the exports ACFGetSDKVersion, ACFRegisterPlugin, ACFRegisterComponent, ACFGetClassFactory, ACFCanUnloadNow"},
  };
  for (const auto& [path, reason] : cases)
  {
    std::string error;
    EXPECT_FALSE(Module::Load(path, error)) << path;
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
  fs::remove_all(dir);
}

TEST(AaxHostModule, ARefusedDescriptionCallFailsRegistrationWithTheModulesTrace)
{
  LoadOptions options;
  options.mFault = {"AddAudioIn", AAX_ERROR_NOT_INITIALIZED};
  options.mServices = HostRef<HostServices>(new HostServices);
  const HostRef<HostServices> services = options.mServices;
  std::string error;
  EXPECT_FALSE(Module::Load(kGainModule, error, options));
  EXPECT_NE(error.find("ACFRegisterPlugin failed with AAX_ERROR_NOT_INITIALIZED (-20011)"), std::string::npos) << error;
  EXPECT_TRUE(services->HasTrace("AAX_CheckedResult - throwing AAX_ERROR_NOT_INITIALIZED"));
  EXPECT_TRUE(services->HasTrace("GAIN registration failed: AAX_ERROR_NOT_INITIALIZED"));
}

// ---- an instance

TEST_F(GainInstance, ListsParametersInManagerOrderWithTheirTexts)
{
  const std::vector<ParameterInfo> parameters = mInstance->ListParameters();
  ASSERT_EQ(parameters.size(), 2u);
  const ParameterInfo& bypass = parameters[0];
  EXPECT_EQ(bypass.mID, kBypassID);
  EXPECT_EQ(bypass.mName, "Master Bypass");
  EXPECT_EQ(bypass.mSteps, 2);
  EXPECT_EQ(bypass.mType, AAX_eParameterType_Discrete);
  EXPECT_TRUE(bypass.mAutomatable);
  EXPECT_EQ(bypass.mDefault, 0.0);
  EXPECT_EQ(bypass.mDefaultText, "off");
  EXPECT_EQ(bypass.mTextAt1, "on");
  EXPECT_TRUE(bypass.mIsMasterBypass);

  const ParameterInfo& gain = parameters[1];
  EXPECT_EQ(gain.mID, kGainID);
  EXPECT_EQ(gain.mSteps, 128);
  EXPECT_EQ(gain.mType, AAX_eParameterType_Continuous);
  EXPECT_DOUBLE_EQ(gain.mDefault, GainNormalized(0.0));
  EXPECT_EQ(gain.mDefaultText, "0.0 dB");
  EXPECT_EQ(gain.mTextAt0, "-60.0 dB");
  EXPECT_EQ(gain.mTextAt1, "12.0 dB");
  EXPECT_FALSE(gain.mIsMasterBypass);

  const std::vector<std::string> registered{kBypassID, kGainID};
  EXPECT_EQ(mInstance->Automation().RegisteredParameters(), registered);
}

TEST_F(GainInstance, ResolvesNamesAndDisplayTextsThroughTheEffect)
{
  struct Case
  {
    const char* mName;
    const char* mText;
    std::optional<double> mNormalized;
  };
  const Case cases[] = {
    {"Gain", "-6.0 dB", GainNormalized(-6.0)}, {"Gain", "-6", GainNormalized(-6.0)},
    {"Gain", "12.0 dB", 1.0},                  {"Gain", "loud", std::nullopt},
    {"Master Bypass", "on", 1.0},              {"Master Bypass", "maybe", std::nullopt},
  };
  for (const Case& c : cases)
  {
    std::string id;
    ASSERT_TRUE(mInstance->FindParameterByName(c.mName, id)) << c.mName;
    double value = -1.0;
    EXPECT_EQ(mInstance->NormalizedFromText(id, c.mText, value), c.mNormalized.has_value()) << c.mText;
    if (c.mNormalized)
    {
      EXPECT_DOUBLE_EQ(value, *c.mNormalized) << c.mText;
    }
  }
  std::string id;
  EXPECT_FALSE(mInstance->FindParameterByName("Volume", id));
}

TEST_F(GainInstance, RenderFillsTheContextAndCallsTheProcessProcedure)
{
  const Stereo input = Ramp(700);
  const Stereo output = RenderRamp(input);
  ExpectScaled(input, output, 1.0);
  EXPECT_FLOAT_EQ(mInstance->Meter(0), 0.699f);
  EXPECT_EQ(mInstance->RenderCalls(), 1u);
  EXPECT_FALSE(mInstance->Render(nullptr, nullptr, 0));
}

TEST_F(GainInstance, HostUpdateReachesTheNextRenderAsAPublishedPacket)
{
  const Stereo input = Ramp(256);
  SetGainDb(-6.0);
  EXPECT_GE(mInstance->GetController().PacketsPosted(), 1u);
  ExpectScaled(input, RenderRamp(input), Linear(-6.0));
  SetGainDb(6.0);
  ExpectScaled(input, RenderRamp(input), Linear(6.0));
  EXPECT_EQ(mInstance->GetController().PacketsRefused(), 0u);
}

TEST_F(GainInstance, MasterBypassPassesTheInputUnchanged)
{
  const Stereo input = Ramp(128);
  SetGainDb(-20.0);
  std::string bypass;
  ASSERT_TRUE(mInstance->MasterBypassID(bypass));
  EXPECT_EQ(bypass, kBypassID);
  mInstance->SendHostUpdate(bypass, 1.0);
  mInstance->WaitForParameterThread();
  ExpectScaled(input, RenderRamp(input), 1.0);
  mInstance->SendHostUpdate(bypass, 0.0);
  mInstance->WaitForParameterThread();
  ExpectScaled(input, RenderRamp(input), Linear(-20.0));
}

TEST_F(GainInstance, PacketsForUndeclaredFieldsOrLargerThanThePortAreRefused)
{
  Controller& controller = mInstance->GetController();
  const double packet[2] = {0.25, 0.5};
  EXPECT_EQ(controller.PostPacket(25, packet, sizeof(packet)), AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW);
  EXPECT_EQ(controller.PostPacket(5, packet, sizeof(double)), AAX_ERROR_NULL_OBJECT);
  EXPECT_EQ(controller.PacketsRefused(), 2u);
  // the port keeps what it had
  const Stereo input = Ramp(64);
  ExpectScaled(input, RenderRamp(input), 1.0);
}

TEST_F(GainInstance, ChunksRoundTripAndCompareAgainstTheActiveState)
{
  SetGainDb(-12.0);
  std::vector<HostChunk> saved;
  std::string error;
  ASSERT_TRUE(mInstance->SaveChunks(saved, error)) << error;
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].mID, AAX_FourCC("GNst"));
  EXPECT_EQ(saved[0].mData.size(), sizeof(double));

  bool equal = false;
  ASSERT_TRUE(mInstance->CompareChunk(saved[0], equal, error)) << error;
  EXPECT_TRUE(equal);
  SetGainDb(3.0);
  ASSERT_TRUE(mInstance->CompareChunk(saved[0], equal, error)) << error;
  EXPECT_FALSE(equal);

  // restoring asks the host for the value, which arrives on the parameter thread before RestoreChunks returns
  ASSERT_TRUE(mInstance->RestoreChunks(saved, error)) << error;
  EXPECT_DOUBLE_EQ(mInstance->NormalizedValue(kGainID), GainNormalized(-12.0));
  ASSERT_TRUE(mInstance->CompareChunk(saved[0], equal, error)) << error;
  EXPECT_TRUE(equal);
  const Stereo input = Ramp(32);
  ExpectScaled(input, RenderRamp(input), Linear(-12.0));

  HostChunk foreign{AAX_FourCC("none"), {1, 2, 3}};
  EXPECT_FALSE(mInstance->RestoreChunks({foreign}, error));
  EXPECT_NE(error.find("refused chunk 'none'"), std::string::npos) << error;
}

TEST(AaxHostChunkFile, KeepsChunksAndRefusesAnythingElse)
{
  const fs::path dir =
    fs::temp_directory_path() / ("aaxhost-chunks-" + std::to_string(testsupport::CurrentProcessId()));
  fs::create_directories(dir);
  const std::vector<HostChunk> chunks{{AAX_FourCC("GNst"), {1, 2, 3, 4, 5, 6, 7, 8}}, {AAX_FourCC("abcd"), {}}};
  std::string error;
  const std::string path = (dir / "state.bin").string();
  ASSERT_TRUE(WriteChunkFile(path, chunks, error)) << error;
  std::vector<HostChunk> read;
  ASSERT_TRUE(ReadChunkFile(path, read, error)) << error;
  EXPECT_EQ(read, chunks);

  // closed before the file is rewritten: Windows will not replace or remove a file that is still open
  const std::string bytes = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }();
  const std::pair<const char*, std::string> bad[] = {
    {"empty", ""},
    {"other magic", "RIFFxxxx" + bytes.substr(8)},
    {"truncated", bytes.substr(0, bytes.size() - 3)},
    {"trailing bytes", bytes + "x"},
  };
  for (const auto& [name, content] : bad)
  {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    read.clear();
    EXPECT_FALSE(ReadChunkFile(path, read, error)) << name;
    EXPECT_TRUE(read.empty()) << name;
  }
  EXPECT_FALSE(ReadChunkFile((dir / "missing.bin").string(), read, error));
  fs::remove_all(dir);
}

TEST_F(GainInstance, EditorComesFromTheEditorProcedureAndLeavesNoObjectsBehind)
{
  std::string error;
  ASSERT_TRUE(mInstance->OpenEditor(error)) << error;
  ASSERT_NE(mInstance->Editor(), nullptr);
  AAX_Point size;
  EXPECT_EQ(mInstance->Editor()->GetViewSize(&size), AAX_SUCCESS);
  EXPECT_EQ(size.mHorz, 320.0f);
  EXPECT_EQ(size.mVert, 200.0f);
  EXPECT_NE(mInstance->GetViewContainer(), nullptr);
  mInstance->IdleTick();
  EXPECT_GE(mModule->LiveObjects(), 2); // the effect and the editor
  mInstance->CloseEditor();
  EXPECT_EQ(mInstance->Editor(), nullptr);
  mInstance.reset();
  EXPECT_EQ(mModule->LiveObjects(), 0);
}

TEST_F(GainInstance, TransportMovesOnWithEveryRenderAndTicksOnlyWhilePlaying)
{
  const Stereo input = Ramp(480);
  RenderRamp(input);
  EXPECT_EQ(mInstance->GetTransport().State().mSample, 480);
  EXPECT_EQ(mInstance->GetTransport().State().mTicks, 0);
  TransportState playing;
  playing.mPlaying = true;
  mInstance->GetTransport().SetState(playing);
  for (int i = 0; i < 100; ++i) // one second at 120 bpm: two quarter notes
    RenderRamp(input);
  EXPECT_EQ(mInstance->GetTransport().State().mTicks, 2 * kAAXTicksPerQuarterNote);
  EXPECT_EQ(mInstance->GetTransport().State().mSample, 48000);
}

// ---- offline rendering and automation

TEST_F(GainInstance, OfflineChangesApplyBeforeTheBlockThatContainsTheirSample)
{
  const std::vector<std::vector<float>> input(kChannels, std::vector<float>(2048, 0.5f));
  OfflineJob job;
  job.mBlockSize = 512;
  job.mChanges = {{1000, kGainID, GainNormalized(-6.0)}, {5000, kGainID, 0.0}};
  OfflineResult result;
  std::string error;
  ASSERT_TRUE(RenderOffline(*mInstance, input, job, result, error)) << error;
  EXPECT_EQ(result.mChangesApplied, 1u);
  EXPECT_EQ(result.mLatency, 0);
  ASSERT_EQ(result.mOutput.size(), 2u);
  ASSERT_EQ(result.mOutput[0].size(), 2048u);
  for (const std::vector<float>& channel : result.mOutput)
  {
    EXPECT_FLOAT_EQ(channel[511], 0.5f);
    EXPECT_FLOAT_EQ(channel[512], static_cast<float>(0.5 * Linear(-6.0)));
    EXPECT_FLOAT_EQ(channel[2047], static_cast<float>(0.5 * Linear(-6.0)));
  }

  const std::vector<std::vector<float>> mono(1, std::vector<float>(16));
  EXPECT_FALSE(RenderOffline(*mInstance, mono, job, result, error));
  EXPECT_NE(error.find("takes 2 input channels, not 1"), std::string::npos) << error;
}

TEST(AaxHostAutomation, LinesTakeTheLongestParameterNameAndSortBySample)
{
  const std::vector<std::string> names{"Low", "Low Gain", "Mid"};
  const std::string text = "# sample name value\n"
                           "2048 Low Gain 6.00 dB\n"
                           "\n"
                           "  10 Low on\n"
                           "10 \"Mid\" 3\n"
                           "0 Mid -1\n";
  std::vector<AutomationLine> lines;
  std::string error;
  ASSERT_TRUE(ParseAutomation(text, names, lines, error)) << error;
  ASSERT_EQ(lines.size(), 4u);
  const std::tuple<int64_t, std::string, std::string, int> expected[] = {
    {0, "Mid", "-1", 6}, {10, "Low", "on", 4}, {10, "Mid", "3", 5}, {2048, "Low Gain", "6.00 dB", 2}};
  for (std::size_t i = 0; i < lines.size(); ++i)
  {
    EXPECT_EQ(lines[i].mSample, std::get<0>(expected[i])) << i;
    EXPECT_EQ(lines[i].mName, std::get<1>(expected[i])) << i;
    EXPECT_EQ(lines[i].mValue, std::get<2>(expected[i])) << i;
    EXPECT_EQ(lines[i].mLine, std::get<3>(expected[i])) << i;
  }

  const std::pair<const char*, const char*> bad[] = {
    {"Mid 3\n", "line 1: expected a sample position"},
    {"-5 Mid 3\n", "line 1: expected a sample position"},
    {"0 Mid 1\n12 High 3\n", "line 2: no parameter name"},
    {"12 Mid\n", "line 1: no parameter name"},
    {"12 \"Mid 3\n", "line 1: no parameter name"},
    {"12 \"Mid\"\n", "line 1: no value"},
  };
  for (const auto& [line, reason] : bad)
  {
    EXPECT_FALSE(ParseAutomation(line, names, lines, error)) << line;
    EXPECT_NE(error.find(reason), std::string::npos) << line << " gave " << error;
  }
}

// ---- threads

TEST(AaxHostThreads, SetValueRequestIsAnsweredWithTheHostUpdateOnTheParameterThread)
{
  const std::shared_ptr<Module> module = LoadGain();
  ASSERT_TRUE(module);
  ParameterThread parameterThread;
  std::string error;
  const std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, {}, error);
  ASSERT_TRUE(instance) << error;
  instance->Automation().ClearEvents();

  EXPECT_EQ(instance->EffectParameters().SetParameterNormalizedValue(kGainID, 0.25), AAX_SUCCESS);
  instance->WaitForParameterThread();

  // the answer may come before the release is posted: each thread's events are in order, not the two together
  const std::thread::id main = std::this_thread::get_id();
  std::vector<AutomationEvent> events = instance->Automation().Events();
  std::stable_partition(events.begin(), events.end(), [main](const AutomationEvent& e) { return e.mThread == main; });
  const std::tuple<EAutomationEvent, double, std::thread::id> expected[] = {
    {EAutomationEvent::eTouch, 0.0, main},
    {EAutomationEvent::eSetValueRequest, 0.25, main},
    {EAutomationEvent::eRelease, 0.0, main},
    {EAutomationEvent::eCurrentValue, 0.25, parameterThread.Id()},
  };
  ASSERT_EQ(events.size(), std::size(expected));
  for (std::size_t i = 0; i < events.size(); ++i)
  {
    EXPECT_EQ(events[i].mKind, std::get<0>(expected[i])) << i;
    EXPECT_EQ(events[i].mID, kGainID) << i;
    EXPECT_DOUBLE_EQ(events[i].mValue, std::get<1>(expected[i])) << i;
    EXPECT_EQ(events[i].mThread, std::get<2>(expected[i])) << i;
  }
  EXPECT_DOUBLE_EQ(instance->NormalizedValue(kGainID), 0.25);
  EXPECT_EQ(instance->Automation().HostUpdatesDelivered(), 1u);
}

namespace {

// Renders, updates and ticks concurrently for a while; under ThreadSanitizer this also finds the races.
void ExpectCleanStressRun(const std::string& modulePath, int parameters)
{
  std::optional<testsupport::AllocationScope> scope;
  std::size_t allocations = 0;
  StressOptions options;
  options.mModulePath = modulePath;
  options.mDuration = std::chrono::milliseconds(2000);
  options.mAfterFirstBlock = [&] { scope.emplace(); };
  options.mAfterLastBlock = [&] {
    allocations = scope->Count();
    scope.reset();
  };
  StressReport report;
  std::string error;
  ASSERT_TRUE(RunStress(options, report, error)) << error;
  EXPECT_GT(report.mBlocks, 10u);
  EXPECT_GT(report.mHostUpdates, 10u);
  EXPECT_GT(report.mIdleTicks, 10u);
  EXPECT_EQ(report.mParameters, parameters);
  EXPECT_EQ(report.mNonFiniteSamples, 0u);
  EXPECT_EQ(report.mAssertions, 0u);
  EXPECT_EQ(allocations, 0u) << "allocations on the render thread after the first block";
}

} // namespace

TEST(AaxHostThreads, StressRunOnTheTestModuleRendersWithoutAllocationsRacesOrNonFiniteSamples)
{
  ExpectCleanStressRun(kGainModule, 2);
}

TEST(AaxHostThreads, StressRunOnTalvenRendersWithoutAllocationsRacesOrNonFiniteSamples)
{
  // 21 parameters and the master bypass
  ExpectCleanStressRun(AAXHOST_TALVEN_MODULE, 22);
}

// The framework's idle timer belongs to the thread that made the effect; the host's periodic call on that thread
// is what fires it.
TEST(AaxHostThreads, IdleTickBringsHostValuesToTheEditorOnTheCallingThread)
{
  aaxhost::LoadOptions options;
  options.mServices = HostRef<HostServices>(new HostServices);
  const HostRef<HostServices> services = options.mServices;
  std::string error;
  const std::shared_ptr<Module> module = Module::Load(AAXHOST_IDLE_MODULE, error, std::move(options));
  ASSERT_TRUE(module) << error;
  ParameterThread parameterThread;
  const std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, {}, error);
  ASSERT_TRUE(instance) << error;
  const auto editorTraces = [&] {
    std::vector<TraceMessage> traces;
    for (const TraceMessage& trace : services->Traces())
      if (trace.mText.rfind("editor ", 0) == 0)
        traces.push_back(trace);
    return traces;
  };

  instance->SendHostUpdate("1", GainNormalized(-6.0));
  instance->WaitForParameterThread();
  EXPECT_TRUE(editorTraces().empty()) << "values reach the editor only through the idle tick";

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  instance->IdleTick();
  const std::vector<TraceMessage> traces = editorTraces();
  ASSERT_EQ(traces.size(), 1u);
  EXPECT_EQ(traces[0].mText, "editor 1=-6");
  EXPECT_EQ(traces[0].mThread, std::this_thread::get_id());
}

// ---- the command line

namespace {

class PlughostCommand : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mDir = fs::temp_directory_path() / ("plughost-test-" + std::to_string(testsupport::CurrentProcessId()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const std::string& name) const { return (mDir / name).string(); }

  // runs plughost with the arguments; returns the exit status, stdout in out
  int Run(const std::string& args, std::string* out = nullptr) const
  {
    const std::string stdoutPath = Path("stdout.txt");
    const std::string command =
      std::string(PLUGHOST_EXE) + " " + args + " >" + stdoutPath + " 2>" + Path("stderr.txt");
    const int status = std::system(command.c_str());
    if (out)
    {
      std::ifstream file(stdoutPath);
      out->assign(std::istreambuf_iterator<char>(file), {});
    }
    return testsupport::CommandExitCode(status);
  }

  std::string Stderr() const
  {
    std::ifstream file(Path("stderr.txt"));
    return {std::istreambuf_iterator<char>(file), {}};
  }

  // a stereo ramp at 48 kHz
  std::string WriteInput(const std::string& name, int frames, int channels = kChannels) const
  {
    talvenhost::AudioBuffer buffer;
    buffer.channels.assign(static_cast<std::size_t>(channels), std::vector<float>(static_cast<std::size_t>(frames)));
    for (auto& channel : buffer.channels)
      for (int i = 0; i < frames; ++i)
        channel[static_cast<std::size_t>(i)] = 0.25f + 0.0001f * static_cast<float>(i % 1000);
    std::string error;
    EXPECT_TRUE(talvenhost::WriteAudioFile(Path(name), buffer, error)) << error;
    return Path(name);
  }

  talvenhost::AudioBuffer ReadOutput(const std::string& name) const
  {
    talvenhost::AudioBuffer buffer;
    std::string error;
    EXPECT_TRUE(talvenhost::ReadAudioFile(Path(name), buffer, error)) << error;
    return buffer;
  }

  fs::path mDir;
};

std::string GainArgs(const std::string& args = "")
{
  return std::string(kGainModule) + " " + args;
}

} // namespace

TEST_F(PlughostCommand, DescribeJsonKeepsItsStableKeys)
{
  std::string out;
  ASSERT_EQ(Run("describe " + GainArgs("--json"), &out), 0) << Stderr();
  const std::string inOrder[] = {
    "\"effect\": {",          "\"bundle_id\": \"com.Brasswick.aax.GAIN\"", "\"components\": [",
    "\"real\": true",         "\"parameters\": [",                         "\"id\": \"MasterBypassID\"",
    "\"type\": \"discrete\"", "\"id\": \"Gain\"",                          "\"name\": \"Gain\"",
    "\"steps\": 128",         "\"type\": \"continuous\"",                  "\"automatable\": true",
    "\"default_normalized\": 0.8333333333333334", "\"default_text\": \"0.0 dB\"",
  };
  std::size_t at = 0;
  for (const std::string& text : inOrder)
  {
    const std::size_t found = out.find(text, at);
    ASSERT_NE(found, std::string::npos) << text << "\n" << out;
    at = found;
  }
  ASSERT_EQ(Run("describe " + GainArgs(), &out), 0) << Stderr();
  EXPECT_NE(out.find("names: Test Gain, Gain"), std::string::npos) << out;
  EXPECT_NE(out.find("25 data-in port: data-in port (8-byte packets, unbuffered)"), std::string::npos) << out;
}

TEST_F(PlughostCommand, RenderAppliesSettingsAndCarriesStateThroughChunkFiles)
{
  const std::string input = WriteInput("in.wav", 3000);
  std::string out;
  ASSERT_EQ(Run("render " + GainArgs("-i " + input + " -o " + Path("set.wav") + " --set \"Gain=-6.0 dB\" --state-out " +
                                   Path("state.bin")),
                &out),
            0)
    << Stderr();
  EXPECT_EQ(out, "latency=0\n");
  ASSERT_EQ(Run("render " + GainArgs("-i " + input + " -o " + Path("restored.wav") + " --state-in " + Path("state.bin"))), 0)
    << Stderr();
  ASSERT_EQ(Run("render " + GainArgs("-i " + input + " -o " + Path("bypassed.wav") + " --set \"Gain=-6.0 dB\" --bypass")),
            0)
    << Stderr();

  const talvenhost::AudioBuffer in = ReadOutput("in.wav");
  const talvenhost::AudioBuffer set = ReadOutput("set.wav");
  const talvenhost::AudioBuffer restored = ReadOutput("restored.wav");
  const talvenhost::AudioBuffer bypassed = ReadOutput("bypassed.wav");
  ASSERT_EQ(set.NumChannels(), 2);
  ASSERT_EQ(set.NumFrames(), 3000);
  for (std::size_t i = 0; i < 3000; i += 299)
  {
    EXPECT_FLOAT_EQ(set.channels[1][i], static_cast<float>(in.channels[1][i] * Linear(-6.0))) << i;
    EXPECT_EQ(restored.channels[1][i], set.channels[1][i]) << i;
    EXPECT_EQ(bypassed.channels[1][i], in.channels[1][i]) << i;
  }
}

TEST_F(PlughostCommand, AutomationChangesTheGainFromTheBlockOfItsSample)
{
  const std::string input = WriteInput("in.wav", 2048);
  std::ofstream(Path("gain.txt")) << "# a drop at 1000\n1000 Gain -6.0 dB\n";
  ASSERT_EQ(Run("render " + GainArgs("-i " + input + " -o " + Path("out.wav") + " --block 512 --automate " +
                                   Path("gain.txt"))),
            0)
    << Stderr();
  const talvenhost::AudioBuffer in = ReadOutput("in.wav");
  const talvenhost::AudioBuffer out = ReadOutput("out.wav");
  for (std::size_t c = 0; c < 2; ++c)
  {
    EXPECT_EQ(out.channels[c][511], in.channels[c][511]);
    EXPECT_FLOAT_EQ(out.channels[c][512], static_cast<float>(in.channels[c][512] * Linear(-6.0)));
  }
}

TEST_F(PlughostCommand, BadInputExitsWithStatusTwo)
{
  const std::string stereo = WriteInput("stereo.wav", 64);
  const std::string mono = WriteInput("mono.wav", 64, 1);
  std::ofstream(Path("bad.txt")) << "100 Volume 3\n";
  std::ofstream(Path("garbage.bin")) << "not a state file";
  std::ofstream(Path("junk.aaxplugin")) << "not a module";
  const std::pair<std::string, std::string> cases[] = {
    {"", "no command"},
    {"frobnicate " + GainArgs(), "unknown command"},
    {"describe", "no module given"},
    {"describe " + Path("missing.aaxplugin"), "no module at"},
    {"describe " + Path("junk.aaxplugin"), "cannot load module"},
    {"describe " + std::string(AAXHOST_PARTIAL_MODULE), "lacks the exports"},
    {"describe " + GainArgs("--frobnicate"), "unknown option"},
    {"describe " + GainArgs(GainArgs()), "more than one module"},
    {"render " + GainArgs("--block 0"), "--block needs a whole number"},
    {"render " + GainArgs("--block"), "missing value after --block"},
    {"render " + GainArgs("--set \"Volume=3\""), "unknown parameter 'Volume'"},
    {"render " + GainArgs("--set \"Gain=loud\""), "cannot parse value 'loud'"},
    {"render " + GainArgs("--set Gain"), "--set needs NAME=VALUE"},
    {"render " + GainArgs("--automate " + Path("missing.txt")), "cannot read automation file"},
    {"render " + GainArgs("--automate " + Path("bad.txt")), "line 1: no parameter name"},
    {"render " + GainArgs("--state-in " + Path("missing.bin")), "cannot read state file"},
    {"render " + GainArgs("--state-in " + Path("garbage.bin")), "is not a state file"},
    {"render " + GainArgs("-i " + mono), "no component for 1 input channels"},
    {"render " + GainArgs("-i " + Path("missing.wav")), ""},
  };
  for (const auto& [args, reason] : cases)
  {
    const bool render = args.rfind("render", 0) == 0;
    EXPECT_EQ(Run(render ? "render -o " + Path("out.wav") + args.substr(6) : args), 2) << args;
    EXPECT_NE(Stderr().find(reason), std::string::npos) << args << " gave " << Stderr();
    EXPECT_FALSE(fs::exists(Path("out.wav"))) << args;
  }
  EXPECT_EQ(Run("render " + GainArgs("-i " + stereo + " -o " + Path("out.wav"))), 0) << Stderr();
}
