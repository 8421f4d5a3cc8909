#include "IPlugProgramFiles.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <vector>

namespace iplug {

namespace {

constexpr int kStateMagicBytes = static_cast<int>(sizeof(kStateMagic));
constexpr int kStatePrefixBytes = kStateMagicBytes + static_cast<int>(sizeof(kStateVersion));
// byteSize of the value variants, whose readers do not rely on it
constexpr int32_t kUnsetByteSize = 0;

using Bytes = std::vector<uint8_t>;

class BigEndianWriter
{
public:
  explicit BigEndianWriter(Bytes& bytes) : mBytes(bytes) {}

  void U32(uint32_t v)
  {
    for (int shift = 24; shift >= 0; shift -= 8)
      mBytes.push_back(static_cast<uint8_t>(v >> shift));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void Raw(const uint8_t* data, int size) { mBytes.insert(mBytes.end(), data, data + size); }
  void Zeros(int n) { mBytes.insert(mBytes.end(), static_cast<size_t>(n), 0); }

  // cut to fit with its terminator, never inside a multi-byte UTF-8 sequence
  void Name(const char* name)
  {
    size_t length = strnlen(name, kProgramNameBytes - 1);
    if (name[length] != '\0')
      while (length > 0 && (static_cast<uint8_t>(name[length]) & 0xC0) == 0x80)
        --length;
    Raw(reinterpret_cast<const uint8_t*>(name), static_cast<int>(length));
    Zeros(kProgramNameBytes - static_cast<int>(length));
  }

private:
  Bytes& mBytes;
};

// Reads past the end yield 0 and make every later read fail too.
class BigEndianReader
{
public:
  explicit BigEndianReader(const Bytes& bytes) : mBytes(bytes) {}

