#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "FakeGraphics.h"
#include "IPlugPluginBase.h"
#include "TALVEN.h"

using iplug::EChangeSource;
using iplug::IDataChunk;
using talven::kParamCount;

namespace {

constexpr int kEditorBlockBytes = 12;
constexpr int kTalvenStateBytes = kEditorBlockBytes + 8 * kParamCount;
int dummyParent;

// Records the change hook and the sources of the framework's notifications.
class RecordingTalven : public talven::TALVEN
{
public:
  using TALVEN::OnParamChange;
  void OnParamChange(int idx) override
  {
    mChanged.push_back(idx);
    TALVEN::OnParamChange(idx);
  }
  void OnParamChange(int idx, EChangeSource source, int offset) override
  {
    mSources.push_back(source);
    TALVEN::OnParamChange(idx, source, offset);
  }
  void EnableGraphics()
  {
    mMakeGraphicsFunc = [this] { return new testsupport::FakeGraphics(*this, 790, 213); };
  }
  testsupport::FakeGraphics* Graphics() const { return static_cast<testsupport::FakeGraphics*>(GetUI()); }

  std::vector<int> mChanged;
  std::vector<EChangeSource> mSources;
};

IDataChunk Saved(const iplug::IPluginBase& plug)
{
  IDataChunk chunk;
  EXPECT_TRUE(plug.SaveState(chunk));
  return chunk;
}

bool SameBytes(const IDataChunk& a, const IDataChunk& b)
{
  return a.Size() == b.Size() && (a.Size() == 0 || std::memcmp(a.Data(), b.Data(), static_cast<size_t>(a.Size())) == 0);
}

std::vector<double> ParamValues(const iplug::IEditorDelegate& dlg)
{
  std::vector<double> values;
  for (int i = 0; i < dlg.NParams(); ++i)
    values.push_back(dlg.GetParam(i)->RealValue());
  return values;
}

// Every parameter somewhere inside its range, away from its default.
void ScrambleParams(iplug::IEditorDelegate& dlg, unsigned seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0.01, 0.99);
  for (int i = 0; i < dlg.NParams(); ++i)
  {
    iplug::IParam* p = dlg.GetParam(i);
    p->SetRealValue(p->GetMin() + unit(rng) * (p->GetMax() - p->GetMin()));
  }
}

// Three parameters of different kinds and three preset slots.
class PresetPlug : public iplug::IPluginBase
{
public:
  static iplug::IPluginConfig Config()
  {
    iplug::IPluginConfig c;
    c.nParams = 3;
    c.nPresets = 3;
    c.plugDoesChunks = true;
    return c;
  }
  PresetPlug() : IPluginBase(Config())
  {
    GetParam(0)->DefineContinuous("Gain", 0.0, -10.0, 10.0, 0.1);
    GetParam(1)->DefineInteger("Mode", 1, 0, 3);
    GetParam(2)->DefineSwitch("On", true);
  }
  void BeginUIParamChange(int) override {}
  void EndUIParamChange(int) override {}
  void OnParamChangeForEditor(int idx, EChangeSource source) override
  {
    if (source == iplug::eFromDelegate)
      mSentToEditor.push_back(idx);
  }
  void OnPresetsChanged() override { ++mPresetsChanged; }

  std::vector<int> mSentToEditor;
  int mPresetsChanged = 0;
};

std::vector<double> ChunkDoubles(const IDataChunk& chunk, int startPos = 0)
{
  std::vector<double> values;
  double v = 0.0;
  for (int pos = chunk.Read(v, startPos); pos >= 0; pos = chunk.Read(v, pos))
    values.push_back(v);
  return values;
}

} // namespace

