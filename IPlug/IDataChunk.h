#pragma once
// Growable byte buffer for plug-in state: values are stored with their exact
// width in little-endian order, without padding, alignment or type tags.
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace iplug {

static_assert(std::endian::native == std::endian::little, "chunk values are stored in native order, which must be little-endian");

class IDataChunk
{
public:
  // Append*: return the new size; a value that would not fit in a signed 32-bit size is not appended.
  template <typename T>
  int Append(const T& value);
  int AppendBytes(const void* data, int numBytes);
  int AppendString(const char* text);           // int32 length (no terminator), then the characters; null is ""
  int AppendString(std::string_view text);
  int AppendChunk(const IDataChunk& other);     // all bytes, no length prefix

  // Read*: never modify the chunk; return the position after what was read, or -1
  // (negative start, or not enough bytes) with the destination untouched.
  template <typename T>
  int Read(T& value, int startPos) const;
  int ReadBytes(void* dst, int numBytes, int startPos) const;
  int ReadString(std::string& text, int startPos) const; // also -1 for a negative or overlong length

  void Clear() { mBytes.clear(); }
  // shrinking keeps the leading bytes, growing zero-fills; a negative size changes nothing
  int Resize(int newSize);
  int Size() const { return static_cast<int>(mBytes.size()); }
  const uint8_t* Data() const { return mBytes.data(); }
  uint8_t* Data() { return mBytes.data(); }

private:
  template <typename T>
  static constexpr bool kIsChunkValue = std::is_arithmetic_v<T> && !std::is_const_v<T>;

  bool CanGrowBy(int numBytes) const { return numBytes >= 0 && numBytes <= INT_MAX - Size(); }
  bool Fits(int startPos, int numBytes) const { return startPos >= 0 && numBytes >= 0 && numBytes <= Size() - startPos; }
  void Reserve(int newSize);

  std::vector<uint8_t> mBytes;
};

template <typename T>
int IDataChunk::Append(const T& value)
{
  static_assert(kIsChunkValue<T>, "chunks hold arithmetic values; use AppendString or AppendBytes for the rest");
  if constexpr (std::is_same_v<T, bool>)
  {
    const uint8_t byte = value ? 1 : 0;
    return AppendBytes(&byte, 1);
  }
  else
  {
    return AppendBytes(&value, static_cast<int>(sizeof(T)));
  }
}

template <typename T>
int IDataChunk::Read(T& value, int startPos) const
{
  static_assert(kIsChunkValue<T>, "chunks hold arithmetic values; use ReadString or ReadBytes for the rest");
  if constexpr (std::is_same_v<T, bool>)
  {
    // any non-zero byte is true: copying a stray byte straight into a bool is undefined
    uint8_t byte = 0;
    const int next = ReadBytes(&byte, 1, startPos);
    if (next >= 0)
      value = byte != 0;
    return next;
  }
  else
  {
    return ReadBytes(&value, static_cast<int>(sizeof(T)), startPos);
  }
}

} // namespace iplug
