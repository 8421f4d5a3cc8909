#include "AAX_VDescription.h"

namespace {

// Wraps a new host object handed out with one reference for us; the wrapper takes its own.
template <typename Wrapper, typename Interface, typename Method>
Wrapper* WrapNew(Interface* host, Method method, std::vector<std::unique_ptr<Wrapper>>& owned)
{
  if (!host)
    return nullptr;
  IACFUnknown* created = nullptr;
  const AAX_Result result = (host->*method)(&created);
  if (!created)
    return nullptr;
  if (result != AAX_SUCCESS)
  {
    created->Release();
    return nullptr;
  }
  auto wrapper = std::make_unique<Wrapper>(created);
  created->Release();
  if (!wrapper->IsValid())
    return nullptr;
  owned.push_back(std::move(wrapper));
  return owned.back().get();
}

IACFUnknown* UnknownOf(const auto* wrapper)
{
  return wrapper ? wrapper->GetUnknown() : nullptr;
}

} // namespace

AAX_Result AAX_VPropertyMap::AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value) const
{
  return Forward(&AAX_IPropertyMap::AddProperty, id, value);
}

AAX_Result AAX_VComponentDescriptor::AddAudioIn(AAX_CFieldIndex field) const
{
  return Forward(&AAX_IComponentDescriptor::AddAudioIn, field);
}

AAX_Result AAX_VComponentDescriptor::AddAudioOut(AAX_CFieldIndex field) const
{
  return Forward(&AAX_IComponentDescriptor::AddAudioOut, field);
}

AAX_Result AAX_VComponentDescriptor::AddAudioBufferLength(AAX_CFieldIndex field) const
{
  return Forward(&AAX_IComponentDescriptor::AddAudioBufferLength, field);
}

AAX_Result AAX_VComponentDescriptor::AddClock(AAX_CFieldIndex field) const
{
  return Forward(&AAX_IComponentDescriptor::AddClock, field);
}

AAX_Result AAX_VComponentDescriptor::AddSideChainIn(AAX_CFieldIndex field) const
{
  return Forward(&AAX_IComponentDescriptor::AddSideChainIn, field);
}

AAX_Result AAX_VComponentDescriptor::AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind kind, const char* name,
                                                 uint32_t mask) const
{
  return Forward(&AAX_IComponentDescriptor::AddMIDINode, field, kind, name, mask);
}

AAX_Result AAX_VComponentDescriptor::AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options) const
{
  return Forward(&AAX_IComponentDescriptor::AddPrivateData, field, size, options);
}

AAX_Result AAX_VComponentDescriptor::AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs,
                                               uint32_t count) const
{
  return Forward(&AAX_IComponentDescriptor::AddMeters, field, meterIDs, count);
}

AAX_Result AAX_VComponentDescriptor::AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat,
                                                      const char* name) const
{
  return Forward(&AAX_IComponentDescriptor::AddAuxOutputStem, field, stemFormat, name);
}

AAX_Result AAX_VComponentDescriptor::AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize,
                                                   AAX_EDataInPortKind kind) const
{
  return Forward(&AAX_IComponentDescriptor::AddDataInPort, field, packetSize, kind);
}

AAX_VPropertyMap* AAX_VComponentDescriptor::NewPropertyMap()
{
  return WrapNew(GetInterface(), &AAX_IComponentDescriptor::NewPropertyMap, mPropertyMaps);
}

AAX_Result AAX_VComponentDescriptor::AddProcessProc(AAX_CProcessProc proc, const AAX_VPropertyMap* properties) const
{
  return Forward(&AAX_IComponentDescriptor::AddProcessProc, proc, UnknownOf(properties));
}

AAX_VComponentDescriptor* AAX_VEffectDescriptor::NewComponentDescriptor()
{
  return WrapNew(GetInterface(), &AAX_IEffectDescriptor::NewComponentDescriptor, mComponents);
}

AAX_Result AAX_VEffectDescriptor::AddComponent(const AAX_VComponentDescriptor* component) const
{
  return Forward(&AAX_IEffectDescriptor::AddComponent, UnknownOf(component));
}

AAX_Result AAX_VEffectDescriptor::AddName(const char* name) const
{
  return Forward(&AAX_IEffectDescriptor::AddName, name);
}

AAX_Result AAX_VEffectDescriptor::AddCategory(uint32_t category) const
{
  return Forward(&AAX_IEffectDescriptor::AddCategory, category);
}

AAX_Result AAX_VEffectDescriptor::AddProcPtr(AAX_CreateObjectProc proc, AAX_EProcPtrID id) const
{
  return Forward(&AAX_IEffectDescriptor::AddProcPtr, proc, id);
}

AAX_VEffectDescriptor* AAX_VCollection::NewDescriptor()
{
  return WrapNew(GetInterface(), &AAX_ICollection::NewDescriptor, mDescriptors);
}

AAX_Result AAX_VCollection::AddEffect(const char* effectID, const AAX_VEffectDescriptor* descriptor) const
{
  return Forward(&AAX_ICollection::AddEffect, effectID, UnknownOf(descriptor));
}

AAX_Result AAX_VCollection::AddPackageName(const char* name) const
{
  return Forward(&AAX_ICollection::AddPackageName, name);
}

AAX_Result AAX_VCollection::SetManufacturerName(const char* name) const
{
  return Forward(&AAX_ICollection::SetManufacturerName, name);
}

AAX_Result AAX_VCollection::SetPackageVersion(uint32_t version) const
{
  return Forward(&AAX_ICollection::SetPackageVersion, version);
}
