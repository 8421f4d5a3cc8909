#pragma once
// AAX result codes: 0 is success, errors are negative. Only the codes this system produces or meets have names.
#include "AAX.h"

enum AAX_EError : AAX_Result
{
  AAX_SUCCESS = 0,
  AAX_ERROR_INVALID_PARAMETER_ID = -20001,
  AAX_ERROR_INVALID_STRING_CONVERSION = -20002,
  AAX_ERROR_NULL_OBJECT = -20004,
  AAX_ERROR_INVALID_CHUNK_INDEX = -20006,
  AAX_ERROR_INVALID_CHUNK_ID = -20007,
  AAX_ERROR_UNIMPLEMENTED = -20009,
  AAX_ERROR_NOT_INITIALIZED = -20011,
  AAX_ERROR_SIGNED_INT_OVERFLOW = -20033,
  AAX_ERROR_UNKNOWN_EXCEPTION = -20042,
  AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW = -20046
};

constexpr AAX_Result kAAXFirstPlugInDefinedError = -21000; // the block a plug-in may use for its own codes
constexpr AAX_Result kAAXLastPlugInDefinedError = -20600;

// [any thread, lock-free] the code's name, "plug-in defined error" or "<unknown error code>"; never null
const char* AAX_ResultName(AAX_Result result);
