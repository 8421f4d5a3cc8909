#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "IPlugProcessor.h"

using namespace iplug;

namespace {

constexpr int kBlock = 64;

class TestProcessor : public IPlugProcessor
{
public:
  using IPlugProcessor::IPlugProcessor;

  bool EmitMidiMessage(const IMidiMessage& msg) override
  {
    mEmittedStatus.push_back(msg.mStatus);
    return msg.mStatus != mRejectStatus;
  }

  double* Slot(ERouteDirection dir, int ch) const { return mChannelPointers[dir][ch]; }
  double* Scratch(ERouteDirection dir, int ch) { return mChannelData[dir][ch].mScratch.data(); }
  ITransportInfo& TimeInfo() { return mTimeInfo; }

  std::vector<uint8_t> mEmittedStatus;
  uint8_t mRejectStatus = 0;
};

IPluginConfig MakeConfig(const char* io, int latency = 0)
{
  IPluginConfig config;
  config.channelIOStr = io;
  config.latency = latency;
  return config;
}

// Prepared the way the host binding does it: all channels connected, delay line, block size.
std::unique_ptr<TestProcessor> MakePrepared(const char* io, int latency = 0, int blockSize = kBlock)
{
  auto proc = std::make_unique<TestProcessor>(MakeConfig(io, latency));
  proc->ConnectChannels(eRouteInput, 0, proc->NChannels(eRouteInput), true);
  proc->ConnectChannels(eRouteOutput, 0, proc->NChannels(eRouteOutput), true);
  proc->CreateLatencyDelay();
  proc->ChangeBlockSize(blockSize);
  return proc;
}

struct HostBuffers
{
  HostBuffers(int nChans, int nFrames, float fill = 0.0f) : mData(nChans, std::vector<float>(nFrames, fill))
  {
    for (auto& ch : mData)
      mPtrs.push_back(ch.data());
  }
  float* const* Ptrs() const { return mPtrs.data(); }

  std::vector<std::vector<float>> mData;
  std::vector<float*> mPtrs;
};

void Render(TestProcessor& proc, const HostBuffers& in, const HostBuffers& out, int nFrames, bool bypassed)
{
  proc.AttachHostBuffers(eRouteInput, 0, proc.NChannels(eRouteInput), in.Ptrs(), nFrames);
  proc.AttachHostBuffers(eRouteOutput, 0, proc.NChannels(eRouteOutput), out.Ptrs(), nFrames);
  if (bypassed)
    proc.RunBypassed(nFrames);
  else
    proc.RunBlock(nFrames);
}

} // namespace

// ---------------------------------------------------------------- channel configurations

struct ParseCase
{
  const char* text;
  int nConfigs, maxIn, maxOut, maxInBuses, maxOutBuses;
};

TEST(ChannelIO, ParseReportsConfigCountAndMaxima)
{
  const ParseCase cases[] = {
    {"1-1 2-2", 2, 2, 2, 1, 1},
    {"0-2", 1, 0, 2, 0, 1},
    {"*-*", 1, 0, 0, 1, 1},        // a wildcard adds -64 to the total, so no channel records
    {"2-2 2.2-2", 2, 4, 2, 2, 1},
    {"1-1  2-2 ", 2, 2, 2, 1, 1},  // stray spaces make no empty configurations
    {"x-2", 1, 0, 2, 0, 1},        // a bus without a number has 0 channels
    {"", 0, 0, 0, 0, 0},
  };
  for (const ParseCase& c : cases)
  {
    std::vector<IIOConfig> configs(3); // stale contents are replaced
    int maxIn = -1, maxOut = -1, maxInBuses = -1, maxOutBuses = -1;
    EXPECT_EQ(IPlugProcessor::ParseChannelIO(c.text, configs, maxIn, maxOut, maxInBuses, maxOutBuses), c.nConfigs)
      << c.text;
    EXPECT_EQ(static_cast<int>(configs.size()), c.nConfigs) << c.text;
    EXPECT_EQ(maxIn, c.maxIn) << c.text;
    EXPECT_EQ(maxOut, c.maxOut) << c.text;
    EXPECT_EQ(maxInBuses, c.maxInBuses) << c.text;
    EXPECT_EQ(maxOutBuses, c.maxOutBuses) << c.text;
  }
}

