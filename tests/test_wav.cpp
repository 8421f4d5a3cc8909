// The library-free RIFF/WAVE reader and writer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "AudioFile.h"

using talvenhost::AudioBuffer;
using talvenhost::ReadAudioFile;
using talvenhost::WriteAudioFile;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, uint32_t v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutId(Bytes& b, const char* id)
{
  for (int i = 0; i < 4; ++i)
    b.push_back(static_cast<uint8_t>(id[i]));
}

uint32_t Get(const Bytes& b, size_t at, int bytes)
{
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = (v << 8) | b[at + size_t(i)];
  return v;
}

constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

struct FmtSpec
{
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint32_t rate = 48000;
  uint16_t bits = 16;
  int blockAlignDelta = 0;
  uint16_t subFormat = 0; // used with tag 0xFFFE
};

Bytes FmtChunk(const FmtSpec& f)
{
  const bool extensible = f.tag == 0xFFFE;
  const uint32_t blockAlign = uint32_t(int(f.channels * (f.bits / 8)) + f.blockAlignDelta);
  Bytes b;
  PutId(b, "fmt ");
  Put(b, extensible ? 40 : 16, 4);
  Put(b, f.tag, 2);
  Put(b, f.channels, 2);
  Put(b, f.rate, 4);
  Put(b, f.rate * blockAlign, 4);
  Put(b, blockAlign, 2);
  Put(b, f.bits, 2);
  if (extensible)
  {
    Put(b, 22, 2);
    Put(b, f.bits, 2);
    Put(b, 0, 4);
    Put(b, f.subFormat, 2);
    b.insert(b.end(), std::begin(kSubFormatTail), std::end(kSubFormatTail));
  }
  return b;
}

Bytes Chunk(const char* id, const Bytes& payload, uint32_t declaredSize)
{
  Bytes b;
  PutId(b, id);
  Put(b, declaredSize, 4);
  b.insert(b.end(), payload.begin(), payload.end());
  if (payload.size() % 2)
    b.push_back(0);
  return b;
}

Bytes Chunk(const char* id, const Bytes& payload)
{
  return Chunk(id, payload, uint32_t(payload.size()));
}

Bytes Riff(const std::vector<Bytes>& chunks)
{
  Bytes b;
  PutId(b, "RIFF");
  Put(b, 0, 4); // readers must not depend on it; streamed files leave it unset
  PutId(b, "WAVE");
  for (const Bytes& c : chunks)
    b.insert(b.end(), c.begin(), c.end());
  return b;
}

Bytes FloatBytes(float f)
{
  uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  Bytes b;
  Put(b, u, 4);
  return b;
}

Bytes DoubleBytes(double d)
{
  uint64_t u;
  std::memcpy(&u, &d, sizeof u);
  Bytes b;
  Put(b, uint32_t(u), 4);
  Put(b, uint32_t(u >> 32), 4);
  return b;
}

class WavFile : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mDir = fs::temp_directory_path() /
           ("talven-wav-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const std::string& name) const { return (mDir / name).string(); }

  std::string Store(const Bytes& bytes, const std::string& name = "in.wav") const
  {
    std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return Path(name);
  }

  Bytes Load(const std::string& path) const
  {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  fs::path mDir;
};

} // namespace

TEST_F(WavFile, WrittenFilesReadBackBitExactWithTheirRateAndChannels)
{
  const struct
  {
    int rate;
    int channels;
  } cases[] = {{44100, 1}, {48000, 2}, {96000, 3}};
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.channels);
    AudioBuffer in;
    in.sampleRate = c.rate;
    in.channels.assign(size_t(c.channels), {});
    for (int ch = 0; ch < c.channels; ++ch)
      for (int i = 0; i < 257; ++i)
        in.channels[size_t(ch)].push_back(std::sin(0.01f * float(i * (ch + 1))) + (i == 3 ? 1e-42f : 0.0f));
    in.channels[0].push_back(-0.0f);
    for (int ch = 1; ch < c.channels; ++ch)
      in.channels[size_t(ch)].push_back(1.5f); // beyond full scale survives a float file

    std::string error;
    ASSERT_TRUE(WriteAudioFile(Path("out.wav"), in, error)) << error;
    AudioBuffer back;
    ASSERT_TRUE(ReadAudioFile(Path("out.wav"), back, error)) << error;
    EXPECT_EQ(back.sampleRate, c.rate);
    ASSERT_EQ(back.NumChannels(), c.channels);
    for (int ch = 0; ch < c.channels; ++ch)
      ASSERT_EQ(std::memcmp(back.channels[size_t(ch)].data(), in.channels[size_t(ch)].data(), 258 * sizeof(float)), 0);
  }
}

