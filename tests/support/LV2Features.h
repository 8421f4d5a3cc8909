#pragma once
// Host features for LV2 tests: a URID map and an options list naming the block lengths.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

namespace testsupport {

class LV2UridMap
{
public:
  LV2UridMap() : mMap{this, &LV2UridMap::MapUri}, mFeature{LV2_URID__map, &mMap} {}
  LV2UridMap(const LV2UridMap&) = delete;
  LV2UridMap& operator=(const LV2UridMap&) = delete;

  LV2_URID Map(const char* uri)
  {
    for (size_t i = 0; i < mUris.size(); ++i)
      if (mUris[i] == uri)
        return static_cast<LV2_URID>(i + 1);
    mUris.emplace_back(uri);
    return static_cast<LV2_URID>(mUris.size());
  }
  const LV2_Feature* Feature() const { return &mFeature; }
  LV2_URID_Map* Handle() { return &mMap; }

private:
  static LV2_URID MapUri(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<LV2UridMap*>(handle)->Map(uri); }

  std::vector<std::string> mUris;
  LV2_URID_Map mMap;
  LV2_Feature mFeature;
};

// The features a host passes at instantiation: none, the map alone, or the map with block lengths.
class LV2HostFeatures
{
public:
  // maxBlock 0: no options feature; sharedMap: a host's one map, else a map of these features' own
  explicit LV2HostFeatures(bool withMap = true, int32_t maxBlock = 0, int32_t nominalBlock = 0,
                           LV2UridMap* sharedMap = nullptr)
    : mMap(sharedMap ? *sharedMap : mOwnMap), mMaxBlock(maxBlock), mNominalBlock(nominalBlock)
  {
    if (withMap)
      mList.push_back(mMap.Feature());
    if (withMap && (maxBlock > 0 || nominalBlock > 0))
    {
      const LV2_URID intType = mMap.Map(LV2_ATOM__Int);
      if (maxBlock > 0)
        mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, mMap.Map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), intType, &mMaxBlock});
      if (nominalBlock > 0)
        mOptions.push_back(
          {LV2_OPTIONS_INSTANCE, 0, mMap.Map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), intType, &mNominalBlock});
      mOptions.push_back({LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr});
      mOptionsFeature = {LV2_OPTIONS__options, mOptions.data()};
      mList.push_back(&mOptionsFeature);
    }
    mList.push_back(nullptr);
  }
  LV2HostFeatures(const LV2HostFeatures&) = delete;
  LV2HostFeatures& operator=(const LV2HostFeatures&) = delete;

  const LV2_Feature* const* List() const { return mList.data(); }
  LV2UridMap& Map() { return mMap; }

private:
  LV2UridMap mOwnMap;
  LV2UridMap& mMap;
  int32_t mMaxBlock;
  int32_t mNominalBlock;
  std::vector<LV2_Options_Option> mOptions;
  LV2_Feature mOptionsFeature{};
  std::vector<const LV2_Feature*> mList;
};

} // namespace testsupport
