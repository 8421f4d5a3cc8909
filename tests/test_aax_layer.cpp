#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "AAX_CAtomicQueue.h"
#include "AAX_CEffectGUI.h"
#include "AAX_CEffectParameters.h"
#include "AAX_CParameter.h"
#include "AAX_Exception.h"
#include "AAX_Records.h"
#include "AAX_StemFormat.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"

namespace {

// ---- host stand-ins: stack objects with counted (never deleting) references

template <typename First, typename... Rest>
class HostObject : public First, public Rest...
{
public:
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override
  {
    *out = nullptr;
    if (iid == IACFUnknown::kInterfaceID || iid == First::kInterfaceID)
      *out = static_cast<First*>(this);
    ((!*out && iid == Rest::kInterfaceID ? (*out = static_cast<Rest*>(this)) : nullptr), ...);
    if (!*out)
      return ACF_E_NOINTERFACE;
    AddRef();
    return ACF_OK;
  }
  uint32_t AddRef() override { return static_cast<uint32_t>(++mRefs); }
  uint32_t Release() override { return static_cast<uint32_t>(--mRefs); }

  IACFUnknown* Unknown() { return static_cast<First*>(this); }
  int mRefs = 1;
};

struct Assertion
{
  std::string mPath;
  int32_t mLine;
  std::string mCondition;
  int32_t mFlags;
};

class FakeHostServices : public HostObject<AAX_IHostServices>
{
public:
  AAX_Result HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t flags) override
  {
    mAssertions.push_back({path, line, condition, flags});
    return AAX_SUCCESS;
  }
  AAX_Result Trace(int32_t priority, const char* message) override
  {
    mTraces.emplace_back(priority, message);
    return AAX_SUCCESS;
  }

  std::vector<Assertion> mAssertions;
  std::vector<std::pair<int32_t, std::string>> mTraces;
};

// Installs the stand-in as the module's host services for one test.
class WithHostServices : public ::testing::Test
{
protected:
  void SetUp() override { ASSERT_TRUE(AAX_InstallHostServices(mServices.Unknown())); }
  void TearDown() override { AAX_RemoveHostServices(); }

  std::vector<std::string> Conditions() const
  {
    std::vector<std::string> conditions;
    for (const Assertion& a : mServices.mAssertions)
      conditions.push_back(a.mCondition);
    return conditions;
  }

  FakeHostServices mServices;
};

// Controller, automation delegate and transport in one host object, logging what the effect asks.
class FakeController : public HostObject<AAX_IController, AAX_IAutomationDelegate, AAX_ITransport>
{
public:
  AAX_Result GetSampleRate(double* rate) const override { *rate = 48000.0; return AAX_SUCCESS; }
  AAX_Result GetInputStemFormat(AAX_EStemFormat* f) const override { *f = AAX_eStemFormat_Stereo; return AAX_SUCCESS; }
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* f) const override { *f = AAX_eStemFormat_Mono; return AAX_SUCCESS; }
  AAX_Result SetSignalLatency(int32_t samples) override { mLatency = samples; return AAX_SUCCESS; }
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) override
  {
    const auto* bytes = static_cast<const uint8_t*>(data);
    mPackets.emplace_back(field, std::vector<uint8_t>(bytes, bytes + size));
    return AAX_SUCCESS;
  }
  AAX_Result GetEffectParameters(IACFUnknown** effect) const override
  {
    *effect = mEffect;
    if (mEffect)
      mEffect->AddRef();
    return mEffect ? AAX_SUCCESS : AAX_ERROR_NULL_OBJECT;
  }

  AAX_Result RegisterParameter(AAX_CParamID id) override { return Log("register", id); }
  AAX_Result UnregisterParameter(AAX_CParamID id) override { return Log("unregister", id); }
  AAX_Result PostSetValueRequest(AAX_CParamID id, double value) override
  {
    Log("request", id, value);
    // a real host answers a request with the effect's update
    return mAnswerRequests && mEffect ? Effect()->OnHostParamUpdate(id, value, AAX_eUpdateSource_Parameter)
                                      : AAX_SUCCESS;
  }
  AAX_Result PostCurrentValue(AAX_CParamID id, double value) override { return Log("current", id, value); }
  AAX_Result PostTouchRequest(AAX_CParamID id) override { return Log("touch", id); }
  AAX_Result PostReleaseRequest(AAX_CParamID id) override { return Log("release", id); }

  AAX_Result GetCurrentTempo(double* bpm) const override { *bpm = 96.0; return AAX_SUCCESS; }
  AAX_Result IsTransportPlaying(bool* playing) const override { *playing = true; return AAX_SUCCESS; }
  AAX_Result GetCurrentMeter(int32_t* n, int32_t* d) const override { *n = 3; *d = 8; return AAX_SUCCESS; }
  AAX_Result GetCurrentTickPosition(int64_t* t) const override { *t = kAAXTicksPerQuarterNote; return AAX_SUCCESS; }
  AAX_Result GetCurrentNativeSampleLocation(int64_t* s) const override { *s = 4800; return AAX_SUCCESS; }
  AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* start, int64_t* end) const override
  {
    *looping = false;
    *start = *end = 0;
    return AAX_SUCCESS;
  }

  AAX_IEffectParameters* Effect() const
  {
    void* found = nullptr;
    mEffect->QueryInterface(AAX_IEffectParameters::kInterfaceID, &found);
    mEffect->Release();
    return static_cast<AAX_IEffectParameters*>(found);
  }

  AAX_Result Log(const char* what, AAX_CParamID id)
  {
    mLog.push_back(std::string(what) + " '" + id + "'");
    return AAX_SUCCESS;
  }
  AAX_Result Log(const char* what, AAX_CParamID id, double value)
  {
    char text[32];
    std::snprintf(text, sizeof(text), " %g", value);
    mLog.push_back(std::string(what) + " '" + id + "'" + text);
    return AAX_SUCCESS;
  }

  IACFUnknown* mEffect = nullptr;
  bool mAnswerRequests = false;
  int32_t mLatency = -1;
  std::vector<std::string> mLog;
  std::vector<std::pair<AAX_CFieldIndex, std::vector<uint8_t>>> mPackets;
};

// ---- parameter set of the effect fixture

using IntParam = AAX_CParameter<int32_t>;
using DoubleParam = AAX_CParameter<double>;
using BoolParam = AAX_CParameter<bool>;

std::unique_ptr<BoolParam> MakeBypass(const char* id)
{
  auto bypass = std::make_unique<BoolParam>(id, "Master Bypass", false, AAX_CBinaryTaperDelegate<bool>(),
                                            AAX_CBinaryDisplayDelegate<bool>("bypass", "on"), true);
  bypass->SetNumberOfSteps(2);
  bypass->SetType(AAX_eParameterType_Discrete);
  return bypass;
}

std::unique_ptr<IntParam> MakeSemitones()
{
  return std::make_unique<IntParam>(
    "1", "Semitones", 3, AAX_CLinearTaperDelegate<int32_t, 1>(0, 10),
    AAX_CUnitDisplayDelegateDecorator<int32_t>(AAX_CNumberDisplayDelegate<int32_t, 0, 0>(), "st"), true);
}

std::unique_ptr<DoubleParam> MakeFrequency()
{
  return std::make_unique<DoubleParam>(
    "2", "Low Frequency", 110.0, AAX_CLinearTaperDelegate<double, 0>(0.0, 200.0),
    AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2, 0>(), "Hz"), true);
}

std::unique_ptr<IntParam> MakeSwitch()
{
  // value 2 lies in the taper's range but has no text
  auto param = std::make_unique<IntParam>(
    "3", "Mode", 0, AAX_CLinearTaperDelegate<int32_t, 1>(0, 2),
    AAX_CStringDisplayDelegate<int32_t>({{0, "Off"}, {1, "On"}}, {{"Off", 0}, {"On", 1}}), false);
  param->SetNumberOfSteps(3);
  param->SetType(AAX_eParameterType_Discrete);
  return param;
}

class TestEffect : public AAX_CEffectParameters
{
public:
  explicit TestEffect(const char* bypassID = "", bool withPreview = false)
    : mBypassID(bypassID), mWithPreview(withPreview)
  {
  }

