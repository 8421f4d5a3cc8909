// The instance handle the AAX binding records for the module it is linked into: the graphics object finds the
// module's resources through it, so a wrong image would load another module's pictures or none.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "IPlugAAX_ModuleHandle.h"
#include "ModuleLibrary.h"
#include "TestPlatform.h"

#ifndef HANDLE_MODULE
#error "HANDLE_MODULE names the module that reports its instance handle"
#endif

namespace {

using HandleProc = void* (*)();

void AFunctionOfThisProgram() {}

TEST(ModuleHandle, AModuleRecordsTheImageItWasLoadedAs)
{
  std::string error;
  std::unique_ptr<aaxhost::ModuleLibrary> library = aaxhost::ModuleLibrary::Open(HANDLE_MODULE, error);
  ASSERT_TRUE(library) << error;
  void* const symbol = library->Symbol("TestModuleInstanceHandle");
  ASSERT_NE(symbol, nullptr);
  void* const handle = reinterpret_cast<HandleProc>(symbol)();
  EXPECT_NE(handle, nullptr);
  EXPECT_EQ(handle, testsupport::ImageContaining(symbol));
  EXPECT_NE(handle, iplug::GetModuleInstanceHandle());
}

TEST(ModuleHandle, AProgramLinkingTheBindingGetsItsOwnImage)
{
  EXPECT_NE(iplug::GetModuleInstanceHandle(), nullptr);
  EXPECT_EQ(iplug::GetModuleInstanceHandle(),
            testsupport::ImageContaining(reinterpret_cast<const void*>(&AFunctionOfThisProgram)));
}

} // namespace
