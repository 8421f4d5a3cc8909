#pragma once
// Forwarding wrappers of the description objects. Each wrapper owns the wrappers of the objects it creates,
// so one AAX_VCollection holds the whole description until registration ends. [host main thread] throughout.
#include <memory>
#include <vector>

#include "AAX_IDescription.h"
#include "AAX_VInterface.h"

class AAX_VPropertyMap : public AAX_VInterface<AAX_IPropertyMap>
{
public:
  using AAX_VInterface::AAX_VInterface;

  AAX_Result AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value) const;
};

class AAX_VComponentDescriptor : public AAX_VInterface<AAX_IComponentDescriptor>
{
public:
  using AAX_VInterface::AAX_VInterface;

  AAX_Result AddAudioIn(AAX_CFieldIndex field) const;
  AAX_Result AddAudioOut(AAX_CFieldIndex field) const;
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) const;
  AAX_Result AddClock(AAX_CFieldIndex field) const;
  AAX_Result AddSideChainIn(AAX_CFieldIndex field) const;
  AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind kind, const char* name, uint32_t mask) const;
  AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options) const;
  AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t count) const;
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) const;
  AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortKind kind) const;
  // null when the host gives none
  AAX_VPropertyMap* NewPropertyMap();
  AAX_Result AddProcessProc(AAX_CProcessProc proc, const AAX_VPropertyMap* properties) const;

private:
  std::vector<std::unique_ptr<AAX_VPropertyMap>> mPropertyMaps;
};

class AAX_VEffectDescriptor : public AAX_VInterface<AAX_IEffectDescriptor>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // null when the host gives none
  AAX_VComponentDescriptor* NewComponentDescriptor();
  AAX_Result AddComponent(const AAX_VComponentDescriptor* component) const;
  AAX_Result AddName(const char* name) const;
  AAX_Result AddCategory(uint32_t category) const;
  AAX_Result AddProcPtr(AAX_CreateObjectProc proc, AAX_EProcPtrID id) const;

private:
  std::vector<std::unique_ptr<AAX_VComponentDescriptor>> mComponents;
};

class AAX_VCollection : public AAX_VInterface<AAX_ICollection>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // null when the host gives none
  AAX_VEffectDescriptor* NewDescriptor();
  AAX_Result AddEffect(const char* effectID, const AAX_VEffectDescriptor* descriptor) const;
  AAX_Result AddPackageName(const char* name) const;
  AAX_Result SetManufacturerName(const char* name) const;
  AAX_Result SetPackageVersion(uint32_t version) const;

private:
  std::vector<std::unique_ptr<AAX_VEffectDescriptor>> mDescriptors;
};
