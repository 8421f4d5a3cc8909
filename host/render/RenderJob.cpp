#include "RenderJob.h"

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "TestSignal.h"

namespace talvenhost {

namespace {

constexpr int kMaxBlockSize = 1 << 20;

bool ReadBytes(const std::string& path, std::vector<std::uint8_t>& bytes)
{
  std::ifstream f(path, std::ios::binary);
  if (!f)
    return false;
  bytes.assign(std::istreambuf_iterator<char>(f), {});
  return !f.bad();
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

bool ParseInt(const char* text, int& out)
{
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 1 || v > kMaxBlockSize)
    return false;
  out = static_cast<int>(v);
  return true;
}

} // namespace

const char* RenderUsage()
{
  return "usage: talven-render [-i IN.wav] [-o OUT.wav] [--set \"NAME=VALUE\"]... [--block N] [--raw]\n"
         "                     [--state-in FILE] [--state-out FILE] [--module PATH]\n"
         "  -i IN.wav          mono or stereo input at any rate (default: built-in 2 s stereo 48 kHz test signal)\n"
         "  -o OUT.wav         32-bit float output, same rate and channel count\n"
         "  --set NAME=VALUE   a parameter by name, a number or a display text (repeatable, applied in order)\n"
         "  --block N          block size in frames (default 512)\n"
         "  --raw              keep the plug-in's latency instead of aligning the output with the input\n"
         "  --state-in FILE    load the plug-in's state bytes before the settings\n"
         "  --state-out FILE   save the plug-in's state bytes after rendering\n"
         "  --module PATH      the TALVEN module to render through (default: the one built beside this tool)\n"
         "Renders through the module as an AAX host does. Blocks longer than 512 frames make the plug-in reset\n"
         "its engine before the first one, so the settings apply at once instead of gliding from the defaults.\n";
}

int ParseRenderArguments(int argc, const char* const* argv, RenderOptions& options, bool& help, std::string& error)
{
  help = false;
  for (int i = 1; i < argc; ++i)
  {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help")
      help = true;
    else if (arg == "--raw")
      options.raw = true;
    else if ((arg == "-i" || arg == "-o" || arg == "--set" || arg == "--block" || arg == "--state-in" ||
              arg == "--state-out" || arg == "--module") &&
             !hasValue)
    {
      error = "missing value after " + arg;
      return kExitUsage;
    }
    else if (arg == "-i")
      options.inputPath = argv[++i];
    else if (arg == "-o")
      options.outputPath = argv[++i];
    else if (arg == "--set")
      options.settings.push_back(argv[++i]);
    else if (arg == "--state-in")
      options.stateInPath = argv[++i];
    else if (arg == "--state-out")
      options.stateOutPath = argv[++i];
    else if (arg == "--module")
      options.modulePath = argv[++i];
    else if (arg == "--block")
    {
      if (!ParseInt(argv[++i], options.blockSize))
      {
        error = std::string("--block needs a whole number from 1 to ") + std::to_string(kMaxBlockSize);
        return kExitUsage;
      }
    }
    else
    {
      error = "unknown argument '" + arg + "'";
      return kExitUsage;
    }
  }
  return 0;
}

int RunRenderCommand(const RenderOptions& options, RenderFunction render, std::ostream& out, std::ostream& err)
{
  AudioBuffer input;
  std::string error;
  if (options.inputPath.empty())
    input = MakeDefaultTestSignal();
  else if (!ReadAudioFile(options.inputPath, input, error))
  {
    err << "talven-render: " << error << "\n";
    return kExitUsage;
  }

  std::vector<std::uint8_t> stateIn;
  if (!options.stateInPath.empty() && !ReadBytes(options.stateInPath, stateIn))
  {
    err << "talven-render: cannot read state '" << options.stateInPath << "'\n";
    return kExitUsage;
  }

  RenderResult result;
  if (const int status = render(input, options, result, error, stateIn); status != 0)
  {
    err << "talven-render: " << error << "\n";
    return status;
  }
  if (!result.warning.empty())
    err << "talven-render: " << options.stateInPath << ": " << result.warning << "\n";
  if (!options.outputPath.empty() && !WriteAudioFile(options.outputPath, result.output, error))
  {
    err << "talven-render: " << error << "\n";
    return kExitFailed;
  }
  if (!options.stateOutPath.empty() && !WriteBytes(options.stateOutPath, result.state))
  {
    err << "talven-render: cannot write state '" << options.stateOutPath << "'\n";
    return kExitFailed;
  }
  out << "latency=" << result.latency << "\n";
  return 0;
}

int RunRenderTool(int argc, const char* const* argv, RenderFunction render, const std::string& defaultModule)
{
  RenderOptions options;
  options.modulePath = defaultModule;
  bool help = false;
  std::string error;
  if (ParseRenderArguments(argc, argv, options, help, error) == 0 && defaultModule.empty() &&
      !options.modulePath.empty())
    error = "--module: this build renders through the linked engine, not through a module";
  if (!error.empty())
  {
    std::cerr << "talven-render: " << error << "\n" << RenderUsage();
    return kExitUsage;
  }
  if (help)
  {
    std::cout << RenderUsage();
    return 0;
  }
  return RunRenderCommand(options, render, std::cout, std::cerr);
}

} // namespace talvenhost
