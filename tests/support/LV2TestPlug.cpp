// The test plug-in's factory, for its bundle and for the in-process tests.
#include "LV2TestPlug.h"

namespace iplug {

IPlugLV2* MakePlugin(const InstanceInfo& info) { return new testsupport::LV2TestPlug(info); }

} // namespace iplug
