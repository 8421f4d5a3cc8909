#include "IDataChunk.h"

#include <algorithm>
#include <functional>

namespace iplug {

namespace {
constexpr int kLengthFieldBytes = static_cast<int>(sizeof(int32_t));
constexpr size_t kGrowthStepBytes = 4096;

size_t RoundUpToStep(size_t n)
{
  return (n + kGrowthStepBytes - 1) / kGrowthStepBytes * kGrowthStepBytes;
}
} // namespace

void IDataChunk::Reserve(int newSize)
{
  const size_t needed = static_cast<size_t>(newSize);
  if (needed <= mBytes.capacity())
    return;
  // doubling keeps many small appends amortised; whole steps keep small states in one block
  mBytes.reserve(RoundUpToStep(std::max(needed, mBytes.capacity() * 2)));
}

int IDataChunk::AppendBytes(const void* data, int numBytes)
{
  if (numBytes == 0 || !data || !CanGrowBy(numBytes))
    return Size();
  // the source may lie in this chunk (AppendChunk(*this)), and growing moves it
  const auto* bytes = static_cast<const uint8_t*>(data);
  const uint8_t* begin = mBytes.data();
  const std::less<const uint8_t*> before;
  const bool fromSelf = begin && !before(bytes, begin) && before(bytes, begin + mBytes.size());
  const size_t offset = fromSelf ? static_cast<size_t>(bytes - begin) : 0;
  const size_t oldSize = mBytes.size();
  Reserve(Size() + numBytes);
  mBytes.resize(oldSize + static_cast<size_t>(numBytes));
  std::memmove(mBytes.data() + oldSize, fromSelf ? mBytes.data() + offset : bytes, static_cast<size_t>(numBytes));
  return Size();
}

int IDataChunk::AppendString(const char* text)
{
  return AppendString(text ? std::string_view(text) : std::string_view());
}

int IDataChunk::AppendString(std::string_view text)
{
  // the length and the characters go in together or not at all
  if (text.size() > static_cast<size_t>(INT_MAX - kLengthFieldBytes) ||
      !CanGrowBy(kLengthFieldBytes + static_cast<int>(text.size())))
    return Size();
  const int32_t length = static_cast<int32_t>(text.size());
  Append(length);
  return AppendBytes(text.data(), length);
}

int IDataChunk::AppendChunk(const IDataChunk& other)
{
  return AppendBytes(other.Data(), other.Size());
}

int IDataChunk::ReadBytes(void* dst, int numBytes, int startPos) const
{
  if (!Fits(startPos, numBytes) || (numBytes > 0 && !dst))
    return -1;
  if (numBytes > 0)
    std::memcpy(dst, mBytes.data() + startPos, static_cast<size_t>(numBytes));
  return startPos + numBytes;
}

int IDataChunk::ReadString(std::string& text, int startPos) const
{
  int32_t length = 0;
  const int charsPos = Read(length, startPos);
  // a corrupt length must not move the position backwards or past the end
  if (charsPos < 0 || !Fits(charsPos, length))
    return -1;
  text.assign(reinterpret_cast<const char*>(mBytes.data()) + charsPos, static_cast<size_t>(length));
  return charsPos + length;
}

int IDataChunk::Resize(int newSize)
{
  if (newSize < 0)
    return Size();
  Reserve(newSize);
  mBytes.resize(static_cast<size_t>(newSize), 0);
  return Size();
}

} // namespace iplug
