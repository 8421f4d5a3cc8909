// A host runs no loop of ours: its periodic call on the UI thread is the run loop.
#include "IPlugAAX_RunLoop.h"
#include "Timer.h"

namespace iplug {

void PumpTimersFromHost()
{
  RunLoopPumpDue();
}

} // namespace iplug
