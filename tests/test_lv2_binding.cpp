// The LV2 binding in-process: descriptors, ports, control values, block splitting, bypass,
// latency and the state extension, on the test plug-in through the C entry points.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <vector>

#include "AllocationCounter.h"
#include "IPlugLV2.h"
#include "LV2Features.h"
#include "LV2TestPlug.h"

using iplug::ELV2PortKind;
using testsupport::LV2HostFeatures;
using testsupport::LV2TestPlug;

namespace {

constexpr uint32_t kMono = 0;
constexpr uint32_t kStereo = 1;

double DbToGain(double dB) { return std::pow(10.0, dB / 20.0); }

// One instance made through the descriptor, its ports connected to buffers held here.
class Instance
{
public:
  Instance(uint32_t descriptorIdx, const LV2_Feature* const* features, double rate = 48000.0)
    : mDescriptor(iplug::LV2DescriptorAt(descriptorIdx))
  {
    mHandle = mDescriptor->instantiate(mDescriptor, rate, "/nowhere/", features);
    mPlug = dynamic_cast<LV2TestPlug*>(static_cast<iplug::IPlugLV2Adapter*>(mHandle));
    const auto& ports = mPlug->GetLV2Ports();
    mValues.resize(ports.size());
    for (uint32_t i = 0; i < ports.size(); ++i)
    {
      const iplug::LV2Port& p = ports[i];
      if (p.kind == ELV2PortKind::eControl)
        mValues[i] = static_cast<float>(mPlug->GetParam(p.paramIdx)->GetDefault());
      if (p.kind == ELV2PortKind::eEnabled)
        mValues[i] = 1.0f;
      const bool audio = p.kind == ELV2PortKind::eAudioIn || p.kind == ELV2PortKind::eAudioOut;
      if (!audio)
        mDescriptor->connect_port(mHandle, i, &mValues[i]);
    }
    mDescriptor->activate(mHandle);
  }
  ~Instance()
  {
    mDescriptor->deactivate(mHandle);
    mDescriptor->cleanup(mHandle);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  uint32_t Port(const char* symbol) const
  {
    const auto& ports = mPlug->GetLV2Ports();
    for (uint32_t i = 0; i < ports.size(); ++i)
      if (ports[i].symbol == symbol)
        return i;
    ADD_FAILURE() << "no port " << symbol;
    return 0;
  }
  float& Control(const char* symbol) { return mValues[Port(symbol)]; }

  // processes in, one vector per input channel, and returns the outputs
  std::vector<std::vector<float>> Run(std::vector<std::vector<float>> in)
  {
    const int nOut = mPlug->GetLV2Variant().nOutputs;
    const size_t n = in[0].size();
    std::vector<std::vector<float>> out(static_cast<size_t>(nOut), std::vector<float>(n, -99.0f));
    ConnectAudio(in, out);
    mDescriptor->run(mHandle, static_cast<uint32_t>(n));
    return out;
  }

  void ConnectAudio(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out)
  {
    const auto& ports = mPlug->GetLV2Ports();
    for (uint32_t i = 0; i < ports.size(); ++i)
    {
      if (ports[i].kind == ELV2PortKind::eAudioIn)
        mDescriptor->connect_port(mHandle, i, in[static_cast<size_t>(ports[i].channel)].data());
      if (ports[i].kind == ELV2PortKind::eAudioOut)
        mDescriptor->connect_port(mHandle, i, out[static_cast<size_t>(ports[i].channel)].data());
    }
  }

  const LV2_State_Interface* State() const
  {
    return static_cast<const LV2_State_Interface*>(mDescriptor->extension_data(LV2_STATE__interface));
  }

  const LV2_Descriptor* mDescriptor;
  LV2_Handle mHandle = nullptr;
  LV2TestPlug* mPlug = nullptr;
  std::vector<float> mValues;
};

std::vector<std::vector<float>> Ramp(int channels, int frames)
{
  std::vector<std::vector<float>> in(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  for (int c = 0; c < channels; ++c)
    for (int i = 0; i < frames; ++i)
      in[static_cast<size_t>(c)][static_cast<size_t>(i)] = static_cast<float>((i % 97) - 48) / 64.0f * (c ? -1.0f : 1.0f);
  return in;
}

// What a host keeps of a save: property key -> value, type and flags.
struct StoredProperty
{
  std::vector<uint8_t> bytes;
  uint32_t type = 0;
  uint32_t flags = 0;
  size_t claimedSize = 0; // what retrieve reports; the byte count unless a test overrides it
};
using StateStore = std::map<uint32_t, StoredProperty>;

LV2_State_Status Store(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t flags)
{
  const auto* bytes = static_cast<const uint8_t*>(value);
  (*static_cast<StateStore*>(h))[key] = {std::vector<uint8_t>(bytes, bytes + size), type, flags, size};
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
  auto& store = *static_cast<StateStore*>(h);
  const auto it = store.find(key);
  if (it == store.end())
    return nullptr;
  *size = it->second.claimedSize;
  *type = it->second.type;
  *flags = it->second.flags;
  return it->second.bytes.data();
}

std::vector<uint8_t> PlugStateBytes(const iplug::IPlugLV2& plug)
{
  iplug::IDataChunk chunk;
  EXPECT_TRUE(plug.SaveState(chunk));
  return {chunk.Data(), chunk.Data() + chunk.Size()};
}

std::vector<uint8_t> ParamBlock(std::initializer_list<double> values)
{
  std::vector<uint8_t> bytes(values.size() * sizeof(double));
  std::memcpy(bytes.data(), std::data(values), bytes.size());
  return bytes;
}

} // namespace

TEST(LV2Descriptors, OnePluginPerChannelConfigurationUnderTheMakersNamespace)
{
  ASSERT_NE(iplug::LV2DescriptorAt(kMono), nullptr);
  ASSERT_NE(iplug::LV2DescriptorAt(kStereo), nullptr);
  EXPECT_STREQ(iplug::LV2DescriptorAt(kMono)->URI, "urn:brasswick-tests:lv2-test-plug:mono");
  EXPECT_STREQ(iplug::LV2DescriptorAt(kStereo)->URI, "urn:brasswick-tests:lv2-test-plug:stereo");
  EXPECT_EQ(iplug::LV2DescriptorAt(2), nullptr);

  const LV2_Descriptor* d = iplug::LV2DescriptorAt(kStereo);
  EXPECT_NE(d->extension_data(LV2_STATE__interface), nullptr);
  EXPECT_EQ(d->extension_data("http://lv2plug.in/ns/ext/worker#interface"), nullptr);
}

TEST(LV2Ports, AudioThenOneControlPerDefinedParameterThenLatencyAndEnabled)
{
  LV2HostFeatures features;
  Instance stereo(kStereo, features.List());
  struct Expected
  {
    ELV2PortKind kind;
    const char* symbol;
    int paramIdx;
  };
  const Expected expected[] = {
    {ELV2PortKind::eAudioIn, "in_l", -1},   {ELV2PortKind::eAudioIn, "in_r", -1},
    {ELV2PortKind::eAudioOut, "out_l", -1}, {ELV2PortKind::eAudioOut, "out_r", -1},
    {ELV2PortKind::eControl, "gain", LV2TestPlug::kGain},
    {ELV2PortKind::eControl, "polarity", LV2TestPlug::kPolarity},
    {ELV2PortKind::eLatency, "latency", -1}, {ELV2PortKind::eEnabled, "enabled", -1},
  };
  const auto& ports = stereo.mPlug->GetLV2Ports();
  ASSERT_EQ(ports.size(), std::size(expected));
  for (size_t i = 0; i < ports.size(); ++i)
  {
    EXPECT_EQ(ports[i].kind, expected[i].kind) << i;
    EXPECT_EQ(ports[i].symbol, expected[i].symbol) << i;
    EXPECT_EQ(ports[i].paramIdx, expected[i].paramIdx) << i;
  }

  Instance mono(kMono, features.List());
  EXPECT_EQ(mono.mPlug->GetLV2Ports()[0].symbol, "in");
  EXPECT_EQ(mono.mPlug->GetLV2Ports()[1].symbol, "out");
}

TEST(LV2Ports, SymbolsComeFromNamesAndAreValidLV2Symbols)
{
  const std::pair<const char*, const char*> cases[] = {
    {"LF/HF Bypass", "lf_hf_bypass"}, {"Low Mid Q", "low_mid_q"}, {"  Trim ", "trim"},
    {"3 Band", "_3_band"},            {"!!", ""},                 {nullptr, ""},
  };
  for (const auto& [name, symbol] : cases)
    EXPECT_EQ(iplug::LV2Symbol(name), symbol) << (name ? name : "null");
}

TEST(LV2Run, ChangedControlValuesArriveAsLimitedHostChangesAndOthersAreIgnored)
{
  LV2HostFeatures features;
  Instance inst(kStereo, features.List());
  LV2TestPlug& plug = *inst.mPlug;
  const iplug::IParam& gain = *plug.GetParam(LV2TestPlug::kGain);

  inst.Control("polarity") = 1.0f;
  inst.Run(Ramp(2, 8));
  EXPECT_EQ(plug.mHostChanges[LV2TestPlug::kGain], 0) << "a port at the parameter's value is no change";
  EXPECT_EQ(plug.mHostChanges[LV2TestPlug::kPolarity], 1);

  inst.Control("gain") = 6.0f;
  inst.Run(Ramp(2, 8));
  inst.Run(Ramp(2, 8));
  EXPECT_EQ(plug.mHostChanges[LV2TestPlug::kGain], 1) << "a port is read again only when it moves";
  EXPECT_DOUBLE_EQ(gain.RealValue(), 6.0);

  inst.Control("gain") = 100.0f;
  inst.Run(Ramp(2, 8));
  EXPECT_DOUBLE_EQ(gain.RealValue(), 24.0) << "limited to the range";

  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()})
  {
    inst.Control("gain") = bad;
    inst.Run(Ramp(2, 8));
    EXPECT_DOUBLE_EQ(gain.RealValue(), 24.0);
  }
  EXPECT_EQ(plug.mHostChanges[LV2TestPlug::kGain], 2);
  EXPECT_EQ(plug.mHostChanges[LV2TestPlug::kPolarity], 1);
}

