#pragma once
// The construction record a plug-in passes down its class chain.
#include <cstdint>
#include <string>

#include "IPlugStructs.h"

namespace iplug {

struct IPluginConfig
{
  int32_t nParams = 0;
  int32_t nPresets = 0;
  std::string channelIOStr;     // e.g. "1-1 2-2"
  std::string pluginName;       // kept up to 128 characters
  std::string productName;      // kept up to 128 characters
  std::string mfrName;          // kept up to 128 characters
  int32_t vendorVersion = 0;    // packed: major << 16 | minor << 8 | bugfix
  int32_t uniqueID = 0;         // four-character code
  int32_t mfrID = 0;            // four-character code
  int32_t latency = 0;          // samples
  bool plugDoesMidiIn = false;
  bool plugDoesMidiOut = false;
  bool plugDoesMPE = false;
  bool plugDoesChunks = false;  // state saved as one opaque chunk
  EPlugKind plugType = eEffect;
  bool plugHasUI = false;
  int32_t plugWidth = 0;
  int32_t plugHeight = 0;
  // each pair may come in either order; the smaller value is the minimum
  int32_t plugMinWidth = 0;
  int32_t plugMaxWidth = 0;
  int32_t plugMinHeight = 0;
  int32_t plugMaxHeight = 0;
  bool plugHostResize = false;
  std::string bundleID;
};

} // namespace iplug
