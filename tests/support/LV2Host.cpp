#include "LV2Host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include <lv2/state/state.h>

namespace testsupport {

LV2World::LV2World(const std::string& dir) : mWorld(lilv_world_new())
{
  LilvNode* path = lilv_new_string(mWorld, dir.c_str());
  lilv_world_set_option(mWorld, LILV_OPTION_LV2_PATH, path);
  lilv_node_free(path);
  lilv_world_load_all(mWorld);
}

LV2World::~LV2World()
{
  for (LilvNode* n : mNodes)
    lilv_node_free(n);
  lilv_world_free(mWorld);
}

const LilvPlugin* LV2World::Plugin(const std::string& uri) const
{
  LilvNode* node = lilv_new_uri(mWorld, uri.c_str());
  const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(mWorld), node);
  lilv_node_free(node);
  return plugin;
}

const LilvNode* LV2World::Uri(const char* uri)
{
  mNodes.push_back(lilv_new_uri(mWorld, uri));
  return mNodes.back();
}

LV2Instance::LV2Instance(LV2World& world, const std::string& uri, double sampleRate, bool withFeatures, int maxBlock)
  : mWorld(world), mPlugin(world.Plugin(uri))
{
  if (!mPlugin)
    return;
  if (withFeatures)
    mFeatures = std::make_unique<LV2HostFeatures>(true, maxBlock, 0, &world.Map());
  mInstance = lilv_plugin_instantiate(mPlugin, sampleRate, mFeatures ? mFeatures->List() : nullptr);
  if (!mInstance)
    return;

  const uint32_t nPorts = lilv_plugin_get_num_ports(mPlugin);
  mControls.assign(nPorts, 0.0f);
  mBuffers.resize(nPorts);
  std::vector<float> defaults(nPorts, 0.0f);
  lilv_plugin_get_port_ranges_float(mPlugin, nullptr, nullptr, defaults.data());
  const LilvNode* audio = world.Uri(LILV_URI_AUDIO_PORT);
  const LilvNode* input = world.Uri(LILV_URI_INPUT_PORT);
  for (uint32_t i = 0; i < nPorts; ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    if (lilv_port_is_a(mPlugin, port, audio))
    {
      (lilv_port_is_a(mPlugin, port, input) ? mAudioIns : mAudioOuts).push_back(i);
      continue;
    }
    mControls[i] = std::isnan(defaults[i]) ? 0.0f : defaults[i];
    lilv_instance_connect_port(mInstance, i, &mControls[i]);
  }
  lilv_instance_activate(mInstance);
}

LV2Instance::~LV2Instance()
{
  if (!mInstance)
    return;
  lilv_instance_deactivate(mInstance);
  lilv_instance_free(mInstance);
}

int LV2Instance::PortIndex(const std::string& symbol) const
{
  LilvNode* node = lilv_new_string(mWorld.World(), symbol.c_str());
  const LilvPort* port = lilv_plugin_get_port_by_symbol(mPlugin, node);
  lilv_node_free(node);
  return port ? static_cast<int>(lilv_port_get_index(mPlugin, port)) : -1;
}

std::vector<std::string> LV2Instance::InputControlSymbols() const
{
  std::vector<std::string> symbols;
  LilvNode* control = lilv_new_uri(mWorld.World(), LILV_URI_CONTROL_PORT);
  LilvNode* input = lilv_new_uri(mWorld.World(), LILV_URI_INPUT_PORT);
  for (uint32_t i = 0; i < lilv_plugin_get_num_ports(mPlugin); ++i)
  {
    const LilvPort* port = lilv_plugin_get_port_by_index(mPlugin, i);
    if (lilv_port_is_a(mPlugin, port, control) && lilv_port_is_a(mPlugin, port, input))
      symbols.emplace_back(lilv_node_as_string(lilv_port_get_symbol(mPlugin, port)));
  }
  lilv_node_free(control);
  lilv_node_free(input);
  return symbols;
}

void LV2Instance::Set(const std::string& symbol, float value)
{
  const int i = PortIndex(symbol);
  if (i >= 0)
    mControls[static_cast<size_t>(i)] = value;
}

float LV2Instance::Get(const std::string& symbol) const
{
  const int i = PortIndex(symbol);
  return i >= 0 ? mControls[static_cast<size_t>(i)] : 0.0f;
}

