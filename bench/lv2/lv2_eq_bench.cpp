// Times LV2 equalisers on one setting: the whole of a preloaded stereo file, in several block
// sizes, in interleaved rounds, on this thread's CPU clock with flush-to-zero on, as a DAW
// runs them. Prints the median cost per stereo frame, the real-time factor, and the ratio of
// each of our rows to every plug-in.
//
// usage: lv2-eq-bench --make-noise FILE
//        lv2-eq-bench --input FILE --plugins LIST [--rounds N] [--blocks 64,256,512,2048]
// LIST: one plug-in per line, "ours|peer ; label ; URI ; stereo|dual-mono ; symbol=value ...";
// a dual-mono plug-in runs as two instances, one per channel. Lines starting with "#" are comments.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <pmmintrin.h>
#include <sndfile.h>
#include <xmmintrin.h>

#include "BenchHost.h"

namespace {

using lv2bench::BenchInstance;
using lv2bench::BenchWorld;

constexpr int kSampleRate = 48000;
constexpr double kNoiseSeconds = 60.0;
constexpr double kNoisePeakDb = -12.0;
constexpr double kWarmUpSeconds = 1.0;
constexpr int kChannels = 2;

struct Signal
{
  std::vector<float> channels[kChannels];
  size_t Frames() const { return channels[0].size(); }
};

struct PluginSetup
{
  bool ours = false;
  std::string label;
  std::string uri;
  bool dualMono = false;
  std::vector<std::pair<std::string, float>> settings;
};

// One row of the table: its instances, its buffers and its timings per block size.
struct Contender
{
  PluginSetup setup;
  std::vector<std::unique_ptr<BenchInstance>> instances;
  std::vector<float> in[kChannels];
  std::vector<float> out[kChannels];
  std::vector<std::vector<double>> nsPerFrame; // [block][round]
  double gainDb = 0.0;                          // output over input level in the warm-up
};

// Kellet's pink filter on white noise, independent per channel, scaled to the peak.
Signal MakePinkNoise()
{
  Signal s;
  std::mt19937 rng(20261210);
  std::uniform_real_distribution<double> white(-1.0, 1.0);
  const size_t frames = static_cast<size_t>(kNoiseSeconds * kSampleRate);
  double peak = 0.0;
  for (auto& ch : s.channels)
  {
    double b[7] = {};
    ch.resize(frames);
    for (size_t i = 0; i < frames; ++i)
    {
      const double w = white(rng);
      b[0] = 0.99886 * b[0] + w * 0.0555179;
      b[1] = 0.99332 * b[1] + w * 0.0750759;
      b[2] = 0.96900 * b[2] + w * 0.1538520;
      b[3] = 0.86650 * b[3] + w * 0.3104856;
      b[4] = 0.55000 * b[4] + w * 0.5329522;
      b[5] = -0.7616 * b[5] - w * 0.0168980;
      const double pink = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + w * 0.5362;
      b[6] = w * 0.115926;
      ch[i] = static_cast<float>(pink);
      peak = std::max(peak, std::fabs(pink));
    }
  }
  const double scale = std::pow(10.0, kNoisePeakDb / 20.0) / peak;
  for (auto& ch : s.channels)
    for (float& v : ch)
      v = static_cast<float>(v * scale);
  return s;
}

bool WriteSignal(const std::string& path, const Signal& s)
{
  SF_INFO info{};
  info.samplerate = kSampleRate;
  info.channels = kChannels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f)
    return false;
  std::vector<float> interleaved(s.Frames() * kChannels);
  for (size_t i = 0; i < s.Frames(); ++i)
    for (int c = 0; c < kChannels; ++c)
      interleaved[i * kChannels + c] = s.channels[c][i];
  const bool ok = sf_writef_float(f, interleaved.data(), static_cast<sf_count_t>(s.Frames())) ==
                  static_cast<sf_count_t>(s.Frames());
  sf_close(f);
  return ok;
}

bool ReadSignal(const std::string& path, Signal& s, std::string& error)
{
  SF_INFO info{};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f || info.channels != kChannels || info.samplerate != kSampleRate)
  {
    error = path + ": not a stereo 48 kHz file";
    if (f)
      sf_close(f);
    return false;
  }
  std::vector<float> interleaved(static_cast<size_t>(info.frames) * kChannels);
  sf_readf_float(f, interleaved.data(), info.frames);
  sf_close(f);
  for (int c = 0; c < kChannels; ++c)
  {
    s.channels[c].resize(static_cast<size_t>(info.frames));
    for (size_t i = 0; i < s.channels[c].size(); ++i)
      s.channels[c][i] = interleaved[i * kChannels + c];
  }
  return true;
}

