#include "IPlugPluginBase.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <string>

#include "IPlugUtilities.h"

namespace iplug {

namespace {

constexpr const char* kUnusedPresetName = "empty";
constexpr const char* kDefaultPresetName = "Empty";
constexpr const char* kUserPresetName = "user preset";
// marks a value that MakePresetFromNamedParams was not given
constexpr double kUnnamedValue = 9.999e-8;

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kBase64BitsPerChar = 6;

constexpr std::array<int8_t, 256> MakeBase64Lookup()
{
  std::array<int8_t, 256> lookup{};
  lookup.fill(-1);
  for (int i = 0; i < 64; ++i)
    lookup[static_cast<uint8_t>(kBase64Alphabet[i])] = static_cast<int8_t>(i);
  return lookup;
}
constexpr std::array<int8_t, 256> kBase64Lookup = MakeBase64Lookup();

// Decoding stops at the first character outside the alphabet (padding included) or
// when the buffer is full; the rest of the buffer stays zero.
void DecodeBase64(const char* text, std::vector<uint8_t>& bytes)
{
  uint32_t bits = 0;
  int nBits = 0;
  size_t n = 0;
  for (const char* c = text; c && *c != '\0' && n < bytes.size(); ++c)
  {
    const int sextet = kBase64Lookup[static_cast<uint8_t>(*c)];
    if (sextet < 0)
      break;
    bits = (bits << kBase64BitsPerChar) | static_cast<uint32_t>(sextet);
    nBits += kBase64BitsPerChar;
    if (nBits >= 8)
    {
      nBits -= 8;
      bytes[n++] = static_cast<uint8_t>(bits >> nBits);
      bits &= (1u << nBits) - 1u;
    }
  }
}

bool IsUtf8Continuation(char c) { return (static_cast<uint8_t>(c) & 0xC0) == 0x80; }

// Names longer than the slot are cut at a character boundary, never inside a
// multi-byte UTF-8 sequence.
void CopyPresetName(char (&dst)[kMaxPresetNameLen], const char* src)
{
  if (!src)
    src = "";
  size_t length = strnlen(src, kMaxPresetNameLen - 1);
  if (src[length] != '\0')
  {
    while (length > 0 && IsUtf8Continuation(src[length]))
      --length;
  }
  std::memmove(dst, src, length);
  dst[length] = '\0';
}

// Integer-like parameters take their variadic values as int, the rest as double.
bool TakesIntArgument(const IParam& param)
{
  const EParamKind kind = param.GetKind();
  return kind == eKindBool || kind == eKindInt || kind == eKindEnum;
}

double NextValueArgument(const IParam* param, va_list& args)
{
  if (param && TakesIntArgument(*param))
    return static_cast<double>(va_arg(args, int));
  return va_arg(args, double);
}

} // namespace

IPresetEntry::IPresetEntry()
{
  FormatText(mName, "%s", kUnusedPresetName);
}

IPluginBase::IPluginBase(const IPluginConfig& config)
  : igraphics::IGEditorDelegate(config.nParams), mStateChunks(config.plugDoesChunks)
{
  const int count = std::max(config.nPresets, 0);
  mPresets.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    mPresets.push_back(std::make_unique<IPresetEntry>());
}

IPluginBase::~IPluginBase() = default;

bool IPluginBase::SaveState(IDataChunk& chunk) const
{
  return SerializeParams(chunk);
}

int IPluginBase::LoadState(const IDataChunk& chunk, int startPos)
{
  return UnserializeParams(chunk, startPos);
}

// --- parameter block ----------------------------------------------------------------

bool IPluginBase::SerializeParams(IDataChunk& chunk) const
{
  for (int i = 0; i < NParams(); ++i)
  {
    if (chunk.Append(GetParam(i)->RealValue()) <= 0)
      return false;
  }
  return true;
}

int IPluginBase::UnserializeParams(const IDataChunk& chunk, int startPos)
{
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i)
  {
    double value = 0.0;
    pos = chunk.Read(value, pos);
    // A value the data ends inside of is not in the data: setting it to anything
    // (0.0 would switch a bypass off) would invent state nobody saved. A stored
    // NaN or infinity is no value either: that parameter keeps its own.
    if (pos >= 0 && std::isfinite(value))
      GetParam(i)->SetRealValue(value);
  }
  OnAllParamsChanged(eFromPreset);
  return pos;
}

// --- preset-list block --------------------------------------------------------------

bool IPluginBase::SerializePresets(IDataChunk& chunk) const
{
  for (const auto& preset : mPresets)
  {
    chunk.AppendString(preset->mName);
    chunk.Append(preset->mInitialised);
    if (preset->mInitialised)
      chunk.AppendChunk(preset->mChunk);
    if (chunk.Size() <= 0)
      return false;
  }
  return true;
}

int IPluginBase::UnserializePresets(const IDataChunk& chunk, int startPos)
{
  std::string name; // keeps the previous slot's name when a read fails
  int pos = startPos;
  for (size_t i = 0; i < mPresets.size() && pos >= 0; ++i)
  {
    IPresetEntry& preset = *mPresets[i];
    pos = chunk.ReadString(name, pos);
    CopyPresetName(preset.mName, name.c_str());
    pos = chunk.Read(preset.mInitialised, pos);
    // loading from -1 would still run the state hooks, which reset the editor size
    if (preset.mInitialised && pos >= 0)
    {
      pos = LoadState(chunk, pos);
      if (pos > 0)
      {
        preset.mChunk.Clear();
        SaveState(preset.mChunk);
      }
    }
  }
  RecallPreset(mCurrentPresetIdx);
  return pos;
}

