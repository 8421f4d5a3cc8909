#pragma once
// A text entry drawn as a control, replacing the native edit field when attached: typed
// characters are inserted at the end, Backspace deletes, Enter completes the entry through
// the context and Escape abandons it.
// [ui thread]
#include <string>

#include "IControl.h"

namespace iplug::igraphics {

class ITextEntryControl : public IControl
{
public:
  ITextEntryControl();

  void Draw(IGraphics& g) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;

  void CreateTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds, int maxLength, const char* text);
  bool GetEditing() const { return mEditing; }
  const char* GetText() const { return mText.c_str(); }
  int GetParamIdxForEntry() const { return mParamIdx; }

private:
  void EndEditing();

  std::string mText;
  int mMaxLength = 0;
  int mParamIdx = kNoParameter;
  bool mEditing = false;
};

} // namespace iplug::igraphics
