#pragma once
// The plug-in's parameter set. Index order is fixed: saved state stores the
// values in this order and host identifiers are the index plus one.

namespace talven {

enum EParam
{
  kParamTrim = 0,
  kParamLowGain,
  kParamLowFreq,
  kParamLowMidGain,
  kParamLowMidFreq,
  kParamLowMidQ,
  kParamHighMidGain,
  kParamHighMidFreq,
  kParamHighMidQ,
  kParamHighGain,
  kParamHighFreq,
  kParamReserved, // never defined; keeps its slot in saved state
  kParamMidGain,
  kParamMidFreq,
  kParamMidQ,
  kParamDrive,
  kParamAllIn,
  kParamShelvesIn,
  kParamLowMidIn,
  kParamMidIn,
  kParamHighMidIn,
  kParamOversampling,
  kParamCount
};

struct ContinuousParamDef
{
  int index;
  const char* name;
  double defaultValue, min, max, step;
  const char* label;
};

// In order of definition.
inline constexpr ContinuousParamDef kContinuousParams[] = {
  {kParamTrim,         "Trim",               0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamLowGain,      "Low Gain",           0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamLowFreq,      "Low Frequency",      110.0,  30.0,  300.0,  1.0,  "Hz"},
  {kParamLowMidGain,   "Low Mid Gain",       0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamLowMidFreq,   "Low Mid Frequency",  295.0,  50.0,  400.0,  1.0,  "Hz"},
  {kParamLowMidQ,      "Low Mid Q",          2.0,    0.7,   5.0,    0.1,  "Oct"},
  {kParamMidGain,      "Mid Gain",           0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamMidFreq,      "Mid Frequency",      1855.0, 330.0, 2500.0, 1.0,  "Hz"},
  {kParamMidQ,         "Mid Q",              2.0,    0.7,   5.0,    0.1,  "Oct"},
  {kParamHighMidGain,  "High Mid Gain",      0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamHighMidFreq,  "High Mid Frequency", 11.7,   1.8,   16.0,   0.01, "kHz"},
  {kParamHighMidQ,     "High Mid Q",         2.0,    0.7,   5.0,    0.1,  "Oct"},
  {kParamHighGain,     "High Gain",          0.0,    -12.0, 12.0,   0.1,  "dB"},
  {kParamHighFreq,     "High Frequency",     9.3,    2.5,   25.0,   0.01, "kHz"},
  {kParamDrive,        "Drive",              0.0,    -24.0, 24.0,   0.1,  "dB"},
};

struct SwitchParamDef
{
  int index;
  const char* name;
  int defaultValue;
};

// Engage switches: 1 puts the section in circuit.
inline constexpr SwitchParamDef kSwitchParams[] = {
  {kParamAllIn,        "All Bypass",      1},
  {kParamShelvesIn,    "LF/HF Bypass",    1},
  {kParamLowMidIn,     "Low Mid Bypass",  1},
  {kParamMidIn,        "Mid Bypass",      1},
  {kParamHighMidIn,    "High Mid Bypass", 1},
  {kParamOversampling, "Oversampling",    0},
};

struct DisplayTextDef
{
  int index;
  double value;
  const char* text;
};

inline constexpr DisplayTextDef kDisplayTexts[] = {
  {kParamOversampling, 0.0, "Oversampling Off"},
  {kParamOversampling, 1.0, "Oversampling On"},
};

} // namespace talven
