// TALVEN's LV2 bundle, loaded by lilv as a Linux host loads it: both plug-ins at the usual
// rates, the latency port, any block size, state through the state extension, the port
// descriptions, and every control port driving the parameter it names. The AAX build of
// the same plug-in source is the reference for parameters and state bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/units/units.h>

#include "AAX_Records.h"
#include "LV2Host.h"
#include "TALVEN.h"

using testsupport::LV2Chunk;
using testsupport::LV2Instance;
using testsupport::LV2World;

namespace {

constexpr const char* kMonoURI = "urn:brasswick:talven:mono";
constexpr const char* kStereoURI = "urn:brasswick:talven:stereo";
constexpr int kEditorBlockBytes = 12; // TALVEN's state: the editor block, then one double per parameter
constexpr int kStateBytes = kEditorBlockBytes + 8 * talven::kParamCount;

LV2World& World()
{
  static LV2World world(TALVEN_LV2_DIR);
  return world;
}

// deterministic noise at about -12 dBFS, one vector per channel
std::vector<std::vector<float>> Noise(int channels, int frames)
{
  std::vector<std::vector<float>> in(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  uint32_t x = 12345;
  for (auto& ch : in)
    for (float& v : ch)
    {
      x = x * 1664525u + 1013904223u;
      v = 0.25f * (static_cast<float>(x >> 8) / 8388608.0f - 1.0f);
    }
  return in;
}

std::vector<double> ParamsFromState(const std::vector<uint8_t>& bytes)
{
  std::vector<double> values(talven::kParamCount);
  if (bytes.size() == static_cast<size_t>(kStateBytes))
    std::memcpy(values.data(), bytes.data() + kEditorBlockBytes, values.size() * sizeof(double));
  return values;
}

std::vector<double> Defaults()
{
  talven::TALVEN reference;
  std::vector<double> values;
  for (int i = 0; i < reference.NParams(); ++i)
    values.push_back(reference.GetParam(i)->RealValue());
  return values;
}

// One row per control port of the plug-in: the parameter it must drive and a value away from the default.
struct PortRow
{
  const char* symbol;
  int paramIdx;
  float value;
};

constexpr PortRow kPortRows[] = {
  {"trim", talven::kParamTrim, 5.5f},
  {"low_gain", talven::kParamLowGain, -4.5f},
  {"low_frequency", talven::kParamLowFreq, 200.0f},
  {"low_mid_gain", talven::kParamLowMidGain, 6.0f},
  {"low_mid_frequency", talven::kParamLowMidFreq, 120.0f},
  {"low_mid_q", talven::kParamLowMidQ, 3.5f},
  {"high_mid_gain", talven::kParamHighMidGain, -2.5f},
  {"high_mid_frequency", talven::kParamHighMidFreq, 4.25f},
  {"high_mid_q", talven::kParamHighMidQ, 1.5f},
  {"high_gain", talven::kParamHighGain, 7.0f},
  {"high_frequency", talven::kParamHighFreq, 12.5f},
  {"mid_gain", talven::kParamMidGain, -8.0f},
  {"mid_frequency", talven::kParamMidFreq, 800.0f},
  {"mid_q", talven::kParamMidQ, 4.5f},
  {"drive", talven::kParamDrive, 6.0f},
  {"all_bypass", talven::kParamAllIn, 0.0f},
  {"lf_hf_bypass", talven::kParamShelvesIn, 0.0f},
  {"low_mid_bypass", talven::kParamLowMidIn, 0.0f},
  {"mid_bypass", talven::kParamMidIn, 0.0f},
  {"high_mid_bypass", talven::kParamHighMidIn, 0.0f},
  {"oversampling", talven::kParamOversampling, 1.0f},
};

std::vector<uint8_t> AAXChunkData(talven::TALVEN& plug)
{
  uint32_t size = 0;
  EXPECT_EQ(plug.GetChunkSize(plug.GetUniqueID(), &size), AAX_SUCCESS);
  std::vector<uint8_t> record(AAX_SHostChunk::AllocationSize(size));
  auto* chunk = reinterpret_cast<AAX_SHostChunk*>(record.data());
  chunk->mSize = static_cast<int32_t>(size);
  EXPECT_EQ(plug.GetChunk(plug.GetUniqueID(), chunk), AAX_SUCCESS);
  return {chunk->Data(), chunk->Data() + chunk->mSize};
}

bool AllFinite(const std::vector<std::vector<float>>& out)
{
  for (const auto& ch : out)
    for (float v : ch)
      if (!std::isfinite(v))
        return false;
  return true;
}

} // namespace

TEST(LV2Talven, BothPluginsRunAtEveryRateReportTheirLatencyAndStayFiniteAtAnyBlockSize)
{
  struct LatencyCase
  {
    const char* symbol;
    float value;
    int latency;
  };
  // each step keeps the ones before it
  const LatencyCase latencies[] = {{"oversampling", 0.0f, 16}, {"oversampling", 1.0f, 80}, {"all_bypass", 0.0f, 0}};
  for (const char* uri : {kMonoURI, kStereoURI})
  {
    for (double rate : {22050.0, 44100.0, 48000.0, 96000.0})
    {
      const std::string where = std::string(uri) + " at " + std::to_string(static_cast<int>(rate));
      LV2Instance inst(World(), uri, rate);
      ASSERT_TRUE(inst.Ok()) << where;
      for (const LatencyCase& c : latencies)
      {
        inst.Set(c.symbol, c.value);
        inst.Process(Noise(inst.NumInputs(), 64), 64);
        EXPECT_EQ(inst.Get("latency"), c.latency) << where << " " << c.symbol << " " << c.value;
      }
      inst.Set("all_bypass", 1.0f);
      inst.Set("drive", 18.0f);
      inst.Set("low_gain", 12.0f);
      for (int block : {1, 64, 4096, 10000}) // 10000 is beyond the host's 4096 and runs in pieces
      {
        const auto out = inst.Process(Noise(inst.NumInputs(), std::max(2 * block, 512)), block);
        EXPECT_TRUE(AllFinite(out)) << where << " block " << block;
        EXPECT_NE(out[0].back(), 0.0f) << where << " block " << block;
      }
    }
  }
}

TEST(LV2Talven, StateThroughTheExtensionRestoresEveryParameterAndEqualsTheAAXChunk)
{
  LV2Instance inst(World(), kStereoURI, 48000.0);
  ASSERT_TRUE(inst.Ok());
  talven::TALVEN aax;
  std::vector<double> expected = Defaults();
  for (const PortRow& row : kPortRows)
  {
    inst.Set(row.symbol, row.value);
    aax.SetParamFromHost(row.paramIdx, row.value, false);
    expected[static_cast<size_t>(row.paramIdx)] = aax.GetParam(row.paramIdx)->RealValue();
  }
  inst.Process(Noise(2, 64), 64);

  const LV2Chunk saved = inst.SaveStateChunk();
  ASSERT_EQ(saved.bytes.size(), static_cast<size_t>(kStateBytes));
  EXPECT_EQ(ParamsFromState(saved.bytes), expected);
  EXPECT_EQ(saved.bytes, AAXChunkData(aax));

  LV2Instance fresh(World(), kStereoURI, 48000.0);
  ASSERT_EQ(fresh.RestoreStateChunk(saved), LV2_STATE_SUCCESS);
  fresh.Process(Noise(2, 64), 64);
  EXPECT_EQ(fresh.SaveStateChunk().bytes, saved.bytes) << "the defaults on its ports do not undo the state";
  EXPECT_EQ(fresh.Get("latency"), inst.Get("latency"));

  // lilv's own round trip: port values and the state together, as hosts save sessions
  LilvState* state = inst.SaveLilvState();
  ASSERT_NE(state, nullptr);
  LV2Instance restored(World(), kStereoURI, 44100.0);
  restored.RestoreLilvState(state);
  lilv_state_free(state);
  restored.Process(Noise(2, 64), 64);
  EXPECT_EQ(restored.SaveStateChunk().bytes, saved.bytes);
}

TEST(LV2Talven, WithoutFeaturesItStillRunsButHasNoState)
{
  LV2Instance inst(World(), kStereoURI, 48000.0, false);
  ASSERT_TRUE(inst.Ok());
  const auto out = inst.Process(Noise(2, 3000), 3000); // longer than the default prepared block
  EXPECT_TRUE(AllFinite(out));
  EXPECT_EQ(inst.Get("latency"), 16.0f);
  EXPECT_TRUE(inst.SaveStateChunk().bytes.empty());
}

class LV2TalvenPort : public ::testing::TestWithParam<PortRow>
{
};

TEST_P(LV2TalvenPort, DrivesTheParameterItNamesAndNoOther)
{
  const PortRow& row = GetParam();
  LV2Instance inst(World(), kStereoURI, 48000.0);
  ASSERT_TRUE(inst.Ok());
  std::vector<double> expected = Defaults();
  ASSERT_NE(expected[static_cast<size_t>(row.paramIdx)], row.value) << "the row must move its parameter";
  talven::TALVEN reference;
  expected[static_cast<size_t>(row.paramIdx)] = reference.GetParam(row.paramIdx)->Limit(row.value);

  inst.Set(row.symbol, row.value);
  inst.Process(Noise(2, 16), 16);
  EXPECT_EQ(ParamsFromState(inst.SaveStateChunk().bytes), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryControlPort, LV2TalvenPort, ::testing::ValuesIn(kPortRows),
                         [](const ::testing::TestParamInfo<PortRow>& info) { return std::string(info.param.symbol); });

TEST(LV2Talven, PortTableCoversEveryControlPortInIndexOrder)
{
  LV2Instance inst(World(), kStereoURI, 48000.0);
  ASSERT_TRUE(inst.Ok());
  std::vector<std::string> rows;
  for (const PortRow& row : kPortRows)
    rows.emplace_back(row.symbol);
  rows.emplace_back("enabled");
  EXPECT_EQ(inst.InputControlSymbols(), rows);
}

TEST(LV2Talven, PortDescriptionsComeFromTheParameterList)
{
  LV2World& world = World();
  const LilvPlugin* plugin = world.Plugin(kStereoURI);
  ASSERT_NE(plugin, nullptr);
  const LilvNode* unitProperty = world.Uri(LV2_UNITS__unit);
  const LilvNode* integer = world.Uri(LV2_CORE__integer);
  const LilvNode* toggled = world.Uri(LV2_CORE__toggled);
  const LilvNode* enumeration = world.Uri(LV2_CORE__enumeration);
  struct Unit
  {
    const char* label;
    const char* uri;
  };
  const Unit units[] = {{"dB", LV2_UNITS__db}, {"Hz", LV2_UNITS__hz}, {"kHz", LV2_UNITS__khz}};

  talven::TALVEN reference;
  constexpr uint32_t kFirstControl = 4; // after two audio inputs and two outputs
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), kFirstControl + std::size(kPortRows) + 2);
  for (size_t i = 0; i < std::size(kPortRows); ++i)
  {
    const iplug::IParam& param = *reference.GetParam(kPortRows[i].paramIdx);
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, kFirstControl + static_cast<uint32_t>(i));
    LilvNode* name = lilv_port_get_name(plugin, port);
    EXPECT_STREQ(lilv_node_as_string(name), param.Name());
    lilv_node_free(name);

    LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
    lilv_port_get_range(plugin, port, &def, &min, &max);
    EXPECT_DOUBLE_EQ(lilv_node_as_float(def), static_cast<float>(param.GetDefault())) << param.Name();
    EXPECT_DOUBLE_EQ(lilv_node_as_float(min), static_cast<float>(param.GetMin())) << param.Name();
    EXPECT_DOUBLE_EQ(lilv_node_as_float(max), static_cast<float>(param.GetMax())) << param.Name();
    for (LilvNode* n : {def, min, max})
      lilv_node_free(n);

    for (const Unit& u : units)
    {
      if (std::strcmp(param.Label(), u.label) != 0)
        continue;
      LilvNodes* found = lilv_port_get_value(plugin, port, unitProperty);
      ASSERT_EQ(lilv_nodes_size(found), 1u) << param.Name();
      EXPECT_STREQ(lilv_node_as_uri(lilv_nodes_get_first(found)), u.uri) << param.Name();
      lilv_nodes_free(found);
    }

    const bool isSwitch = param.GetKind() == iplug::eKindInt;
    EXPECT_EQ(lilv_port_has_property(plugin, port, integer), isSwitch) << param.Name();
    EXPECT_EQ(lilv_port_has_property(plugin, port, toggled), isSwitch) << param.Name();
    EXPECT_EQ(lilv_port_has_property(plugin, port, enumeration), param.DisplayTextCount() > 0) << param.Name();

    LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
    EXPECT_EQ(points ? static_cast<int>(lilv_scale_points_size(points)) : 0, param.DisplayTextCount()) << param.Name();
    LILV_FOREACH(scale_points, it, points)
    {
      const LilvScalePoint* p = lilv_scale_points_get(points, it);
      EXPECT_STREQ(param.DisplayTextFor(lilv_node_as_float(lilv_scale_point_get_value(p))),
                   lilv_node_as_string(lilv_scale_point_get_label(p)));
    }
    lilv_scale_points_free(points);
  }

  const LilvPort* latency = lilv_plugin_get_port_by_designation(plugin, world.Uri(LV2_CORE__OutputPort),
                                                                world.Uri(LV2_CORE__latency));
  ASSERT_NE(latency, nullptr);
  EXPECT_TRUE(lilv_port_has_property(plugin, latency, world.Uri(LV2_CORE__reportsLatency)));
  EXPECT_EQ(lilv_plugin_get_latency_port_index(plugin), lilv_port_get_index(plugin, latency));
  EXPECT_NE(lilv_plugin_get_port_by_designation(plugin, world.Uri(LV2_CORE__InputPort), world.Uri(LV2_CORE__enabled)),
            nullptr);
}