// --- preset slots -------------------------------------------------------------------

IPresetEntry* IPluginBase::GetPreset(int idx)
{
  return idx >= 0 && idx < NPresets() ? mPresets[static_cast<size_t>(idx)].get() : nullptr;
}

const IPresetEntry* IPluginBase::GetPreset(int idx) const
{
  return idx >= 0 && idx < NPresets() ? mPresets[static_cast<size_t>(idx)].get() : nullptr;
}

bool IPluginBase::RecallPreset(int idx)
{
  IPresetEntry* preset = GetPreset(idx);
  if (!preset)
    return false;

  bool ok = false;
  if (preset->mInitialised)
  {
    ok = LoadState(preset->mChunk, 0) > 0;
  }
  else
  {
    char name[kMaxPresetNameLen];
    FormatText(name, "%s %d", kUserPresetName, CountPresetsNamedLike(kUserPresetName) + 1);
    ClaimPreset(*preset, name);
    ok = SaveState(preset->mChunk);
  }

  if (ok)
  {
    mCurrentPresetIdx = idx;
    OnPresetsChanged();
    OnStateRestored();
  }
  return ok;
}

bool IPluginBase::RecallPreset(const char* name)
{
  if (!name || name[0] == '\0')
    return false;
  for (int i = 0; i < NPresets(); ++i)
  {
    if (std::strcmp(mPresets[static_cast<size_t>(i)]->mName, name) == 0)
      return RecallPreset(i);
  }
  return false;
}

void IPluginBase::ModifyCurrentPreset(const char* name)
{
  IPresetEntry* preset = GetPreset(mCurrentPresetIdx);
  if (!preset)
    return;
  preset->mChunk.Clear();
  SaveState(preset->mChunk);
  if (name && name[0] != '\0')
    CopyPresetName(preset->mName, name);
}

const char* IPluginBase::GetPresetName(int idx) const
{
  const IPresetEntry* preset = GetPreset(idx);
  return preset ? preset->mName : "";
}

void IPluginBase::MakeDefaultPreset(const char* name, int count)
{
  for (int i = 0; i < count; ++i)
  {
    IPresetEntry* preset = FirstUnusedPreset();
    if (!preset)
      continue;
    ClaimPreset(*preset, name ? name : kDefaultPresetName);
    SaveState(preset->mChunk);
  }
}

void IPluginBase::MakePreset(const char* name, ...)
{
  IPresetEntry* preset = FirstUnusedPreset();
  if (!preset)
    return;
  ClaimPreset(*preset, name);

  va_list args;
  va_start(args, name);
  for (int i = 0; i < NParams(); ++i)
    preset->mChunk.Append(NextValueArgument(GetParam(i), args));
  va_end(args);
}

void IPluginBase::MakePresetFromNamedParams(const char* name, int nNamed, ...)
{
  IPresetEntry* preset = FirstUnusedPreset();
  if (!preset)
    return;
  ClaimPreset(*preset, name);

  std::vector<double> values(static_cast<size_t>(NParams()), kUnnamedValue);
  va_list args;
  va_start(args, nNamed);
  for (int i = 0; i < nNamed; ++i)
  {
    const int paramIdx = va_arg(args, int);
    // an index outside the list still has its value argument, read as a double
    const double value = NextValueArgument(GetParam(paramIdx), args);
    if (GetParam(paramIdx))
      values[static_cast<size_t>(paramIdx)] = value;
  }
  va_end(args);

  for (int i = 0; i < NParams(); ++i)
  {
    double& value = values[static_cast<size_t>(i)];
    if (value == kUnnamedValue)
      value = GetParam(i)->RealValue();
    preset->mChunk.Append(value);
  }
}

void IPluginBase::MakePresetFromChunk(const char* name, const IDataChunk& chunk)
{
  IPresetEntry* preset = FirstUnusedPreset();
  if (!preset)
    return;
  ClaimPreset(*preset, name);
  preset->mChunk.AppendChunk(chunk);
}

void IPluginBase::MakePresetFromBlob(const char* name, const char* base64, int sizeOfChunk)
{
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max(sizeOfChunk, 0)), 0);
  DecodeBase64(base64, bytes);
  IPresetEntry* preset = FirstUnusedPreset();
  if (!preset)
    return;
  ClaimPreset(*preset, name);
  preset->mChunk.AppendBytes(bytes.data(), static_cast<int>(bytes.size()));
}

void IPluginBase::RemoveUnusedPresets()
{
  std::erase_if(mPresets, [](const std::unique_ptr<IPresetEntry>& p) { return !p->mInitialised; });
}

IPresetEntry* IPluginBase::FirstUnusedPreset()
{
  for (auto& preset : mPresets)
  {
    if (!preset->mInitialised)
      return preset.get();
  }
  return nullptr;
}

void IPluginBase::ClaimPreset(IPresetEntry& preset, const char* name)
{
  preset.mInitialised = true;
  CopyPresetName(preset.mName, name);
  // a slot marked unused by a loaded bank may still hold bytes of its earlier state
  preset.mChunk.Clear();
}

int IPluginBase::CountPresetsNamedLike(const char* text) const
{
  return static_cast<int>(std::count_if(mPresets.begin(), mPresets.end(), [text](const auto& p) {
    return std::strstr(p->mName, text) != nullptr;
  }));
}

} // namespace iplug
