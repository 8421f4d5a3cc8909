#pragma once
// The editor's graphics context as the editor delegate reaches it: window, size and
// scale, key input and the attached controls. Drawing, the frame cycle and the
// platform window are supplied by the classes that derive from it.
// Every operation runs on the user-interface thread.

namespace iplug {
struct IKeyPress;
}

namespace iplug::igraphics {

class IControl;

class IGraphics
{
public:
  virtual ~IGraphics() = default;

  // --- platform window ---
  // current pointer position in editor units
  virtual void GetPointerPosition(float& x, float& y) = 0;
  // returns the native window, or null
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;

  // --- size and scale (editor units; draw scale is the user's zoom) ---
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual float GetDrawScale() const = 0;
  virtual void Resize(int width, int height, float scale, bool needsPlatformResize = true) = 0;
  virtual void SetScreenScale(float scale) = 0;

  // --- input; true when a control or the key handler took the key ---
  virtual bool OnKeyDown(float x, float y, const IKeyPress& key) = 0;
  virtual bool OnKeyUp(float x, float y, const IKeyPress& key) = 0;

  // --- attached controls, in list order (index 0 is the background) ---
  virtual int NumControls() const = 0;
  // null outside the list
  virtual IControl* GetControl(int idx) const = 0;
  // null when no control has the tag
  virtual IControl* GetControlWithTag(int tag) const = 0;
  // true while any pointer holds the control (a drag is in progress)
  virtual bool ControlIsCaptured(const IControl* control) const = 0;
};

} // namespace iplug::igraphics
