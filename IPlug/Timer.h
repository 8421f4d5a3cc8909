#pragma once
// Periodic callbacks delivered on the thread that created the timer.
#include <functional>
#include <memory>

namespace iplug {

class Timer;
using ITimerFunction = std::function<void(Timer&)>;

class Timer
{
public:
  virtual ~Timer() = default; // destroying a timer stops it first
  // [any thread] after it returns the function never runs again; waits for a callback running on another thread.
  // The function itself may stop or destroy its own timer.
  virtual void Stop() = 0;
};

// [any thread] the function runs every intervalMs (at least 1) on the calling thread's run loop, under the
// process-wide timer lock, which is re-entrant so the function may create or stop timers. A timer the system
// refuses (or an empty function) comes back already stopped.
std::unique_ptr<Timer> MakeTimer(ITimerFunction func, int intervalMs);

// Run loop: a thread that creates timers drives it, either from its event loop (call RunLoopPumpDue() and wait
// at most RunLoopMsUntilNextDue() between calls) or by calling RunLoopRunFor(ms). A pump fires each due timer at
// most once, so ticks missed while the loop is not driven are dropped, not replayed.

// [timer-owning thread] fires this thread's due timers in creation order; returns how many ran
int RunLoopPumpDue();
// [timer-owning thread] milliseconds until this thread's next timer is due (0 if one is due), -1 if it has none
int RunLoopMsUntilNextDue();
// [timer-owning thread] pumps, sleeping in between, until ms have passed; returns how many callbacks ran
int RunLoopRunFor(int ms);

} // namespace iplug