TEST(TalvenState, NewInstanceStateIsTheEditorBlockThenTheDefaultsIn188Bytes)
{
  talven::TALVEN plug;
  const IDataChunk chunk = Saved(plug);
  ASSERT_EQ(chunk.Size(), kTalvenStateBytes);

  int32_t width = -1, height = -1;
  float scale = -1.f;
  int pos = chunk.Read(width, 0);
  pos = chunk.Read(height, pos);
  pos = chunk.Read(scale, pos);
  EXPECT_EQ(pos, kEditorBlockBytes);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(scale, 0.f);

  const double expected[kParamCount] = {0, 0, 110, 0, 295, 2, 0, 11.7, 2, 0, 9.3, 0, 0, 1855, 2, 0, 1, 1, 1, 1, 1, 0};
  for (int i = 0; i < kParamCount; ++i)
  {
    // little-endian IEEE 754 bytes at their fixed offset
    EXPECT_EQ(std::memcmp(chunk.Data() + kEditorBlockBytes + 8 * i, &expected[i], 8), 0) << "index " << i;
  }

  IDataChunk params;
  ASSERT_TRUE(plug.SerializeParams(params));
  EXPECT_EQ(params.Size(), 8 * kParamCount);
  EXPECT_EQ(plug.LoadState(chunk, 0), kTalvenStateBytes);
}

TEST(TalvenState, FreshInstanceReproducesEveryParameterAndRunsTheHookInIndexOrder)
{
  RecordingTalven source;
  ScrambleParams(source, 7);
  const IDataChunk chunk = Saved(source);

  RecordingTalven fresh;
  ASSERT_EQ(fresh.LoadState(chunk, 0), kTalvenStateBytes);
  const std::vector<double> expected = ParamValues(source);
  const std::vector<double> loaded = ParamValues(fresh);
  for (int i = 0; i < kParamCount; ++i)
    EXPECT_EQ(std::memcmp(&loaded[static_cast<size_t>(i)], &expected[static_cast<size_t>(i)], 8), 0) << i;

  std::vector<int> order(kParamCount);
  for (int i = 0; i < kParamCount; ++i)
    order[static_cast<size_t>(i)] = i;
  EXPECT_EQ(fresh.mChanged, order);
  EXPECT_EQ(fresh.mSources, std::vector<EChangeSource>(kParamCount, iplug::eFromPreset));
  // the hook reached the engine
  EXPECT_DOUBLE_EQ(talven::Load(fresh.Targets().trim), std::pow(10.0, loaded[talven::kParamTrim] / 20.0));
  EXPECT_TRUE(SameBytes(Saved(fresh), chunk));
}

TEST(TalvenState, EditorSizeTravelsWithTheStateIntoAnEditorOpenedLater)
{
  RecordingTalven source;
  source.EnableGraphics();
  source.OpenEditor(&dummyParent);
  source.Graphics()->Resize(1185, 320, 1.5f, true);
  const IDataChunk chunk = Saved(source);
  ASSERT_EQ(chunk.Size(), kTalvenStateBytes);

  RecordingTalven target;
  ASSERT_EQ(target.LoadState(chunk, 0), kTalvenStateBytes);
  EXPECT_TRUE(SameBytes(Saved(target), chunk)); // still closed: the block comes from the saved fields
  target.EnableGraphics();
  target.OpenEditor(&dummyParent);
  ASSERT_EQ(target.Graphics()->mResizes.size(), 1u);
  EXPECT_EQ(target.Graphics()->Width(), 1185);
  EXPECT_EQ(target.Graphics()->Height(), 320);
  EXPECT_EQ(target.Graphics()->GetDrawScale(), 1.5f);
}

TEST(ParamBlock, TruncatedBlockSetsTheWholeValuesAndKeepsEveryOtherParameter)
{
  RecordingTalven plug;
  ScrambleParams(plug, 3);
  const std::vector<double> before = ParamValues(plug);

  IDataChunk chunk;
  const double stored[] = {-6.0, 4.5, 200.0};
  for (double v : stored)
    chunk.Append(v);
  chunk.Append(int32_t{0}); // half of a fourth value

  EXPECT_EQ(plug.UnserializeParams(chunk, 0), -1);
  const std::vector<double> after = ParamValues(plug);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(after[static_cast<size_t>(i)], stored[i]) << i;
  for (int i = 3; i < kParamCount; ++i)
    EXPECT_EQ(after[static_cast<size_t>(i)], before[static_cast<size_t>(i)]) << i;
  EXPECT_EQ(plug.mSources, std::vector<EChangeSource>(kParamCount, iplug::eFromPreset));
}

