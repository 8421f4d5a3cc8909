#pragma once
// Stem formats: 32-bit codes whose low 16 bits are the channel count.
#include "AAX.h"

enum AAX_EStemFormat : uint32_t
{
  AAX_eStemFormat_Mono = 0x00000001,
  AAX_eStemFormat_Stereo = 0x00010002,
  AAX_eStemFormat_None = 0xFF9C0000
};

// [any thread, lock-free] the format of a bus of `channels` channels; AAX_eStemFormat_None for counts without one
AAX_EStemFormat AAX_StemFormatForChannels(int channels);

constexpr int AAX_StemFormatChannelCount(AAX_EStemFormat format)
{
  return static_cast<int>(static_cast<uint32_t>(format) & 0xFFFFu);
}
