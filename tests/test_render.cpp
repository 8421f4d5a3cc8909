#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <sndfile.h>

#include "AudioFile.h"
#include "EngineRender.h"
#include "ModuleFrontEnd.h"
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
    "--module " + Path("missing.aaxplugin"),
    "--module",
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

namespace {

struct Renderer
{
  const char* mName;
  RenderFunction mRender;
};

// the module front end renders through the TALVEN module of this tree
const Renderer kRenderers[] = {{"engine", RenderWithEngine}, {"module", RenderWithModule}};

RenderOptions Options(std::vector<std::string> settings, int blockSize = 512, bool raw = false)
{
  RenderOptions options;
  options.settings = std::move(settings);
  options.blockSize = blockSize;
  options.raw = raw;
  options.modulePath = TALVEN_MODULE;
  return options;
}

} // namespace

TEST(RenderJob, AlignedOutputLinesUpWithTheInputAndRawKeepsTheLatency)
{
  const AudioBuffer input = MakeSine(44100, 2, 0.5, 440.0, 0.5);
  for (const Renderer& renderer : kRenderers)
    for (bool raw : {false, true})
    {
      RenderResult result;
      std::string error;
      ASSERT_EQ(renderer.mRender(input, Options({"Drive=-24"}, 333, raw), result, error, {}), 0) << error;
      ASSERT_EQ(result.latency, 16) << renderer.mName;
      ASSERT_EQ(result.output.NumFrames(), input.NumFrames()) << renderer.mName;
      const int shift = raw ? 16 : 0;
      // after the drive smoother has settled the chain is the identity up to its delay
      for (int i = 8000; i < input.NumFrames(); ++i)
        ASSERT_NEAR(result.output.channels[1][size_t(i)], input.channels[1][size_t(i - shift)], 1e-6)
          << renderer.mName << " sample " << i;
    }
}

TEST(RenderJob, SettingsTakeNumbersLabelsAndDisplayTexts)
{
  const AudioBuffer input = MakeSine(48000, 1, 0.05, 1000.0, 0.1);
  const RenderOptions options =
    Options({"Low Frequency=110 Hz", "High Frequency=9.3", "Oversampling=Oversampling On", "All Bypass=1"});
  for (const Renderer& renderer : kRenderers)
  {
    RenderResult result;
    std::string error;
    EXPECT_EQ(renderer.mRender(input, options, result, error, {}), 0) << renderer.mName << ": " << error;
    EXPECT_EQ(result.latency, 80) << renderer.mName;
  }
}

// Up to the binding's prepared block size nothing resets the engine, so a host plays exactly what the
// plug-in class computes on its own.
TEST(RenderJob, ModuleFrontEndRendersTheEngineRenderersSamplesForBlocksUpTo512)
{
  AudioBuffer input = MakeDefaultTestSignal();
  for (auto& channel : input.channels)
    channel.resize(12000);
  const std::vector<std::string> settingsTable[] = {
    {},
    {"Low Gain=6", "Mid Frequency=1200 Hz", "High Mid Q=1.5", "Drive=12", "Trim=-2.5"},
    {"Oversampling=Oversampling On", "High Gain=-4", "Low Mid Gain=5", "High Frequency=9.3"},
    {"LF/HF Bypass=0", "Mid Gain=-7.5", "Low Frequency=110 Hz", "Oversampling=1"},
  };
  for (const int blockSize : {1, 64, 333, 512})
    for (const std::vector<std::string>& settings : settingsTable)
    {
      const RenderOptions options = Options(settings, blockSize, blockSize == 333);
      RenderResult engine, module;
      std::string error;
      ASSERT_EQ(RenderWithEngine(input, options, engine, error), 0) << error;
      ASSERT_EQ(RenderWithModule(input, options, module, error), 0) << error;
      const std::string what = "block " + std::to_string(blockSize) + ", settings " + std::to_string(&settings - settingsTable);
      EXPECT_EQ(module.latency, engine.latency) << what;
      EXPECT_EQ(module.state, engine.state) << what;
      ASSERT_EQ(module.output.NumChannels(), 2) << what;
      for (int c = 0; c < 2; ++c)
      {
        const std::vector<float>& expected = engine.output.channels[size_t(c)];
        const std::vector<float>& got = module.output.channels[size_t(c)];
        ASSERT_EQ(got.size(), expected.size()) << what;
        const auto differs = std::mismatch(got.begin(), got.end(), expected.begin());
        EXPECT_EQ(differs.first, got.end()) << what << ": channel " << c << " first differs at sample "
                                            << differs.first - got.begin();
      }
    }
}

// A longer first block makes the binding resize and reset the engine after the settings arrived, so the module
// starts at the set values; the engine renderer's first block still runs at the defaults it glides from.
TEST(RenderJob, ModuleFrontEndStartsAtTheSetValuesAfterALongerFirstBlock)
{
  constexpr int kBlock = 4096;
  const AudioBuffer input = MakeSine(48000, 1, 0.5, 50.0, 0.25);
  const RenderOptions options = Options({"Low Gain=12"}, kBlock);
  RenderResult engine, module;
  std::string error;
  ASSERT_EQ(RenderWithEngine(input, options, engine, error), 0) << error;
  ASSERT_EQ(RenderWithModule(input, options, module, error), 0) << error;
  const auto firstBlockDb = [](const AudioBuffer& b) {
    return RmsDb(std::vector<float>(b.channels[0].begin(), b.channels[0].begin() + kBlock), 0);
  };
  EXPECT_NEAR(firstBlockDb(engine.output), firstBlockDb(input), 1.0);
  EXPECT_GT(firstBlockDb(module.output), firstBlockDb(engine.output) + 3.0) << firstBlockDb(module.output);
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