TEST(ParamBlock, NegativeStartChangesNothingButStillNotifiesAndReturnsTheStart)
{
  const IDataChunk chunk = Saved(talven::TALVEN());
  for (int start : {-1, -8})
  {
    RecordingTalven plug;
    ScrambleParams(plug, 5);
    const std::vector<double> before = ParamValues(plug);
    EXPECT_EQ(plug.UnserializeParams(chunk, start), start);
    EXPECT_EQ(ParamValues(plug), before);
    EXPECT_EQ(plug.mChanged.size(), static_cast<size_t>(kParamCount));
  }
}

TEST(ParamBlock, StoredValuesAreLimitedAndNonFiniteOnesKeepTheParameter)
{
  PresetPlug plug;
  plug.GetParam(0)->SetRealValue(5.0);
  plug.GetParam(2)->SetRealValue(0.0);
  IDataChunk chunk;
  chunk.Append(std::numeric_limits<double>::quiet_NaN());
  chunk.Append(1e300);
  chunk.Append(-std::numeric_limits<double>::infinity());
  EXPECT_EQ(plug.UnserializeParams(chunk, 0), 24);
  EXPECT_EQ(plug.GetParam(0)->RealValue(), 5.0);
  EXPECT_EQ(plug.GetParam(1)->RealValue(), 3.0);
  EXPECT_EQ(plug.GetParam(2)->RealValue(), 0.0);
}

