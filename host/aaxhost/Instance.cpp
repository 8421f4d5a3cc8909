#include "Instance.h"

#include <cstring>

#include "AAX_CString.h"
#include "AAX_Errors.h"
#include "ParameterThread.h"
#include "UiLoop.h"
#include "ViewContainer.h"

namespace aaxhost {

namespace {

std::string ResultText(AAX_Result result)
{
  return std::string(AAX_ResultName(result)) + " (" + std::to_string(result) + ")";
}

// queries an ACF object for an interface; null when it does not answer
template <typename Interface>
Interface* Query(IACFUnknown* unknown)
{
  void* found = nullptr;
  if (!unknown || unknown->QueryInterface(Interface::kInterfaceID, &found) != ACF_OK)
    return nullptr;
  return static_cast<Interface*>(found);
}

// one reference less on an object created for us, after taking the interface we use
template <typename Interface>
Interface* TakeInterface(IACFUnknown* created)
{
  Interface* found = Query<Interface>(created);
  if (created)
    created->Release();
  return found;
}

std::size_t Words(int32_t bytes)
{
  return bytes > 0 ? (static_cast<std::size_t>(bytes) + sizeof(uint64_t) - 1) / sizeof(uint64_t) : 1;
}

} // namespace

std::unique_ptr<Instance> Instance::Create(std::shared_ptr<Module> module, ParameterThread& parameterThread,
                                           const InstanceOptions& options, std::string& error)
{
  if (!module)
  {
    error = "no module";
    return nullptr;
  }
  std::unique_ptr<Instance> instance(new Instance(std::move(module), parameterThread));
  if (!instance->Build(options, error))
    return nullptr;
  return instance;
}

bool Instance::Build(const InstanceOptions& options, std::string& error)
{
  const ModuleDescription& description = mModule->Description();
  if (options.mEffect >= description.mEffects.size())
  {
    error = "the module has no effect " + std::to_string(options.mEffect);
    return false;
  }
  mEffectDescription = &description.mEffects[options.mEffect];
  if (options.mComponent >= mEffectDescription->mComponents.size())
  {
    error = "the effect has no component " + std::to_string(options.mComponent);
    return false;
  }
  mComponent = &mEffectDescription->mComponents[options.mComponent];
  if (mComponent->mProcedures.empty())
  {
    error = "the component has no process procedure";
    return false;
  }
  mProcess = mComponent->mProcedures.front().mProc;
  mSampleRate = options.mSampleRate;
  mInputPointers.assign(static_cast<std::size_t>(AAX_StemFormatChannelCount(mComponent->InputStemFormat())), nullptr);
  mOutputPointers.assign(static_cast<std::size_t>(AAX_StemFormatChannelCount(mComponent->OutputStemFormat())),
                         nullptr);
  mController = HostRef<Controller>(new Controller(*mComponent, mSampleRate, mParameterThread));
  return CreateEffect(error) && BuildContext(error);
}

bool Instance::CreateEffect(std::string& error)
{
  if (!mEffectDescription->mCreateEffect)
  {
    error = "the effect has no creation procedure";
    return false;
  }
  mEffect = TakeInterface<AAX_IEffectParameters>(mEffectDescription->mCreateEffect());
  if (!mEffect)
  {
    error = "the effect creation procedure gave no effect object";
    return false;
  }
  mController->AttachEffect(mEffect);
  const AAX_Result initialized = mEffect->Initialize(static_cast<AAX_IController*>(mController.Get()));
  mInitialized = true;
  if (initialized != AAX_SUCCESS)
  {
    error = "the effect's initialisation failed with " + ResultText(initialized);
    return false;
  }
  return true;
}

void Instance::SetField(AAX_CFieldIndex index, void* content)
{
  // every field is one pointer at its index: written into the record's bytes
  std::memcpy(reinterpret_cast<unsigned char*>(&mContext) + static_cast<std::size_t>(index) * sizeof(void*), &content,
              sizeof(void*));
}

bool Instance::BuildContext(std::string& error)
{
  for (const FieldDeclaration& field : mComponent->mFields)
  {
    if (!IsInsideRenderContext(field.mIndex))
    {
      error = "context field " + std::to_string(field.mIndex) + " lies outside the render context";
      return false;
    }
    switch (field.mKind)
    {
    case EFieldKind::eAudioIn: SetField(field.mIndex, mInputPointers.data()); break;
    case EFieldKind::eAudioOut: SetField(field.mIndex, mOutputPointers.data()); break;
    case EFieldKind::eBufferLength: SetField(field.mIndex, &mBufferLength); break;
    case EFieldKind::eClock: SetField(field.mIndex, &mClock); break;
    case EFieldKind::eSideChainIn: SetField(field.mIndex, &mSideChainChannel); break;
    case EFieldKind::eMidiNode:
      mNodes.push_back(std::make_unique<MidiNode>(field, &GetTransport()));
      SetField(field.mIndex, static_cast<AAX_IMIDINode*>(mNodes.back().get()));
      break;
    case EFieldKind::ePrivateData:
    {
      mPrivateBlocks.push_back(std::make_unique<uint64_t[]>(Words(field.mSize)));
      void* block = mPrivateBlocks.back().get();
      mEffect->ResetContextField(field.mIndex, block, static_cast<uint32_t>(field.mSize));
      SetField(field.mIndex, block);
      break;
    }
    case EFieldKind::eMeters:
      if (!mMeters.empty())
      {
        error = "the component declares more than one meters field";
        return false;
      }
      mMeters.assign(field.mMeterIDs.size(), 0.0f);
      SetField(field.mIndex, mMeters.data());
      break;
    case EFieldKind::eDataInPort:
    {
      DataInPort* port = mController->Port(field.mIndex);
      mEffect->ResetContextField(field.mIndex, port->Initial(), port->PacketSize());
      SetField(field.mIndex, port->Initial());
      break;
    }
    }
  }
  return true;
}

Instance::~Instance()
{
  CloseEditor();
  if (mController)
    mController->AttachEffect(nullptr);
  mParameterThread.Flush();
  if (mEffect)
  {
    if (mInitialized)
      mEffect->Uninitialize();
    mEffect->Release();
  }
  mParameterThread.Flush();
}

// ---- parameters

std::vector<ParameterInfo> Instance::ListParameters() const
{
  std::string bypass;
  const bool hasBypass = MasterBypassID(bypass);
  int32_t count = 0;
  mEffect->GetNumberOfParameters(&count);
  std::vector<ParameterInfo> parameters;
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CString id;
    if (mEffect->GetParameterIDFromIndex(index, &id) != AAX_SUCCESS)
      continue;
    ParameterInfo info;
    info.mID = id.StdString();
    AAX_CString name;
    mEffect->GetParameterName(id.Get(), &name);
    info.mName = name.StdString();
    mEffect->GetParameterNumberOfSteps(id.Get(), &info.mSteps);
    mEffect->GetParameterType(id.Get(), &info.mType);
    AAX_CBoolean automatable = 0;
    mEffect->GetParameterIsAutomatable(id.Get(), &automatable);
    info.mAutomatable = automatable != 0;
    mEffect->GetParameterDefaultNormalizedValue(id.Get(), &info.mDefault);
    info.mDefaultText = TextFromNormalized(info.mID, info.mDefault);
    info.mTextAt0 = TextFromNormalized(info.mID, 0.0);
    info.mTextAt1 = TextFromNormalized(info.mID, 1.0);
    info.mIsMasterBypass = hasBypass && info.mID == bypass;
    parameters.push_back(std::move(info));
  }
  return parameters;
}

