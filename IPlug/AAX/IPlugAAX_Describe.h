#pragma once
// The module's description: what the host learns about the effect when it registers the module (names,
// identifiers, one component per channel configuration, the creation procedures). [host main thread]
#include <cstdint>
#include <span>

#include "AAX.h"

class AAX_VCollection;

namespace iplug {

// The plug-in's answers for the description; the plug-in provides one (GetAAXDescription).
struct AAX_SIPlugDescription
{
  const char* mEffectID = "";         // bundle identifier
  const char* mEffectNames = "";      // one name per line, longest first
  const char* mManufacturerName = "";
  uint32_t mPackageVersion = 0;       // packed, as the plug-in's version
  uint32_t mCategory = 0;
  AAX_CTypeID mManufacturerID = 0;
  AAX_CTypeID mProductID = 0;         // also the chunk ID
  std::span<const AAX_CTypeID> mNativeIDs;     // one per channel configuration, in order
  std::span<const AAX_CTypeID> mAudioSuiteIDs; // one per channel configuration, in order
  const char* mMidiNodeName = "";
  const char* mChannelIO = "";        // "1-1 2-2" grammar
  bool mDoesMidiIn = false;
  bool mDoesMidiOut = false;
};

// provided by the plug-in
const AAX_SIPlugDescription& GetAAXDescription();

// Describes the effect to the collection: 0, or the merged failure codes. Host calls of a component raise
// AAX::Exception::ResultError, which the registration entry turns into a trace and a code.
AAX_Result DescribeEffect(AAX_VCollection& collection, const AAX_SIPlugDescription& description);
// the plug-in's own description
AAX_Result DescribeEffect(AAX_VCollection& collection);

} // namespace iplug
