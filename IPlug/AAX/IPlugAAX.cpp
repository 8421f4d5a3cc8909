#include "IPlugAAX.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "AAX_IController.h"
#include "AAX_Records.h"
#include "AAX_VController.h"
#include "AAX_VViewContainer.h"
#include "IGraphics.h"
#include "IPlugAAX_RunLoop.h"

namespace iplug {

namespace {

constexpr const char* kBypassName = "Master Bypass";
constexpr const char* kBypassOffText = "bypass";
constexpr const char* kBypassOnText = "on";
constexpr const char* kDefaultHostName = "ProTools";
constexpr int kParamIdMaxLength = 32;
constexpr uint32_t kContinuousSteps = 128;
constexpr uint32_t kBypassSteps = 2;
constexpr uint32_t kMidiMessageLength = 3;
constexpr int kSysexBytesPerPacket = 4;

// Truncates toward zero, as a C cast would, but keeps values a parameter range cannot hold defined.
int32_t TruncateToInt(double value)
{
  if (std::isnan(value))
    return 0;
  return static_cast<int32_t>(std::clamp(value, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

// The decimal value of the identifier minus 1: -1 for the empty text and for anything not a number.
int ParamIndexFromID(AAX_CParamID id)
{
  if (!id)
    return -1;
  errno = 0;
  const long number = std::strtol(id, nullptr, 10);
  if (errno == ERANGE || number <= 0 || number > INT_MAX)
    return -1;
  return static_cast<int>(number - 1);
}

std::unique_ptr<AAX_IParameter> MakeChoiceParameter(const IParam& param, AAX_CParamID id, bool automatable)
{
  AAX_CStringDisplayDelegate<int32_t>::ValueToText valueToText;
  AAX_CStringDisplayDelegate<int32_t>::TextToValue textToValue;
  for (int j = 0; j < param.DisplayTextCount(); ++j)
  {
    double value = 0.0;
    const char* text = param.DisplayTextAt(j, &value);
    valueToText.emplace(TruncateToInt(value), text);
    textToValue.emplace(text, TruncateToInt(value));
  }
  auto parameter = std::make_unique<AAX_CParameter<int32_t>>(
    id, AAX_CString(param.Name()), TruncateToInt(param.GetDefault()),
    AAX_CLinearTaperDelegate<int32_t, 1>(TruncateToInt(param.GetMin()), TruncateToInt(param.GetMax())),
    AAX_CStringDisplayDelegate<int32_t>(std::move(valueToText), std::move(textToValue)), automatable);
  parameter->SetNumberOfSteps(static_cast<uint32_t>(param.DisplayTextCount()));
  parameter->SetType(AAX_eParameterType_Discrete);
  return parameter;
}

std::unique_ptr<AAX_IParameter> MakeIntParameter(const IParam& param, AAX_CParamID id, bool automatable)
{
  const AAX_CUnitDisplayDelegateDecorator<int32_t> number(AAX_CNumberDisplayDelegate<int32_t, 0, 0>(),
                                                          AAX_CString(param.UnitLabel()));
  const AAX_CIPlugDisplayTextDecorator<int32_t> numberOrText(number, param);
  const AAX_IDisplayDelegate<int32_t>& display =
    param.DisplayTextCount() > 0 ? static_cast<const AAX_IDisplayDelegate<int32_t>&>(numberOrText) : number;
  auto parameter = std::make_unique<AAX_CParameter<int32_t>>(
    id, AAX_CString(param.Name()), TruncateToInt(param.GetDefault()),
    AAX_CLinearTaperDelegate<int32_t, 1>(TruncateToInt(param.GetMin()), TruncateToInt(param.GetMax())), display,
    automatable);
  parameter->SetNumberOfSteps(kContinuousSteps);
  parameter->SetType(AAX_eParameterType_Continuous);
  return parameter;
}

std::unique_ptr<AAX_IParameter> MakeDoubleParameter(const IParam& param, AAX_CParamID id, bool automatable)
{
  auto parameter = std::make_unique<AAX_CParameter<double>>(
    id, AAX_CString(param.Name()), param.GetDefault(), AAX_CIPlugTaperDelegate<double>(param),
    AAX_CUnitDisplayDelegateDecorator<double>(AAX_CNumberDisplayDelegate<double, 2, 0>(),
                                              AAX_CString(param.UnitLabel())),
    automatable);
  parameter->SetNumberOfSteps(kContinuousSteps);
  parameter->SetType(AAX_eParameterType_Continuous);
  return parameter;
}

// null for a parameter the host does not see
std::unique_ptr<AAX_IParameter> MakeHostParameter(const IParam& param, AAX_CParamID id)
{
  const bool automatable = !(param.GetFlags() & kParamFlagNoAutomation);
  switch (param.GetKind())
  {
  case eKindBool:
  case eKindEnum: return MakeChoiceParameter(param, id, automatable);
  case eKindInt: return MakeIntParameter(param, id, automatable);
  case eKindDouble: return MakeDoubleParameter(param, id, automatable);
  default: return nullptr;
  }
}

std::unique_ptr<AAX_CParameter<bool>> MakeBypassParameter(AAX_CParamID id)
{
  auto bypass = std::make_unique<AAX_CParameter<bool>>(id, AAX_CString(kBypassName), false,
                                                       AAX_CBinaryTaperDelegate<bool>(),
                                                       AAX_CBinaryDisplayDelegate<bool>(kBypassOffText, kBypassOnText),
                                                       true);
  bypass->SetNumberOfSteps(kBypassSteps);
  bypass->SetType(AAX_eParameterType_Discrete);
  return bypass;
}

// the channel count of the format the host reports; 0 when it reports none
template <typename Query>
int ChannelCount(const AAX_VController* controller, Query query)
{
  AAX_EStemFormat format = AAX_eStemFormat_None;
  if (!controller || (controller->*query)(&format) != AAX_SUCCESS)
    return 0;
  return AAX_StemFormatChannelCount(format);
}

double TicksToQuarterNotes(int64_t ticks)
{
  return static_cast<double>(ticks) / static_cast<double>(kAAXTicksPerQuarterNote);
}

void PostSysex(AAX_IMIDINode& node, const ISysexRecord& record)
{
  const int size = std::clamp(record.mSize, 0, kMaxSysexBytes);
  for (int pos = 0; pos < size; pos += kSysexBytesPerPacket)
  {
    AAX_CMidiPacket packet;
    packet.mTimestamp = static_cast<uint32_t>(record.mOffset);
    packet.mIsImmediate = 1;
    packet.mLength = static_cast<uint32_t>(std::min(kSysexBytesPerPacket, size - pos));
    std::memcpy(packet.mData, record.mData + pos, packet.mLength);
    node.PostMIDIPacket(&packet);
  }
}

} // namespace

// The editor's link to the host's view container: the graphics framework knows it only as IHostViewContainer.
class IPlugAAXHostView final : public igraphics::IHostViewContainer
{
public:
  explicit IPlugAAXHostView(const AAX_VViewContainer& container) : mContainer(container) {}

  uint32_t GetModifiers() const override
  {
    uint32_t modifiers = 0;
    return mContainer.GetModifiers(&modifiers) == AAX_SUCCESS ? modifiers : 0;
  }
  bool HandleParameterMouseDown(const char* paramID, uint32_t modifiers) override
  {
    return mContainer.HandleParameterMouseDown(paramID, modifiers) == AAX_SUCCESS;
  }
  void SetViewSize(int width, int height) const
  {
    mContainer.SetViewSize(AAX_Point{static_cast<float>(height), static_cast<float>(width)});
  }

private:
  const AAX_VViewContainer& mContainer;
};

// ---------------------------------------------------------------- MIDI output queue

IPlugAAX::MidiOutQueue::MidiOutQueue()
  : mMessages(std::make_unique<IMidiMessage[]>(kMidiOutGrowth)), mCapacity(kMidiOutGrowth)
{
}

bool IPlugAAX::MidiOutQueue::MakeRoom()
{
  if (mFront > 0)
  {
    std::copy(mMessages.get() + mFront, mMessages.get() + mBack, mMessages.get());
    mBack -= mFront;
    mFront = 0;
    return true;
  }
  const int grown = (mCapacity / kMidiOutGrowth + 1) * kMidiOutGrowth;
  if (grown > kMaxMidiOutMessages)
    return false;
  std::unique_ptr<IMidiMessage[]> messages(new (std::nothrow) IMidiMessage[static_cast<std::size_t>(grown)]);
  if (!messages)
    return false;
  std::copy(mMessages.get(), mMessages.get() + mBack, messages.get());
  mMessages = std::move(messages);
  mCapacity = grown;
  return true;
}

bool IPlugAAX::MidiOutQueue::Add(const IMidiMessage& msg)
{
  if (mBack >= mCapacity && !MakeRoom())
    return false;
  IMidiMessage* first = mMessages.get() + mFront;
  IMidiMessage* last = mMessages.get() + mBack;
  // after the last message whose offset is not larger, so equal offsets keep their order
  IMidiMessage* at = last;
  if (mBack > mFront && msg.mOffset < last[-1].mOffset)
    at = std::upper_bound(first, last, msg, [](const IMidiMessage& a, const IMidiMessage& b) {
      return a.mOffset < b.mOffset;
    });
  std::copy_backward(at, last, last + 1);
  *at = msg;
  ++mBack;
  return true;
}

void IPlugAAX::MidiOutQueue::Flush(int posted, int nFrames)
{
  const int remaining = std::max(mBack - mFront - posted, 0);
  std::copy(mMessages.get() + mBack - remaining, mMessages.get() + mBack, mMessages.get());
  mFront = 0;
  mBack = remaining;
  for (int i = 0; i < remaining; ++i)
    mMessages[static_cast<std::size_t>(i)].mOffset -= nFrames;
}

// ---------------------------------------------------------------- construction

IPlugAAX::IPlugAAX(const IPluginConfig& config, const InstanceInfo& /*info*/, int maxLatency)
  : IPlugAPIBase(config, eApiAAX), IPlugProcessor(config), AAX_CIPlugParameters()
{
  ConnectChannels(eRouteInput, 0, NChannels(eRouteInput), true);
  ConnectChannels(eRouteOutput, 0, NChannels(eRouteOutput), true);
  if (NChannels(eRouteInput) > 0)
    CreateLatencyDelay(std::max(maxLatency, config.latency));
  ChangeBlockSize(kInitialBlockSize);
  mMainInputChannels = MostChannelsOnBus(eRouteInput, 0);
  CreateTimer();
}

IPlugAAX::~IPlugAAX()
{
  // the tick calls into the plug-in, whose part of the object goes first
  StopTimer();
}

AAX_Result IPlugAAX::InitEffect()
{
  if (GetHost() == eHostNotIdentified)
    SetHost(kDefaultHostName, 0);

  AAX_CString bypassID;
  GetMasterBypassParameter(&bypassID);
  auto bypass = MakeBypassParameter(bypassID.Get());
  mBypassParam = bypass.get();
  if (!mParameterManager.AddParameter(std::move(bypass)))
    mBypassParam = nullptr;

  // a repeated initialisation starts from a fresh manager
  mParamIds.clear();
  mParamIds.reserve(static_cast<std::size_t>(NParams()));
  for (int i = 0; i < NParams(); ++i)
  {
    char id[kParamIdMaxLength];
    std::snprintf(id, sizeof(id), "%i", i + 1);
    mParamIds.emplace_back(id);
    mParameterManager.AddParameter(MakeHostParameter(*GetParam(i), mParamIds.back().c_str()));
  }

  double sampleRate = 0.0;
  if (Controller() && Controller()->GetSampleRate(&sampleRate) == AAX_SUCCESS)
    SetSampleRate(sampleRate);
  ResetProcessing();
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::Uninitialize()
{
  mBypassParam = nullptr;
  return AAX_CIPlugParameters::Uninitialize();
}

const char* IPlugAAX::ParamID(int paramIdx) const
{
  if (paramIdx < 0 || paramIdx >= static_cast<int>(mParamIds.size()))
    return nullptr;
  return mParamIds[static_cast<std::size_t>(paramIdx)].c_str();
}

// ---------------------------------------------------------------- host -> plug-in

AAX_Result IPlugAAX::NotificationReceived(AAX_CTypeID type, const void* data, uint32_t size)
{
  switch (type)
  {
  case AAX_eNotification_OfflineStart: SetRenderingOffline(true); break;
  case AAX_eNotification_OfflineEnd: SetRenderingOffline(false); break;
  case AAX_eNotification_TrackName:
    if (data)
      mTrackName = static_cast<const AAX_IString*>(data)->Get();
    break;
  default: break;
  }
  return AAX_CIPlugParameters::NotificationReceived(type, data, size);
}

AAX_Result IPlugAAX::OnHostParamUpdate(AAX_CParamID id, double value, AAX_EUpdateSource /*source*/)
{
  AAX_IParameter* parameter = mParameterManager.GetParameterByID(id);
  if (!parameter)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  parameter->UpdateNormalizedValue(value);

  const int index = ParamIndexFromID(id);
  if (index >= 0 && index < NParams())
    SetParamFromHost(index, value, true);

  const AAX_Result result = mPacketDispatcher.SetDirty(id);
  mNumPlugInChanges.fetch_add(1, std::memory_order_relaxed);
  return result;
}

// The idle timer belongs to the thread that created the effect: a call on any other thread fires nothing.
AAX_Result IPlugAAX::OnHostTimer()
{
  const AAX_Result result = AAX_CIPlugParameters::OnHostTimer();
  PumpTimersFromHost();
  return result;
}

// ---------------------------------------------------------------- chunks

AAX_Result IPlugAAX::GetChunkIDFromIndex(int32_t index, AAX_CTypeID* chunkID)
{
  if (!chunkID)
    return AAX_ERROR_NULL_OBJECT;
  *chunkID = index == 0 ? static_cast<AAX_CTypeID>(GetUniqueID()) : 0;
  return index == 0 ? AAX_SUCCESS : AAX_ERROR_INVALID_CHUNK_INDEX;
}

AAX_Result IPlugAAX::GetChunkSize(AAX_CTypeID chunkID, uint32_t* size)
{
  if (!size)
    return AAX_ERROR_NULL_OBJECT;
  if (chunkID != static_cast<AAX_CTypeID>(GetUniqueID()))
  {
    *size = 0;
    return AAX_ERROR_INVALID_CHUNK_ID;
  }
  IDataChunk state;
  if (SaveState(state))
    *size = static_cast<uint32_t>(state.Size());
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::GetChunk(AAX_CTypeID chunkID, AAX_SHostChunk* chunk)
{
  if (chunkID != static_cast<AAX_CTypeID>(GetUniqueID()))
    return AAX_ERROR_INVALID_CHUNK_ID;
  if (!chunk)
    return AAX_ERROR_NULL_OBJECT;
  IDataChunk state;
  if (!SaveState(state))
    return AAX_ERROR_INVALID_CHUNK_ID;
  chunk->mSize = state.Size();
  std::memcpy(chunk->Data(), state.Data(), static_cast<std::size_t>(state.Size()));
  return AAX_SUCCESS;
}

AAX_Result IPlugAAX::SetChunk(AAX_CTypeID chunkID, const AAX_SHostChunk* chunk)
{
  if (chunkID != static_cast<AAX_CTypeID>(GetUniqueID()))
    return AAX_ERROR_INVALID_CHUNK_ID;
  if (!chunk)
    return AAX_ERROR_NULL_OBJECT;
  // a record that claims a negative size cannot be read at all
  if (chunk->mSize < 0)
    return AAX_ERROR_INVALID_CHUNK_ID;

  IDataChunk state;
  state.AppendBytes(chunk->Data(), chunk->mSize);
  LoadState(state, 0);

  // the host's parameters follow the restored values; a parameter without one answers an error, ignored
  for (int i = 0; i < NParams(); ++i)
    SetParameterNormalizedValue(ParamID(i), GetParam(i)->NormalizedValue());
  OnStateRestored();
  mNumPlugInChanges.fetch_add(1, std::memory_order_relaxed);
  return AAX_SUCCESS;
}

// The parameter values are compared where the plug-in's state keeps them, which need not be its first byte.
AAX_Result IPlugAAX::CompareActiveChunk(const AAX_SHostChunk* chunk, AAX_CBoolean* isEqual)
{
  if (!chunk || !isEqual)
    return AAX_ERROR_NULL_OBJECT;
  if (chunk->mChunkID != static_cast<AAX_CTypeID>(GetUniqueID()))
  {
    *isEqual = true;
    return AAX_SUCCESS;
  }
  const int position = StateParamBlockPosition();
  const bool readable = position >= 0 && chunk->mSize >= position;
  *isEqual = readable && CompareStateChecked(chunk->Data() + position, chunk->mSize - position, 0);
  return AAX_SUCCESS;
}

// ---------------------------------------------------------------- rendering

void IPlugAAX::ReadMidiInput(const AAX_SIPlugRenderContext& context)
{
  if (!DoesMidiIn() || !context.mInputNode)
    return;
  const AAX_CMidiStream* stream = context.mInputNode->GetNodeBuffer();
  if (!stream || !stream->mBuffer)
    return;
  for (uint32_t i = 0; i < stream->mBufferSize; ++i)
  {
    const AAX_CMidiPacket& packet = stream->mBuffer[i];
    IMidiMessage msg;
    msg.mOffset = static_cast<int32_t>(packet.mTimestamp);
    msg.mStatus = packet.mData[0];
    msg.mData1 = packet.mData[1];
    msg.mData2 = packet.mData[2];
    HandleMidiMessage(msg);
    QueueMidiForEditor(msg);
  }
}

void IPlugAAX::ConnectInputs(const AAX_SIPlugRenderContext& context, int nIn, int nFrames)
{
  const int maxIn = NChannels(eRouteInput);
  ConnectChannels(eRouteInput, 0, nIn, true);
  ConnectChannels(eRouteInput, nIn, maxIn - nIn, false);
  const int sideChain = context.mSideChainChannel ? *context.mSideChainChannel : 0;
  AttachHostBuffers(eRouteInput, 0, nIn, context.mInputs, nFrames);
  if (MostBuses(eRouteInput) > 1 && sideChain > 0 && context.mInputs)
  {
    ConnectChannels(eRouteInput, mMainInputChannels, 1, true);
    AttachHostBuffers(eRouteInput, mMainInputChannels, 1, context.mInputs + sideChain, nFrames);
  }
}

void IPlugAAX::ConnectOutputs(const AAX_SIPlugRenderContext& context, int nOut, int nFrames)
{
  const int maxOut = NChannels(eRouteOutput);
  ConnectChannels(eRouteOutput, 0, maxOut, true);
  // with one output bus the host's format says how many of our outputs it has buffers for
  if (MostBuses(eRouteOutput) == 1)
    ConnectChannels(eRouteOutput, nOut, maxOut - nOut, false);
  AttachHostBuffers(eRouteOutput, 0, maxOut, context.mOutputs, nFrames);
}

void IPlugAAX::ReadTransport()
{
  ITransportInfo info;
  if (mTransport)
  {
    double tempo = 0.0;
    bool playing = false;
    int32_t numerator = 0, denominator = 0;
    int64_t ticks = 0, sample = 0, loopStart = 0, loopEnd = 0;
    bool looping = false;
    if (mTransport->GetCurrentTempo(&tempo) == AAX_SUCCESS)
      info.mTempo = tempo;
    if (mTransport->IsTransportPlaying(&playing) == AAX_SUCCESS)
      info.mTransportIsRunning = playing;
    if (mTransport->GetCurrentMeter(&numerator, &denominator) == AAX_SUCCESS)
    {
      info.mNumerator = numerator;
      info.mDenominator = denominator;
    }
    if (mTransport->GetCurrentTickPosition(&ticks) == AAX_SUCCESS)
      info.mPPQPos = std::max(TicksToQuarterNotes(ticks), 0.0);
    if (mTransport->GetCurrentNativeSampleLocation(&sample) == AAX_SUCCESS)
      info.mSamplePos = static_cast<double>(sample);
    if (mTransport->GetCurrentLoopPosition(&looping, &loopStart, &loopEnd) == AAX_SUCCESS)
    {
      info.mTransportLoopEnabled = looping;
      info.mCycleStart = TicksToQuarterNotes(loopStart);
      info.mCycleEnd = TicksToQuarterNotes(loopEnd);
    }
  }
  mTimeInfo = info;
}

void IPlugAAX::PostMidiOutput(const AAX_SIPlugRenderContext& context, int nFrames)
{
  AAX_IMIDINode* node = DoesMidiOut() ? context.mOutputNode : nullptr;
  if (!node)
  {
    // nobody takes them: keep the queue from growing block after block
    mMidiOutQueue.Flush(static_cast<int>(mMidiOutQueue.end() - mMidiOutQueue.begin()), nFrames);
    return;
  }
  int posted = 0;
  for (const IMidiMessage& msg : mMidiOutQueue)
  {
    AAX_CMidiPacket packet;
    packet.mTimestamp = static_cast<uint32_t>(msg.mOffset);
    packet.mLength = kMidiMessageLength;
    packet.mData[0] = msg.mStatus;
    packet.mData[1] = msg.mData1;
    packet.mData[2] = msg.mData2;
    packet.mIsImmediate = 1;
    node->PostMIDIPacket(&packet);
    ++posted;
  }
  mMidiOutQueue.Flush(posted, nFrames);

  ISysexRecord record;
  while (PopSysexFromEditor(record))
    PostSysex(*node, record);
}

void IPlugAAX::RenderBlock(AAX_SIPlugRenderContext* context, ParamValuePair* const* /*pairs*/, int32_t /*count*/)
{
  if (!context)
    return;
  const bool bypass = mBypassParam && mBypassParam->GetValue();

  const int nIn = ChannelCount(Controller(), &AAX_VController::GetInputStemFormat);
  const int nOut = ChannelCount(Controller(), &AAX_VController::GetOutputStemFormat);

  ReadMidiInput(*context);
  mTransport = context->mTransportNode ? context->mTransportNode->GetTransport() : nullptr;

  const int nFrames = context->mBufferLength ? std::max(*context->mBufferLength, 0) : 0;
  if (nFrames > GetBlockSize())
  {
    ChangeBlockSize(nFrames);
    ResetProcessing();
  }

  if (GetPlugKind() != eInstrument)
    ConnectInputs(*context, nIn, nFrames);
  ConnectOutputs(*context, nOut, nFrames);

  if (bypass)
  {
    RunBypassed(nFrames);
  }
  else
  {
    ReadTransport();
    IMidiMessage msg;
    while (PopMidiFromEditor(msg))
      HandleMidiMessage(msg);
    RunBlock(nFrames);
  }

  PostMidiOutput(*context, nFrames);
  mTransport = nullptr;
}

// ---------------------------------------------------------------- plug-in -> host

void IPlugAAX::BeginHostParamGesture(int paramIdx)
{
  if (const char* id = ParamID(paramIdx))
    TouchParameter(id);
}

void IPlugAAX::EndHostParamGesture(int paramIdx)
{
  if (const char* id = ParamID(paramIdx))
    ReleaseParameter(id);
}

void IPlugAAX::NotifyHostOfParamChange(int paramIdx, double normalized)
{
  if (const char* id = ParamID(paramIdx))
    SetParameterNormalizedValue(id, normalized);
}

bool IPlugAAX::EmitMidiMessage(const IMidiMessage& msg)
{
  return mMidiOutQueue.Add(msg);
}

void IPlugAAX::ApplyLatency(int samples)
{
  if (AAX_VController* controller = Controller())
    controller->SetSignalLatency(samples);
  IPlugProcessor::ApplyLatency(samples);
}

void IPlugAAX::GetTrackName(std::string& name)
{
  name = mTrackName;
}

bool IPlugAAX::ResizeEditorWindow(int width, int height)
{
  if (!HasEditor())
    return true;
  igraphics::IGraphics* view = GetEditorView();
  const bool changed = width != GetEditorWidth() || height != GetEditorHeight();
  if (view && changed)
    if (auto* hostView = dynamic_cast<IPlugAAXHostView*>(view->GetViewContainer()))
      hostView->SetViewSize(width, height);
  SetEditorSize(width, height);
  return true;
}

// ---------------------------------------------------------------- editor adapter

AAX_CEffectGUI_IPLUG::AAX_CEffectGUI_IPLUG() = default;

AAX_CEffectGUI_IPLUG::~AAX_CEffectGUI_IPLUG()
{
  // the base destructor cannot reach DeleteViewContainer any more
  Uninitialize();
}

void AAX_CEffectGUI_IPLUG::CreateViewContents()
{
  mPlug = dynamic_cast<IPlugAAX*>(GetEffectParameters());
}

void AAX_CEffectGUI_IPLUG::CreateViewContainer()
{
  AAX_VViewContainer* container = GetViewContainer();
  void* parent = container ? container->GetNativeParentWindow() : nullptr;
  if (!parent || !mPlug || !mPlug->HasEditor())
    return;
  mPlug->OpenEditor(parent);
  if (igraphics::IGraphics* view = mPlug->GetEditorView())
  {
    mHostView = std::make_unique<IPlugAAXHostView>(*container);
    view->SetViewContainer(mHostView.get());
  }
}

void AAX_CEffectGUI_IPLUG::DeleteViewContainer()
{
  if (!mPlug)
    return;
  if (igraphics::IGraphics* view = mPlug->GetEditorView())
    view->SetViewContainer(nullptr);
  mPlug->CloseEditor();
  mHostView.reset();
}

AAX_Result AAX_CEffectGUI_IPLUG::GetViewSize(AAX_Point* size) const
{
  if (size && mPlug && mPlug->HasEditor())
  {
    size->mVert = static_cast<float>(mPlug->GetEditorHeight());
    size->mHorz = static_cast<float>(mPlug->GetEditorWidth());
  }
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_IPLUG::ParameterUpdated(AAX_CParamID /*id*/)
{
  return AAX_SUCCESS;
}

AAX_Result AAX_CEffectGUI_IPLUG::SetControlHighlightInfo(AAX_CParamID id, AAX_CBoolean highlighted,
                                                         AAX_EHighlightColor color)
{
  igraphics::IGraphics* view = mPlug ? mPlug->GetEditorView() : nullptr;
  if (!view)
    return AAX_ERROR_INVALID_PARAMETER_ID;
  view->SetHostHighlight(ParamIndexFromID(id), highlighted != 0, color);
  return AAX_SUCCESS;
}

} // namespace iplug
