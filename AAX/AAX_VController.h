#pragma once
// Forwarding wrappers of the instance's host interfaces, each made from the host object given at
// initialisation. A wrapper whose interface the host does not offer answers AAX_ERROR_NULL_OBJECT.
#include "AAX_IController.h"
#include "AAX_VInterface.h"

class AAX_VController : public AAX_VInterface<AAX_IController>
{
public:
  using AAX_VInterface::AAX_VInterface;

  AAX_Result GetSampleRate(double* sampleRate) const;             // [host main thread]
  AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const;   // [audio thread]
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const;  // [audio thread]
  AAX_Result SetSignalLatency(int32_t samples) const;             // [audio thread]
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) const; // [host parameter thread]
  AAX_Result GetEffectParameters(IACFUnknown** effect) const;     // [host main thread]
};

class AAX_VAutomationDelegate : public AAX_VInterface<AAX_IAutomationDelegate>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // [host main thread]
  AAX_Result RegisterParameter(AAX_CParamID id) const;
  AAX_Result UnregisterParameter(AAX_CParamID id) const;
  // [host main or parameter thread]
  AAX_Result PostSetValueRequest(AAX_CParamID id, double normalizedValue) const;
  AAX_Result PostCurrentValue(AAX_CParamID id, double normalizedValue) const;
  AAX_Result PostTouchRequest(AAX_CParamID id) const;
  AAX_Result PostReleaseRequest(AAX_CParamID id) const;
};

class AAX_VTransport : public AAX_VInterface<AAX_ITransport>
{
public:
  using AAX_VInterface::AAX_VInterface;

  // [audio thread]
  AAX_Result GetCurrentTempo(double* bpm) const;
  AAX_Result IsTransportPlaying(bool* playing) const;
  AAX_Result GetCurrentMeter(int32_t* numerator, int32_t* denominator) const;
  AAX_Result GetCurrentTickPosition(int64_t* ticks) const;
  AAX_Result GetCurrentNativeSampleLocation(int64_t* sample) const;
  AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* startTick, int64_t* endTick) const;
};