TEST(ChannelIO, ZeroChannelSideHasNoBusAndWildcardIsStored)
{
  TestProcessor noInput(MakeConfig("0-2"));
  const IIOConfig* config = noInput.GetIOConfig(0);
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(config->NBuses(eRouteInput), 0);
  ASSERT_EQ(config->NBuses(eRouteOutput), 1);
  EXPECT_EQ(config->mBusInfo[eRouteOutput][0].mNChans, 2);
  EXPECT_EQ(config->mBusInfo[eRouteOutput][0].mDirection, eRouteOutput);

  TestProcessor wildcard(MakeConfig("*-*"));
  ASSERT_EQ(wildcard.GetIOConfig(0)->NBuses(eRouteInput), 1);
  EXPECT_EQ(wildcard.GetIOConfig(0)->mBusInfo[eRouteInput][0].mNChans, kAnyChannels);
  EXPECT_EQ(wildcard.MostChannelsOnBus(eRouteInput, 0), -1);
  EXPECT_EQ(wildcard.MostChannelsOnBus(eRouteOutput, 0), -1);
  EXPECT_EQ(wildcard.NChannels(eRouteInput), 0);
}

TEST(ChannelIO, LegalIOMatchesTotalsAndNegativeMatchesAny)
{
  TestProcessor proc(MakeConfig("1-1 2-2"));
  const struct { int in, out; bool legal; } cases[] = {
    {1, 1, true}, {2, 2, true}, {1, 2, false}, {-1, 2, true}, {2, -1, true}, {-1, -1, true}, {3, -1, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(proc.LegalIO(c.in, c.out), c.legal) << c.in << "-" << c.out;
}

TEST(ChannelIO, MostBusesReportsLastConfigReachingTheMaximum)
{
  TestProcessor proc(MakeConfig("2-2 2.2-2"));
  int idx = -5;
  EXPECT_EQ(proc.MostBuses(eRouteInput, &idx), 2);
  EXPECT_EQ(idx, 1);
  EXPECT_EQ(proc.MostBuses(eRouteOutput, &idx), 1);
  EXPECT_EQ(idx, 1);

  TestProcessor none(MakeConfig(""));
  EXPECT_EQ(none.MostBuses(eRouteInput, &idx), 0);
  EXPECT_EQ(idx, -1);
}

TEST(ChannelIO, MostChannelsOnBusTakesLargestAtEachPosition)
{
  TestProcessor proc(MakeConfig("1-1 2-2 1.3-2"));
  EXPECT_EQ(proc.MostChannelsOnBus(eRouteInput, 0), 2);
  EXPECT_EQ(proc.MostChannelsOnBus(eRouteInput, 1), 3);
  EXPECT_EQ(proc.MostChannelsOnBus(eRouteInput, 2), 0);
  EXPECT_EQ(proc.MostChannelsOnBus(eRouteInput, -1), 0);
  EXPECT_EQ(proc.MostChannelsOnBus(eRouteOutput, 0), 2);

  TestProcessor noInput(MakeConfig("0-2"));
  EXPECT_EQ(noInput.MostChannelsOnBus(eRouteInput, 0), 0);
}

TEST(ChannelIO, FindConfigForBusesNeedsExactBusLayout)
{
  TestProcessor proc(MakeConfig("1-1 2-2 2.2-2"));
  const int one[] = {1}, two[] = {2}, twoTwo[] = {2, 2};
  EXPECT_EQ(proc.FindConfigForBuses(one, one), 0);
  EXPECT_EQ(proc.FindConfigForBuses(two, two), 1);
  EXPECT_EQ(proc.FindConfigForBuses(twoTwo, two), 2);
  EXPECT_EQ(proc.FindConfigForBuses(one, two), -1);
  EXPECT_EQ(proc.FindConfigForBuses({}, two), -1);
}

// ---------------------------------------------------------------- construction and values

TEST(Processor, ConstructionCopiesConfigAndCreatesUnconnectedChannels)
{
  IPluginConfig config = MakeConfig("1-1 2-2", 16);
  config.plugType = eMidiEffect;
  config.plugDoesMidiIn = true;
  config.plugDoesMPE = true;
  TestProcessor proc(config);
  EXPECT_EQ(proc.GetPlugKind(), eMidiEffect);
  EXPECT_TRUE(proc.DoesMidiIn());
  EXPECT_FALSE(proc.DoesMidiOut());
  EXPECT_TRUE(proc.DoesMPE());
  EXPECT_EQ(proc.GetLatency(), 16);
  EXPECT_DOUBLE_EQ(proc.GetSampleRate(), 48000.0);
  EXPECT_EQ(proc.GetBlockSize(), 0);
  EXPECT_FALSE(proc.GetRenderingOffline());
  EXPECT_EQ(proc.NIOConfigs(), 2);
  for (ERouteDirection dir : {eRouteInput, eRouteOutput})
  {
    EXPECT_EQ(proc.NChannels(dir), 2);
    EXPECT_EQ(proc.ConnectedChannelCount(dir), 0);
  }
  EXPECT_EQ(proc.GetTransportInfo().mTempo, 120.0);
  EXPECT_EQ(proc.GetTransportInfo().mSamplePos, -1.0);
  EXPECT_EQ(proc.GetTransportInfo().mNumerator, 4);
}

TEST(Processor, SamplesPerBeatNeedsPositiveTempo)
{
  TestProcessor proc(MakeConfig("1-1"));
  proc.SetSampleRate(44100.0);
  EXPECT_DOUBLE_EQ(proc.SamplesPerBeat(), 22050.0);
  for (double tempo : {0.0, -10.0, std::nan("")})
  {
    proc.TimeInfo().mTempo = tempo;
    EXPECT_EQ(proc.SamplesPerBeat(), 0.0) << tempo;
  }
}

TEST(Processor, SetSampleRateIgnoresUnusableRates)
{
  TestProcessor proc(MakeConfig("1-1"));
  proc.SetSampleRate(96000.0);
  for (double rate : {0.0, -44100.0, std::numeric_limits<double>::infinity(), std::nan("")})
    proc.SetSampleRate(rate);
  EXPECT_DOUBLE_EQ(proc.GetSampleRate(), 96000.0);
}

TEST(Processor, BusNames)
{
  TestProcessor proc(MakeConfig("1-1"));
  const struct { ERouteDirection dir; int bus, nBuses; const char* name; } cases[] = {
    {eRouteInput, 0, 1, "Input"},   {eRouteInput, 0, 2, "Main"},    {eRouteInput, 1, 2, "Aux"},
    {eRouteInput, 2, 3, "Input 2"}, {eRouteOutput, 0, 1, "Output"}, {eRouteOutput, 2, 3, "Output 2"},
    {eRouteOutput, 1, 2, "Output 1"},
  };
  for (const auto& c : cases)
  {
    std::string name = "stale";
    proc.BusName(c.dir, c.bus, c.nBuses, name);
    EXPECT_EQ(name, c.name);
  }
}

TEST(Processor, LabelChannelsFormatsValidChannelsOnly)
{
  TestProcessor proc(MakeConfig("2-2"));
  proc.LabelChannels(eRouteInput, 1, "In %i", false);
  proc.LabelChannels(eRouteOutput, 1, "Out %i", true);
  proc.LabelChannels(eRouteOutput, 2, "Out %i", true);
  proc.LabelChannels(eRouteOutput, 0, "A very long label that does not fit %i", true);
  EXPECT_STREQ(proc.GetChannelLabel(eRouteInput, 1), "In 2");
  EXPECT_STREQ(proc.GetChannelLabel(eRouteOutput, 1), "Out 1");
  EXPECT_STREQ(proc.GetChannelLabel(eRouteInput, 0), "");
  EXPECT_STREQ(proc.GetChannelLabel(eRouteOutput, 2), "");
  EXPECT_EQ(std::strlen(proc.GetChannelLabel(eRouteOutput, 0)), 32u);
}

TEST(Processor, MidiDefaultsForwardAndReportFailures)
{
  TestProcessor proc(MakeConfig("1-1"));
  proc.HandleMidiMessage({0, 0x90, 60, 100});
  ASSERT_EQ(proc.mEmittedStatus.size(), 1u);
  EXPECT_EQ(proc.mEmittedStatus[0], 0x90);

  const IMidiMessage msgs[] = {{0, 0x80, 0, 0}, {1, 0xB0, 0, 0}, {2, 0x90, 0, 0}};
  EXPECT_TRUE(proc.EmitMidiMessages(msgs));
  proc.mRejectStatus = 0xB0;
  proc.mEmittedStatus.clear();
  EXPECT_FALSE(proc.EmitMidiMessages(msgs));
  EXPECT_EQ(proc.mEmittedStatus.size(), 3u); // a rejected message does not stop the rest

  const uint8_t bytes[] = {0xF0, 0x7E, 0xF7};
  EXPECT_FALSE(proc.EmitSysEx({0, 3, bytes}));
}

TEST(Processor, SysexRecordCopiesOnlyWhatFits)
{
  std::vector<uint8_t> bytes(kMaxSysexBytes + 1, 0xAB);
  ISysexRecord record;
  EXPECT_TRUE(record.Assign({5, kMaxSysexBytes, bytes.data()}));
  EXPECT_EQ(record.mOffset, 5);
  EXPECT_EQ(record.mData[kMaxSysexBytes - 1], 0xAB);
  EXPECT_FALSE(record.Assign({7, kMaxSysexBytes + 1, bytes.data()}));
  EXPECT_FALSE(record.Assign({7, -1, bytes.data()}));
  EXPECT_FALSE(record.Assign({7, 4, nullptr}));
  EXPECT_EQ(record.mOffset, 5);
  EXPECT_EQ(record.View().mData, record.mData);
}

// ---------------------------------------------------------------- channels and blocks

TEST(Processor, AttachBindsHostBuffersToConnectedChannelsOnly)
{
  auto proc = MakePrepared("1-1 2-2");
  proc->ConnectChannels(eRouteInput, 1, 1, false);
  proc->ConnectChannels(eRouteOutput, 1, 1, false);
  EXPECT_EQ(proc->ConnectedChannelCount(eRouteInput), 1);
  EXPECT_FALSE(proc->IsChannelConnected(eRouteInput, 1));

  HostBuffers in(1, kBlock, 0.5f); // one host pointer: the only connected channel takes it
  HostBuffers out(1, kBlock, 9.0f);
  Render(*proc, in, out, kBlock, false);

  EXPECT_EQ(proc->Slot(eRouteInput, 0), proc->Scratch(eRouteInput, 0));
  EXPECT_EQ(proc->Slot(eRouteInput, 1), proc->Scratch(eRouteInput, 1));
  for (int s = 0; s < kBlock; ++s)
  {
    ASSERT_EQ(proc->Slot(eRouteInput, 0)[s], 0.5);
    ASSERT_EQ(proc->Slot(eRouteInput, 1)[s], 0.0);
    ASSERT_EQ(out.mData[0][s], 0.5f);
  }
}

TEST(Processor, DisconnectedInputReadsSilenceNotItsLastBlock)
{
  auto proc = MakePrepared("2-2");
  HostBuffers in(2, kBlock, 0.25f);
  HostBuffers out(2, kBlock);
  Render(*proc, in, out, kBlock, false);
  ASSERT_EQ(out.mData[1][0], 0.25f);

  proc->ConnectChannels(eRouteInput, 1, 1, false);
  HostBuffers in1(1, kBlock, 0.25f);
  Render(*proc, in1, out, kBlock, false);
  for (int s = 0; s < kBlock; ++s)
    ASSERT_EQ(out.mData[1][s], 0.0f);
}

TEST(Processor, ConnectAndAttachIgnoreOutOfRangeChannels)
{
  auto proc = MakePrepared("2-2");
  proc->ConnectChannels(eRouteInput, 0, 2, false);
  proc->ConnectChannels(eRouteInput, -3, 4, true); // reaches channel 0 only
  proc->ConnectChannels(eRouteInput, 5, 10, true);
  proc->ConnectChannels(eRouteInput, 1, std::numeric_limits<int>::max(), false);
  EXPECT_TRUE(proc->IsChannelConnected(eRouteInput, 0));
  EXPECT_FALSE(proc->IsChannelConnected(eRouteInput, 1));
  EXPECT_FALSE(proc->IsChannelConnected(eRouteInput, 7));

  HostBuffers in(1, kBlock, 1.0f);
  proc->AttachHostBuffers(eRouteInput, -1, 100, in.Ptrs(), kBlock);
  EXPECT_EQ(proc->Slot(eRouteInput, 0)[0], 1.0);
}

TEST(Processor, FloatDoubleFloatRoundTripIsExact)
{
  auto proc = MakePrepared("2-2");
  const float values[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.1f, 1e-30f, std::numeric_limits<float>::denorm_min(),
                          std::numeric_limits<float>::max(), -std::numeric_limits<float>::lowest(), 3.14159265f};
  HostBuffers in(2, kBlock);
  for (int s = 0; s < kBlock; ++s)
  {
    in.mData[0][s] = values[s % std::size(values)];
    in.mData[1][s] = -values[s % std::size(values)] * 0.5f;
  }
  HostBuffers out(2, kBlock, 7.0f);
  Render(*proc, in, out, kBlock, false);
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(std::memcmp(in.mData[ch].data(), out.mData[ch].data(), kBlock * sizeof(float)), 0) << ch;
}

TEST(Processor, DefaultProcessingAndZeroLatencyBypassZeroSurplusOutputs)
{
  for (bool bypassed : {false, true})
  {
    auto proc = MakePrepared("1-2");
    HostBuffers in(1, kBlock);
    std::iota(in.mData[0].begin(), in.mData[0].end(), 1.0f);
    HostBuffers out(2, kBlock, 7.0f);
    Render(*proc, in, out, kBlock, bypassed);
    EXPECT_EQ(out.mData[0], in.mData[0]) << bypassed;
    EXPECT_EQ(out.mData[1], std::vector<float>(kBlock, 0.0f)) << bypassed;
  }
}

class LatencyBypass : public ::testing::TestWithParam<int>
{
};

TEST_P(LatencyBypass, DelaysEveryChannelByExactlyTheLatencyAcrossBlocks)
{
  const int latency = GetParam();
  auto proc = MakePrepared("1-1 2-2", latency);
  ASSERT_EQ(proc->GetLatency(), latency);

  const int chunks[] = {64, 13, 50, 64, 1, 64, 44};
  int pos = 0;
  for (int n : chunks)
  {
    HostBuffers in(2, n), out(2, n, 7.0f);
    for (int s = 0; s < n; ++s)
      for (int ch = 0; ch < 2; ++ch)
        in.mData[ch][s] = static_cast<float>(pos + s + 1 + 1000 * ch);
    Render(*proc, in, out, n, true);
    for (int s = 0; s < n; ++s)
      for (int ch = 0; ch < 2; ++ch)
      {
        const int t = pos + s - latency;
        const float expected = t < 0 ? 0.0f : static_cast<float>(t + 1 + 1000 * ch);
        ASSERT_EQ(out.mData[ch][s], expected) << "sample " << pos + s << " channel " << ch;
      }
    pos += n;
  }
}

INSTANTIATE_TEST_SUITE_P(Latencies, LatencyBypass, ::testing::Values(16, 80));

TEST(Processor, ApplyLatencyRestartsDelayLineAtNewLength)
{
  auto proc = MakePrepared("2-2", 0);
  proc->ApplyLatency(16);
  proc->ApplyLatency(-4); // ignored
  EXPECT_EQ(proc->GetLatency(), 16);

  HostBuffers in(2, kBlock, 1.0f), out(2, kBlock);
  Render(*proc, in, out, kBlock, true);
  EXPECT_EQ(out.mData[0][15], 0.0f);
  EXPECT_EQ(out.mData[0][16], 1.0f);

  proc->ApplyLatency(3); // buffer is cleared: the old contents must not leak out
  HostBuffers in2(2, kBlock, 2.0f);
  Render(*proc, in2, out, kBlock, true);
  EXPECT_EQ(out.mData[1][2], 0.0f);
  EXPECT_EQ(out.mData[1][3], 2.0f);
}

TEST(Processor, DelayLineNeedsInputChannels)
{
  TestProcessor noInput(MakeConfig("0-2", 16));
  EXPECT_FALSE(noInput.CreateLatencyDelay());
  TestProcessor stereo(MakeConfig("2-2", 16));
  EXPECT_TRUE(stereo.CreateLatencyDelay());
}

TEST(Processor, ChangeBlockSizeKeepsScratchAtSameSizeAndZeroesOnChange)
{
  auto proc = MakePrepared("2-2");
  proc->Scratch(eRouteInput, 1)[3] = 0.75;
  proc->Scratch(eRouteOutput, 0)[5] = -0.5;
  proc->ChangeBlockSize(kBlock);
  EXPECT_EQ(proc->Scratch(eRouteInput, 1)[3], 0.75);
  EXPECT_EQ(proc->Scratch(eRouteOutput, 0)[5], -0.5);

  proc->ChangeBlockSize(2 * kBlock);
  EXPECT_EQ(proc->GetBlockSize(), 2 * kBlock);
  EXPECT_EQ(proc->Scratch(eRouteInput, 1)[3], 0.0);
  EXPECT_EQ(proc->Scratch(eRouteOutput, 0)[5], 0.0);
  EXPECT_EQ(proc->Slot(eRouteOutput, 0), proc->Scratch(eRouteOutput, 0)); // no slot left on freed storage

  proc->ChangeBlockSize(-1);
  EXPECT_EQ(proc->GetBlockSize(), 2 * kBlock);
}

TEST(Processor, ClearScratchZeroesEveryChannel)
{
  auto proc = MakePrepared("2-2");
  proc->Scratch(eRouteInput, 0)[0] = 1.0;
  proc->Scratch(eRouteOutput, 1)[kBlock - 1] = 1.0;
  proc->ClearScratch();
  EXPECT_EQ(proc->Scratch(eRouteInput, 0)[0], 0.0);
  EXPECT_EQ(proc->Scratch(eRouteOutput, 1)[kBlock - 1], 0.0);
}

// ---------------------------------------------------------------- bad host input

TEST(ProcessorRobustness, OversizedBlockProcessesPreparedFramesAndSilencesTheRest)
{
  for (bool bypassed : {false, true})
  {
    auto proc = MakePrepared("2-2", bypassed ? 16 : 0);
    const int frames = 3 * kBlock;
    HostBuffers in(2, frames, 1.0f), out(2, frames, 7.0f);
    Render(*proc, in, out, frames, bypassed);
    const int firstSound = bypassed ? 16 : 0;
    for (int s = 0; s < frames; ++s)
      ASSERT_EQ(out.mData[1][s], s >= firstSound && s < kBlock ? 1.0f : 0.0f) << s << " bypassed " << bypassed;
  }
}

TEST(ProcessorRobustness, RunNeverWritesPastAttachedOutputLength)
{
  for (bool bypassed : {false, true})
  {
    auto proc = MakePrepared("2-2");
    const int attached = 10;
    HostBuffers in(2, kBlock, 1.0f);
    std::vector<float> shortOut(attached, 7.0f); // ASan traps any write past it
    float* outs[] = {shortOut.data(), shortOut.data()};
    proc->AttachHostBuffers(eRouteInput, 0, 2, in.Ptrs(), kBlock);
    proc->AttachHostBuffers(eRouteOutput, 0, 2, outs, attached);
    bypassed ? proc->RunBypassed(2 * kBlock) : proc->RunBlock(2 * kBlock);
    EXPECT_EQ(shortOut, std::vector<float>(attached, 1.0f));
  }
}

TEST(ProcessorRobustness, NegativeFramesProcessNothing)
{
  for (bool bypassed : {false, true})
  {
    auto proc = MakePrepared("2-2", bypassed ? 16 : 0);
    HostBuffers in(2, kBlock, 1.0f), out(2, kBlock, 7.0f);
    Render(*proc, in, out, -5, bypassed);
    EXPECT_EQ(out.mData[0], std::vector<float>(kBlock, 7.0f));
    EXPECT_EQ(proc->Scratch(eRouteInput, 0)[0], 0.0);
  }
}

TEST(ProcessorRobustness, BlockBeforeAnyBlockSizeDoesNothing)
{
  TestProcessor proc(MakeConfig("2-2"));
  proc.ConnectChannels(eRouteInput, 0, 2, true);
  proc.ConnectChannels(eRouteOutput, 0, 2, true);
  HostBuffers in(2, kBlock, 1.0f), out(2, kBlock, 7.0f);
  Render(proc, in, out, kBlock, false);
  EXPECT_EQ(out.mData[0], std::vector<float>(kBlock, 0.0f));
}

TEST(ProcessorRobustness, NullHostPointersReadSilenceAndWriteNowhere)
{
  auto proc = MakePrepared("2-2");
  HostBuffers primed(2, kBlock, 1.0f), out(2, kBlock);
  Render(*proc, primed, out, kBlock, false);

  float* inputs[] = {nullptr, primed.mPtrs[1]};
  float* outputs[] = {out.mPtrs[0], nullptr};
  std::fill(out.mData[0].begin(), out.mData[0].end(), 7.0f);
  proc->AttachHostBuffers(eRouteInput, 0, 2, inputs, kBlock);
  proc->AttachHostBuffers(eRouteOutput, 0, 2, outputs, kBlock);
  proc->RunBlock(kBlock);
  EXPECT_EQ(out.mData[0], std::vector<float>(kBlock, 0.0f));

  proc->AttachHostBuffers(eRouteInput, 0, 2, nullptr, kBlock);
  proc->AttachHostBuffers(eRouteOutput, 0, 2, nullptr, kBlock);
  proc->RunBypassed(kBlock);
  EXPECT_EQ(proc->Scratch(eRouteInput, 1)[0], 0.0);
}

// ---------------------------------------------------------------- real-time safety

TEST(ProcessorRealTime, BlockCallsDoNotAllocate)
{
  auto proc = MakePrepared("1-1 2-2", 80);
  proc->ApplyLatency(16);
  HostBuffers in(2, kBlock, 0.5f), out(2, kBlock);
  testsupport::AllocationScope scope;
  for (int block = 0; block < 4; ++block)
  {
    proc->ConnectChannels(eRouteInput, 0, 2, true);
    proc->ConnectChannels(eRouteOutput, 0, 2, true);
    proc->ConnectChannels(eRouteInput, 1, 1, block % 2 == 0);
    Render(*proc, in, out, kBlock, block >= 2);
    proc->RunBypassed(3 * kBlock);
    proc->RunBlock(-1);
  }
  proc->ClearScratch();
  proc->LabelChannels(eRouteInput, 0, "Input %i", false);
  EXPECT_EQ(scope.Count(), 0u);
}

TEST(ProcessorRealTime, LatencyWithinReservedLengthDoesNotAllocate)
{
  TestProcessor proc(MakeConfig("2-2", 16));
  ASSERT_TRUE(proc.CreateLatencyDelay(80));
  testsupport::AllocationScope scope;
  proc.ApplyLatency(80);
  proc.ApplyLatency(16);
  proc.ApplyLatency(80);
  EXPECT_EQ(scope.Count(), 0u);
}
