#include "IPlugAPIBase.h"

#include <cctype>
#include <cmath>
#include <cstring>

#include "IPlugUtilities.h"

namespace iplug {

namespace {

static_assert(eHostStandalone == 24 && eHostWaveLab == 31 && eHostWaveLabElements == 32 && eHostWww == 35 &&
                kNumHostKinds == 46,
              "host kinds are stored and compared by value");
static_assert(std::size(kHostNames) == kNumHostKinds - 1, "every known host has one text");

constexpr int kMaxHostNameLen = 255; // characters of a host name taken into account
constexpr int kMaxVersionTextLen = 32;
constexpr int kMaxBuildInfoLen = 256;
constexpr int kBytesPerStoredValue = 8;

std::string CutName(const std::string& name)
{
  return name.substr(0, kMaxConfigNameLen);
}

// Host names come from the host; anything past the first 255 characters is ignored.
std::string LowerCaseHostName(const char* name)
{
  std::string lower;
  if (!name)
    return lower;
  const size_t length = strnlen(name, kMaxHostNameLen);
  lower.reserve(length);
  for (size_t i = 0; i < length; ++i)
    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(name[i]))));
  return lower;
}

// Bounded so one busy producer cannot keep the user-interface thread in a tick forever:
// whatever arrives during the drain waits for the next tick.
template <typename Queue, typename Item, typename Deliver>
void DrainAvailable(Queue& queue, Item& item, Deliver deliver)
{
  for (int n = queue.ElementsAvailable(); n > 0 && queue.Pop(item); --n)
    deliver(item);
}

// A record takes at most kMaxSysexBytes; a null data pointer stands for zeroes.
bool FillSysexRecord(const ISysexMessage& msg, ISysexRecord& record)
{
  if (msg.mSize < 0 || msg.mSize > kMaxSysexBytes)
    return false;
  record.mOffset = msg.mOffset;
  record.mSize = msg.mSize;
  if (msg.mData)
    std::memcpy(record.mData, msg.mData, static_cast<size_t>(msg.mSize));
  else
    std::memset(record.mData, 0, sizeof(record.mData));
  return true;
}

} // namespace

const char* ApiName(EApiKind api)
{
  return api >= 0 && api < kNumApiKinds ? kApiNames[api] : "";
}

void VersionText(int32_t packed, std::string& text)
{
  text.clear();
  AppendFormat(text, kMaxVersionTextLen, "v%d.%d.%d", VersionMajor(packed), VersionMinor(packed), VersionBugfix(packed));
}

IPlugAPIBase::IPlugAPIBase(const IPluginConfig& config, EApiKind api)
  : IPluginBase(config)
  , mPluginName(CutName(config.pluginName))
  , mProductName(CutName(config.productName))
  , mMakerName(CutName(config.mfrName))
  , mBundleId(config.bundleID)
  , mUniqueId(config.uniqueID)
  , mMakerId(config.mfrID)
  , mVersion(config.vendorVersion)
  , mApiKind(api)
  , mHasEditor(config.plugHasUI)
  , mHostMayResize(config.plugHostResize)
{
  SetEditorSize(config.plugWidth, config.plugHeight);
  SetSizeConstraints(config.plugMinWidth, config.plugMaxWidth, config.plugMinHeight, config.plugMaxHeight);
}

IPlugAPIBase::~IPlugAPIBase()
{
  StopTimer();
}

// --- identity and host --------------------------------------------------------------

int32_t IPlugAPIBase::GetPluginVersion(bool decimal) const
{
  return decimal ? DecimalVersion(mVersion) : mVersion;
}

void IPlugAPIBase::GetPluginVersionText(std::string& text) const
{
  VersionText(mVersion, text);
}

void IPlugAPIBase::GetBuildInfo(std::string& text, const char* date, const char* time) const
{
  std::string version;
  GetPluginVersionText(version);
  text.clear();
  AppendFormat(text, kMaxBuildInfoLen, "%s %s (%s), built on %s at %.5s ", version.c_str(), GetApiName(),
               GetArchName(), date ? date : "", time ? time : "");
}

EHostKind IPlugAPIBase::IdentifyHost(const char* name)
{
  const std::string lower = LowerCaseHostName(name);
  for (const IHostName& entry : kHostNames)
  {
    if (lower.find(entry.text) != std::string::npos)
      return entry.host;
  }
  return eHostUnknown;
}

void IPlugAPIBase::SetHost(const char* name, int version)
{
  mHost = IdentifyHost(name);
  mHostVersion = version;
  PrepareForHost();
  OnHostKnown();
}

