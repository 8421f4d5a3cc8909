// The module's seven entry points. No exception may leave one: each answers ACF_E_UNEXPECTED instead.
#include <exception>

#include "AAX_Exception.h"
#include "AAX_VDescription.h"
#include "AAX_VHostServices.h"
#include "ACFModule.h"
#include "IPlugAAX_Describe.h"

namespace {

void TraceRegistrationFailure(const char* text)
{
  AAX_Trace(AAX_eTracePriority_High, "AAXRegisterPlugin exception caught: %s", text);
}

// Raises the description's failures so that one place turns every kind into a trace and a code.
ACFRESULT RegisterPlugin(IACFUnknown* host, IACFUnknown** definition)
{
  try
  {
    AAX_VCollection collection(host);
    const AAX_CheckedResult described(iplug::DescribeEffect(collection));
    (void)described;
    if (!definition)
      throw AAX::Exception::ResultError(AAX_ERROR_NULL_OBJECT);
    *definition = nullptr;
    IACFUnknown* unknown = collection.GetUnknown();
    void* found = nullptr;
    if (!unknown || unknown->QueryInterface(kAAXPluginDefinitionID, &found) != ACF_OK || !found)
      throw AAX::Exception::ResultError(AAX_ERROR_NULL_OBJECT);
    *definition = static_cast<IACFUnknown*>(found);
    return AAX_SUCCESS;
  }
  catch (const AAX::Exception::ResultError& error)
  {
    TraceRegistrationFailure(error.what());
    return error.Result();
  }
  catch (const std::exception& error) // AAX::Exception::Base included
  {
    TraceRegistrationFailure(error.what());
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
  catch (...)
  {
    TraceRegistrationFailure("unknown");
    return AAX_ERROR_UNKNOWN_EXCEPTION;
  }
}

} // namespace

ACF_EXPORT ACFRESULT ACFStartup(IACFUnknown* host)
{
  try
  {
    if (!AAX_GetHostServices() && host)
      AAX_InstallHostServices(host);
    else if (AAX_GetHostServices() && !host)
      AAX_RemoveHostServices();
    return ACF_OK;
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACF_EXPORT ACFRESULT ACFShutdown()
{
  try
  {
    AAX_RemoveHostServices();
    return ACF_OK;
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACF_EXPORT ACFRESULT ACFGetSDKVersion(uint64_t* version)
{
  if (!version)
    return ACF_E_UNEXPECTED;
  *version = kACFSDKVersion;
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFRegisterPlugin(IACFUnknown* host, IACFUnknown** definition)
{
  try
  {
    return RegisterPlugin(host, definition);
  }
  catch (...)
  {
    return ACF_E_UNEXPECTED;
  }
}

ACF_EXPORT ACFRESULT ACFRegisterComponent(IACFUnknown* /*host*/, const acfUID* /*componentID*/,
                                          IACFUnknown** component)
{
  if (component)
    *component = nullptr;
  return ACF_OK;
}

ACF_EXPORT ACFRESULT ACFGetClassFactory(IACFUnknown* /*host*/, const acfUID* /*classID*/, const acfIID* /*iid*/,
                                        void** factory)
{
  if (factory)
    *factory = nullptr;
  return AAX_ERROR_UNIMPLEMENTED;
}

ACF_EXPORT ACFRESULT ACFCanUnloadNow()
{
  return CACFUnknown::LiveObjectCount();
}
