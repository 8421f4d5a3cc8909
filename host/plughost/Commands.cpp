#include "Commands.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>

#include "AudioFile.h"
#include "Describe.h"
#include "Instance.h"
#include "OfflineRender.h"
#include "ParameterThread.h"
#include "TestSignal.h"

namespace plughost {

namespace {

using aaxhost::Instance;
using aaxhost::Module;

constexpr int kExitFailed = 1;
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

void PrintDiagnostics(const aaxhost::HostServices& services, std::ostream& err)
{
  for (const aaxhost::AssertionReport& report : services.Assertions())
    err << "plughost: assertion " << report.mPath << ":" << report.mLine << ": " << report.mCondition << "\n";
  for (const aaxhost::TraceMessage& trace : services.Traces())
    err << "plughost: trace " << aaxhost::HexText(static_cast<uint32_t>(trace.mPriority)) << ": " << trace.mText << "\n";
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

// ---- render

struct RenderOptions
{
  std::string mInput;
  std::string mOutput;
  std::vector<std::string> mSettings;
  int mBlockSize = 512;
  bool mRaw = false;
  std::string mStateIn;
  std::string mStateOut;
  bool mBypass = false;
  std::string mAutomate;
  bool mVerbose = false;
};

bool ParseBlockSize(const std::string& text, int& blockSize, std::string& error)
{
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < 1 || value > kMaxBlockSize)
  {
    error = "--block needs a whole number from 1 to " + std::to_string(kMaxBlockSize);
    return false;
  }
  blockSize = static_cast<int>(value);
  return true;
}

std::string Trim(const std::string& text)
{
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// a parameter's identifier and normalised value from its name and a display text
bool Resolve(const Instance& instance, const std::string& name, const std::string& text, std::string& id,
             double& value, std::string& error)
{
  if (!instance.FindParameterByName(name, id))
  {
    error = "unknown parameter '" + name + "'";
    return false;
  }
  if (!instance.NormalizedFromText(id, text, value))
  {
    error = "parameter '" + name + "': cannot parse value '" + text + "'";
    return false;
  }
  return true;
}

bool ApplySettings(Instance& instance, const RenderOptions& options, std::string& error)
{
  for (const std::string& setting : options.mSettings)
  {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos)
    {
      error = "--set needs NAME=VALUE, not \"" + setting + "\"";
      return false;
    }
    std::string id;
    double value = 0.0;
    if (!Resolve(instance, Trim(setting.substr(0, equals)), Trim(setting.substr(equals + 1)), id, value, error))
      return false;
    instance.SendHostUpdate(id, value);
  }
  if (options.mBypass)
  {
    std::string id;
    if (!instance.MasterBypassID(id))
    {
      error = "the effect has no master bypass";
      return false;
    }
    instance.SendHostUpdate(id, 1.0);
  }
  instance.WaitForParameterThread();
  return true;
}

bool LoadAutomation(const Instance& instance, const std::string& path, std::vector<aaxhost::ParameterChange>& changes,
                    std::string& error)
{
  std::ifstream file(path);
  if (!file)
  {
    error = "cannot read automation file '" + path + "'";
    return false;
  }
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::vector<std::string> names;
  for (const aaxhost::ParameterInfo& parameter : instance.ListParameters())
    names.push_back(parameter.mName);
  std::vector<aaxhost::AutomationLine> lines;
  if (!aaxhost::ParseAutomation(text, names, lines, error))
  {
    error = path + ": " + error;
    return false;
  }
  for (const aaxhost::AutomationLine& line : lines)
  {
    aaxhost::ParameterChange change{line.mSample, {}, 0.0};
    if (!Resolve(instance, line.mName, line.mValue, change.mID, change.mValue, error))
    {
      error = path + ": line " + std::to_string(line.mLine) + ": " + error;
      return false;
    }
    changes.push_back(std::move(change));
  }
  return true;
}

// the first component that takes `channels` inputs, or -1
int FindComponent(const aaxhost::EffectDescription& effect, int channels)
{
  for (std::size_t i = 0; i < effect.mComponents.size(); ++i)
    if (AAX_StemFormatChannelCount(effect.mComponents[i].InputStemFormat()) == channels)
      return static_cast<int>(i);
  return -1;
}

// prepares the instance: state, settings, bypass; then renders and writes. Returns the exit status.
int RenderWith(Instance& instance, const RenderOptions& options, const talvenhost::AudioBuffer& input, std::ostream& out,
               std::ostream& err)
{
  std::string error;
  std::vector<aaxhost::HostChunk> chunks;
  if (!options.mStateIn.empty() &&
      (!aaxhost::ReadChunkFile(options.mStateIn, chunks, error) || !instance.RestoreChunks(chunks, error)))
    return Fail(err, error, kExitUsage);
  aaxhost::OfflineJob job;
  job.mBlockSize = options.mBlockSize;
  job.mRaw = options.mRaw;
  if (!ApplySettings(instance, options, error) ||
      (!options.mAutomate.empty() && !LoadAutomation(instance, options.mAutomate, job.mChanges, error)))
    return Fail(err, error, kExitUsage);

  aaxhost::OfflineResult result;
  if (!aaxhost::RenderOffline(instance, input.channels, job, result, error))
    return Fail(err, error, kExitFailed);
  if (result.mChangesApplied < job.mChanges.size())
    err << "plughost: " << job.mChanges.size() - result.mChangesApplied
        << " automation changes lie past the end and were not applied\n";

  if (!options.mStateOut.empty() &&
      (!instance.SaveChunks(chunks, error) || !aaxhost::WriteChunkFile(options.mStateOut, chunks, error)))
    return Fail(err, error, kExitFailed);
  talvenhost::AudioBuffer output;
  output.sampleRate = input.sampleRate;
  output.channels = std::move(result.mOutput);
  if (!options.mOutput.empty() && !talvenhost::WriteAudioFile(options.mOutput, output, error))
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
  RenderOptions options;
  std::string path;
  std::string error;
  const std::vector<Option> specs{
    Text("-i", options.mInput),
    Text("-o", options.mOutput),
    {"--set", true,
     [&options](const std::string& value, std::string&) {
       options.mSettings.push_back(value);
       return true;
     }},
    {"--block", true,
     [&options](const std::string& value, std::string& e) { return ParseBlockSize(value, options.mBlockSize, e); }},
    Flag("--raw", options.mRaw),
    Text("--state-in", options.mStateIn),
    Text("--state-out", options.mStateOut),
    Flag("--bypass", options.mBypass),
    Text("--automate", options.mAutomate),
    Flag("--verbose", options.mVerbose),
  };
  if (ParseOptions(args, specs, path, error) != 0)
  {
    err << "plughost: " << error << "\n" << Usage();
    return kExitUsage;
  }

  talvenhost::AudioBuffer input;
  if (options.mInput.empty())
    input = talvenhost::MakeDefaultTestSignal();
  else if (!talvenhost::ReadAudioFile(options.mInput, input, error))
    return Fail(err, error, kExitUsage);

  const std::shared_ptr<Module> module = LoadModule(path, options.mVerbose, err);
  if (!module)
    return kExitUsage;
  const int component = FindComponent(module->Description().mEffects.front(), input.NumChannels());
  if (component < 0)
    return Fail(err, "the effect has no component for " + std::to_string(input.NumChannels()) + " input channels",
                kExitUsage);
  int status = 0;
  {
    aaxhost::ParameterThread parameterThread;
    aaxhost::InstanceOptions instanceOptions;
    instanceOptions.mComponent = static_cast<std::size_t>(component);
    instanceOptions.mSampleRate = input.sampleRate;
    const std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, instanceOptions, error);
    status = instance ? RenderWith(*instance, options, input, out, err) : Fail(err, error, kExitFailed);
  }
  if (options.mVerbose)
    PrintDiagnostics(module->Services(), err);
  return status;
}

} // namespace plughost
