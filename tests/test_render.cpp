#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sndfile.h>

#include "AudioFile.h"
#include "RenderJob.h"
#include "TestSignal.h"

using namespace talvenhost;
namespace fs = std::filesystem;

namespace {

class RenderCommand : public ::testing::Test
{
protected:
  void SetUp() override
  {
    mDir = fs::temp_directory_path() / ("talven-render-test-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const std::string& name) const { return (mDir / name).string(); }

  // runs the executable; returns its exit status, stdout in out
  int Run(const std::string& args, std::string* out = nullptr) const
  {
    const std::string stdoutPath = Path("stdout.txt");
    const std::string cmd = std::string(TALVEN_RENDER_EXE) + " " + args + " >" + stdoutPath + " 2>" + Path("stderr.txt");
    const int status = std::system(cmd.c_str());
    if (out)
    {
      std::ifstream f(stdoutPath);
      out->assign(std::istreambuf_iterator<char>(f), {});
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path mDir;
};

AudioBuffer MakeSine(int sampleRate, int channels, double seconds, double hz, double amplitude)
{
  AudioBuffer b;
  b.sampleRate = sampleRate;
  const int frames = static_cast<int>(seconds * sampleRate);
  b.channels.assign(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames)));
  for (auto& ch : b.channels)
    for (int i = 0; i < frames; ++i)
      ch[static_cast<size_t>(i)] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * hz * i / sampleRate));
  return b;
}

double RmsDb(const std::vector<float>& v, size_t from)
{
  double sum = 0.0;
  for (size_t i = from; i < v.size(); ++i)
    sum += double(v[i]) * v[i];
  return 10.0 * std::log10(sum / double(v.size() - from));
}

} // namespace

