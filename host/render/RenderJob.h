#pragma once
// talven-render's job: its options, what a render gives back, and the command around a renderer (read, render,
// write, report). Two renderers take the same job: the module front end, which loads the built TALVEN module
// through our AAX host, and the engine renderer, which links the plug-in class and drives its processing frame.
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
  std::string modulePath;   // the module to render through
};

struct RenderResult
{
  AudioBuffer output;
  int latency = 0; // as last reported by the plug-in
  std::vector<std::uint8_t> state; // the plug-in's state after rendering
  std::string warning;             // a state that did not load completely
};

// Exit status for bad arguments, files or settings; 1 when rendering or writing fails.
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFailed = 1;

// Renders input as the options say; 0, or the exit status with a message in error. stateIn, when the options
// name a state file, is loaded after initialisation and before the settings; what fails to load is reported in
// result.warning and the render goes on with what did.
using RenderFunction = int (*)(const AudioBuffer& input, const RenderOptions& options, RenderResult& result,
                               std::string& error, const std::vector<std::uint8_t>& stateIn);

// returns 0, or kExitUsage with a message in error; help is set for -h/--help
int ParseRenderArguments(int argc, const char* const* argv, RenderOptions& options, bool& help, std::string& error);

// The whole command: read, render, write, report "latency=N" on out; returns the exit status.
int RunRenderCommand(const RenderOptions& options, RenderFunction render, std::ostream& out, std::ostream& err);

// talven-render's main: the arguments, then the command; options.modulePath starts as defaultModule, and a
// build without a module ("") refuses --module.
int RunRenderTool(int argc, const char* const* argv, RenderFunction render, const std::string& defaultModule);

const char* RenderUsage();

} // namespace talvenhost
