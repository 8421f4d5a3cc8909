#pragma once
// The host's diagnostics service a module receives at start-up: it keeps the assertion reports and trace
// messages so that tests can check them and the command line can print them.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AAX_IHostServices.h"
#include "HostObject.h"

namespace aaxhost {

struct AssertionReport
{
  std::string mPath;
  int32_t mLine = 0;
  std::string mCondition;
  int32_t mFlags = 0;
};

struct TraceMessage
{
  int32_t mPriority = 0;
  std::string mText;
  std::thread::id mThread; // the module's calling thread
};

class HostServices final : public HostObject<AAX_IHostServices>
{
public:
  // reports beyond this many of each kind are counted, not kept
  static constexpr std::size_t kMaxKept = 4096;

  // [any thread]
  AAX_Result HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t flags) override;
  AAX_Result Trace(int32_t priority, const char* message) override;

  // [any thread] copies of what has arrived so far
  std::vector<AssertionReport> Assertions() const;
  std::vector<TraceMessage> Traces() const;
  std::size_t DroppedReports() const;
  // [any thread] true when a trace contains `text`
  bool HasTrace(const std::string& text) const;
  void Clear();

private:
  ~HostServices() override = default;

  mutable std::mutex mLock;
  std::vector<AssertionReport> mAssertions;
  std::vector<TraceMessage> mTraces;
  std::size_t mDropped = 0;
};

} // namespace aaxhost
