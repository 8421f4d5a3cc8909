#include "Timer.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

#include "TimerPlatform.h"

namespace iplug {

namespace {

constexpr int kMinTimerIntervalMs = 1;

class Timer_impl;

// The running timers in creation order. Created on first use and never destroyed, so timers that outlive
// static destruction (or are made during static construction) still find it.
struct RegistryLock
{
  void lock() { timer_platform::LockRegistry(); }
  void unlock() { timer_platform::UnlockRegistry(); }
};

struct TimerRegistry
{
  RegistryLock mLock;
  std::vector<Timer_impl*> mTimers;
};

TimerRegistry& Registry()
{
  static TimerRegistry& registry = *new TimerRegistry;
  return registry;
}

class Timer_impl final : public Timer
{
public:
  Timer_impl(ITimerFunction func, int intervalMs)
  : mFunc(std::move(func))
  , mIntervalMs(std::max(intervalMs, kMinTimerIntervalMs))
  {
  }

  ~Timer_impl() override { Stop(); }

  void Start()
  {
    if (!mFunc)
      return;
    const uintptr_t timerId = timer_platform::StartSystemTimer(mIntervalMs);
    if (timerId == 0)
      return;
    std::lock_guard lock(Registry().mLock);
    mTimerId = timerId;
    Registry().mTimers.push_back(this);
  }

  void Stop() override
  {
    // under the lock: a callback running on the owning thread finishes before the timer is taken out
    std::lock_guard lock(Registry().mLock);
    if (mTimerId == 0)
      return;
    timer_platform::KillSystemTimer(mTimerId);
    auto& timers = Registry().mTimers;
    timers.erase(std::find(timers.begin(), timers.end(), this));
    mTimerId = 0;
  }

  // guarded by the registry lock; 0 while not running
  uintptr_t mTimerId = 0;
  ITimerFunction mFunc;
  int mIntervalMs;
};

} // namespace

std::unique_ptr<Timer> MakeTimer(ITimerFunction func, int intervalMs)
{
  auto timer = std::make_unique<Timer_impl>(std::move(func), intervalMs);
  timer->Start();
  return timer;
}

namespace timer_platform {

bool FireRegisteredTimer(uintptr_t timerId)
{
  std::lock_guard lock(Registry().mLock);
  const auto& timers = Registry().mTimers;
  const auto it = std::find_if(timers.begin(), timers.end(), [timerId](const Timer_impl* t) { return t->mTimerId == timerId; });
  if (it == timers.end())
    return false;
  // the function may stop or even destroy its own timer, so the timer is not touched after the call
  Timer_impl& timer = **it;
  timer.mFunc(timer);
  return true;
}

} // namespace timer_platform

} // namespace iplug