TEST(Presets, NeverFilledSlotsBecomeUserPresetsInTurnAndCaptureTheState)
{
  PresetPlug plug;
  EXPECT_STREQ(plug.GetPresetName(0), "empty");
  EXPECT_STREQ(plug.GetPresetName(-1), "");
  EXPECT_STREQ(plug.GetPresetName(3), "");
  EXPECT_FALSE(plug.RecallPreset(-1));
  EXPECT_FALSE(plug.RecallPreset(3));

  plug.GetParam(0)->SetRealValue(-2.5);
  ASSERT_TRUE(plug.RecallPreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_TRUE(plug.GetPreset(0)->mInitialised);
  EXPECT_TRUE(SameBytes(plug.GetPreset(0)->mChunk, Saved(plug)));
  EXPECT_EQ(plug.mPresetsChanged, 1);
  EXPECT_EQ(plug.mSentToEditor, (std::vector<int>{0, 1, 2}));

  ASSERT_TRUE(plug.RecallPreset(2));
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 2");
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_STREQ(plug.GetPresetName(1), "empty");
}

TEST(Presets, RecallingAFilledSlotRestoresItsState)
{
  PresetPlug plug;
  plug.GetParam(0)->SetRealValue(7.0);
  ASSERT_TRUE(plug.RecallPreset(0));
  plug.GetParam(0)->SetRealValue(-7.0);
  plug.RecallPreset(1);

  ASSERT_TRUE(plug.RecallPreset("user preset 1"));
  EXPECT_EQ(plug.GetParam(0)->RealValue(), 7.0);
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
  EXPECT_FALSE(plug.RecallPreset(nullptr));
  EXPECT_FALSE(plug.RecallPreset(""));
  EXPECT_FALSE(plug.RecallPreset("user preset"));
}

TEST(Presets, ModifyCurrentPresetRecapturesAndRenames)
{
  PresetPlug plug;
  plug.RecallPreset(0);
  plug.GetParam(0)->SetRealValue(3.0);
  plug.ModifyCurrentPreset("Bright");
  EXPECT_STREQ(plug.GetPresetName(0), "Bright");
  EXPECT_EQ(ChunkDoubles(plug.GetPreset(0)->mChunk), (std::vector<double>{3.0, 1.0, 1.0}));
  plug.ModifyCurrentPreset(""); // keeps the name
  EXPECT_STREQ(plug.GetPresetName(0), "Bright");
}

TEST(Presets, MakePresetTakesIntsForIntegerParametersAndUnnamedValuesFromTheCurrentState)
{
  PresetPlug plug;
  plug.GetParam(0)->SetRealValue(4.0);
  plug.MakePreset("Explicit", 2.5, 3, 0);
  // 9.999e-8 is how an unnamed value is marked, so naming it is the same as not naming it
  plug.MakePresetFromNamedParams("Named", 2, 1, 2, 0, 9.999e-8);
  plug.MakePresetFromNamedParams("Default", 0);
  plug.MakePreset("No slot left", 1.0, 1, 1);

  EXPECT_EQ(ChunkDoubles(plug.GetPreset(0)->mChunk), (std::vector<double>{2.5, 3.0, 0.0}));
  EXPECT_EQ(ChunkDoubles(plug.GetPreset(1)->mChunk), (std::vector<double>{4.0, 2.0, 1.0}));
  EXPECT_EQ(ChunkDoubles(plug.GetPreset(2)->mChunk), (std::vector<double>{4.0, 1.0, 1.0}));
  EXPECT_STREQ(plug.GetPresetName(0), "Explicit");
  EXPECT_STREQ(plug.GetPresetName(2), "Default");
}

TEST(Presets, BlobIsDecodedIntoAZeroFilledChunkOfTheGivenSize)
{
  struct Case
  {
    const char* base64;
    int size;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
    {"AQID", 5, {1, 2, 3, 0, 0}},
    {"AQID", 2, {1, 2}},
    {"AQ==", 3, {1, 0, 0}},    // padding ends the data
    {"/+8A!AQID", 3, {0xFF, 0xEF, 0x00}}, // so does any character outside the alphabet
    {nullptr, 2, {0, 0}},
  };
  for (const Case& c : cases)
  {
    PresetPlug plug;
    plug.MakePresetFromBlob("Blob", c.base64, c.size);
    const IDataChunk& chunk = plug.GetPreset(0)->mChunk;
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size()), c.bytes)
      << (c.base64 ? c.base64 : "null");
  }
}

TEST(Presets, DefaultPresetsAndRemovalKeepFilledSlotsInOrder)
{
  PresetPlug plug;
  plug.MakeDefaultPreset(nullptr, 1);
  plug.RecallPreset(2);
  plug.RemoveUnusedPresets();
  ASSERT_EQ(plug.NPresets(), 2);
  EXPECT_STREQ(plug.GetPresetName(0), "Empty");
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
}

TEST(Presets, OverlongNameIsCutBeforeAnIncompleteCharacter)
{
  PresetPlug plug;
  const std::string name = std::string(254, 'a') + "\xC3\xA9"; // 256 bytes, the last character has two
  plug.MakePresetFromChunk(name.c_str(), IDataChunk());
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(254, 'a'));

  plug.MakePresetFromChunk(std::string(300, 'b').c_str(), IDataChunk());
  EXPECT_EQ(std::strlen(plug.GetPresetName(1)), 255u);
}