TEST_F(WavFile, StereoFloatHeaderIsTheStandardLayout)
{
  AudioBuffer in;
  in.sampleRate = 48000;
  in.channels.assign(2, std::vector<float>(5, 0.25f));
  std::string error;
  ASSERT_TRUE(WriteAudioFile(Path("out.wav"), in, error)) << error;
  const Bytes b = Load(Path("out.wav"));

  // RIFF, fmt (18 bytes, IEEE float), fact, data
  ASSERT_EQ(b.size(), 12u + 26u + 12u + 8u + 40u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(Get(b, 4, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(Get(b, 16, 4), 18u);
  EXPECT_EQ(Get(b, 20, 2), 3u);
  EXPECT_EQ(Get(b, 22, 2), 2u);
  EXPECT_EQ(Get(b, 24, 4), 48000u);
  EXPECT_EQ(Get(b, 28, 4), 48000u * 8u);
  EXPECT_EQ(Get(b, 32, 2), 8u);
  EXPECT_EQ(Get(b, 34, 2), 32u);
  EXPECT_EQ(Get(b, 36, 2), 0u);
  EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 42), "fact");
  EXPECT_EQ(Get(b, 46, 4), 5u);
  EXPECT_EQ(std::string(b.begin() + 50, b.begin() + 54), "data");
  EXPECT_EQ(Get(b, 54, 4), 40u);
  EXPECT_EQ(Get(b, 58, 4), 0x3E800000u); // 0.25f
}

TEST_F(WavFile, ReadsEveryIntegerAndFloatEncodingToFullScaleFloats)
{
  const struct
  {
    const char* name;
    FmtSpec fmt;
    Bytes samples;
    std::vector<float> expected;
  } cases[] = {
    {"pcm8 is unsigned", {1, 1, 8000, 8}, {0x00, 0x80, 0xC0}, {-1.0f, 0.0f, 0.5f}},
    {"pcm16", {1, 1, 8000, 16}, {0x00, 0x80, 0x00, 0x40, 0xFF, 0xFF}, {-1.0f, 0.5f, -1.0f / 32768}},
    {"pcm24", {1, 1, 8000, 24}, {0x00, 0x00, 0x80, 0x00, 0x00, 0xC0}, {-1.0f, -0.5f}},
    {"pcm32", {1, 1, 8000, 32}, {0x00, 0x00, 0x00, 0x40}, {0.5f}},
    {"float32", {3, 1, 8000, 32}, FloatBytes(-0.75f), {-0.75f}},
    {"float64", {3, 1, 8000, 64}, DoubleBytes(0.125), {0.125f}},
    {"extensible pcm24", {0xFFFE, 1, 8000, 24, 0, 1}, {0x00, 0x00, 0x40}, {0.5f}},
    {"extensible float", {0xFFFE, 1, 8000, 32, 0, 3}, FloatBytes(2.0f), {2.0f}},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    const Bytes list = {'I', 'N', 'F', 'O', 'x'}; // odd-sized, padded
    const std::string path = Store(Riff({Chunk("LIST", list), FmtChunk(c.fmt), Chunk("data", c.samples)}));
    AudioBuffer out;
    std::string error;
    ASSERT_TRUE(ReadAudioFile(path, out, error)) << error;
    EXPECT_EQ(out.sampleRate, 8000);
    ASSERT_EQ(out.NumChannels(), 1);
    EXPECT_EQ(out.channels[0], c.expected);
  }
}

TEST_F(WavFile, StereoFramesAreDeinterleaved)
{
  Bytes samples;
  for (uint32_t v : {0x1000u, 0xF000u, 0x2000u, 0xE000u})
    Put(samples, v, 2);
  const std::string path = Store(Riff({FmtChunk({1, 2, 44100, 16}), Chunk("data", samples)}));
  AudioBuffer out;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(path, out, error)) << error;
  ASSERT_EQ(out.NumChannels(), 2);
  EXPECT_EQ(out.channels[0], (std::vector<float>{0.125f, 0.25f}));
  EXPECT_EQ(out.channels[1], (std::vector<float>{-0.125f, -0.25f}));
}

