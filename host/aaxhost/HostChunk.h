#pragma once
// Effect settings as the host keeps them: chunks by ID, built into the host's chunk records when handed to
// the effect, and stored in a small file of our own. The file: "AAXHCHNK", uint32 count, then per chunk
// uint32 ID, uint32 size and the data; little-endian.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AAX_Records.h"

namespace aaxhost {

struct HostChunk
{
  AAX_CTypeID mID = 0;
  std::vector<uint8_t> mData;

  friend bool operator==(const HostChunk&, const HostChunk&) = default;
};

// An AAX_SHostChunk with room for `dataBytes` bytes of data, header zeroed except size and ID.
class ChunkRecord
{
public:
  ChunkRecord(AAX_CTypeID id, uint32_t dataBytes);
  explicit ChunkRecord(const HostChunk& chunk);

  AAX_SHostChunk* Get() { return reinterpret_cast<AAX_SHostChunk*>(mStorage.get()); }
  uint32_t Capacity() const { return mCapacity; }
  // the data the effect wrote; false when it claims more than the record holds
  bool Read(HostChunk& chunk);

private:
  uint32_t mCapacity;
  std::unique_ptr<uint64_t[]> mStorage;
};

// false with a message in error
bool WriteChunkFile(const std::string& path, const std::vector<HostChunk>& chunks, std::string& error);
bool ReadChunkFile(const std::string& path, std::vector<HostChunk>& chunks, std::string& error);

} // namespace aaxhost
