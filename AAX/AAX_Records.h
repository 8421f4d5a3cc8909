#pragma once
// Records exchanged with the host byte for byte: MIDI packets, the render context and the chunk record.
#include <cstddef>
#include <cstdint>

#include "AAX.h"

class AAX_IMIDINode;
class AAX_CEffectParameters;

struct AAX_CMidiPacket
{
  uint32_t mTimestamp = 0; // sample offset in the block
  uint32_t mLength = 0;    // data bytes used
  uint8_t mData[4] = {};
  AAX_CBoolean mIsImmediate = 0;
};

struct AAX_CMidiStream
{
  uint32_t mBufferSize = 0; // packets in mBuffer
  AAX_CMidiPacket* mBuffer = nullptr;
};

// Context field 23: lets the static render callback find its instance.
struct AAX_SIPlugPrivateData
{
  AAX_CEffectParameters* mInstance = nullptr;
};

// [audio thread] filled by the host for every render call; each field points at its content, and the description
// declares each field by its index (AAX_SIPlugRenderContext::eField...).
struct AAX_SIPlugRenderContext
{
  enum EField : AAX_CFieldIndex
  {
    eFieldAudioInputs = 0,
    eFieldAudioOutputs = 1,
    eFieldBufferLength = 2,
    eFieldClock = 3,
    eFieldInputNode = 4,
    eFieldOutputNode = 5,
    eFieldGlobalNode = 6,
    eFieldTransportNode = 7,
    eFieldAdditionalInputNodes = 8, // kMaxAdditionalMIDINodes fields from here
    eFieldPrivateData = 23,
    eFieldMeters = 24,
    eFieldStateNumber = 25,
    eFieldSideChainInput = 26,
    eNumFields = 27
  };

  float* const* mInputs;
  float* const* mOutputs;
  int32_t* mBufferLength;
  const int64_t* mClock;
  AAX_IMIDINode* mInputNode;
  AAX_IMIDINode* mOutputNode;
  AAX_IMIDINode* mGlobalNode;
  AAX_IMIDINode* mTransportNode;
  AAX_IMIDINode* mAdditionalInputNodes[kMaxAdditionalMIDINodes];
  AAX_SIPlugPrivateData* mPrivateData;
  float* mMeters;
  int64_t* mCurrentStateNumber; // the last number posted by the parameter side
  int32_t* mSideChainChannel;   // index of the side-chain channel within mInputs
};

// The host's chunk record: a 56-byte header of which the plug-in uses the size and the ID, then the data.
struct AAX_SHostChunk
{
  static constexpr std::size_t kChunkHeaderSize = 56;

  int32_t mSize;            // data bytes
  uint8_t mHostFields1[16]; // the host's, neither written nor read
  AAX_CTypeID mChunkID;
  uint8_t mHostFields2[32]; // the host's, neither written nor read

  // the data follow the header in the same allocation
  uint8_t* Data() { return reinterpret_cast<uint8_t*>(this) + kChunkHeaderSize; }
  const uint8_t* Data() const { return reinterpret_cast<const uint8_t*>(this) + kChunkHeaderSize; }
  static constexpr std::size_t AllocationSize(std::size_t dataBytes) { return kChunkHeaderSize + dataBytes; }
};

static_assert(sizeof(AAX_CMidiPacket) == 16);
static_assert(offsetof(AAX_CMidiPacket, mTimestamp) == 0);
static_assert(offsetof(AAX_CMidiPacket, mLength) == 4);
static_assert(offsetof(AAX_CMidiPacket, mData) == 8);
static_assert(offsetof(AAX_CMidiPacket, mIsImmediate) == 12);
static_assert(sizeof(AAX_CMidiStream) == 16);
static_assert(offsetof(AAX_CMidiStream, mBuffer) == 8);
static_assert(sizeof(AAX_SIPlugPrivateData) == 8);

static_assert(sizeof(AAX_SIPlugRenderContext) == AAX_SIPlugRenderContext::eNumFields * sizeof(void*));
static_assert(offsetof(AAX_SIPlugRenderContext, mInputs) == AAX_SIPlugRenderContext::eFieldAudioInputs * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mOutputs) == AAX_SIPlugRenderContext::eFieldAudioOutputs * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mBufferLength) == AAX_SIPlugRenderContext::eFieldBufferLength * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mClock) == AAX_SIPlugRenderContext::eFieldClock * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mInputNode) == AAX_SIPlugRenderContext::eFieldInputNode * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mOutputNode) == AAX_SIPlugRenderContext::eFieldOutputNode * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mGlobalNode) == AAX_SIPlugRenderContext::eFieldGlobalNode * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mTransportNode) == AAX_SIPlugRenderContext::eFieldTransportNode * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mAdditionalInputNodes) ==
              AAX_SIPlugRenderContext::eFieldAdditionalInputNodes * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mPrivateData) == AAX_SIPlugRenderContext::eFieldPrivateData * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mMeters) == AAX_SIPlugRenderContext::eFieldMeters * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mCurrentStateNumber) ==
              AAX_SIPlugRenderContext::eFieldStateNumber * 8);
static_assert(offsetof(AAX_SIPlugRenderContext, mSideChainChannel) ==
              AAX_SIPlugRenderContext::eFieldSideChainInput * 8);
static_assert(AAX_SIPlugRenderContext::eFieldAdditionalInputNodes + kMaxAdditionalMIDINodes ==
              AAX_SIPlugRenderContext::eFieldPrivateData);

static_assert(sizeof(AAX_SHostChunk) == AAX_SHostChunk::kChunkHeaderSize);
static_assert(offsetof(AAX_SHostChunk, mSize) == 0);
static_assert(offsetof(AAX_SHostChunk, mHostFields1) == 4);
static_assert(offsetof(AAX_SHostChunk, mChunkID) == 20);
static_assert(offsetof(AAX_SHostChunk, mHostFields2) == 24);
