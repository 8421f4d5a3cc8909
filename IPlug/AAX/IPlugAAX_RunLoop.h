#pragma once
// The framework's timers fire from their thread's run loop. Whether the host's periodic call on its UI thread has
// to drive that loop depends on the platform, one file per platform (IPlugAAX_RunLoop_<os>.cpp).

namespace iplug {

// [ui thread] fires the calling thread's due timers (the idle tick) where the host's own loop does not
void PumpTimersFromHost();

} // namespace iplug
