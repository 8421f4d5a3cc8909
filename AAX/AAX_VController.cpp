#include "AAX_VController.h"

AAX_Result AAX_VController::GetSampleRate(double* sampleRate) const
{
  return Forward(&AAX_IController::GetSampleRate, sampleRate);
}

AAX_Result AAX_VController::GetInputStemFormat(AAX_EStemFormat* format) const
{
  return Forward(&AAX_IController::GetInputStemFormat, format);
}

AAX_Result AAX_VController::GetOutputStemFormat(AAX_EStemFormat* format) const
{
  return Forward(&AAX_IController::GetOutputStemFormat, format);
}

AAX_Result AAX_VController::SetSignalLatency(int32_t samples) const
{
  return Forward(&AAX_IController::SetSignalLatency, samples);
}

AAX_Result AAX_VController::PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) const
{
  return Forward(&AAX_IController::PostPacket, field, data, size);
}

AAX_Result AAX_VController::GetEffectParameters(IACFUnknown** effect) const
{
  return Forward(&AAX_IController::GetEffectParameters, effect);
}

AAX_Result AAX_VAutomationDelegate::RegisterParameter(AAX_CParamID id) const
{
  return Forward(&AAX_IAutomationDelegate::RegisterParameter, id);
}

AAX_Result AAX_VAutomationDelegate::UnregisterParameter(AAX_CParamID id) const
{
  return Forward(&AAX_IAutomationDelegate::UnregisterParameter, id);
}

AAX_Result AAX_VAutomationDelegate::PostSetValueRequest(AAX_CParamID id, double normalizedValue) const
{
  return Forward(&AAX_IAutomationDelegate::PostSetValueRequest, id, normalizedValue);
}

AAX_Result AAX_VAutomationDelegate::PostCurrentValue(AAX_CParamID id, double normalizedValue) const
{
  return Forward(&AAX_IAutomationDelegate::PostCurrentValue, id, normalizedValue);
}

AAX_Result AAX_VAutomationDelegate::PostTouchRequest(AAX_CParamID id) const
{
  return Forward(&AAX_IAutomationDelegate::PostTouchRequest, id);
}

AAX_Result AAX_VAutomationDelegate::PostReleaseRequest(AAX_CParamID id) const
{
  return Forward(&AAX_IAutomationDelegate::PostReleaseRequest, id);
}

AAX_Result AAX_VTransport::GetCurrentTempo(double* bpm) const
{
  return Forward(&AAX_ITransport::GetCurrentTempo, bpm);
}

AAX_Result AAX_VTransport::IsTransportPlaying(bool* playing) const
{
  return Forward(&AAX_ITransport::IsTransportPlaying, playing);
}

AAX_Result AAX_VTransport::GetCurrentMeter(int32_t* numerator, int32_t* denominator) const
{
  return Forward(&AAX_ITransport::GetCurrentMeter, numerator, denominator);
}

AAX_Result AAX_VTransport::GetCurrentTickPosition(int64_t* ticks) const
{
  return Forward(&AAX_ITransport::GetCurrentTickPosition, ticks);
}

AAX_Result AAX_VTransport::GetCurrentNativeSampleLocation(int64_t* sample) const
{
  return Forward(&AAX_ITransport::GetCurrentNativeSampleLocation, sample);
}

AAX_Result AAX_VTransport::GetCurrentLoopPosition(bool* looping, int64_t* startTick, int64_t* endTick) const
{
  return Forward(&AAX_ITransport::GetCurrentLoopPosition, looping, startTick, endTick);
}