std::vector<std::vector<float>> LV2Instance::Process(const std::vector<std::vector<float>>& in, int blockSize)
{
  const size_t frames = in.empty() ? 0 : in[0].size();
  std::vector<std::vector<float>> out(mAudioOuts.size(), std::vector<float>(frames));
  for (uint32_t port : mAudioIns)
    mBuffers[port].assign(static_cast<size_t>(blockSize), 0.0f);
  for (uint32_t port : mAudioOuts)
    mBuffers[port].assign(static_cast<size_t>(blockSize), 0.0f);
  for (size_t i = 0; i < mBuffers.size(); ++i)
    if (!mBuffers[i].empty())
      lilv_instance_connect_port(mInstance, static_cast<uint32_t>(i), mBuffers[i].data());

  for (size_t pos = 0; pos < frames; pos += static_cast<size_t>(blockSize))
  {
    const size_t n = std::min(static_cast<size_t>(blockSize), frames - pos);
    for (size_t c = 0; c < mAudioIns.size() && c < in.size(); ++c)
      std::copy_n(in[c].begin() + static_cast<std::ptrdiff_t>(pos), n, mBuffers[mAudioIns[c]].begin());
    lilv_instance_run(mInstance, static_cast<uint32_t>(n));
    for (size_t c = 0; c < mAudioOuts.size(); ++c)
      std::copy_n(mBuffers[mAudioOuts[c]].begin(), n, out[c].begin() + static_cast<std::ptrdiff_t>(pos));
  }
  return out;
}

namespace {

const LV2_State_Interface* StateInterface(LilvInstance* instance)
{
  return static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
}

struct Stored
{
  std::vector<LV2Chunk> chunks;
  uint32_t chunkType;
};

LV2_State_Status StoreProperty(LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                               uint32_t)
{
  auto* stored = static_cast<Stored*>(h);
  if (type != stored->chunkType)
    return LV2_STATE_ERR_BAD_TYPE;
  const auto* bytes = static_cast<const uint8_t*>(value);
  stored->chunks.push_back({key, std::vector<uint8_t>(bytes, bytes + size)});
  return LV2_STATE_SUCCESS;
}

struct ChunkSource
{
  const LV2Chunk* chunk;
  uint32_t chunkType;
};

const void* RetrieveChunk(LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
  const auto* source = static_cast<const ChunkSource*>(h);
  if (key != source->chunk->key)
    return nullptr;
  *size = source->chunk->bytes.size();
  *type = source->chunkType;
  *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
  return source->chunk->bytes.data();
}

} // namespace

LV2Chunk LV2Instance::SaveStateChunk()
{
  const LV2_State_Interface* state = StateInterface(mInstance);
  Stored stored{{}, mWorld.Map().Map(LV2_ATOM__Chunk)};
  if (!state || state->save(lilv_instance_get_handle(mInstance), StoreProperty, &stored,
                            LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr) != LV2_STATE_SUCCESS)
    return {};
  return stored.chunks.size() == 1 ? stored.chunks[0] : LV2Chunk();
}

int LV2Instance::RestoreStateChunk(const LV2Chunk& chunk)
{
  const LV2_State_Interface* state = StateInterface(mInstance);
  if (!state)
    return LV2_STATE_ERR_NO_FEATURE;
  ChunkSource source{&chunk, mWorld.Map().Map(LV2_ATOM__Chunk)};
  return state->restore(lilv_instance_get_handle(mInstance), RetrieveChunk, &source, 0, nullptr);
}

const void* LV2Instance::PortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type)
{
  auto* self = static_cast<LV2Instance*>(user);
  const int i = self->PortIndex(symbol);
  if (i < 0)
    return nullptr;
  *size = sizeof(float);
  *type = self->mWorld.Map().Map(LV2_ATOM__Float);
  return &self->mControls[static_cast<size_t>(i)];
}

void LV2Instance::SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type)
{
  auto* self = static_cast<LV2Instance*>(user);
  const int i = self->PortIndex(symbol);
  if (i >= 0 && size == sizeof(float) && type == self->mWorld.Map().Map(LV2_ATOM__Float))
    std::memcpy(&self->mControls[static_cast<size_t>(i)], value, sizeof(float));
}

LilvState* LV2Instance::SaveLilvState()
{
  if (!mFeatures)
    return nullptr;
  return lilv_state_new_from_instance(mPlugin, mInstance, mWorld.Map().Handle(), nullptr, nullptr, nullptr,
                                      nullptr, PortValue, this, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, nullptr);
}

void LV2Instance::RestoreLilvState(const LilvState* state)
{
  lilv_state_restore(state, mInstance, SetPortValue, this, 0, nullptr);
}

} // namespace testsupport