  uint32_t U32()
  {
    if (!Take(4))
      return 0;
    uint32_t v = 0;
    for (size_t i = mPos - 4; i < mPos; ++i)
      v = (v << 8) | mBytes[i];
    return v;
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  float F32() { return std::bit_cast<float>(U32()); }
  const uint8_t* Raw(int size)
  {
    return Take(static_cast<size_t>(size)) ? mBytes.data() + (mPos - static_cast<size_t>(size)) : nullptr;
  }
  // the field may lack its terminator; the text never does
  void Name(char (&name)[kProgramNameBytes + 1])
  {
    const uint8_t* field = Raw(kProgramNameBytes);
    std::memset(name, 0, sizeof(name));
    if (field)
      std::memcpy(name, field, kProgramNameBytes);
  }
  bool Ok() const { return mOk; }
  size_t Remaining() const { return mBytes.size() - mPos; }

private:
  bool Take(size_t n)
  {
    mOk = mOk && n <= Remaining();
    if (mOk)
      mPos += n;
    return mOk;
  }

  const Bytes& mBytes;
  size_t mPos = 0;
  bool mOk = true;
};

struct ProgramHeader
{
  uint32_t magic = 0;
  uint32_t fxMagic = 0;
  int32_t version = 0;
  int32_t fxId = 0;
  int32_t numParams = 0;
  char name[kProgramNameBytes + 1] = {};
};

struct BankHeader
{
  uint32_t magic = 0;
  uint32_t fxMagic = 0;
  int32_t fxId = 0;
  int32_t numPrograms = 0;
  int32_t currentProgram = 0;
};

// One program of the value variants: its name and one normalised value per parameter.
struct ProgramValues
{
  char name[kProgramNameBytes + 1] = {};
  std::vector<float> values;
};

void WriteProgramHeader(BigEndianWriter& out, const IPlugAPIBase& plug, int32_t byteSize, uint32_t fxMagic,
                        const char* name)
{
  out.U32(kFileMagic);
  out.I32(byteSize);
  out.U32(fxMagic);
  out.I32(kProgramFormatVersion);
  out.I32(plug.GetUniqueID());
  out.I32(plug.GetPluginVersion(true));
  out.I32(plug.NParams());
  out.Name(name);
}

void ReadProgramHeader(BigEndianReader& in, ProgramHeader& header)
{
  header.magic = in.U32();
  in.I32(); // byteSize: the sizes that matter are checked where they are used
  header.fxMagic = in.U32();
  header.version = in.I32();
  header.fxId = in.I32();
  in.I32(); // fxVersion: files of every version are read
  header.numParams = in.I32();
  in.Name(header.name);
}

void WriteBankHeader(BigEndianWriter& out, const IPlugAPIBase& plug, int32_t byteSize, uint32_t fxMagic)
{
  out.U32(kFileMagic);
  out.I32(byteSize);
  out.U32(fxMagic);
  out.I32(kBankFormatVersion);
  out.I32(plug.GetUniqueID());
  out.I32(plug.GetPluginVersion(true));
  out.I32(plug.NPresets());
  out.I32(plug.GetCurrentPresetIdx());
  out.Zeros(kBankReservedBytes);
}

void ReadBankHeader(BigEndianReader& in, BankHeader& header)
{
  header.magic = in.U32();
  in.I32(); // byteSize
  header.fxMagic = in.U32();
  in.I32(); // format version: both 1 and 2 are in circulation
  header.fxId = in.I32();
  in.I32(); // fxVersion
  header.numPrograms = in.I32();
  header.currentProgram = in.I32();
  in.Raw(kBankReservedBytes);
}

void WriteValues(BigEndianWriter& out, const std::vector<float>& values)
{
  for (float v : values)
    out.F32(v);
}

bool ReadValues(BigEndianReader& in, int count, std::vector<float>& values)
{
  if (count < 0 || static_cast<size_t>(count) > in.Remaining() / sizeof(float))
    return false;
  values.resize(static_cast<size_t>(count));
  for (float& v : values)
    v = in.F32();
  return in.Ok();
}

std::vector<float> CurrentNormalizedValues(const IPlugAPIBase& plug)
{
  std::vector<float> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(static_cast<float>(plug.GetParam(i)->NormalizedValue()));
  return values;
}

// A preset holds real values in index order; a value its chunk lacks is the parameter's default.
std::vector<float> PresetNormalizedValues(const IPlugAPIBase& plug, const IPresetEntry& preset)
{
  std::vector<float> values;
  int pos = 0;
  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam& param = *plug.GetParam(i);
    double real = param.GetDefault();
    pos = preset.mChunk.Read(real, pos);
    values.push_back(static_cast<float>(param.RealToNormalized(real)));
  }
  return values;
}

void ApplyNormalizedValues(IPlugAPIBase& plug, const std::vector<float>& values)
{
  for (int i = 0; i < plug.NParams(); ++i)
  {
    // a NaN or infinity in a file is no value: the parameter keeps its own
    const float v = values[static_cast<size_t>(i)];
    if (std::isfinite(v))
      plug.GetParam(i)->SetFromNormalized(v);
  }
}

// the magic and the state version in front of what fill appends; false when fill failed
template <typename Fill>
bool MakeStatePayload(IDataChunk& payload, Fill fill)
{
  payload.AppendBytes(kStateMagic, kStateMagicBytes);
  payload.Append(kStateVersion);
  return fill(payload) && payload.Size() <= INT_MAX - kBankHeaderBytes;
}

// the chunk that follows the size field, which must lie inside the file
bool ReadPayload(BigEndianReader& in, IDataChunk& payload)
{
  const int32_t size = in.I32();
  if (!in.Ok() || size < 0 || static_cast<size_t>(size) > in.Remaining())
    return false;
  payload.AppendBytes(in.Raw(size), size);
  return true;
}

// where the state begins: after the magic and version word when the chunk has them
int StateStart(const IDataChunk& payload)
{
  const bool hasMagic = payload.Size() >= kStateMagicBytes && std::memcmp(payload.Data(), kStateMagic, kStateMagicBytes) == 0;
  if (!hasMagic)
    return 0;
  return payload.Size() >= kStatePrefixBytes ? kStatePrefixBytes : -1;
}

bool ReadWholeFile(const char* path, Bytes& bytes)
{
  if (!path || path[0] == '\0')
    return false;
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open() || !file.seekg(0, std::ios::end))
    return false;
  const std::streamoff size = file.tellg();
  // chunk positions are signed 32-bit
  if (size < 0 || size > INT_MAX || !file.seekg(0, std::ios::beg))
    return false;
  bytes.resize(static_cast<size_t>(size));
  return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)));
}

bool WriteWholeFile(const char* path, const Bytes& bytes)
{
  if (!path || path[0] == '\0')
    return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file.is_open())
    return false;
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return !file.fail();
}

