#pragma once
// What the tests need from the operating system, one file per platform (TestPlatform_<os>.cpp).
namespace testsupport {

// the base of the loaded image (program or module) whose code or data holds address, or null
void* ImageContaining(const void* address);

// this process's identifier, for names of scratch files no other test run uses
long CurrentProcessId();

// the exit code of a command from what std::system returned, or -1 when it did not exit normally
int CommandExitCode(int systemResult);

} // namespace testsupport
