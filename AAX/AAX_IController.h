#pragma once
// What a running effect instance asks of its host: the controller, the automation delegate, the transport and
// the MIDI nodes of its render context.
#include "AAX.h"
#include "AAX_StemFormat.h"
#include "ACFUnknown.h"

struct AAX_CMidiPacket;
struct AAX_CMidiStream;

class AAX_IController : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xb8358433, 0xd8b6, 0x446d, {0xaf, 0x96, 0x96, 0xc3, 0x6e, 0x55, 0x61, 0x71}};

  // [host main thread]
  virtual AAX_Result GetSampleRate(double* sampleRate) const = 0;
  // [audio thread] the formats of the current render
  virtual AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const = 0;
  virtual AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const = 0;
  // [audio thread]
  virtual AAX_Result SetSignalLatency(int32_t samples) = 0;
  // [host parameter thread] the bytes reach context field `field` of a later render call
  virtual AAX_Result PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) = 0;
  // [host main thread] the instance's effect object, with one reference added for the caller
  virtual AAX_Result GetEffectParameters(IACFUnknown** effect) const = 0;

protected:
  ~AAX_IController() = default;
};

class AAX_IAutomationDelegate : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xd3f50ac5, 0xacaf, 0x4e7d, {0x8a, 0x3e, 0x29, 0xc4, 0x65, 0x9a, 0x91, 0x13}};

  // [host main thread]
  virtual AAX_Result RegisterParameter(AAX_CParamID id) = 0;
  virtual AAX_Result UnregisterParameter(AAX_CParamID id) = 0;
  // [host main or parameter thread] the host answers with the effect's normalised-value update
  virtual AAX_Result PostSetValueRequest(AAX_CParamID id, double normalizedValue) = 0;
  // [host main or parameter thread] the value the effect now holds
  virtual AAX_Result PostCurrentValue(AAX_CParamID id, double normalizedValue) = 0;
  virtual AAX_Result PostTouchRequest(AAX_CParamID id) = 0;
  virtual AAX_Result PostReleaseRequest(AAX_CParamID id) = 0;

protected:
  ~AAX_IAutomationDelegate() = default;
};

// Positions in ticks count kAAXTicksPerQuarterNote per quarter note.
class AAX_ITransport : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0xe3031c8b, 0x39c9, 0x44da, {0xae, 0xdd, 0xab, 0xd4, 0xd1, 0x1b, 0x03, 0x85}};

  // [audio thread] each valid for the current render call
  virtual AAX_Result GetCurrentTempo(double* bpm) const = 0;
  virtual AAX_Result IsTransportPlaying(bool* playing) const = 0;
  virtual AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const = 0;
  virtual AAX_Result GetCurrentTickPosition(int64_t* ticks) const = 0;
  virtual AAX_Result GetCurrentNativeSampleLocation(int64_t* sample) const = 0;
  virtual AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* startTick, int64_t* endTick) const = 0;

protected:
  ~AAX_ITransport() = default;
};

// A MIDI node as it sits in a render context: called directly on the audio thread, never reference counted.
class AAX_IMIDINode
{
public:
  // [audio thread] the packets the host delivered for this block; never null
  virtual AAX_CMidiStream* GetNodeBuffer() = 0;
  // [audio thread]
  virtual AAX_Result PostMIDIPacket(const AAX_CMidiPacket* packet) = 0;
  // [audio thread] the host's transport, or null
  virtual AAX_ITransport* GetTransport() = 0;

protected:
  ~AAX_IMIDINode() = default;
};