TEST_F(WavFile, CutOffDataChunkKeepsTheWholeFramesPresent)
{
  Bytes samples;
  for (uint32_t v : {0x1000u, 0x2000u, 0x3000u, 0x4000u, 0x5000u, 0x6000u, 0x7000u})
    Put(samples, v, 2); // three and a half frames
  const std::string path = Store(Riff({FmtChunk({1, 2, 44100, 16}), Chunk("data", samples, 1000)}));
  AudioBuffer out;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(path, out, error)) << error;
  EXPECT_EQ(out.NumFrames(), 3);
}

TEST_F(WavFile, UnreadableFilesFailWithTheirPathInTheMessage)
{
  const Bytes oneSample = {0, 0};
  Bytes shortFmt = FmtChunk({});
  shortFmt.resize(8 + 14);
  shortFmt[4] = 14;
  const struct
  {
    const char* name;
    Bytes bytes;
  } cases[] = {
    {"empty", {}},
    {"big-endian RIFX", [] { Bytes b = Riff({FmtChunk({}), Chunk("data", {0, 0})}); b[3] = 'X'; return b; }()},
    {"no format chunk", Riff({Chunk("data", oneSample)})},
    {"no data chunk", Riff({FmtChunk({})})},
    {"short format chunk", Riff({shortFmt, Chunk("data", oneSample)})},
    {"no channels", Riff({FmtChunk({1, 0, 48000, 16}), Chunk("data", oneSample)})},
    {"rate zero", Riff({FmtChunk({1, 1, 0, 16}), Chunk("data", oneSample)})},
    {"12-bit samples", Riff({FmtChunk({1, 1, 48000, 12}), Chunk("data", oneSample)})},
    {"16-bit float", Riff({FmtChunk({3, 1, 48000, 16}), Chunk("data", oneSample)})},
    {"compressed", Riff({FmtChunk({2, 1, 48000, 16}), Chunk("data", oneSample)})},
    {"block size off", Riff({FmtChunk({1, 2, 48000, 16, 2}), Chunk("data", oneSample)})},
    {"extensible of another kind", Riff({FmtChunk({0xFFFE, 1, 48000, 16, 0, 2}), Chunk("data", oneSample)})},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    const std::string path = Store(c.bytes);
    AudioBuffer out;
    std::string error;
    EXPECT_FALSE(ReadAudioFile(path, out, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  AudioBuffer out;
  std::string error;
  EXPECT_FALSE(ReadAudioFile(Path("missing.wav"), out, error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
}

TEST_F(WavFile, WriteFailsForNoAudioRaggedChannelsOrAnUncreatableFile)
{
  AudioBuffer good;
  good.channels.assign(1, std::vector<float>(4, 0.0f));
  AudioBuffer none;
  AudioBuffer ragged;
  ragged.channels = {std::vector<float>(4), std::vector<float>(3)};
  const struct
  {
    const char* name;
    const AudioBuffer& buffer;
    std::string path;
  } cases[] = {
    {"no channels", none, Path("a.wav")},
    {"ragged channels", ragged, Path("b.wav")},
    {"missing folder", good, Path("no/such/dir/c.wav")},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    std::string error;
    EXPECT_FALSE(WriteAudioFile(c.path, c.buffer, error));
    EXPECT_FALSE(error.empty());
  }
}