TEST(LV2Run, APortHoldingTheRoundedValueLeavesTheParameterAtFullPrecision)
{
  Instance inst(kStereo, nullptr);
  iplug::IParam& gain = *inst.mPlug->GetParam(LV2TestPlug::kGain);
  gain.SetRealValue(0.1); // no float holds 0.1 exactly
  inst.Control("gain") = 0.1f;
  inst.Run(Ramp(2, 8));
  EXPECT_EQ(gain.RealValue(), 0.1);
  EXPECT_EQ(inst.mPlug->mHostChanges[LV2TestPlug::kGain], 0);
}

TEST(LV2Run, BlocksLongerThanThePreparedSizeRunInPiecesWithoutAllocating)
{
  struct Case
  {
    bool withMap;
    int32_t maxBlock, nominalBlock;
    int expectedPiece;
  };
  const Case cases[] = {
    {false, 0, 0, iplug::IPlugLV2::kDefaultBlockSize}, // no features at all
    {true, 4096, 0, 4096},
    {true, 0, 1000, 1000},                              // only a nominal length
    {true, 100000, 0, iplug::IPlugLV2::kMaxBlockSize},  // an absurd maximum is capped
  };
  for (const Case& c : cases)
  {
    LV2HostFeatures features(c.withMap, c.maxBlock, c.nominalBlock);
    Instance inst(kStereo, features.List());
    inst.Control("gain") = -6.0f;
    std::vector<std::vector<float>> in = Ramp(2, 10000);
    std::vector<std::vector<float>> out(2, std::vector<float>(10000));
    inst.ConnectAudio(in, out);
    {
      testsupport::AllocationScope scope;
      inst.mDescriptor->run(inst.mHandle, 10000);
      EXPECT_EQ(scope.Count(), 0u) << c.expectedPiece;
    }
    EXPECT_EQ(inst.mPlug->GetBlockSize(), c.expectedPiece);
    EXPECT_EQ(inst.mPlug->mLongestBlock, c.expectedPiece);
    const double g = DbToGain(-6.0);
    for (int ch = 0; ch < 2; ++ch)
      for (size_t i = 0; i < 10000; i += 37)
        ASSERT_FLOAT_EQ(out[ch][i], static_cast<float>(in[ch][i] * g)) << c.expectedPiece << " frame " << i;
  }
}

