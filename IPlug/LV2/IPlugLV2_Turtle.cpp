#include "IPlugLV2_Turtle.h"

#include <charconv>
#include <cstdio>

namespace iplug {

namespace {

constexpr const char* kPrefixes =
  "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
  "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
  "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
  "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
  "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
  "@prefix pprop: <http://lv2plug.in/ns/ext/port-props#> .\n"
  "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
  "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
  "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
  "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
  "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n";

struct KnownUnit
{
  const char* label;
  const char* unit;
};

// labels LV2 has a unit for; any other label becomes a unit of its own
constexpr KnownUnit kKnownUnits[] = {
  {"dB", "units:db"}, {"Hz", "units:hz"}, {"kHz", "units:khz"}, {"ms", "units:ms"}, {"s", "units:s"}, {"%", "units:pc"},
};

// Turtle's double literal needs a point or an exponent
std::string Number(double v)
{
  char text[32];
  const auto result = std::to_chars(text, text + sizeof(text), v);
  std::string s(text, result.ptr);
  if (s.find_first_of(".en") == std::string::npos)
    s += ".0";
  return s;
}

std::string Quoted(const std::string& text)
{
  std::string out = "\"";
  for (char c : text)
  {
    if (c == '"' || c == '\\')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string UnitOf(const IParam& param)
{
  const std::string label = param.Label();
  if (label.empty())
    return "";
  for (const KnownUnit& u : kKnownUnits)
    if (label == u.label)
      return u.unit;
  char render[64];
  std::snprintf(render, sizeof(render), "%%.%df %s", param.GetPrecision(), param.Label());
  return "[ a units:Unit ; rdfs:label " + Quoted(label) + " ; units:symbol " + Quoted(label) +
         " ; units:render " + Quoted(render) + " ]";
}

bool IsInteger(const IParam& p) { return p.GetKind() == eKindBool || p.GetKind() == eKindInt || p.GetKind() == eKindEnum; }
bool IsToggle(const IParam& p) { return IsInteger(p) && p.GetMin() == 0.0 && p.GetMax() == 1.0; }

void ControlBody(const IParam& param, std::string& out)
{
  out += "\t\tlv2:default " + Number(param.GetDefault()) + " ;\n";
  out += "\t\tlv2:minimum " + Number(param.GetMin()) + " ;\n";
  out += "\t\tlv2:maximum " + Number(param.GetMax()) + " ;\n";
  const std::string unit = UnitOf(param);
  if (!unit.empty())
    out += "\t\tunits:unit " + unit + " ;\n";

  std::string props;
  const auto addProp = [&props](const char* p) { props += (props.empty() ? "" : " , ") + std::string(p); };
  if (IsInteger(param))
    addProp("lv2:integer");
  if (IsToggle(param))
    addProp("lv2:toggled");
  if (param.DisplayTextCount() > 0)
    addProp("lv2:enumeration");
  if (!props.empty())
    out += "\t\tlv2:portProperty " + props + " ;\n";

  for (int i = 0; i < param.DisplayTextCount(); ++i)
  {
    double value = 0.0;
    const char* text = param.DisplayTextAt(i, &value);
    out += "\t\tlv2:scalePoint [ rdfs:label " + Quoted(text) + " ; rdf:value " + Number(value) + " ] ;\n";
  }
}

constexpr const char* PortClasses(ELV2PortKind kind)
{
  switch (kind)
  {
    case ELV2PortKind::eAudioIn: return "lv2:InputPort , lv2:AudioPort";
    case ELV2PortKind::eAudioOut: return "lv2:OutputPort , lv2:AudioPort";
    case ELV2PortKind::eLatency: return "lv2:OutputPort , lv2:ControlPort";
    case ELV2PortKind::eControl:
    case ELV2PortKind::eEnabled: break;
  }
  return "lv2:InputPort , lv2:ControlPort";
}

void PortBody(const IPlugLV2& plug, const LV2Port& port, std::string& out)
{
  switch (port.kind)
  {
    case ELV2PortKind::eAudioIn:
    case ELV2PortKind::eAudioOut: break;
    case ELV2PortKind::eControl: ControlBody(*plug.GetParam(port.paramIdx), out); break;
    case ELV2PortKind::eLatency:
      out += "\t\tlv2:designation lv2:latency ;\n"
             "\t\tlv2:portProperty lv2:reportsLatency , lv2:integer , pprop:notOnGUI ;\n"
             "\t\tlv2:minimum 0 ;\n"
             "\t\tunits:unit units:frame ;\n";
      break;
    case ELV2PortKind::eEnabled:
      out += "\t\tlv2:designation lv2:enabled ;\n"
             "\t\tlv2:default 1 ;\n"
             "\t\tlv2:minimum 0 ;\n"
             "\t\tlv2:maximum 1 ;\n"
             "\t\tlv2:portProperty lv2:integer , lv2:toggled ;\n";
      break;
  }
}

void PluginBlock(const IPlugLV2& plug, const LV2Variant& variant, std::string& out)
{
  out += "\n<" + variant.uri + ">\n"
         "\ta lv2:Plugin ;\n"
         "\tdoap:name " + Quoted(variant.name) + " ;\n"
         "\tdoap:maintainer [ foaf:name " + Quoted(plug.GetMakerName()) + " ] ;\n";
  const int32_t version = plug.GetPluginVersion(false);
  out += "\tlv2:minorVersion " + std::to_string(VersionMinor(version)) + " ;\n";
  out += "\tlv2:microVersion " + std::to_string(VersionBugfix(version)) + " ;\n";
  out += "\tlv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n"
         "\topts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n"
         "\tlv2:extensionData state:interface ;\n";

  const std::vector<LV2Port> ports = LV2Ports(plug, variant);
  for (size_t i = 0; i < ports.size(); ++i)
  {
    out += i == 0 ? "\tlv2:port [\n" : "\t] , [\n";
    out += std::string("\t\ta ") + PortClasses(ports[i].kind) + " ;\n";
    out += "\t\tlv2:index " + std::to_string(i) + " ;\n";
    out += "\t\tlv2:symbol " + Quoted(ports[i].symbol) + " ;\n";
    out += "\t\tlv2:name " + Quoted(ports[i].name) + " ;\n";
    PortBody(plug, ports[i], out);
  }
  out += ports.empty() ? "" : "\t] ";
  out += ".\n";
}

} // namespace

std::string LV2ManifestTurtle(const IPlugLV2& plug, const std::string& binaryName, const std::string& ttlName)
{
  std::string out = "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
                    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
  for (const LV2Variant& v : LV2Variants(plug, plug))
  {
    out += "\n<" + v.uri + ">\n"
           "\ta lv2:Plugin ;\n"
           "\tlv2:binary <" + binaryName + "> ;\n"
           "\trdfs:seeAlso <" + ttlName + "> .\n";
  }
  return out;
}

std::string LV2PluginTurtle(const IPlugLV2& plug)
{
  std::string out = kPrefixes;
  for (const LV2Variant& v : LV2Variants(plug, plug))
    PluginBlock(plug, v, out);
  return out;
}

} // namespace iplug
