// RIFF/WAVE reading and writing with no library, for builds without libsndfile: reads integer PCM
// (8 to 32 bit) and IEEE float (32 and 64 bit), plain or extensible; writes 32-bit float.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

#include "AudioFile.h"

namespace talvenhost {

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kChunkHeaderBytes = 8;
constexpr size_t kFmtMinBytes = 16;
constexpr size_t kFmtExtensibleBytes = 40;
constexpr size_t kSubFormatOffset = 24; // in the fmt chunk: the GUID whose first two bytes are the format code
constexpr int kMaxChannels = 1024;
// the remaining 14 bytes of every KSDATAFORMAT_SUBTYPE GUID
constexpr std::array<uint8_t, 14> kSubFormatTail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Le(const uint8_t* p, int bytes)
{
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i)
    v = (v << 8) | p[i];
  return v;
}

bool IdIs(const uint8_t* p, const char* id)
{
  return std::memcmp(p, id, 4) == 0;
}

struct WavFormat
{
  uint16_t code = 0; // kFormatPcm or kFormatFloat once resolved
  int channels = 0;
  int sampleRate = 0;
  int containerBytes = 0; // per sample
};

struct Chunk
{
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// the fmt chunk, or an empty text when it describes something this reader decodes
std::string ParseFormat(const Chunk& fmt, WavFormat& format)
{
  if (fmt.size < kFmtMinBytes)
    return "malformed format chunk";
  uint16_t code = static_cast<uint16_t>(Le(fmt.data, 2));
  const uint32_t channels = Le(fmt.data + 2, 2);
  const uint32_t rate = Le(fmt.data + 4, 4);
  const uint32_t blockAlign = Le(fmt.data + 12, 2);
  const uint32_t bits = Le(fmt.data + 14, 2);
  if (code == kFormatExtensible)
  {
    if (fmt.size < kFmtExtensibleBytes ||
        !std::equal(kSubFormatTail.begin(), kSubFormatTail.end(), fmt.data + kSubFormatOffset + 2))
      return "unsupported extensible format";
    code = static_cast<uint16_t>(Le(fmt.data + kSubFormatOffset, 2));
  }
  const bool pcm = code == kFormatPcm && bits >= 8 && bits <= 32 && bits % 8 == 0;
  const bool flt = code == kFormatFloat && (bits == 32 || bits == 64);
  if (!pcm && !flt)
    return "unsupported sample format";
  if (channels < 1 || channels > kMaxChannels || rate < 1 || rate > uint32_t(std::numeric_limits<int>::max()))
    return "no audio";
  if (blockAlign != channels * (bits / 8))
    return "inconsistent block size";
  format = {code, int(channels), int(rate), int(bits / 8)};
  return {};
}

float DecodeSample(const uint8_t* p, const WavFormat& f)
{
  if (f.code == kFormatFloat)
  {
    if (f.containerBytes == 8)
    {
      uint64_t bitsOf = uint64_t(Le(p + 4, 4)) << 32 | Le(p, 4);
      double d;
      std::memcpy(&d, &bitsOf, sizeof d);
      return static_cast<float>(d);
    }
    const uint32_t bitsOf = Le(p, 4);
    float v;
    std::memcpy(&v, &bitsOf, sizeof v);
    return v;
  }
  if (f.containerBytes == 1) // 8-bit WAV is unsigned
    return (float(p[0]) - 128.0f) / 128.0f;
  const int shift = 32 - 8 * f.containerBytes;
  const auto s = static_cast<int32_t>(Le(p, f.containerBytes) << shift);
  return static_cast<float>(s / 2147483648.0);
}

bool ReadFileBytes(const std::string& path, Bytes& bytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

// finds fmt and data among the chunks; the RIFF size is not trusted, streamed writers leave it unset
std::string FindChunks(const Bytes& bytes, Chunk& fmt, Chunk& data)
{
  if (bytes.size() < 12 || !IdIs(bytes.data(), "RIFF") || !IdIs(bytes.data() + 8, "WAVE"))
    return "not a RIFF/WAVE file";
  size_t pos = 12;
  while (pos + kChunkHeaderBytes <= bytes.size())
  {
    const uint8_t* header = bytes.data() + pos;
    const size_t available = bytes.size() - pos - kChunkHeaderBytes;
    const size_t size = std::min<size_t>(Le(header + 4, 4), available); // a cut-off file keeps what is there
    const Chunk chunk{header + kChunkHeaderBytes, size};
    if (IdIs(header, "fmt ") && !fmt.data)
      fmt = chunk;
    else if (IdIs(header, "data") && !data.data)
      data = chunk;
    pos += kChunkHeaderBytes + size + (size & 1);
  }
  if (!fmt.data)
    return "no format chunk";
  if (!data.data)
    return "no data chunk";
  return {};
}

void PutLe(Bytes& out, uint32_t v, int bytes)
{
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutId(Bytes& out, const char* id)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<uint8_t>(id[i]));
}

constexpr int kFloatBytes = 4;
constexpr uint32_t kFmtFloatBytes = 18;
constexpr uint16_t kExtensibleExtraBytes = 22;

// more than two channels needs the extensible format; the channel mask stays unassigned
void PutFormatChunk(Bytes& out, int channels, int sampleRate)
{
  const bool extensible = channels > 2;
  PutId(out, "fmt ");
  PutLe(out, extensible ? uint32_t(kFmtExtensibleBytes) : kFmtFloatBytes, 4);
  PutLe(out, extensible ? kFormatExtensible : kFormatFloat, 2);
  PutLe(out, uint32_t(channels), 2);
  PutLe(out, uint32_t(sampleRate), 4);
  PutLe(out, uint32_t(sampleRate) * uint32_t(channels * kFloatBytes), 4);
  PutLe(out, uint32_t(channels * kFloatBytes), 2);
  PutLe(out, 8 * kFloatBytes, 2);
  PutLe(out, extensible ? kExtensibleExtraBytes : 0, 2);
  if (!extensible)
    return;
  PutLe(out, 8 * kFloatBytes, 2);
  PutLe(out, 0, 4);
  PutLe(out, kFormatFloat, 2);
  out.insert(out.end(), kSubFormatTail.begin(), kSubFormatTail.end());
}

} // namespace

