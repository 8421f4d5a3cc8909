#pragma once
// The host objects of one effect instance: its controller (sample rate, stem formats, signal latency, packets
// into the data-in ports of the next render), the automation delegate, the transport and the MIDI nodes of
// its render context. The controller also answers the automation-delegate and transport interfaces, so the
// effect finds all three through the object it is initialised with.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_Records.h"
#include "Description.h"
#include "HostObject.h"

namespace aaxhost {

class ParameterThread;

// ---- transport

struct TransportState
{
  double mTempo = 120.0;
  bool mPlaying = false;
  int32_t mNumerator = 4;
  int32_t mDenominator = 4;
  int64_t mTicks = 0;
  int64_t mSample = 0;
  bool mLooping = false;
  int64_t mLoopStartTicks = 0;
  int64_t mLoopEndTicks = 0;
};

class Transport final : public HostObject<AAX_ITransport>
{
public:
  // [audio thread] during a render call
  AAX_Result GetCurrentTempo(double* bpm) const override;
  AAX_Result IsTransportPlaying(bool* playing) const override;
  AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const override;
  AAX_Result GetCurrentTickPosition(int64_t* ticks) const override;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* sample) const override;
  AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* startTick, int64_t* endTick) const override;

  // [render thread, between render calls]
  void SetState(const TransportState& state) { mState = state; }
  const TransportState& State() const { return mState; }
  // moves the play position on by a block; ticks move only while playing
  void Advance(int32_t frames, double sampleRate);

private:
  ~Transport() override = default;
  TransportState mState;
};

// ---- automation

enum class EAutomationEvent
{
  eRegister,
  eUnregister,
  eSetValueRequest,
  eCurrentValue,
  eTouch,
  eRelease
};

struct AutomationEvent
{
  EAutomationEvent mKind;
  std::string mID;
  double mValue = 0.0;
  std::thread::id mThread;
};

// Answers every set-value request the way a real host does: later, on the parameter thread, with the
// effect's host update followed by a publication of parameter changes.
class AutomationDelegate final : public HostObject<AAX_IAutomationDelegate>
{
public:
  static constexpr std::size_t kMaxKeptEvents = 4096; // later events are counted only

  explicit AutomationDelegate(ParameterThread& parameterThread) : mParameterThread(parameterThread) {}

  // [host main or parameter thread]
  AAX_Result RegisterParameter(AAX_CParamID id) override;
  AAX_Result UnregisterParameter(AAX_CParamID id) override;
  AAX_Result PostSetValueRequest(AAX_CParamID id, double normalizedValue) override;
  AAX_Result PostCurrentValue(AAX_CParamID id, double normalizedValue) override;
  AAX_Result PostTouchRequest(AAX_CParamID id) override;
  AAX_Result PostReleaseRequest(AAX_CParamID id) override;

  // [host main thread] updates go to `effect` (no reference is held); null drops updates still queued
  void Attach(AAX_IEffectParameters* effect) { mEffect.store(effect, std::memory_order_release); }
  // [any thread] the host's own update (automation, a control surface): queued for the parameter thread
  void SendHostUpdate(const std::string& id, double normalizedValue);

  // [any thread]
  std::vector<AutomationEvent> Events() const;
  void ClearEvents();
  std::vector<std::string> RegisteredParameters() const;
  uint64_t HostUpdatesDelivered() const { return mDelivered.load(std::memory_order_relaxed); }

private:
  ~AutomationDelegate() override = default;
  void Record(EAutomationEvent kind, AAX_CParamID id, double value);
  void Deliver(const std::string& id, double normalizedValue);

  ParameterThread& mParameterThread;
  std::atomic<AAX_IEffectParameters*> mEffect{nullptr};
  std::atomic<uint64_t> mDelivered{0};
  mutable std::mutex mLock;
  std::vector<AutomationEvent> mEvents;
  std::size_t mDroppedEvents = 0;
  std::vector<std::string> mRegistered;
};

// ---- data-in ports

// One field's packets: the poster writes whole packets, the render thread takes the newest one at the start
// of each render call. Triple-buffered, so neither side waits for the other.
class DataInPort
{
public:
  DataInPort(AAX_CFieldIndex field, uint32_t packetSize);
  DataInPort(const DataInPort&) = delete;
  DataInPort& operator=(const DataInPort&) = delete;

