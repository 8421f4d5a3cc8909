#pragma once
// Program (fxp) and bank (fxb) files in the VST 2 formats: big-endian headers, then either
// one opaque chunk (plug-ins that save state chunks) or normalised float32 values.
// Loading checks the whole file before it changes anything; a file that is not ours
// (foreign ID, wrong magic or version, sizes past the end) is refused. [ui thread]
#include <cstddef>
#include <cstdint>

#include "IPlugAPIBase.h"

namespace iplug {

// four-character code, first character in the most significant byte
constexpr uint32_t FourCC(const char (&code)[5])
{
  return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

inline constexpr uint32_t kFileMagic = FourCC("CcnK");
inline constexpr uint32_t kProgramChunkMagic = FourCC("FPCh");
inline constexpr uint32_t kProgramValuesMagic = FourCC("FxCk");
inline constexpr uint32_t kBankChunkMagic = FourCC("FBCh");
inline constexpr uint32_t kBankValuesMagic = FourCC("FxBk");
inline constexpr int32_t kProgramFormatVersion = 1;
inline constexpr int32_t kBankFormatVersion = 2;

// Opaque chunks begin with these 4 bytes and a little-endian int32 state version.
inline constexpr char kStateMagic[4] = {'t', 'f', 'f', 'p'};
inline constexpr int32_t kStateVersion = 65536;

inline constexpr int kProgramNameBytes = 28;  // zero-filled; at most 27 characters written
inline constexpr int kProgramHeaderBytes = 60; // through the chunk size, or up to the values
inline constexpr int kBankReservedBytes = 124;
inline constexpr int kBankHeaderBytes = 160;   // through the chunk size, or up to the programs

// The current state under the current preset's name. False for a null or empty path, a
// state that could not be saved, or a file that could not be written.
bool SaveProgramFile(const IPlugAPIBase& plug, const char* path);
// Every preset slot, and which one is current.
bool SaveBankFile(const IPlugAPIBase& plug, const char* path);
// Applies the program to the current preset and recalls it; false (nothing changed) when refused.
bool LoadProgramFile(IPlugAPIBase& plug, const char* path);
// Replaces the preset slots; false (nothing changed) when refused.
bool LoadBankFile(IPlugAPIBase& plug, const char* path);
// The same from the bytes of a file already in memory.
bool LoadProgramData(IPlugAPIBase& plug, const uint8_t* data, size_t size);
bool LoadBankData(IPlugAPIBase& plug, const uint8_t* data, size_t size);

} // namespace iplug
