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
using iplug::RunLoopMsUntilNextDue;
using iplug::RunLoopPumpDue;
using iplug::RunLoopRunFor;
using iplug::Timer;
using Clock = std::chrono::steady_clock;

namespace {

// Generous: on a loaded machine the loop may be starved for a long while; the tests only bound counts.
constexpr auto kPatience = 20s;
// long enough for a 1 ms timer to be due on every timer service (Windows raises periods under 10 ms to 10 ms)
constexpr auto kShortTimerDue = 30ms;

bool PumpUntil(const std::function<bool()>& done)
{
  const auto giveUp = Clock::now() + kPatience;
  while (!done() && Clock::now() < giveUp)
    RunLoopRunFor(5);
  return done();
}

long long ElapsedMs(Clock::time_point since)
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

// counts ticks and remembers which threads delivered them
struct TickLog
{
  int count = 0;
  std::vector<std::thread::id> threads;
  iplug::ITimerFunction Recorder()
  {
    return [this](Timer&) {
      ++count;
      threads.push_back(std::this_thread::get_id());
    };
  }
  bool AllOn(std::thread::id thread) const
  {
    for (const auto& t : threads)
      if (t != thread)
        return false;
    return true;
  }
};

} // namespace

TEST(Timer, TwoPeriodsFireTheirOwnFunctionsOnTheCreatingThread)
{
  constexpr int kFastMs = 5;
  constexpr int kSlowMs = 40;
  TickLog fast, slow;
  const auto start = Clock::now();
  auto fastTimer = MakeTimer(fast.Recorder(), kFastMs);
  auto slowTimer = MakeTimer(slow.Recorder(), kSlowMs);

  ASSERT_TRUE(PumpUntil([&] { return fast.count >= 10 && slow.count >= 2; }));
  const long long elapsed = ElapsedMs(start);
  // a timer never runs more often than its period
  EXPECT_LE(fast.count, elapsed / kFastMs + 1);
  EXPECT_LE(slow.count, elapsed / kSlowMs + 1);
  EXPECT_TRUE(fast.AllOn(std::this_thread::get_id()));
  EXPECT_TRUE(slow.AllOn(std::this_thread::get_id()));

  fastTimer->Stop();
  const int fastAtStop = fast.count;
  const int slowAtStop = slow.count;
  ASSERT_TRUE(PumpUntil([&] { return slow.count >= slowAtStop + 2; }));
  EXPECT_EQ(fast.count, fastAtStop);
}

TEST(Timer, DestroyedTimerWithATickAlreadyDueNeverFires)
{
  int firstCount = 0;
  TickLog second;
  std::unique_ptr<Timer> secondTimer;
  auto firstTimer = MakeTimer([&](Timer&) {
    ++firstCount;
    secondTimer.reset();
  }, 1);
  secondTimer = MakeTimer(second.Recorder(), 1);

  std::this_thread::sleep_for(kShortTimerDue); // both are due; the first one runs first and destroys the second
  EXPECT_EQ(RunLoopPumpDue(), 1);
  EXPECT_EQ(firstCount, 1);
  RunLoopRunFor(30);
  EXPECT_EQ(second.count, 0);

  firstTimer->Stop();
  firstTimer->Stop();
  const int atStop = firstCount;
  std::this_thread::sleep_for(5ms);
  EXPECT_EQ(RunLoopRunFor(20), 0);
  EXPECT_EQ(firstCount, atStop);
}

TEST(Timer, TimerEndedInsideItsOwnCallbackFiresOnce)
{
  const struct
  {
    const char* name;
    std::function<void(std::unique_ptr<Timer>&, Timer&)> end;
  } cases[] = {
    {"stopped", [](std::unique_ptr<Timer>&, Timer& t) { t.Stop(); }},
    {"destroyed", [](std::unique_ptr<Timer>& owner, Timer&) { owner.reset(); }},
  };
  for (const auto& c : cases)
  {
    SCOPED_TRACE(c.name);
    int count = 0;
    std::unique_ptr<Timer> timer;
    timer = MakeTimer([&](Timer& t) {
      ++count;
      c.end(timer, t);
    }, 1);
    std::this_thread::sleep_for(kShortTimerDue);
    EXPECT_EQ(RunLoopPumpDue(), 1);
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(RunLoopRunFor(20), 0);
    EXPECT_EQ(count, 1);
  }
}