TEST(LV2Run, MonoPluginConnectsOneChannelEachWay)
{
  Instance inst(kMono, nullptr);
  inst.Control("gain") = 6.0f;
  const auto in = Ramp(1, 64);
  const auto out = inst.Run(in);
  ASSERT_EQ(out.size(), 1u);
  for (size_t i = 0; i < 64; ++i)
    EXPECT_FLOAT_EQ(out[0][i], static_cast<float>(in[0][i] * DbToGain(6.0)));
  EXPECT_EQ(inst.mPlug->ConnectedChannelCount(iplug::eRouteInput), 1);
  EXPECT_EQ(inst.mPlug->ConnectedChannelCount(iplug::eRouteOutput), 1);
}

TEST(LV2Run, LatencyPortCarriesTheReportedLatencyAndEnabledZeroRunsTheDelayedBypass)
{
  Instance inst(kStereo, nullptr);
  inst.Control("gain") = 6.0f;
  inst.Run(Ramp(2, 16));
  EXPECT_EQ(inst.Control("latency"), LV2TestPlug::kLatency);

  inst.Control("enabled") = 0.0f;
  const auto in = Ramp(2, 64);
  const auto out = inst.Run(in);
  for (int c = 0; c < 2; ++c)
  {
    for (int i = 0; i < LV2TestPlug::kLatency; ++i)
      EXPECT_EQ(out[c][i], 0.0f);
    for (size_t i = LV2TestPlug::kLatency; i < 64; ++i)
      ASSERT_EQ(out[c][i], in[c][i - LV2TestPlug::kLatency]) << "frame " << i;
  }
  EXPECT_EQ(inst.Control("latency"), LV2TestPlug::kLatency);

  inst.Control("enabled") = 1.0f;
  const auto processed = inst.Run(in);
  EXPECT_FLOAT_EQ(processed[0][10], static_cast<float>(in[0][10] * DbToGain(6.0)));
}