  int32_t NumChunkedParameters() const { return mNumChunkedParameters; }
  AAX_IParameter* Param(const char* id) const { return mParameterManager.GetParameterByID(id); }
  std::function<void(AAX_CPacketDispatcher&)> mRegisterPackets;

protected:
  AAX_Result InitEffect() override
  {
    mParameterManager.AddParameter(MakeBypass(mBypassID));
    mParameterManager.AddParameter(MakeSemitones());
    mParameterManager.AddParameter(MakeFrequency());
    mParameterManager.AddParameter(MakeSwitch());
    if (mWithPreview)
      mParameterManager.AddParameter(MakeBypass(kAAXPreviewID));
    if (mRegisterPackets)
      mRegisterPackets(mPacketDispatcher);
    return AAX_SUCCESS;
  }

private:
  const char* mBypassID;
  bool mWithPreview;
};

// An effect on the heap as the host gets it from a creation procedure, initialised with the fake controller.
class EffectFixture : public ::testing::Test
{
protected:
  void Open(TestEffect* effect)
  {
    mEffect = effect;
    mHost.mEffect = static_cast<AAX_IEffectParameters*>(mEffect);
    ASSERT_EQ(mEffect->Initialize(mHost.Unknown()), AAX_SUCCESS);
    mHost.mLog.clear();
  }
  void SetUp() override { Open(new TestEffect()); }
  void TearDown() override
  {
    if (mEffect)
      mEffect->Release();
  }

  double Normalized(const char* id) const
  {
    double value = -1.0;
    EXPECT_EQ(mEffect->GetParameterNormalizedValue(id, &value), AAX_SUCCESS);
    return value;
  }
  int32_t Changes() const
  {
    int32_t changes = -1;
    mEffect->GetNumberOfChanges(&changes);
    return changes;
  }

  FakeController mHost;
  TestEffect* mEffect = nullptr;
};

} // namespace

// ================================================================ ACF objects