std::string Trim(const std::string& s)
{
  const size_t b = s.find_first_not_of(" \t");
  return b == std::string::npos ? "" : s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool ParseSetupLine(const std::string& line, PluginSetup& setup, std::string& error)
{
  std::vector<std::string> fields;
  std::stringstream ss(line);
  for (std::string f; std::getline(ss, f, ';');)
    fields.push_back(Trim(f));
  if (fields.size() != 5 || (fields[0] != "ours" && fields[0] != "peer") ||
      (fields[3] != "stereo" && fields[3] != "dual-mono"))
  {
    error = "bad plug-in line: " + line;
    return false;
  }
  setup.ours = fields[0] == "ours";
  setup.label = fields[1];
  setup.uri = fields[2];
  setup.dualMono = fields[3] == "dual-mono";
  std::stringstream settings(fields[4]);
  for (std::string kv; settings >> kv;)
  {
    const size_t eq = kv.find('=');
    char* end = nullptr;
    const float value = eq == std::string::npos ? 0.0f : std::strtof(kv.c_str() + eq + 1, &end);
    if (eq == std::string::npos || !end || *end != '\0')
    {
      error = setup.label + ": bad setting " + kv;
      return false;
    }
    setup.settings.emplace_back(kv.substr(0, eq), value);
  }
  return true;
}

bool ReadSpecs(const std::string& path, std::vector<PluginSetup>& setups, std::string& error)
{
  std::ifstream f(path);
  if (!f)
  {
    error = "cannot read " + path;
    return false;
  }
  for (std::string line; std::getline(f, line);)
  {
    line = Trim(line);
    if (line.empty() || line[0] == '#')
      continue;
    PluginSetup setup;
    if (!ParseSetupLine(line, setup, error))
      return false;
    setups.push_back(std::move(setup));
  }
  return true;
}

bool Prepare(BenchWorld& world, Contender& c, std::string& error)
{
  const int nInstances = c.setup.dualMono ? kChannels : 1;
  const int channelsEach = c.setup.dualMono ? 1 : kChannels;
  for (auto& buffers : {&c.in, &c.out})
    for (auto& b : *buffers)
      b.assign(static_cast<size_t>(world.MaxBlock()), 0.0f);
  for (int i = 0; i < nInstances; ++i)
  {
    auto inst = std::make_unique<BenchInstance>(world, c.setup.uri, error);
    if (!inst->Ok())
      return false;
    if (inst->NumInputs() != channelsEach || inst->NumOutputs() != channelsEach)
    {
      error = c.setup.label + ": expected " + std::to_string(channelsEach) + " channels each way";
      return false;
    }
    for (const auto& [symbol, value] : c.setup.settings)
    {
      if (!inst->Set(symbol, value))
      {
        error = c.setup.label + ": no input control " + symbol;
        return false;
      }
    }
    float* ins[kChannels] = {c.in[0].data(), c.in[1].data()};
    float* outs[kChannels] = {c.out[0].data(), c.out[1].data()};
    inst->ConnectAudio(ins + (c.setup.dualMono ? i : 0), outs + (c.setup.dualMono ? i : 0));
    c.instances.push_back(std::move(inst));
  }
  return true;
}

// Runs frames of the signal from start through the contender; returns the sums of squares in and out.
std::pair<double, double> Process(Contender& c, const Signal& s, size_t start, size_t frames, int block, bool measure)
{
  double inSq = 0.0;
  double outSq = 0.0;
  for (size_t pos = start; pos < start + frames; pos += static_cast<size_t>(block))
  {
    const size_t n = std::min(static_cast<size_t>(block), start + frames - pos);
    for (int ch = 0; ch < kChannels; ++ch)
      std::memcpy(c.in[ch].data(), s.channels[ch].data() + pos, n * sizeof(float));
    for (auto& inst : c.instances)
      inst->Run(static_cast<uint32_t>(n));
    if (!measure)
      continue;
    for (int ch = 0; ch < kChannels; ++ch)
      for (size_t i = 0; i < n; ++i)
      {
        inSq += double(c.in[ch][i]) * c.in[ch][i];
        outSq += double(c.out[ch][i]) * c.out[ch][i];
      }
  }
  return {inSq, outSq};
}

double ThreadSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v)
{
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

void PrintTable(const std::vector<Contender>& rows, const std::vector<int>& blocks, int rounds, size_t frames)
{
  std::vector<const Contender*> ours;
  for (const Contender& c : rows)
    if (c.setup.ours)
      ours.push_back(&c);
  std::printf("%zu stereo frames (%.0f s at %d Hz) per run, median of %d interleaved rounds, thread CPU time\n", frames,
              static_cast<double>(frames) / kSampleRate, kSampleRate, rounds);
  for (size_t b = 0; b < blocks.size(); ++b)
  {
    std::printf("\nblock %d\n%-36s %9s %11s", blocks[b], "plug-in", "ns/frame", "x realtime");
    for (const Contender* o : ours)
      std::printf("  %16s", (o->setup.label + " / row").c_str());
    std::printf("  %9s\n", "out/in dB");
    for (const Contender& c : rows)
    {
      const double ns = Median(c.nsPerFrame[b]);
      std::printf("%-36s %9.2f %11.1f", c.setup.label.c_str(), ns, 1e9 / (ns * kSampleRate));
      for (const Contender* o : ours)
      {
        if (o == &c)
          std::printf("  %16s", "-");
        else
          std::printf("  %16.2f", Median(o->nsPerFrame[b]) / ns);
      }
      std::printf("  %9.2f\n", c.gainDb);
    }
  }
}

std::vector<int> ParseBlocks(const std::string& text)
{
  std::vector<int> blocks;
  std::stringstream ss(text);
  for (std::string b; std::getline(ss, b, ',');)
    blocks.push_back(std::atoi(b.c_str()));
  return blocks;
}

int Usage()
{
  std::fprintf(stderr, "usage: lv2-eq-bench --make-noise FILE\n"
                       "       lv2-eq-bench --input FILE --plugins LIST [--rounds N] [--blocks 64,256,512,2048]\n");
  return 2;
}

} // namespace

