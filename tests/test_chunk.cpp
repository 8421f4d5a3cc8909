#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "IDataChunk.h"

using iplug::IDataChunk;

namespace {

std::vector<uint8_t> Bytes(const IDataChunk& chunk)
{
  return {chunk.Data(), chunk.Data() + chunk.Size()};
}

IDataChunk ChunkOf(const std::vector<uint8_t>& bytes)
{
  IDataChunk chunk;
  chunk.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  return chunk;
}

IDataChunk ChunkWithLengthField(int32_t length, int trailingBytes)
{
  IDataChunk chunk;
  chunk.Append(length);
  chunk.Resize(chunk.Size() + trailingBytes);
  return chunk;
}

struct EncodingCase
{
  const char* name;
  std::function<int(IDataChunk&)> append;
  std::function<bool(const IDataChunk&, int& next)> readsBack;
  std::vector<uint8_t> bytes;
};

template <typename T>
EncodingCase Encoding(const char* name, T value, std::vector<uint8_t> bytes)
{
  return {name, [value](IDataChunk& c) { return c.Append(value); },
          [value](const IDataChunk& c, int& next) {
            T read{};
            next = c.Read(read, 0);
            return read == value;
          },
          std::move(bytes)};
}

} // namespace

TEST(DataChunk, ValuesAreStoredLittleEndianWithTheirExactWidth)
{
  const std::vector<EncodingCase> cases = {
    Encoding("int32", int32_t{0x01020304}, {0x04, 0x03, 0x02, 0x01}),
    Encoding("negative int32", int32_t{-2}, {0xFE, 0xFF, 0xFF, 0xFF}),
    Encoding("float32", 1.0f, {0x00, 0x00, 0x80, 0x3F}),
    Encoding("float64", -2.0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0}),
    Encoding("bool true", true, {0x01}),
    Encoding("bool false", false, {0x00}),
    Encoding("uint32 four-character code", uint32_t{0x544C5631}, {0x31, 0x56, 0x4C, 0x54}),
  };
  for (const EncodingCase& c : cases)
  {
    SCOPED_TRACE(c.name);
    IDataChunk chunk;
    EXPECT_EQ(c.append(chunk), static_cast<int>(c.bytes.size()));
    EXPECT_EQ(Bytes(chunk), c.bytes);
    int next = 0;
    EXPECT_TRUE(c.readsBack(chunk, next));
    EXPECT_EQ(next, chunk.Size());
  }
}

TEST(DataChunk, MixedValuesReadBackInSequenceWithoutPadding)
{
  IDataChunk chunk;
  chunk.Append(int32_t{790});
  chunk.Append(true);
  chunk.Append(1.5f);
  chunk.Append(0.25);
  ASSERT_EQ(chunk.Size(), 4 + 1 + 4 + 8);

  int32_t width = 0;
  bool flag = false;
  float scale = 0.f;
  double value = 0.0;
  int pos = chunk.Read(width, 0);
  pos = chunk.Read(flag, pos);
  pos = chunk.Read(scale, pos);
  pos = chunk.Read(value, pos);
  EXPECT_EQ(pos, chunk.Size());
  EXPECT_EQ(width, 790);
  EXPECT_TRUE(flag);
  EXPECT_EQ(scale, 1.5f);
  EXPECT_EQ(value, 0.25);
}

TEST(DataChunk, ReadOutsideTheDataFailsAndLeavesTheDestinationUntouched)
{
  const IDataChunk chunk = ChunkOf({1, 2, 3, 4, 5, 6});
  const struct
  {
    int pos;
    int expected;
  } cases[] = {{0, 4}, {2, 6}, {3, -1}, {6, -1}, {7, -1}, {-1, -1}, {INT_MAX, -1}, {INT_MIN, -1}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.pos);
    int32_t value = 77;
    EXPECT_EQ(chunk.Read(value, c.pos), c.expected);
    if (c.expected < 0)
    {
      EXPECT_EQ(value, 77);
    }
  }
}

TEST(DataChunk, BoolReadAcceptsAnyNonZeroByte)
{
  const IDataChunk chunk = ChunkOf({0x00, 0x7F});
  bool flag = true;
  EXPECT_EQ(chunk.Read(flag, 0), 1);
  EXPECT_FALSE(flag);
  EXPECT_EQ(chunk.Read(flag, 1), 2);
  EXPECT_TRUE(flag);
}

TEST(DataChunk, StringIsLengthThenCharactersWithoutTerminator)
{
  IDataChunk chunk;
  EXPECT_EQ(chunk.AppendString("user preset 1"), 4 + 13);
  EXPECT_EQ(chunk.AppendString(std::string("")), 4 + 13 + 4);
  EXPECT_EQ(chunk.AppendString(static_cast<const char*>(nullptr)), 4 + 13 + 8);

  std::string text;
  int pos = chunk.ReadString(text, 0);
  EXPECT_EQ(pos, 17);
  EXPECT_EQ(text, "user preset 1");
  for (int i = 0; i < 2; ++i)
  {
    text = "stale";
    pos = chunk.ReadString(text, pos);
    EXPECT_EQ(text, "");
  }
  EXPECT_EQ(pos, chunk.Size());
}

TEST(DataChunk, CorruptStringLengthFailsWithoutMovingOrReading)
{
  const struct
  {
    const char* name;
    IDataChunk chunk;
  } cases[] = {
    {"length beyond the remaining bytes", ChunkWithLengthField(6, 5)},
    {"length near INT32_MAX", ChunkWithLengthField(INT32_MAX, 5)},
    {"negative length", ChunkWithLengthField(-3, 5)},
    {"length field itself truncated", ChunkOf({3, 0, 0})},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::string text = "kept";
    EXPECT_EQ(c.chunk.ReadString(text, 0), -1);
    EXPECT_EQ(text, "kept");
  }
  std::string text;
  EXPECT_EQ(ChunkWithLengthField(5, 5).ReadString(text, 0), 9);
  EXPECT_EQ(text, std::string(5, '\0'));
}

