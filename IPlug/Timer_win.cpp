// Timer service on the Windows thread timers: windowless SetTimer timers whose WM_TIMER ticks come through
// the creating thread's message loop and are dispatched to one timer procedure.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <vector>

#include "Timer.h"
#include "TimerPlatform.h"

namespace iplug {

namespace {

using Clock = std::chrono::steady_clock;

// A thread timer's system identifier is unique only within its thread and is reused once killed, so each
// timer gets its own identifier, never reused, and is found by its thread and system identifier.
struct ThreadTimer
{
  uintptr_t mTimerId; // 0 once stopped from another thread: only the owner may kill the system timer
  uint64_t mThread;
  UINT_PTR mSystemId;
  Clock::duration mInterval;
  Clock::time_point mDue; // estimate for RunLoopMsUntilNextDue: the system restarts the period at each tick
  uint64_t mLastPump = 0;
};

struct TimerTable
{
  SRWLOCK mLock = SRWLOCK_INIT;
  std::vector<ThreadTimer> mTimers;
  uintptr_t mLastTimerId = 0;
};

TimerTable& Table()
{
  static TimerTable& table = *new TimerTable;
  return table;
}

class TableLock
{
public:
  TableLock() { AcquireSRWLockExclusive(&Table().mLock); }
  ~TableLock() { ReleaseSRWLockExclusive(&Table().mLock); }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
};

CRITICAL_SECTION& RegistryCriticalSection()
{
  static CRITICAL_SECTION& section = *[] {
    auto* s = new CRITICAL_SECTION;
    InitializeCriticalSection(s);
    return s;
  }();
  return section;
}

// made while the module loads, before any timer can exist
[[maybe_unused]] const bool kRegistryLockReady = (RegistryCriticalSection(), true);

// thread ids are reused once a thread ends; a dead thread's timers must not pass to its successor
uint64_t ThisThread()
{
  static volatile LONG64 lastThread = 0;
  thread_local const uint64_t thisThread = static_cast<uint64_t>(InterlockedIncrement64(&lastThread));
  return thisThread;
}

// this thread's RunLoopPumpDue in progress: its serial and how many callbacks it has run
struct PumpState
{
  uint64_t mSerial = 0;
  bool mActive = false;
  int mFired = 0;
};
thread_local PumpState tPump;

Clock::duration SystemInterval(int intervalMs)
{
  // the system raises shorter periods to its minimum
  const int ms = std::max<int>(intervalMs, USER_TIMER_MINIMUM);
  return std::chrono::duration_cast<Clock::duration>(std::chrono::milliseconds(ms));
}

int CeilMs(Clock::duration d)
{
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
  return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, INT_MAX));
}

std::vector<ThreadTimer>::iterator FindOnThisThread(std::vector<ThreadTimer>& timers, UINT_PTR systemId)
{
  const uint64_t thread = ThisThread();
  return std::find_if(timers.begin(), timers.end(),
                      [&](const ThreadTimer& t) { return t.mThread == thread && t.mSystemId == systemId; });
}

// returns the timer to fire for a tick of this thread, or 0 when there is none
uintptr_t TakeTick(UINT_PTR systemId)
{
  TableLock lock;
  auto& timers = Table().mTimers;
  const auto it = FindOnThisThread(timers, systemId);
  if (it == timers.end())
    return 0;
  if (it->mTimerId == 0)
  {
    KillTimer(nullptr, systemId);
    timers.erase(it);
    return 0;
  }
  it->mDue = Clock::now() + it->mInterval;
  // a pump fires each timer once: a callback outlasting another timer's period must not keep the pump going
  if (tPump.mActive && it->mLastPump == tPump.mSerial)
    return 0;
  it->mLastPump = tPump.mSerial;
  return it->mTimerId;
}

void CALLBACK TimerProc(HWND, UINT, UINT_PTR systemId, DWORD)
{
  // fired outside the table lock: the function may start or stop timers
  const uintptr_t timerId = TakeTick(systemId);
  if (timerId != 0 && timer_platform::FireRegisteredTimer(timerId))
    ++tPump.mFired;
}

} // namespace

namespace timer_platform {

void LockRegistry()
{
  EnterCriticalSection(&RegistryCriticalSection());
}

void UnlockRegistry()
{
  LeaveCriticalSection(&RegistryCriticalSection());
}

uintptr_t StartSystemTimer(int intervalMs)
{
  const UINT_PTR systemId = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), TimerProc);
  if (systemId == 0)
    return 0;
  TableLock lock;
  TimerTable& table = Table();
  const Clock::duration interval = SystemInterval(intervalMs);
  const uintptr_t timerId = ++table.mLastTimerId;
  table.mTimers.push_back({timerId, ThisThread(), systemId, interval, Clock::now() + interval});
  return timerId;
}

void KillSystemTimer(uintptr_t timerId)
{
  TableLock lock;
  auto& timers = Table().mTimers;
  const auto it = std::find_if(timers.begin(), timers.end(), [timerId](const ThreadTimer& t) { return t.mTimerId == timerId; });
  if (it == timers.end())
    return;
  if (it->mThread == ThisThread())
  {
    KillTimer(nullptr, it->mSystemId);
    timers.erase(it);
    return;
  }
  // another thread's timer: its next tick on the owner kills it there
  it->mTimerId = 0;
}

} // namespace timer_platform

int RunLoopPumpDue()
{
  const PumpState outer = tPump;
  tPump = {outer.mSerial + 1, true, 0};
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
  {
    if (msg.message == WM_QUIT)
    {
      // the quit request belongs to the thread's own loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  const int fired = tPump.mFired;
  tPump = {tPump.mSerial, outer.mActive, outer.mFired + fired};
  return fired;
}

int RunLoopMsUntilNextDue()
{
  TableLock lock;
  const uint64_t thread = ThisThread();
  bool any = false;
  Clock::time_point next = Clock::time_point::max();
  for (const ThreadTimer& t : Table().mTimers)
  {
    if (t.mThread != thread || t.mTimerId == 0)
      continue;
    any = true;
    next = std::min(next, t.mDue);
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
    // wakes for any message, timer ticks included
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(CeilMs(deadline - now)), QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

} // namespace iplug
