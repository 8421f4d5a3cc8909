#pragma once
// Base of every on-screen element of the editor: a drawing and a hit rectangle and a
// list of normalised values, each optionally bound to a plug-in parameter.
// Every operation runs on the user-interface thread.
#include <initializer_list>
#include <vector>

#include "IGraphicsStructs.h"
#include "IPlugMidi.h"

namespace iplug::igraphics {

class IGraphics;
class IGEditorDelegate;

constexpr int kNoParameter = -1;

struct IControlValue
{
  int paramIdx = kNoParameter;
  double value = 0.0; // normalised 0..1
};

class IControl
{
public:
  explicit IControl(const IRect& bounds, int paramIdx = kNoParameter);
  // one value per parameter index
  IControl(const IRect& bounds, std::initializer_list<int> paramIdxs);
  virtual ~IControl();
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual bool OnKeyDown(float x, float y, const IKeyPress& key);
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key);
  virtual void OnDelegateMessage(int msgTag, int dataSize, const void* data);
  virtual void OnMidiMessage(const IMidiMessage& msg);
  virtual void Draw(IGraphics& g) = 0;
  // a value from the plug-in; ignored while the control is being dragged
  virtual void ReceiveValue(double value, int valIdx = 0);
  // stores the value; no redraw, no notification
  virtual void SetValue(double value, int valIdx = 0);

  int NumValues() const { return static_cast<int>(mValues.size()); }
  // 0 for an index outside the list
  double GetValue(int valIdx = 0) const;
  // kNoParameter when unbound or outside the list
  int GetParamIdx(int valIdx = 0) const;
  bool GetWantsMidi() const { return mWantsMidi; }
  void SetWantsMidi(bool wants) { mWantsMidi = wants; }
  bool IsDirty() const { return mIsDirty; }
  void MarkClean() { mIsDirty = false; }

  // set when the control is attached to a context
  void SetDelegate(IGEditorDelegate& dlg) { mDelegate = &dlg; }
  void SetGraphics(IGraphics* graphics) { mGraphics = graphics; }

protected:
  bool ValidIndex(int valIdx) const { return valIdx >= 0 && valIdx < NumValues(); }

  IRect mDrawRect;
  IRect mHitRect;
  bool mIsDirty = true;
  bool mWantsMidi = false;
  IGEditorDelegate* mDelegate = nullptr;
  IGraphics* mGraphics = nullptr;
  std::vector<IControlValue> mValues;
};

} // namespace iplug::igraphics