TEST(DataChunk, RawBytesRoundTripAndRejectBadArguments)
{
  const uint8_t raw[] = {'C', 'c', 'n', 'K'};
  IDataChunk chunk;
  EXPECT_EQ(chunk.AppendBytes(raw, 4), 4);
  EXPECT_EQ(chunk.AppendBytes(nullptr, 4), 4);
  EXPECT_EQ(chunk.AppendBytes(raw, -1), 4);

  uint8_t out[4] = {};
  EXPECT_EQ(chunk.ReadBytes(out, 4, 0), 4);
  EXPECT_EQ(std::string(out, out + 4), "CcnK");
  EXPECT_EQ(chunk.ReadBytes(out, 0, 4), 4);
  EXPECT_EQ(chunk.ReadBytes(out, 0, 5), -1);
  EXPECT_EQ(chunk.ReadBytes(out, -1, 0), -1);
  EXPECT_EQ(chunk.ReadBytes(out, 5, 0), -1);
  EXPECT_EQ(chunk.ReadBytes(nullptr, 1, 0), -1);
}

TEST(DataChunk, AppendChunkAddsAllBytesWithoutPrefixEvenFromItself)
{
  IDataChunk editorState;
  editorState.Append(int32_t{790});
  editorState.Append(int32_t{213});
  IDataChunk state = ChunkOf({9});
  EXPECT_EQ(state.AppendChunk(editorState), 9);
  EXPECT_EQ(Bytes(state), (std::vector<uint8_t>{9, 0x16, 0x03, 0, 0, 0xD5, 0, 0, 0}));

  // a full first block forces the buffer to move while it is also the source
  IDataChunk big;
  for (int i = 0; i < 4096; ++i)
    big.Append(static_cast<uint8_t>(i));
  EXPECT_EQ(big.AppendChunk(big), 8192);
  for (int i = 0; i < 8192; ++i)
    ASSERT_EQ(big.Data()[i], static_cast<uint8_t>(i)) << i;
}

TEST(DataChunk, GrowthAndResizeKeepTheLeadingBytes)
{
  IDataChunk chunk;
  constexpr int kValues = 5000;
  for (int32_t i = 0; i < kValues; ++i)
    chunk.Append(i);
  for (int32_t i = 0, pos = 0; i < kValues; ++i)
  {
    int32_t v = -1;
    pos = chunk.Read(v, pos);
    ASSERT_EQ(v, i);
  }

  EXPECT_EQ(chunk.Resize(8), 8);
  EXPECT_EQ(Bytes(chunk), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(chunk.Resize(-1), 8);
  EXPECT_EQ(chunk.Resize(10), 10);
  EXPECT_EQ(Bytes(chunk), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0, 0, 0, 0, 0}));
  chunk.Clear();
  EXPECT_EQ(chunk.Size(), 0);
  EXPECT_EQ(chunk.Append(1.0), 8);
}

namespace {

// position after a successful read must lie inside the data and past the start
void ExpectSaneResult(int result, int pos, int width, int size)
{
  if (result == -1)
    return;
  EXPECT_GE(pos, 0);
  EXPECT_EQ(result, pos + width);
  EXPECT_LE(result, size);
}

template <typename T>
void ReadValueAt(const IDataChunk& chunk, int pos)
{
  T value{};
  ExpectSaneResult(chunk.Read(value, pos), pos, static_cast<int>(sizeof(T)), chunk.Size());
}

} // namespace

// Garbage through every reader: the sanitizers catch any read outside the buffer.
TEST(DataChunk, RandomBytesAndPositionsNeverReadOutOfBounds)
{
  std::mt19937 rng(20261210);
  auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int extremes[] = {INT_MIN, INT_MIN + 1, -4, INT_MAX - 3, INT_MAX};

  for (int round = 0; round < 3000; ++round)
  {
    std::vector<uint8_t> bytes(static_cast<size_t>(uniform(0, 48)));
    for (uint8_t& b : bytes)
      b = static_cast<uint8_t>(uniform(0, 255));
    IDataChunk chunk = ChunkOf(bytes);
    const int size = chunk.Size();
    // plant a plausible length field so strings near the end are exercised, not only wild lengths
    if (size >= 4)
    {
      const int at = uniform(0, size - 4);
      const int32_t length = uniform(-4, size - at);
      std::memcpy(chunk.Data() + at, &length, sizeof(length));
    }

    const int pos = round % 8 == 0 ? extremes[uniform(0, 4)] : uniform(-8, size + 8);
    ReadValueAt<int8_t>(chunk, pos);
    ReadValueAt<bool>(chunk, pos);
    ReadValueAt<int32_t>(chunk, pos);
    ReadValueAt<float>(chunk, pos);
    ReadValueAt<double>(chunk, pos);
    ReadValueAt<int64_t>(chunk, pos);

    uint8_t sink[64];
    const int n = round % 8 == 1 ? extremes[uniform(0, 4)] : uniform(-2, 64);
    ExpectSaneResult(chunk.ReadBytes(sink, n, pos), pos, n, size);

    std::string text = "untouched";
    const int next = chunk.ReadString(text, pos);
    if (next == -1)
    {
      EXPECT_EQ(text, "untouched");
    }
    else
    {
      ExpectSaneResult(next, pos, 4 + static_cast<int>(text.size()), size);
    }
  }
}
