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

// stateless: the lock itself is the platform's, ready before the first timer
struct RegistryLock
{
  void lock() { timer_platform::LockRegistry(); }
  void unlock() { timer_platform::UnlockRegistry(); }
};
RegistryLock gRegistryLock;

// The running timers in creation order, guarded by the registry lock. The list exists only while a timer runs:
// a module unloaded with no timer left leaves nothing behind, and a timer made during static construction or
// stopped during static destruction never meets a list that is not there yet or any more.
std::vector<Timer_impl*>* gTimers = nullptr;

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
    std::lock_guard lock(gRegistryLock);
    if (!gTimers)
      gTimers = new std::vector<Timer_impl*>;
    gTimers->push_back(this);
    mTimerId = timerId;
  }

  void Stop() override
  {
    // under the lock: a callback running on the owning thread finishes before the timer is taken out
    std::lock_guard lock(gRegistryLock);
    if (mTimerId == 0)
      return;
    timer_platform::KillSystemTimer(mTimerId);
    gTimers->erase(std::find(gTimers->begin(), gTimers->end(), this));
    mTimerId = 0;
    if (gTimers->empty())
    {
      delete gTimers;
      gTimers = nullptr;
    }
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
  std::lock_guard lock(gRegistryLock);
  if (!gTimers)
    return false;
  const auto it = std::find_if(gTimers->begin(), gTimers->end(), [timerId](const Timer_impl* t) { return t->mTimerId == timerId; });
  if (it == gTimers->end())
    return false;
  // the function may stop or even destroy its own timer, so the timer is not touched after the call
  Timer_impl& timer = **it;
  timer.mFunc(timer);
  return true;
}

} // namespace timer_platform

} // namespace iplug
