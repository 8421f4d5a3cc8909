#include "Commands.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>

#include "AudioFile.h"
#include "Describe.h"
#include "Instance.h"
#include "ParameterThread.h"
#include "RenderCommand.h"
#include "TestSignal.h"

namespace plughost {

namespace {

using aaxhost::Instance;
using aaxhost::Module;

constexpr int kMaxBlockSize = 1 << 20;

struct Option
{
  const char* mName;
  bool mTakesValue;
  std::function<bool(const std::string& value, std::string& error)> mApply;
};

// options in any order around one positional MODULE; returns 0 or kExitUsage with a message
int ParseOptions(const std::vector<std::string>& args, const std::vector<Option>& options, std::string& module,
                 std::string& error)
{
  for (std::size_t i = 0; i < args.size(); ++i)
  {
    const std::string& arg = args[i];
    const Option* option = nullptr;
    for (const Option& candidate : options)
      if (arg == candidate.mName)
        option = &candidate;
    if (!option)
    {
      if (!arg.empty() && arg[0] == '-')
        error = "unknown option '" + arg + "'";
      else if (!module.empty())
        error = "more than one module: '" + module + "' and '" + arg + "'";
      else
      {
        module = arg;
        continue;
      }
      return kExitUsage;
    }
    if (option->mTakesValue && i + 1 >= args.size())
    {
      error = "missing value after " + arg;
      return kExitUsage;
    }
    const std::string value = option->mTakesValue ? args[++i] : std::string();
    if (!option->mApply(value, error))
      return kExitUsage;
  }
  if (module.empty())
  {
    error = "no module given";
    return kExitUsage;
  }
  return 0;
}

Option Flag(const char* name, bool& target)
{
  return {name, false, [&target](const std::string&, std::string&) {
            target = true;
            return true;
          }};
}

Option Text(const char* name, std::string& target)
{
  return {name, true, [&target](const std::string& value, std::string&) {
            target = value;
            return true;
          }};
}

int Fail(std::ostream& err, const std::string& message, int status)
{
  err << "plughost: " << message << "\n";
  return status;
}

// the loaded module, or null after printing why
std::shared_ptr<Module> LoadModule(const std::string& path, bool verbose, std::ostream& err)
{
  aaxhost::LoadOptions options;
  options.mServices = aaxhost::HostRef<aaxhost::HostServices>(new aaxhost::HostServices);
  const aaxhost::HostRef<aaxhost::HostServices> services = options.mServices;
  std::string error;
  std::shared_ptr<Module> module = Module::Load(path, error, std::move(options));
  if (!module)
  {
    err << "plughost: " << error << "\n";
    if (verbose)
      PrintDiagnostics(*services.Get(), err);
  }
  return module;
}

bool ParseBlockSize(const std::string& text, int32_t& blockSize, std::string& error)
{
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > kMaxBlockSize)
  {
    error = "--block needs a whole number from 1 to " + std::to_string(kMaxBlockSize);
    return false;
  }
  blockSize = static_cast<int32_t>(value);
  return true;
}

// the files around a render: input, state in and out, output. Returns the exit status.
int RenderFiles(ModuleRenderJob& job, const std::string& inputPath, const std::string& outputPath,
                const std::string& stateIn, const std::string& stateOut, std::ostream& out, std::ostream& err)
{
  std::string error;
  talvenhost::AudioBuffer input;
  if (inputPath.empty())
    input = talvenhost::MakeDefaultTestSignal();
  else if (!talvenhost::ReadAudioFile(inputPath, input, error))
    return Fail(err, error, kExitUsage);
  if (!stateIn.empty())
  {
    job.mStateIn.emplace();
    if (!aaxhost::ReadChunkFile(stateIn, *job.mStateIn, error))
      return Fail(err, error, kExitUsage);
  }
  job.mSaveState = !stateOut.empty();

  ModuleRenderResult result;
  if (const int status = RenderThroughModule(input, job, result, error); status != 0)
    return Fail(err, error, status);
  if (!result.mNote.empty())
    err << "plughost: " << result.mNote << "\n";
  if (!stateOut.empty() && !aaxhost::WriteChunkFile(stateOut, result.mState, error))
    return Fail(err, error, kExitFailed);
  talvenhost::AudioBuffer output;
  output.sampleRate = input.sampleRate;
  output.channels = std::move(result.mOutput);
  if (!outputPath.empty() && !talvenhost::WriteAudioFile(outputPath, output, error))
    return Fail(err, error, kExitFailed);
  out << "latency=" << result.mLatency << "\n";
  return 0;
}

} // namespace

