#include "IPlugProcessor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace iplug {

namespace {

constexpr double kDefaultSampleRate = 48000.0;
constexpr std::array<ERouteDirection, kNumRouteDirections> kDirections = {eRouteInput, eRouteOutput};

bool ValidDirection(ERouteDirection dir) { return dir == eRouteInput || dir == eRouteOutput; }

// "*" is a wildcard; otherwise the leading decimal digits, 0 when there are none
int ParseBusCount(std::string_view token)
{
  if (token == "*")
    return kAnyChannels;
  int count = 0;
  const auto digitsEnd = std::find_if_not(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
  const auto res = std::from_chars(token.data(), token.data() + (digitsEnd - token.begin()), count);
  return res.ec == std::errc() ? count : 0;
}

// Appends one side's buses; returns the side's channel total.
int ParseBuses(std::string_view side, ERouteDirection dir, std::vector<IBusInfo>& buses)
{
  int total = 0;
  while (true)
  {
    const size_t dot = side.find('.');
    const int count = ParseBusCount(side.substr(0, dot));
    total += count;
    if (count != 0)
      buses.push_back({dir, count});
    if (dot == std::string_view::npos)
      return total;
    side.remove_prefix(dot + 1);
  }
}

void FormatLabel(char* dest, size_t size, const char* format, int value)
{
  // the format comes from the plug-in's own code, never from the host
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(dest, size, format, value);
#pragma GCC diagnostic pop
}

} // namespace

// ---------------------------------------------------------------- IIOConfig

int IIOConfig::NBuses(ERouteDirection dir) const
{
  return ValidDirection(dir) ? static_cast<int>(mBusInfo[dir].size()) : 0;
}

int IIOConfig::NChansOnBus(ERouteDirection dir, int busIdx) const
{
  if (busIdx < 0 || busIdx >= NBuses(dir))
    return 0;
  return mBusInfo[dir][busIdx].mNChans;
}

int IIOConfig::TotalNChannels(ERouteDirection dir) const
{
  int total = 0;
  for (int b = 0; b < NBuses(dir); ++b)
    total += mBusInfo[dir][b].mNChans;
  return total;
}

bool IIOConfig::ContainsWildcard(ERouteDirection dir) const
{
  for (int b = 0; b < NBuses(dir); ++b)
    if (mBusInfo[dir][b].mNChans == kAnyChannels)
      return true;
  return false;
}

// ---------------------------------------------------------------- construction

IPlugProcessor::IPlugProcessor(const IPluginConfig& config)
  : mPlugKind(config.plugType)
  , mDoesMidiIn(config.plugDoesMidiIn)
  , mDoesMidiOut(config.plugDoesMidiOut)
  , mDoesMpe(config.plugDoesMPE)
  , mLatency(std::max(config.latency, 0))
  , mSampleRate(kDefaultSampleRate)
{
  std::array<int, kNumRouteDirections> maxChannels{};
  std::array<int, kNumRouteDirections> maxBuses{};
  ParseChannelIO(config.channelIOStr, mIOConfigs, maxChannels[eRouteInput], maxChannels[eRouteOutput],
                 maxBuses[eRouteInput], maxBuses[eRouteOutput]);

  for (ERouteDirection dir : kDirections)
  {
    mChannelPointers[dir].assign(maxChannels[dir], nullptr);
    mChannelData[dir].resize(maxChannels[dir]);
    for (int ch = 0; ch < maxChannels[dir]; ++ch)
      mChannelData[dir][ch].mSlot = &mChannelPointers[dir][ch];
  }
}

IPlugProcessor::~IPlugProcessor() = default;

// ---------------------------------------------------------------- hooks

void IPlugProcessor::ProcessAudio(double** inputs, double** outputs, int nFrames)
{
  const int nIn = NChannels(eRouteInput);
  const int nOut = NChannels(eRouteOutput);
  for (int ch = 0; ch < nOut; ++ch)
  {
    if (ch < nIn)
      std::copy_n(inputs[ch], nFrames, outputs[ch]);
    else
      std::fill_n(outputs[ch], nFrames, 0.0);
  }
}

void IPlugProcessor::HandleMidiMessage(const IMidiMessage& msg) { EmitMidiMessage(msg); }

void IPlugProcessor::HandleSysEx(const ISysexMessage&) {}

void IPlugProcessor::ResetProcessing() {}

void IPlugProcessor::ActivationChanged(bool) {}

bool IPlugProcessor::EmitMidiMessages(std::span<const IMidiMessage> msgs)
{
  bool allSent = true;
  for (const IMidiMessage& msg : msgs)
    allSent = EmitMidiMessage(msg) && allSent;
  return allSent;
}

bool IPlugProcessor::EmitSysEx(const ISysexMessage&) { return false; }

void IPlugProcessor::BusName(ERouteDirection dir, int busIdx, int nBuses, std::string& name) const
{
  char text[kMaxChannelLabelLength + 1] = {};
  if (dir == eRouteInput)
  {
    if (nBuses == 1)
      name = "Input";
    else if (nBuses == 2)
      name = busIdx == 0 ? "Main" : "Aux";
    else
    {
      std::snprintf(text, sizeof(text), "Input %i", busIdx);
      name = text;
    }
  }
  else
  {
    if (nBuses == 1)
      name = "Output";
    else
    {
      std::snprintf(text, sizeof(text), "Output %i", busIdx);
      name = text;
    }
  }
}

void IPlugProcessor::ApplyLatency(int samples)
{
  if (samples < 0)
    return;
  mLatency = samples;
  if (mLatencyDelay)
    ResizeLatencyDelay(samples);
}

// ---------------------------------------------------------------- configuration queries

int IPlugProcessor::ParseChannelIO(std::string_view text, std::vector<IIOConfig>& configs, int& maxNInputs,
                                   int& maxNOutputs, int& maxNInBuses, int& maxNOutBuses)
{
  configs.clear();
  maxNInputs = maxNOutputs = maxNInBuses = maxNOutBuses = 0;

  while (!text.empty())
  {
    const size_t space = text.find(' ');
    const std::string_view token = text.substr(0, space);
    text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
    if (token.empty()) // doubled or trailing spaces
      continue;

    const size_t dash = token.find('-');
    const std::string_view ins = token.substr(0, dash);
    const std::string_view outs = dash == std::string_view::npos ? std::string_view() : token.substr(dash + 1);

    IIOConfig& config = configs.emplace_back();
    const int nIn = ParseBuses(ins, eRouteInput, config.mBusInfo[eRouteInput]);
    const int nOut = ParseBuses(outs, eRouteOutput, config.mBusInfo[eRouteOutput]);
    maxNInputs = std::max(maxNInputs, nIn);
    maxNOutputs = std::max(maxNOutputs, nOut);
    maxNInBuses = std::max(maxNInBuses, config.NBuses(eRouteInput));
    maxNOutBuses = std::max(maxNOutBuses, config.NBuses(eRouteOutput));
  }
  return static_cast<int>(configs.size());
}

bool IPlugProcessor::LegalIO(int nInputs, int nOutputs) const
{
  return std::any_of(mIOConfigs.begin(), mIOConfigs.end(), [&](const IIOConfig& config) {
    return (nInputs < 0 || config.TotalNChannels(eRouteInput) == nInputs) &&
           (nOutputs < 0 || config.TotalNChannels(eRouteOutput) == nOutputs);
  });
}

int IPlugProcessor::MostBuses(ERouteDirection dir, int* configIdx) const
{
  int most = 0;
  int mostIdx = -1;
  for (int c = 0; c < NIOConfigs(); ++c)
  {
    const int n = mIOConfigs[c].NBuses(dir);
    if (n >= most)
    {
      most = n;
      mostIdx = c;
    }
  }
  if (configIdx)
    *configIdx = mostIdx;
  return most;
}

int IPlugProcessor::MostChannelsOnBus(ERouteDirection dir, int busIdx) const
{
  if (mIOConfigs.empty())
    return 0;
  if (mIOConfigs.front().ContainsWildcard(dir))
    return -1;
  if (busIdx < 0 || busIdx >= MostBuses(dir))
    return 0;
  int most = 0;
  for (const IIOConfig& config : mIOConfigs)
    most = std::max(most, config.NChansOnBus(dir, busIdx));
  return most;
}

int IPlugProcessor::FindConfigForBuses(std::span<const int> inChansPerBus, std::span<const int> outChansPerBus) const
{
  const auto matches = [](const IIOConfig& config, ERouteDirection dir, std::span<const int> chansPerBus) {
    if (config.NBuses(dir) != static_cast<int>(chansPerBus.size()))
      return false;
    for (int b = 0; b < config.NBuses(dir); ++b)
      if (config.NChansOnBus(dir, b) != chansPerBus[b])
        return false;
    return true;
  };
  for (int c = 0; c < NIOConfigs(); ++c)
    if (matches(mIOConfigs[c], eRouteInput, inChansPerBus) && matches(mIOConfigs[c], eRouteOutput, outChansPerBus))
      return c;
  return -1;
}

const IIOConfig* IPlugProcessor::GetIOConfig(int idx) const
{
  return idx >= 0 && idx < NIOConfigs() ? &mIOConfigs[idx] : nullptr;
}

// ---------------------------------------------------------------- channels

int IPlugProcessor::NChannels(ERouteDirection dir) const
{
  return ValidDirection(dir) ? static_cast<int>(mChannelData[dir].size()) : 0;
}

IChannelData* IPlugProcessor::Channel(ERouteDirection dir, int chIdx)
{
  return chIdx >= 0 && chIdx < NChannels(dir) ? &mChannelData[dir][chIdx] : nullptr;
}

const IChannelData* IPlugProcessor::Channel(ERouteDirection dir, int chIdx) const
{
  return chIdx >= 0 && chIdx < NChannels(dir) ? &mChannelData[dir][chIdx] : nullptr;
}

int IPlugProcessor::ConnectedChannelCount(ERouteDirection dir) const
{
  if (!ValidDirection(dir))
    return 0;
  return static_cast<int>(std::count_if(mChannelData[dir].begin(), mChannelData[dir].end(),
                                        [](const IChannelData& ch) { return ch.mConnected; }));
}

bool IPlugProcessor::IsChannelConnected(ERouteDirection dir, int chIdx) const
{
  const IChannelData* ch = Channel(dir, chIdx);
  return ch && ch->mConnected;
}

void IPlugProcessor::ConnectChannels(ERouteDirection dir, int first, int count, bool connected)
{
  const int begin = std::max(first, 0);
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(first) + count, NChannels(dir)));
  for (int i = begin; i < end; ++i)
  {
    IChannelData& ch = mChannelData[dir][i];
    ch.mConnected = connected;
    if (connected)
      continue;
    // an input that drops out must read silence, not its last block
    if (dir == eRouteInput)
      std::fill(ch.mScratch.begin(), ch.mScratch.end(), 0.0);
    ch.mHostBuffer = nullptr;
    ch.mHostFrames = 0;
    *ch.mSlot = ch.mScratch.data();
  }
}

