#pragma once
// One effect instance of a loaded module, driven as a host drives it: created through the effect's creation
// procedure, initialised with this host's controller, rendered by filling render-context records and calling
// the component's process procedure, updated through the parameter thread, saved and restored as chunks,
// and given an editor object through the editor procedure.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "AAX_IEffectGUI.h"
#include "AAX_IEffectParameters.h"
#include "Controller.h"
#include "HostChunk.h"
#include "Module.h"
#include "ViewContainer.h"

namespace aaxhost {

class ParameterThread;

struct InstanceOptions
{
  std::size_t mEffect = 0;    // index into the module's effects
  std::size_t mComponent = 0; // index into that effect's components
  double mSampleRate = 48000.0;
};

struct ParameterInfo
{
  std::string mID;
  std::string mName;
  int32_t mSteps = 0;
  AAX_EParameterType mType = AAX_eParameterType_Continuous;
  bool mAutomatable = false;
  double mDefault = 0.0; // normalised
  std::string mDefaultText;
  std::string mTextAt0; // of normalised 0 and 1
  std::string mTextAt1;
  bool mIsMasterBypass = false;
};

class Instance
{
public:
  // room the host gives the effect for display texts
  static constexpr int32_t kTextLimit = 255;

  // [host main thread] a created and initialised instance, or null with a message in error
  static std::unique_ptr<Instance> Create(std::shared_ptr<Module> module, ParameterThread& parameterThread,
                                          const InstanceOptions& options, std::string& error);
  // [host main thread] closes the editor, drops queued updates, uninitialises and releases the effect
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  const EffectDescription& Effect() const { return *mEffectDescription; }
  const ComponentDescription& Component() const { return *mComponent; }
  Module& GetModule() const { return *mModule; }
  int NumInputChannels() const { return static_cast<int>(mInputPointers.size()); }
  int NumOutputChannels() const { return static_cast<int>(mOutputPointers.size()); }
  double SampleRate() const { return mSampleRate; }
  // the effect's interface, for queries the host library does not wrap
  AAX_IEffectParameters& EffectParameters() const { return *mEffect; }
  Controller& GetController() const { return *mController.Get(); }
  AutomationDelegate& Automation() const { return mController->Automation(); }
  // [any thread, lock-free]
  int32_t Latency() const { return mController->Latency(); }

  // ---- parameters [host main thread]
  // every host parameter in the manager's order
  std::vector<ParameterInfo> ListParameters() const;
  // false when no parameter has that name
  bool FindParameterByName(const std::string& name, std::string& id) const;
  // false when the effect has no master-bypass parameter
  bool MasterBypassID(std::string& id) const;
  // the effect's normalised value for a display text; false when the text does not parse
  bool NormalizedFromText(const std::string& id, const std::string& text, double& value) const;
  std::string TextFromNormalized(const std::string& id, double value) const;
  double NormalizedValue(const std::string& id) const;

  // ---- host updates
  // [any thread] the effect's host update and a publication, run on the parameter thread
  void SendHostUpdate(const std::string& id, double normalizedValue);
  // [any thread but the parameter thread] waits until the parameter thread is idle
  void WaitForParameterThread();

  // ---- rendering [render thread]
  // one render call of `frames` (at least 1) frames; the arrays hold NumInputChannels and NumOutputChannels
  // channel pointers. Never allocates.
  bool Render(float* const* inputs, float* const* outputs, int32_t frames);
  std::size_t NumMeters() const { return mMeters.size(); }
  float Meter(std::size_t index) const { return mMeters[index]; }
  // the MIDI node at a field, or null
  MidiNode* Node(AAX_CFieldIndex field) const;
  Transport& GetTransport() const { return mController->GetTransport(); }
  // render calls so far and samples of the host's clock
  uint64_t RenderCalls() const { return mRenderCalls; }

  // ---- chunks [host main thread]
  bool SaveChunks(std::vector<HostChunk>& chunks, std::string& error);
  // sets every chunk, then waits until the parameter thread has answered the effect's set-value requests
  bool RestoreChunks(const std::vector<HostChunk>& chunks, std::string& error);
  bool CompareChunk(const HostChunk& chunk, bool& equal, std::string& error);

  // ---- editor [ui thread]
  // creates the editor object through the editor procedure, initialises it and gives it a view container
  // without a window
  bool OpenEditor(std::string& error);
  void CloseEditor();
  AAX_IEffectGUI* Editor() const { return mEditor; }
  ViewContainer* GetViewContainer() const { return mViewContainer.Get(); }

  // [ui thread] the host's periodic wake-ups: the thread's pending messages, the effect's timer, then the editor's
  void IdleTick();
  // [host main thread]
  AAX_Result Notify(AAX_CTypeID type, const void* data, uint32_t size);

private:
  Instance(std::shared_ptr<Module> module, ParameterThread& parameterThread) :
    mModule(std::move(module)), mParameterThread(parameterThread) {}
  bool Build(const InstanceOptions& options, std::string& error);
  bool CreateEffect(std::string& error);
  bool BuildContext(std::string& error);
  void SetField(AAX_CFieldIndex index, void* content);

  std::shared_ptr<Module> mModule;
  ParameterThread& mParameterThread;
  const EffectDescription* mEffectDescription = nullptr;
  const ComponentDescription* mComponent = nullptr;
  AAX_CProcessProc mProcess = nullptr;
  double mSampleRate = 0.0;
  HostRef<Controller> mController;
  AAX_IEffectParameters* mEffect = nullptr; // one reference held
  bool mInitialized = false;
  AAX_IEffectGUI* mEditor = nullptr;         // one reference held
  HostRef<ViewContainer> mViewContainer;

  // what the render context points at
  AAX_SIPlugRenderContext mContext{};
  std::vector<float*> mInputPointers;
  std::vector<float*> mOutputPointers;
  int32_t mBufferLength = 0;
  int64_t mClock = 0;
  int32_t mSideChainChannel = 0; // no side-chain channel connected
  std::vector<float> mMeters;
  std::vector<std::unique_ptr<MidiNode>> mNodes;
  std::vector<std::unique_ptr<uint64_t[]>> mPrivateBlocks;
  uint64_t mRenderCalls = 0;
};

} // namespace aaxhost
