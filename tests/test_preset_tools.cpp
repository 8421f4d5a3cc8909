#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "ApiPlug.h"
#include "IPlugPresetTools.h"
#include "IPlugProgramFiles.h"

namespace fs = std::filesystem;
using iplug::IDataChunk;
using testsupport::ApiPlug;
using Bytes = std::vector<uint8_t>;

namespace {

// A scratch directory per test, removed afterwards.
class FileTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    mDir = fs::temp_directory_path() /
           (std::string("talven_") + info->test_suite_name() + "_" + info->name() + "_" + std::to_string(getpid()));
    fs::create_directories(mDir);
  }
  void TearDown() override { fs::remove_all(mDir); }

  std::string Path(const char* name) const { return (mDir / name).string(); }

  fs::path mDir;
};

Bytes ReadFile(const std::string& path)
{
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// the dumps are text files: read back in text mode, so line ends compare as "\n" on every platform
std::string ReadText(const std::string& path)
{
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t BigEndianAt(const Bytes& bytes, size_t pos)
{
  return (uint32_t{bytes[pos]} << 24) | (uint32_t{bytes[pos + 1]} << 16) | (uint32_t{bytes[pos + 2]} << 8) | bytes[pos + 3];
}

void PutBigEndian(Bytes& bytes, size_t pos, uint32_t v)
{
  for (int k = 0; k < 4; ++k)
    bytes[pos + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (24 - 8 * k));
}

float BigEndianFloatAt(const Bytes& bytes, size_t pos)
{
  const uint32_t bits = BigEndianAt(bytes, pos);
  float v = 0.f;
  std::memcpy(&v, &bits, sizeof(v));
  return v;
}

std::string TextAt(const Bytes& bytes, size_t pos, size_t n)
{
  return std::string(bytes.begin() + static_cast<long>(pos), bytes.begin() + static_cast<long>(pos + n));
}

Bytes ChunkBytes(const IDataChunk& chunk)
{
  return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

Bytes SavedState(const iplug::IPluginBase& plug)
{
  IDataChunk chunk;
  plug.SaveState(chunk);
  return ChunkBytes(chunk);
}

void SetValues(ApiPlug& plug, double gain, double mix, int mode, bool bypass)
{
  plug.GetParam(ApiPlug::kGain)->SetRealValue(gain);
  plug.GetParam(ApiPlug::kMix)->SetRealValue(mix);
  plug.GetParam(ApiPlug::kMode)->SetRealValue(mode);
  plug.GetParam(ApiPlug::kBypass)->SetRealValue(bypass ? 1.0 : 0.0);
}

// Two named presets with different states; the second one current.
void FillPresets(ApiPlug& plug)
{
  // positions a float32 holds exactly, so value files round-trip bit for bit
  SetValues(plug, -3.0, 12.5, 1, false);
  plug.RecallPreset(0);
  plug.ModifyCurrentPreset("Soft");
  SetValues(plug, 6.0, 75.0, 2, true);
  plug.RecallPreset(1);
  plug.ModifyCurrentPreset("Hard");
}

// Everything a refused load must leave as it was.
struct Snapshot
{
  Bytes state;
  std::vector<std::string> names;
  std::vector<bool> initialised;
  std::vector<Bytes> chunks;
  int current = 0;
  int notifications = 0;

  explicit Snapshot(const ApiPlug& plug)
    : state(SavedState(plug)), current(plug.GetCurrentPresetIdx()), notifications(plug.mPresetNotifications)
  {
    for (int i = 0; i < plug.NPresets(); ++i)
    {
      names.push_back(plug.GetPreset(i)->mName);
      initialised.push_back(plug.GetPreset(i)->mInitialised);
      chunks.push_back(ChunkBytes(plug.GetPreset(i)->mChunk));
    }
  }
  bool operator==(const Snapshot&) const = default;
};

enum EFileKind
{
  kChunkProgram,
  kValueProgram,
  kChunkBank,
  kValueBank
};

bool IsChunkKind(EFileKind kind) { return kind == kChunkProgram || kind == kChunkBank; }
bool IsBank(EFileKind kind) { return kind == kChunkBank || kind == kValueBank; }

bool Save(const ApiPlug& plug, EFileKind kind, const std::string& path)
{
  return IsBank(kind) ? iplug::SaveBankFile(plug, path.c_str()) : iplug::SaveProgramFile(plug, path.c_str());
}

bool Load(ApiPlug& plug, EFileKind kind, const std::string& path)
{
  return IsBank(kind) ? iplug::LoadBankFile(plug, path.c_str()) : iplug::LoadProgramFile(plug, path.c_str());
}

// A valid file of that kind from a plug-in with filled presets.
Bytes MakeFile(EFileKind kind, const std::string& path)
{
  ApiPlug source(IsChunkKind(kind));
  FillPresets(source);
  EXPECT_TRUE(Save(source, kind, path));
  return ReadFile(path);
}

constexpr size_t kNameAt = 28;          // prgName in a program header
constexpr size_t kChunkSizeAt = 56;     // chunk size in a chunk program
constexpr size_t kBankChunkSizeAt = 156;
constexpr int kStateBytes = 8 * ApiPlug::kNumParams;

} // namespace

// --- program and bank files ---------------------------------------------------------

TEST_F(FileTest, ChunkProgramHasTheExactHeaderThenTheMagicVersionAndState)
{
  ApiPlug plug;
  SetValues(plug, 1.5, 25.0, 2, true);
  plug.ModifyCurrentPreset("Warm");
  ASSERT_TRUE(iplug::SaveProgramFile(plug, Path("a.fxp").c_str()));
  const Bytes file = ReadFile(Path("a.fxp"));

  const int chunkSize = 8 + kStateBytes;
  ASSERT_EQ(file.size(), size_t{60} + chunkSize);
  EXPECT_EQ(TextAt(file, 0, 4), "CcnK");
  EXPECT_EQ(BigEndianAt(file, 4), 60u + chunkSize);
  EXPECT_EQ(TextAt(file, 8, 4), "FPCh");
  EXPECT_EQ(BigEndianAt(file, 12), 1u);
  EXPECT_EQ(BigEndianAt(file, 16), uint32_t{ApiPlug::kUniqueId});
  EXPECT_EQ(BigEndianAt(file, 20), 10203u);
  EXPECT_EQ(BigEndianAt(file, 24), uint32_t{ApiPlug::kNumParams});
  EXPECT_EQ(TextAt(file, kNameAt, 28), std::string("Warm") + std::string(24, '\0'));
  EXPECT_EQ(BigEndianAt(file, kChunkSizeAt), uint32_t(chunkSize));
  EXPECT_EQ(TextAt(file, 60, 4), "tffp");
  EXPECT_EQ(TextAt(file, 64, 4), std::string("\x00\x00\x01\x00", 4)); // 65536, little-endian
  EXPECT_EQ(Bytes(file.begin() + 68, file.end()), SavedState(plug));
}

TEST_F(FileTest, ValueProgramHasTheExactHeaderThenBigEndianNormalisedValues)
{
  ApiPlug plug(false);
  SetValues(plug, 6.0, 25.0, 2, true);
  ASSERT_TRUE(iplug::SaveProgramFile(plug, Path("v.fxp").c_str()));
  const Bytes file = ReadFile(Path("v.fxp"));

  ASSERT_EQ(file.size(), size_t{56} + 4 * ApiPlug::kNumParams);
  EXPECT_EQ(TextAt(file, 0, 4), "CcnK");
  EXPECT_EQ(BigEndianAt(file, 4), 0u);
  EXPECT_EQ(TextAt(file, 8, 4), "FxCk");
  EXPECT_EQ(BigEndianAt(file, 12), 1u);
  EXPECT_EQ(BigEndianAt(file, 16), uint32_t{ApiPlug::kUniqueId});
  EXPECT_EQ(BigEndianAt(file, 20), 10203u);
  EXPECT_EQ(BigEndianAt(file, 24), uint32_t{ApiPlug::kNumParams});
  EXPECT_EQ(TextAt(file, kNameAt, 28), std::string("empty") + std::string(23, '\0'));
  const float expected[] = {0.75f, 0.25f, 1.0f, 1.0f};
  for (int i = 0; i < ApiPlug::kNumParams; ++i)
    EXPECT_EQ(BigEndianFloatAt(file, 56 + 4 * static_cast<size_t>(i)), expected[i]) << i;
}

TEST_F(FileTest, ANonFiniteValueInAProgramKeepsThatParameterAndLoadsTheRest)
{
  ApiPlug source(false);
  SetValues(source, 6.0, 25.0, 2, true);
  ASSERT_TRUE(iplug::SaveProgramFile(source, Path("v.fxp").c_str()));
  Bytes file = ReadFile(Path("v.fxp"));
  const unsigned char quietNaN[4] = {0x7F, 0xC0, 0x00, 0x00}; // big-endian float
  std::copy(std::begin(quietNaN), std::end(quietNaN), file.begin() + 56);
  WriteFile(Path("nan.fxp"), file);

  ApiPlug plug(false);
  SetValues(plug, -3.0, 50.0, 1, false);
  ASSERT_TRUE(iplug::LoadProgramFile(plug, Path("nan.fxp").c_str()));
  EXPECT_EQ(plug.GetParam(ApiPlug::kGain)->RealValue(), -3.0);
  EXPECT_DOUBLE_EQ(plug.GetParam(ApiPlug::kMix)->RealValue(), 25.0);
  EXPECT_EQ(plug.GetParam(ApiPlug::kMode)->RealValue(), 2.0);
}

TEST_F(FileTest, BanksHaveTheExactHeaderAndTheirPresetsInOrder)
{
  ApiPlug chunks;
  FillPresets(chunks);
  ASSERT_TRUE(iplug::SaveBankFile(chunks, Path("c.fxb").c_str()));
  const Bytes file = ReadFile(Path("c.fxb"));
  IDataChunk presets;
  chunks.SerializePresets(presets);
  const size_t chunkSize = 8 + static_cast<size_t>(presets.Size());
  ASSERT_EQ(file.size(), 160 + chunkSize);
  EXPECT_EQ(TextAt(file, 0, 4), "CcnK");
  EXPECT_EQ(BigEndianAt(file, 4), 160 + chunkSize);
  EXPECT_EQ(TextAt(file, 8, 4), "FBCh");
  EXPECT_EQ(BigEndianAt(file, 12), 2u);
  EXPECT_EQ(BigEndianAt(file, 16), uint32_t{ApiPlug::kUniqueId});
  EXPECT_EQ(BigEndianAt(file, 20), 10203u);
  EXPECT_EQ(BigEndianAt(file, 24), 2u); // programs
  EXPECT_EQ(BigEndianAt(file, 28), 1u); // current
  EXPECT_EQ(TextAt(file, 32, 124), std::string(124, '\0'));
  EXPECT_EQ(BigEndianAt(file, kBankChunkSizeAt), chunkSize);
  EXPECT_EQ(TextAt(file, 160, 4), "tffp");
  EXPECT_EQ(Bytes(file.begin() + 168, file.end()), ChunkBytes(presets));

  ApiPlug values(false);
  FillPresets(values);
  ASSERT_TRUE(iplug::SaveBankFile(values, Path("v.fxb").c_str()));
  const Bytes bank = ReadFile(Path("v.fxb"));
  const size_t recordSize = 56 + 4 * ApiPlug::kNumParams;
  ASSERT_EQ(bank.size(), 156 + 2 * recordSize);
  EXPECT_EQ(BigEndianAt(bank, 4), 0u);
  EXPECT_EQ(TextAt(bank, 8, 4), "FxBk");
  EXPECT_EQ(BigEndianAt(bank, 12), 2u);
  EXPECT_EQ(BigEndianAt(bank, 24), 2u);
  EXPECT_EQ(BigEndianAt(bank, 28), 1u);
  const char* names[] = {"Soft", "Hard"};
  const float firstValues[] = {0.375f, 0.125f, 0.5f, 0.0f};
  for (size_t p = 0; p < 2; ++p)
  {
    const size_t at = 156 + p * recordSize;
    EXPECT_EQ(TextAt(bank, at, 4), "CcnK");
    EXPECT_EQ(TextAt(bank, at + 8, 4), "FxCk");
    EXPECT_EQ(BigEndianAt(bank, at + 12), 1u);
    EXPECT_EQ(BigEndianAt(bank, at + 24), uint32_t{ApiPlug::kNumParams});
    EXPECT_STREQ(TextAt(bank, at + kNameAt, 28).c_str(), names[p]);
  }
  for (size_t i = 0; i < 4; ++i)
    EXPECT_FLOAT_EQ(BigEndianFloatAt(bank, 156 + 56 + 4 * i), firstValues[i]) << i;
}

TEST_F(FileTest, EveryKindRoundTripsIntoAFreshInstance)
{
  for (EFileKind kind : {kChunkProgram, kValueProgram, kChunkBank, kValueBank})
  {
    SCOPED_TRACE(kind);
    ApiPlug source(IsChunkKind(kind));
    FillPresets(source);
    ASSERT_TRUE(Save(source, kind, Path("f")));

    ApiPlug target(IsChunkKind(kind));
    ASSERT_TRUE(Load(target, kind, Path("f")));
    EXPECT_EQ(SavedState(target), SavedState(source));
    EXPECT_EQ(target.mPresetNotifications, 1);
    if (IsBank(kind))
    {
      EXPECT_EQ(Snapshot(target).names, Snapshot(source).names);
      EXPECT_EQ(Snapshot(target).chunks, Snapshot(source).chunks);
      EXPECT_EQ(target.GetCurrentPresetIdx(), 1);
    }
    else
    {
      // the program lands in the current slot under its own name
      EXPECT_STREQ(target.GetPresetName(0), "Hard");
      EXPECT_EQ(ChunkBytes(target.GetPreset(0)->mChunk), SavedState(source));
    }
  }
}

TEST_F(FileTest, EveryTruncationIsRefusedAndChangesNothing)
{
  for (EFileKind kind : {kChunkProgram, kValueProgram, kChunkBank, kValueBank})
  {
    SCOPED_TRACE(kind);
    const Bytes file = MakeFile(kind, Path("whole"));
    ApiPlug target(IsChunkKind(kind));
    SetValues(target, 2.0, 33.0, 1, true);
    const Snapshot before(target);
    for (size_t length = 0; length < file.size(); ++length)
    {
      WriteFile(Path("cut"), Bytes(file.begin(), file.begin() + static_cast<long>(length)));
      ASSERT_FALSE(Load(target, kind, Path("cut"))) << length;
      ASSERT_TRUE(Snapshot(target) == before) << length;
    }
  }
}

TEST_F(FileTest, DamagedHeadersAreRefusedAndChangeNothing)
{
  struct Case
  {
    const char* what;
    EFileKind kind;
    size_t offset;
    uint32_t value;
  };
  const size_t record = 156; // first program record of a value bank
  const Case cases[] = {
    {"file magic", kChunkProgram, 0, 0x43636E4C},
    {"program magic", kChunkProgram, 8, 0x46424368}, // a bank's magic in a program
    {"format version", kChunkProgram, 12, 2},
    {"foreign ID", kChunkProgram, 16, 0x4F746872},
    {"chunk size past the end", kChunkProgram, kChunkSizeAt, 0x7FFFFFFF},
    {"negative chunk size", kChunkProgram, kChunkSizeAt, 0xFFFFFFFF},
    {"parameter count", kValueProgram, 24, ApiPlug::kNumParams + 1},
    {"negative parameter count", kValueProgram, 24, 0x80000000},
    {"bank foreign ID", kChunkBank, 16, 0},
    {"bank chunk size past the end", kChunkBank, kBankChunkSizeAt, 0x7FFFFFF0},
    {"negative program count", kValueBank, 24, 0xFFFFFFFF},
    {"program count past the end", kValueBank, 24, 3},
    {"record magic", kValueBank, record, 0},
    {"record program magic", kValueBank, record + 8, 0x46504368},
    {"record version", kValueBank, record + 12, 2},
    {"record parameter count", kValueBank, record + 24, 3},
  };
  for (const Case& c : cases)
  {
    SCOPED_TRACE(c.what);
    Bytes file = MakeFile(c.kind, Path("whole"));
    PutBigEndian(file, c.offset, c.value);
    WriteFile(Path("bad"), file);
    ApiPlug target(IsChunkKind(c.kind));
    const Snapshot before(target);
    EXPECT_FALSE(Load(target, c.kind, Path("bad")));
    EXPECT_TRUE(Snapshot(target) == before);
  }
}

TEST_F(FileTest, AStateThePlugInCannotReadIsUndone)
{
  for (EFileKind kind : {kChunkProgram, kChunkBank})
  {
    SCOPED_TRACE(kind);
    // consistent sizes around a state that ends inside a value
    Bytes file = MakeFile(kind, Path("whole"));
    const size_t sizeAt = IsBank(kind) ? kBankChunkSizeAt : kChunkSizeAt;
    constexpr uint32_t kCut = 3;
    PutBigEndian(file, sizeAt, BigEndianAt(file, sizeAt) - kCut);
    file.resize(file.size() - kCut);
    WriteFile(Path("bad"), file);

    ApiPlug target;
    FillPresets(target);
    SetValues(target, -1.0, 70.0, 0, false);
    target.ModifyCurrentPreset("Other");
    SetValues(target, 4.0, 20.0, 2, false);
    const Snapshot before(target);
    EXPECT_FALSE(Load(target, kind, Path("bad")));
    EXPECT_TRUE(Snapshot(target) == before);
  }
}

TEST_F(FileTest, ChunkFilesNeedAChunkPlugInWhileValueProgramsLoadIntoEither)
{
  MakeFile(kChunkProgram, Path("c.fxp"));
  MakeFile(kChunkBank, Path("c.fxb"));
  MakeFile(kValueProgram, Path("v.fxp"));
  ApiPlug values(false);
  EXPECT_FALSE(iplug::LoadProgramFile(values, Path("c.fxp").c_str()));
  EXPECT_FALSE(iplug::LoadBankFile(values, Path("c.fxb").c_str()));
  ApiPlug chunks(true);
  EXPECT_TRUE(iplug::LoadProgramFile(chunks, Path("v.fxp").c_str()));
  EXPECT_EQ(chunks.GetParam(ApiPlug::kMix)->RealValue(), 75.0);
}

TEST_F(FileTest, MissingOrUnusablePathsFail)
{
  ApiPlug plug;
  for (const char* path : {static_cast<const char*>(nullptr), ""})
  {
    EXPECT_FALSE(iplug::SaveProgramFile(plug, path));
    EXPECT_FALSE(iplug::SaveBankFile(plug, path));
    EXPECT_FALSE(iplug::LoadProgramFile(plug, path));
    EXPECT_FALSE(iplug::LoadBankFile(plug, path));
  }
  EXPECT_FALSE(iplug::LoadProgramFile(plug, Path("missing.fxp").c_str()));
  EXPECT_FALSE(iplug::LoadBankFile(plug, mDir.string().c_str())); // a directory
  EXPECT_FALSE(iplug::SaveProgramFile(plug, Path("no/such/dir.fxp").c_str()));
}

TEST_F(FileTest, ALongProgramNameIsCutToTwentySevenBytesAtACharacterBoundary)
{
  ApiPlug plug;
  // 26 ASCII characters, then a two-byte character that would end at byte 28
  plug.ModifyCurrentPreset((std::string(26, 'n') + "\xC3\xA9" + "tail").c_str());
  ASSERT_TRUE(iplug::SaveProgramFile(plug, Path("n.fxp").c_str()));
  const Bytes file = ReadFile(Path("n.fxp"));
  EXPECT_EQ(TextAt(file, kNameAt, 28), std::string(26, 'n') + std::string(2, '\0'));
}

// --- parameter-set tools ------------------------------------------------------------

namespace {

// Six parameters with one range: three in "Left", two in "Right", one in no group.
class UniformPlug : public iplug::IPlugAPIBase
{
public:
  static constexpr int kCount = 6;
  static iplug::IPluginConfig Config()
  {
    iplug::IPluginConfig c;
    c.nParams = kCount;
    c.nPresets = 1;
    return c;
  }
  UniformPlug() : IPlugAPIBase(Config(), iplug::eApiAAX)
  {
    const char* groups[kCount] = {"Left", "Left", "Left", "Right", "Right", ""};
    for (int i = 0; i < kCount; ++i)
    {
      const std::string name = "P" + std::to_string(i);
      GetParam(i)->DefineContinuous(name.c_str(), 1.0, 0.0, 100.0, 0.1, "", 0, groups[i]);
      GetParam(i)->SetRealValue(10.0 * (i + 1));
    }
  }

  std::vector<double> Values() const
  {
    std::vector<double> v;
    for (int i = 0; i < NParams(); ++i)
      v.push_back(GetParam(i)->RealValue());
    return v;
  }
};

} // namespace

TEST(ParamTools, VisitorsSeeTheirParametersInOrderAndSkipIndicesOutsideTheList)
{
  UniformPlug plug;
  std::vector<int> seen;
  iplug::ForParamsInRange(plug, -2, 10, [&](int i, iplug::IParam&) { seen.push_back(i); });
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  seen.clear();
  iplug::ForParamsInGroup(plug, "Right", [&](int i, iplug::IParam&) { seen.push_back(i); });
  iplug::ForParamsInGroup(plug, "Righ", [&](int i, iplug::IParam&) { seen.push_back(i); });
  iplug::ForParamsInGroup(plug, nullptr, [&](int i, iplug::IParam&) { seen.push_back(i); });
  EXPECT_EQ(seen, (std::vector<int>{3, 4}));
}

TEST(ParamTools, ResetsReachTheirRangeOrGroupOnly)
{
  UniformPlug plug;
  iplug::ResetParamsToDefault(plug, "Right");
  EXPECT_EQ(plug.Values(), (std::vector<double>{10, 20, 30, 1, 1, 60}));
  iplug::ResetParamsToDefault(plug, 0, 1);
  EXPECT_EQ(plug.Values(), (std::vector<double>{1, 1, 30, 1, 1, 60}));
  iplug::ResetParamsToDefault(plug);
  EXPECT_EQ(plug.Values(), std::vector<double>(6, 1.0));
}

TEST(ParamTools, RandomiseTakesPositionsOf32768StepsFromTheCLibraryGenerator)
{
  UniformPlug plug;
  std::srand(7);
  iplug::RandomiseParams(plug, "Left");
  std::srand(7);
  for (int i = 0; i < 3; ++i)
  {
    const double position = (std::rand() % 32768) / 32768.0;
    EXPECT_DOUBLE_EQ(plug.GetParam(i)->RealValue(), 100.0 * position) << i;
  }
  EXPECT_EQ(plug.GetParam(3)->RealValue(), 40.0);
  EXPECT_EQ(plug.GetParam(5)->RealValue(), 60.0);
}

TEST(ParamTools, CopiesReadEveryValueBeforeWritingAndStopAtTheSmallerGroup)
{
  UniformPlug plug;
  iplug::CopyParamValues(plug, 0, 1, 3); // overlapping, forwards
  EXPECT_EQ(plug.Values(), (std::vector<double>{10, 10, 20, 30, 50, 60}));
  iplug::CopyParamValues(plug, 4, 5, 3); // past the end: only the pair that exists
  EXPECT_EQ(plug.Values(), (std::vector<double>{10, 10, 20, 30, 50, 50}));

  UniformPlug groups;
  iplug::CopyParamValues(groups, "Left", "Right");
  EXPECT_EQ(groups.Values(), (std::vector<double>{10, 20, 30, 10, 20, 60}));
  iplug::CopyParamValues(groups, "Right", "Left");
  EXPECT_EQ(groups.Values(), (std::vector<double>{10, 20, 30, 10, 20, 60}));
}

TEST(ParamTools, ClonesTakeDefinitionAndValueEvenOntoALaterPartOfTheirOwnRange)
{
  UniformPlug plug;
  iplug::CloneParamRange(plug, 0, 1, 4, "P", "Q", "Copies");
  EXPECT_STREQ(plug.GetParam(4)->Name(), "Q0");
  EXPECT_STREQ(plug.GetParam(5)->Name(), "Q1");
  EXPECT_STREQ(plug.GetParam(5)->Group(), "Copies");
  EXPECT_EQ(plug.GetParam(5)->RealValue(), 20.0);

  UniformPlug overlap;
  iplug::CloneParamRange(overlap, 0, 2, 1, "P", "R");
  const char* names[] = {"P0", "R0", "R1", "R2"};
  for (int i = 0; i < 4; ++i)
    EXPECT_STREQ(overlap.GetParam(i)->Name(), names[i]);
  EXPECT_EQ(overlap.Values(), (std::vector<double>{10, 10, 20, 30, 50, 60}));
  EXPECT_STREQ(overlap.GetParam(3)->Group(), "Left");
}

TEST(ParamTools, DefineParamRangeNumbersTheNamesAndRefusesFormatsThatAreNotOneInteger)
{
  UniformPlug plug;
  ASSERT_TRUE(iplug::DefineParamRange(plug, 1, 3, 1, "Band %d", 5.0, 0.0, 10.0, 0.5, "dB"));
  const char* names[] = {"P0", "Band 1", "Band 2", "Band 3", "P4"};
  for (int i = 0; i < 5; ++i)
    EXPECT_STREQ(plug.GetParam(i)->Name(), names[i]);
  EXPECT_EQ(plug.GetParam(2)->GetMax(), 10.0);
  EXPECT_STREQ(plug.GetParam(2)->Label(), "dB");

  for (const char* format : {"Band %s", "Band", "%d %d", "%ld", "100%% %", static_cast<const char*>(nullptr)})
  {
    UniformPlug untouched;
    EXPECT_FALSE(iplug::DefineParamRange(untouched, 0, 5, 1, format, 5.0, 0.0, 10.0, 0.5));
    EXPECT_STREQ(untouched.GetParam(0)->Name(), "P0");
  }
  EXPECT_TRUE(iplug::DefineParamRange(plug, 0, 0, 7, "%03d%%", 5.0, 0.0, 10.0, 0.5));
  EXPECT_STREQ(plug.GetParam(0)->Name(), "007%");
}

// --- source dumps -------------------------------------------------------------------

TEST_F(FileTest, PresetSourceLinesAreAppendedInTheirFormats)
{
  ApiPlug plug;
  SetValues(plug, 1.5, 25.0, 2, true);
  plug.ModifyCurrentPreset("Warm \"Mk2\"");
  const std::string path = Path("presets.txt");
  ASSERT_TRUE(iplug::WritePresetSource(plug, path.c_str()));
  ASSERT_TRUE(iplug::WritePresetSource(plug, path.c_str()));
  const std::string line = "MakePreset(\"Warm \\\"Mk2\\\"\", 1.500000, 25.000000, 2, true);\n";
  EXPECT_EQ(ReadText(path), line + line);

  const char* enumNames[] = {"kGain", "kMix", "kMode", "kBypass"};
  const std::string named = Path("named.txt");
  ASSERT_TRUE(iplug::WriteNamedPresetSource(plug, named.c_str(), enumNames));
  EXPECT_EQ(ReadText(named), "  MakePresetFromNamedParams(\"Warm \\\"Mk2\\\"\", 4,\n"
                             "    kGain, 1.500000,\n    kMix, 25.000000,\n    kMode, 2,\n    kBypass, true);\n");
  EXPECT_FALSE(iplug::WriteNamedPresetSource(plug, named.c_str(), nullptr));
}

TEST_F(FileTest, BlobSourceDecodesBackIntoTheSameChunk)
{
  ApiPlug plug;
  SetValues(plug, 1.5, 25.0, 2, true);
  plug.ModifyCurrentPreset("Warm");
  const std::string path = Path("blob.txt");
  ASSERT_TRUE(iplug::WritePresetBlobSource(plug, path.c_str()));

  const std::string text = ReadText(path);
  const std::string head = "MakePresetFromBlob(\"Warm\", \"";
  const std::string tail = "\", " + std::to_string(kStateBytes) + ");\n";
  ASSERT_EQ(text.substr(0, head.size()), head);
  ASSERT_EQ(text.substr(text.size() - tail.size()), tail);
  const std::string base64 = text.substr(head.size(), text.size() - head.size() - tail.size());

  ApiPlug other;
  other.MakePresetFromBlob("Copy", base64.c_str(), kStateBytes);
  EXPECT_EQ(ChunkBytes(other.GetPreset(0)->mChunk), ChunkBytes(plug.GetPreset(0)->mChunk));
}

TEST(Base64, KnownVectorsAndChunksBeyondTheOldBufferLimit)
{
  const std::pair<const char*, const char*> vectors[] = {
    {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"foobar", "Zm9vYmFy"},
  };
  std::string text;
  for (const auto& [plain, encoded] : vectors)
  {
    iplug::EncodeBase64(reinterpret_cast<const uint8_t*>(plain), static_cast<int>(std::strlen(plain)), text);
    EXPECT_EQ(text, encoded);
  }

  Bytes big(2000);
  for (size_t i = 0; i < big.size(); ++i)
    big[i] = static_cast<uint8_t>(i * 37 + 11);
  iplug::EncodeBase64(big.data(), static_cast<int>(big.size()), text);
  ApiPlug plug;
  plug.MakePresetFromBlob("Big", text.c_str(), static_cast<int>(big.size()));
  EXPECT_EQ(ChunkBytes(plug.GetPreset(0)->mChunk), big);
}

TEST_F(FileTest, SourceDumpToAnUnopenableFileWritesNothing)
{
  ApiPlug plug;
  EXPECT_FALSE(iplug::WritePresetSource(plug, Path("no/such/file.txt").c_str()));
  EXPECT_FALSE(iplug::WritePresetBlobSource(plug, nullptr));
  EXPECT_FALSE(fs::exists(mDir / "no"));
}
