#include "AAX_StemFormat.h"

#include <array>

namespace {

struct StemFormatEntry
{
  int mChannels;
  uint32_t mCode;
};

constexpr std::array kStemFormats{
  StemFormatEntry{1, 0x00000001}, StemFormatEntry{2, 0x00010002}, StemFormatEntry{3, 0x00020003},
  StemFormatEntry{4, 0x000E0004}, StemFormatEntry{5, 0x00050005}, StemFormatEntry{6, 0x00060006},
  StemFormatEntry{7, 0x000B0007}, StemFormatEntry{8, 0x000C0008}, StemFormatEntry{9, 0x00120009},
  StemFormatEntry{10, 0x000D000A}, StemFormatEntry{16, 0x00130010},
};

constexpr bool CodesCarryTheirChannelCount()
{
  for (const StemFormatEntry& entry : kStemFormats)
    if (static_cast<int>(entry.mCode & 0xFFFFu) != entry.mChannels)
      return false;
  return true;
}
static_assert(CodesCarryTheirChannelCount());

} // namespace

AAX_EStemFormat AAX_StemFormatForChannels(int channels)
{
  for (const StemFormatEntry& entry : kStemFormats)
    if (entry.mChannels == channels)
      return static_cast<AAX_EStemFormat>(entry.mCode);
  return AAX_eStemFormat_None;
}
