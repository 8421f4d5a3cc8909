// Timer service on a per-thread schedule: each thread's ticks are handed out only by that thread's run loop,
// which sleeps in poll() until the next one is due.
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <mutex>
#include <vector>

#include "Timer.h"
#include "TimerPlatform.h"

namespace iplug {

namespace {

using Clock = std::chrono::steady_clock;

struct ScheduledTick
{
  uintptr_t mTimerId;
  uint64_t mThread;
  Clock::duration mInterval;
  Clock::time_point mDue;
};

// The locks are constant-initialised, so they are ready before any static constructor can make a timer. The
// ticks exist only while a timer runs: a module unloaded with no timer left leaves nothing behind.
constinit std::mutex gScheduleLock;
constinit std::recursive_mutex gRegistryMutex;
std::vector<ScheduledTick>* gTicks = nullptr; // guarded by gScheduleLock
uintptr_t gLastTimerId = 0;                   // guarded by gScheduleLock

// std::thread::id values are reused once a thread ends; a dead thread's timers must not pass to its successor
uint64_t ThisThread()
{
  static std::atomic<uint64_t> lastThread{0};
  thread_local const uint64_t thisThread = ++lastThread;
  return thisThread;
}

// on time: keep the phase; late by a whole period or more: drop the missed ticks and restart the period
Clock::time_point NextDue(Clock::time_point due, Clock::duration interval, Clock::time_point now)
{
  const Clock::time_point next = due + interval;
  return next > now ? next : now + interval;
}

int CeilMs(Clock::duration d)
{
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, INT_MAX));
}

std::vector<uintptr_t> TakeDueTicks()
{
  std::vector<uintptr_t> due;
  std::lock_guard lock(gScheduleLock);
  if (!gTicks)
    return due;
  const Clock::time_point now = Clock::now();
  const uint64_t thread = ThisThread();
  for (ScheduledTick& tick : *gTicks)
  {
    if (tick.mThread != thread || tick.mDue > now)
      continue;
    due.push_back(tick.mTimerId);
    tick.mDue = NextDue(tick.mDue, tick.mInterval, now);
  }
  return due;
}

} // namespace

namespace timer_platform {

void LockRegistry()
{
  gRegistryMutex.lock();
}

void UnlockRegistry()
{
  gRegistryMutex.unlock();
}

uintptr_t StartSystemTimer(int intervalMs)
{
  const auto interval = std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(intervalMs));
  std::lock_guard lock(gScheduleLock);
  if (!gTicks)
    gTicks = new std::vector<ScheduledTick>;
  const uintptr_t timerId = ++gLastTimerId;
  gTicks->push_back({timerId, ThisThread(), interval, Clock::now() + interval});
  return timerId;
}

void KillSystemTimer(uintptr_t timerId)
{
  std::lock_guard lock(gScheduleLock);
  if (!gTicks)
    return;
  std::erase_if(*gTicks, [timerId](const ScheduledTick& t) { return t.mTimerId == timerId; });
  if (gTicks->empty())
  {
    delete gTicks;
    gTicks = nullptr;
  }
}

} // namespace timer_platform

int RunLoopPumpDue()
{
  // ticks are taken first and fired without the schedule lock: a callback may start or kill timers, and a
  // tick whose timer was stopped meanwhile finds nothing in the registry
  int fired = 0;
  for (const uintptr_t timerId : TakeDueTicks())
    fired += timer_platform::FireRegisteredTimer(timerId) ? 1 : 0;
  return fired;
}

int RunLoopMsUntilNextDue()
{
  std::lock_guard lock(gScheduleLock);
  if (!gTicks)
    return -1;
  const uint64_t thread = ThisThread();
  bool any = false;
  Clock::time_point next = Clock::time_point::max();
  for (const ScheduledTick& tick : *gTicks)
  {
    if (tick.mThread != thread)
      continue;
    any = true;
    next = std::min(next, tick.mDue);
  }
  return any ? CeilMs(next - Clock::now()) : -1;
}

int RunLoopRunFor(int ms)
{
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(ms, 0));
  int fired = 0;
  for (;;)
  {
    fired += RunLoopPumpDue();
    const Clock::time_point now = Clock::now();
    if (now >= deadline)
      return fired;
    int waitMs = CeilMs(deadline - now);
    const int untilDue = RunLoopMsUntilNextDue();
    if (untilDue >= 0)
      waitMs = std::min(waitMs, untilDue);
    if (waitMs > 0)
      poll(nullptr, 0, waitMs);
  }
}

} // namespace iplug
