#include "AAX_VHostServices.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
std::atomic<AAX_VHostServices*> sHostServices{nullptr};
}

AAX_Result AAX_VHostServices::HandleAssertFailure(const char* path, int32_t line, const char* condition,
                                                  int32_t flags) const
{
  return Forward(&AAX_IHostServices::HandleAssertFailure, path, line, condition, flags);
}

AAX_Result AAX_VHostServices::Trace(int32_t priority, const char* message) const
{
  return Forward(&AAX_IHostServices::Trace, priority, message);
}

bool AAX_InstallHostServices(IACFUnknown* host)
{
  if (!host || sHostServices.load(std::memory_order_acquire))
    return false;
  sHostServices.store(new AAX_VHostServices(host), std::memory_order_release);
  return true;
}

void AAX_RemoveHostServices()
{
  delete sHostServices.exchange(nullptr, std::memory_order_acq_rel);
}

AAX_VHostServices* AAX_GetHostServices()
{
  return sHostServices.load(std::memory_order_acquire);
}

void AAX_ReportAssertion(const char* path, const char* condition, std::source_location where)
{
  if (AAX_VHostServices* services = AAX_GetHostServices())
    services->HandleAssertFailure(path, static_cast<int32_t>(where.line()), condition, AAX_eAssertFlag_Report);
}

bool AAX_Check(bool ok, const char* path, const char* condition, std::source_location where)
{
  if (!ok)
    AAX_ReportAssertion(path, condition, where);
  return ok;
}

void AAX_Trace(int32_t priority, const char* format, ...)
{
  AAX_VHostServices* services = AAX_GetHostServices();
  if (!services)
    return;
  char text[kAAXMaxTraceLength + 1];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  services->Trace(priority, text);
}