bool ReadAudioFile(const std::string& path, AudioBuffer& out, std::string& error)
{
  Bytes bytes;
  if (!ReadFileBytes(path, bytes))
  {
    error = "cannot read '" + path + "': no such file or not readable";
    return false;
  }
  Chunk fmt, data;
  WavFormat format;
  std::string problem = FindChunks(bytes, fmt, data);
  if (problem.empty())
    problem = ParseFormat(fmt, format);
  if (!problem.empty())
  {
    error = "cannot read '" + path + "': " + problem;
    return false;
  }

  const size_t frameBytes = size_t(format.channels) * size_t(format.containerBytes);
  const size_t frames = data.size / frameBytes;
  if (frames > size_t(std::numeric_limits<int>::max()))
  {
    error = "cannot read '" + path + "': too long";
    return false;
  }
  out.sampleRate = format.sampleRate;
  out.channels.assign(size_t(format.channels), std::vector<float>(frames));
  const uint8_t* p = data.data;
  for (size_t i = 0; i < frames; ++i)
    for (auto& channel : out.channels)
    {
      channel[i] = DecodeSample(p, format);
      p += format.containerBytes;
    }
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioBuffer& in, std::string& error)
{
  const int channels = in.NumChannels();
  const auto sameLength = [&](const std::vector<float>& c) { return int(c.size()) == in.NumFrames(); };
  if (channels < 1 || channels > kMaxChannels || in.sampleRate < 1 ||
      !std::all_of(in.channels.begin(), in.channels.end(), sameLength))
  {
    error = "cannot write '" + path + "': no audio to write";
    return false;
  }
  const uint64_t dataBytes = uint64_t(in.NumFrames()) * uint64_t(channels) * kFloatBytes;
  // RIFF sizes are 32-bit: the whole file must fit, headers included
  if (dataBytes > std::numeric_limits<uint32_t>::max() - 1024u)
  {
    error = "cannot write '" + path + "': too long for a WAV file";
    return false;
  }

  Bytes header;
  PutId(header, "RIFF");
  PutLe(header, 0, 4); // patched below
  PutId(header, "WAVE");
  PutFormatChunk(header, channels, in.sampleRate);
  PutId(header, "fact");
  PutLe(header, 4, 4);
  PutLe(header, uint32_t(in.NumFrames()), 4);
  PutId(header, "data");
  PutLe(header, uint32_t(dataBytes), 4);
  const uint32_t riffSize = uint32_t(header.size() - kChunkHeaderBytes + dataBytes);
  for (int i = 0; i < 4; ++i)
    header[4 + size_t(i)] = static_cast<uint8_t>(riffSize >> (8 * i));

  Bytes samples;
  samples.reserve(size_t(dataBytes));
  for (int i = 0; i < in.NumFrames(); ++i)
    for (const auto& channel : in.channels)
    {
      uint32_t bitsOf;
      std::memcpy(&bitsOf, &channel[size_t(i)], sizeof bitsOf);
      PutLe(samples, bitsOf, kFloatBytes);
    }

  std::ofstream outFile(path, std::ios::binary | std::ios::trunc);
  if (!outFile)
  {
    error = "cannot write '" + path + "': cannot create the file";
    return false;
  }
  outFile.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
  outFile.write(reinterpret_cast<const char*>(samples.data()), std::streamsize(samples.size()));
  outFile.close();
  if (!outFile)
  {
    error = "error writing '" + path + "'";
    return false;
  }
  return true;
}

} // namespace talvenhost
