#pragma once
// Seam between the shared timer registry (Timer.cpp) and the per-platform timer service (Timer_<platform>.cpp).
#include <cstdint>

namespace iplug::timer_platform {

// [creating thread] schedules a periodic tick for the calling thread; returns a non-zero identifier, never
// reused, or 0 when the service refuses. Due ticks are handed to FireRegisteredTimer.
uintptr_t StartSystemTimer(int intervalMs);
// [any thread] no tick for the identifier is handed out after this returns
void KillSystemTimer(uintptr_t timerId);

// [any thread] the registry's process-wide lock, re-entrant for its owner, ready before the first timer
void LockRegistry();
void UnlockRegistry();

// implemented by the registry: runs the function of the running timer with that identifier under the registry
// lock; false (nothing run) when no running timer has it
bool FireRegisteredTimer(uintptr_t timerId);

} // namespace iplug::timer_platform
