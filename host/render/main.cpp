#include <iostream>

#include "RenderJob.h"

int main(int argc, char** argv)
{
  talvenhost::RenderOptions options;
  bool help = false;
  std::string error;
  if (talvenhost::ParseRenderArguments(argc, argv, options, help, error) != 0)
  {
    std::cerr << "talven-render: " << error << "\n" << talvenhost::RenderUsage();
    return talvenhost::kExitUsage;
  }
  if (help)
  {
    std::cout << talvenhost::RenderUsage();
    return 0;
  }
  return talvenhost::RunRenderCommand(options, std::cout, std::cerr);
}
