#include "Controller.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "AAX_Errors.h"
#include "ParameterThread.h"

namespace aaxhost {

// ---- transport

AAX_Result Transport::GetCurrentTempo(double* bpm) const
{
  if (!bpm)
    return AAX_ERROR_NULL_OBJECT;
  *bpm = mState.mTempo;
  return AAX_SUCCESS;
}

AAX_Result Transport::IsTransportPlaying(bool* playing) const
{
  if (!playing)
    return AAX_ERROR_NULL_OBJECT;
  *playing = mState.mPlaying;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentMeter(int32_t* numerator, int32_t* denominator) const
{
  if (!numerator || !denominator)
    return AAX_ERROR_NULL_OBJECT;
  *numerator = mState.mNumerator;
  *denominator = mState.mDenominator;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentTickPosition(int64_t* ticks) const
{
  if (!ticks)
    return AAX_ERROR_NULL_OBJECT;
  *ticks = mState.mTicks;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentNativeSampleLocation(int64_t* sample) const
{
  if (!sample)
    return AAX_ERROR_NULL_OBJECT;
  *sample = mState.mSample;
  return AAX_SUCCESS;
}

AAX_Result Transport::GetCurrentLoopPosition(bool* looping, int64_t* startTick, int64_t* endTick) const
{
  if (!looping || !startTick || !endTick)
    return AAX_ERROR_NULL_OBJECT;
  *looping = mState.mLooping;
  *startTick = mState.mLoopStartTicks;
  *endTick = mState.mLoopEndTicks;
  return AAX_SUCCESS;
}

void Transport::Advance(int32_t frames, double sampleRate)
{
  mState.mSample += frames;
  if (mState.mPlaying && sampleRate > 0.0)
  {
    const double quarterNotes = frames / sampleRate * mState.mTempo / 60.0;
    mState.mTicks += std::llround(quarterNotes * static_cast<double>(kAAXTicksPerQuarterNote));
  }
}

// ---- automation

void AutomationDelegate::Record(EAutomationEvent kind, AAX_CParamID id, double value)
{
  std::lock_guard lock(mLock);
  if (mEvents.size() >= kMaxKeptEvents)
  {
    ++mDroppedEvents;
    return;
  }
  mEvents.push_back({kind, id ? id : "", value, std::this_thread::get_id()});
}

AAX_Result AutomationDelegate::RegisterParameter(AAX_CParamID id)
{
  if (!id)
    return AAX_ERROR_NULL_OBJECT;
  Record(EAutomationEvent::eRegister, id, 0.0);
  std::lock_guard lock(mLock);
  mRegistered.emplace_back(id);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::UnregisterParameter(AAX_CParamID id)
{
  if (!id)
    return AAX_ERROR_NULL_OBJECT;
  Record(EAutomationEvent::eUnregister, id, 0.0);
  std::lock_guard lock(mLock);
  const auto found = std::find(mRegistered.begin(), mRegistered.end(), id);
  if (found == mRegistered.end())
    return AAX_ERROR_INVALID_PARAMETER_ID;
  mRegistered.erase(found);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostSetValueRequest(AAX_CParamID id, double normalizedValue)
{
  if (!id)
    return AAX_ERROR_NULL_OBJECT;
  Record(EAutomationEvent::eSetValueRequest, id, normalizedValue);
  SendHostUpdate(id, normalizedValue);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostCurrentValue(AAX_CParamID id, double normalizedValue)
{
  Record(EAutomationEvent::eCurrentValue, id, normalizedValue);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostTouchRequest(AAX_CParamID id)
{
  Record(EAutomationEvent::eTouch, id, 0.0);
  return AAX_SUCCESS;
}

AAX_Result AutomationDelegate::PostReleaseRequest(AAX_CParamID id)
{
  Record(EAutomationEvent::eRelease, id, 0.0);
  return AAX_SUCCESS;
}

void AutomationDelegate::SendHostUpdate(const std::string& id, double normalizedValue)
{
  AddRef(); // the queued update keeps the delegate
  mParameterThread.Post([this, id, normalizedValue] {
    Deliver(id, normalizedValue);
    Release();
  });
}

void AutomationDelegate::Deliver(const std::string& id, double normalizedValue)
{
  AAX_IEffectParameters* effect = mEffect.load(std::memory_order_acquire);
  if (!effect)
    return;
  effect->OnHostParamUpdate(id.c_str(), normalizedValue, AAX_eUpdateSource_Parameter);
  effect->PublishParamChanges();
  mDelivered.fetch_add(1, std::memory_order_relaxed);
}

std::vector<AutomationEvent> AutomationDelegate::Events() const
{
  std::lock_guard lock(mLock);
  return mEvents;
}

void AutomationDelegate::ClearEvents()
{
  std::lock_guard lock(mLock);
  mEvents.clear();
  mDroppedEvents = 0;
}

std::vector<std::string> AutomationDelegate::RegisteredParameters() const
{
  std::lock_guard lock(mLock);
  return mRegistered;
}

// ---- data-in ports

DataInPort::DataInPort(AAX_CFieldIndex field, uint32_t packetSize)
  : mField(field), mPacketSize(packetSize),
    mWordsPerBuffer(std::max<std::size_t>(1, (packetSize + sizeof(uint64_t) - 1) / sizeof(uint64_t))),
    mStorage(std::make_unique<uint64_t[]>(3 * mWordsPerBuffer))
{
}

bool DataInPort::Post(const void* data, uint32_t size)
{
  if (size > mPacketSize || (size > 0 && !data))
    return false;
  std::lock_guard lock(mPostLock);
  auto* buffer = static_cast<uint8_t*>(Buffer(mBack));
  if (size > 0)
    std::memcpy(buffer, data, size);
  std::memset(buffer + size, 0, mPacketSize - size);
  mBack = mMiddle.exchange(mBack + kFresh, std::memory_order_acq_rel) % kFresh;
  return true;
}

void* DataInPort::TakeCurrent()
{
  if (mMiddle.load(std::memory_order_acquire) >= kFresh)
    mFront = mMiddle.exchange(mFront, std::memory_order_acq_rel) % kFresh;
  return Buffer(mFront);
}

// ---- MIDI nodes

MidiNode::MidiNode(const FieldDeclaration& declaration, AAX_ITransport* transport)
  : mDeclaration(declaration), mTransport(transport),
    mInputPackets(std::make_unique<AAX_CMidiPacket[]>(kCapacity)), mPosted(std::make_unique<AAX_CMidiPacket[]>(kCapacity))
{
  mInput.mBuffer = mInputPackets.get();
}

AAX_Result MidiNode::PostMIDIPacket(const AAX_CMidiPacket* packet)
{
  if (!packet)
    return AAX_ERROR_NULL_OBJECT;
  if (mNumPosted >= kCapacity)
    return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
  mPosted[mNumPosted++] = *packet;
  return AAX_SUCCESS;
}

bool MidiNode::Queue(const AAX_CMidiPacket& packet)
{
  if (mInput.mBufferSize >= kCapacity)
    return false;
  mInputPackets[mInput.mBufferSize++] = packet;
  return true;
}

// ---- controller

Controller::Controller(const ComponentDescription& component, double sampleRate, ParameterThread& parameterThread)
  : mSampleRate(sampleRate), mInputFormat(component.InputStemFormat()), mOutputFormat(component.OutputStemFormat()),
    mAutomation(new AutomationDelegate(parameterThread)), mTransport(new Transport)
{
  AAX_CPropertyValue latency = 0;
  if (component.FindProperty(AAX_eProperty_LatencySamples, latency))
    mLatency.store(latency, std::memory_order_release);
  for (const FieldDeclaration& field : component.mFields)
    if (field.mKind == EFieldKind::eDataInPort && !Port(field.mIndex))
      mPorts.push_back(std::make_unique<DataInPort>(field.mIndex, field.mPacketSize));
}

Controller::~Controller() = default;

IACFUnknown* Controller::FindInterface(const acfIID& iid)
{
  if (iid == AAX_IAutomationDelegate::kInterfaceID)
    return static_cast<AAX_IAutomationDelegate*>(mAutomation.Get());
  if (iid == AAX_ITransport::kInterfaceID)
    return static_cast<AAX_ITransport*>(mTransport.Get());
  return nullptr;
}

AAX_Result Controller::GetSampleRate(double* sampleRate) const
{
  if (!sampleRate)
    return AAX_ERROR_NULL_OBJECT;
  *sampleRate = mSampleRate;
  return AAX_SUCCESS;
}

AAX_Result Controller::GetInputStemFormat(AAX_EStemFormat* format) const
{
  if (!format)
    return AAX_ERROR_NULL_OBJECT;
  *format = mInputFormat;
  return AAX_SUCCESS;
}

AAX_Result Controller::GetOutputStemFormat(AAX_EStemFormat* format) const
{
  if (!format)
    return AAX_ERROR_NULL_OBJECT;
  *format = mOutputFormat;
  return AAX_SUCCESS;
}

AAX_Result Controller::SetSignalLatency(int32_t samples)
{
  mLatency.store(samples, std::memory_order_release);
  return AAX_SUCCESS;
}

DataInPort* Controller::Port(AAX_CFieldIndex field) const
{
  for (const auto& port : mPorts)
    if (port->Field() == field)
      return port.get();
  return nullptr;
}

AAX_Result Controller::PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size)
{
  DataInPort* port = Port(field);
  AAX_Result result = AAX_SUCCESS;
  if (!port)
    result = AAX_ERROR_NULL_OBJECT; // no data-in port declared at that field
  else if (!port->Post(data, size))
    result = AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
  (result == AAX_SUCCESS ? mPacketsPosted : mPacketsRefused).fetch_add(1, std::memory_order_relaxed);
  return result;
}

AAX_Result Controller::GetEffectParameters(IACFUnknown** effect) const
{
  if (!effect)
    return AAX_ERROR_NULL_OBJECT;
  *effect = nullptr;
  AAX_IEffectParameters* attached = mEffect.load(std::memory_order_acquire);
  if (!attached)
    return AAX_ERROR_NOT_INITIALIZED;
  void* found = nullptr;
  if (attached->QueryInterface(IACFUnknown::kInterfaceID, &found) != ACF_OK)
    return AAX_ERROR_NULL_OBJECT;
  *effect = static_cast<IACFUnknown*>(found);
  return AAX_SUCCESS;
}

void Controller::AttachEffect(AAX_IEffectParameters* effect)
{
  mEffect.store(effect, std::memory_order_release);
  mAutomation->Attach(effect);
}

} // namespace aaxhost