int main(int argc, char** argv)
{
  std::string input, list, noise;
  int rounds = 5;
  std::vector<int> blocks = {64, 256, 512, 2048};
  for (int i = 1; i + 1 < argc; i += 2)
  {
    const std::string arg = argv[i];
    if (arg == "--make-noise")
      noise = argv[i + 1];
    else if (arg == "--input")
      input = argv[i + 1];
    else if (arg == "--plugins")
      list = argv[i + 1];
    else if (arg == "--rounds")
      rounds = std::max(1, std::atoi(argv[i + 1]));
    else if (arg == "--blocks")
      blocks = ParseBlocks(argv[i + 1]);
    else
      return Usage();
  }
  if (!noise.empty())
    return WriteSignal(noise, MakePinkNoise()) ? 0 : 1;
  if (input.empty() || list.empty() || blocks.empty() || *std::min_element(blocks.begin(), blocks.end()) < 1)
    return Usage();

  // as DAW hosts run their audio threads
  _MM_SET_FLUSH_ZERO_MODE(_MM_FLUSH_ZERO_ON);
  _MM_SET_DENORMALS_ZERO_MODE(_MM_DENORMALS_ZERO_ON);

  Signal signal;
  std::vector<PluginSetup> setups;
  std::string error;
  if (!ReadSignal(input, signal, error) || !ReadSpecs(list, setups, error))
  {
    std::fprintf(stderr, "lv2-eq-bench: %s\n", error.c_str());
    return 1;
  }

  BenchWorld world(kSampleRate, *std::max_element(blocks.begin(), blocks.end()));
  std::vector<Contender> rows(setups.size());
  for (size_t i = 0; i < setups.size(); ++i)
  {
    rows[i].setup = setups[i];
    rows[i].nsPerFrame.assign(blocks.size(), {});
    if (!Prepare(world, rows[i], error))
    {
      std::fprintf(stderr, "lv2-eq-bench: %s\n", error.c_str());
      return 1;
    }
  }

  const size_t warmUp = std::min(signal.Frames(), static_cast<size_t>(kWarmUpSeconds * kSampleRate));
  for (int r = 0; r < rounds; ++r)
  {
    for (size_t b = 0; b < blocks.size(); ++b)
    {
      for (Contender& c : rows)
      {
        const auto [inSq, outSq] = Process(c, signal, 0, warmUp, blocks[b], true);
        c.gainDb = 10.0 * std::log10(outSq / inSq);
        const double t0 = ThreadSeconds();
        Process(c, signal, 0, signal.Frames(), blocks[b], false);
        const double t1 = ThreadSeconds();
        c.nsPerFrame[b].push_back((t1 - t0) * 1e9 / static_cast<double>(signal.Frames()));
      }
    }
    std::fprintf(stderr, "round %d of %d done\n", r + 1, rounds);
  }
  PrintTable(rows, blocks, rounds, signal.Frames());
  return 0;
}
