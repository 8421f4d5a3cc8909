#include "RecordingDescription.h"

#include "AAX_Errors.h"

namespace aaxhost {

namespace {

// the fault's result when it names this call, else 0
AAX_Result Injected(const std::shared_ptr<const DescriptionFault>& fault, const char* call)
{
  return fault && !fault->mCall.empty() && fault->mCall == call ? fault->mResult : AAX_Result{AAX_SUCCESS};
}

std::string Text(const char* text)
{
  return text ? text : "";
}

} // namespace

// ---- property map

AAX_Result RecordingPropertyMap::AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value)
{
  if (const AAX_Result fault = Injected(mFault, "AddProperty"))
    return fault;
  mProperties.push_back({id, value});
  return AAX_SUCCESS;
}

// ---- component

AAX_Result RecordingComponent::Declare(const char* call, FieldDeclaration field)
{
  if (const AAX_Result fault = Injected(mFault, call))
    return fault;
  mRecord.mFields.push_back(std::move(field));
  return AAX_SUCCESS;
}

AAX_Result RecordingComponent::AddAudioIn(AAX_CFieldIndex field)
{
  return Declare("AddAudioIn", {.mIndex = field, .mKind = EFieldKind::eAudioIn});
}

AAX_Result RecordingComponent::AddAudioOut(AAX_CFieldIndex field)
{
  return Declare("AddAudioOut", {.mIndex = field, .mKind = EFieldKind::eAudioOut});
}

AAX_Result RecordingComponent::AddAudioBufferLength(AAX_CFieldIndex field)
{
  return Declare("AddAudioBufferLength", {.mIndex = field, .mKind = EFieldKind::eBufferLength});
}

AAX_Result RecordingComponent::AddClock(AAX_CFieldIndex field)
{
  return Declare("AddClock", {.mIndex = field, .mKind = EFieldKind::eClock});
}

AAX_Result RecordingComponent::AddSideChainIn(AAX_CFieldIndex field)
{
  return Declare("AddSideChainIn", {.mIndex = field, .mKind = EFieldKind::eSideChainIn});
}

AAX_Result RecordingComponent::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind kind, const char* name,
                                           uint32_t mask)
{
  return Declare("AddMIDINode", {.mIndex = field,
                                 .mKind = EFieldKind::eMidiNode,
                                 .mNodeKind = kind,
                                 .mName = Text(name),
                                 .mMask = mask});
}

AAX_Result RecordingComponent::AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options)
{
  if (size < 0)
    return AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW;
  return Declare("AddPrivateData",
                 {.mIndex = field, .mKind = EFieldKind::ePrivateData, .mSize = size, .mOptions = options});
}

AAX_Result RecordingComponent::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t count)
{
  if (count > 0 && !meterIDs)
    return AAX_ERROR_NULL_OBJECT;
  FieldDeclaration meters{.mIndex = field, .mKind = EFieldKind::eMeters};
  meters.mMeterIDs.assign(meterIDs, meterIDs + count);
  return Declare("AddMeters", std::move(meters));
}

AAX_Result RecordingComponent::AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name)
{
  if (const AAX_Result fault = Injected(mFault, "AddAuxOutputStem"))
    return fault;
  mRecord.mAuxOutputStems.push_back({field, stemFormat, Text(name)});
  return AAX_SUCCESS;
}

AAX_Result RecordingComponent::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortKind kind)
{
  return Declare("AddDataInPort",
                 {.mIndex = field, .mKind = EFieldKind::eDataInPort, .mPacketSize = packetSize, .mPortKind = kind});
}

AAX_Result RecordingComponent::NewPropertyMap(IACFUnknown** properties)
{
  if (!properties)
    return AAX_ERROR_NULL_OBJECT;
  *properties = nullptr;
  if (const AAX_Result fault = Injected(mFault, "NewPropertyMap"))
    return fault;
  // the module holds the only reference until it gives the map with a procedure
  *properties = static_cast<AAX_IPropertyMap*>(new RecordingPropertyMap(mFault));
  return AAX_SUCCESS;
}

AAX_Result RecordingComponent::AddProcessProc(AAX_CProcessProc proc, IACFUnknown* properties)
{
  if (const AAX_Result fault = Injected(mFault, "AddProcessProc"))
    return fault;
  if (!proc)
    return AAX_ERROR_NULL_OBJECT;
  RecordingPropertyMap* map = FindHostObject<RecordingPropertyMap>(properties);
  if (properties && !map)
    return AAX_ERROR_NULL_OBJECT;
  if (map)
    map->AddRef();
  mProcedures.push_back({proc, HostRef<RecordingPropertyMap>(map)});
  return AAX_SUCCESS;
}

ComponentDescription RecordingComponent::Finish() const
{
  ComponentDescription finished = mRecord;
  for (const Procedure& procedure : mProcedures)
  {
    ProcessProcedure& added = finished.mProcedures.emplace_back();
    added.mProc = procedure.mProc;
    if (procedure.mProperties)
      added.mProperties = procedure.mProperties->Properties();
  }
  return finished;
}

