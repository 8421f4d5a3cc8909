#pragma once
// The base every host binding derives from: the plug-in's identity, host identification,
// the routing of parameter changes between editor and host, the lock-free queues that
// carry values to and from the editor, and the 20 ms idle tick that drains them.
// Operations that need a host do nothing or fail here; the binding overrides them.
// Unless tagged otherwise, every operation runs on the user-interface thread.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "IPlugConfig.h"
#include "IPlugMidi.h"
#include "IPlugPluginBase.h"
#include "ITransferQueue.h"
#include "Timer.h"

namespace iplug {

enum EApiKind : int32_t
{
  eApiVST2 = 0,
  eApiVST3,
  eApiAU,
  eApiAUv3,
  eApiAAX,
  eApiAPP,
  eApiWAM,
  eApiWEB,
  eApiLV2,
  kNumApiKinds
};

inline constexpr const char* kApiNames[kNumApiKinds] = {"VST2", "VST3", "AU", "AUv3", "AAX", "APP", "WAM", "WEB", "LV2"};

// "" for a value outside the list
const char* ApiName(EApiKind api);

enum EHostKind : int32_t
{
  eHostNotIdentified = -1,
  eHostUnknown = 0,
  eHostReaper,
  eHostProTools,
  eHostCubase,
  eHostNuendo,
  eHostCakewalk,
  eHostVegas,
  eHostFruity,
  eHostSamplitude,
  eHostLive,
  eHostTracktion,
  eHostNTracks,
  eHostMelodyne,
  eHostVstManLib,
  eHostAULab,
  eHostForte,
  eHostChainer,
  eHostAudition,
  eHostOrion,
  eHostBias,
  eHostSawStudio,
  eHostLogic,
  eHostGarageBand,
  eHostDigital,
  eHostStandalone,
  eHostAudioMulch,
  eHostPresonus,
  eHostVst3PluginTestHost,
  eHostArdour,
  eHostRenoise,
  eHostOpenMpt,
  eHostWaveLab,
  eHostWaveLabElements,
  eHostTwistedWave,
  eHostBitwigStudio,
  eHostWww,
  eHostReason,
  eHostGwVst,
  eHostWaveform,
  eHostAudacity,
  eHostAcoustica,
  eHostPluginDoctor,
  eHostIZotopeRx,
  eHostSaviHost,
  eHostBlueCatVstHost,
  eHostMixbus,
  kNumHostKinds
};

// A host and the lower-case text whose presence in its name identifies it.
struct IHostName
{
  EHostKind host;
  const char* text;
};

// Search order: a text that contains another ("wavelab elements", "wavelab") comes first,
// and the short ones that hide inside other names ("standalone", "www") come last.
inline constexpr IHostName kHostNames[] = {
  {eHostReaper, "reaper"},
  {eHostProTools, "protools"},
  {eHostCubase, "cubase"},
  {eHostNuendo, "nuendo"},
  {eHostCakewalk, "cakewalk"},
  {eHostVegas, "vegas"},
  {eHostFruity, "fruity"},
  {eHostSamplitude, "samplitude"},
  {eHostLive, "live"},
  {eHostTracktion, "tracktion"},
  {eHostNTracks, "ntracks"},
  {eHostMelodyne, "melodyne"},
  {eHostVstManLib, "vstmanlib"},
  {eHostAULab, "aulab"},
  {eHostForte, "forte"},
  {eHostChainer, "chainer"},
  {eHostAudition, "audition"},
  {eHostOrion, "orion"},
  {eHostBias, "bias"},
  {eHostSawStudio, "sawstudio"},
  {eHostLogic, "logic"},
  {eHostGarageBand, "garageband"},
  {eHostDigital, "digital"},
  {eHostAudioMulch, "audiomulch"},
  {eHostPresonus, "presonus"},
  {eHostVst3PluginTestHost, "vst3plugintesthost"},
  {eHostArdour, "ardour"},
  {eHostRenoise, "renoise"},
  {eHostOpenMpt, "openmpt"},
  {eHostWaveLabElements, "wavelab elements"},
  {eHostWaveLab, "wavelab"},
  {eHostTwistedWave, "twistedwave"},
  {eHostBitwigStudio, "bitwig studio"},
  {eHostReason, "reason"},
  {eHostGwVst, "gwvst"},
  {eHostWaveform, "waveform"},
  {eHostAudacity, "audacity"},
  {eHostAcoustica, "acoustica"},
  {eHostPluginDoctor, "plugindoctor"},
  {eHostIZotopeRx, "izotope rx"},
  {eHostSaviHost, "savihost"},
  {eHostBlueCatVstHost, "blue cat's vst host"},
  {eHostMixbus, "mixbus"},
  {eHostStandalone, "standalone"},
  {eHostWww, "www"},
};

// --- packed versions: bits 16-31 major, 8-15 minor, 0-7 bugfix ---
constexpr int32_t PackVersion(int major, int minor, int bugfix)
{
  return static_cast<int32_t>((static_cast<uint32_t>(major & 0xFFFF) << 16) | (static_cast<uint32_t>(minor & 0xFF) << 8) |
                              static_cast<uint32_t>(bugfix & 0xFF));
}
constexpr int VersionMajor(int32_t packed) { return static_cast<int>((static_cast<uint32_t>(packed) >> 16) & 0xFFFF); }
constexpr int VersionMinor(int32_t packed) { return static_cast<int>((static_cast<uint32_t>(packed) >> 8) & 0xFF); }
constexpr int VersionBugfix(int32_t packed) { return static_cast<int>(static_cast<uint32_t>(packed) & 0xFF); }
// major * 10000 + minor * 100 + bugfix
constexpr int32_t DecimalVersion(int32_t packed)
{
  return VersionMajor(packed) * 10000 + VersionMinor(packed) * 100 + VersionBugfix(packed);
}
// "v%d.%d.%d"
void VersionText(int32_t packed, std::string& text);

constexpr int kMaxConfigNameLen = 128; // plug-in, product and maker names
constexpr int kIdleTimerMs = 20;
constexpr int kParamTransferQueueSize = 512;
constexpr int kMidiTransferQueueSize = 32;
constexpr int kSysexTransferQueueSize = 4;
constexpr double kCompareStateTolerance = 1e-5; // after rounding both sides to float

class IPlugAPIBase : public IPluginBase
{
public:
  IPlugAPIBase(const IPluginConfig& config, EApiKind api);
  ~IPlugAPIBase() override;

