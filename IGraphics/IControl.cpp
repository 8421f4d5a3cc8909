#include "IControl.h"

#include <cmath>

#include "IGraphics.h"

namespace iplug::igraphics {

IControl::IControl(const IRect& bounds, int paramIdx)
  : mDrawRect(bounds), mHitRect(bounds), mValues{IControlValue{paramIdx, 0.0}}
{
}

IControl::IControl(const IRect& bounds, std::initializer_list<int> paramIdxs) : mDrawRect(bounds), mHitRect(bounds)
{
  for (int paramIdx : paramIdxs)
    mValues.push_back({paramIdx, 0.0});
}

IControl::~IControl() = default;

bool IControl::OnKeyDown(float x, float y, const IKeyPress& key)
{
  (void)x, (void)y, (void)key;
  return false;
}

bool IControl::OnKeyUp(float x, float y, const IKeyPress& key)
{
  (void)x, (void)y, (void)key;
  return false;
}

void IControl::OnDelegateMessage(int msgTag, int dataSize, const void* data)
{
  (void)msgTag, (void)dataSize, (void)data;
}

void IControl::OnMidiMessage(const IMidiMessage& msg)
{
  (void)msg;
}

void IControl::ReceiveValue(double value, int valIdx)
{
  if (!ValidIndex(valIdx) || (mGraphics && mGraphics->ControlIsCaptured(this)))
    return;
  // a NaN never equals the stored value, so it is stored and redrawn like any change
  if (!(mValues[static_cast<size_t>(valIdx)].value == value))
  {
    SetValue(value, valIdx);
    mIsDirty = true;
  }
}

void IControl::SetValue(double value, int valIdx)
{
  if (ValidIndex(valIdx))
    mValues[static_cast<size_t>(valIdx)].value = value;
}

double IControl::GetValue(int valIdx) const
{
  return ValidIndex(valIdx) ? mValues[static_cast<size_t>(valIdx)].value : 0.0;
}

int IControl::GetParamIdx(int valIdx) const
{
  return ValidIndex(valIdx) ? mValues[static_cast<size_t>(valIdx)].paramIdx : kNoParameter;
}

} // namespace iplug::igraphics
