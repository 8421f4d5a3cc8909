// The idle timer is a thread timer: the host's own message loop on its UI thread dispatches its ticks, and
// pumping that loop from inside a host call would dispatch the host's messages re-entrantly.
#include "IPlugAAX_RunLoop.h"

namespace iplug {

void PumpTimersFromHost() {}

} // namespace iplug
