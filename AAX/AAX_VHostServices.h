#pragma once
// The module-wide link to the host's diagnostics. Installed by the module's start-up entry and used by every
// assertion and trace of the module; while none is installed reports and traces are dropped.
#include <source_location>

#include "AAX_IHostServices.h"
#include "AAX_VInterface.h"

class AAX_VHostServices : public AAX_VInterface<AAX_IHostServices>
{
public:
  using AAX_VInterface::AAX_VInterface;

  AAX_Result HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t flags) const;
  AAX_Result Trace(int32_t priority, const char* message) const;
};

constexpr int kAAXMaxTraceLength = 511;

// [host main thread] wraps the host object and holds it module-wide; false when one is installed already
bool AAX_InstallHostServices(IACFUnknown* host);
// [host main thread] deletes the module-wide wrapper, if any
void AAX_RemoveHostServices();
// [any thread, lock-free] the installed wrapper or null
AAX_VHostServices* AAX_GetHostServices();

// [any thread] reports `condition` with the given source path and the caller's line
void AAX_ReportAssertion(const char* path, const char* condition,
                         std::source_location where = std::source_location::current());
// [any thread] reports `condition` unless `ok`; returns ok
bool AAX_Check(bool ok, const char* path, const char* condition,
               std::source_location where = std::source_location::current());
// [any thread] formats into at most kAAXMaxTraceLength characters and hands the text to the host
void AAX_Trace(int32_t priority, const char* format, ...) __attribute__((format(printf, 2, 3)));
