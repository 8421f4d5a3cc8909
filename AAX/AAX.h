#pragma once
// Plain types and constants shared by the plug-in side and the host side of the AAX interfaces.
#include <cstdint>

using AAX_Result = int32_t;
using AAX_CBoolean = uint8_t;
using AAX_CTypeID = uint32_t;      // four-character codes: first character in the most significant byte
using AAX_CParamID = const char*;  // parameter identifier text, NUL-terminated
using AAX_CFieldIndex = int32_t;   // position of a field in a render-context record
using AAX_CPropertyID = uint32_t;
using AAX_CPropertyValue = int32_t;

constexpr AAX_CTypeID AAX_FourCC(const char (&code)[5])
{
  AAX_CTypeID id = 0;
  for (int i = 0; i < 4; ++i)
    id = (id << 8) | static_cast<uint8_t>(code[i]);
  return id;
}

enum AAX_EParameterType : int32_t
{
  AAX_eParameterType_Discrete = 0,
  AAX_eParameterType_Continuous = 1
};

using AAX_EParameterOrientation = int32_t;
constexpr AAX_EParameterOrientation AAX_eParameterOrientation_Default = 0;

// Who caused a host parameter update; the plug-in side does not act on it.
enum AAX_EUpdateSource : int32_t
{
  AAX_eUpdateSource_Unspecified = 0,
  AAX_eUpdateSource_Parameter = 1,
  AAX_eUpdateSource_Chunk = 2
};

enum AAX_EHighlightColor : int32_t
{
  AAX_eHighlightColor_Red = 0,
  AAX_eHighlightColor_Blue = 1,
  AAX_eHighlightColor_Green = 2,
  AAX_eHighlightColor_Yellow = 3
};

// Modifier bits exchanged with the view container.
enum AAX_EModifiers : uint32_t
{
  AAX_eModifiers_None = 0,
  AAX_eModifiers_Shift = 1 << 0,
  AAX_eModifiers_Alt = 1 << 2,
  AAX_eModifiers_Control = 1 << 3,
  AAX_eModifiers_SecondaryButton = 1 << 4
};

// Notification types the host sends to an effect.
constexpr AAX_CTypeID AAX_eNotification_OfflineStart = AAX_FourCC("AXof");
constexpr AAX_CTypeID AAX_eNotification_OfflineEnd = AAX_FourCC("AXox");
constexpr AAX_CTypeID AAX_eNotification_TrackName = AAX_FourCC("AXtn");
constexpr AAX_CTypeID AAX_eNotification_Preview = AAX_FourCC("ASPv");

// Property identifiers of a component's property map.
enum AAX_EProperty : AAX_CPropertyID
{
  AAX_eProperty_ManufacturerID = 11,
  AAX_eProperty_ProductID = 12,
  AAX_eProperty_NativePlugInID = 13,
  AAX_eProperty_AudioSuitePlugInID = 14,
  AAX_eProperty_InputStemFormat = 51,
  AAX_eProperty_OutputStemFormat = 52,
  AAX_eProperty_LatencySamples = 56,
  AAX_eProperty_CanBypass = 60,
  AAX_eProperty_HybridOutputStemFormat = 90,
  AAX_eProperty_HybridInputStemFormat = 91,
  AAX_eProperty_SideChainInput = 116,
  AAX_eProperty_HostGeneratedEditor = 151,
  AAX_eProperty_Constraint300 = 300, // always 1; its meaning is the host's
  AAX_eProperty_MultiMonoSupport = 304,
  AAX_eProperty_UsesTransport = 306
};

enum AAX_EMIDINodeKind : int32_t
{
  AAX_eMIDINodeKind_Input = 0,
  AAX_eMIDINodeKind_Output = 1,
  AAX_eMIDINodeKind_Global = 2,
  AAX_eMIDINodeKind_Transport = 3
};

enum AAX_EDataInPortKind : int32_t
{
  AAX_eDataInPortKind_Unbuffered = 0,
  AAX_eDataInPortKind_Buffered = 1
};

// Procedure slots of an effect descriptor.
enum AAX_EProcPtrID : int32_t
{
  AAX_eProcPtrID_CreateEffectParameters = 0,
  AAX_eProcPtrID_CreateEffectGUI = 1
};

enum AAX_ETracePriority : int32_t
{
  AAX_eTracePriority_Normal = 0x4000000,
  AAX_eTracePriority_High = 0x8000000
};

constexpr int32_t AAX_eAssertFlag_Report = 1;

constexpr int32_t kMaxAdditionalMIDINodes = 15;
constexpr int32_t kMaxAuxOutputStems = 32;
constexpr int64_t kAAXTicksPerQuarterNote = 960000;

// A view size: height first, as the host exchanges it.
struct AAX_Point
{
  float mVert = 0.0f;
  float mHorz = 0.0f;
};

class IACFUnknown;
// Creation procedures return a new object holding one reference for the caller, or null.
using AAX_CreateObjectProc = IACFUnknown* (*)();