TEST_F(RenderCommand, DefaultSignalRendersToAValidFloatWav)
{
  std::string out;
  ASSERT_EQ(Run("-o " + Path("out.wav"), &out), 0);
  EXPECT_EQ(out, "latency=16\n");

  SF_INFO info{};
  SNDFILE* f = sf_open(Path("out.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(f, nullptr);
  sf_close(f);
  EXPECT_EQ(info.samplerate, 48000);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.frames, 96000);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
}

TEST_F(RenderCommand, OversamplingReportsItsLatency)
{
  std::string out;
  ASSERT_EQ(Run("--set \"Oversampling=Oversampling On\" --block 100", &out), 0);
  EXPECT_EQ(out, "latency=80\n");
}

TEST_F(RenderCommand, BadInputExitsTwoAndWritesNothing)
{
  std::ofstream(Path("text.wav")) << "not audio at all";
  std::string error;
  ASSERT_TRUE(WriteAudioFile(Path("three.wav"), MakeSine(48000, 3, 0.1, 100, 0.1), error)) << error;

  const std::string cases[] = {
    "--set \"Loudness=3\"",
    "--set \"Low Gain=loud\"",
    "--set \"Oversampling=Oversampling on\"", // display texts match exactly
    "--set \"Low Gain\"",
    "--block 0",
    "--block many",
    "-i " + Path("missing.wav"),
    "-i " + Path("text.wav"),
    "-i " + Path("three.wav"),
    "--frobnicate",
  };
  for (const std::string& args : cases)
  {
    EXPECT_EQ(Run(args + " -o " + Path("out.wav")), kExitUsage) << args;
    EXPECT_FALSE(fs::exists(Path("out.wav"))) << args;
  }
}

TEST_F(RenderCommand, LowGainRaisesALowSineBySixDecibels)
{
  std::string error;
  ASSERT_TRUE(WriteAudioFile(Path("sine.wav"), MakeSine(48000, 1, 6.0, 10.0, 0.1), error)) << error;
  ASSERT_EQ(Run("-i " + Path("sine.wav") + " -o " + Path("flat.wav")), 0);
  ASSERT_EQ(Run("-i " + Path("sine.wav") + " -o " + Path("boost.wav") + " --set \"Low Gain=6\""), 0);

  AudioBuffer flat, boost;
  ASSERT_TRUE(ReadAudioFile(Path("flat.wav"), flat, error)) << error;
  ASSERT_TRUE(ReadAudioFile(Path("boost.wav"), boost, error)) << error;
  ASSERT_EQ(boost.NumChannels(), 1);
  const size_t settled = 48000 * 2;
  EXPECT_NEAR(RmsDb(boost.channels[0], settled) - RmsDb(flat.channels[0], settled), 6.0, 0.75);
}

TEST(RenderJob, AlignedOutputLinesUpWithTheInputAndRawKeepsTheLatency)
{
  const AudioBuffer input = MakeSine(44100, 2, 0.5, 440.0, 0.5);
  for (bool raw : {false, true})
  {
    RenderOptions options;
    options.raw = raw;
    options.blockSize = 333;
    options.settings = {"Drive=-24"};
    RenderResult result;
    std::string error;
    ASSERT_TRUE(Render(input, options, result, error)) << error;
    ASSERT_EQ(result.latency, 16);
    ASSERT_EQ(result.output.NumFrames(), input.NumFrames());
    const int shift = raw ? 16 : 0;
    // after the drive smoother has settled the chain is the identity up to its delay
    for (int i = 8000; i < input.NumFrames(); ++i)
      ASSERT_NEAR(result.output.channels[1][size_t(i)], input.channels[1][size_t(i - shift)], 1e-6) << i;
  }
}

TEST(RenderJob, SettingsTakeNumbersLabelsAndDisplayTexts)
{
  const AudioBuffer input = MakeSine(48000, 1, 0.05, 1000.0, 0.1);
  RenderOptions options;
  options.settings = {"Low Frequency=110 Hz", "High Frequency=9.3", "Oversampling=Oversampling On", "All Bypass=1"};
  RenderResult result;
  std::string error;
  EXPECT_TRUE(Render(input, options, result, error)) << error;
  EXPECT_EQ(result.latency, 80);
}

TEST_F(RenderCommand, ASavedStateRestoresTheSameOutput)
{
  const std::string set = " --set \"Mid Gain=-7.5\" --set \"Drive=18\" --set \"Oversampling=Oversampling On\"";
  ASSERT_EQ(Run("-o " + Path("set.wav") + " --state-out " + Path("state.bin") + set), 0);
  EXPECT_EQ(fs::file_size(Path("state.bin")), 188u);
  std::string out;
  ASSERT_EQ(Run("-o " + Path("restored.wav") + " --state-in " + Path("state.bin"), &out), 0);
  EXPECT_EQ(out, "latency=80\n");

  AudioBuffer a, b;
  std::string error;
  ASSERT_TRUE(ReadAudioFile(Path("set.wav"), a, error)) << error;
  ASSERT_TRUE(ReadAudioFile(Path("restored.wav"), b, error)) << error;
  EXPECT_EQ(a.channels, b.channels);
}

TEST_F(RenderCommand, ATruncatedStateIsReportedAndTheRenderGoesOn)
{
  ASSERT_EQ(Run("--state-out " + Path("state.bin") + " --set \"Low Gain=4\""), 0);
  std::string bytes;
  {
    std::ifstream f(Path("state.bin"), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), {});
  }
  std::ofstream(Path("cut.bin"), std::ios::binary) << bytes.substr(0, 100);
  ASSERT_EQ(Run("-o " + Path("out.wav") + " --state-in " + Path("cut.bin")), 0);
  std::ifstream err(Path("stderr.txt"));
  const std::string message((std::istreambuf_iterator<char>(err)), {});
  EXPECT_NE(message.find("did not load completely"), std::string::npos) << message;
  EXPECT_TRUE(fs::exists(Path("out.wav")));

  EXPECT_EQ(Run("-o " + Path("none.wav") + " --state-in " + Path("missing.bin")), kExitUsage);
  EXPECT_FALSE(fs::exists(Path("none.wav")));
}