// What a refused load puts back: the live state and, for banks, every preset slot.
class StateBackup
{
public:
  StateBackup(IPlugAPIBase& plug, bool withPresets) : mPlug(plug)
  {
    mSaved = plug.SaveState(mState);
    for (int i = 0; withPresets && i < plug.NPresets(); ++i)
      mPresets.push_back(*plug.GetPreset(i));
  }

  bool Saved() const { return mSaved; }

  void Restore()
  {
    for (size_t i = 0; i < mPresets.size(); ++i)
      *mPlug.GetPreset(static_cast<int>(i)) = mPresets[i];
    mPlug.LoadState(mState, 0);
    mPlug.OnStateRestored();
  }

private:
  IPlugAPIBase& mPlug;
  IDataChunk mState;
  std::vector<IPresetEntry> mPresets;
  bool mSaved = false;
};

// Loads the state in payload with LoadState (or the preset block with UnserializePresets);
// a state the plug-in cannot read is undone.
template <typename Load>
bool LoadPayload(IPlugAPIBase& plug, const IDataChunk& payload, bool withPresets, Load load)
{
  const int start = StateStart(payload);
  if (start < 0)
    return false;
  StateBackup backup(plug, withPresets);
  if (!backup.Saved())
    return false;
  if (load(payload, start) < 0)
  {
    backup.Restore();
    return false;
  }
  return true;
}

void FinishProgramLoad(IPlugAPIBase& plug, const char* name)
{
  // a never-filled current slot would otherwise be recalled as a new "user preset",
  // dropping the program's name
  if (IPresetEntry* current = plug.GetPreset(plug.GetCurrentPresetIdx()))
    current->mInitialised = true;
  plug.ModifyCurrentPreset(name);
  plug.RecallPreset(plug.GetCurrentPresetIdx());
  plug.NotifyHostOfPresetChange();
}

bool LoadProgramChunk(IPlugAPIBase& plug, BigEndianReader& in, const ProgramHeader& header)
{
  IDataChunk payload;
  if (!ReadPayload(in, payload))
    return false;
  if (!LoadPayload(plug, payload, false, [&plug](const IDataChunk& c, int pos) { return plug.LoadState(c, pos); }))
    return false;
  FinishProgramLoad(plug, header.name);
  return true;
}

bool LoadProgramValues(IPlugAPIBase& plug, BigEndianReader& in, const ProgramHeader& header)
{
  std::vector<float> values;
  if (header.numParams != plug.NParams() || !ReadValues(in, plug.NParams(), values))
    return false;
  ApplyNormalizedValues(plug, values);
  FinishProgramLoad(plug, header.name);
  return true;
}

// a current program the file names but this build lacks leaves the current slot as it is
void RecallBankProgram(IPlugAPIBase& plug, int32_t program)
{
  const bool exists = program >= 0 && program < plug.NPresets();
  plug.RecallPreset(exists ? program : plug.GetCurrentPresetIdx());
}

// every program record of a value bank, checked before any is applied
bool ReadBankPrograms(const IPlugAPIBase& plug, BigEndianReader& in, int numPrograms, std::vector<ProgramValues>& programs)
{
  for (int i = 0; i < numPrograms; ++i)
  {
    ProgramHeader header;
    ReadProgramHeader(in, header);
    if (!in.Ok() || header.magic != kFileMagic || header.fxMagic != kProgramValuesMagic ||
        header.version != kProgramFormatVersion || header.numParams != plug.NParams())
      return false;
    ProgramValues& program = programs.emplace_back();
    std::memcpy(program.name, header.name, sizeof(program.name));
    if (!ReadValues(in, plug.NParams(), program.values))
      return false;
  }
  return true;
}

bool LoadBankValues(IPlugAPIBase& plug, BigEndianReader& in, const BankHeader& header)
{
  std::vector<ProgramValues> programs;
  if (header.numPrograms < 0 || !ReadBankPrograms(plug, in, header.numPrograms, programs))
    return false;
  // a bank from a build with more slots fills the slots there are
  const int count = std::min(static_cast<int>(programs.size()), plug.NPresets());
  for (int i = 0; i < count; ++i)
  {
    const ProgramValues& program = programs[static_cast<size_t>(i)];
    plug.RecallPreset(i);
    ApplyNormalizedValues(plug, program.values);
    plug.ModifyCurrentPreset(program.name);
  }
  RecallBankProgram(plug, header.currentProgram);
  plug.NotifyHostOfPresetChange();
  return true;
}

