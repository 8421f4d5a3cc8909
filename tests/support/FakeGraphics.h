#pragma once
// A graphics context without drawing or a platform window: it keeps its controls and
// size, records what the delegate asks of it, and opens its "window" the way the real
// one does (layout, then the opened notification).
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "IControl.h"
#include "IGraphics.h"
#include "IGraphicsEditorDelegate.h"
#include "IGraphicsStructs.h"

namespace testsupport {

// A control that draws nothing and counts the messages it gets.
class FakeControl : public iplug::igraphics::IControl
{
public:
  using IControl::IControl;

  void Draw(iplug::igraphics::IGraphics&) override {}
  void OnMidiMessage(const iplug::IMidiMessage& msg) override { mMidi.push_back(msg); }
  void OnDelegateMessage(int msgTag, int dataSize, const void*) override { mMessages.push_back({msgTag, dataSize}); }
  bool OnKeyDown(float x, float y, const iplug::IKeyPress&) override { mKeyAt = {x, y}; return mTakesKeys; }

  struct Message
  {
    int tag, size;
  };
  std::vector<iplug::IMidiMessage> mMidi;
  std::vector<Message> mMessages;
  std::pair<float, float> mKeyAt{-1.f, -1.f};
  bool mTakesKeys = false;
};

class FakeGraphics : public iplug::igraphics::IGraphics
{
public:
  struct ResizeCall
  {
    int width, height;
    float scale;
    bool needsPlatformResize;
  };

  FakeGraphics(iplug::igraphics::IGEditorDelegate& dlg, int width, int height, float scale = 1.f)
    : mDelegate(dlg), mWidth(width), mHeight(height), mDrawScale(scale)
  {
  }
  ~FakeGraphics() override { ++mLifetime->destroyed; }

  // what happened to contexts that no longer exist
  struct Lifetime
  {
    int windowsClosed = 0;
    int destroyed = 0;
  };
  void ReportTo(Lifetime& lifetime) { mLifetime = &lifetime; }

  void GetPointerPosition(float& x, float& y) override { x = mPointerX, y = mPointerY; }
  void* OpenWindow(void* parent) override
  {
    mParent = parent;
    ++mOpenCount;
    mDelegate.LayoutEditor(this);
    mDelegate.OnEditorOpened();
    return &mWindow;
  }
  void CloseWindow() override
  {
    ++mCloseCount;
    ++mLifetime->windowsClosed;
    mControls.clear();
    mTags.clear();
  }

  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  float GetDrawScale() const override { return mDrawScale; }
  void Resize(int width, int height, float scale, bool needsPlatformResize) override
  {
    mResizes.push_back({width, height, scale, needsPlatformResize});
    mWidth = width, mHeight = height, mDrawScale = scale;
  }
  void SetScreenScale(float scale) override { mScreenScale = scale; }

  bool OnKeyDown(float x, float y, const iplug::IKeyPress& key) override { return DispatchKey(x, y, key); }
  bool OnKeyUp(float x, float y, const iplug::IKeyPress&) override
  {
    mKeyUpAt = {x, y};
    return false;
  }

  int NumControls() const override { return static_cast<int>(mControls.size()); }
  iplug::igraphics::IControl* GetControl(int idx) const override
  {
    return idx >= 0 && idx < NumControls() ? mControls[static_cast<size_t>(idx)].get() : nullptr;
  }
  iplug::igraphics::IControl* GetControlWithTag(int tag) const override
  {
    const auto it = mTags.find(tag);
    return it == mTags.end() ? nullptr : it->second;
  }
  bool ControlIsCaptured(const iplug::igraphics::IControl* control) const override
  {
    return mCaptured.count(control) > 0;
  }

  // takes ownership; a tag already in use is refused (null, caller keeps the control)
  template <typename Control>
  Control* Attach(std::unique_ptr<Control> control, int tag = iplug::kNoTag)
  {
    if (tag != iplug::kNoTag && mTags.count(tag))
      return nullptr;
    Control* raw = control.get();
    raw->SetDelegate(mDelegate);
    raw->SetGraphics(this);
    if (tag != iplug::kNoTag)
      mTags[tag] = raw;
    mControls.push_back(std::move(control));
    return raw;
  }

  void Capture(const iplug::igraphics::IControl* control) { mCaptured.insert(control); }
  void Release(const iplug::igraphics::IControl* control) { mCaptured.erase(control); }

  float mPointerX = 0.f, mPointerY = 0.f;
  float mScreenScale = 1.f;
  void* mParent = nullptr;
  int mOpenCount = 0;
  int mCloseCount = 0;
  std::vector<ResizeCall> mResizes;
  std::pair<float, float> mKeyUpAt{-1.f, -1.f};

private:
  bool DispatchKey(float x, float y, const iplug::IKeyPress& key)
  {
    for (auto& control : mControls)
    {
      if (control->OnKeyDown(x, y, key))
        return true;
    }
    return false;
  }

  iplug::igraphics::IGEditorDelegate& mDelegate;
  int mWidth, mHeight;
  float mDrawScale;
  int mWindow = 0;
  Lifetime mOwnLifetime;
  Lifetime* mLifetime = &mOwnLifetime;
  std::vector<std::unique_ptr<iplug::igraphics::IControl>> mControls;
  std::map<int, iplug::igraphics::IControl*> mTags;
  std::set<const iplug::igraphics::IControl*> mCaptured;
};

} // namespace testsupport
