#include "RenderJob.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <strings.h>

#include "TALVEN.h"
#include "TestSignal.h"

namespace talvenhost {

namespace {

using iplug::ERouteDirection;
using iplug::IParam;
using talven::TALVEN;

constexpr int kMaxChannels = 2;
constexpr int kMaxBlockSize = 1 << 20;

struct ParamSetting
{
  int index;
  double value;
};

std::string Trim(const std::string& s)
{
  const size_t b = s.find_first_not_of(" \t");
  const size_t e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

int FindParamByName(const TALVEN& plug, const std::string& name)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam* p = plug.GetParam(i);
    if (p->GetKind() != iplug::eKindNone && name == p->Name())
      return i;
  }
  return -1;
}

// A value is a display text, or a number optionally followed by the unit label.
bool ParseSettingValue(const IParam& param, const std::string& text, double& value)
{
  double fromText = 0.0;
  if (param.ValueForDisplayText(text.c_str(), fromText))
  {
    value = fromText;
    return true;
  }
  if (param.GetKind() == iplug::eKindBool || param.GetKind() == iplug::eKindEnum)
    return false;

  const char* start = text.c_str();
  char* end = nullptr;
  const double number = std::strtod(start, &end);
  if (end == start || !std::isfinite(number))
    return false;
  const std::string rest = Trim(end);
  if (!rest.empty() && strcasecmp(rest.c_str(), param.Label()) != 0)
    return false;
  value = param.ParseValue(text.c_str());
  return true;
}

bool ResolveSettings(const TALVEN& plug, const std::vector<std::string>& settings, std::vector<ParamSetting>& out,
                     std::string& error)
{
  for (const std::string& s : settings)
  {
    const size_t eq = s.find('=');
    const std::string name = Trim(s.substr(0, eq));
    const int index = FindParamByName(plug, name);
    if (eq == std::string::npos || index < 0)
    {
      error = "unknown parameter '" + name + "' in --set \"" + s + "\"";
      return false;
    }
    const std::string valueText = Trim(s.substr(eq + 1));
    double value = 0.0;
    if (!ParseSettingValue(*plug.GetParam(index), valueText, value))
    {
      error = "parameter '" + name + "': cannot parse value '" + valueText + "'";
      return false;
    }
    out.push_back({index, value});
  }
  return true;
}

void Prepare(TALVEN& plug, int sampleRate, int numChannels, int blockSize)
{
  plug.SetSampleRate(sampleRate);
  for (ERouteDirection dir : {ERouteDirection::eRouteInput, ERouteDirection::eRouteOutput})
  {
    plug.ConnectChannels(dir, 0, numChannels, true);
    plug.ConnectChannels(dir, numChannels, kMaxChannels - numChannels, false);
  }
  plug.CreateLatencyDelay(TALVEN::kMaxLatency);
  plug.ChangeBlockSize(blockSize);
  plug.ResetProcessing();
}

// Renders `frames` frames starting at `offset` of the input (silence past its end).
void RenderFrames(TALVEN& plug, const AudioBuffer& input, int totalFrames, int blockSize, AudioBuffer& output)
{
  const int nch = input.NumChannels();
  std::vector<std::vector<float>> inBlock(static_cast<size_t>(nch), std::vector<float>(static_cast<size_t>(blockSize)));
  std::vector<float*> inPtrs(static_cast<size_t>(nch));
  std::vector<float*> outPtrs(static_cast<size_t>(nch));
  output.channels.assign(static_cast<size_t>(nch), std::vector<float>(static_cast<size_t>(totalFrames)));

  for (int pos = 0; pos < totalFrames; pos += blockSize)
  {
    const int n = std::min(blockSize, totalFrames - pos);
    for (int c = 0; c < nch; ++c)
    {
      const std::vector<float>& src = input.channels[static_cast<size_t>(c)];
      float* dst = inBlock[static_cast<size_t>(c)].data();
      for (int i = 0; i < n; ++i)
        dst[i] = pos + i < input.NumFrames() ? src[static_cast<size_t>(pos + i)] : 0.0f;
      inPtrs[static_cast<size_t>(c)] = dst;
      outPtrs[static_cast<size_t>(c)] = output.channels[static_cast<size_t>(c)].data() + pos;
    }
    plug.AttachHostBuffers(ERouteDirection::eRouteInput, 0, nch, inPtrs.data(), n);
    plug.AttachHostBuffers(ERouteDirection::eRouteOutput, 0, nch, outPtrs.data(), n);
    plug.RunBlock(n);
  }
}

void LoadStateBytes(TALVEN& plug, const std::vector<std::uint8_t>& bytes, std::string& warning)
{
  iplug::IDataChunk chunk;
  chunk.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
  const int end = plug.LoadState(chunk, 0);
  if (end < 0)
    warning = "the state did not load completely; rendering with what did";
  else if (end != chunk.Size())
    warning = "the state has " + std::to_string(chunk.Size() - end) + " bytes more than the plug-in reads";
}

void SaveStateBytes(const TALVEN& plug, std::vector<std::uint8_t>& bytes)
{
  iplug::IDataChunk chunk;
  if (!plug.SaveState(chunk))
    return;
  bytes.assign(chunk.Data(), chunk.Data() + chunk.Size());
}

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
         "  -i IN.wav          mono or stereo input at any rate (default: built-in 2 s stereo 48 kHz test signal)\n"
         "  -o OUT.wav         32-bit float output, same rate and channel count\n"
         "  --set NAME=VALUE   a parameter by name, a number or a display text (repeatable, applied in order)\n"
         "  --block N          block size in frames (default 512)\n"
         "  --raw              keep the plug-in's latency instead of aligning the output with the input\n"
         "  --state-in FILE    load the plug-in's state bytes before the settings\n"
         "  --state-out FILE   save the plug-in's state bytes after rendering\n";
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
              arg == "--state-out") &&
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