bool Instance::FindParameterByName(const std::string& name, std::string& id) const
{
  int32_t count = 0;
  mEffect->GetNumberOfParameters(&count);
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CString candidate;
    AAX_CString candidateName;
    if (mEffect->GetParameterIDFromIndex(index, &candidate) != AAX_SUCCESS)
      continue;
    mEffect->GetParameterName(candidate.Get(), &candidateName);
    if (candidateName.StdString() == name)
    {
      id = candidate.StdString();
      return true;
    }
  }
  return false;
}

bool Instance::MasterBypassID(std::string& id) const
{
  AAX_CString bypass;
  if (mEffect->GetMasterBypassParameter(&bypass) != AAX_SUCCESS)
    return false;
  int32_t index = -1;
  if (mEffect->GetParameterIndex(bypass.Get(), &index) != AAX_SUCCESS || index < 0)
    return false;
  id = bypass.StdString();
  return true;
}

bool Instance::NormalizedFromText(const std::string& id, const std::string& text, double& value) const
{
  double parsed = 0.0;
  if (mEffect->GetParameterValueFromString(id.c_str(), &parsed, AAX_CString(text)) != AAX_SUCCESS)
    return false;
  value = parsed;
  return true;
}

std::string Instance::TextFromNormalized(const std::string& id, double value) const
{
  AAX_CString text;
  if (mEffect->GetParameterStringFromValue(id.c_str(), value, &text, kTextLimit) != AAX_SUCCESS)
    return {};
  return text.StdString();
}

double Instance::NormalizedValue(const std::string& id) const
{
  double value = 0.0;
  mEffect->GetParameterNormalizedValue(id.c_str(), &value);
  return value;
}

// ---- host updates

void Instance::SendHostUpdate(const std::string& id, double normalizedValue)
{
  Automation().SendHostUpdate(id, normalizedValue);
}

void Instance::WaitForParameterThread()
{
  mParameterThread.Flush();
}

// ---- rendering

