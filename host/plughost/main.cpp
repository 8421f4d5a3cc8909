#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

int main(int argc, char** argv)
{
  if (argc < 2)
  {
    std::cerr << "plughost: no command\n" << plughost::Usage();
    return plughost::kExitUsage;
  }
  const std::string command = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "-h" || command == "--help")
  {
    std::cout << plughost::Usage();
    return 0;
  }
  if (command == "describe")
    return plughost::RunDescribe(args, std::cout, std::cerr);
  if (command == "render")
    return plughost::RunRender(args, std::cout, std::cerr);
  std::cerr << "plughost: unknown command '" << command << "'\n" << plughost::Usage();
  return plughost::kExitUsage;
}
