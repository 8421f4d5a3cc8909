#include "EngineRender.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <strings.h>

#include "TALVEN.h"

namespace talvenhost {

namespace {

using iplug::ERouteDirection;
using iplug::IParam;
using talven::TALVEN;

constexpr int kMaxChannels = 2;

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

} // namespace

int RenderWithEngine(const AudioBuffer& input, const RenderOptions& options, RenderResult& result, std::string& error,
                     const std::vector<std::uint8_t>& stateIn)
{
  const int nch = input.NumChannels();
  if (nch < 1 || nch > kMaxChannels)
  {
    error = "the plug-in takes mono or stereo, not " + std::to_string(nch) + " channels";
    return kExitUsage;
  }

  auto plug = std::make_unique<TALVEN>();
  std::vector<ParamSetting> settings;
  if (!ResolveSettings(*plug, options.settings, settings, error))
    return kExitUsage;

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
    return 0;
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
  return 0;
}

} // namespace talvenhost