TEST(Timer, PausedLoopDeliversNothingThenOneTickWithoutReplayingMissedOnes)
{
  constexpr int kPeriodMs = 50;
  int count = 0;
  auto timer = MakeTimer([&](Timer&) { ++count; }, kPeriodMs);

  std::this_thread::sleep_for(std::chrono::milliseconds(10 * kPeriodMs));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(RunLoopMsUntilNextDue(), 0);

  const auto resumed = Clock::now();
  EXPECT_EQ(RunLoopPumpDue(), 1);
  const int immediatelyAfter = RunLoopPumpDue();
  // ten periods were missed; replaying them would fire again here (only a descheduled thread excuses it)
  if (ElapsedMs(resumed) < kPeriodMs)
  {
    EXPECT_EQ(immediatelyAfter, 0);
  }

  RunLoopRunFor(3 * kPeriodMs);
  EXPECT_LE(count, ElapsedMs(resumed) / kPeriodMs + 1);
}

TEST(Timer, TimerCreatedOnAnotherThreadFiresOnlyFromThatThreadsLoop)
{
  TickLog log; // written only by the worker's loop, read after join
  std::atomic<bool> created{false};
  std::atomic<bool> mainPumped{false};
  std::thread::id workerId;
  std::thread worker([&] {
    workerId = std::this_thread::get_id();
    auto timer = MakeTimer(log.Recorder(), 1);
    created = true;
    while (!mainPumped)
      std::this_thread::sleep_for(1ms);
    PumpUntil([&] { return log.count >= 3; });
  });

  while (!created)
    std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(5ms);
  EXPECT_EQ(RunLoopRunFor(30), 0);
  EXPECT_EQ(RunLoopMsUntilNextDue(), -1);
  mainPumped = true;
  worker.join();

  EXPECT_GE(log.count, 3);
  EXPECT_TRUE(log.AllOn(workerId));
}

TEST(Timer, StopFromAnotherThreadWaitsForTheRunningCallback)
{
  std::atomic<bool> inside{false};
  std::atomic<bool> finished{false};
  std::atomic<int> count{0};
  auto timer = MakeTimer([&](Timer&) {
    ++count;
    inside = true;
    std::this_thread::sleep_for(50ms);
    finished = true;
  }, 1);

  bool finishedWhenStopReturned = false;
  std::thread stopper([&] {
    while (!inside)
      std::this_thread::sleep_for(1ms);
    timer->Stop();
    finishedWhenStopReturned = finished;
  });
  PumpUntil([&] { return count >= 1; });
  stopper.join();

  EXPECT_TRUE(finishedWhenStopReturned);
  const int atStop = count;
  std::this_thread::sleep_for(5ms);
  EXPECT_EQ(RunLoopRunFor(20), 0);
  EXPECT_EQ(count, atStop);
}

TEST(Timer, CallbackMayCreateAndStopTimersOnItsOwnThread)
{
  int innerCount = 0;
  std::unique_ptr<Timer> inner;
  auto outer = MakeTimer([&](Timer& self) {
    inner = MakeTimer([&](Timer&) { ++innerCount; }, 1);
    self.Stop();
  }, 1);

  ASSERT_TRUE(PumpUntil([&] { return innerCount >= 2; }));
  inner.reset();
  std::this_thread::sleep_for(5ms);
  EXPECT_EQ(RunLoopRunFor(20), 0);
}

TEST(Timer, RefusedTimerIsStoppedAndCountsForNothing)
{
  EXPECT_EQ(RunLoopMsUntilNextDue(), -1);
  auto empty = MakeTimer(nullptr, 1);
  empty->Stop();
  EXPECT_EQ(RunLoopMsUntilNextDue(), -1);

  auto slow = MakeTimer([](Timer&) {}, 1000);
  const int untilDue = RunLoopMsUntilNextDue();
  EXPECT_GT(untilDue, 0);
  EXPECT_LE(untilDue, 1000);
  slow.reset();
  EXPECT_EQ(RunLoopMsUntilNextDue(), -1);
}