  AAX_CFieldIndex Field() const { return mField; }
  uint32_t PacketSize() const { return mPacketSize; }
  // [any thread; posts are serialised] false when the packet is larger than the port's packet size
  bool Post(const void* data, uint32_t size);
  // [render thread] the buffer for the next render: the newest packet posted, else the one before
  void* TakeCurrent();
  // [host main thread, before rendering] the buffer the effect fills with the port's initial data
  void* Initial() { return Buffer(mFront); }

private:
  static constexpr uint32_t kFresh = 4; // added to the middle index when it holds a packet not yet taken
  void* Buffer(uint32_t index) { return mStorage.get() + index * mWordsPerBuffer; }

  AAX_CFieldIndex mField;
  uint32_t mPacketSize;
  std::size_t mWordsPerBuffer;
  std::unique_ptr<uint64_t[]> mStorage; // three buffers
  std::mutex mPostLock;
  uint32_t mBack = 0;                  // the poster's
  std::atomic<uint32_t> mMiddle{1};    // handed between the two
  uint32_t mFront = 2;                 // the render thread's
};

// ---- MIDI nodes

class MidiNode final : public AAX_IMIDINode
{
public:
  static constexpr uint32_t kCapacity = 1024; // packets per block, each way

  MidiNode(const FieldDeclaration& declaration, AAX_ITransport* transport);
  ~MidiNode() = default;

  // [audio thread] during a render call
  AAX_CMidiStream* GetNodeBuffer() override { return &mInput; }
  AAX_Result PostMIDIPacket(const AAX_CMidiPacket* packet) override;
  AAX_ITransport* GetTransport() override { return mTransport; }

  // [render thread, between render calls] packets for the next block; false when the block is full
  bool Queue(const AAX_CMidiPacket& packet);
  void ClearInput() { mInput.mBufferSize = 0; }
  // [render thread, between render calls] what the effect posted in the last block
  uint32_t NumPosted() const { return mNumPosted; }
  const AAX_CMidiPacket& Posted(uint32_t index) const { return mPosted[index]; }
  void ClearPosted() { mNumPosted = 0; }
  const FieldDeclaration& Declaration() const { return mDeclaration; }

private:
  FieldDeclaration mDeclaration;
  AAX_ITransport* mTransport;
  std::unique_ptr<AAX_CMidiPacket[]> mInputPackets;
  AAX_CMidiStream mInput;
  std::unique_ptr<AAX_CMidiPacket[]> mPosted;
  uint32_t mNumPosted = 0;
};

// ---- controller

class Controller final : public HostObject<AAX_IController>
{
public:
  // the data-in ports of `component` are made here, so packets can be posted from initialisation on
  Controller(const ComponentDescription& component, double sampleRate, ParameterThread& parameterThread);

  AAX_Result GetSampleRate(double* sampleRate) const override;
  AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const override;
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const override;
  AAX_Result SetSignalLatency(int32_t samples) override;
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) override;
  AAX_Result GetEffectParameters(IACFUnknown** effect) const override;

  // [host main thread] the instance's effect (no reference held); null detaches it and its automation
  void AttachEffect(AAX_IEffectParameters* effect);

  AutomationDelegate& Automation() const { return *mAutomation.Get(); }
  Transport& GetTransport() const { return *mTransport.Get(); }
  // [any thread, lock-free] the last latency the effect reported (the description's until then)
  int32_t Latency() const { return mLatency.load(std::memory_order_acquire); }
  // [any thread, lock-free] packets taken and refused (unknown field, too large)
  uint64_t PacketsPosted() const { return mPacketsPosted.load(std::memory_order_relaxed); }
  uint64_t PacketsRefused() const { return mPacketsRefused.load(std::memory_order_relaxed); }
  // the port of a field, or null
  DataInPort* Port(AAX_CFieldIndex field) const;
  const std::vector<std::unique_ptr<DataInPort>>& Ports() const { return mPorts; }

private:
  ~Controller() override;
  IACFUnknown* FindInterface(const acfIID& iid) override;

  double mSampleRate;
  AAX_EStemFormat mInputFormat;
  AAX_EStemFormat mOutputFormat;
  std::atomic<int32_t> mLatency{0};
  std::atomic<uint64_t> mPacketsPosted{0};
  std::atomic<uint64_t> mPacketsRefused{0};
  std::atomic<AAX_IEffectParameters*> mEffect{nullptr};
  HostRef<AutomationDelegate> mAutomation;
  HostRef<Transport> mTransport;
  std::vector<std::unique_ptr<DataInPort>> mPorts;
};

} // namespace aaxhost
