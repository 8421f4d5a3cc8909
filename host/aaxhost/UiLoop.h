#pragma once
// What a host's user-interface thread does between its periodic calls into the effects, one file per platform
// (UiLoop_<os>.cpp). On Windows that is the thread's message loop, through which a module's thread timers fire.

namespace aaxhost {

// [ui thread] dispatches whatever the platform queued for the calling thread, without waiting
void DispatchUiMessages();

} // namespace aaxhost
