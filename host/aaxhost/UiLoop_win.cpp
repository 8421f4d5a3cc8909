#include <windows.h>

#include "UiLoop.h"

namespace aaxhost {

// A timer's WM_TIMER is made only while the queue is otherwise empty and at most once per period, so this ends.
void DispatchUiMessages()
{
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
  {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

} // namespace aaxhost
