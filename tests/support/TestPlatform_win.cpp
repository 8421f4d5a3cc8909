#include <windows.h>

#include "TestPlatform.h"

namespace testsupport {

void* ImageContaining(const void* address)
{
  HMODULE module = nullptr;
  const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  return ::GetModuleHandleExW(flags, static_cast<LPCWSTR>(address), &module) ? module : nullptr;
}

long CurrentProcessId()
{
  return static_cast<long>(::GetCurrentProcessId());
}

// the command processor hands back the program's exit code itself
int CommandExitCode(int systemResult)
{
  return systemResult;
}

} // namespace testsupport
