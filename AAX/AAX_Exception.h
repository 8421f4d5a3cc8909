#pragma once
// Errors of the description path, the only place this layer raises exceptions. The module's registration
// entry catches them and turns them into a trace and a result code; nothing else may let one escape.
#include <exception>
#include <string>

#include "AAX_Errors.h"

namespace AAX::Exception {

class Base : public std::exception
{
public:
  explicit Base(std::string what) : mWhat(std::move(what)) {}
  const char* what() const noexcept override { return mWhat.c_str(); }

private:
  std::string mWhat;
};

// A host call that did not answer AAX_SUCCESS; the text is the code's name.
class ResultError : public Base
{
public:
  explicit ResultError(AAX_Result result) : Base(AAX_ResultName(result)), mResult(result) {}
  AAX_Result Result() const { return mResult; }

private:
  AAX_Result mResult;
};

} // namespace AAX::Exception

// Accepts only AAX_SUCCESS; any other result is traced and raised as AAX::Exception::ResultError.
// [host main thread, description path only]
class AAX_CheckedResult
{
public:
  AAX_CheckedResult() = default;
  AAX_CheckedResult(AAX_Result result) { Check(result); } // implicit, so a host call can be checked in place
  AAX_CheckedResult& operator=(AAX_Result result);

  operator AAX_Result() const { return mResult; }

private:
  void Check(AAX_Result result);

  AAX_Result mResult = AAX_SUCCESS;
};
