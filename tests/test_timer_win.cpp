// Timers on the Windows thread timer service, driven by plain Win32 message loops as a host runs them.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "Timer.h"

using namespace std::chrono_literals;
using iplug::MakeTimer;
using iplug::Timer;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kPatience = 20s;
constexpr DWORD kWaitSliceMs = 5;

long long ElapsedMs(Clock::time_point since)
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

// The host's loop: waits for messages and dispatches them until done() or patience runs out.
bool DispatchUntil(const std::function<bool()>& done, std::chrono::milliseconds patience = kPatience)
{
  const auto giveUp = Clock::now() + patience;
  MSG msg;
  while (!done() && Clock::now() < giveUp)
  {
    MsgWaitForMultipleObjectsEx(0, nullptr, kWaitSliceMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    while (!done() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }
  return done();
}

void DispatchFor(std::chrono::milliseconds duration)
{
  DispatchUntil([] { return false; }, duration);
}

// counts WM_TIMER messages the loop sees, whoever they are for
int DispatchCountingTimerMessages(std::chrono::milliseconds duration)
{
  int seen = 0;
  const auto end = Clock::now() + duration;
  MSG msg;
  while (Clock::now() < end)
  {
    MsgWaitForMultipleObjectsEx(0, nullptr, kWaitSliceMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
      seen += msg.message == WM_TIMER ? 1 : 0;
      DispatchMessageW(&msg);
    }
  }
  return seen;
}

struct TickLog
{
  std::atomic<int> count{0};
  std::vector<DWORD> threads; // written only by the delivering thread
  iplug::ITimerFunction Recorder()
  {
    return [this](Timer&) {
      threads.push_back(GetCurrentThreadId());
      ++count;
    };
  }
  bool AllOn(DWORD thread) const
  {
    for (DWORD t : threads)
      if (t != thread)
        return false;
    return true;
  }
};

} // namespace

TEST(TimerWin32, TwoPeriodsFireOnTheCreatingThreadFromItsMessageLoop)
{
  constexpr int kFastMs = 20;
  constexpr int kSlowMs = 50;
  TickLog fast, slow;
  const auto start = Clock::now();
  auto fastTimer = MakeTimer(fast.Recorder(), kFastMs);
  auto slowTimer = MakeTimer(slow.Recorder(), kSlowMs);

  ASSERT_TRUE(DispatchUntil([&] { return fast.count >= 10 && slow.count >= 3; }));
  const long long elapsed = ElapsedMs(start);
  EXPECT_LE(fast.count, elapsed / kFastMs + 1);
  EXPECT_LE(slow.count, elapsed / kSlowMs + 1);
  EXPECT_GT(fast.count, slow.count);
  EXPECT_TRUE(fast.AllOn(GetCurrentThreadId()));
  EXPECT_TRUE(slow.AllOn(GetCurrentThreadId()));

  fastTimer->Stop();
  const int fastAtStop = fast.count;
  const int slowAtStop = slow.count;
  ASSERT_TRUE(DispatchUntil([&] { return slow.count >= slowAtStop + 2; }));
  EXPECT_EQ(fast.count, fastAtStop);
}

TEST(TimerWin32, TickTakenBeforeTheTimerWasDestroyedDispatchesToNothing)
{
  TickLog log;
  auto timer = MakeTimer(log.Recorder(), 1);
  MSG tick{};
  bool taken = false;
  ASSERT_TRUE(DispatchUntil([&] { return taken || (taken = PeekMessageW(&tick, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE) != 0); }));
  timer.reset();
  DispatchMessageW(&tick);
  DispatchFor(50ms);
  EXPECT_EQ(log.count, 0);
}

TEST(TimerWin32, DeliveryPausesWhileTheLoopIsBlockedAndMissedTicksAreNotReplayed)
{
  constexpr int kPeriodMs = 20;
  TickLog log;
  auto timer = MakeTimer(log.Recorder(), kPeriodMs);
  Sleep(10 * kPeriodMs);
  EXPECT_EQ(log.count, 0);

  const auto resumed = Clock::now();
  ASSERT_TRUE(DispatchUntil([&] { return log.count >= 1; }));
  DispatchFor(std::chrono::milliseconds(3 * kPeriodMs));
  // ten periods were missed; a replay would deliver them all at once
  EXPECT_LE(log.count, ElapsedMs(resumed) / kPeriodMs + 1);
}

TEST(TimerWin32, TimerStoppedFromAnotherThreadNeverFiresAndItsSystemTimerIsReleased)
{
  TickLog log;
  std::unique_ptr<Timer> timer;
  std::atomic<bool> created{false};
  std::atomic<bool> stopped{false};
  int timerMessagesAfterStop = -1;
  std::thread owner([&] {
    timer = MakeTimer(log.Recorder(), 1);
    created = true;
    DispatchUntil([&] { return stopped.load(); });
    timerMessagesAfterStop = DispatchCountingTimerMessages(100ms);
  });
  while (!created)
    std::this_thread::sleep_for(1ms);
  timer->Stop();
  const int atStop = log.count;
  stopped = true;
  owner.join();

  EXPECT_EQ(log.count, atStop);
  // the owner's loop kills the system timer on its next tick, instead of waking every period for nothing
  EXPECT_LE(timerMessagesAfterStop, 1);
}

TEST(TimerWin32, TimersOfTwoThreadsFireOnlyOnTheirOwnThreads)
{
  // each thread's first timer gets the same system identifier on some systems
  constexpr int kThreads = 2;
  TickLog logs[kThreads];
  DWORD ids[kThreads] = {};
  std::atomic<int> ready{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      ids[i] = GetCurrentThreadId();
      auto timer = MakeTimer(logs[i].Recorder(), 1 + 10 * i);
      ++ready;
      DispatchUntil([&] { return ready == kThreads && logs[i].count >= 5; });
    });
  for (auto& t : threads)
    t.join();

  for (int i = 0; i < kThreads; ++i)
  {
    SCOPED_TRACE(i);
    EXPECT_GE(logs[i].count, 5);
    EXPECT_TRUE(logs[i].AllOn(ids[i]));
  }
}

TEST(TimerWin32, RunLoopLeavesTheQuitRequestToTheThreadsOwnLoop)
{
  constexpr int kExitCode = 7;
  PostQuitMessage(kExitCode);
  iplug::RunLoopRunFor(10);
  MSG msg{};
  ASSERT_NE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE), 0);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(kExitCode));
}
