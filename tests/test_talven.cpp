#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "AllocationCounter.h"
#include "PluginRig.h"
#include "TALVEN.h"

using namespace talven;
using Rig = testsupport::PluginRig<TALVEN>;
using Signal = std::vector<std::vector<float>>;

namespace {

Signal Noise(int frames, double amplitude, unsigned seed = 1)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-amplitude, amplitude);
  Signal s(2, std::vector<float>(static_cast<size_t>(frames)));
  for (auto& ch : s)
    for (float& v : ch)
      v = static_cast<float>(dist(rng));
  return s;
}

Signal Sine(int frames, double hz, double sampleRate, double amplitude)
{
  Signal s(2, std::vector<float>(static_cast<size_t>(frames)));
  for (auto& ch : s)
    for (int i = 0; i < frames; ++i)
      ch[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / sampleRate));
  return s;
}

double Rms(const std::vector<float>& v, size_t from)
{
  double sum = 0.0;
  for (size_t i = from; i < v.size(); ++i)
    sum += double(v[i]) * v[i];
  return std::sqrt(sum / double(v.size() - from));
}

// Settle the smoothers at the current targets.
void Settle(Rig& rig, int blocks = 200)
{
  Signal silence(2, std::vector<float>(64));
  Signal out(2, std::vector<float>(64));
  for (int b = 0; b < blocks; ++b)
    rig.Run(silence, out, 0, 64);
}

} // namespace

TEST(TalvenDefinition, NewInstanceParametersMatchTheTable)
{
  TALVEN plug;
  ASSERT_EQ(plug.NParams(), kParamCount);
  const double expected[kParamCount] = {0, 0, 110, 0, 295, 2, 0, 11.7, 2, 0, 9.3, 0, 0, 1855, 2, 0, 1, 1, 1, 1, 1, 0};
  for (int i = 0; i < kParamCount; ++i)
    EXPECT_EQ(plug.GetParam(i)->RealValue(), expected[i]) << "index " << i;

  const iplug::IParam* reserved = plug.GetParam(kParamReserved);
  EXPECT_EQ(reserved->GetKind(), iplug::eKindNone);
  EXPECT_STREQ(reserved->Name(), "");
}

TEST(TalvenDefinition, DisplayTextsOfANewInstance)
{
  TALVEN plug;
  struct Case
  {
    int index;
    const char* text;
  };
  const Case cases[] = {
    {kParamOversampling, "Oversampling Off"},
    {kParamAllIn, "1"},
    {kParamShelvesIn, "1"},
    {kParamHighFreq, "9.30 kHz"},
    {kParamLowMidQ, "2.0 Oct"},
    {kParamLowFreq, "110 Hz"},
    {kParamDrive, "0.0 dB"},
  };
  for (const Case& c : cases)
  {
    std::string text;
    plug.GetParam(c.index)->FormatValueWithLabel(text, true);
    EXPECT_EQ(text, c.text) << "index " << c.index;
  }
  EXPECT_EQ(plug.GetParam(kParamOversampling)->ParseValue("Oversampling On"), 1.0);
}

TEST(TalvenChangeHook, StoresTheDerivedTargets)
{
  TALVEN plug;
  const EngineTargets& t = plug.Targets();
  struct Case
  {
    int index;
    double value;
    const std::atomic<double>* target;
    double expected;
  };
  const Case cases[] = {
    {kParamTrim, -12, &t.trim, 0.251188643},
    {kParamTrim, 12, &t.trim, 3.981071706},
    {kParamDrive, 0, &t.driveGain, 0.063095734},
    {kParamDrive, 24, &t.driveGain, 15.848931925},
    {kParamDrive, -24, &t.driveGain, 0.000251189},
    {kParamHighFreq, 25, &t.highFrequency, 30000},
    {kParamHighMidFreq, 16, &t.peak[2].frequency, 16000},
    {kParamLowMidQ, 0.7, &t.peak[0].q, 0.233333333},
    {kParamLowFreq, 110, &t.lowFrequency, 22},
    {kParamMidQ, 5, &t.peak[1].q, 1.666666667},
  };
  for (const Case& c : cases)
  {
    plug.GetParam(c.index)->SetRealValue(c.value);
    plug.OnParamChange(c.index);
    EXPECT_NEAR(c.target->load(), c.expected, 1e-8 * std::max(1.0, c.expected)) << "index " << c.index;
  }
}

TEST(TalvenChangeHook, OversamplingSwitchesStagesAndLatencyAndBack)
{
  TALVEN plug;
  const EngineTargets& t = plug.Targets();
  EXPECT_EQ(t.stageCount.load(), 0);
  EXPECT_EQ(t.latencyValue.load(), 16);
  plug.GetParam(kParamOversampling)->SetRealValue(1);
  plug.OnParamChange(kParamOversampling);
  EXPECT_EQ(t.stageCount.load(), 2);
  EXPECT_EQ(t.latencyValue.load(), 80);
  plug.GetParam(kParamOversampling)->SetRealValue(0);
  plug.OnParamChange(kParamOversampling);
  EXPECT_EQ(t.stageCount.load(), 0);
  EXPECT_EQ(t.latencyValue.load(), 16);

  // The reserved slot and indices outside the list change nothing.
  plug.GetParam(kParamReserved)->SetRealValue(1);
  plug.OnParamChange(kParamReserved);
  plug.OnParamChange(-1);
  plug.OnParamChange(kParamCount);
  EXPECT_EQ(t.stageCount.load(), 0);
}

