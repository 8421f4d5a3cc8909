#pragma once
// The plug-in as its editor sees it: owner of the parameter list and the editor size,
// and the one channel for every message between the editor and the rest of the plug-in.
// Unless tagged otherwise, every operation runs on the user-interface thread.
#include <cstdint>
#include <memory>
#include <vector>

#include "IDataChunk.h"
#include "IPlugMidi.h"
#include "IPlugParameter.h"

namespace iplug {

struct IKeyPress;

// Where a parameter change came from.
enum EChangeSource : int32_t
{
  eFromReset = 0,
  eFromHost,
  eFromPreset,
  eFromUI,
  eFromDelegate,
  eFromRecompile,
  eFromUnknown,
  kNumChangeSources
};

inline constexpr const char* kChangeSourceNames[kNumChangeSources] = {
  "Reset", "Host", "Preset", "UI", "Editor Delegate", "Recompile", "Unknown",
};

// "Unknown" for a value outside the list
const char* ChangeSourceName(EChangeSource source);

constexpr int kNoSampleOffset = -1; // the change has no position in an audio block
constexpr int kNoTag = -1;          // no control

class IEditorDelegate
{
public:
  // creates nParams default parameters (none for a negative count)
  explicit IEditorDelegate(int nParams);
  virtual ~IEditorDelegate();
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;

  // --- editor lifetime ---
  // returns the native view of the opened editor, or null
  virtual void* OpenEditor(void* parent);
  virtual void CloseEditor();
  virtual void ReservedEditorHook() {}
  virtual void OnEditorOpened();
  virtual void OnEditorClosed() {}

  // --- parameter changes [the thread that delivered the change] ---
  virtual void OnParamChange(int /*paramIdx*/) {}
  virtual void OnParamChange(int paramIdx, EChangeSource source, int sampleOffset);
  virtual void OnParamChangeForEditor(int /*paramIdx*/, EChangeSource /*source*/) {}
  // every parameter in index order: the change hook, then the editor hook
  virtual void OnAllParamsChanged(EChangeSource source);

  // --- messages arriving at the editor side ---
  virtual void OnMidiForEditor(const IMidiMessage& /*msg*/) {}
  virtual void OnSysexForEditor(const ISysexMessage& /*msg*/) {}
  // returns true when the message was handled
  virtual bool OnEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data);
  // after a state or preset load: every parameter's value to the editor
  virtual void OnStateRestored();
  virtual bool OnKeyDown(const IKeyPress& key);
  virtual bool OnKeyUp(const IKeyPress& key);

  // --- plug-in -> editor ---
  virtual void SetControlValueByTag(int /*ctrlTag*/, double /*normalized*/) {}
  virtual void SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data);
  virtual void SendMessageFromDelegate(int msgTag, int dataSize, const void* data);
  virtual void SendMidiToEditor(const IMidiMessage& msg);
  virtual void SendSysexToEditor(const ISysexMessage& msg);
  // updates the editor's view of one parameter without notifying back; out-of-range indices are ignored
  virtual void SendParamValueToEditor(int paramIdx, double value, bool normalized);

  // --- editor -> plug-in ---
  virtual void NotifyHostOfAllParams() {}
  virtual void BeginUIParamChange(int paramIdx) = 0;
  virtual void SendUIParamValue(int paramIdx, double normalized);
  virtual void EndUIParamChange(int paramIdx) = 0;
  // returns true when the editor may take the new size
  virtual bool RequestEditorResize(int width, int height, bool needsPlatformResize);
  virtual void SendMidiFromEditor(const IMidiMessage& /*msg*/) {}
  virtual void SendSysexFromEditor(const ISysexMessage& /*msg*/) {}
  virtual void SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* data);
  virtual void QueueMidiFromEditor(const IMidiMessage& /*msg*/) {}
  virtual void QueueSysexFromEditor(const ISysexMessage& /*msg*/) {}

  // --- editor state [host thread] ---
  // returns false when the chunk could not grow
  virtual bool SaveEditorState(IDataChunk& chunk) const;
  // returns the position after the editor block, or -1
  virtual int LoadEditorState(const IDataChunk& chunk, int startPos);
  virtual void SetDisplayScale(float /*scale*/) {}

  // --- parameters [any thread, lock-free once constructed] ---
  int NParams() const { return static_cast<int>(mParams.size()); }
  // null outside the list
  IParam* GetParam(int paramIdx);
  const IParam* GetParam(int paramIdx) const;

  // --- editor size ---
  int GetEditorWidth() const { return mEditorWidth; }
  int GetEditorHeight() const { return mEditorHeight; }
  void SetEditorSize(int width, int height);
  // each pair may come in either order; the smaller value becomes the minimum
  void SetSizeConstraints(int widthA, int widthB, int heightA, int heightB);
  int GetMinWidth() const { return mMinWidth; }
  int GetMaxWidth() const { return mMaxWidth; }
  int GetMinHeight() const { return mMinHeight; }
  int GetMaxHeight() const { return mMaxHeight; }

protected:
  void SendAllParamValuesToEditor();

  std::vector<std::unique_ptr<IParam>> mParams;
  int32_t mEditorWidth = 0;
  int32_t mEditorHeight = 0;
  int32_t mMinWidth = 10;
  int32_t mMaxWidth = 100000;
  int32_t mMinHeight = 10;
  int32_t mMaxHeight = 100000;
};

} // namespace iplug