void IPlugProcessor::AttachHostBuffers(ERouteDirection dir, int first, int count, float* const* hostBuffers,
                                       int nFrames)
{
  const int frames = ClampFrames(nFrames);
  const int begin = std::max(first, 0);
  const int end = static_cast<int>(std::min<long long>(static_cast<long long>(first) + count, NChannels(dir)));
  int hostIdx = 0;
  for (int i = begin; i < end; ++i)
  {
    IChannelData& ch = mChannelData[dir][i];
    if (!ch.mConnected)
      continue;
    float* host = hostBuffers ? hostBuffers[hostIdx] : nullptr;
    ++hostIdx;
    *ch.mSlot = ch.mScratch.data();
    if (dir == eRouteOutput)
    {
      ch.mHostBuffer = host;
      ch.mHostFrames = host ? std::max(nFrames, 0) : 0;
    }
    else if (host)
      std::copy_n(host, frames, ch.mScratch.begin());
    else
      std::fill_n(ch.mScratch.begin(), frames, 0.0);
  }
}

int IPlugProcessor::ClampFrames(int nFrames) const { return std::clamp(nFrames, 0, mBlockSize); }

void IPlugProcessor::RunBlock(int nFrames)
{
  const int frames = ClampFrames(nFrames);
  ProcessAudio(mChannelPointers[eRouteInput].data(), mChannelPointers[eRouteOutput].data(), frames);
  WriteHostOutputs(frames, nFrames);
}