// All gains flat, drive linear, trim 0, oversampling off: the output is the input
// 16 samples earlier rounded to float; the alternating offsets cancel over the even delay.
TEST(TalvenChain, FlatSettingsDelayByExactlySixteenSamples)
{
  struct Case
  {
    double drive;
    double amplitude;
  };
  for (const Case c : {Case{-24.0, 1.0}, Case{0.0, 1e-3}})
  {
    Rig rig;
    rig.Set(kParamDrive, c.drive);
    Settle(rig);
    const Signal in = Noise(4096, c.amplitude);
    const Signal out = rig.Render(in, 512);
    for (int ch = 0; ch < 2; ++ch)
      for (size_t i = 16; i < in[0].size(); ++i)
      {
        const double x = in[size_t(ch)][i - 16];
        ASSERT_NEAR(out[size_t(ch)][i], x, 1e-7 * std::fabs(x) + 1e-12) << "drive " << c.drive << " sample " << i;
      }
    EXPECT_EQ(rig.plug().GetLatency(), 16);
  }
}

TEST(TalvenChain, LatencyIsReportedAtTheEndOfTheBlockThatChangesIt)
{
  Rig rig;
  Signal in = Noise(256, 0.1);
  Signal out = in;
  EXPECT_EQ(rig.plug().GetLatency(), 0);
  rig.Run(in, out, 0, 64);
  EXPECT_EQ(rig.plug().GetLatency(), 16);

  rig.Set(kParamOversampling, 1);
  EXPECT_EQ(rig.plug().GetLatency(), 16);
  rig.Run(in, out, 0, 64);
  EXPECT_EQ(rig.plug().GetLatency(), 80);

  rig.Set(kParamAllIn, 0);
  rig.Run(in, out, 0, 64);
  EXPECT_EQ(rig.plug().GetLatency(), 0);
  for (int i = 0; i < 64; ++i)
    EXPECT_EQ(out[0][size_t(i)], in[0][size_t(i)]) << "bypassed equaliser passes the input unchanged";

  rig.Set(kParamAllIn, 1);
  rig.Run(in, out, 0, 0); // an empty block still runs the latency check
  EXPECT_EQ(rig.plug().GetLatency(), 80);
}

TEST(TalvenChain, OversamplingAddsSixtyFourSamplesOfDelay)
{
  Rig rig;
  rig.Set(kParamDrive, -24.0);
  rig.Set(kParamOversampling, 1);
  Settle(rig);
  Signal in(2, std::vector<float>(400));
  in[0][10] = 0.5f;
  in[1][10] = 0.5f;
  const Signal out = rig.Render(in, 128);
  size_t peak = 0;
  for (size_t i = 0; i < out[0].size(); ++i)
    if (std::fabs(out[0][i]) > std::fabs(out[0][peak]))
      peak = i;
  EXPECT_EQ(peak, 10u + 80u);
  EXPECT_NEAR(out[0][peak], 0.5, 0.01);
}

TEST(TalvenChain, ShelvesSwitchRemovesBothShelvesAtOnce)
{
  Rig rig;
  rig.Set(kParamLowGain, 12);
  rig.Set(kParamHighGain, 12);
  rig.Set(kParamDrive, -24);
  Settle(rig);
  rig.Set(kParamShelvesIn, 0);
  // The very next block is flat again: no glide.
  Settle(rig, 1);
  const Signal in = Noise(2048, 0.5);
  const Signal out = rig.Render(in, 512);
  for (size_t i = 16; i < in[0].size(); ++i)
    ASSERT_NEAR(out[0][i], in[0][i - 16], 1e-3) << i;
}

TEST(TalvenChain, TrimScalesTheOutputAfterSettling)
{
  Rig rig;
  rig.Set(kParamDrive, -24);
  rig.Set(kParamTrim, 12);
  Settle(rig);
  const Signal in = Noise(2048, 0.1);
  const Signal out = rig.Render(in, 512);
  const double gain = std::pow(10.0, 12.0 / 20.0);
  for (size_t i = 16; i < in[0].size(); ++i)
    ASSERT_NEAR(out[1][i], in[1][i - 16] * gain, 1e-6 * gain) << i;

  // With the equaliser out, trim has no effect.
  rig.Set(kParamAllIn, 0);
  const Signal bypassed = rig.Render(in, 512);
  EXPECT_EQ(bypassed, in);
}