int32_t IPlugAPIBase::GetHostVersion(bool decimal) const
{
  return decimal ? DecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugAPIBase::GetHostVersionText(std::string& text) const
{
  VersionText(mHostVersion, text);
}

// --- idle timer ---------------------------------------------------------------------

void IPlugAPIBase::CreateTimer()
{
  StopTimer();
  mTimer = MakeTimer([this](Timer& timer) { OnTimerTick(timer); }, kIdleTimerMs);
}

void IPlugAPIBase::StopTimer()
{
  if (!mTimer)
    return;
  mTimer->Stop();
  mTimer.reset();
}

void IPlugAPIBase::OnTimerTick(Timer& timer)
{
  (void)timer;
  if (mHasEditor)
    DrainQueuesToEditor();
  OnPluginIdle();
}

void IPlugAPIBase::DrainQueuesToEditor()
{
  IParamTransfer transfer;
  DrainAvailable(mParamsToEditor, transfer,
                 [this](const IParamTransfer& t) { SendParamValueToEditor(t.mIdx, t.mValue, false); });
  IMidiMessage midi;
  DrainAvailable(mMidiToEditor, midi, [this](const IMidiMessage& m) { SendMidiToEditor(m); });
  // not the scratch record: the editor may answer with a SysEx of its own while this one is read
  ISysexRecord sysex;
  DrainAvailable(mSysexToEditor, sysex, [this](const ISysexRecord& r) { SendSysexToEditor(r.View()); });
}

// --- editor -> plug-in and host -----------------------------------------------------

void IPlugAPIBase::BeginUIParamChange(int paramIdx)
{
  BeginHostParamGesture(paramIdx);
}

void IPlugAPIBase::EndUIParamChange(int paramIdx)
{
  EndHostParamGesture(paramIdx);
}

void IPlugAPIBase::SetParamFromEditor(int paramIdx, double normalized)
{
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  param->SetFromNormalized(normalized);
  // a host must never see a position outside 0..1 (or NaN): it gets where the parameter went
  const bool usable = normalized >= 0.0 && normalized <= 1.0;
  NotifyHostOfParamChange(paramIdx, usable ? normalized : param->NormalizedValue());
  OnParamChange(paramIdx, eFromUI, kNoSampleOffset);
}

void IPlugAPIBase::SendUIParamValue(int paramIdx, double normalized)
{
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  SetParamFromEditor(paramIdx, normalized);
  // again: the host answers the notification with its own update, and the editor's value wins
  param->SetFromNormalized(normalized);
  OnParamChangeForEditor(paramIdx, eFromUI);
}

void IPlugAPIBase::NotifyHostOfAllParams()
{
  for (int i = 0; i < NParams(); ++i)
    NotifyHostOfParamChange(i, GetParam(i)->NormalizedValue());
}

bool IPlugAPIBase::RequestEditorResize(int width, int height, bool needsPlatformResize)
{
  return needsPlatformResize ? ResizeEditorWindow(width, height) : true;
}

void IPlugAPIBase::SendMidiFromEditor(const IMidiMessage& msg)
{
  QueueMidiFromEditor(msg);
}

void IPlugAPIBase::SendSysexFromEditor(const ISysexMessage& msg)
{
  QueueSysexFromEditor(msg);
}

void IPlugAPIBase::SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* data)
{
  OnEditorMessage(msgTag, ctrlTag, dataSize, data);
}

void IPlugAPIBase::QueueMidiFromEditor(const IMidiMessage& msg)
{
  mMidiFromEditor.Push(msg);
}

void IPlugAPIBase::QueueSysexFromEditor(const ISysexMessage& msg)
{
  if (FillSysexRecord(msg, mSysexScratch))
    mSysexFromEditor.Push(mSysexScratch);
}

// --- host side ----------------------------------------------------------------------

void IPlugAPIBase::SetParamFromHost(int paramIdx, double value, bool normalized)
{
  IParam* param = GetParam(paramIdx);
  // a NaN or infinity from a host changes nothing
  if (!param || !std::isfinite(value))
    return;
  param->SetRealValue(normalized ? param->NormalizedToReal(value) : value);
  QueueParamValueForEditor(paramIdx, param->RealValue(), false);
  OnParamChange(paramIdx, eFromHost, kNoSampleOffset);
}

void IPlugAPIBase::QueueParamValueForEditor(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  mParamsToEditor.Push({paramIdx, normalized ? param->NormalizedToReal(value) : value});
}

bool IPlugAPIBase::QueueMidiForEditor(const IMidiMessage& msg)
{
  return mMidiToEditor.Push(msg);
}

bool IPlugAPIBase::QueueSysexForEditor(const ISysexMessage& msg)
{
  ISysexRecord record;
  return FillSysexRecord(msg, record) && mSysexToEditor.Push(record);
}

bool IPlugAPIBase::PopMidiFromEditor(IMidiMessage& msg)
{
  return mMidiFromEditor.Pop(msg);
}

bool IPlugAPIBase::PopSysexFromEditor(ISysexRecord& record)
{
  return mSysexFromEditor.Pop(record);
}

// --- state comparison ---------------------------------------------------------------

bool IPlugAPIBase::CompareStateChecked(const uint8_t* data, int dataSize, int startIdx) const
{
  if (!data || startIdx < 0)
    return false;
  const int64_t needed = (static_cast<int64_t>(startIdx) + NParams()) * kBytesPerStoredValue;
  return needed <= dataSize && CompareState(data, startIdx);
}

bool IPlugAPIBase::CompareState(const uint8_t* data, int startIdx) const
{
  if (!data || startIdx < 0)
    return false;
  const uint8_t* values = data + static_cast<size_t>(startIdx) * kBytesPerStoredValue;
  bool equal = true;
  for (int i = 0; i < NParams(); ++i)
  {
    double stored = 0.0;
    std::memcpy(&stored, values + static_cast<size_t>(i) * kBytesPerStoredValue, sizeof(stored));
    const float difference = static_cast<float>(GetParam(i)->RealValue()) - static_cast<float>(stored);
    equal &= std::fabs(difference) < kCompareStateTolerance;
  }
  return equal;
}

// --- reserved slots -----------------------------------------------------------------

void IPlugAPIBase::ReservedParamIndexList(int n, std::vector<int32_t>& list) const
{
  if (n >= NParams())
    return;
  for (int i = 0; i < n; ++i)
    list.push_back(i);
}

bool IPlugAPIBase::ReservedParamPredicate(int a, int b) const
{
  return static_cast<int64_t>(a) + b == 0;
}

bool IPlugAPIBase::ReservedTextQuery(std::string& text) const
{
  text.clear();
  return false;
}

int IPlugAPIBase::ReservedTripleQuery(int32_t& a, int32_t& b, int32_t& c) const
{
  a = b = c = 0;
  return 0;
}

} // namespace iplug
