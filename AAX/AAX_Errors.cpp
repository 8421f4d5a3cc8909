#include "AAX_Errors.h"

#include <array>

namespace {

struct ResultName
{
  AAX_Result mCode;
  const char* mName;
};

// Codes of the -20001 .. -20046 block without an entry here are shown as unknown.
constexpr std::array kResultNames{
  ResultName{AAX_SUCCESS, "AAX_SUCCESS"},
  ResultName{AAX_ERROR_INVALID_PARAMETER_ID, "AAX_ERROR_INVALID_PARAMETER_ID"},
  ResultName{AAX_ERROR_INVALID_STRING_CONVERSION, "AAX_ERROR_INVALID_STRING_CONVERSION"},
  ResultName{AAX_ERROR_NULL_OBJECT, "AAX_ERROR_NULL_OBJECT"},
  ResultName{AAX_ERROR_INVALID_CHUNK_INDEX, "AAX_ERROR_INVALID_CHUNK_INDEX"},
  ResultName{AAX_ERROR_INVALID_CHUNK_ID, "AAX_ERROR_INVALID_CHUNK_ID"},
  ResultName{AAX_ERROR_UNIMPLEMENTED, "AAX_ERROR_UNIMPLEMENTED"},
  ResultName{AAX_ERROR_NOT_INITIALIZED, "AAX_ERROR_NOT_INITIALIZED"},
  ResultName{AAX_ERROR_SIGNED_INT_OVERFLOW, "AAX_ERROR_SIGNED_INT_OVERFLOW"},
  ResultName{AAX_ERROR_UNKNOWN_EXCEPTION, "AAX_ERROR_UNKNOWN_EXCEPTION"},
  ResultName{AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW, "AAX_ERROR_ARGUMENT_BUFFER_OVERFLOW"},
};

constexpr bool IsInCodeOrder()
{
  for (std::size_t i = 1; i < kResultNames.size(); ++i)
    if (kResultNames[i].mCode >= kResultNames[i - 1].mCode)
      return false;
  return true;
}
static_assert(IsInCodeOrder(), "the name table is kept in code order so it reads against the code list");

} // namespace

const char* AAX_ResultName(AAX_Result result)
{
  for (const ResultName& entry : kResultNames)
    if (entry.mCode == result)
      return entry.mName;
  if (result >= kAAXFirstPlugInDefinedError && result <= kAAXLastPlugInDefinedError)
    return "plug-in defined error";
  return "<unknown error code>";
}