TEST(TalvenChain, PeakBandSwitchGlidesItsGainToZero)
{
  Rig rig;
  rig.Set(kParamDrive, -24);
  rig.Set(kParamMidGain, 12);
  Settle(rig);
  const Signal in = Sine(48000 / 4, 1855, 48000, 0.1);
  const double boosted = Rms(rig.Render(in, 512)[0], 4000);
  rig.Set(kParamMidIn, 0);
  const Signal first = rig.Render(Sine(64, 1855, 48000, 0.1), 64);
  (void)first;
  const double gliding = Rms(rig.Render(in, 512)[0], 0);
  Settle(rig);
  const double flat = Rms(rig.Render(in, 512)[0], 4000);
  EXPECT_NEAR(20 * std::log10(boosted / 0.0707107), 12.0, 0.1);
  EXPECT_NEAR(20 * std::log10(flat / 0.0707107), 0.0, 0.05);
  EXPECT_GT(gliding, flat) << "the gain reaches 0 dB through the smoother, not at once";
}

TEST(TalvenChain, FullScaleDriveIsBounded)
{
  for (int oversampling : {0, 1})
  {
    Rig rig;
    rig.Set(kParamDrive, 24);
    rig.Set(kParamOversampling, oversampling);
    Settle(rig);
    const double g = rig.plug().Targets().driveGain.load();
    const Signal in = Noise(8192, 1.0, 7);
    const Signal out = rig.Render(in, 512);
    const double bound = oversampling ? 2.0 / g : (1.0 + 0.000001 + 0.001) / g + 1e-9;
    for (const auto& ch : out)
      for (float v : ch)
      {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_LT(std::fabs(v), bound) << "oversampling " << oversampling;
      }
  }
}

TEST(TalvenReset, SnapsSmoothersSoNoGlideFollows)
{
  Rig rig;
  rig.Set(kParamDrive, -24);
  rig.Set(kParamTrim, 12);
  rig.plug().ResetProcessing();
  const Signal in = Noise(512, 0.1);
  const Signal out = rig.Render(in, 512);
  const double gain = std::pow(10.0, 12.0 / 20.0);
  for (size_t i = 16; i < 512; ++i)
    ASSERT_NEAR(out[0][i], in[0][i - 16] * gain, 1e-6 * gain) << i;
}

TEST(TalvenChain, MonoConfigurationProcessesChannelZero)
{
  Rig rig(44100.0, 1, 256);
  rig.Set(kParamDrive, -24);
  Settle(rig);
  Signal in = Noise(1024, 0.3);
  in.resize(1);
  const Signal out = rig.Render(in, 256);
  ASSERT_EQ(out.size(), 1u);
  for (size_t i = 16; i < 1024; ++i)
    ASSERT_NEAR(out[0][i], in[0][i - 16], 1e-6) << i;
}

// Every rate a host may offer, every block size, every continuous parameter at
// an extreme, with random automation between blocks: finite, bounded, and
// nothing allocated on the audio path but the block-growth step.
class TalvenRobustness : public ::testing::TestWithParam<double>
{
};

TEST_P(TalvenRobustness, OutputStaysFiniteAndBoundedWithoutAllocating)
{
  const double sampleRate = GetParam();
  const int blockSizes[] = {0, 1, 2, 3, 31, 64, 512, 513, 4096, 8192};
  std::mt19937 rng(static_cast<unsigned>(sampleRate));
  for (int extreme = 0; extreme < 2; ++extreme)
  {
    Rig rig(sampleRate, 2, 512);
    TALVEN& plug = rig.plug();
    for (const ContinuousParamDef& d : kContinuousParams)
      rig.Set(d.index, extreme ? d.max : d.min);
    for (int blockSize : blockSizes)
    {
      if (blockSize > plug.GetBlockSize())
      {
        plug.ChangeBlockSize(blockSize); // the host binding's growth step: allocation allowed
        plug.ResetProcessing();
      }
      Signal in = Noise(std::max(blockSize, 1), 1.0, rng());
      Signal out = in;
      const int blocks = std::clamp(4096 / std::max(blockSize, 1), 2, 16);
      for (int b = 0; b < blocks; ++b)
      {
        // automation between blocks, as from the host's parameter thread
        // (the all switch has its own tests: here it would end the sweep at its first 0)
        int index = std::uniform_int_distribution<int>(0, kParamCount - 2)(rng);
        index += index >= kParamAllIn ? 1 : 0;
        iplug::IParam* p = plug.GetParam(index);
        p->SetFromNormalized(std::uniform_real_distribution<double>(0, 1)(rng));
        plug.OnParamChange(index);

        testsupport::AllocationScope scope;
        rig.Run(in, out, 0, blockSize);
        ASSERT_EQ(scope.Count(), 0u) << "rate " << sampleRate << " block " << blockSize;
        for (const auto& ch : out)
          for (int i = 0; i < blockSize; ++i)
            ASSERT_TRUE(std::isfinite(ch[size_t(i)]) && std::fabs(ch[size_t(i)]) < 1000.0)
              << "rate " << sampleRate << " block " << blockSize << " extreme " << extreme << " value " << ch[size_t(i)];
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(HostRates, TalvenRobustness,
                         ::testing::Values(8000.0, 11025.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0,
                                           192000.0, 384000.0),
                         [](const auto& info) { return std::to_string(static_cast<int>(info.param)); });
