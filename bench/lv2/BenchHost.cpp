#include "BenchHost.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/parameters/parameters.h>

namespace lv2bench {

namespace {

constexpr size_t kAtomBufferBytes = 16384;

} // namespace

BenchWorld::BenchWorld(double sampleRate, int32_t maxBlock)
  : mWorld(lilv_world_new()), mSampleRate(sampleRate), mMaxBlock(maxBlock), mNominalBlock(maxBlock),
    mSampleRateFloat(static_cast<float>(sampleRate))
{
  lilv_world_load_all(mWorld); // LV2_PATH, as every lilv host
  mMap = {this, MapUri};
  mUnmap = {this, UnmapUrid};

  const LV2_URID intType = Map(LV2_ATOM__Int);
  mOptions = {
    {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), intType, &mMinBlock},
    {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &mMaxBlock},
    {LV2_OPTIONS_INSTANCE, 0, Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType, &mNominalBlock},
    {LV2_OPTIONS_INSTANCE, 0, Map(LV2_PARAMETERS__sampleRate), sizeof(float), Map(LV2_ATOM__Float), &mSampleRateFloat},
    {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr},
  };
  mFeatures = {
    {LV2_URID__map, &mMap},
    {LV2_URID__unmap, &mUnmap},
    {LV2_OPTIONS__options, mOptions.data()},
    {LV2_BUF_SIZE__boundedBlockLength, nullptr},
  };
  for (const LV2_Feature& f : mFeatures)
    mFeatureList.push_back(&f);
  mFeatureList.push_back(nullptr);
}

BenchWorld::~BenchWorld() { lilv_world_free(mWorld); }

const LilvPlugin* BenchWorld::Plugin(const std::string& uri) const
{
  LilvNode* node = lilv_new_uri(mWorld, uri.c_str());
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return plugin;
}

LV2_URID BenchWorld::Map(const char* uri)
{
  for (size_t i = 0; i < mUris.size(); ++i)
    if (mUris[i] == uri)
      return static_cast<LV2_URID>(i + 1);
  mUris.emplace_back(uri);
  return static_cast<LV2_URID>(mUris.size());
}

LV2_URID BenchWorld::MapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<BenchWorld*>(handle)->Map(uri); }

const char* BenchWorld::UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid)
{
  const auto& uris = static_cast<BenchWorld*>(handle)->mUris;
  return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
}

BenchInstance::BenchInstance(BenchWorld& world, const std::string& uri, std::string& error)
  : mWorld(world), mPlugin(world.Plugin(uri)), mAtomChunk(world.Map(LV2_ATOM__Chunk))
{
  if (!mPlugin)
  {
    error = "no plug-in " + uri + " on LV2_PATH";
    return;
  }
  mInstance = lilv_plugin_instantiate(mPlugin, world.SampleRate(), world.Features());
  if (!mInstance)
  {
    error = uri + " did not instantiate";
    return;
  }

  LilvWorld* w = world.World();
  LilvNode* audio = lilv_new_uri(w, LILV_URI_AUDIO_PORT);
  LilvNode* control = lilv_new_uri(w, LILV_URI_CONTROL_PORT);
  LilvNode* input = lilv_new_uri(w, LILV_URI_INPUT_PORT);
  LilvNode* atom = lilv_new_uri(w, LV2_ATOM__AtomPort);
  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  mControls.assign(nPorts, 0.0f);
  std::vector<float> defaults(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());

  const LV2_URID sequenceType = world.Map(LV2_ATOM__Sequence);
  for (uint32_t i = 0; i < nPorts; ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    const bool isInput = lilv_port_is_a(mPlugin, port, input);
    if (lilv_port_is_a(mPlugin, port, audio))
    {
      (isInput ? mAudioIns : mAudioOuts).push_back(i);
    }
    else if (lilv_port_is_a(mPlugin, port, control))
    {
      mControls[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
      lilv_instance_connect_port(mInstance, i, &mControls[i]);
    }
    else
    {
      // CV, atom or anything else: zeroed storage large enough for a block or a sequence
      const size_t bytes = std::max(kAtomBufferBytes, sizeof(float) * static_cast<size_t>(world.MaxBlock()));
      mBuffers.emplace_back(bytes / sizeof(uint64_t), 0);
      void* data = mBuffers.back().data();
      if (lilv_port_is_a(mPlugin, port, atom))
      {
        auto* seq = static_cast<LV2_Atom_Sequence*>(data);
        seq->atom.type = sequenceType;
        seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
        if (!isInput)
          mAtomOutputs.push_back(static_cast<uint32_t>(mBuffers.size() - 1));
      }
      lilv_instance_connect_port(mInstance, i, data);
    }
  }
  lilv_node_free(audio);
  lilv_node_free(control);
  lilv_node_free(input);
  lilv_node_free(atom);
  lilv_instance_activate(mInstance);
}

BenchInstance::~BenchInstance()
{
  if (!mInstance)
    return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

bool BenchInstance::Set(const std::string& symbol, float value)
{
  LilvNode* node = lilv_new_string(mWorld.World(), symbol.c_str());
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  LilvNode* input = lilv_new_uri(mWorld.World(), LILV_URI_INPUT_PORT);
  LilvNode* control = lilv_new_uri(mWorld.World(), LILV_URI_CONTROL_PORT);
  const bool ok = port && lilv_port_is_a(mPlugin, port, input) && lilv_port_is_a(mPlugin, port, control);
  lilv_node_free(input);
  lilv_node_free(control);
  if (ok)
    mControls[lilv_port_get_index(mPlugin, port)] = value;
  return ok;
}

void BenchInstance::ConnectAudio(float* const* inputs, float* const* outputs)
{
  for (size_t c = 0; c < mAudioIns.size(); ++c)
    lilv_instance_connect_port(mInstance, mAudioIns[c], inputs[c]);
  for (size_t c = 0; c < mAudioOuts.size(); ++c)
    lilv_instance_connect_port(mInstance, mAudioOuts[c], outputs[c]);
}

void BenchInstance::Run(uint32_t nFrames)
{
  // an output sequence tells the plug-in its capacity before each run
  for (uint32_t b : mAtomOutputs)
  {
    auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(mBuffers[b].data());
    seq->atom.type = mAtomChunk;
    seq->atom.size = static_cast<uint32_t>(mBuffers[b].size() * sizeof(uint64_t) - sizeof(LV2_Atom));
  }
  lilv_instance_run(mInstance, nFrames);
}

} // namespace lv2bench
