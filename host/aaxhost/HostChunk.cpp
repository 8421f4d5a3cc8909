#include "HostChunk.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace aaxhost {

namespace {

constexpr char kMagic[8] = {'A', 'A', 'X', 'H', 'C', 'H', 'N', 'K'};
constexpr std::size_t kWord = sizeof(uint64_t);

void AppendU32(std::vector<uint8_t>& out, uint32_t value)
{
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<uint8_t>(value >> shift));
}

// returns the position after the value, or -1
long ReadU32(const std::vector<uint8_t>& in, long pos, uint32_t& value)
{
  if (pos < 0 || static_cast<std::size_t>(pos) > in.size() || in.size() - static_cast<std::size_t>(pos) < 4)
    return -1;
  value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<uint32_t>(in[static_cast<std::size_t>(pos) + static_cast<std::size_t>(i)]) << (8 * i);
  return pos + 4;
}

} // namespace

ChunkRecord::ChunkRecord(AAX_CTypeID id, uint32_t dataBytes)
  : mCapacity(dataBytes),
    mStorage(std::make_unique<uint64_t[]>((AAX_SHostChunk::AllocationSize(dataBytes) + kWord - 1) / kWord))
{
  Get()->mSize = static_cast<int32_t>(dataBytes);
  Get()->mChunkID = id;
}

ChunkRecord::ChunkRecord(const HostChunk& chunk) : ChunkRecord(chunk.mID, static_cast<uint32_t>(chunk.mData.size()))
{
  if (!chunk.mData.empty())
    std::memcpy(Get()->Data(), chunk.mData.data(), chunk.mData.size());
}

bool ChunkRecord::Read(HostChunk& chunk)
{
  const int32_t size = Get()->mSize;
  if (size < 0 || static_cast<uint32_t>(size) > mCapacity)
    return false;
  chunk.mID = Get()->mChunkID;
  chunk.mData.assign(Get()->Data(), Get()->Data() + size);
  return true;
}

bool WriteChunkFile(const std::string& path, const std::vector<HostChunk>& chunks, std::string& error)
{
  std::vector<uint8_t> bytes(std::begin(kMagic), std::end(kMagic));
  AppendU32(bytes, static_cast<uint32_t>(chunks.size()));
  for (const HostChunk& chunk : chunks)
  {
    AppendU32(bytes, chunk.mID);
    AppendU32(bytes, static_cast<uint32_t>(chunk.mData.size()));
    bytes.insert(bytes.end(), chunk.mData.begin(), chunk.mData.end());
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file.good())
  {
    error = "cannot write state file '" + path + "'";
    return false;
  }
  return true;
}

bool ReadChunkFile(const std::string& path, std::vector<HostChunk>& chunks, std::string& error)
{
  std::ifstream file(path, std::ios::binary);
  if (!file)
  {
    error = "cannot read state file '" + path + "'";
    return false;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  error = "'" + path + "' is not a state file of this host";
  if (bytes.size() < sizeof(kMagic) || std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0)
    return false;
  uint32_t count = 0;
  long pos = ReadU32(bytes, static_cast<long>(sizeof(kMagic)), count);
  std::vector<HostChunk> read;
  for (uint32_t i = 0; i < count && pos >= 0; ++i)
  {
    HostChunk chunk;
    uint32_t size = 0;
    pos = ReadU32(bytes, ReadU32(bytes, pos, chunk.mID), size);
    if (pos < 0 || bytes.size() - static_cast<std::size_t>(pos) < size)
      return false;
    chunk.mData.assign(bytes.begin() + pos, bytes.begin() + pos + size);
    pos += static_cast<long>(size);
    read.push_back(std::move(chunk));
  }
  if (pos < 0 || static_cast<std::size_t>(pos) != bytes.size())
    return false;
  chunks = std::move(read);
  error.clear();
  return true;
}

} // namespace aaxhost
