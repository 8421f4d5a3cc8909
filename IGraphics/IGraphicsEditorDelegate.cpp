#include "IGraphicsEditorDelegate.h"

#include <cmath>

#include "IControl.h"
#include "IGraphics.h"

namespace iplug::igraphics {

namespace {

// A stored value that cannot describe an editor (a negative size, a scale that is
// not a positive number) counts as "not stored", so a damaged project opens the
// editor at its default size instead of handing NaN or a negative size to the context.
int32_t UsableSize(int32_t size) { return size > 0 ? size : 0; }
float UsableScale(float scale) { return std::isfinite(scale) && scale > 0.f ? scale : 0.f; }

} // namespace

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate()
{
  // the context goes first, while everything it may call back into still exists
  mGraphics.reset();
  mLayoutFunc = nullptr;
  mMakeGraphicsFunc = nullptr;
}

void* IGEditorDelegate::OpenEditor(void* parent)
{
  if (!mGraphics)
  {
    mGraphics.reset(CreateGraphics());
    if (mGraphics && HasSavedSize())
      mGraphics->Resize(mSavedWidth, mSavedHeight, mSavedScale, true);
  }
  return mGraphics ? mGraphics->OpenWindow(parent) : nullptr;
}

void IGEditorDelegate::CloseEditor()
{
  if (mClosing)
    return;
  mClosing = true;
  OnEditorClosed();
  if (mGraphics)
  {
    mSavedWidth = mGraphics->Width();
    mSavedHeight = mGraphics->Height();
    mSavedScale = mGraphics->GetDrawScale();
    mGraphics->CloseWindow();
    mGraphics.reset();
  }
  mClosing = false;
}

bool IGEditorDelegate::OnKeyDown(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetPointerPosition(x, y);
  return mGraphics->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnKeyUp(const IKeyPress& key)
{
  if (!mGraphics)
    return false;
  float x = 0.f, y = 0.f;
  mGraphics->GetPointerPosition(x, y);
  return mGraphics->OnKeyUp(x, y, key);
}

void IGEditorDelegate::SetControlValueByTag(int ctrlTag, double normalized)
{
  if (!mGraphics)
    return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag))
    control->ReceiveValue(normalized, 0);
}

void IGEditorDelegate::SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  if (!mGraphics)
    return;
  if (IControl* control = mGraphics->GetControlWithTag(ctrlTag))
    control->OnDelegateMessage(msgTag, dataSize, data);
}

void IGEditorDelegate::SendMidiToEditor(const IMidiMessage& msg)
{
  if (mGraphics)
  {
    for (int i = 0; i < mGraphics->NumControls(); ++i)
    {
      IControl* control = mGraphics->GetControl(i);
      if (control && control->GetWantsMidi())
        control->OnMidiMessage(msg);
    }
  }
  OnMidiForEditor(msg);
}

void IGEditorDelegate::SendParamValueToEditor(int paramIdx, double value, bool normalized)
{
  const IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  if (mGraphics)
  {
    if (!normalized)
      value = param->RealToNormalized(value);
    for (int i = 0; i < mGraphics->NumControls(); ++i)
    {
      IControl* control = mGraphics->GetControl(i);
      if (!control)
        continue;
      for (int j = 0; j < control->NumValues(); ++j)
      {
        if (control->GetParamIdx(j) == paramIdx)
          control->ReceiveValue(value, j);
      }
    }
  }
  OnParamChangeForEditor(paramIdx, eFromDelegate);
}

bool IGEditorDelegate::SaveEditorState(IDataChunk& chunk) const
{
  const int32_t width = mGraphics ? mGraphics->Width() : mSavedWidth;
  const int32_t height = mGraphics ? mGraphics->Height() : mSavedHeight;
  const float scale = mGraphics ? mGraphics->GetDrawScale() : mSavedScale;
  bool ok = chunk.Append(width) > 0;
  ok = chunk.Append(height) > 0 && ok;
  ok = chunk.Append(scale) > 0 && ok;
  return ok;
}

int IGEditorDelegate::LoadEditorState(const IDataChunk& chunk, int startPos)
{
  // a failed read leaves its value 0 and makes every later read fail
  int32_t width = 0, height = 0;
  float scale = 0.f;
  int pos = chunk.Read(width, startPos);
  pos = chunk.Read(height, pos);
  pos = chunk.Read(scale, pos);
  width = UsableSize(width);
  height = UsableSize(height);
  scale = UsableScale(scale);

  if (!mGraphics)
  {
    mSavedWidth = width;
    mSavedHeight = height;
    mSavedScale = scale;
  }
  else if (width != 0 && height != 0 && scale != 0.f)
  {
    mGraphics->Resize(width, height, scale, true);
  }
  return pos;
}

void IGEditorDelegate::SetDisplayScale(float scale)
{
  if (mGraphics)
    mGraphics->SetScreenScale(scale);
}

IGraphics* IGEditorDelegate::CreateGraphics()
{
  return mMakeGraphicsFunc ? mMakeGraphicsFunc() : nullptr;
}

void IGEditorDelegate::LayoutEditor(IGraphics* graphics)
{
  if (mLayoutFunc)
    mLayoutFunc(graphics);
}

} // namespace iplug::igraphics
