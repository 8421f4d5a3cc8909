#pragma once
// The LV2 face of a plug-in: its URIs, one plug-in per channel configuration, and the ports
// of each, worked out from the plug-in's own configuration and parameter list. The module
// and the Turtle generator both use it, so the bundle describes exactly what the binary does.
#include <string>
#include <vector>

#include "IPlugAPIBase.h"
#include "IPlugProcessor.h"

namespace iplug {

enum class ELV2PortKind
{
  eAudioIn,
  eAudioOut,
  eControl, // one per defined parameter
  eLatency, // output: the latency the processing reports
  eEnabled  // input: 0 runs the bypass
};

struct LV2Port
{
  ELV2PortKind kind = ELV2PortKind::eControl;
  int paramIdx = -1; // control ports
  int channel = -1;  // audio ports
  std::string symbol;
  std::string name;
};

// One LV2 plug-in: a channel configuration of fixed channel counts.
struct LV2Variant
{
  int ioConfigIdx = 0;
  int nInputs = 0;
  int nOutputs = 0;
  std::string uri;
  std::string name;
};

// "urn:<maker>:<plug-in>:", lower case, each run of other characters one "-"
std::string LV2URIBase(const IPlugAPIBase& plug);
// the key the state extension stores the plug-in's state under
std::string LV2StateURI(const IPlugAPIBase& plug);

// every configuration without wildcard buses, in configuration order
std::vector<LV2Variant> LV2Variants(const IPlugAPIBase& plug, const IPlugProcessor& proc);

// Port index order: audio inputs, audio outputs, one control per defined parameter in
// index order, latency, enabled. Symbols are unique within the list.
std::vector<LV2Port> LV2Ports(const IPlugAPIBase& plug, const LV2Variant& variant);

// an LV2 symbol ([A-Za-z_][A-Za-z0-9_]*) from a name: "LF/HF Bypass" -> "lf_hf_bypass"; "" for no letters or digits
std::string LV2Symbol(const char* name);

} // namespace iplug
