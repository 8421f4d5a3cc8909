#include "Description.h"

#include <array>
#include <cstdio>

#include "AAX_Records.h"

namespace aaxhost {

namespace {

using Context = AAX_SIPlugRenderContext;

struct FieldRole
{
  const char* mName;
  EFieldKind mKind;
};

// one entry per field of the render-context record, by index
constexpr auto kFieldRoles = [] {
  std::array<FieldRole, Context::eNumFields> roles{};
  roles[Context::eFieldAudioInputs] = {"audio inputs", EFieldKind::eAudioIn};
  roles[Context::eFieldAudioOutputs] = {"audio outputs", EFieldKind::eAudioOut};
  roles[Context::eFieldBufferLength] = {"buffer length", EFieldKind::eBufferLength};
  roles[Context::eFieldClock] = {"clock", EFieldKind::eClock};
  roles[Context::eFieldInputNode] = {"input MIDI node", EFieldKind::eMidiNode};
  roles[Context::eFieldOutputNode] = {"output MIDI node", EFieldKind::eMidiNode};
  roles[Context::eFieldGlobalNode] = {"global MIDI node", EFieldKind::eMidiNode};
  roles[Context::eFieldTransportNode] = {"transport node", EFieldKind::eMidiNode};
  for (int i = 0; i < kMaxAdditionalMIDINodes; ++i)
    roles[Context::eFieldAdditionalInputNodes + i] = {"additional input MIDI node", EFieldKind::eMidiNode};
  roles[Context::eFieldPrivateData] = {"private data", EFieldKind::ePrivateData};
  roles[Context::eFieldMeters] = {"meters", EFieldKind::eMeters};
  roles[Context::eFieldStateNumber] = {"data-in port", EFieldKind::eDataInPort};
  roles[Context::eFieldSideChainInput] = {"side-chain input", EFieldKind::eSideChainIn};
  return roles;
}();

struct PropertyInfo
{
  AAX_CPropertyID mID;
  const char* mName;
  enum EValue
  {
    eNumber,
    eFourCC,
    eStemFormat
  } mValue;
};

constexpr std::array kProperties{
  PropertyInfo{AAX_eProperty_ManufacturerID, "manufacturer ID", PropertyInfo::eFourCC},
  PropertyInfo{AAX_eProperty_ProductID, "product ID", PropertyInfo::eFourCC},
  PropertyInfo{AAX_eProperty_NativePlugInID, "native plug-in ID", PropertyInfo::eFourCC},
  PropertyInfo{AAX_eProperty_AudioSuitePlugInID, "AudioSuite plug-in ID", PropertyInfo::eFourCC},
  PropertyInfo{AAX_eProperty_InputStemFormat, "input stem format", PropertyInfo::eStemFormat},
  PropertyInfo{AAX_eProperty_OutputStemFormat, "output stem format", PropertyInfo::eStemFormat},
  PropertyInfo{AAX_eProperty_LatencySamples, "latency", PropertyInfo::eNumber},
  PropertyInfo{AAX_eProperty_CanBypass, "can bypass", PropertyInfo::eNumber},
  PropertyInfo{AAX_eProperty_HybridOutputStemFormat, "hybrid output stem format", PropertyInfo::eStemFormat},
  PropertyInfo{AAX_eProperty_HybridInputStemFormat, "hybrid input stem format", PropertyInfo::eStemFormat},
  PropertyInfo{AAX_eProperty_SideChainInput, "side-chain input", PropertyInfo::eNumber},
  PropertyInfo{AAX_eProperty_HostGeneratedEditor, "host-generated editor", PropertyInfo::eNumber},
  PropertyInfo{AAX_eProperty_MultiMonoSupport, "multi-mono support", PropertyInfo::eNumber},
  PropertyInfo{AAX_eProperty_UsesTransport, "uses transport", PropertyInfo::eNumber},
};

const PropertyInfo* FindPropertyInfo(AAX_CPropertyID id)
{
  for (const PropertyInfo& info : kProperties)
    if (info.mID == id)
      return &info;
  return nullptr;
}

constexpr std::array kFieldKindNames{
  "audio in", "audio out", "buffer length", "clock", "side-chain in",
  "MIDI node", "private data", "meters", "data-in port",
};

AAX_EStemFormat StemFormatProperty(const ComponentDescription& component, AAX_CPropertyID id)
{
  AAX_CPropertyValue value = 0;
  if (!component.FindProperty(id, value))
    return AAX_eStemFormat_None;
  return static_cast<AAX_EStemFormat>(static_cast<uint32_t>(value));
}

} // namespace

const FieldDeclaration* ComponentDescription::Field(AAX_CFieldIndex index) const
{
  for (const FieldDeclaration& field : mFields)
    if (field.mIndex == index)
      return &field;
  return nullptr;
}

bool ComponentDescription::FindProperty(AAX_CPropertyID id, AAX_CPropertyValue& value) const
{
  if (mProcedures.empty())
    return false;
  for (const Property& property : mProcedures.front().mProperties)
    if (property.mID == id)
    {
      value = property.mValue;
      return true;
    }
  return false;
}

AAX_EStemFormat ComponentDescription::InputStemFormat() const
{
  return StemFormatProperty(*this, AAX_eProperty_InputStemFormat);
}

AAX_EStemFormat ComponentDescription::OutputStemFormat() const
{
  return StemFormatProperty(*this, AAX_eProperty_OutputStemFormat);
}

bool IsInsideRenderContext(AAX_CFieldIndex index)
{
  return index >= 0 && index < Context::eNumFields;
}

const char* FieldRoleName(AAX_CFieldIndex index)
{
  return IsInsideRenderContext(index) ? kFieldRoles[static_cast<std::size_t>(index)].mName
                                      : "outside the render context";
}

bool IsPlaceholder(const FieldDeclaration& field)
{
  return field.mKind == EFieldKind::ePrivateData && IsInsideRenderContext(field.mIndex) &&
         kFieldRoles[static_cast<std::size_t>(field.mIndex)].mKind != EFieldKind::ePrivateData;
}

const char* FieldKindName(EFieldKind kind)
{
  return kFieldKindNames[static_cast<std::size_t>(kind)];
}

const char* PropertyName(AAX_CPropertyID id)
{
  const PropertyInfo* info = FindPropertyInfo(id);
  return info ? info->mName : nullptr;
}

bool IsFourCCProperty(AAX_CPropertyID id)
{
  const PropertyInfo* info = FindPropertyInfo(id);
  return info && info->mValue == PropertyInfo::eFourCC;
}

bool IsStemFormatProperty(AAX_CPropertyID id)
{
  const PropertyInfo* info = FindPropertyInfo(id);
  return info && info->mValue == PropertyInfo::eStemFormat;
}

std::string HexText(uint32_t value)
{
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", value);
  return text;
}

std::string FourCCText(uint32_t code)
{
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const auto c = static_cast<unsigned char>((code >> shift) & 0xFFu);
    if (c < 0x20 || c > 0x7E)
      return HexText(code);
    text.push_back(static_cast<char>(c));
  }
  return text;
}

} // namespace aaxhost
