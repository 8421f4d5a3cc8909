#include "IPlugEditorDelegate.h"

#include <algorithm>

namespace iplug {

const char* ChangeSourceName(EChangeSource source)
{
  if (source < 0 || source >= kNumChangeSources)
    return kChangeSourceNames[eFromUnknown];
  return kChangeSourceNames[source];
}

IEditorDelegate::IEditorDelegate(int nParams)
{
  const int count = std::max(nParams, 0);
  mParams.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    mParams.push_back(std::make_unique<IParam>());
}

IEditorDelegate::~IEditorDelegate() = default;

void* IEditorDelegate::OpenEditor(void* parent)
{
  (void)parent;
  OnEditorOpened();
  return nullptr;
}

void IEditorDelegate::CloseEditor()
{
  OnEditorClosed();
}

void IEditorDelegate::OnEditorOpened()
{
  SendAllParamValuesToEditor();
}

void IEditorDelegate::OnParamChange(int paramIdx, EChangeSource source, int sampleOffset)
{
  (void)source, (void)sampleOffset;
  OnParamChange(paramIdx);
}

void IEditorDelegate::OnAllParamsChanged(EChangeSource source)
{
  for (int i = 0; i < NParams(); ++i)
  {
    OnParamChange(i, source, kNoSampleOffset);
    OnParamChangeForEditor(i, source);
  }
}

bool IEditorDelegate::OnEditorMessage(int msgTag, int ctrlTag, int dataSize, const void* data)
{
  (void)msgTag, (void)ctrlTag, (void)dataSize, (void)data;
  return false;
}

void IEditorDelegate::OnStateRestored()
{
  SendAllParamValuesToEditor();
}

bool IEditorDelegate::OnKeyDown(const IKeyPress& key)
{
  (void)key;
  return false;
}

bool IEditorDelegate::OnKeyUp(const IKeyPress& key)
{
  (void)key;
  return false;
}

void IEditorDelegate::SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data)
{
  (void)ctrlTag, (void)msgTag, (void)dataSize, (void)data;
}

void IEditorDelegate::SendMessageFromDelegate(int msgTag, int dataSize, const void* data)
{
  OnEditorMessage(msgTag, kNoTag, dataSize, data);
}

void IEditorDelegate::SendMidiToEditor(const IMidiMessage& msg)
{
  OnMidiForEditor(msg);
}

void IEditorDelegate::SendSysexToEditor(const ISysexMessage& msg)
{
  OnSysexForEditor(msg);
}

void IEditorDelegate::SendParamValueToEditor(int paramIdx, double value, bool normalized)
{
  (void)value, (void)normalized;
  if (GetParam(paramIdx))
    OnParamChangeForEditor(paramIdx, eFromDelegate);
}

void IEditorDelegate::SendUIParamValue(int paramIdx, double normalized)
{
  IParam* param = GetParam(paramIdx);
  if (!param)
    return;
  param->SetFromNormalized(normalized);
  OnParamChangeForEditor(paramIdx, eFromUI);
}

bool IEditorDelegate::RequestEditorResize(int width, int height, bool needsPlatformResize)
{
  (void)width, (void)height, (void)needsPlatformResize;
  return false;
}

void IEditorDelegate::SendMessageFromEditor(int msgTag, int ctrlTag, int dataSize, const void* data)
{
  (void)msgTag, (void)ctrlTag, (void)dataSize, (void)data;
}

bool IEditorDelegate::SaveEditorState(IDataChunk& chunk) const
{
  (void)chunk;
  return true;
}

int IEditorDelegate::LoadEditorState(const IDataChunk& chunk, int startPos)
{
  (void)chunk;
  return startPos;
}

IParam* IEditorDelegate::GetParam(int paramIdx)
{
  return paramIdx >= 0 && paramIdx < NParams() ? mParams[static_cast<size_t>(paramIdx)].get() : nullptr;
}

const IParam* IEditorDelegate::GetParam(int paramIdx) const
{
  return paramIdx >= 0 && paramIdx < NParams() ? mParams[static_cast<size_t>(paramIdx)].get() : nullptr;
}

void IEditorDelegate::SetEditorSize(int width, int height)
{
  mEditorWidth = width;
  mEditorHeight = height;
}

void IEditorDelegate::SetSizeConstraints(int widthA, int widthB, int heightA, int heightB)
{
  mMinWidth = std::min(widthA, widthB);
  mMaxWidth = std::max(widthA, widthB);
  mMinHeight = std::min(heightA, heightB);
  mMaxHeight = std::max(heightA, heightB);
}

void IEditorDelegate::SendAllParamValuesToEditor()
{
  for (int i = 0; i < NParams(); ++i)
    SendParamValueToEditor(i, GetParam(i)->NormalizedValue(), true);
}

} // namespace iplug
