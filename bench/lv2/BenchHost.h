#pragma once
// The timing host's LV2 side, on lilv: the bundles of LV2_PATH, the features DAW hosts give
// (URID map and unmap, block-length options), and instances with every port connected, so
// that any plug-in runs, whatever ports it has besides its audio and controls.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

namespace lv2bench {

class BenchWorld
{
public:
  // every block the host runs is at most maxBlock frames
  BenchWorld(double sampleRate, int32_t maxBlock);
  ~BenchWorld();
  BenchWorld(const BenchWorld&) = delete;
  BenchWorld& operator=(const BenchWorld&) = delete;

  const LilvPlugin* Plugin(const std::string& uri) const;
  LilvWorld* World() const { return mWorld; }
  const LV2_Feature* const* Features() const { return mFeatureList.data(); }
  LV2_URID Map(const char* uri);
  double SampleRate() const { return mSampleRate; }
  int32_t MaxBlock() const { return mMaxBlock; }

private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri);
  static const char* UnmapUrid(LV2_URID_Unmap_Handle handle, LV2_URID urid);

  LilvWorld* mWorld = nullptr;
  double mSampleRate;
  int32_t mMaxBlock;
  int32_t mMinBlock = 1;
  int32_t mNominalBlock;
  float mSampleRateFloat;
  std::vector<std::string> mUris;
  LV2_URID_Map mMap{};
  LV2_URID_Unmap mUnmap{};
  std::vector<LV2_Options_Option> mOptions;
  std::vector<LV2_Feature> mFeatures;
  std::vector<const LV2_Feature*> mFeatureList;
};

class BenchInstance
{
public:
  // error is set when the plug-in is missing or refuses to instantiate
  BenchInstance(BenchWorld& world, const std::string& uri, std::string& error);
  ~BenchInstance();
  BenchInstance(const BenchInstance&) = delete;
  BenchInstance& operator=(const BenchInstance&) = delete;

  bool Ok() const { return mInstance != nullptr; }
  int NumInputs() const { return static_cast<int>(mAudioIns.size()); }
  int NumOutputs() const { return static_cast<int>(mAudioOuts.size()); }
  // false when the plug-in has no input control port of that symbol
  bool Set(const std::string& symbol, float value);
  // buffers hold at least the world's maximum block
  void ConnectAudio(float* const* inputs, float* const* outputs);
  void Run(uint32_t nFrames);

private:
  BenchWorld& mWorld;
  const LilvPlugin* mPlugin = nullptr;
  LilvInstance* mInstance = nullptr;
  std::vector<uint32_t> mAudioIns;
  std::vector<uint32_t> mAudioOuts;
  std::vector<float> mControls;                  // one per port
  std::vector<std::vector<uint64_t>> mBuffers;   // CV, atom and unknown ports: aligned storage
  std::vector<uint32_t> mAtomOutputs;            // reset to their capacity before each run
  uint32_t mAtomChunk = 0;
};

} // namespace lv2bench