bool LoadBankChunk(IPlugAPIBase& plug, BigEndianReader& in, const BankHeader& header)
{
  IDataChunk payload;
  if (!ReadPayload(in, payload))
    return false;
  if (!LoadPayload(plug, payload, true, [&plug](const IDataChunk& c, int pos) { return plug.UnserializePresets(c, pos); }))
    return false;
  // the preset block itself does not say which program was current; the header does
  if (header.currentProgram != plug.GetCurrentPresetIdx())
    RecallBankProgram(plug, header.currentProgram);
  plug.NotifyHostOfPresetChange();
  return true;
}

} // namespace

bool SaveProgramFile(const IPlugAPIBase& plug, const char* path)
{
  if (!path || path[0] == '\0')
    return false;
  const char* name = plug.GetPresetName(plug.GetCurrentPresetIdx());
  Bytes bytes;
  BigEndianWriter out(bytes);
  if (plug.DoesStateChunks())
  {
    IDataChunk payload;
    if (!MakeStatePayload(payload, [&plug](IDataChunk& c) { return plug.SaveState(c); }))
      return false;
    WriteProgramHeader(out, plug, kProgramHeaderBytes + payload.Size(), kProgramChunkMagic, name);
    out.I32(payload.Size());
    out.Raw(payload.Data(), payload.Size());
  }
  else
  {
    WriteProgramHeader(out, plug, kUnsetByteSize, kProgramValuesMagic, name);
    WriteValues(out, CurrentNormalizedValues(plug));
  }
  return WriteWholeFile(path, bytes);
}

bool SaveBankFile(const IPlugAPIBase& plug, const char* path)
{
  if (!path || path[0] == '\0')
    return false;
  Bytes bytes;
  BigEndianWriter out(bytes);
  if (plug.DoesStateChunks())
  {
    IDataChunk payload;
    if (!MakeStatePayload(payload, [&plug](IDataChunk& c) { return plug.SerializePresets(c); }))
      return false;
    WriteBankHeader(out, plug, kBankHeaderBytes + payload.Size(), kBankChunkMagic);
    out.I32(payload.Size());
    out.Raw(payload.Data(), payload.Size());
  }
  else
  {
    WriteBankHeader(out, plug, kUnsetByteSize, kBankValuesMagic);
    for (int i = 0; i < plug.NPresets(); ++i)
    {
      const IPresetEntry& preset = *plug.GetPreset(i);
      WriteProgramHeader(out, plug, kUnsetByteSize, kProgramValuesMagic, preset.mName);
      WriteValues(out, PresetNormalizedValues(plug, preset));
    }
  }
  return WriteWholeFile(path, bytes);
}

bool LoadProgramFile(IPlugAPIBase& plug, const char* path)
{
  Bytes bytes;
  return ReadWholeFile(path, bytes) && LoadProgramData(plug, bytes.data(), bytes.size());
}

bool LoadBankFile(IPlugAPIBase& plug, const char* path)
{
  Bytes bytes;
  return ReadWholeFile(path, bytes) && LoadBankData(plug, bytes.data(), bytes.size());
}

bool LoadProgramData(IPlugAPIBase& plug, const uint8_t* data, size_t size)
{
  const Bytes bytes(data, data + (data ? size : 0));
  BigEndianReader in(bytes);
  ProgramHeader header;
  ReadProgramHeader(in, header);
  if (!in.Ok() || header.magic != kFileMagic || header.version != kProgramFormatVersion ||
      header.fxId != plug.GetUniqueID())
    return false;
  if (header.fxMagic == kProgramChunkMagic && plug.DoesStateChunks())
    return LoadProgramChunk(plug, in, header);
  if (header.fxMagic == kProgramValuesMagic)
    return LoadProgramValues(plug, in, header);
  return false;
}

bool LoadBankData(IPlugAPIBase& plug, const uint8_t* data, size_t size)
{
  const Bytes bytes(data, data + (data ? size : 0));
  BigEndianReader in(bytes);
  BankHeader header;
  ReadBankHeader(in, header);
  if (!in.Ok() || header.magic != kFileMagic || header.fxId != plug.GetUniqueID())
    return false;
  if (header.fxMagic == kBankChunkMagic && plug.DoesStateChunks())
    return LoadBankChunk(plug, in, header);
  if (header.fxMagic == kBankValuesMagic)
    return LoadBankValues(plug, in, header);
  return false;
}

} // namespace iplug
