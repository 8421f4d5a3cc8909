#pragma once
// The audio side of a plug-in: accepted channel configurations, per-channel
// double-precision working buffers, sample rate, block size, latency and transport.
#include <array>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "IPlugConfig.h"
#include "IPlugMidi.h"
#include "IPlugStructs.h"

namespace iplug {

class IPlugProcessor
{
public:
  explicit IPlugProcessor(const IPluginConfig& config);
  virtual ~IPlugProcessor();
  IPlugProcessor(const IPlugProcessor&) = delete;
  IPlugProcessor& operator=(const IPlugProcessor&) = delete;

  // --- hooks, in this order ---
  // [audio thread] default: copies input i to output i, zeroes the remaining outputs
  virtual void ProcessAudio(double** inputs, double** outputs, int nFrames);
  // [audio thread] default: passes the message on to EmitMidiMessage
  virtual void HandleMidiMessage(const IMidiMessage& msg);
  // [audio thread]
  virtual void HandleSysEx(const ISysexMessage& msg);
  // [audio thread] called after a sample-rate or block-size change
  virtual void ResetProcessing();
  virtual void ActivationChanged(bool active);
  // [audio thread] the binding queues the message; returns false when it was dropped
  virtual bool EmitMidiMessage(const IMidiMessage& msg) = 0;
  // true only if every message was accepted
  virtual bool EmitMidiMessages(std::span<const IMidiMessage> msgs);
  // default: no system-exclusive output, returns false
  virtual bool EmitSysEx(const ISysexMessage& msg);
  // [any thread] name of a bus for the host's routing display
  virtual void BusName(ERouteDirection dir, int busIdx, int nBuses, std::string& name) const;
  // sets the latency and resizes the bypass delay line (allocates when it grows)
  virtual void ApplyLatency(int samples);

  // --- channel configurations (fixed after construction) ---
  // Parses "1-1 2-2"-style text into configs; returns the number of configurations.
  static int ParseChannelIO(std::string_view text, std::vector<IIOConfig>& configs, int& maxNInputs,
                            int& maxNOutputs, int& maxNInBuses, int& maxNOutBuses);
  // a negative count matches any total of that direction
  bool LegalIO(int nInputs, int nOutputs) const;
  // configIdx receives the last configuration with that many buses (-1 if there are none)
  int MostBuses(ERouteDirection dir, int* configIdx = nullptr) const;
  // -1 when the first configuration has a wildcard bus of that direction
  int MostChannelsOnBus(ERouteDirection dir, int busIdx) const;
  // returns the first configuration with exactly these channels per bus, or -1
  int FindConfigForBuses(std::span<const int> inChansPerBus, std::span<const int> outChansPerBus) const;
  int NIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }
  const IIOConfig* GetIOConfig(int idx) const;

  // --- channels [audio thread, no allocation] ---
  int NChannels(ERouteDirection dir) const;
  int ConnectedChannelCount(ERouteDirection dir) const;
  bool IsChannelConnected(ERouteDirection dir, int chIdx) const;
  void ConnectChannels(ERouteDirection dir, int first, int count, bool connected);
  // one host pointer per connected channel in the range; a null pointer reads as silence / writes nowhere
  void AttachHostBuffers(ERouteDirection dir, int first, int count, float* const* hostBuffers, int nFrames);
  // frames beyond the block size are not processed but silenced; nothing is written
  // past the length given with an output's host buffer
  void RunBlock(int nFrames);
  void RunBypassed(int nFrames);
  void ClearScratch();

  // [audio thread, allocates] resizes every scratch buffer; negative sizes are ignored
  void ChangeBlockSize(int nFrames);
  // [host main thread] creates the bypass delay line when there are input channels;
  // reserveSamples keeps later ApplyLatency calls up to that length allocation-free
  bool CreateLatencyDelay(int reserveSamples = 0);

  void LabelChannels(ERouteDirection dir, int chIdx, const char* format, bool zeroBased);
  const char* GetChannelLabel(ERouteDirection dir, int chIdx) const;

  // --- values ---
  double GetSampleRate() const { return mSampleRate; }
  // non-positive or non-finite rates are ignored
  void SetSampleRate(double sampleRate);
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  const ITransportInfo& GetTransportInfo() const { return mTimeInfo; }
  void SetRenderingOffline(bool offline) { mRenderingOffline = offline; }
  bool GetRenderingOffline() const { return mRenderingOffline; }
  EPlugKind GetPlugKind() const { return mPlugKind; }
  bool DoesMidiIn() const { return mDoesMidiIn; }
  bool DoesMidiOut() const { return mDoesMidiOut; }
  bool DoesMPE() const { return mDoesMpe; }
  // 0 when the tempo is unknown or not positive
  double SamplesPerBeat() const;

protected:
  ITransportInfo mTimeInfo;
  std::array<std::vector<IChannelData>, kNumRouteDirections> mChannelData;
  // never resized after construction: each IChannelData holds the address of its slot
  std::array<std::vector<double*>, kNumRouteDirections> mChannelPointers;
  std::unique_ptr<IDelayLine> mLatencyDelay;

private:
  void CopyInputsToOutputs(int nFrames);
  void RunLatencyDelay(int nFrames);
  // writes processed frames back to the host and silences the frames beyond them
  void WriteHostOutputs(int nProcessed, int nRequested);
  void ResizeLatencyDelay(int samples);
  int ClampFrames(int nFrames) const;
  IChannelData* Channel(ERouteDirection dir, int chIdx);
  const IChannelData* Channel(ERouteDirection dir, int chIdx) const;

  EPlugKind mPlugKind = eEffect;
  bool mDoesMidiIn = false;
  bool mDoesMidiOut = false;
  bool mDoesMpe = false;
  int mLatency = 0;
  double mSampleRate = 48000.0;
  int mBlockSize = 0;
  bool mRenderingOffline = false;
  std::vector<IIOConfig> mIOConfigs;
};

} // namespace iplug
