#pragma once
// A small LV2 host on lilv for tests: loads the bundles of one directory, makes an instance
// of a plug-in by URI with or without the usual features, connects every port, runs planar
// float audio in blocks, and saves and restores state as a real host does.
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>

#include "LV2Features.h"

namespace testsupport {

class LV2World
{
public:
  // dir holds bundles, as one entry of LV2_PATH would
  explicit LV2World(const std::string& dir);
  ~LV2World();
  LV2World(const LV2World&) = delete;
  LV2World& operator=(const LV2World&) = delete;

  // null when no loaded bundle has the plug-in
  const LilvPlugin* Plugin(const std::string& uri) const;
  LilvWorld* World() const { return mWorld; }
  // a node for a URI, owned by the world object
  const LilvNode* Uri(const char* uri);
  // the host's one URID map, shared by its instances as state needs
  LV2UridMap& Map() { return mMap; }

private:
  LilvWorld* mWorld = nullptr;
  LV2UridMap mMap;
  std::vector<LilvNode*> mNodes;
};

// One state property as the plug-in stored it.
struct LV2Chunk
{
  uint32_t key = 0; // in the world's map
  std::vector<uint8_t> bytes;
};

class LV2Instance
{
public:
  // withFeatures false: no features at all; maxBlock 0: the URID map without options
  LV2Instance(LV2World& world, const std::string& uri, double sampleRate, bool withFeatures = true,
              int maxBlock = 4096);
  ~LV2Instance();
  LV2Instance(const LV2Instance&) = delete;
  LV2Instance& operator=(const LV2Instance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  const LilvPlugin* Plugin() const { return mPlugin; }
  int NumInputs() const { return static_cast<int>(mAudioIns.size()); }
  int NumOutputs() const { return static_cast<int>(mAudioOuts.size()); }
  // -1 when there is no such port
  int PortIndex(const std::string& symbol) const;
  // symbols of the input control ports, in port order
  std::vector<std::string> InputControlSymbols() const;
  void Set(const std::string& symbol, float value);
  float Get(const std::string& symbol) const;

  // in holds one vector per input channel; returns one per output channel
  std::vector<std::vector<float>> Process(const std::vector<std::vector<float>>& in, int blockSize);

  // through the plug-in's state interface: its one property, an atom:Chunk (empty bytes on failure)
  LV2Chunk SaveStateChunk();
  // the plug-in's status for restoring the chunk
  int RestoreStateChunk(const LV2Chunk& chunk);
  // as lilv saves and restores a plug-in (port values with the state); the caller frees the state
  LilvState* SaveLilvState();
  void RestoreLilvState(const LilvState* state);

private:
  static const void* PortValue(const char* symbol, void* user, uint32_t* size, uint32_t* type);
  static void SetPortValue(const char* symbol, void* user, const void* value, uint32_t size, uint32_t type);

  LV2World& mWorld;
  const LilvPlugin* mPlugin = nullptr;
  std::unique_ptr<LV2HostFeatures> mFeatures;
  LilvInstance* mInstance = nullptr;
  std::vector<float> mControls; // one per port; audio ports leave theirs unused
  std::vector<uint32_t> mAudioIns;
  std::vector<uint32_t> mAudioOuts;
  std::vector<std::vector<float>> mBuffers; // one per port, audio ports only
};

} // namespace testsupport