TEST(LV2Instance, TakesTheHostsRateAndResetsOnActivation)
{
  Instance inst(kStereo, nullptr, 96000.0);
  EXPECT_EQ(inst.mPlug->GetSampleRate(), 96000.0);
  const int resets = inst.mPlug->mResets;
  EXPECT_GE(resets, 2) << "instantiation and activation";
  inst.mDescriptor->deactivate(inst.mHandle);
  inst.mDescriptor->activate(inst.mHandle);
  EXPECT_EQ(inst.mPlug->mResets, resets + 1);
  EXPECT_EQ(inst.mPlug->GetHost(), iplug::eHostUnknown);
  EXPECT_STREQ(inst.mPlug->GetApiName(), "LV2");

  Instance noRate(kStereo, nullptr, 0.0);
  EXPECT_EQ(noRate.mPlug->GetSampleRate(), 48000.0);
}

TEST(LV2State, SavesExactlyThePluginsStateBytesAsOneChunkProperty)
{
  LV2HostFeatures features;
  Instance inst(kStereo, features.List());
  inst.Control("gain") = -7.5f;
  inst.Control("polarity") = 1.0f;
  inst.Run(Ramp(2, 4));

  StateStore store;
  ASSERT_EQ(inst.State()->save(inst.mHandle, Store, &store, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr),
            LV2_STATE_SUCCESS);
  ASSERT_EQ(store.size(), 1u);
  const auto& [key, property] = *store.begin();
  EXPECT_EQ(key, features.Map().Map("urn:brasswick-tests:lv2-test-plug:state"));
  EXPECT_EQ(property.type, features.Map().Map(LV2_ATOM__Chunk));
  EXPECT_EQ(property.flags, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  EXPECT_EQ(property.bytes, PlugStateBytes(*inst.mPlug));

  Instance fresh(kStereo, features.List());
  ASSERT_EQ(fresh.State()->restore(fresh.mHandle, Retrieve, &store, 0, nullptr), LV2_STATE_SUCCESS);
  EXPECT_EQ(PlugStateBytes(*fresh.mPlug), property.bytes);
  EXPECT_DOUBLE_EQ(fresh.mPlug->GetParam(LV2TestPlug::kGain)->RealValue(), -7.5);

  // the fresh instance's ports still hold the defaults: they must not undo the state
  fresh.Run(Ramp(2, 4));
  EXPECT_DOUBLE_EQ(fresh.mPlug->GetParam(LV2TestPlug::kGain)->RealValue(), -7.5);
  fresh.Control("gain") = 3.0f;
  fresh.Run(Ramp(2, 4));
  EXPECT_DOUBLE_EQ(fresh.mPlug->GetParam(LV2TestPlug::kGain)->RealValue(), 3.0) << "a later port change counts";
}

TEST(LV2State, WithoutAURIDMapTheStateInterfaceReportsAMissingFeature)
{
  Instance inst(kStereo, nullptr);
  StateStore store;
  EXPECT_EQ(inst.State()->save(inst.mHandle, Store, &store, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(inst.State()->restore(inst.mHandle, Retrieve, &store, 0, nullptr), LV2_STATE_ERR_NO_FEATURE);
}

TEST(LV2State, BadPropertiesChangeNothingAndShortOnesOnlyWhatTheyHold)
{
  LV2HostFeatures features;
  const uint32_t key = features.Map().Map("urn:brasswick-tests:lv2-test-plug:state");
  const uint32_t chunkType = features.Map().Map(LV2_ATOM__Chunk);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<uint8_t> full = ParamBlock({5.0, 0.0, 1.0});
  const std::vector<uint8_t> truncated(full.begin(), full.begin() + 12);

  struct Case
  {
    const char* what;
    StoredProperty property;
    LV2_State_Status status;
    double gain, polarity; // afterwards
  };
  const Case cases[] = {
    {"absent", {}, LV2_STATE_ERR_NO_PROPERTY, 0.0, 0.0},
    {"not a chunk", {full, features.Map().Map(LV2_ATOM__Int), 0, full.size()}, LV2_STATE_ERR_BAD_TYPE, 0.0, 0.0},
    {"oversized", {full, chunkType, 0, size_t(iplug::IPlugLV2::kMaxStateBytes) + 1}, LV2_STATE_ERR_NO_SPACE, 0.0, 0.0},
    {"truncated", {truncated, chunkType, 0, truncated.size()}, LV2_STATE_ERR_UNKNOWN, 5.0, 0.0},
    {"NaN values", {ParamBlock({nan, nan, 1.0}), chunkType, 0, 24}, LV2_STATE_SUCCESS, 0.0, 1.0},
    {"out of range", {ParamBlock({1e9, 0.0, -3.0}), chunkType, 0, 24}, LV2_STATE_SUCCESS, 24.0, 0.0},
    {"whole", {full, chunkType, 0, full.size()}, LV2_STATE_SUCCESS, 5.0, 1.0},
  };
  for (const Case& c : cases)
  {
    Instance inst(kStereo, features.List());
    StateStore store;
    if (!c.property.bytes.empty())
      store[key] = c.property;
    EXPECT_EQ(inst.State()->restore(inst.mHandle, Retrieve, &store, 0, nullptr), c.status) << c.what;
    EXPECT_DOUBLE_EQ(inst.mPlug->GetParam(LV2TestPlug::kGain)->RealValue(), c.gain) << c.what;
    EXPECT_DOUBLE_EQ(inst.mPlug->GetParam(LV2TestPlug::kPolarity)->RealValue(), c.polarity) << c.what;
  }
}
