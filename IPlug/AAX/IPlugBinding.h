#pragma once
// The class a plug-in built against this binding derives from; each binding folder has this header.
#include "IPlugAAX.h"

namespace iplug {

using PluginBinding = IPlugAAX;

} // namespace iplug
