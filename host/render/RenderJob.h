#pragma once
// Offline rendering through the plug-in's processing frame, as a host with
// delay compensation would play it back.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "AudioFile.h"

namespace talvenhost {

struct RenderOptions
{
  std::string inputPath;  // empty: the built-in test signal
  std::string outputPath; // empty: render without writing
  std::vector<std::string> settings; // "NAME=VALUE", applied in order
  int blockSize = 512;
  bool raw = false; // keep the plug-in's latency in the output
  std::string stateInPath;  // the plug-in's own state bytes, loaded before any setting
  std::string stateOutPath; // the state after rendering
};

struct RenderResult
{
  AudioBuffer output;
  int latency = 0; // as last reported by the plug-in
  std::vector<std::uint8_t> state; // the plug-in's state after rendering
  std::string warning;             // a state that did not load completely
};

// Exit status for bad arguments, files or settings.
inline constexpr int kExitUsage = 2;

// returns 0, or kExitUsage with a message in error; help is set for -h/--help
int ParseRenderArguments(int argc, const char* const* argv, RenderOptions& options, bool& help, std::string& error);

// Renders input through a new plug-in instance; false with a message when a setting is unknown or does not parse.
// stateIn, when options name a state file, is loaded after initialisation and before the settings; what fails to load
// is reported in result.warning and the render goes on with what did.
bool Render(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
            const std::vector<std::uint8_t>& stateIn = {});

// The whole command: read, render, write, report "latency=N" on out; returns the exit status.
int RunRenderCommand(const RenderOptions& options, std::ostream& out, std::ostream& err);

const char* RenderUsage();

} // namespace talvenhost