void IPlugProcessor::RunBypassed(int nFrames)
{
  const int frames = ClampFrames(nFrames);
  if (mLatency != 0 && mLatencyDelay && mLatencyDelay->mLength > 0)
    RunLatencyDelay(frames);
  else
    CopyInputsToOutputs(frames);
  WriteHostOutputs(frames, nFrames);
}

void IPlugProcessor::CopyInputsToOutputs(int nFrames)
{
  double** inputs = mChannelPointers[eRouteInput].data();
  double** outputs = mChannelPointers[eRouteOutput].data();
  for (int ch = 0; ch < NChannels(eRouteOutput); ++ch)
  {
    if (ch < NChannels(eRouteInput))
      std::copy_n(inputs[ch], nFrames, outputs[ch]);
    else
      std::fill_n(outputs[ch], nFrames, 0.0);
  }
}

void IPlugProcessor::RunLatencyDelay(int nFrames)
{
  IDelayLine& delay = *mLatencyDelay;
  const int stride = delay.mNInputs;
  const int nChans = std::min({delay.mNInputs, delay.mNOutputs, NChannels(eRouteInput), NChannels(eRouteOutput)});
  double** inputs = mChannelPointers[eRouteInput].data();
  double** outputs = mChannelPointers[eRouteOutput].data();
  double* buffer = delay.mBuffer.data();
  for (int s = 0; s < nFrames; ++s)
  {
    double* frame = buffer + static_cast<size_t>(delay.mWritePos) * stride;
    for (int ch = 0; ch < nChans; ++ch)
    {
      const double in = inputs[ch][s];
      outputs[ch][s] = frame[ch];
      frame[ch] = in;
    }
    delay.mWritePos = (delay.mWritePos + 1) % delay.mLength;
  }
  // outputs the delay line does not cover would otherwise repeat a stale block
  for (int ch = nChans; ch < NChannels(eRouteOutput); ++ch)
    std::fill_n(outputs[ch], nFrames, 0.0);
}

