#include "IPlugLV2_Ports.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace iplug {

namespace {

struct ChannelNames
{
  int count;
  const char* symbols[2];
  const char* names[2];
};

// mono and stereo get their usual names; any other count is numbered
constexpr ChannelNames kInputNames[] = {
  {1, {"in", nullptr}, {"Input", nullptr}},
  {2, {"in_l", "in_r"}, {"Input L", "Input R"}},
};
constexpr ChannelNames kOutputNames[] = {
  {1, {"out", nullptr}, {"Output", nullptr}},
  {2, {"out_l", "out_r"}, {"Output L", "Output R"}},
};

struct VariantName
{
  int nInputs, nOutputs;
  const char* suffix; // of the URI
  const char* title;  // of the name
};

constexpr VariantName kVariantNames[] = {
  {1, 1, "mono", "Mono"},
  {2, 2, "stereo", "Stereo"},
};

std::string Slug(const std::string& text, char separator)
{
  std::string out;
  bool pending = false;
  for (unsigned char c : text)
  {
    if (std::isalnum(c))
    {
      if (pending && !out.empty())
        out += separator;
      out += static_cast<char>(std::tolower(c));
      pending = false;
    }
    else
    {
      pending = true;
    }
  }
  return out;
}

void AddAudioPorts(std::vector<LV2Port>& ports, ELV2PortKind kind, int count, const ChannelNames (&table)[2],
                   const char* symbolStem, const char* nameStem)
{
  const ChannelNames* named = nullptr;
  for (const ChannelNames& n : table)
    if (n.count == count)
      named = &n;
  for (int c = 0; c < count; ++c)
  {
    LV2Port p;
    p.kind = kind;
    p.channel = c;
    p.symbol = named ? named->symbols[c] : symbolStem + std::to_string(c + 1);
    p.name = named ? named->names[c] : nameStem + std::to_string(c + 1);
    ports.push_back(std::move(p));
  }
}

// a taken symbol gets "_2", "_3", ... so that hosts can address every port by symbol
std::string UniqueSymbol(std::string symbol, std::set<std::string>& taken)
{
  std::string candidate = symbol;
  for (int n = 2; taken.count(candidate); ++n)
    candidate = symbol + "_" + std::to_string(n);
  taken.insert(candidate);
  return candidate;
}

} // namespace

std::string LV2Symbol(const char* name)
{
  std::string symbol = Slug(name ? name : "", '_');
  if (!symbol.empty() && std::isdigit(static_cast<unsigned char>(symbol[0])))
    symbol.insert(symbol.begin(), '_');
  return symbol;
}

std::string LV2URIBase(const IPlugAPIBase& plug)
{
  return "urn:" + Slug(plug.GetMakerName(), '-') + ":" + Slug(plug.GetPluginName(), '-') + ":";
}

std::string LV2StateURI(const IPlugAPIBase& plug) { return LV2URIBase(plug) + "state"; }

std::vector<LV2Variant> LV2Variants(const IPlugAPIBase& plug, const IPlugProcessor& proc)
{
  std::vector<LV2Variant> variants;
  for (int i = 0; i < proc.NIOConfigs(); ++i)
  {
    const IIOConfig* config = proc.GetIOConfig(i);
    // LV2 ports are fixed: a configuration that takes any channel count has no LV2 form
    if (!config || config->ContainsWildcard(eRouteInput) || config->ContainsWildcard(eRouteOutput))
      continue;
    LV2Variant v;
    v.ioConfigIdx = i;
    v.nInputs = config->TotalNChannels(eRouteInput);
    v.nOutputs = config->TotalNChannels(eRouteOutput);
    std::string suffix = std::to_string(v.nInputs) + "in" + std::to_string(v.nOutputs) + "out";
    std::string title = std::to_string(v.nInputs) + " In " + std::to_string(v.nOutputs) + " Out";
    for (const VariantName& n : kVariantNames)
    {
      if (n.nInputs == v.nInputs && n.nOutputs == v.nOutputs)
      {
        suffix = n.suffix;
        title = n.title;
      }
    }
    v.uri = LV2URIBase(plug) + suffix;
    v.name = std::string(plug.GetPluginName()) + " " + title;
    const bool taken = std::any_of(variants.begin(), variants.end(), [&](const LV2Variant& o) { return o.uri == v.uri; });
    if (!taken)
      variants.push_back(std::move(v));
  }
  return variants;
}

std::vector<LV2Port> LV2Ports(const IPlugAPIBase& plug, const LV2Variant& variant)
{
  std::vector<LV2Port> ports;
  AddAudioPorts(ports, ELV2PortKind::eAudioIn, variant.nInputs, kInputNames, "in_", "Input ");
  AddAudioPorts(ports, ELV2PortKind::eAudioOut, variant.nOutputs, kOutputNames, "out_", "Output ");
  std::set<std::string> taken;
  for (LV2Port& p : ports)
    taken.insert(p.symbol);

  for (int i = 0; i < plug.NParams(); ++i)
  {
    const IParam* param = plug.GetParam(i);
    if (param->GetKind() == eKindNone) // a slot that was never defined has nothing to control
      continue;
    LV2Port p;
    p.kind = ELV2PortKind::eControl;
    p.paramIdx = i;
    p.name = param->Name();
    std::string symbol = LV2Symbol(param->Name());
    p.symbol = UniqueSymbol(symbol.empty() ? "param_" + std::to_string(i) : symbol, taken);
    ports.push_back(std::move(p));
  }

  LV2Port latency;
  latency.kind = ELV2PortKind::eLatency;
  latency.symbol = UniqueSymbol("latency", taken);
  latency.name = "Latency";
  ports.push_back(std::move(latency));

  LV2Port enabled;
  enabled.kind = ELV2PortKind::eEnabled;
  enabled.symbol = UniqueSymbol("enabled", taken);
  enabled.name = "Enabled";
  ports.push_back(std::move(enabled));
  return ports;
}

} // namespace iplug
