// The one symbol an LV2 module exports; linked into the module only.
#include "IPlugLV2_Adapter.h"

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
  return iplug::LV2DescriptorAt(index);
}
