#pragma once
// Small host stand-ins for driving an AAX effect in-process: diagnostics, a controller that also answers the
// automation-delegate and transport interfaces, a MIDI node and a view container. They record what the
// effect asks of them as short texts ("register 3", "request 3 0.5", "latency 16") and answer set-value
// requests at once with the effect's host update, as a host does.
#include <cstdio>
#include <string>
#include <vector>

#include "AAX_IController.h"
#include "AAX_IEffectParameters.h"
#include "AAX_IHostServices.h"
#include "AAX_IViewContainer.h"
#include "AAX_Records.h"
#include "AAX_VHostServices.h"

namespace testsupport {

// Reference counting and queries for every interface in the list. Starts with one reference.
template <typename First, typename... Rest>
class StandIn : public First, public Rest...
{
public:
  ACFRESULT QueryInterface(const acfIID& iid, void** out) override
  {
    if (!out)
      return ACF_E_UNEXPECTED;
    void* found = iid == IACFUnknown::kInterfaceID ? static_cast<First*>(this) : nullptr;
    for (void* candidate : {Match<First>(iid), Match<Rest>(iid)...})
      found = found ? found : candidate;
    *out = found;
    if (!found)
      return ACF_E_NOINTERFACE;
    AddRef();
    return ACF_OK;
  }
  uint32_t AddRef() override { return ++mRefs; }
  uint32_t Release() override
  {
    const uint32_t left = --mRefs;
    if (left == 0)
      delete this;
    return left;
  }
  IACFUnknown* Unknown() { return static_cast<First*>(this); }

protected:
  virtual ~StandIn() = default;

private:
  template <typename I>
  void* Match(const acfIID& iid)
  {
    return iid == I::kInterfaceID ? static_cast<I*>(this) : nullptr;
  }

  uint32_t mRefs = 1;
};

// Keeps assertion reports and traces; installed as the module-wide services for the scope's lifetime.
class RecordingServices : public StandIn<AAX_IHostServices>
{
public:
  struct Report
  {
    std::string path;
    int32_t line;
    std::string condition;
  };

  AAX_Result HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t /*flags*/) override
  {
    reports.push_back({path ? path : "", line, condition ? condition : ""});
    return AAX_SUCCESS;
  }
  AAX_Result Trace(int32_t /*priority*/, const char* message) override
  {
    traces.emplace_back(message ? message : "");
    return AAX_SUCCESS;
  }
  int Count(const std::string& condition) const
  {
    int n = 0;
    for (const Report& r : reports)
      n += r.condition == condition;
    return n;
  }

  std::vector<Report> reports;
  std::vector<std::string> traces;
};

class ScopedServices
{
public:
  ScopedServices() : mServices(new RecordingServices)
  {
    AAX_RemoveHostServices();
    AAX_InstallHostServices(mServices->Unknown());
  }
  ~ScopedServices()
  {
    AAX_RemoveHostServices();
    mServices->Release();
  }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

  RecordingServices& operator*() const { return *mServices; }
  RecordingServices* operator->() const { return mServices; }

private:
  RecordingServices* mServices;
};

inline std::string Event(const char* what, AAX_CParamID id)
{
  return std::string(what) + " " + (id ? id : "(null)");
}

inline std::string Event(const char* what, AAX_CParamID id, double value)
{
  char number[32];
  std::snprintf(number, sizeof(number), " %g", value);
  return Event(what, id) + number;
}

struct TransportValues
{
  double tempo = 120.0;
  bool playing = false;
  int32_t numerator = 4, denominator = 4;
  int64_t ticks = 0, sample = 0;
  bool looping = false;
  int64_t loopStart = 0, loopEnd = 0;
};

class StandInHost : public StandIn<AAX_IController, AAX_IAutomationDelegate, AAX_ITransport>
{
public:
  // --- controller
  AAX_Result GetSampleRate(double* rate) const override { return *rate = sampleRate, AAX_SUCCESS; }
  AAX_Result GetInputStemFormat(AAX_EStemFormat* format) const override { return *format = inputFormat, AAX_SUCCESS; }
  AAX_Result GetOutputStemFormat(AAX_EStemFormat* format) const override
  {
    return *format = outputFormat, AAX_SUCCESS;
  }
  AAX_Result SetSignalLatency(int32_t samples) override
  {
    latencies.push_back(samples);
    return AAX_SUCCESS;
  }
  AAX_Result PostPacket(AAX_CFieldIndex field, const void* data, uint32_t size) override
  {
    if (field == AAX_SIPlugRenderContext::eFieldStateNumber && size == sizeof(int64_t))
      stateNumbers.push_back(*static_cast<const int64_t*>(data));
    return AAX_SUCCESS;
  }
  AAX_Result GetEffectParameters(IACFUnknown** out) const override
  {
    *out = effect;
    if (effect)
      effect->AddRef();
    return AAX_SUCCESS;
  }

