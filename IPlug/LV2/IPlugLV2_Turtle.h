#pragma once
// The bundle's Turtle, written from a plug-in instance: the manifest and the description
// of every variant with its ports, ranges, units and scale points.
#include <string>

#include "IPlugLV2.h"

namespace iplug {

// binaryName and ttlName are file names inside the bundle
std::string LV2ManifestTurtle(const IPlugLV2& plug, const std::string& binaryName, const std::string& ttlName);
std::string LV2PluginTurtle(const IPlugLV2& plug);

} // namespace iplug