bool Instance::Render(float* const* inputs, float* const* outputs, int32_t frames)
{
  if (frames < 1)
    return false;
  for (const auto& port : mController->Ports())
    SetField(port->Field(), port->TakeCurrent());
  for (std::size_t c = 0; c < mInputPointers.size(); ++c)
    mInputPointers[c] = inputs[c];
  for (std::size_t c = 0; c < mOutputPointers.size(); ++c)
    mOutputPointers[c] = outputs[c];
  for (const auto& node : mNodes)
    node->ClearPosted();
  mBufferLength = frames;

  void* const contexts[] = {&mContext};
  mProcess(contexts, contexts + 1);

  ++mRenderCalls;
  mClock += frames;
  GetTransport().Advance(frames, mSampleRate);
  for (const auto& node : mNodes)
    node->ClearInput();
  return true;
}

MidiNode* Instance::Node(AAX_CFieldIndex field) const
{
  for (const auto& node : mNodes)
    if (node->Declaration().mIndex == field)
      return node.get();
  return nullptr;
}

// ---- chunks

bool Instance::SaveChunks(std::vector<HostChunk>& chunks, std::string& error)
{
  int32_t count = 0;
  if (const AAX_Result result = mEffect->GetNumberOfChunks(&count); result != AAX_SUCCESS)
  {
    error = "the effect cannot count its chunks: " + ResultText(result);
    return false;
  }
  std::vector<HostChunk> saved;
  for (int32_t index = 0; index < count; ++index)
  {
    AAX_CTypeID id = 0;
    uint32_t size = 0;
    AAX_Result result = mEffect->GetChunkIDFromIndex(index, &id);
    if (result == AAX_SUCCESS)
      result = mEffect->GetChunkSize(id, &size);
    ChunkRecord record(id, size);
    if (result == AAX_SUCCESS)
      result = mEffect->GetChunk(id, record.Get());
    HostChunk& chunk = saved.emplace_back();
    if (result != AAX_SUCCESS)
    {
      error = "chunk " + std::to_string(index) + " ('" + FourCCText(id) + "'): " + ResultText(result);
      return false;
    }
    if (!record.Read(chunk))
    {
      error = "chunk '" + FourCCText(id) + "' claims more data than its reported size";
      return false;
    }
    chunk.mID = id;
  }
  chunks = std::move(saved);
  return true;
}

bool Instance::RestoreChunks(const std::vector<HostChunk>& chunks, std::string& error)
{
  for (const HostChunk& chunk : chunks)
  {
    ChunkRecord record(chunk);
    if (const AAX_Result result = mEffect->SetChunk(chunk.mID, record.Get()); result != AAX_SUCCESS)
    {
      error = "the effect refused chunk '" + FourCCText(chunk.mID) + "': " + ResultText(result);
      return false;
    }
  }
  WaitForParameterThread();
  return true;
}

bool Instance::CompareChunk(const HostChunk& chunk, bool& equal, std::string& error)
{
  ChunkRecord record(chunk);
  AAX_CBoolean same = 0;
  if (const AAX_Result result = mEffect->CompareActiveChunk(record.Get(), &same); result != AAX_SUCCESS)
  {
    error = "the effect cannot compare chunk '" + FourCCText(chunk.mID) + "': " + ResultText(result);
    return false;
  }
  equal = same != 0;
  return true;
}

// ---- editor

bool Instance::OpenEditor(std::string& error)
{
  if (mEditor)
    return true;
  if (!mEffectDescription->mCreateEditor)
  {
    error = "the effect has no editor procedure";
    return false;
  }
  mEditor = TakeInterface<AAX_IEffectGUI>(mEffectDescription->mCreateEditor());
  if (!mEditor)
  {
    error = "the editor procedure gave no editor object";
    return false;
  }
  if (const AAX_Result result = mEditor->Initialize(static_cast<AAX_IController*>(mController.Get()));
      result != AAX_SUCCESS)
  {
    error = "the editor's initialisation failed with " + ResultText(result);
    CloseEditor();
    return false;
  }
  mViewContainer = HostRef<ViewContainer>(new ViewContainer);
  mEditor->SetViewContainer(static_cast<AAX_IViewContainer*>(mViewContainer.Get()));
  return true;
}

void Instance::CloseEditor()
{
  if (!mEditor)
    return;
  if (mViewContainer)
    mEditor->SetViewContainer(nullptr);
  mEditor->Uninitialize();
  mEditor->Release();
  mEditor = nullptr;
  mViewContainer.Reset();
}

void Instance::IdleTick()
{
  DispatchUiMessages();
  mEffect->OnHostTimer();
  if (mEditor)
    mEditor->TimerWakeup();
}

AAX_Result Instance::Notify(AAX_CTypeID type, const void* data, uint32_t size)
{
  return mEffect->NotificationReceived(type, data, size);
}

} // namespace aaxhost
