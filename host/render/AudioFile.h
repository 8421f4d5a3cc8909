#pragma once
// Planar float audio and WAV reading/writing: through libsndfile where the build has it, else our own
// RIFF/WAVE code (AudioFile_wav.cpp).
#include <string>
#include <vector>

namespace talvenhost {

struct AudioBuffer
{
  int sampleRate = 48000;
  std::vector<std::vector<float>> channels;

  int NumChannels() const { return static_cast<int>(channels.size()); }
  int NumFrames() const { return channels.empty() ? 0 : static_cast<int>(channels[0].size()); }
};

// returns false with a message in error when the file is missing, unreadable or not audio
bool ReadAudioFile(const std::string& path, AudioBuffer& out, std::string& error);
// writes 32-bit float WAV at the buffer's rate and channel count
bool WriteAudioFile(const std::string& path, const AudioBuffer& in, std::string& error);

} // namespace talvenhost