const char* Usage()
{
  return "usage: plughost describe MODULE [--json] [--verbose]\n"
         "       plughost render MODULE [-i IN.wav] [-o OUT.wav] [--set \"NAME=VALUE\"]... [--block N] [--raw]\n"
         "                      [--state-in FILE] [--state-out FILE] [--bypass] [--automate FILE] [--verbose]\n"
         "  MODULE              a module binary or its NAME.aaxplugin bundle directory\n"
         "  --json              describe as JSON (keys effect, components, parameters)\n"
         "  -i IN.wav           input (default: built-in 2 s stereo 48 kHz test signal); picks the component\n"
         "                      with as many inputs as the file has channels\n"
         "  -o OUT.wav          32-bit float output at the input's rate\n"
         "  --set NAME=VALUE    a host parameter by name, the value as its display text (repeatable)\n"
         "  --block N           block size in frames (default 512)\n"
         "  --raw               keep the effect's latency instead of aligning the output with the input\n"
         "  --state-in FILE     restore host chunks saved by --state-out before rendering\n"
         "  --state-out FILE    save the effect's chunks after rendering\n"
         "  --bypass            switch the effect's master bypass on\n"
         "  --automate FILE     lines \"SAMPLE NAME VALUE\", applied before the block containing SAMPLE\n"
         "  --verbose           print the module's assertion reports and traces\n";
}

int RunDescribe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
  bool json = false;
  bool verbose = false;
  std::string path;
  std::string error;
  if (ParseOptions(args, {Flag("--json", json), Flag("--verbose", verbose)}, path, error) != 0)
  {
    err << "plughost: " << error << "\n" << Usage();
    return kExitUsage;
  }
  const std::shared_ptr<Module> module = LoadModule(path, verbose, err);
  if (!module)
    return kExitUsage;
  int status = 0;
  {
    aaxhost::ParameterThread parameterThread;
    const std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, {}, error);
    if (instance)
      out << (json ? DescribeJson(*module, *instance) : DescribeText(*module, *instance));
    else
      status = Fail(err, error, kExitFailed);
  }
  if (verbose)
    PrintDiagnostics(module->Services(), err);
  return status;
}

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
  ModuleRenderJob job;
  std::string input, output, stateIn, stateOut;
  bool verbose = false;
  std::string error;
  const std::vector<Option> specs{
    Text("-i", input),
    Text("-o", output),
    {"--set", true,
     [&job](const std::string& value, std::string&) {
       job.mSettings.push_back(value);
       return true;
     }},
    {"--block", true, [&job](const std::string& value, std::string& e) { return ParseBlockSize(value, job.mBlockSize, e); }},
    Flag("--raw", job.mRaw),
    Text("--state-in", stateIn),
    Text("--state-out", stateOut),
    Flag("--bypass", job.mBypass),
    Text("--automate", job.mAutomate),
    Flag("--verbose", verbose),
  };
  if (ParseOptions(args, specs, job.mModulePath, error) != 0)
  {
    err << "plughost: " << error << "\n" << Usage();
    return kExitUsage;
  }
  if (verbose)
    job.mDiagnostics = &err;
  return RenderFiles(job, input, output, stateIn, stateOut, out, err);
}

} // namespace plughost
