#include "HostServices.h"

#include "AAX_Errors.h"

namespace aaxhost {

namespace {
const char* OrEmpty(const char* text)
{
  return text ? text : "";
}
} // namespace

AAX_Result HostServices::HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t flags)
{
  std::lock_guard lock(mLock);
  if (mAssertions.size() >= kMaxKept)
    ++mDropped;
  else
    mAssertions.push_back({OrEmpty(path), line, OrEmpty(condition), flags});
  return AAX_SUCCESS;
}

AAX_Result HostServices::Trace(int32_t priority, const char* message)
{
  std::lock_guard lock(mLock);
  if (mTraces.size() >= kMaxKept)
    ++mDropped;
  else
    mTraces.push_back({priority, OrEmpty(message), std::this_thread::get_id()});
  return AAX_SUCCESS;
}

std::vector<AssertionReport> HostServices::Assertions() const
{
  std::lock_guard lock(mLock);
  return mAssertions;
}

std::vector<TraceMessage> HostServices::Traces() const
{
  std::lock_guard lock(mLock);
  return mTraces;
}

std::size_t HostServices::DroppedReports() const
{
  std::lock_guard lock(mLock);
  return mDropped;
}

bool HostServices::HasTrace(const std::string& text) const
{
  std::lock_guard lock(mLock);
  for (const TraceMessage& trace : mTraces)
    if (trace.mText.find(text) != std::string::npos)
      return true;
  return false;
}

void HostServices::Clear()
{
  std::lock_guard lock(mLock);
  mAssertions.clear();
  mTraces.clear();
  mDropped = 0;
}

} // namespace aaxhost