bool Render(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
            const std::vector<std::uint8_t>& stateIn)
{
  const int nch = input.NumChannels();
  if (nch < 1 || nch > kMaxChannels)
  {
    error = "the plug-in takes mono or stereo, not " + std::to_string(nch) + " channels";
    return false;
  }

  auto plug = std::make_unique<TALVEN>();
  std::vector<ParamSetting> settings;
  if (!ResolveSettings(*plug, options.settings, settings, error))
    return false;

  Prepare(*plug, input.sampleRate, nch, options.blockSize);
  if (!options.stateInPath.empty())
    LoadStateBytes(*plug, stateIn, result.warning);
  // As host parameter changes after initialisation: the smoothers glide from the defaults.
  for (const ParamSetting& s : settings)
    plug->SetParamFromHost(s.index, s.value, false);

  const int frames = input.NumFrames();
  AudioBuffer rendered;
  RenderFrames(*plug, input, frames, options.blockSize, rendered);
  result.latency = plug->GetLatency();
  SaveStateBytes(*plug, result.state);

  result.output.sampleRate = input.sampleRate;
  if (options.raw || result.latency <= 0)
  {
    result.output.channels = std::move(rendered.channels);
    return true;
  }

  // Flush the tail through a continuation of the same run, then drop the latency.
  AudioBuffer tail;
  AudioBuffer silence;
  silence.sampleRate = input.sampleRate;
  silence.channels.assign(static_cast<size_t>(nch), {});
  RenderFrames(*plug, silence, result.latency, options.blockSize, tail);
  result.output.channels.assign(static_cast<size_t>(nch), {});
  for (int c = 0; c < nch; ++c)
  {
    std::vector<float>& dst = result.output.channels[static_cast<size_t>(c)];
    const std::vector<float>& head = rendered.channels[static_cast<size_t>(c)];
    const std::vector<float>& rest = tail.channels[static_cast<size_t>(c)];
    dst.reserve(static_cast<size_t>(frames));
    dst.insert(dst.end(), head.begin() + std::min(result.latency, frames), head.end());
    dst.insert(dst.end(), rest.begin(), rest.begin() + (frames - static_cast<int>(dst.size())));
  }
  return true;
}

int RunRenderCommand(const RenderOptions& options, std::ostream& out, std::ostream& err)
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
  if (!Render(input, options, result, error, stateIn))
  {
    err << "talven-render: " << error << "\n";
    return kExitUsage;
  }
  if (!result.warning.empty())
    err << "talven-render: " << options.stateInPath << ": " << result.warning << "\n";
  if (!options.outputPath.empty() && !WriteAudioFile(options.outputPath, result.output, error))
  {
    err << "talven-render: " << error << "\n";
    return 1;
  }
  if (!options.stateOutPath.empty() && !WriteBytes(options.stateOutPath, result.state))
  {
    err << "talven-render: cannot write state '" << options.stateOutPath << "'\n";
    return 1;
  }
  out << "latency=" << result.latency << "\n";
  return 0;
}

} // namespace talvenhost
