#pragma once
// The description objects the host hands to a module's registration: each call is recorded in order, and
// Finish turns the collection into a ModuleDescription. A fault makes one named call fail, to see how a
// module handles a host that refuses something. [host main thread] throughout.
#include <memory>
#include <string>
#include <vector>

#include "Description.h"
#include "HostObject.h"

namespace aaxhost {

// Makes the recorded call `mCall` (the interface method's name, "AddAudioIn", "NewPropertyMap", ...) answer
// `mResult` instead of recording.
struct DescriptionFault
{
  std::string mCall;
  AAX_Result mResult = 0;
};

class RecordingPropertyMap;
class RecordingComponent;
class RecordingEffect;

class RecordingPropertyMap final : public HostObject<AAX_IPropertyMap>
{
public:
  explicit RecordingPropertyMap(std::shared_ptr<const DescriptionFault> fault) : mFault(std::move(fault)) {}
  AAX_Result AddProperty(AAX_CPropertyID id, AAX_CPropertyValue value) override;
  const std::vector<Property>& Properties() const { return mProperties; }

private:
  ~RecordingPropertyMap() override = default;
  std::shared_ptr<const DescriptionFault> mFault;
  std::vector<Property> mProperties;
};

class RecordingComponent final : public HostObject<AAX_IComponentDescriptor>
{
public:
  explicit RecordingComponent(std::shared_ptr<const DescriptionFault> fault) : mFault(std::move(fault)) {}

  AAX_Result AddAudioIn(AAX_CFieldIndex field) override;
  AAX_Result AddAudioOut(AAX_CFieldIndex field) override;
  AAX_Result AddAudioBufferLength(AAX_CFieldIndex field) override;
  AAX_Result AddClock(AAX_CFieldIndex field) override;
  AAX_Result AddSideChainIn(AAX_CFieldIndex field) override;
  AAX_Result AddMIDINode(AAX_CFieldIndex field, AAX_EMIDINodeKind kind, const char* name, uint32_t mask) override;
  AAX_Result AddPrivateData(AAX_CFieldIndex field, int32_t size, int32_t options) override;
  AAX_Result AddMeters(AAX_CFieldIndex field, const AAX_CTypeID* meterIDs, uint32_t count) override;
  AAX_Result AddAuxOutputStem(AAX_CFieldIndex field, int32_t stemFormat, const char* name) override;
  AAX_Result AddDataInPort(AAX_CFieldIndex field, uint32_t packetSize, AAX_EDataInPortKind kind) override;
  AAX_Result NewPropertyMap(IACFUnknown** properties) override;
  AAX_Result AddProcessProc(AAX_CProcessProc proc, IACFUnknown* properties) override;

  ComponentDescription Finish() const;

private:
  ~RecordingComponent() override = default;
  AAX_Result Declare(const char* call, FieldDeclaration field);

  struct Procedure
  {
    AAX_CProcessProc mProc;
    HostRef<RecordingPropertyMap> mProperties;
  };

  std::shared_ptr<const DescriptionFault> mFault;
  ComponentDescription mRecord;
  std::vector<Procedure> mProcedures;
};

class RecordingEffect final : public HostObject<AAX_IEffectDescriptor>
{
public:
  explicit RecordingEffect(std::shared_ptr<const DescriptionFault> fault) : mFault(std::move(fault)) {}

  AAX_Result NewComponentDescriptor(IACFUnknown** component) override;
  AAX_Result AddComponent(IACFUnknown* component) override;
  AAX_Result AddName(const char* name) override;
  AAX_Result AddCategory(uint32_t category) override;
  AAX_Result AddProcPtr(AAX_CreateObjectProc proc, AAX_EProcPtrID id) override;

  // the effect as described so far, under `effectID`
  EffectDescription Finish(const std::string& effectID) const;

private:
  ~RecordingEffect() override = default;

  std::shared_ptr<const DescriptionFault> mFault;
  EffectDescription mRecord;
  std::vector<HostRef<RecordingComponent>> mComponents; // added ones, in order
};

// Also answers the plug-in definition interface the module asks for once its description is complete.
class RecordingCollection final : public HostObject<AAX_ICollection>
{
public:
  explicit RecordingCollection(DescriptionFault fault = {});

  AAX_Result NewDescriptor(IACFUnknown** descriptor) override;
  AAX_Result AddEffect(const char* effectID, IACFUnknown* descriptor) override;
  AAX_Result AddPackageName(const char* name) override;
  AAX_Result SetManufacturerName(const char* name) override;
  AAX_Result SetPackageVersion(uint32_t version) override;

  ModuleDescription Finish() const;

private:
  ~RecordingCollection() override = default;
  IACFUnknown* FindInterface(const acfIID& iid) override;

  struct AddedEffect
  {
    std::string mID;
    HostRef<RecordingEffect> mDescriptor;
  };

  std::shared_ptr<const DescriptionFault> mFault;
  ModuleDescription mRecord;
  std::vector<AddedEffect> mEffects;
};

} // namespace aaxhost
