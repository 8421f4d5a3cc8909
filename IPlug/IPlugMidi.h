#pragma once
// MIDI and system-exclusive message records exchanged with the host and the editor.
#include <algorithm>
#include <cstdint>

namespace iplug {

struct IMidiMessage
{
  int32_t mOffset = 0; // sample offset within the block
  uint8_t mStatus = 0;
  uint8_t mData1 = 0;
  uint8_t mData2 = 0;
  uint8_t mPadding = 0;
};
static_assert(sizeof(IMidiMessage) == 8, "IMidiMessage is exchanged as 8 bytes");

// A view of bytes owned by someone else; copy it into an ISysexRecord to queue it.
struct ISysexMessage
{
  int32_t mOffset = 0;
  int32_t mSize = 0;
  const uint8_t* mData = nullptr;
};

constexpr int kMaxSysexBytes = 512;

// Fixed-size copy of a system-exclusive message, suitable for lock-free queues.
struct ISysexRecord
{
  int32_t mOffset = 0;
  int32_t mSize = 0;
  uint8_t mData[kMaxSysexBytes] = {};

  // false (record unchanged) when the message is larger than the record or malformed
  bool Assign(const ISysexMessage& msg)
  {
    if (msg.mSize < 0 || msg.mSize > kMaxSysexBytes || (msg.mSize > 0 && !msg.mData))
      return false;
    mOffset = msg.mOffset;
    mSize = msg.mSize;
    std::copy_n(msg.mData, msg.mSize, mData);
    return true;
  }

  ISysexMessage View() const { return {mOffset, mSize, mData}; }
};
static_assert(sizeof(ISysexRecord) == 520, "ISysexRecord is 8 header bytes plus 512 data bytes");

} // namespace iplug
