#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestPlatform.h"

namespace testsupport {

void* ImageContaining(const void* address)
{
  Dl_info info{};
  return ::dladdr(address, &info) != 0 ? info.dli_fbase : nullptr;
}

long CurrentProcessId()
{
  return static_cast<long>(::getpid());
}

int CommandExitCode(int systemResult)
{
  return systemResult != -1 && WIFEXITED(systemResult) ? WEXITSTATUS(systemResult) : -1;
}

} // namespace testsupport
