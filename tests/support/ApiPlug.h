#pragma once
// A plug-in on the host-facing base with four parameters of different kinds and two
// preset slots. It logs what reaches the host-dependent operations and the hooks, in
// order, as short texts ("begin 1", "notify 1 0.25", "change 1 UI", ...).
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "IPlugAPIBase.h"

namespace testsupport {

class ApiPlug : public iplug::IPlugAPIBase
{
public:
  enum
  {
    kGain = 0, // -12..12 dB, group "Main"
    kMix,      // 0..100 %, group "Main"
    kMode,     // three choices, group "Aux"
    kBypass,   // switch, group "Aux"
    kNumParams
  };
  static constexpr int32_t kUniqueId = 0x54737431; // 'Tst1'
  static constexpr int32_t kVersion = 0x00010203;  // v1.2.3

  static iplug::IPluginConfig Config(bool stateChunks = true)
  {
    iplug::IPluginConfig c;
    c.nParams = kNumParams;
    c.nPresets = 2;
    c.pluginName = "ApiPlug";
    c.productName = "ApiPlug Product";
    c.mfrName = "Tester";
    c.vendorVersion = kVersion;
    c.uniqueID = kUniqueId;
    c.mfrID = 0x54657374; // 'Test'
    c.plugDoesChunks = stateChunks;
    c.plugHasUI = true;
    c.plugWidth = 400;
    c.plugHeight = 300;
    c.plugMinWidth = 800; // bounds deliberately given largest first
    c.plugMaxWidth = 200;
    c.plugMinHeight = 600;
    c.plugMaxHeight = 150;
    return c;
  }

  explicit ApiPlug(bool stateChunks = true) : ApiPlug(Config(stateChunks)) {}
  explicit ApiPlug(const iplug::IPluginConfig& config) : IPlugAPIBase(config, iplug::eApiAAX)
  {
    GetParam(kGain)->DefineContinuous("Gain", 0.0, -12.0, 12.0, 0.1, "dB", 0, "Main");
    GetParam(kMix)->DefineContinuous("Mix", 50.0, 0.0, 100.0, 0.1, "%", 0, "Main");
    GetParam(kMode)->DefineChoice("Mode", 0, {"A", "B", "C"}, 0, "Aux");
    GetParam(kBypass)->DefineSwitch("Bypass", false, "", 0, "Aux");
  }

  void BeginHostParamGesture(int idx) override { Log("begin " + std::to_string(idx)); }
  void EndHostParamGesture(int idx) override { Log("end " + std::to_string(idx)); }
  void NotifyHostOfParamChange(int idx, double normalized) override
  {
    char text[64];
    std::snprintf(text, sizeof(text), "notify %d %g", idx, normalized);
    Log(text);
    if (mHostAnswer)
      mHostAnswer(idx, normalized);
  }
  void OnParamChange(int idx, iplug::EChangeSource source, int offset) override
  {
    Log("change " + std::to_string(idx) + " " + iplug::ChangeSourceName(source));
    IPlugAPIBase::OnParamChange(idx, source, offset);
  }
  void OnParamChangeForEditor(int idx, iplug::EChangeSource source) override
  {
    Log("editor " + std::to_string(idx) + " " + iplug::ChangeSourceName(source));
  }
  void SendParamValueToEditor(int idx, double value, bool normalized) override
  {
    mDeliveries.push_back({idx, value, normalized, std::this_thread::get_id()});
    IPlugAPIBase::SendParamValueToEditor(idx, value, normalized);
  }
  void OnMidiForEditor(const iplug::IMidiMessage& msg) override { mMidiToEditor.push_back(msg); }
  void OnSysexForEditor(const iplug::ISysexMessage& msg) override
  {
    mSysexToEditor.emplace_back(msg.mData, msg.mData + msg.mSize);
  }
  void PrepareForHost() override { Log("prepare"); }
  void OnHostKnown() override { Log("known"); }
  void OnPluginIdle() override { ++mIdleCount; }
  void NotifyHostOfPresetChange() override { ++mPresetNotifications; }

  struct Delivery
  {
    int idx;
    double value;
    bool normalized;
    std::thread::id thread;
  };

  // off for tests where a host thread runs the hooks while the editor thread ticks
  bool mLogging = true;
  std::vector<std::string> mLog;
  std::vector<Delivery> mDeliveries;
  std::vector<iplug::IMidiMessage> mMidiToEditor;
  std::vector<std::vector<uint8_t>> mSysexToEditor;
  int mIdleCount = 0;
  int mPresetNotifications = 0;
  // what the "host" does when told about a change (a real one answers with its own update)
  std::function<void(int, double)> mHostAnswer;

  // the protected pieces a test reaches into
  using IPlugAPIBase::mHasEditor;

private:
  void Log(const std::string& entry)
  {
    if (mLogging)
      mLog.push_back(entry);
  }
};

} // namespace testsupport