  // --- automation: a set-value request comes straight back as the effect's host update
  AAX_Result RegisterParameter(AAX_CParamID id) override { return Log(Event("register", id)); }
  AAX_Result UnregisterParameter(AAX_CParamID id) override { return Log(Event("unregister", id)); }
  AAX_Result PostSetValueRequest(AAX_CParamID id, double value) override
  {
    Log(Event("request", id, value));
    return effect ? effect->OnHostParamUpdate(id, value, AAX_eUpdateSource_Parameter) : AAX_SUCCESS;
  }
  AAX_Result PostCurrentValue(AAX_CParamID id, double value) override { return Log(Event("current", id, value)); }
  AAX_Result PostTouchRequest(AAX_CParamID id) override { return Log(Event("touch", id)); }
  AAX_Result PostReleaseRequest(AAX_CParamID id) override { return Log(Event("release", id)); }

  // --- transport
  AAX_Result GetCurrentTempo(double* bpm) const override { return Read(*bpm = transport.tempo); }
  AAX_Result IsTransportPlaying(bool* playing) const override { return Read(*playing = transport.playing); }
  AAX_Result GetCurrentMeter(int32_t* num, int32_t* den) const override
  {
    *num = transport.numerator;
    return Read(*den = transport.denominator);
  }
  AAX_Result GetCurrentTickPosition(int64_t* ticks) const override { return Read(*ticks = transport.ticks); }
  AAX_Result GetCurrentNativeSampleLocation(int64_t* sample) const override
  {
    return Read(*sample = transport.sample);
  }
  AAX_Result GetCurrentLoopPosition(bool* looping, int64_t* start, int64_t* end) const override
  {
    *looping = transport.looping;
    *start = transport.loopStart;
    return Read(*end = transport.loopEnd);
  }

  // events of one kind ("request", ...), in order
  std::vector<std::string> EventsOf(const std::string& kind) const
  {
    std::vector<std::string> found;
    for (const std::string& e : events)
      if (e.rfind(kind + " ", 0) == 0)
        found.push_back(e);
    return found;
  }

  double sampleRate = 44100.0;
  AAX_EStemFormat inputFormat = AAX_eStemFormat_Stereo;
  AAX_EStemFormat outputFormat = AAX_eStemFormat_Stereo;
  AAX_IEffectParameters* effect = nullptr; // no reference held
  TransportValues transport;
  mutable int transportReads = 0;
  std::vector<int32_t> latencies;
  std::vector<int64_t> stateNumbers;
  std::vector<std::string> events;

private:
  AAX_Result Log(std::string event)
  {
    events.push_back(std::move(event));
    return AAX_SUCCESS;
  }
  template <typename T>
  AAX_Result Read(const T&) const
  {
    ++transportReads;
    return AAX_SUCCESS;
  }
};

class StandInMidiNode : public AAX_IMIDINode
{
public:
  AAX_CMidiStream* GetNodeBuffer() override
  {
    stream.mBufferSize = static_cast<uint32_t>(input.size());
    stream.mBuffer = input.data();
    return &stream;
  }
  AAX_Result PostMIDIPacket(const AAX_CMidiPacket* packet) override
  {
    posted.push_back(*packet);
    return AAX_SUCCESS;
  }
  AAX_ITransport* GetTransport() override { return transport; }

  std::vector<AAX_CMidiPacket> input;
  std::vector<AAX_CMidiPacket> posted;
  AAX_ITransport* transport = nullptr;
  AAX_CMidiStream stream;
};

class StandInViewContainer : public StandIn<AAX_IViewContainer>
{
public:
  AAX_Result GetNativeParentWindow(void** window) const override
  {
    *window = parent;
    return AAX_SUCCESS;
  }
  AAX_Result SetViewSize(const AAX_Point& size) override
  {
    sizes.push_back(size);
    return AAX_SUCCESS;
  }
  AAX_Result GetModifiers(uint32_t* modifiers) const override { return *modifiers = 0, AAX_SUCCESS; }
  AAX_Result HandleParameterMouseDown(AAX_CParamID, uint32_t) override { return AAX_ERROR_UNIMPLEMENTED; }

  void* parent = this; // any non-null handle
  std::vector<AAX_Point> sizes;
};

} // namespace testsupport
