#include "Describe.h"

#include <algorithm>
#include <sstream>

#include "Instance.h"
#include "JsonWriter.h"

namespace plughost {

namespace {

using aaxhost::ComponentDescription;
using aaxhost::EffectDescription;
using aaxhost::EFieldKind;
using aaxhost::FieldDeclaration;
using aaxhost::ParameterInfo;

constexpr const char* kNodeKindNames[] = {"input", "output", "global", "transport"};

struct FieldView
{
  int mIndex;
  std::string mRole;
  std::string mKind;
  bool mReal;
  std::string mDetail;
};

struct PropertyView
{
  AAX_CPropertyID mID;
  std::string mName; // empty when the host has none
  AAX_CPropertyValue mValue;
  std::string mText;
};

std::string StemFormatText(uint32_t format)
{
  const int channels = AAX_StemFormatChannelCount(static_cast<AAX_EStemFormat>(format));
  return aaxhost::HexText(format) + " (" + std::to_string(channels) + (channels == 1 ? " channel)" : " channels)");
}

std::string FieldDetail(const FieldDeclaration& field)
{
  std::ostringstream detail;
  switch (field.mKind)
  {
  case EFieldKind::eMidiNode:
  {
    const auto kind = static_cast<std::size_t>(field.mNodeKind);
    detail << (kind < std::size(kNodeKindNames) ? kNodeKindNames[kind] : "unknown") << " node \"" << field.mName
           << "\", mask " << aaxhost::HexText(field.mMask);
    break;
  }
  case EFieldKind::ePrivateData: detail << field.mSize << " bytes, options " << field.mOptions; break;
  case EFieldKind::eMeters:
    detail << field.mMeterIDs.size() << (field.mMeterIDs.size() == 1 ? " meter" : " meters");
    for (const AAX_CTypeID id : field.mMeterIDs)
      detail << " " << aaxhost::FourCCText(id);
    break;
  case EFieldKind::eDataInPort:
    detail << field.mPacketSize << "-byte packets, "
           << (field.mPortKind == AAX_eDataInPortKind_Buffered ? "buffered" : "unbuffered");
    break;
  default: break;
  }
  return detail.str();
}

std::vector<FieldView> Fields(const ComponentDescription& component)
{
  std::vector<FieldView> views;
  for (const FieldDeclaration& field : component.mFields)
    views.push_back({field.mIndex, aaxhost::FieldRoleName(field.mIndex), aaxhost::FieldKindName(field.mKind),
                     !aaxhost::IsPlaceholder(field), FieldDetail(field)});
  std::stable_sort(views.begin(), views.end(), [](const FieldView& a, const FieldView& b) { return a.mIndex < b.mIndex; });
  return views;
}

std::vector<PropertyView> Properties(const ComponentDescription& component)
{
  std::vector<PropertyView> views;
  if (component.mProcedures.empty())
    return views;
  for (const aaxhost::Property& property : component.mProcedures.front().mProperties)
  {
    const auto value = static_cast<uint32_t>(property.mValue);
    const char* name = aaxhost::PropertyName(property.mID);
    std::string text = std::to_string(property.mValue);
    if (aaxhost::IsFourCCProperty(property.mID))
      text = aaxhost::FourCCText(value);
    else if (aaxhost::IsStemFormatProperty(property.mID))
      text = StemFormatText(value);
    views.push_back({property.mID, name ? name : "", property.mValue, text});
  }
  return views;
}

// the four-character ID property as text, or empty
std::string IDProperty(const ComponentDescription& component, AAX_CPropertyID id)
{
  AAX_CPropertyValue value = 0;
  return component.FindProperty(id, value) ? aaxhost::FourCCText(static_cast<uint32_t>(value)) : std::string();
}

struct IDEntry
{
  const char* mKey;
  const char* mLabel;
  AAX_CPropertyID mID;
};

constexpr IDEntry kIDProperties[] = {
  {"manufacturer_id", "manufacturer", AAX_eProperty_ManufacturerID},
  {"product_id", "product", AAX_eProperty_ProductID},
  {"native_id", "native", AAX_eProperty_NativePlugInID},
  {"audiosuite_id", "AudioSuite", AAX_eProperty_AudioSuitePlugInID},
};

uint32_t Category(const EffectDescription& effect)
{
  uint32_t category = 0;
  for (const uint32_t bits : effect.mCategories)
    category |= bits;
  return category;
}

std::string Joined(const std::vector<std::string>& texts)
{
  std::string joined;
  for (const std::string& text : texts)
    joined += (joined.empty() ? "" : ", ") + text;
  return joined;
}

std::string SDKVersionText(uint64_t version)
{
  return aaxhost::HexText(static_cast<uint32_t>(version >> 32)) + aaxhost::HexText(static_cast<uint32_t>(version)).substr(2);
}

std::string Quoted(const std::string& text)
{
  return "\"" + text + "\"";
}

// ---- text

void TextEffect(std::ostream& out, const aaxhost::Module& module, const EffectDescription& effect,
                const aaxhost::Instance& instance)
{
  const aaxhost::ModuleDescription& description = module.Description();
  std::string bypass;
  const bool hasBypass = instance.MasterBypassID(bypass);
  out << "effect\n"
      << "  names: " << Joined(effect.mNames) << "\n"
      << "  bundle identifier: " << effect.mEffectID << "\n"
      << "  manufacturer: " << description.mManufacturer << "\n"
      << "  category: " << Category(effect) << "\n"
      << "  package version: " << aaxhost::HexText(description.mPackageVersion) << "\n"
      << "  package names: " << Joined(description.mPackageNames) << "\n"
      << "  SDK version: " << SDKVersionText(module.SDKVersion()) << "\n"
      << "  editor procedure: " << (effect.mCreateEditor ? "yes" : "no") << "\n"
      << "  master bypass: " << (hasBypass ? Quoted(bypass) : "none") << "\n";
}

void TextComponent(std::ostream& out, std::size_t index, const ComponentDescription& component)
{
  out << "component " << index << "\n"
      << "  stem formats: in " << StemFormatText(component.InputStemFormat()) << ", out "
      << StemFormatText(component.OutputStemFormat()) << "\n  IDs:";
  for (const IDEntry& id : kIDProperties)
  {
    const std::string text = IDProperty(component, id.mID);
    out << " " << id.mLabel << " " << (text.empty() ? "none" : text) << (&id == std::end(kIDProperties) - 1 ? "" : ",");
  }
  out << "\n  properties, in order:\n";
  for (const PropertyView& property : Properties(component))
    out << "    " << property.mID << (property.mName.empty() ? "" : " " + property.mName) << " = " << property.mText
        << "\n";
  out << "  context fields:\n";
  for (const FieldView& field : Fields(component))
    out << "    " << field.mIndex << " " << field.mRole << ": " << (field.mReal ? "" : "placeholder, ") << field.mKind
        << (field.mDetail.empty() ? "" : " (" + field.mDetail + ")") << "\n";
  for (const aaxhost::AuxOutputStem& stem : component.mAuxOutputStems)
    out << "  auxiliary output stem " << Quoted(stem.mName) << ": " << StemFormatText(static_cast<uint32_t>(stem.mStemFormat))
        << "\n";
  out << "  process procedures: " << component.mProcedures.size() << "\n";
}

void TextParameters(std::ostream& out, const std::vector<ParameterInfo>& parameters)
{
  out << "parameters, in manager order (" << parameters.size() << "):\n";
  for (std::size_t i = 0; i < parameters.size(); ++i)
  {
    const ParameterInfo& p = parameters[i];
    out << "  " << i << " id " << Quoted(p.mID) << " " << Quoted(p.mName) << ": " << p.mSteps << " steps, "
        << (p.mType == AAX_eParameterType_Discrete ? "discrete" : "continuous") << ", "
        << (p.mAutomatable ? "automatable" : "not automatable") << ", default " << p.mDefault << " "
        << Quoted(p.mDefaultText) << ", at 0 " << Quoted(p.mTextAt0) << ", at 1 " << Quoted(p.mTextAt1)
        << (p.mIsMasterBypass ? " [master bypass]" : "") << "\n";
  }
}

// ---- JSON

void JsonStrings(JsonWriter& json, const std::vector<std::string>& texts)
{
  json.BeginArray();
  for (const std::string& text : texts)
    json.String(text);
  json.EndArray();
}

void JsonEffect(JsonWriter& json, const aaxhost::Module& module, const EffectDescription& effect,
                const aaxhost::Instance& instance)
{
  const aaxhost::ModuleDescription& description = module.Description();
  std::string bypass;
  const bool hasBypass = instance.MasterBypassID(bypass);
  json.BeginObject();
  json.Key("names");
  JsonStrings(json, effect.mNames);
  json.Key("bundle_id").String(effect.mEffectID);
  json.Key("manufacturer").String(description.mManufacturer);
  json.Key("category").Integer(Category(effect));
  json.Key("package_version").Integer(description.mPackageVersion);
  json.Key("package_names");
  JsonStrings(json, description.mPackageNames);
  json.Key("sdk_version").String(SDKVersionText(module.SDKVersion()));
  json.Key("has_editor").Bool(effect.mCreateEditor != nullptr);
  json.Key("master_bypass_id");
  hasBypass ? json.String(bypass) : json.Null();
  json.EndObject();
}

void JsonComponent(JsonWriter& json, std::size_t index, const ComponentDescription& component)
{
  json.BeginObject();
  json.Key("index").Integer(static_cast<long long>(index));
  json.Key("input_stem_format").Integer(component.InputStemFormat());
  json.Key("input_channels").Integer(AAX_StemFormatChannelCount(component.InputStemFormat()));
  json.Key("output_stem_format").Integer(component.OutputStemFormat());
  json.Key("output_channels").Integer(AAX_StemFormatChannelCount(component.OutputStemFormat()));
  for (const IDEntry& id : kIDProperties)
  {
    const std::string text = IDProperty(component, id.mID);
    json.Key(id.mKey);
    text.empty() ? json.Null() : json.String(text);
  }
  json.Key("properties").BeginArray();
  for (const PropertyView& property : Properties(component))
  {
    json.BeginObject().Key("id").Integer(property.mID);
    json.Key("name");
    property.mName.empty() ? json.Null() : json.String(property.mName);
    json.Key("value").Integer(property.mValue).Key("text").String(property.mText).EndObject();
  }
  json.EndArray();
  json.Key("fields").BeginArray();
  for (const FieldView& field : Fields(component))
    json.BeginObject()
      .Key("index").Integer(field.mIndex)
      .Key("role").String(field.mRole)
      .Key("kind").String(field.mKind)
      .Key("real").Bool(field.mReal)
      .Key("detail").String(field.mDetail)
      .EndObject();
  json.EndArray();
  json.Key("aux_output_stems").BeginArray();
  for (const aaxhost::AuxOutputStem& stem : component.mAuxOutputStems)
    json.BeginObject().Key("name").String(stem.mName).Key("stem_format").Integer(stem.mStemFormat).EndObject();
  json.EndArray();
  json.Key("process_procedures").Integer(static_cast<long long>(component.mProcedures.size()));
  json.EndObject();
}

void JsonParameter(JsonWriter& json, const ParameterInfo& p)
{
  json.BeginObject()
    .Key("id").String(p.mID)
    .Key("name").String(p.mName)
    .Key("steps").Integer(p.mSteps)
    .Key("type").String(p.mType == AAX_eParameterType_Discrete ? "discrete" : "continuous")
    .Key("automatable").Bool(p.mAutomatable)
    .Key("default_normalized").Number(p.mDefault)
    .Key("default_text").String(p.mDefaultText)
    .Key("text_at_0").String(p.mTextAt0)
    .Key("text_at_1").String(p.mTextAt1)
    .Key("master_bypass").Bool(p.mIsMasterBypass)
    .EndObject();
}

} // namespace

std::string DescribeText(const aaxhost::Module& module, const aaxhost::Instance& instance)
{
  std::ostringstream out;
  const EffectDescription& effect = instance.Effect();
  TextEffect(out, module, effect, instance);
  for (std::size_t i = 0; i < effect.mComponents.size(); ++i)
    TextComponent(out, i, effect.mComponents[i]);
  TextParameters(out, instance.ListParameters());
  return out.str();
}

std::string DescribeJson(const aaxhost::Module& module, const aaxhost::Instance& instance)
{
  JsonWriter json;
  const EffectDescription& effect = instance.Effect();
  json.BeginObject();
  json.Key("effect");
  JsonEffect(json, module, effect, instance);
  json.Key("components").BeginArray();
  for (std::size_t i = 0; i < effect.mComponents.size(); ++i)
    JsonComponent(json, i, effect.mComponents[i]);
  json.EndArray();
  json.Key("parameters").BeginArray();
  for (const ParameterInfo& parameter : instance.ListParameters())
    JsonParameter(json, parameter);
  json.EndArray();
  json.EndObject();
  return json.Text();
}

} // namespace plughost