  // --- identity ---
  const char* GetPluginName() const { return mPluginName.c_str(); }
  const char* GetProductName() const { return mProductName.c_str(); }
  const char* GetMakerName() const { return mMakerName.c_str(); }
  const char* GetBundleID() const { return mBundleId.c_str(); }
  int32_t GetUniqueID() const { return mUniqueId; }
  int32_t GetMakerID() const { return mMakerId; }
  bool HasEditor() const { return mHasEditor; }
  bool HostMayResize() const { return mHostMayResize; }
  EApiKind GetAPI() const { return mApiKind; }
  const char* GetApiName() const { return ApiName(mApiKind); }
  static const char* GetArchName() { return "x86-64"; }
  // the packed value, or its decimal form
  int32_t GetPluginVersion(bool decimal) const;
  void GetPluginVersionText(std::string& text) const;
  // "<version> <api> (<arch>), built on <date> at <hh:mm> "
  void GetBuildInfo(std::string& text, const char* date, const char* time) const;

  // --- host ---
  // eHostUnknown for a name (or null) that matches no known host
  static EHostKind IdentifyHost(const char* name);
  void SetHost(const char* name, int version);
  EHostKind GetHost() const { return mHost; }
  int32_t GetHostVersion(bool decimal) const;
  void GetHostVersionText(std::string& text) const;

  // --- idle timer ---
  // called by the binding once the object is complete, on the thread that runs the editor;
  // the tick then runs there every 20 ms
  void CreateTimer();
  // a binding stops the tick in its own destructor, before its part of the object is gone
  void StopTimer();
  // drains the queues to the editor (when there is one), then OnPluginIdle()
  void OnTimerTick(Timer& timer);

