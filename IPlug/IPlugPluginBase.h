#pragma once
// The layer of the plug-in that owns the preset slots and turns the plug-in's state
// into bytes and back. State functions run on host threads, never on the audio thread.
#include <memory>
#include <vector>

#include "IDataChunk.h"
#include "IGraphicsEditorDelegate.h"
#include "IPlugConfig.h"

namespace iplug {

constexpr int kMaxPresetNameLen = 256; // bytes, terminator included

// One preset slot.
struct IPresetEntry
{
  IPresetEntry();

  bool mInitialised = false;
  char mName[kMaxPresetNameLen] = {};
  IDataChunk mChunk; // SaveState layout, or a bare parameter block for MakePreset*
};

class IPluginBase : public igraphics::IGEditorDelegate
{
public:
  explicit IPluginBase(const IPluginConfig& config);
  ~IPluginBase() override;

  // --- hooks, in this order ---
  virtual void ReservedPluginHook() {}
  // default: the parameter block; returns false when the chunk could not grow
  virtual bool SaveState(IDataChunk& chunk) const;
  // default: the parameter block; returns the position after the state, or -1
  virtual int LoadState(const IDataChunk& chunk, int startPos);
  virtual bool ReservedStateQuery() const { return true; }
  virtual int ReservedStateReader(const IDataChunk& /*chunk*/, int startPos) { return startPos; }
  virtual void NotifyHostOfPresetChange() {}
  virtual void OnPresetsChanged() {}

  // --- parameter block: one float64 real value per parameter, in index order ---
  bool SerializeParams(IDataChunk& chunk) const;
  // Sets every parameter whose value is fully present (limited to its range); a value
  // cut off by the end of the data, and every one after it, keeps its present value.
  // Then every parameter is notified as a preset change. Returns the position after
  // the block, or -1 (the start position itself when it was negative).
  int UnserializeParams(const IDataChunk& chunk, int startPos);

  // --- preset-list block: per slot its name, the initialised byte and, if set, its state ---
  bool SerializePresets(IDataChunk& chunk) const;
  // each initialised slot is loaded and re-captured as the plug-in now reports it; then
  // the current preset is recalled. Returns the position after the block, or -1.
  int UnserializePresets(const IDataChunk& chunk, int startPos);

  // --- preset slots; an index outside 0..NPresets()-1 is out of range ---
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  bool DoesStateChunks() const { return mStateChunks; }
  // null when out of range
  IPresetEntry* GetPreset(int idx);
  const IPresetEntry* GetPreset(int idx) const;
  // loads an initialised slot, or names a never-filled one "user preset N" and captures
  // the current state into it; then makes it current. False when out of range or it failed.
  bool RecallPreset(int idx);
  // the first slot with exactly this name; false for null, "" or no such slot
  bool RecallPreset(const char* name);
  void ModifyCurrentPreset(const char* name = nullptr);
  // "" when out of range
  const char* GetPresetName(int idx) const;
  // count times: the current state into the first unused slot (null name: "Empty")
  void MakeDefaultPreset(const char* name, int count);
  // one argument per parameter in index order: int for bool/int/enum parameters, else double
  void MakePreset(const char* name, ...);
  // nNamed pairs (int paramIdx, value typed as for MakePreset); the rest keep their current values
  void MakePresetFromNamedParams(const char* name, int nNamed, ...);
  void MakePresetFromChunk(const char* name, const IDataChunk& chunk);
  // standard base64 into sizeOfChunk bytes (zero-filled past the decoded data)
  void MakePresetFromBlob(const char* name, const char* base64, int sizeOfChunk);
  void RemoveUnusedPresets();

protected:
  // null when every slot is in use
  IPresetEntry* FirstUnusedPreset();
  // takes the slot into use under this name
  static void ClaimPreset(IPresetEntry& preset, const char* name);
  int CountPresetsNamedLike(const char* text) const;

  std::vector<std::unique_ptr<IPresetEntry>> mPresets;
  int mCurrentPresetIdx = 0;
  bool mStateChunks = false;
};

} // namespace iplug
