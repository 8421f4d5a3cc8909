#pragma once
// The plug-in object as an AAX host sees it: the framework bases joined with the AAX adapter. Host calls become
// framework calls (parameters, state chunk, blocks, notifications); framework notifications (gestures, values,
// latency, editor size) go to the host. Beside it, the editor adapter the host creates separately.
// Threads: as tagged; host queries and chunks on the host's main thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AAX_CEffectGUI.h"
#include "AAX_CParameter.h"
#include "IPlugAAX_Describe.h"
#include "IPlugAAX_Parameters.h"
#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

class AAX_ITransport;

namespace iplug {

// AAX gives a new instance nothing to build from.
struct InstanceInfo
{
};

class IPlugAAX : public IPlugAPIBase, public IPlugProcessor, public AAX_CIPlugParameters
{
public:
  static constexpr int kInitialBlockSize = 512;
  static constexpr int kMidiOutGrowth = 512;               // messages
  static constexpr int kMaxMidiOutMessages = 512 * 32;     // per block; more are dropped

  // maxLatency: the longest latency the plug-in will report, reserved so that reporting it never allocates
  IPlugAAX(const IPluginConfig& config, const InstanceInfo& info, int maxLatency = 0);
  ~IPlugAAX() override;

  // --- host -> plug-in ---
  // [host main thread] the parameters go, and with them the master bypass
  AAX_Result Uninitialize() override;
  // [host main thread] offline rendering and the track name; then the base
  AAX_Result NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size) override;
  // [host parameter thread] the AAX parameter, then the plug-in parameter of the identifier, if it has one
  AAX_Result OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource source) override;
  // [host main thread] one chunk under the unique ID, holding what SaveState writes
  AAX_Result GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID) override;
  AAX_Result GetChunkSize(AAX_CTypeID chunkID, uint32_t* size) override;
  AAX_Result GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* chunk) override;
  AAX_Result SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* chunk) override;
  AAX_Result CompareActiveChunk(const AAX_SHostChunk* chunk, AAX_CBoolean* isEqual) override;
  // [ui thread] the adapter's timer work, then the idle tick when it is due
  AAX_Result OnHostTimer() override;
  // [audio thread] one block of the context; synchronized changes are not used
  void RenderBlock(AAX_SIPlugRenderContext* context, ParamValuePair* const* pairs, int32_t count) override;

  // --- plug-in -> host; indices outside the parameter list, or before InitEffect, are ignored ---
  void NotifyHostOfPresetChange() override {}
  void GetTrackName(std::string& name) override;
  // [ui thread] always true
  bool ResizeEditorWindow(int width, int height) override;
  void BeginHostParamGesture(int paramIdx) override;
  void EndHostParamGesture(int paramIdx) override;
  void NotifyHostOfParamChange(int paramIdx, double normalized) override;
  // [audio thread] queued for the host's MIDI output in offset order; false when dropped
  bool EmitMidiMessage(const IMidiMessage& msg) override;
  // [audio thread] tells the host, then the processing frame
  void ApplyLatency(int samples) override;

protected:
  // [host main thread] the master bypass, then one AAX parameter per plug-in parameter
  AAX_Result InitEffect() override;
  // [host main thread] where the state SaveState writes keeps the parameter block, in bytes; -1 for none.
  // The framework's default state is the bare block.
  virtual int StateParamBlockPosition() const { return 0; }

private:
  // Messages for the host's MIDI output: ordered by offset, emptied by every render call.
  class MidiOutQueue
  {
  public:
    MidiOutQueue();
    // false when the queue could not grow
    bool Add(const IMidiMessage& msg);
    const IMidiMessage* begin() const { return mMessages.get() + mFront; }
    const IMidiMessage* end() const { return mMessages.get() + mBack; }
    // drops the first `posted` messages and moves the offsets of the rest nFrames earlier
    void Flush(int posted, int nFrames);

  private:
    bool MakeRoom();

    std::unique_ptr<IMidiMessage[]> mMessages;
    int mCapacity = 0;
    int mFront = 0;
    int mBack = 0;
  };

  // null for an index without an identifier
  const char* ParamID(int paramIdx) const;
  void ReadMidiInput(const AAX_SIPlugRenderContext& context);
  void ConnectInputs(const AAX_SIPlugRenderContext& context, int nIn, int nFrames);
  void ConnectOutputs(const AAX_SIPlugRenderContext& context, int nOut, int nFrames);
  void ReadTransport();
  void PostMidiOutput(const AAX_SIPlugRenderContext& context, int nFrames);

  AAX_CParameter<bool>* mBypassParam = nullptr; // owned by the parameter manager
  AAX_ITransport* mTransport = nullptr;         // valid during the render call that fetched it
  std::vector<std::string> mParamIds;           // index-aligned with the parameters
  MidiOutQueue mMidiOutQueue;
  int mMainInputChannels = 0;
  std::string mTrackName;
};

// provided by the plug-in: a new instance, made under a process-wide lock; null when creation failed
IPlugAAX* MakePlugin(const InstanceInfo& info);

// creation procedures of the description [host main thread]: a new object with one reference, or null
IACFUnknown* CreateEffectInstance();
IACFUnknown* CreateEditorInstance();

class IPlugAAXHostView;

// The editor as the host sees it: opens the plug-in's editor in the window the host provides. [ui thread]
class AAX_CEffectGUI_IPLUG : public AAX_CEffectGUI
{
public:
  AAX_CEffectGUI_IPLUG();
  ~AAX_CEffectGUI_IPLUG() override;

  // the editor size, height first; left as it is without an editor
  AAX_Result GetViewSize(AAX_Point* size) const override;
  AAX_Result ParameterUpdated(AAX_CParamID id) override;
  // AAX_ERROR_INVALID_PARAMETER_ID while no editor is open
  AAX_Result SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean highlighted, AAX_EHighlightColor color) override;

protected:
  void CreateViewContents() override;
  void CreateViewContainer() override;
  void DeleteViewContainer() override;

private:
  IPlugAAX* mPlug = nullptr; // null until the view contents are created, or for an effect of another kind
  std::unique_ptr<IPlugAAXHostView> mHostView;
};

} // namespace iplug