// ---- effect descriptor

AAX_Result RecordingEffect::NewComponentDescriptor(IACFUnknown** component)
{
  if (!component)
    return AAX_ERROR_NULL_OBJECT;
  *component = nullptr;
  if (const AAX_Result fault = Injected(mFault, "NewComponentDescriptor"))
    return fault;
  // handed out without keeping: only components added later belong to the effect
  auto* created = new RecordingComponent(mFault);
  *component = static_cast<AAX_IComponentDescriptor*>(created);
  return AAX_SUCCESS;
}

AAX_Result RecordingEffect::AddComponent(IACFUnknown* component)
{
  if (const AAX_Result fault = Injected(mFault, "AddComponent"))
    return fault;
  RecordingComponent* found = FindHostObject<RecordingComponent>(component);
  if (!found)
    return AAX_ERROR_NULL_OBJECT;
  found->AddRef();
  mComponents.emplace_back(found);
  return AAX_SUCCESS;
}

AAX_Result RecordingEffect::AddName(const char* name)
{
  if (const AAX_Result fault = Injected(mFault, "AddName"))
    return fault;
  mRecord.mNames.push_back(Text(name));
  return AAX_SUCCESS;
}

AAX_Result RecordingEffect::AddCategory(uint32_t category)
{
  if (const AAX_Result fault = Injected(mFault, "AddCategory"))
    return fault;
  mRecord.mCategories.push_back(category);
  return AAX_SUCCESS;
}

AAX_Result RecordingEffect::AddProcPtr(AAX_CreateObjectProc proc, AAX_EProcPtrID id)
{
  if (const AAX_Result fault = Injected(mFault, "AddProcPtr"))
    return fault;
  if (!proc)
    return AAX_ERROR_NULL_OBJECT;
  switch (id)
  {
  case AAX_eProcPtrID_CreateEffectParameters: mRecord.mCreateEffect = proc; return AAX_SUCCESS;
  case AAX_eProcPtrID_CreateEffectGUI: mRecord.mCreateEditor = proc; return AAX_SUCCESS;
  }
  return AAX_ERROR_UNIMPLEMENTED;
}

EffectDescription RecordingEffect::Finish(const std::string& effectID) const
{
  EffectDescription finished = mRecord;
  finished.mEffectID = effectID;
  for (const HostRef<RecordingComponent>& component : mComponents)
    finished.mComponents.push_back(component->Finish());
  return finished;
}

// ---- collection

RecordingCollection::RecordingCollection(DescriptionFault fault)
  : mFault(std::make_shared<const DescriptionFault>(std::move(fault)))
{
}

IACFUnknown* RecordingCollection::FindInterface(const acfIID& iid)
{
  return iid == kAAXPluginDefinitionID ? static_cast<AAX_ICollection*>(this) : nullptr;
}

AAX_Result RecordingCollection::NewDescriptor(IACFUnknown** descriptor)
{
  if (!descriptor)
    return AAX_ERROR_NULL_OBJECT;
  *descriptor = nullptr;
  if (const AAX_Result fault = Injected(mFault, "NewDescriptor"))
    return fault;
  *descriptor = static_cast<AAX_IEffectDescriptor*>(new RecordingEffect(mFault));
  return AAX_SUCCESS;
}

AAX_Result RecordingCollection::AddEffect(const char* effectID, IACFUnknown* descriptor)
{
  if (const AAX_Result fault = Injected(mFault, "AddEffect"))
    return fault;
  RecordingEffect* found = FindHostObject<RecordingEffect>(descriptor);
  if (!effectID || !found)
    return AAX_ERROR_NULL_OBJECT;
  found->AddRef();
  mEffects.push_back({effectID, HostRef<RecordingEffect>(found)});
  return AAX_SUCCESS;
}

AAX_Result RecordingCollection::AddPackageName(const char* name)
{
  if (const AAX_Result fault = Injected(mFault, "AddPackageName"))
    return fault;
  mRecord.mPackageNames.push_back(Text(name));
  return AAX_SUCCESS;
}

AAX_Result RecordingCollection::SetManufacturerName(const char* name)
{
  if (const AAX_Result fault = Injected(mFault, "SetManufacturerName"))
    return fault;
  mRecord.mManufacturer = Text(name);
  return AAX_SUCCESS;
}

AAX_Result RecordingCollection::SetPackageVersion(uint32_t version)
{
  if (const AAX_Result fault = Injected(mFault, "SetPackageVersion"))
    return fault;
  mRecord.mPackageVersion = version;
  return AAX_SUCCESS;
}

ModuleDescription RecordingCollection::Finish() const
{
  ModuleDescription finished = mRecord;
  for (const AddedEffect& effect : mEffects)
    finished.mEffects.push_back(effect.mDescriptor->Finish(effect.mID));
  return finished;
}

} // namespace aaxhost
