#include "AAX_Exception.h"

#include "AAX_VHostServices.h"

AAX_CheckedResult& AAX_CheckedResult::operator=(AAX_Result result)
{
  Check(result);
  return *this;
}

void AAX_CheckedResult::Check(AAX_Result result)
{
  if (result == AAX_SUCCESS)
    return;
  AAX_Trace(AAX_eTracePriority_Normal, "AAX_CheckedResult - throwing %s", AAX_ResultName(result));
  throw AAX::Exception::ResultError(result);
}
