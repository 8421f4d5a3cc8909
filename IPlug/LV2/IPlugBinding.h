#pragma once
// The class a plug-in built against this binding derives from; each binding folder has this header.
#include "IPlugLV2.h"

namespace iplug {

using PluginBinding = IPlugLV2;

} // namespace iplug
