#pragma once
// What a module told the host while it registered, as plain records: the effects with their names and
// procedures, each component's context fields, auxiliary stems and process procedures with their properties,
// all in the order the module gave them.
#include <cstdint>
#include <string>
#include <vector>

#include "AAX.h"
#include "AAX_IDescription.h"
#include "AAX_StemFormat.h"

namespace aaxhost {

struct Property
{
  AAX_CPropertyID mID = 0;
  AAX_CPropertyValue mValue = 0;
};

enum class EFieldKind
{
  eAudioIn,
  eAudioOut,
  eBufferLength,
  eClock,
  eSideChainIn,
  eMidiNode,
  ePrivateData,
  eMeters,
  eDataInPort
};

struct FieldDeclaration
{
  AAX_CFieldIndex mIndex = 0;
  EFieldKind mKind = EFieldKind::ePrivateData;
  AAX_EMIDINodeKind mNodeKind = AAX_eMIDINodeKind_Input; // MIDI nodes
  std::string mName{};                                   // MIDI nodes
  uint32_t mMask = 0;                                    // MIDI nodes
  int32_t mSize = 0;                                     // private data
  int32_t mOptions = 0;                                  // private data
  std::vector<AAX_CTypeID> mMeterIDs{};                  // meters
  uint32_t mPacketSize = 0;                              // data-in ports
  AAX_EDataInPortKind mPortKind = AAX_eDataInPortKind_Unbuffered; // data-in ports
};

struct AuxOutputStem
{
  AAX_CFieldIndex mField = 0;
  int32_t mStemFormat = 0;
  std::string mName;
};

struct ProcessProcedure
{
  AAX_CProcessProc mProc = nullptr;
  std::vector<Property> mProperties; // the map given with the procedure, in order
};

struct ComponentDescription
{
  std::vector<FieldDeclaration> mFields; // in declaration order
  std::vector<AuxOutputStem> mAuxOutputStems;
  std::vector<ProcessProcedure> mProcedures;

  // the first declaration of the field, or null
  const FieldDeclaration* Field(AAX_CFieldIndex index) const;
  // from the properties of the first process procedure; false when absent
  bool FindProperty(AAX_CPropertyID id, AAX_CPropertyValue& value) const;
  // AAX_eStemFormat_None when the property is absent
  AAX_EStemFormat InputStemFormat() const;
  AAX_EStemFormat OutputStemFormat() const;
};

struct EffectDescription
{
  std::string mEffectID; // the bundle identifier it was added under
  std::vector<std::string> mNames;
  std::vector<uint32_t> mCategories;
  std::vector<ComponentDescription> mComponents;
  AAX_CreateObjectProc mCreateEffect = nullptr;
  AAX_CreateObjectProc mCreateEditor = nullptr;
};

struct ModuleDescription
{
  std::vector<std::string> mPackageNames;
  std::string mManufacturer;
  uint32_t mPackageVersion = 0;
  std::vector<EffectDescription> mEffects; // in the order they were added
};

// ---- the render-context layout the host fills, field by field

// what the layout keeps at the index ("audio inputs", "transport node", ...); "outside the render context"
// past its end
const char* FieldRoleName(AAX_CFieldIndex index);
// true when the index lies inside the render-context record
bool IsInsideRenderContext(AAX_CFieldIndex index);
// a private-data block declared where the layout keeps something else: the field is reserved, not used
bool IsPlaceholder(const FieldDeclaration& field);
const char* FieldKindName(EFieldKind kind);

// ---- texts for property identifiers and codes

// the property's name, or null for identifiers the host has no name for
const char* PropertyName(AAX_CPropertyID id);
// true for the properties whose values are four-character codes
bool IsFourCCProperty(AAX_CPropertyID id);
// true for the properties whose values are stem formats
bool IsStemFormatProperty(AAX_CPropertyID id);
// the four characters when they are all printable, else "0x" and eight hex digits
std::string FourCCText(uint32_t code);
std::string HexText(uint32_t value);

} // namespace aaxhost