TEST(PresetBank, RoundTripsIntoAFreshInstance)
{
  PresetPlug source;
  source.GetParam(0)->SetRealValue(1.5);
  source.RecallPreset(0);
  source.GetParam(1)->SetRealValue(3.0);
  source.MakeDefaultPreset("Second", 1);
  IDataChunk bank;
  ASSERT_TRUE(source.SerializePresets(bank));

  PresetPlug target;
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  for (int i = 0; i < source.NPresets(); ++i)
  {
    EXPECT_STREQ(target.GetPresetName(i), source.GetPresetName(i)) << i;
    EXPECT_EQ(target.GetPreset(i)->mInitialised, source.GetPreset(i)->mInitialised) << i;
    EXPECT_TRUE(SameBytes(target.GetPreset(i)->mChunk, source.GetPreset(i)->mChunk)) << i;
  }
  // the current preset (0) was recalled last
  EXPECT_EQ(target.GetParam(0)->RealValue(), 1.5);
  EXPECT_EQ(target.GetParam(1)->RealValue(), 1.0);
}

TEST(PresetBank, EveryTruncationFailsCleanly)
{
  PresetPlug source;
  source.RecallPreset(0);
  source.MakeDefaultPreset("Second", 1);
  IDataChunk bank;
  source.SerializePresets(bank);
  for (int cut = 0; cut < bank.Size(); ++cut)
  {
    IDataChunk truncated = bank;
    truncated.Resize(cut);
    PresetPlug target;
    EXPECT_EQ(target.UnserializePresets(truncated, 0), -1) << cut;
    for (int i = 0; i < target.NParams(); ++i)
      EXPECT_TRUE(std::isfinite(target.GetParam(i)->RealValue()));
  }
}

TEST(TalvenState, RandomAndTruncatedBytesLeaveEveryParameterFiniteAndInRange)
{
  std::mt19937 rng(2024);
  talven::TALVEN reference;
  ScrambleParams(reference, 11);
  const IDataChunk valid = Saved(reference);

  std::vector<IDataChunk> inputs;
  for (int cut = 0; cut <= valid.Size(); ++cut)
  {
    IDataChunk c = valid;
    c.Resize(cut);
    inputs.push_back(c);
  }
  std::uniform_int_distribution<int> length(0, 3 * kTalvenStateBytes);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int n = 0; n < 300; ++n)
  {
    IDataChunk c;
    const int size = length(rng);
    for (int i = 0; i < size; ++i)
      c.Append(static_cast<uint8_t>(byte(rng)));
    inputs.push_back(c);

    IDataChunk flipped = valid; // a valid state with a few damaged bytes
    for (int k = 0; k < 4; ++k)
      flipped.Data()[std::uniform_int_distribution<int>(0, valid.Size() - 1)(rng)] = static_cast<uint8_t>(byte(rng));
    inputs.push_back(flipped);
  }

  std::uniform_int_distribution<int> start(-4, 40);
  for (const IDataChunk& input : inputs)
  {
    RecordingTalven plug;
    const int startPos = start(rng) < 20 ? 0 : start(rng);
    const int pos = plug.LoadState(input, startPos);
    EXPECT_TRUE(pos == -1 || (pos >= 0 && pos <= input.Size())) << pos;
    for (int i = 0; i < kParamCount; ++i)
    {
      const iplug::IParam* p = plug.GetParam(i);
      const double v = p->RealValue();
      ASSERT_TRUE(std::isfinite(v)) << i;
      ASSERT_GE(v, p->GetMin()) << i;
      ASSERT_LE(v, p->GetMax()) << i;
    }
    IDataChunk editor;
    plug.SaveEditorState(editor);
    int32_t width = 0, height = 0;
    float scale = 0.f;
    editor.Read(scale, editor.Read(height, editor.Read(width, 0)));
    EXPECT_GE(width, 0);
    EXPECT_GE(height, 0);
    EXPECT_TRUE(std::isfinite(scale) && scale >= 0.f);
  }
}

TEST(TalvenState, SinglePresetSlotCapturesTheWholeState)
{
  talven::TALVEN plug;
  ASSERT_EQ(plug.NPresets(), 1);
  ASSERT_TRUE(plug.RecallPreset(0));
  EXPECT_STREQ(plug.GetPresetName(0), "user preset 1");
  EXPECT_EQ(plug.GetPreset(0)->mChunk.Size(), kTalvenStateBytes);
}
