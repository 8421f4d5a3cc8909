#pragma once
// The host objects a module describes itself to while it registers: the collection, effect and component
// descriptors and property maps. They live only during registration. [host main thread] throughout.
#include "AAX.h"
#include "ACFUnknown.h"

// The native process procedure: an array of render contexts, one per instance, as [first, last).
using AAX_CProcessProc = void (*)(void* const* first, void* const* last);

class AAX_IPropertyMap : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x7d0cf804, 0x0ef5, 0x4ce3, {0x80, 0x79, 0xde, 0xba, 0x6a, 0xa5, 0x18, 0xcf}};

  virtual AAX_Result AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value) = 0;

protected:
  ~AAX_IPropertyMap() = default;
};

// Context fields are declared by their index in the render-context record.
class AAX_IComponentDescriptor : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x067d8159, 0x4185, 0x4ee3, {0x94, 0x12, 0x51, 0x2b, 0x0c, 0xf2, 0x23, 0xb8}};

  virtual AAX_Result AddAudioIn(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddAudioOut(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddClock(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddSideChainIn(AAX_CFieldIndex field) = 0;
  virtual AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind kind, const char* name, uint32_t mask) = 0;
  virtual AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options) = 0;
  virtual AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t count) = 0;
  virtual AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) = 0;
  virtual AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortKind kind) = 0;
  // a new property map with one reference for the caller, or null
  virtual AAX_Result NewPropertyMap(IACFUnknown** properties) = 0;
  virtual AAX_Result AddProcessProc(AAX_CProcessProc proc, IACFUnknown* properties) = 0;

protected:
  ~AAX_IComponentDescriptor() = default;
};

class AAX_IEffectDescriptor : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x7db42f97, 0x1dc3, 0x4246, {0xb1, 0x1d, 0x93, 0xa6, 0x82, 0xab, 0xd3, 0x92}};

  // a new component descriptor with one reference for the caller, or null
  virtual AAX_Result NewComponentDescriptor(IACFUnknown** component) = 0;
  virtual AAX_Result AddComponent(IACFUnknown* component) = 0;
  virtual AAX_Result AddName(const char* name) = 0;
  virtual AAX_Result AddCategory(uint32_t category) = 0;
  virtual AAX_Result AddProcPtr(AAX_CreateObjectProc proc, AAX_EProcPtrID id) = 0;

protected:
  ~AAX_IEffectDescriptor() = default;
};

class AAX_ICollection : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xcaacf61b, 0xbe06, 0x4cad, {0xa5, 0xb5, 0xa5, 0x90, 0xf5, 0xdd, 0x7f, 0x10}};

  // a new effect descriptor with one reference for the caller, or null
  virtual AAX_Result NewDescriptor(IACFUnknown** descriptor) = 0;
  virtual AAX_Result AddEffect(const char* effectID, IACFUnknown* descriptor) = 0;
  virtual AAX_Result AddPackageName(const char* name) = 0;
  virtual AAX_Result SetManufacturerName(const char* name) = 0;
  virtual AAX_Result SetPackageVersion(uint32_t version) = 0;

protected:
  ~AAX_ICollection() = default;
};

// The interface a host asks the collection for once the description is complete.
constexpr acfIID kAAXPluginDefinitionID{0x00EEF015, 0x7FD0, 0x11D6, {0x84, 0x85, 0x00, 0x30, 0x65, 0x42, 0xA0, 0x24}};
