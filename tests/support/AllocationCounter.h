#pragma once
// Counts heap allocations made through operator new on the calling thread
// while a scope is alive. Link test_support to replace the global operators.
#include <cstddef>

namespace testsupport {

class AllocationScope
{
public:
  AllocationScope();
  ~AllocationScope();
  AllocationScope(const AllocationScope&) = delete;
  AllocationScope& operator=(const AllocationScope&) = delete;

  // allocations seen on this thread since the scope opened
  std::size_t Count() const;

private:
  std::size_t mStart;
  bool mWasArmed;
};

} // namespace testsupport