void IPlugProcessor::WriteHostOutputs(int nProcessed, int nRequested)
{
  for (IChannelData& ch : mChannelData[eRouteOutput])
  {
    if (!ch.mConnected || !ch.mHostBuffer)
      continue;
    const int written = std::min(nProcessed, ch.mHostFrames);
    const int silenced = std::min(nRequested, ch.mHostFrames);
    std::transform(ch.mScratch.begin(), ch.mScratch.begin() + written, ch.mHostBuffer,
                   [](double x) { return static_cast<float>(x); });
    if (silenced > written)
      std::fill(ch.mHostBuffer + written, ch.mHostBuffer + silenced, 0.0f);
  }
}

void IPlugProcessor::ChangeBlockSize(int nFrames)
{
  if (nFrames < 0 || nFrames == mBlockSize)
    return;
  for (ERouteDirection dir : kDirections)
  {
    for (IChannelData& ch : mChannelData[dir])
    {
      ch.mScratch.assign(nFrames, 0.0);
      // the old storage may be gone: never leave a slot pointing at it
      *ch.mSlot = ch.mScratch.data();
    }
  }
  mBlockSize = nFrames;
}

void IPlugProcessor::ClearScratch()
{
  for (ERouteDirection dir : kDirections)
    for (IChannelData& ch : mChannelData[dir])
      std::fill_n(ch.mScratch.begin(), std::min<size_t>(mBlockSize, ch.mScratch.size()), 0.0);
}

// ---------------------------------------------------------------- latency delay

bool IPlugProcessor::CreateLatencyDelay(int reserveSamples)
{
  if (NChannels(eRouteInput) == 0)
    return false;
  mLatencyDelay = std::make_unique<IDelayLine>();
  mLatencyDelay->mNInputs = NChannels(eRouteInput);
  mLatencyDelay->mNOutputs = NChannels(eRouteOutput);
  mLatencyDelay->mBuffer.reserve(static_cast<size_t>(std::max({reserveSamples, mLatency, 0})) *
                                 mLatencyDelay->mNInputs);
  ResizeLatencyDelay(mLatency);
  return true;
}

void IPlugProcessor::ResizeLatencyDelay(int samples)
{
  // allocates only beyond the capacity reserved at creation; latency changes are rare
  // and announced to the host, so a single allocation here is accepted
  IDelayLine& delay = *mLatencyDelay;
  delay.mLength = samples;
  delay.mBuffer.assign(static_cast<size_t>(samples) * delay.mNInputs, 0.0);
  delay.mWritePos = 0;
}

// ---------------------------------------------------------------- labels and values

void IPlugProcessor::LabelChannels(ERouteDirection dir, int chIdx, const char* format, bool zeroBased)
{
  IChannelData* ch = Channel(dir, chIdx);
  if (!ch || !format)
    return;
  FormatLabel(ch->mLabel.data(), ch->mLabel.size(), format, zeroBased ? chIdx : chIdx + 1);
}

const char* IPlugProcessor::GetChannelLabel(ERouteDirection dir, int chIdx) const
{
  const IChannelData* ch = Channel(dir, chIdx);
  return ch ? ch->mLabel.data() : "";
}

void IPlugProcessor::SetSampleRate(double sampleRate)
{
  if (std::isfinite(sampleRate) && sampleRate > 0.0)
    mSampleRate = sampleRate;
}

double IPlugProcessor::SamplesPerBeat() const
{
  return mTimeInfo.mTempo > 0.0 ? mSampleRate * 60.0 / mTimeInfo.mTempo : 0.0;
}

} // namespace iplug
