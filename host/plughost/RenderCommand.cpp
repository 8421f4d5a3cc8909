#include "RenderCommand.h"

#include <fstream>
#include <iterator>
#include <ostream>

#include "Commands.h"
#include "Instance.h"
#include "OfflineRender.h"
#include "ParameterThread.h"

namespace plughost {

namespace {

using aaxhost::Instance;
using aaxhost::Module;

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

bool ApplySettings(Instance& instance, const ModuleRenderJob& job, std::string& error)
{
  for (const std::string& setting : job.mSettings)
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
  if (job.mBypass)
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

// state, settings and automation, then the render; returns the exit status
int RenderWith(Instance& instance, const ModuleRenderJob& job, const talvenhost::AudioBuffer& input,
               ModuleRenderResult& result, std::string& error)
{
  if (job.mStateIn && !instance.RestoreChunks(*job.mStateIn, error))
    return kExitUsage;
  aaxhost::OfflineJob offline;
  offline.mBlockSize = job.mBlockSize;
  offline.mRaw = job.mRaw;
  if (!ApplySettings(instance, job, error) ||
      (!job.mAutomate.empty() && !LoadAutomation(instance, job.mAutomate, offline.mChanges, error)))
    return kExitUsage;

  aaxhost::OfflineResult rendered;
  if (!aaxhost::RenderOffline(instance, input.channels, offline, rendered, error))
    return kExitFailed;
  if (rendered.mChangesApplied < offline.mChanges.size())
    result.mNote = std::to_string(offline.mChanges.size() - rendered.mChangesApplied) +
                   " automation changes lie past the end and were not applied";
  if (job.mSaveState && !instance.SaveChunks(result.mState, error))
    return kExitFailed;
  result.mOutput = std::move(rendered.mOutput);
  result.mLatency = rendered.mLatency;
  return 0;
}

} // namespace

void PrintDiagnostics(const aaxhost::HostServices& services, std::ostream& out)
{
  for (const aaxhost::AssertionReport& report : services.Assertions())
    out << "plughost: assertion " << report.mPath << ":" << report.mLine << ": " << report.mCondition << "\n";
  for (const aaxhost::TraceMessage& trace : services.Traces())
    out << "plughost: trace " << aaxhost::HexText(static_cast<uint32_t>(trace.mPriority)) << ": " << trace.mText << "\n";
}

int RenderThroughModule(const talvenhost::AudioBuffer& input, const ModuleRenderJob& job, ModuleRenderResult& result,
                        std::string& error)
{
  aaxhost::LoadOptions options;
  options.mServices = aaxhost::HostRef<aaxhost::HostServices>(new aaxhost::HostServices);
  const aaxhost::HostRef<aaxhost::HostServices> services = options.mServices;
  const std::shared_ptr<Module> module = Module::Load(job.mModulePath, error, std::move(options));
  int status = kExitUsage;
  if (module)
  {
    const int component = FindComponent(module->Description().mEffects.front(), input.NumChannels());
    if (component < 0)
      error = "the effect has no component for " + std::to_string(input.NumChannels()) + " input channels";
    else
    {
      aaxhost::ParameterThread parameterThread;
      aaxhost::InstanceOptions instanceOptions;
      instanceOptions.mComponent = static_cast<std::size_t>(component);
      instanceOptions.mSampleRate = input.sampleRate;
      const std::unique_ptr<Instance> instance = Instance::Create(module, parameterThread, instanceOptions, error);
      status = instance ? RenderWith(*instance, job, input, result, error) : kExitFailed;
    }
  }
  if (job.mDiagnostics)
    PrintDiagnostics(*services.Get(), *job.mDiagnostics);
  return status;
}

} // namespace plughost
