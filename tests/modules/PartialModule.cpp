// A module that starts but cannot register: it lacks most of the entry points a host looks for.
#include "ACFModule.h"

ACF_EXPORT ACFRESULT ACFStartup(IACFUnknown* /*host*/)
{
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFShutdown()
{
  return ACF_OK;
}
