// A module built on the AAX binding that hands out the instance handle its entry recorded.
#include "ACFModule.h"
#include "IPlugAAX_ModuleHandle.h"

ACF_EXPORT void* TestModuleInstanceHandle()
{
  return iplug::GetModuleInstanceHandle();
}
