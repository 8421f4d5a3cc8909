// TALVEN's LV2 bundle in Debian's lilv tools, found through LV2_PATH as any host finds it:
// lv2ls lists both plug-ins, lv2info shows every port, and lv2apply, which runs one frame per
// call with no host features at all, renders exactly what the AAX module renders in plughost
// and what the engine renderer renders, at the same block size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "EngineRender.h"
#include "TALVEN.h"
#include "TestSignal.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kMonoURI = "urn:brasswick:talven:mono";
constexpr const char* kStereoURI = "urn:brasswick:talven:stereo";

class LV2Tools : public ::testing::Test
{
protected:
  void SetUp() override
  {
    if (!std::getenv("LV2_PATH"))
      setenv("LV2_PATH", TALVEN_LV2_DIR, 1);
    mDir = fs::temp_directory_path() / ("talven-lv2-tools-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const std::string& name) const { return (mDir / name).string(); }

  // runs a command line, a lilv tool in the environment it needs; returns its exit status, its standard output in out
  int Run(const std::string& command, std::string& out, bool lilvTool = true) const
  {
    const std::string line =
      (lilvTool ? std::string(LV2_TOOL_ENV) + " " : "") + command + " >" + Path("stdout") + " 2>" + Path("stderr");
    const int status = std::system(line.c_str());
    std::ifstream f(Path("stdout"));
    out.assign(std::istreambuf_iterator<char>(f), {});
    std::ifstream e(Path("stderr"));
    mLastError.assign(std::istreambuf_iterator<char>(e), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path mDir;
  mutable std::string mLastError;
};

std::vector<std::string> Lines(const std::string& text)
{
  std::vector<std::string> lines;
  std::stringstream ss(text);
  for (std::string line; std::getline(ss, line);)
    if (!line.empty())
      lines.push_back(line);
  return lines;
}

// lv2info's block for each port, keyed by index
std::vector<std::string> PortBlocks(const std::string& info)
{
  std::vector<std::string> blocks;
  for (size_t at = info.find("\tPort "); at != std::string::npos;)
  {
    const size_t next = info.find("\tPort ", at + 1);
    blocks.push_back(info.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return blocks;
}

std::string Field(const char* name, const std::string& value)
{
  char padded[32];
  std::snprintf(padded, sizeof(padded), "%-13s", (std::string(name) + ":").c_str());
  return std::string(padded) + value + "\n";
}

std::string Number(double v)
{
  char text[32];
  std::snprintf(text, sizeof(text), "%f", v);
  return text;
}

// The same few settings for every renderer: the port symbol, the parameter name and the value.
struct Setting
{
  const char* symbol;
  const char* name;
  const char* value;
};

constexpr Setting kSettings[] = {
  {"low_gain", "Low Gain", "3"},   {"mid_gain", "Mid Gain", "-2"}, {"high_mid_frequency", "High Mid Frequency", "4"},
  {"drive", "Drive", "15"},        {"oversampling", "Oversampling", "1"},
};

} // namespace

TEST_F(LV2Tools, Lv2lsListsBothPluginsFromTheBundlePath)
{
  std::string out;
  ASSERT_EQ(Run("lv2ls", out), 0) << mLastError;
  const std::vector<std::string> lines = Lines(out);
  EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), (std::set<std::string>{kMonoURI, kStereoURI})) << out;
}

TEST_F(LV2Tools, Lv2infoShowsEveryPortWithItsRangeAndScalePoints)
{
  std::string info;
  ASSERT_EQ(Run(std::string("lv2info ") + kStereoURI, info), 0) << mLastError;
  EXPECT_NE(info.find("Name:              TALVEN Stereo"), std::string::npos) << info;
  EXPECT_NE(info.find("Author:            Brasswick"), std::string::npos) << info;
  EXPECT_NE(info.find("http://lv2plug.in/ns/ext/state#interface"), std::string::npos) << info;

  const std::vector<std::string> blocks = PortBlocks(info);
  talven::TALVEN reference;
  std::vector<std::vector<std::string>> expected = {
    {Field("Symbol", "in_l")}, {Field("Symbol", "in_r")}, {Field("Symbol", "out_l")}, {Field("Symbol", "out_r")}};
  for (int i = 0; i < reference.NParams(); ++i)
  {
    const iplug::IParam& p = *reference.GetParam(i);
    if (p.GetKind() == iplug::eKindNone)
      continue;
    std::vector<std::string> fields = {Field("Name", p.Name()), Field("Minimum", Number(p.GetMin())),
                                       Field("Maximum", Number(p.GetMax())), Field("Default", Number(p.GetDefault()))};
    for (int t = 0; t < p.DisplayTextCount(); ++t)
    {
      double value = 0.0;
      const char* text = p.DisplayTextAt(t, &value);
      char line[96];
      std::snprintf(line, sizeof(line), "%.1f = \"%s\"", value, text);
      fields.emplace_back(line);
    }
    expected.push_back(fields);
  }
  expected.push_back({Field("Symbol", "latency"), Field("Designation", "http://lv2plug.in/ns/lv2core#latency")});
  expected.push_back({Field("Symbol", "enabled"), Field("Designation", "http://lv2plug.in/ns/lv2core#enabled")});

  ASSERT_EQ(blocks.size(), expected.size()) << info;
  for (size_t i = 0; i < blocks.size(); ++i)
    for (const std::string& field : expected[i])
      EXPECT_NE(blocks[i].find(field), std::string::npos) << "port " << i << " lacks \"" << field << "\":\n" << blocks[i];
  EXPECT_NE(info.find("Has latency:       yes, reported by port " + std::to_string(blocks.size() - 2)), std::string::npos);
}

// the frames of two renders that differ, with the first of them
std::string Differences(const talvenhost::AudioBuffer& a, const talvenhost::AudioBuffer& b)
{
  if (a.NumChannels() != b.NumChannels() || a.NumFrames() != b.NumFrames())
    return "different shapes";
  std::string report;
  for (int c = 0; c < a.NumChannels(); ++c)
  {
    int mismatches = 0;
    int first = -1;
    for (int i = 0; i < a.NumFrames(); ++i)
    {
      if (a.channels[c][i] != b.channels[c][i])
      {
        first = first < 0 ? i : first;
        ++mismatches;
      }
    }
    if (mismatches)
      report += "channel " + std::to_string(c) + ": " + std::to_string(mismatches) + " frames, the first at " +
                std::to_string(first) + "; ";
  }
  return report;
}

TEST_F(LV2Tools, Lv2applyRendersSampleForSampleWhatPlughostAndTheEngineRendererRenderOneFrameAtATime)
{
  talvenhost::AudioBuffer input = talvenhost::MakeDefaultTestSignal();
  for (auto& ch : input.channels)
    ch.resize(static_cast<size_t>(input.sampleRate / 2)); // half a second: the sweep's start and the noise
  std::string error;
  ASSERT_TRUE(talvenhost::WriteAudioFile(Path("in.wav"), input, error)) << error;

  std::string lv2apply = "lv2apply -i " + Path("in.wav") + " -o " + Path("lv2apply.wav");
  // plughost's own leaks at exit are its tests' business, not this comparison's
  std::string plughost = "env ASAN_OPTIONS=detect_leaks=0 " + std::string(PLUGHOST_EXE) + " render " + TALVEN_AAX_MODULE + " -i " + Path("in.wav") + " -o " +
                         Path("plughost.wav") + " --block 1 --raw";
  talvenhost::RenderOptions options;
  for (const Setting& s : kSettings)
  {
    lv2apply += std::string(" -c ") + s.symbol + " " + s.value;
    plughost += std::string(" --set \"") + s.name + "=" + s.value + "\"";
    options.settings.push_back(std::string(s.name) + "=" + s.value);
  }
  std::string out;
  ASSERT_EQ(Run(lv2apply + " " + kStereoURI, out), 0) << mLastError;
  ASSERT_EQ(Run(plughost, out, false), 0) << mLastError;
  EXPECT_EQ(out, "latency=80\n");

  talvenhost::AudioBuffer applied;
  talvenhost::AudioBuffer hosted;
  ASSERT_TRUE(talvenhost::ReadAudioFile(Path("lv2apply.wav"), applied, error)) << error;
  ASSERT_TRUE(talvenhost::ReadAudioFile(Path("plughost.wav"), hosted, error)) << error;
  // lv2apply keeps the latency in its output and runs one frame per call
  options.blockSize = 1;
  options.raw = true;
  talvenhost::RenderResult rendered;
  ASSERT_EQ(talvenhost::RenderWithEngine(input, options, rendered, error), 0) << error;

  ASSERT_EQ(applied.NumFrames(), input.NumFrames());
  EXPECT_EQ(Differences(applied, hosted), "") << "lv2apply against plughost render";
  EXPECT_EQ(Differences(applied, rendered.output), "") << "lv2apply against the engine renderer";
}
