#pragma once
// Binds the editor delegate's messages to a graphics context, which it creates on
// demand through the make-graphics function and owns while the editor is open.
// Every operation runs on the user-interface thread, the state pair on a host thread.
#include <cstdint>
#include <functional>
#include <memory>

#include "IPlugEditorDelegate.h"

namespace iplug::igraphics {

class IGraphics;

class IGEditorDelegate : public IEditorDelegate
{
public:
  using MakeGraphicsFunc = std::function<IGraphics*()>; // ownership passes to the delegate
  using LayoutFunc = std::function<void(IGraphics*)>;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void* OpenEditor(void* parent) override;
  // safe to call again from inside OnEditorClosed: the inner call returns at once
  void CloseEditor() override;
  bool OnKeyDown(const IKeyPress& key) override;
  bool OnKeyUp(const IKeyPress& key) override;
  void SetControlValueByTag(int ctrlTag, double normalized) override;
  void SendMessageToControl(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendMidiToEditor(const IMidiMessage& msg) override;
  void SendParamValueToEditor(int paramIdx, double value, bool normalized) override;
  // width, height (int32) and draw scale (float32): from the context while it exists
  bool SaveEditorState(IDataChunk& chunk) const override;
  // applied to the context now, or remembered for the next opening
  int LoadEditorState(const IDataChunk& chunk, int startPos) override;
  void SetDisplayScale(float scale) override;

  // null when there is no make-graphics function (or it made nothing)
  virtual IGraphics* CreateGraphics();
  virtual void LayoutEditor(IGraphics* graphics);

  // null while the editor is closed
  IGraphics* GetUI() const { return mGraphics.get(); }

protected:
  // the size the next context opens at; 0 fields mean its own default
  bool HasSavedSize() const { return mSavedWidth != 0 && mSavedHeight != 0 && mSavedScale != 0.f; }

  MakeGraphicsFunc mMakeGraphicsFunc;
  LayoutFunc mLayoutFunc;
  std::unique_ptr<IGraphics> mGraphics;
  int32_t mSavedWidth = 0;
  int32_t mSavedHeight = 0;
  float mSavedScale = 0.f;
  bool mClosing = false;
};

} // namespace iplug::igraphics