  // --- editor -> plug-in and host ---
  void BeginUIParamChange(int paramIdx) override;
  void SendUIParamValue(int paramIdx, double normalized) override;
  void EndUIParamChange(int paramIdx) override;
  // the parameter, the host's view of it, then the change hook (eFromUI)
  void SetParamFromEditor(int paramIdx, double normalized);
  void NotifyHostOfAllParams() override;
  bool RequestEditorResize(int width, int height, bool needsPlatformResize) override;
  void SendMidiFromEditor(const IMidiMessage& msg) override;
  void SendSysexFromEditor(const ISysexMessage& msg) override;
  void SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* data) override;
  // dropped when the queue is full
  void QueueMidiFromEditor(const IMidiMessage& msg) override;
  // dropped when the queue is full or the message is larger than a record
  void QueueSysexFromEditor(const ISysexMessage& msg) override;

  // --- host -> plug-in [the host's parameter thread, lock-free; one such thread] ---
  // limits and stores the value, queues it for the editor, then runs the change hook (eFromHost)
  void SetParamFromHost(int paramIdx, double value, bool normalized);

  // --- processing side [audio thread, lock-free] ---
  // false when the queue was full and the message dropped
  bool QueueMidiForEditor(const IMidiMessage& msg);
  // false when dropped (queue full, or larger than a record)
  bool QueueSysexForEditor(const ISysexMessage& msg);
  // false when nothing is waiting
  bool PopMidiFromEditor(IMidiMessage& msg);
  bool PopSysexFromEditor(ISysexRecord& record);

  // data must hold 8 * (startIdx + NParams()) bytes; false when it is shorter
  bool CompareStateChecked(const uint8_t* data, int dataSize, int startIdx) const;

  // --- host-dependent operations, in this order ---
  // [host thread] true when data + 8 * startIdx holds every parameter's value (compared as floats)
  virtual bool CompareState(const uint8_t* data, int startIdx) const;
  virtual bool ReservedApiQuery1() const { return false; }
  virtual bool ReservedApiQuery2() const { return false; }
  virtual void OnHostKnown() {}
  // appends 0..n-1 when n is below the parameter count
  virtual void ReservedParamIndexList(int n, std::vector<int32_t>& list) const;
  virtual bool ReservedParamPredicate(int a, int b) const;
  virtual void ReservedApiHook() {}
  virtual bool ReservedTextQuery(std::string& text) const;
  // null while the editor is closed
  virtual igraphics::IGraphics* GetEditorView() const { return GetUI(); }
  virtual void OnPluginIdle() {}
  virtual int ReservedTripleQuery(int32_t& a, int32_t& b, int32_t& c) const;
  virtual void GetTrackName(std::string& /*name*/) {}
  virtual int ReservedHostQuery1() { return 0; }
  virtual void ReservedHostHook1() {}
  virtual int ReservedHostQuery2() { return 0; }
  // [the host's parameter thread, lock-free; one such thread] dropped when the queue is full
  virtual void QueueParamValueForEditor(int paramIdx, double value, bool normalized);
  virtual void PrepareForHost() {}
  // returns true when the host resized the editor window
  virtual bool ResizeEditorWindow(int /*width*/, int /*height*/) { return false; }
  virtual void BeginHostParamGesture(int /*paramIdx*/) {}
  virtual void EndHostParamGesture(int /*paramIdx*/) {}
  virtual void NotifyHostOfParamChange(int /*paramIdx*/, double /*normalized*/) {}
  virtual void ReservedHostHook2() {}
  virtual void ReservedHostHook3() {}

protected:
  std::string mPluginName;
  std::string mProductName;
  std::string mMakerName;
  std::string mBundleId;
  int32_t mUniqueId = 0;
  int32_t mMakerId = 0;
  int32_t mVersion = 0;
  EApiKind mApiKind;
  bool mHasEditor = false;
  bool mHostMayResize = false;
  EHostKind mHost = eHostNotIdentified;
  int32_t mHostVersion = 0;
  std::unique_ptr<Timer> mTimer;

  ITransferQueue<IParamTransfer, kParamTransferQueueSize> mParamsToEditor;
  ITransferQueue<IMidiMessage, kMidiTransferQueueSize> mMidiFromEditor;
  ITransferQueue<IMidiMessage, kMidiTransferQueueSize> mMidiToEditor;
  ITransferQueue<ISysexRecord, kSysexTransferQueueSize> mSysexFromEditor;
  ITransferQueue<ISysexRecord, kSysexTransferQueueSize> mSysexToEditor;
  ISysexRecord mSysexScratch; // editor side only

private:
  void DrainQueuesToEditor();
};

} // namespace iplug
