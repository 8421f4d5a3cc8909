#pragma once
// Diagnostics the host offers a module: assertion reports and trace messages.
#include "AAX.h"
#include "ACFUnknown.h"

class AAX_IHostServices : public IACFUnknown
{
public:
  static constexpr acfIID kInterfaceID{0x6832926c, 0x8056, 0x486b, {0x94, 0x7e, 0x6f, 0x48, 0x3a, 0x47, 0x2e, 0x09}};

  // [any thread] a failed check in the module; execution continues after the report
  virtual AAX_Result HandleAssertFailure(const char* path, int32_t line, const char* condition, int32_t flags) = 0;
  // [any thread] one message of at most 511 characters
  virtual AAX_Result Trace(int32_t priority, const char* message) = 0;

protected:
  ~AAX_IHostServices() = default;
};
