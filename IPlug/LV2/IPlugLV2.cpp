#include "IPlugLV2.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

namespace iplug {

namespace {

const void* FindFeature(const LV2_Feature* const* features, const char* uri)
{
  for (const LV2_Feature* const* f = features; f && *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0)
      return (*f)->data;
  return nullptr;
}

constexpr ERouteDirection kDirections[] = {eRouteInput, eRouteOutput};

} // namespace

IPlugLV2::IPlugLV2(const IPluginConfig& config, const InstanceInfo& info, int maxLatency)
  : IPlugAPIBase(config, eApiLV2), IPlugProcessor(config)
{
  SetSampleRate(info.sampleRate);
  ReadFeatures(info.features);

  const std::vector<LV2Variant> variants = LV2Variants(*this, *this);
  for (const LV2Variant& v : variants)
    if (v.ioConfigIdx == info.ioConfigIdx)
      mVariant = v;
  ConnectVariantChannels();

  if (NChannels(eRouteInput) > 0)
    CreateLatencyDelay(std::max(maxLatency, config.latency));
  const int hostBlock = mHostBlockLength > 0 ? mHostBlockLength : kDefaultBlockSize;
  ChangeBlockSize(std::clamp(hostBlock, 1, kMaxBlockSize));
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::ReadFeatures(const LV2_Feature* const* features)
{
  const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
  if (!map || !map->map)
    return; // without URIDs neither the state nor the options can be read

  const auto urid = [map](const char* uri) { return map->map(map->handle, uri); };
  mUrids.stateKey = urid(LV2StateURI(*this).c_str());
  mUrids.atomChunk = urid(LV2_ATOM__Chunk);
  mUrids.atomInt = urid(LV2_ATOM__Int);
  mUrids.atomLong = urid(LV2_ATOM__Long);
  mUrids.maxBlockLength = urid(LV2_BUF_SIZE__maxBlockLength);
  mUrids.nominalBlockLength = urid(LV2_BUF_SIZE__nominalBlockLength);
  mHostBlockLength = HostBlockLength(FindFeature(features, LV2_OPTIONS__options));
}

// the maximum block length, else the nominal one, else 0
int IPlugLV2::HostBlockLength(const void* optionsFeature) const
{
  int maxLength = 0;
  int nominal = 0;
  for (const auto* o = static_cast<const LV2_Options_Option*>(optionsFeature); o && (o->key || o->value); ++o)
  {
    if (!o->value || (o->key != mUrids.maxBlockLength && o->key != mUrids.nominalBlockLength))
      continue;
    int64_t length = 0;
    if (o->type == mUrids.atomInt && o->size >= sizeof(int32_t))
      length = *static_cast<const int32_t*>(o->value);
    else if (o->type == mUrids.atomLong && o->size >= sizeof(int64_t))
      length = *static_cast<const int64_t*>(o->value);
    const int clamped = static_cast<int>(std::clamp<int64_t>(length, 0, kMaxBlockSize));
    (o->key == mUrids.maxBlockLength ? maxLength : nominal) = clamped;
  }
  return maxLength > 0 ? maxLength : nominal;
}

void IPlugLV2::ConnectVariantChannels()
{
  for (ERouteDirection dir : kDirections)
  {
    const int n = dir == eRouteInput ? mVariant.nInputs : mVariant.nOutputs;
    ConnectChannels(dir, 0, n, true);
    ConnectChannels(dir, n, NChannels(dir) - n, false);
  }
  mAudioIn.assign(static_cast<size_t>(mVariant.nInputs), nullptr);
  mAudioOut.assign(static_cast<size_t>(mVariant.nOutputs), nullptr);
  mInPiece = mAudioIn;
  mOutPiece = mAudioOut;
}

void IPlugLV2::LV2Instantiated()
{
  // the parameters are defined only once the plug-in's own constructor has run
  mPorts = LV2Ports(*this, mVariant);
  mControls.clear();
  mControlOfPort.assign(mPorts.size(), -1);
  for (size_t i = 0; i < mPorts.size(); ++i)
  {
    if (mPorts[i].kind != ELV2PortKind::eControl)
      continue;
    mControlOfPort[i] = static_cast<int>(mControls.size());
    mControls.push_back({nullptr, mPorts[i].paramIdx});
  }
  SetHost("", 0); // LV2 does not name its host
  ResetProcessing();
}

void IPlugLV2::LV2ConnectPort(uint32_t port, void* data)
{
  if (port >= mPorts.size())
    return;
  const LV2Port& p = mPorts[port];
  float* buffer = static_cast<float*>(data);
  switch (p.kind)
  {
    case ELV2PortKind::eAudioIn: mAudioIn[static_cast<size_t>(p.channel)] = buffer; break;
    case ELV2PortKind::eAudioOut: mAudioOut[static_cast<size_t>(p.channel)] = buffer; break;
    case ELV2PortKind::eControl: mControls[static_cast<size_t>(mControlOfPort[port])].data = buffer; break;
    case ELV2PortKind::eLatency: mLatencyPort = buffer; break;
    case ELV2PortKind::eEnabled: mEnabledPort = buffer; break;
  }
}

void IPlugLV2::LV2Activate()
{
  ResetProcessing();
  ActivationChanged(true);
}

void IPlugLV2::LV2Deactivate() { ActivationChanged(false); }

void IPlugLV2::ApplyControlPorts()
{
  for (ControlPort& c : mControls)
  {
    if (!c.data)
      continue;
    const float v = *c.data;
    // a NaN or infinity is no value; an unchanged one is not news
    if (!std::isfinite(v) || (c.seen && v == c.applied))
      continue;
    c.applied = v;
    c.seen = true;
    // A port holds a float: the parameter's own value, rounded, is no change, and applying
    // it would only round a default or a restored value.
    if (static_cast<float>(GetParam(c.paramIdx)->RealValue()) != v)
      SetParamFromHost(c.paramIdx, v, false);
  }
  if (mEnabledPort && std::isfinite(*mEnabledPort))
    mBypassed = !(*mEnabledPort > 0.0f);
}

void IPlugLV2::MarkControlPortsSeen()
{
  for (ControlPort& c : mControls)
  {
    if (c.data && std::isfinite(*c.data))
    {
      c.applied = *c.data;
      c.seen = true;
    }
  }
}

void IPlugLV2::AttachPiece(uint32_t offset, int nFrames)
{
  const auto advance = [offset](std::vector<float*>& host, std::vector<float*>& piece) {
    for (size_t c = 0; c < host.size(); ++c)
      piece[c] = host[c] ? host[c] + offset : nullptr;
  };
  advance(mAudioIn, mInPiece);
  advance(mAudioOut, mOutPiece);
  AttachHostBuffers(eRouteInput, 0, mVariant.nInputs, mInPiece.data(), nFrames);
  AttachHostBuffers(eRouteOutput, 0, mVariant.nOutputs, mOutPiece.data(), nFrames);
}

void IPlugLV2::LV2Run(uint32_t nFrames)
{
  ApplyControlPorts();
  // the scratch buffers hold one prepared block: a longer host block runs in pieces
  const uint32_t piece = static_cast<uint32_t>(std::max(GetBlockSize(), 1));
  for (uint32_t pos = 0; pos < nFrames; pos += piece)
  {
    const int n = static_cast<int>(std::min(piece, nFrames - pos));
    AttachPiece(pos, n);
    if (mBypassed)
      RunBypassed(n);
    else
      RunBlock(n);
  }
  if (mLatencyPort)
    *mLatencyPort = static_cast<float>(GetLatency());
}

LV2_State_Status IPlugLV2::LV2SaveState(LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t /*flags*/,
                                        const LV2_Feature* const* /*features*/)
{
  if (!HasStateSupport() || !store)
    return LV2_STATE_ERR_NO_FEATURE;
  IDataChunk chunk;
  if (!SaveState(chunk))
    return LV2_STATE_ERR_UNKNOWN;
  if (chunk.Size() == 0) // LV2 stores no empty values; restoring nothing is the same
    return LV2_STATE_SUCCESS;
  return store(handle, mUrids.stateKey, chunk.Data(), static_cast<size_t>(chunk.Size()), mUrids.atomChunk,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status IPlugLV2::LV2RestoreState(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                                           uint32_t /*flags*/, const LV2_Feature* const* /*features*/)
{
  if (!HasStateSupport() || !retrieve)
    return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t valueFlags = 0;
  const void* data = retrieve(handle, mUrids.stateKey, &size, &type, &valueFlags);
  if (!data)
    return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mUrids.atomChunk)
    return LV2_STATE_ERR_BAD_TYPE;
  if (size > static_cast<size_t>(kMaxStateBytes))
    return LV2_STATE_ERR_NO_SPACE;

  IDataChunk chunk;
  chunk.AppendBytes(data, static_cast<int>(size));
  const int end = LoadState(chunk, 0);
  OnStateRestored();
  // The restored values stand until the host moves a port: ports that still hold
  // older values must not undo the state at the next run.
  MarkControlPortsSeen();
  return end < 0 ? LV2_STATE_ERR_UNKNOWN : LV2_STATE_SUCCESS;
}

} // namespace iplug
