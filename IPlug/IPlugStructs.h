#pragma once
// Plain records of the processing frame: transport, buses, channel configurations,
// per-channel data and the bypass delay line.
#include <array>
#include <cstdint>
#include <vector>

namespace iplug {

enum ERouteDirection : int32_t
{
  eRouteInput = 0,
  eRouteOutput = 1
};
constexpr int kNumRouteDirections = 2;

enum EPlugKind : int32_t
{
  eEffect = 0,
  eInstrument = 1,
  eMidiEffect = 2
};

// channel count of a wildcard bus ("*")
constexpr int kAnyChannels = -64;

// longest channel label or bus name, without the terminator
constexpr int kMaxChannelLabelLength = 32;

// Written by the host binding before each block; -1 positions mean "unknown".
struct ITransportInfo
{
  double mTempo = 120.0;
  double mSamplePos = -1.0;
  double mPPQPos = -1.0;
  double mLastBar = -1.0;
  double mCycleStart = -1.0;
  double mCycleEnd = -1.0;
  int32_t mNumerator = 4;
  int32_t mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
  bool mRecording = false; // never set by this system
  bool mPunchIn = false;   // never set by this system
};

struct IBusInfo
{
  ERouteDirection mDirection = eRouteInput;
  int32_t mNChans = 0; // kAnyChannels for a wildcard bus
};

// One accepted channel configuration: its input and its output buses.
struct IIOConfig
{
  std::array<std::vector<IBusInfo>, kNumRouteDirections> mBusInfo;

  int NBuses(ERouteDirection dir) const;
  // 0 for a bus this configuration does not have
  int NChansOnBus(ERouteDirection dir, int busIdx) const;
  // sum of the bus counts, a wildcard counting kAnyChannels
  int TotalNChannels(ERouteDirection dir) const;
  bool ContainsWildcard(ERouteDirection dir) const;
};

struct IChannelData
{
  bool mConnected = false;
  double** mSlot = nullptr;      // this channel's entry in its direction's pointer array
  float* mHostBuffer = nullptr;  // output channels: where the block is written back
  int mHostFrames = 0;           // length the host gave with mHostBuffer; never written past
  std::vector<double> mScratch;  // sized only by ChangeBlockSize
  std::array<char, kMaxChannelLabelLength + 1> mLabel{}; // fixed, so labelling never allocates
};

// Delays the bypassed signal by the reported latency. mBuffer holds
// mLength frames of mNInputs interleaved samples.
struct IDelayLine
{
  std::vector<double> mBuffer;
  int32_t mNInputs = 0;
  int32_t mNOutputs = 0;
  int32_t mWritePos = 0;
  int32_t mLength = 0;
};

} // namespace iplug