TEST(ACFObjects, EffectAnswersEveryEffectInterfaceAndDiesWithItsLastReference)
{
  const int32_t before = CACFUnknown::LiveObjectCount();
  auto* effect = new AAX_CEffectParameters();
  EXPECT_EQ(CACFUnknown::LiveObjectCount(), before + 1);

  std::vector<acfIID> answered{IACFUnknown::kInterfaceID};
  answered.insert(answered.end(), std::begin(AAX_IEffectParameters::kInterfaceIDs),
                  std::end(AAX_IEffectParameters::kInterfaceIDs));
  for (const acfIID& iid : answered)
  {
    void* out = nullptr;
    ASSERT_EQ(effect->QueryInterface(iid, &out), ACF_OK);
    EXPECT_EQ(out, static_cast<AAX_IEffectParameters*>(effect));
  }
  EXPECT_EQ(effect->AddRef(), answered.size() + 2) << "one reference per answer, plus creation and this one";

  void* out = effect;
  EXPECT_EQ(effect->QueryInterface(AAX_IEffectGUI::kInterfaceID, &out), ACF_E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  for (uint32_t remaining = static_cast<uint32_t>(answered.size()) + 1; remaining > 0; --remaining)
    EXPECT_EQ(effect->Release(), remaining);
  EXPECT_EQ(CACFUnknown::LiveObjectCount(), before + 1) << "one reference is still held";
  EXPECT_EQ(effect->Release(), 0u);
  EXPECT_EQ(CACFUnknown::LiveObjectCount(), before);
}

TEST(ACFObjects, EditorObjectCountsAsLiveAndAnswersOnlyItsInterface)
{
  const int32_t before = CACFUnknown::LiveObjectCount();
  auto* gui = new AAX_CEffectGUI();
  EXPECT_EQ(CACFUnknown::LiveObjectCount(), before + 1);
  void* out = nullptr;
  EXPECT_EQ(gui->QueryInterface(AAX_IEffectGUI::kInterfaceID, &out), ACF_OK);
  EXPECT_EQ(gui->QueryInterface(AAX_IEffectParameters::kInterfaceID, &out), ACF_E_NOINTERFACE);
  gui->Release();
  gui->Release();
  EXPECT_EQ(CACFUnknown::LiveObjectCount(), before);
}

TEST(ACFObjects, WrapperOfAHostWithoutTheInterfaceAnswersNullObjectAndBalancesReferences)
{
  struct : HostObject<AAX_IHostServices>
  {
    AAX_Result HandleAssertFailure(const char*, int32_t, const char*, int32_t) override { return AAX_SUCCESS; }
    AAX_Result Trace(int32_t, const char*) override { return AAX_SUCCESS; }
  } host;
  {
    AAX_VController controller(host.Unknown());
    EXPECT_FALSE(controller.IsValid());
    double rate = 0.0;
    EXPECT_EQ(controller.GetSampleRate(&rate), AAX_ERROR_NULL_OBJECT);
    AAX_VHostServices services(host.Unknown());
    EXPECT_TRUE(services.IsValid());
    EXPECT_GT(host.mRefs, 1);
  }
  EXPECT_EQ(host.mRefs, 1);
  AAX_VController none(nullptr);
  EXPECT_EQ(none.SetSignalLatency(16), AAX_ERROR_NULL_OBJECT);
}

// ================================================================ result codes and errors

TEST(ResultCodes, NamesFollowTheCodeTable)
{
  const std::vector<std::pair<AAX_Result, std::string>> cases{
    {0, "AAX_SUCCESS"},
    {-20001, "AAX_ERROR_INVALID_PARAMETER_ID"},
    {-20002, "AAX_ERROR_INVALID_STRING_CONVERSION"},
    {-20004, "AAX_ERROR_NULL_OBJECT"},
    {-20006, "AAX_ERROR_INVALID_CHUNK_INDEX"},
    {-20007, "AAX_ERROR_INVALID_CHUNK_ID"},
    {-20009, "AAX_ERROR_UNIMPLEMENTED"},
    {-20011, "AAX_ERROR_NOT_INITIALIZED"},
    {-20033, "AAX_ERROR_SIGNED_INT_OVERFLOW"},
    {-20042, "AAX_ERROR_UNKNOWN_EXCEPTION"},
    {-20046, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW"},
    {-21000, "plug-in defined error"},
    {-20600, "plug-in defined error"},
    {-20800, "plug-in defined error"},
    {-21001, "<unknown error code>"},
    {-20599, "<unknown error code>"},
    {-20047, "<unknown error code>"},
    {1, "<unknown error code>"},
    {std::numeric_limits<AAX_Result>::min(), "<unknown error code>"},
  };
  for (const auto& [code, name] : cases)
    EXPECT_EQ(AAX_ResultName(code), name) << code;
}

TEST_F(WithHostServices, CheckedResultAcceptsOnlySuccessAndTracesWhatItThrows)
{
  AAX_CheckedResult result;
  EXPECT_NO_THROW(result = AAX_SUCCESS);
  EXPECT_TRUE(mServices.mTraces.empty());

  try
  {
    result = AAX_ERROR_NULL_OBJECT;
    FAIL() << "no error raised";
  }
  catch (const AAX::Exception::ResultError& error)
  {
    EXPECT_EQ(error.Result(), AAX_ERROR_NULL_OBJECT);
    EXPECT_STREQ(error.what(), "AAX_ERROR_NULL_OBJECT");
  }
  EXPECT_THROW(AAX_CheckedResult{-20700}, AAX::Exception::ResultError);

  ASSERT_EQ(mServices.mTraces.size(), 2u);
  EXPECT_EQ(mServices.mTraces[0].first, 0x4000000);
  EXPECT_EQ(mServices.mTraces[0].second, "AAX_CheckedResult - throwing AAX_ERROR_NULL_OBJECT");
  EXPECT_EQ(mServices.mTraces[1].second, "AAX_CheckedResult - throwing plug-in defined error");
}

TEST(HostServices, ReportsAndTracesAreDroppedWhileNoneIsInstalledAndAnErrorStillRaises)
{
  ASSERT_EQ(AAX_GetHostServices(), nullptr);
  AAX_ReportAssertion("path", "condition");
  AAX_Trace(AAX_eTracePriority_High, "%s", "nobody listens");
  EXPECT_THROW(AAX_CheckedResult{AAX_ERROR_UNIMPLEMENTED}, AAX::Exception::ResultError);
  EXPECT_FALSE(AAX_InstallHostServices(nullptr));
}

TEST_F(WithHostServices, SecondInstallIsRefusedAndTracesAreCutTo511Characters)
{
  FakeHostServices other;
  EXPECT_FALSE(AAX_InstallHostServices(other.Unknown()));
  AAX_Trace(AAX_eTracePriority_High, "%s", std::string(600, 'x').c_str());
  AAX_ReportAssertion("some\\path", "a < b");
  ASSERT_EQ(mServices.mTraces.size(), 1u);
  EXPECT_EQ(mServices.mTraces[0].second.size(), 511u);
  ASSERT_EQ(mServices.mAssertions.size(), 1u);
  EXPECT_EQ(mServices.mAssertions[0].mPath, "some\\path");
  EXPECT_EQ(mServices.mAssertions[0].mFlags, 1);
  EXPECT_EQ(mServices.mAssertions[0].mLine, __LINE__ - 6);
}

// ================================================================ delegates

TEST(TaperDelegates, LinearIntTaperRoundsClampsAndHandlesDegenerateRanges)
{
  struct Case
  {
    int32_t mMin, mMax;
    double mNormalized;
    int32_t mReal;
  };
  const Case cases[] = {
    {0, 10, 0.0, 0},  {0, 10, 1.0, 10}, {0, 10, 0.26, 3}, {0, 10, 0.24, 2}, {0, 10, 1.7, 10},
    {0, 10, -3.0, 0}, {10, 0, 0.0, 10}, {10, 0, 0.26, 7}, {10, 0, 1.0, 0},  {4, 4, 0.9, 4},
    {0, 10, std::nan(""), 0}, {-5, 5, 0.5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AAX_CLinearTaperDelegate<int32_t>(c.mMin, c.mMax).NormalizedToReal(c.mNormalized), c.mReal)
      << c.mMin << ".." << c.mMax << " at " << c.mNormalized;

  const AAX_CLinearTaperDelegate<int32_t> degenerate(4, 4);
  EXPECT_EQ(degenerate.RealToNormalized(-100), 0.5);
  EXPECT_EQ(degenerate.RealToNormalized(4), 0.5);
  EXPECT_EQ(degenerate.ConstrainRealValue(9), 4);

  const AAX_CLinearTaperDelegate<int32_t> reversed(10, 0);
  EXPECT_DOUBLE_EQ(reversed.RealToNormalized(7), 0.3);
  EXPECT_EQ(reversed.RealToNormalized(20), 0.0) << "constrained to 10 first";
  EXPECT_EQ(reversed.GetMinimumValue(), 10);
}

TEST(TaperDelegates, BinaryTaperIsTrueForAnythingAboveZero)
{
  const AAX_CBinaryTaperDelegate<bool> taper;
  EXPECT_FALSE(taper.NormalizedToReal(0.0));
  EXPECT_FALSE(taper.NormalizedToReal(-1.0));
  EXPECT_TRUE(taper.NormalizedToReal(1e-12));
  EXPECT_EQ(taper.RealToNormalized(true), 1.0);
  EXPECT_EQ(taper.RealToNormalized(false), 0.0);
  EXPECT_TRUE(taper.GetMaximumValue());
}

TEST(DisplayDelegates, NumberTextsAreCutToTheLimitWithoutADanglingPoint)
{
  struct Case
  {
    double mValue;
    int32_t mLimit;
    const char* mText;
  };
  const Case cases[] = {
    {7.25, 3, "7.2"}, {10.5, 3, "10"},      {110.0, 6, "110.00"}, {110.0, 5, "110.0"}, {3.5, 4, "3.50"},
    {3.5, 0, ""},     {3.5, -4, ""},        {-2.0, 3, "-2"},      {0.126, 40, "0.13"}, {1e9, 4, "1000"},
  };
  const AAX_CNumberDisplayDelegate<double, 2, 0> display;
  for (const Case& c : cases)
  {
    AAX_CString text;
    ASSERT_TRUE(display.ValueToString(c.mValue, c.mLimit, &text));
    EXPECT_STREQ(text.Get(), c.mText) << c.mValue << " in " << c.mLimit;
  }

  AAX_CString text;
  EXPECT_TRUE((AAX_CNumberDisplayDelegate<int32_t, 0, 0>().ValueToString(-42, &text)));
  EXPECT_STREQ(text.Get(), "-42");
  EXPECT_TRUE((AAX_CNumberDisplayDelegate<double, 1, 1>().ValueToString(2.25, &text)));
  EXPECT_STREQ(text.Get(), "2.2 ") << "round-half-even of the exact binary value, then the space";
  EXPECT_FALSE(display.ValueToString(1e300, &text)) << "too long to format";
}

TEST(DisplayDelegates, NumberParsingTruncatesIntsAndRejectsJunk)
{
  const AAX_CNumberDisplayDelegate<int32_t, 0, 0> ints;
  const AAX_CNumberDisplayDelegate<double, 2, 0> doubles;
  int32_t i = 99;
  EXPECT_TRUE(ints.StringToValue("12.9", &i));
  EXPECT_EQ(i, 12);
  EXPECT_TRUE(ints.StringToValue("-7.9", &i));
  EXPECT_EQ(i, -7);
  EXPECT_FALSE(ints.StringToValue("abc", &i));
  EXPECT_EQ(i, 0);
  EXPECT_FALSE(ints.StringToValue("1e20", &i)) << "outside int32 is no value";
  double d = 99.0;
  EXPECT_TRUE(doubles.StringToValue(" 3.5", &d));
  EXPECT_EQ(d, 3.5);
  EXPECT_FALSE(doubles.StringToValue("", &d));
  EXPECT_EQ(d, 0.0);
}

TEST(DisplayDelegates, UnitIsAppendedOnlyWhenItFitsAndAcceptedOrNotWhenParsing)
{
  const AAX_CUnitDisplayDelegateDecorator<double> display(AAX_CNumberDisplayDelegate<double, 2, 0>(), "dB");
  const std::pair<int32_t, const char*> limited[] = {{6, "3.50dB"}, {5, "3.50"}, {40, "3.50dB"}, {3, "3.5"}, {0, ""}};
  for (const auto& [limit, expected] : limited)
  {
    AAX_CString text;
    ASSERT_TRUE(display.ValueToString(3.5, limit, &text));
    EXPECT_STREQ(text.Get(), expected) << limit;
  }
  AAX_CString text;
  display.ValueToString(3.5, &text);
  EXPECT_STREQ(text.Get(), "3.50dB");

  const std::pair<const char*, double> parsed[] = {{"3.5dB", 3.5}, {"3.5", 3.5}, {"-2 dB", -2.0}, {"1e1dB", 10.0}};
  for (const auto& [input, value] : parsed)
  {
    double out = 0.0;
    EXPECT_TRUE(display.StringToValue(input, &out)) << input;
    EXPECT_EQ(out, value) << input;
  }
  double out = 1.0;
  EXPECT_FALSE(display.StringToValue("dB", &out));

  const auto copy = display.Clone();
  copy->ValueToString(-1.0, &text);
  EXPECT_STREQ(text.Get(), "-1.00dB") << "a clone carries its own inner delegate";
}

TEST(DisplayDelegates, StringDisplayAnswersOnlyExactValuesAndTexts)
{
  const AAX_CStringDisplayDelegate<int32_t> display({{0, "Off"}, {1, "Oversampling On"}}, {{"Off", 0}, {"On", 1}});
  AAX_CString text;
  EXPECT_TRUE(display.ValueToString(1, 3, &text));
  EXPECT_STREQ(text.Get(), "Oversampling On") << "the limit is not applied";
  EXPECT_FALSE(display.ValueToString(2, &text));
  EXPECT_STREQ(text.Get(), "String Not Found");
  int32_t value = 7;
  EXPECT_TRUE(display.StringToValue("On", &value));
  EXPECT_EQ(value, 1);
  EXPECT_FALSE(display.StringToValue("off", &value));
  EXPECT_EQ(value, 0);
}

TEST(DisplayDelegates, BinaryDisplayPicksTheLongestShortenedPairThatFits)
{
  AAX_CBinaryDisplayDelegate<bool> display("bypass", "on");
  AAX_CString text;
  EXPECT_TRUE(display.ValueToString(false, 0, &text));
  EXPECT_STREQ(text.Get(), "bypass") << "no shortened pairs: the full text at any limit";

  display.AddShortenedStrings("byp", "on", 3);
  display.AddShortenedStrings("b", "o", 1);
  const std::pair<int32_t, const char*> cases[] = {{6, "bypass"}, {5, "byp"}, {3, "byp"}, {2, "b"}, {1, "b"}, {0, "b"}};
  for (const auto& [limit, expected] : cases)
  {
    display.ValueToString(false, limit, &text);
    EXPECT_STREQ(text.Get(), expected) << limit;
  }
  display.ValueToString(true, 1, &text);
  EXPECT_STREQ(text.Get(), "o");

  bool value = false;
  EXPECT_TRUE(display.StringToValue("on", &value));
  EXPECT_TRUE(value);
  EXPECT_TRUE(display.StringToValue("bypass", &value));
  EXPECT_FALSE(value);
  value = true;
  EXPECT_FALSE(display.StringToValue("byp", &value));
  EXPECT_FALSE(value);
}

// ================================================================ parameters

namespace {
constexpr const char* kParameterPath = "Dependencies\\IPlug\\AAX_SDK\\Interfaces\\AAX_CParameter";
}

TEST_F(WithHostServices, LongIdentifierKeepsItsFirst31CharactersAndIsReported)
{
  const std::string id(40, 'p');
  IntParam param(id.c_str(), "Long", 0, AAX_CLinearTaperDelegate<int32_t>(0, 1),
                 AAX_CNumberDisplayDelegate<int32_t, 0, 0>(), true);
  EXPECT_EQ(std::string(param.Identifier()), id.substr(0, 31));
  ASSERT_EQ(mServices.mAssertions.size(), 1u);
  EXPECT_EQ(mServices.mAssertions[0].mPath, kParameterPath);
  EXPECT_EQ(mServices.mAssertions[0].mCondition, "len < eParemeterDefaultMaxIdentifierSize");

  IntParam fits(std::string(31, 'q').c_str(), "Fits", 0, AAX_CLinearTaperDelegate<int32_t>(0, 1),
                AAX_CNumberDisplayDelegate<int32_t, 0, 0>(), true);
  EXPECT_EQ(mServices.mAssertions.size(), 1u);
}

TEST_F(WithHostServices, NewParameterHoldsItsDefaultWithContinuousStepsAndRefusesZeroSteps)
{
  auto param = MakeSemitones();
  EXPECT_EQ(param->GetValue(), 3);
  EXPECT_DOUBLE_EQ(param->GetNormalizedValue(), 0.3);
  EXPECT_EQ(param->GetNumberOfSteps(), 128u);
  EXPECT_EQ(param->GetType(), AAX_eParameterType_Continuous);
  EXPECT_EQ(param->GetOrientation(), AAX_eParameterOrientation_Default);

  param->SetNumberOfSteps(0);
  EXPECT_EQ(param->GetNumberOfSteps(), 128u);
  EXPECT_EQ(Conditions(), std::vector<std::string>{"0 < numSteps"});
  param->SetType(AAX_eParameterType_Discrete);
  EXPECT_EQ(param->GetNumberOfSteps(), 128u) << "the type does not touch a count once set";
}

TEST(Parameters, WithADelegateSetAsksTheHostAndOnlyTheHostsAnswerStores)
{
  FakeController host;
  AAX_VAutomationDelegate delegate(host.Unknown());
  auto param = MakeSemitones();
  param->SetAutomationDelegate(&delegate);

  param->SetNormalizedValue(0.26);
  EXPECT_EQ(param->GetValue(), 3) << "left to the host's answer";
  param->UpdateNormalizedValue(0.3);  // the host's answer: the value it holds already, nothing to tell
  param->UpdateNormalizedValue(0.31); // the same real value
  param->UpdateNormalizedValue(0.7);
  param->SetAutomationDelegate(nullptr);
  EXPECT_EQ(param->GetValue(), 7);

  const std::vector<std::string> expected{"register '1'", "touch '1'",       "request '1' 0.3",
                                          "release '1'",  "current '1' 0.7", "unregister '1'"};
  EXPECT_EQ(host.mLog, expected);
}

TEST(Parameters, WithoutADelegateSetStoresAtOnceThroughTheTaper)
{
  auto param = MakeFrequency();
  param->SetNormalizedValue(0.25);
  EXPECT_EQ(param->GetValue(), 50.0);
  EXPECT_TRUE(param->SetValueWithDouble(300.0));
  EXPECT_EQ(param->GetValue(), 200.0) << "constrained by the taper";
  EXPECT_FALSE(param->SetValueWithInt32(3));
  EXPECT_EQ(param->GetValue(), 200.0);
}

TEST(Parameters, ValueCopiesAreIndependentAndTyped)
{
  auto param = MakeSemitones();
  const auto copy = param->CloneValue();
  param->UpdateNormalizedValue(1.0);
  int32_t value = -1;
  ASSERT_TRUE(copy->GetValueAsInt32(&value));
  EXPECT_EQ(value, 3);
  EXPECT_STREQ(copy->Identifier(), "1");
  double asDouble = 0.0;
  bool asBool = false;
  EXPECT_FALSE(copy->GetValueAsDouble(&asDouble));
  EXPECT_FALSE(copy->GetValueAsBool(&asBool));
  const auto second = copy->Clone();
  ASSERT_TRUE(second->GetValueAsInt32(&value));
  EXPECT_EQ(value, 3);
  ASSERT_TRUE(param->GetValueAsInt32(&value));
  EXPECT_EQ(value, 10);
}

TEST(Parameters, ShortenedNameIsTheLongestFormThatFits)
{
  auto param = MakeFrequency();
  const std::pair<int32_t, const char*> plain[] = {
    {40, "Low Frequency"}, {13, "Low Frequency"}, {3, "Low"}, {0, ""}, {-2, ""}};
  for (const auto& [limit, expected] : plain)
    EXPECT_STREQ(param->ShortenedName(limit).Get(), expected) << limit;

  param->AddShortenedName("LowF");
  param->AddShortenedName("LF");
  EXPECT_STREQ(param->ShortenedName(5).Get(), "LowF");
  EXPECT_STREQ(param->ShortenedName(3).Get(), "LF");
  EXPECT_STREQ(param->ShortenedName(1).Get(), "L");

  param->SetName("Low Frequency\nLo Freq");
  EXPECT_STREQ(param->ShortenedName(8).Get(), "Lo Freq") << "further lines are shorter forms";
}

TEST(Parameters, TextFromAValueOutsideTheTaperRangeFails)
{
  // a taper that leaves values as they come, as some custom tapers do
  struct Unclamped : AAX_ITaperDelegate<double>
  {
    std::unique_ptr<AAX_ITaperDelegate<double>> Clone() const override { return std::make_unique<Unclamped>(); }
    double GetMaximumValue() const override { return 1.0; }
    double GetMinimumValue() const override { return 0.0; }
    double ConstrainRealValue(double v) const override { return v; }
    double NormalizedToReal(double n) const override { return n; }
    double RealToNormalized(double v) const override { return v; }
  };
  DoubleParam param("x", "X", 0.5, Unclamped(), AAX_CNumberDisplayDelegate<double, 2, 0>(), true);
  AAX_CString text("untouched");
  EXPECT_FALSE(param.GetStringFromNormalizedValue(1.5, 10, &text));
  EXPECT_STREQ(text.Get(), "untouched");
  EXPECT_TRUE(param.GetStringFromNormalizedValue(1.0, 10, &text));
  EXPECT_STREQ(text.Get(), "1.00");
}

// ================================================================ parameter manager

TEST(ParameterManager, IgnoresNullAndTakenIdentifiersAndIndexesInRegistrationOrder)
{
  FakeController host;
  AAX_VAutomationDelegate delegate(host.Unknown());
  AAX_CParameterManager manager;
  EXPECT_TRUE(manager.AddParameter(MakeBypass("")));
  manager.Initialize(&delegate); // reaches what is registered already
  EXPECT_TRUE(manager.AddParameter(MakeSemitones()));
  EXPECT_FALSE(manager.AddParameter(nullptr));
  auto duplicate = MakeSemitones();
  duplicate->SetName("Other");
  EXPECT_FALSE(manager.AddParameter(std::move(duplicate)));
  EXPECT_TRUE(manager.AddParameter(MakeFrequency()));

  EXPECT_EQ(manager.NumParameters(), 3);
  const std::pair<const char*, int32_t> indices[] = {{"", 0}, {"1", 1}, {"2", 2}, {"12", -1}, {"MasterBypassID", -1}};
  for (const auto& [id, index] : indices)
    EXPECT_EQ(manager.GetParameterIndex(id), index) << id;
  EXPECT_EQ(manager.GetParameterIndex(nullptr), -1);
  EXPECT_STREQ(manager.GetParameterByID("1")->Name().Get(), "Semitones");
  EXPECT_EQ(manager.GetParameter(3), nullptr);
  EXPECT_EQ(manager.GetParameter(-1), nullptr);

  manager.RemoveAllParameters();
  EXPECT_EQ(manager.NumParameters(), 0);
  EXPECT_EQ(manager.GetParameterByID("1"), nullptr);
  const std::vector<std::string> expected{"register ''", "register '1'", "register '2'",
                                          "unregister ''", "unregister '1'", "unregister '2'"};
  EXPECT_EQ(host.mLog, expected);
}

// ================================================================ effect parameters

TEST_F(EffectFixture, QueriesOnAnUnregisteredIdentifierChangeNothingAndGiveTheirCodes)
{
  const char* id = "12";
  AAX_CString text("untouched");
  double value = 0.0;
  int32_t number = 0;
  AAX_CBoolean flag = 1;
  AAX_IParameter* object = mEffect->Param("1");
  AAX_EParameterType type{};
  AAX_EParameterOrientation orientation{};
  const std::vector<std::pair<AAX_Result, std::function<AAX_Result()>>> cases{
    {-20001, [&] { return mEffect->GetParameterIsAutomatable(id, &flag); }},
    {-20001, [&] { return mEffect->GetParameterNumberOfSteps(id, &number); }},
    {-20001, [&] { return mEffect->GetParameterDefaultNormalizedValue(id, &value); }},
    {-20001, [&] { return mEffect->SetParameterDefaultNormalizedValue(id, 0.5); }},
    {-20001, [&] { return mEffect->GetParameterType(id, &type); }},
    {-20001, [&] { return mEffect->GetParameterOrientation(id, &orientation); }},
    {-20001, [&] { return mEffect->GetParameter(id, &object); }},
    {-20001, [&] { return mEffect->GetParameterIndex(id, &number); }},
    {-20001, [&] { return mEffect->GetParameterValueFromString(id, &value, AAX_CString("1")); }},
    {-20001, [&] { return mEffect->GetParameterStringFromValue(id, 0.5, &text, 8); }},
    {-20001, [&] { return mEffect->GetParameterValueString(id, &text, 8); }},
    {-20001, [&] { return mEffect->GetParameterNormalizedValue(id, &value); }},
    {-20001, [&] { return mEffect->SetParameterNormalizedValue(id, 0.5); }},
    {-20001, [&] { return mEffect->SetParameterNormalizedRelative(id, 0.1); }},
    {-20001, [&] { return mEffect->TouchParameter(id); }},
    {-20001, [&] { return mEffect->ReleaseParameter(id); }},
    {-20001, [&] { return mEffect->OnHostParamUpdate(id, 0.5, AAX_eUpdateSource_Parameter); }},
    {-20001, [&] { return mEffect->UpdateParameterNormalizedRelative(id, 0.1); }},
    {-20001, [&] { return mEffect->GetParameterIDFromIndex(4, &text); }},
    {0, [&] { return mEffect->UpdateParameterTouch(id, 1); }},
    {-20009, [&] { return mEffect->GetParameterValueInfo("1", 3, &number); }},
  };
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(cases[i].second(), cases[i].first) << "case " << i;

  EXPECT_EQ(flag, 0);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(number, 0) << "the value information answers 0";
  EXPECT_STREQ(text.Get(), "") << "the index query empties the text";
  AAX_CString name("untouched");
  EXPECT_EQ(mEffect->GetParameterName(id, &name), AAX_SUCCESS);
  EXPECT_STREQ(name.Get(), "");
  name.Set("untouched");
  EXPECT_EQ(mEffect->GetParameterNameOfLength(id, &name, 4), AAX_SUCCESS);
  EXPECT_STREQ(name.Get(), "");
  EXPECT_EQ(Changes(), 0);
  EXPECT_TRUE(mHost.mLog.empty());
}

TEST_F(EffectFixture, QueriesAnswerFromTheRegisteredObjects)
{
  int32_t number = -1;
  EXPECT_EQ(mEffect->GetNumberOfParameters(&number), AAX_SUCCESS);
  EXPECT_EQ(number, 4) << "the master bypass counts";
  AAX_CString text("x");
  mEffect->GetMasterBypassParameter(&text);
  EXPECT_STREQ(text.Get(), "") << "no parameter is called MasterBypassID";
  EXPECT_EQ(mEffect->NumChunkedParameters(), 3) << "the empty identifier names the bypass";

  EXPECT_EQ(mEffect->GetParameterIndex("2", &number), AAX_SUCCESS);
  EXPECT_EQ(number, 2);
  EXPECT_EQ(mEffect->GetParameterIDFromIndex(3, &text), AAX_SUCCESS);
  EXPECT_STREQ(text.Get(), "3");
  EXPECT_EQ(mEffect->GetParameterNumberOfSteps("3", &number), AAX_SUCCESS);
  EXPECT_EQ(number, 3);
  AAX_EParameterType type{};
  mEffect->GetParameterType("", &type);
  EXPECT_EQ(type, AAX_eParameterType_Discrete);
  AAX_CBoolean automatable = 1;
  EXPECT_EQ(mEffect->GetParameterIsAutomatable("3", &automatable), AAX_SUCCESS);
  EXPECT_EQ(automatable, 0);
  mEffect->GetParameterNameOfLength("2", &text, 3);
  EXPECT_STREQ(text.Get(), "Low");
  AAX_IParameter* object = nullptr;
  EXPECT_EQ(mEffect->GetParameter("1", &object), AAX_SUCCESS);
  EXPECT_EQ(object, mEffect->Param("1"));
}

TEST_F(EffectFixture, MasterBypassIdentifierIsNamedOnlyWhenRegistered)
{
  mEffect->Release();
  Open(new TestEffect("MasterBypassID"));
  AAX_CString text;
  mEffect->GetMasterBypassParameter(&text);
  EXPECT_STREQ(text.Get(), "MasterBypassID");
  EXPECT_EQ(mEffect->NumChunkedParameters(), 3);
}

TEST_F(EffectFixture, TextsRoundTripThroughDisplayAndTaper)
{
  AAX_CString text;
  const double at110 = 110.0 / 200.0;
  EXPECT_EQ(mEffect->GetParameterStringFromValue("2", at110, &text, 8), AAX_SUCCESS);
  EXPECT_STREQ(text.Get(), "110.00Hz");
  EXPECT_EQ(mEffect->GetParameterStringFromValue("2", at110, &text, 6), AAX_SUCCESS);
  EXPECT_STREQ(text.Get(), "110.00") << "no room for the unit";
  EXPECT_EQ(mEffect->GetParameterValueString("1", &text, 10), AAX_SUCCESS);
  EXPECT_STREQ(text.Get(), "3st");

  double value = -1.0;
  EXPECT_EQ(mEffect->GetParameterValueFromString("2", &value, AAX_CString("55Hz")), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(value, 55.0 / 200.0);
  EXPECT_EQ(mEffect->GetParameterValueFromString("3", &value, AAX_CString("On")), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(value, 0.5);
  value = -1.0;
  EXPECT_EQ(mEffect->GetParameterValueFromString("2", &value, AAX_CString("abc")), AAX_ERROR_INVALID_STRING_CONVERSION);
  EXPECT_EQ(value, -1.0);

  // "Mode" at 2 has no text
  EXPECT_EQ(mEffect->GetParameterStringFromValue("3", 1.0, &text, 8), AAX_ERROR_INVALID_STRING_CONVERSION);
  mEffect->OnHostParamUpdate("3", 1.0, AAX_eUpdateSource_Parameter);
  EXPECT_EQ(mEffect->GetParameterValueString("3", &text, 8), AAX_ERROR_INVALID_STRING_CONVERSION);
  EXPECT_STREQ(text.Get(), "String Not Found");
}

TEST_F(EffectFixture, HostUpdateStoresTellsTheHostAndCountsOnlyMovingValues)
{
  EXPECT_EQ(mEffect->OnHostParamUpdate("1", 0.5, AAX_eUpdateSource_Parameter), AAX_SUCCESS);
  EXPECT_EQ(Changes(), 1);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.5);
  mEffect->OnHostParamUpdate("1", 0.5, AAX_eUpdateSource_Parameter);
  EXPECT_EQ(Changes(), 1);
  mEffect->OnHostParamUpdate("1", 0.6, AAX_eUpdateSource_Parameter);
  EXPECT_EQ(Changes(), 2);
  const std::vector<std::string> expected{"current '1' 0.5", "current '1' 0.6"};
  EXPECT_EQ(mHost.mLog, expected);
}

TEST_F(EffectFixture, SetValueGoesThroughTheHostsAnswer)
{
  mHost.mAnswerRequests = true;
  EXPECT_EQ(mEffect->SetParameterNormalizedValue("1", 0.72), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.7);
  const std::vector<std::string> expected{"touch '1'", "request '1' 0.7", "current '1' 0.7", "release '1'"};
  EXPECT_EQ(mHost.mLog, expected);
  EXPECT_EQ(mEffect->TouchParameter("2"), AAX_SUCCESS);
  EXPECT_EQ(mHost.mLog.back(), "touch '2'");
}

TEST_F(EffectFixture, RelativeChangesStayInsideTheUnitRange)
{
  mHost.mAnswerRequests = true;
  const std::pair<double, double> steps[] = {{+5.0, 1.0}, {-0.25, 0.75}, {std::nan(""), 0.75}, {-3.0, 0.0}};
  for (const auto& [delta, expected] : steps)
  {
    EXPECT_EQ(mEffect->SetParameterNormalizedRelative("2", delta), AAX_SUCCESS);
    EXPECT_DOUBLE_EQ(Normalized("2"), expected) << delta;
  }
  EXPECT_EQ(mEffect->UpdateParameterNormalizedRelative("2", 0.5), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(Normalized("2"), 0.5);
  EXPECT_EQ(mEffect->UpdateParameterNormalizedRelative("2", 0.75), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(Normalized("2"), 1.0);
}

TEST_F(EffectFixture, StepCountsBeyondInt32AreAnOverflowAndDefaultsAreStoredConstrained)
{
  mEffect->Param("1")->SetNumberOfSteps(0x80000000u);
  int32_t steps = 5;
  EXPECT_EQ(mEffect->GetParameterNumberOfSteps("1", &steps), AAX_ERROR_SIGNED_INT_OVERFLOW);
  EXPECT_EQ(steps, 5);

  double value = 0.0;
  EXPECT_EQ(mEffect->GetParameterDefaultNormalizedValue("1", &value), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(value, 0.3);
  EXPECT_EQ(mEffect->SetParameterDefaultNormalizedValue("1", 0.44), AAX_SUCCESS);
  mEffect->GetParameterDefaultNormalizedValue("1", &value);
  EXPECT_DOUBLE_EQ(value, 0.4);
  EXPECT_DOUBLE_EQ(Normalized("1"), 0.3) << "the value itself stays";
}

TEST_F(EffectFixture, PreviewNotificationSetsThePreviewParameter)
{
  EXPECT_EQ(mEffect->NotificationReceived(AAX_eNotification_Preview, &mHost, 4), AAX_SUCCESS) << "no preview: 0";
  mEffect->Release();
  Open(new TestEffect("", true));
  mHost.mAnswerRequests = true;
  const int32_t on = 1;
  EXPECT_EQ(mEffect->NotificationReceived(AAX_eNotification_Preview, &on, sizeof(on)), AAX_SUCCESS);
  EXPECT_DOUBLE_EQ(Normalized(kAAXPreviewID), 1.0);
  mEffect->NotificationReceived(AAX_eNotification_TrackName, nullptr, 0);
  EXPECT_DOUBLE_EQ(Normalized(kAAXPreviewID), 1.0) << "other notifications leave it";
  mEffect->NotificationReceived(AAX_eNotification_Preview, nullptr, 0);
  EXPECT_DOUBLE_EQ(Normalized(kAAXPreviewID), 0.0);
}

TEST_F(EffectFixture, PublicationPostsOnlyThePacketsOfChangedParameters)
{
  mEffect->Release();
  auto* effect = new TestEffect();
  int generated = 0;
  effect->mRegisterPackets = [&generated](AAX_CPacketDispatcher& dispatcher) {
    dispatcher.RegisterPacket("1", 30, [&generated](std::vector<uint8_t>& data) {
      data.assign({uint8_t(++generated), 0xAB});
      return AAX_SUCCESS;
    });
  };
  Open(effect);

  EXPECT_EQ(mEffect->PublishParamChanges(), AAX_SUCCESS);
  EXPECT_EQ(mEffect->PublishParamChanges(), AAX_SUCCESS);
  mEffect->OnHostParamUpdate("2", 0.1, AAX_eUpdateSource_Parameter);
  mEffect->PublishParamChanges();
  mEffect->OnHostParamUpdate("1", 0.1, AAX_eUpdateSource_Parameter);
  mEffect->PublishParamChanges();

  ASSERT_EQ(mHost.mPackets.size(), 2u) << "once at the start, once after its parameter moved";
  EXPECT_EQ(mHost.mPackets[1].first, 30);
  EXPECT_EQ(mHost.mPackets[1].second, (std::vector<uint8_t>{2, 0xAB}));
}

TEST_F(EffectFixture, ContextFieldsStartZeroedAndTheBaseChunkIsOnlyNamed)
{
  uint8_t field[12];
  std::memset(field, 0x5A, sizeof(field));
  EXPECT_EQ(mEffect->ResetContextField(AAX_SIPlugRenderContext::eFieldMeters, field, sizeof(field)), AAX_SUCCESS);
  EXPECT_TRUE(std::all_of(std::begin(field), std::end(field), [](uint8_t b) { return b == 0; }));

  int32_t count = 0;
  mEffect->GetNumberOfChunks(&count);
  EXPECT_EQ(count, 1);
  AAX_CTypeID id = 7;
  EXPECT_EQ(mEffect->GetChunkIDFromIndex(1, &id), AAX_ERROR_INVALID_CHUNK_INDEX);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(mEffect->GetChunkIDFromIndex(0, &id), AAX_SUCCESS);
  EXPECT_EQ(id, kAAXControlsChunkID);
  uint32_t size = 9;
  EXPECT_EQ(mEffect->GetChunkSize(AAX_FourCC("TLV1"), &size), AAX_ERROR_INVALID_CHUNK_ID);
  EXPECT_EQ(size, 0u);
}

TEST_F(EffectFixture, UninitializeUnregistersEveryParameterAndDropsTheWrappers)
{
  EXPECT_EQ(mEffect->Uninitialize(), AAX_SUCCESS);
  const std::vector<std::string> expected{"unregister ''", "unregister '1'", "unregister '2'", "unregister '3'"};
  EXPECT_EQ(mHost.mLog, expected);
  int32_t count = -1;
  mEffect->GetNumberOfParameters(&count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(mHost.mRefs, 1) << "every wrapper released the controller";
  EXPECT_EQ(mEffect->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
}

TEST_F(EffectFixture, SecondInitializeStartsOverWithTheNewHost)
{
  FakeController second;
  ASSERT_EQ(mEffect->Initialize(second.Unknown()), AAX_SUCCESS);
  EXPECT_EQ(mHost.mLog.size(), 4u) << "the first host heard every parameter go";
  EXPECT_EQ(mHost.mRefs, 1);
  EXPECT_EQ(second.mLog.front(), "register ''");
  int32_t count = 0;
  mEffect->GetNumberOfParameters(&count);
  EXPECT_EQ(count, 4);
  mEffect->Uninitialize();
}

TEST(EffectParameters, HostWithoutAutomationLeavesValuesToTheEffect)
{
  struct : HostObject<AAX_IController>
  {
    AAX_Result GetSampleRate(double*) const override { return AAX_SUCCESS; }
    AAX_Result GetInputStemFormat(AAX_EStemFormat*) const override { return AAX_SUCCESS; }
    AAX_Result GetOutputStemFormat(AAX_EStemFormat*) const override { return AAX_SUCCESS; }
    AAX_Result SetSignalLatency(int32_t) override { return AAX_SUCCESS; }
    AAX_Result PostPacket(AAX_CFieldIndex, const void*, uint32_t) override { return AAX_SUCCESS; }
    AAX_Result GetEffectParameters(IACFUnknown**) const override { return AAX_ERROR_UNIMPLEMENTED; }
  } controllerOnly;
  auto* effect = new TestEffect();
  ASSERT_EQ(effect->Initialize(controllerOnly.Unknown()), AAX_SUCCESS);
  effect->SetParameterNormalizedValue("1", 0.9);
  double value = 0.0;
  effect->GetParameterNormalizedValue("1", &value);
  EXPECT_DOUBLE_EQ(value, 0.9);
  effect->Release();
  EXPECT_EQ(controllerOnly.mRefs, 1);
}

// ================================================================ editor base

namespace {

class FakeViewContainer : public HostObject<AAX_IViewContainer>
{
public:
  AAX_Result GetNativeParentWindow(void** window) const override
  {
    *window = mWindow;
    return AAX_SUCCESS;
  }
  AAX_Result SetViewSize(const AAX_Point& size) override
  {
    mSize = size;
    return AAX_SUCCESS;
  }
  AAX_Result GetModifiers(uint32_t* modifiers) const override
  {
    *modifiers = AAX_eModifiers_Shift;
    return AAX_SUCCESS;
  }
  AAX_Result HandleParameterMouseDown(AAX_CParamID, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }

  void* mWindow = reinterpret_cast<void*>(0x1234);
  AAX_Point mSize;
};

class TestGUI : public AAX_CEffectGUI
{
public:
  AAX_Result ParameterUpdated(AAX_CParamID id) override
  {
    mCalls.push_back(std::string("updated '") + id + "'");
    return AAX_SUCCESS;
  }
  AAX_IEffectParameters* Effect() const { return GetEffectParameters(); }

  std::vector<std::string> mCalls;
  void* mParentWindow = nullptr;

protected:
  void CreateViewContents() override { mCalls.push_back("contents"); }
  void CreateViewContainer() override
  {
    mParentWindow = GetViewContainer()->GetNativeParentWindow();
    mCalls.push_back("container");
  }
  void DeleteViewContainer() override { mCalls.push_back("delete"); }
};

} // namespace

TEST_F(EffectFixture, EditorFindsItsEffectAndRunsTheViewHooksInOrder)
{
  const int hostRefs = mHost.mRefs;
  auto* gui = new TestGUI();
  EXPECT_EQ(gui->Initialize(nullptr), AAX_ERROR_NOT_INITIALIZED);
  ASSERT_EQ(gui->Initialize(mHost.Unknown()), AAX_SUCCESS);
  EXPECT_EQ(gui->Effect(), static_cast<AAX_IEffectParameters*>(mEffect));

  FakeViewContainer container;
  EXPECT_EQ(gui->SetViewContainer(container.Unknown()), AAX_SUCCESS);
  EXPECT_EQ(gui->mParentWindow, container.mWindow);
  EXPECT_EQ(gui->SetViewContainer(nullptr), AAX_SUCCESS);
  EXPECT_EQ(container.mRefs, 1);

  const std::vector<std::string> expected{"contents",      "container",     "updated ''", "updated '1'",
                                          "updated '2'",   "updated '3'",   "delete"};
  EXPECT_EQ(gui->mCalls, expected);

  gui->Uninitialize();
  gui->Release();
  EXPECT_EQ(mHost.mRefs, hostRefs) << "the editor gave back the controller";
}

// ================================================================ atomic queue and mutex

namespace {

template <uint32_t N>
class OwnedQueue : public AAX_CAtomicQueue<int, N>
{
public:
  using AAX_CAtomicQueue<int, N>::Mutex;
};

} // namespace

TEST(AtomicQueue, KeepsOrderAcrossTheWrap)
{
  AAX_CAtomicQueue<int, 4> queue;
  int values[12];
  for (int round = 0; round < 4; ++round)
  {
    for (int i = 0; i < 3; ++i)
    {
      values[round * 3 + i] = round * 3 + i;
      ASSERT_EQ(queue.Push(&values[round * 3 + i]), AAX_IContainer::eStatus_Success);
    }
    for (int i = 0; i < 3; ++i)
    {
      ASSERT_EQ(queue.Peek(), &values[round * 3 + i]);
      ASSERT_EQ(queue.Pop(), &values[round * 3 + i]);
    }
    EXPECT_EQ(queue.Pop(), nullptr);
    EXPECT_EQ(queue.Peek(), nullptr);
  }
}

TEST(AtomicQueue, FullQueueRefusesTheNextElementAndKeepsItsOwn)
{
  AAX_CAtomicQueue<int, 4> queue;
  int values[6] = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(queue.Push(nullptr), AAX_IContainer::eStatus_NullElement);
  for (int i = 0; i < 4; ++i)
    ASSERT_EQ(queue.Push(&values[i]), AAX_IContainer::eStatus_Success);
  EXPECT_EQ(queue.Push(&values[4]), AAX_IContainer::eStatus_Full);
  EXPECT_EQ(queue.Push(&values[4]), AAX_IContainer::eStatus_Full);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(queue.Pop(), &values[i]);
  EXPECT_EQ(queue.Pop(), nullptr);

  ASSERT_EQ(queue.Push(&values[4]), AAX_IContainer::eStatus_Success);
  ASSERT_EQ(queue.Push(&values[5]), AAX_IContainer::eStatus_Success);
  queue.Clear();
  EXPECT_EQ(queue.Pop(), nullptr);
}

TEST(AtomicQueue, OwnerOfTheMutexPushesWithoutWaitingAndKeepsTheLock)
{
  OwnedQueue<8> queue;
  int value = 1;
  ASSERT_TRUE(queue.Mutex().Lock());
  EXPECT_FALSE(queue.Mutex().Lock()) << "the owner passes without taking it again";
  EXPECT_EQ(queue.Push(&value), AAX_IContainer::eStatus_Success);
  EXPECT_TRUE(queue.Mutex().IsOwnedByCurrentThread()) << "the push did not unlock the owner's lock";

  bool otherGotIn = true;
  std::thread([&] {
    otherGotIn = queue.Mutex().TryLock();
    EXPECT_FALSE(queue.Mutex().Unlock()) << "only the owner unlocks";
  }).join();
  EXPECT_FALSE(otherGotIn);
  EXPECT_TRUE(queue.Mutex().Unlock());

  std::thread([&] { EXPECT_EQ(queue.Push(&value), AAX_IContainer::eStatus_Success); }).join();
  EXPECT_FALSE(queue.Mutex().IsOwnedByCurrentThread());
  EXPECT_EQ(queue.Pop(), &value);
  EXPECT_EQ(queue.Pop(), &value);
}

TEST(AtomicQueue, ConcurrentWritersAndOneReaderLoseNothing)
{
  constexpr int kWriters = 3;
  constexpr int kPerWriter = 4000;
  auto queue = std::make_unique<AAX_CAtomicQueue<int, 64>>();
  std::vector<int> values(kWriters * kPerWriter);
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([&, w] {
      for (int i = 0; i < kPerWriter; ++i)
      {
        int* element = &values[static_cast<std::size_t>(w * kPerWriter + i)];
        while (queue->Push(element) == AAX_IContainer::eStatus_Full)
          std::this_thread::yield();
      }
    });

  std::vector<int> seen(values.size(), 0);
  std::vector<int> lastFromWriter(kWriters, -1);
  bool inWriterOrder = true;
  for (std::size_t received = 0; received < values.size();)
  {
    int* element = queue->Pop();
    if (!element)
    {
      std::this_thread::yield();
      continue;
    }
    const auto index = static_cast<int>(element - values.data());
    ++seen[static_cast<std::size_t>(index)];
    inWriterOrder = inWriterOrder && index % kPerWriter > lastFromWriter[index / kPerWriter];
    lastFromWriter[index / kPerWriter] = index % kPerWriter;
    ++received;
  }
  for (std::thread& t : writers)
    t.join();
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
  EXPECT_TRUE(inWriterOrder);
  EXPECT_EQ(queue->Pop(), nullptr);
}

// ================================================================ records and formats

TEST(Records, RenderContextReadsTheHostsArrayOfFieldPointers)
{
  // the host sees the context as an array of pointers indexed by the declared fields
  void* fields[AAX_SIPlugRenderContext::eNumFields];
  char targets[AAX_SIPlugRenderContext::eNumFields];
  for (int i = 0; i < AAX_SIPlugRenderContext::eNumFields; ++i)
    fields[i] = &targets[i];
  AAX_SIPlugRenderContext context;
  std::memcpy(&context, fields, sizeof(context));

  const std::pair<const void*, int> cases[] = {
    {context.mInputs, 0},           {context.mOutputs, 1},       {context.mBufferLength, 2},
    {context.mClock, 3},            {context.mInputNode, 4},     {context.mOutputNode, 5},
    {context.mGlobalNode, 6},       {context.mTransportNode, 7}, {context.mAdditionalInputNodes[0], 8},
    {context.mAdditionalInputNodes[14], 22}, {context.mPrivateData, 23}, {context.mMeters, 24},
    {context.mCurrentStateNumber, 25}, {context.mSideChainChannel, 26},
  };
  for (const auto& [pointer, index] : cases)
    EXPECT_EQ(pointer, &targets[index]) << "field " << index;
}

TEST(Records, MidiPacketAndChunkHeaderHaveTheHostsByteLayout)
{
  const uint8_t packetBytes[16] = {0x10, 0, 0, 0, 3, 0, 0, 0, 0x90, 60, 100, 0, 1, 0, 0, 0};
  AAX_CMidiPacket packet;
  std::memcpy(&packet, packetBytes, sizeof(packet));
  EXPECT_EQ(packet.mTimestamp, 16u);
  EXPECT_EQ(packet.mLength, 3u);
  EXPECT_EQ(packet.mData[0], 0x90);
  EXPECT_EQ(packet.mData[2], 100);
  EXPECT_EQ(packet.mIsImmediate, 1);

  std::vector<uint8_t> record(AAX_SHostChunk::AllocationSize(4), 0);
  const int32_t size = 4;
  const AAX_CTypeID id = AAX_FourCC("TLV1");
  std::memcpy(&record[0], &size, 4);
  std::memcpy(&record[20], &id, 4);
  record[56] = 0xEE;
  const auto* chunk = reinterpret_cast<const AAX_SHostChunk*>(record.data());
  EXPECT_EQ(chunk->mSize, 4);
  EXPECT_EQ(chunk->mChunkID, 0x544C5631u);
  EXPECT_EQ(chunk->Data()[0], 0xEE);
}

TEST(StemFormats, EachChannelCountHasItsCodeAndOthersHaveNone)
{
  const std::pair<int, uint32_t> cases[] = {
    {1, 0x00000001}, {2, 0x00010002}, {3, 0x00020003}, {4, 0x000E0004}, {5, 0x00050005},
    {6, 0x00060006}, {7, 0x000B0007}, {8, 0x000C0008}, {9, 0x00120009}, {10, 0x000D000A},
    {16, 0x00130010}, {11, 0xFF9C0000}, {0, 0xFF9C0000}, {-2, 0xFF9C0000}, {32, 0xFF9C0000},
  };
  for (const auto& [channels, code] : cases)
    EXPECT_EQ(static_cast<uint32_t>(AAX_StemFormatForChannels(channels)), code) << channels;
  EXPECT_EQ(AAX_StemFormatChannelCount(AAX_eStemFormat_Stereo), 2);
  EXPECT_EQ(AAX_StemFormatChannelCount(AAX_eStemFormat_None), 0);
}

// ================================================================ description wrappers

namespace {

class FakeProperties : public HostObject<AAX_IPropertyMap>
{
public:
  AAX_Result AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value) override
  {
    mProperties.emplace_back(id, value);
    return AAX_SUCCESS;
  }
  std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>> mProperties;
};

class FakeComponent : public HostObject<AAX_IComponentDescriptor>
{
public:
  AAX_Result AddAudioIn(AAX_CFieldIndex field) override { return Field(field, AAX_ERROR_NULL_OBJECT); }
  AAX_Result AddAudioOut(AAX_CFieldIndex field) override { return Field(field); }
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) override { return Field(field); }
  AAX_Result AddClock(AAX_CFieldIndex field) override { return Field(field); }
  AAX_Result AddSideChainIn(AAX_CFieldIndex field) override { return Field(field); }
  AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind, const char*, uint32_t) override
  {
    return Field(field);
  }
  AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t, int32_t) override { return Field(field); }
  AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID*, uint32_t) override { return Field(field); }
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t, const char*) override { return Field(field); }
  AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t, AAX_EDataInPortKind) override { return Field(field); }
  AAX_Result NewPropertyMap(IACFUnknown** properties) override
  {
    mProperties.AddRef();
    *properties = mProperties.Unknown();
    return AAX_SUCCESS;
  }
  AAX_Result AddProcessProc(AAX_CProcessProc proc, IACFUnknown* properties) override
  {
    mProcessProc = proc;
    mProcessProperties = properties;
    return AAX_SUCCESS;
  }

  AAX_Result Field(AAX_CFieldIndex field, AAX_Result result = AAX_SUCCESS)
  {
    mFields.push_back(field);
    return result;
  }

  FakeProperties mProperties;
  std::vector<AAX_CFieldIndex> mFields;
  AAX_CProcessProc mProcessProc = nullptr;
  IACFUnknown* mProcessProperties = nullptr;
};

class FakeDescriptor : public HostObject<AAX_IEffectDescriptor>
{
public:
  AAX_Result NewComponentDescriptor(IACFUnknown** component) override
  {
    mComponent.AddRef();
    *component = mComponent.Unknown();
    return AAX_SUCCESS;
  }
  AAX_Result AddComponent(IACFUnknown* component) override
  {
    mAdded = component;
    return AAX_SUCCESS;
  }
  AAX_Result AddName(const char*) override { return AAX_SUCCESS; }
  AAX_Result AddCategory(uint32_t) override { return AAX_SUCCESS; }
  AAX_Result AddProcPtr(AAX_CreateObjectProc, AAX_EProcPtrID) override { return AAX_SUCCESS; }

  FakeComponent mComponent;
  IACFUnknown* mAdded = nullptr;
};

class FakeCollection : public HostObject<AAX_ICollection>
{
public:
  AAX_Result NewDescriptor(IACFUnknown** descriptor) override
  {
    if (!mGiveDescriptor)
      return AAX_ERROR_NULL_OBJECT;
    mDescriptor.AddRef();
    *descriptor = mDescriptor.Unknown();
    return AAX_SUCCESS;
  }
  AAX_Result AddEffect(const char*, IACFUnknown*) override { return AAX_SUCCESS; }
  AAX_Result AddPackageName(const char*) override { return AAX_SUCCESS; }
  AAX_Result SetManufacturerName(const char*) override { return AAX_SUCCESS; }
  AAX_Result SetPackageVersion(uint32_t) override { return AAX_SUCCESS; }

  FakeDescriptor mDescriptor;
  bool mGiveDescriptor = true;
};

void NoProcess(void* const*, void* const*) {}

} // namespace

TEST(DescriptionWrappers, EachWrapperOwnsWhatItCreatesAndForwardsTheHostsAnswers)
{
  FakeCollection host;
  {
    AAX_VCollection collection(host.Unknown());
    AAX_VEffectDescriptor* descriptor = collection.NewDescriptor();
    ASSERT_NE(descriptor, nullptr);
    AAX_VComponentDescriptor* component = descriptor->NewComponentDescriptor();
    ASSERT_NE(component, nullptr);
    EXPECT_EQ(component->AddAudioIn(AAX_SIPlugRenderContext::eFieldAudioInputs), AAX_ERROR_NULL_OBJECT);
    EXPECT_EQ(component->AddPrivateData(AAX_SIPlugRenderContext::eFieldPrivateData, 8, 0), AAX_SUCCESS);
    AAX_VPropertyMap* properties = component->NewPropertyMap();
    ASSERT_NE(properties, nullptr);
    properties->AddProperty(AAX_eProperty_CanBypass, 1);
    component->AddProcessProc(&NoProcess, properties);
    descriptor->AddComponent(component);

    void* definition = nullptr;
    EXPECT_EQ(collection.GetUnknown()->QueryInterface(kAAXPluginDefinitionID, &definition), ACF_E_NOINTERFACE);
  }
  FakeComponent& component = host.mDescriptor.mComponent;
  EXPECT_EQ(component.mFields, (std::vector<AAX_CFieldIndex>{0, 23}));
  EXPECT_EQ(component.mProperties.mProperties, (std::vector<std::pair<AAX_CPropertyID, AAX_CPropertyValue>>{{60, 1}}));
  EXPECT_EQ(component.mProcessProc, &NoProcess);
  EXPECT_EQ(component.mProcessProperties, component.mProperties.Unknown());
  EXPECT_EQ(host.mDescriptor.mAdded, component.Unknown());
  for (int refs : {host.mRefs, host.mDescriptor.mRefs, component.mRefs, component.mProperties.mRefs})
    EXPECT_EQ(refs, 1) << "every reference went back with the wrappers";

  host.mGiveDescriptor = false;
  AAX_VCollection refusing(host.Unknown());
  EXPECT_EQ(refusing.NewDescriptor(), nullptr);
}
