#include "AudioFile.h"

#include <memory>

#include <sndfile.h>

namespace talvenhost {

namespace {

struct FileCloser
{
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using FileHandle = std::unique_ptr<SNDFILE, FileCloser>;

constexpr sf_count_t kReadChunkFrames = 65536;

} // namespace

bool ReadAudioFile(const std::string& path, AudioBuffer& out, std::string& error)
{
  SF_INFO info{};
  FileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file)
  {
    error = "cannot read '" + path + "': " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels < 1 || info.samplerate <= 0)
  {
    error = "'" + path + "' has no audio";
    return false;
  }

  out.sampleRate = info.samplerate;
  out.channels.assign(static_cast<size_t>(info.channels), {});
  std::vector<float> chunk(static_cast<size_t>(kReadChunkFrames * info.channels));
  for (;;)
  {
    const sf_count_t got = sf_readf_float(file.get(), chunk.data(), kReadChunkFrames);
    if (got <= 0)
      break;
    for (sf_count_t i = 0; i < got; ++i)
      for (int c = 0; c < info.channels; ++c)
        out.channels[static_cast<size_t>(c)].push_back(chunk[static_cast<size_t>(i * info.channels + c)]);
  }
  if (sf_error(file.get()) != SF_ERR_NO_ERROR)
  {
    error = "error reading '" + path + "': " + sf_strerror(file.get());
    return false;
  }
  return true;
}

bool WriteAudioFile(const std::string& path, const AudioBuffer& in, std::string& error)
{
  SF_INFO info{};
  info.samplerate = in.sampleRate;
  info.channels = in.NumChannels();
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  FileHandle file(sf_open(path.c_str(), SFM_WRITE, &info));
  if (!file)
  {
    error = "cannot write '" + path + "': " + sf_strerror(nullptr);
    return false;
  }

  const int nch = in.NumChannels();
  const int frames = in.NumFrames();
  std::vector<float> interleaved(static_cast<size_t>(frames) * static_cast<size_t>(nch));
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < nch; ++c)
      interleaved[static_cast<size_t>(i * nch + c)] = in.channels[static_cast<size_t>(c)][static_cast<size_t>(i)];
  if (sf_writef_float(file.get(), interleaved.data(), frames) != frames)
  {
    error = "error writing '" + path + "': " + sf_strerror(file.get());
    return false;
  }
  return true;
}

} // namespace talvenhost
