// talven-render: the main job's renderer, through the TALVEN module built beside it.
#include "ModuleFrontEnd.h"

#ifndef TALVEN_DEFAULT_MODULE
#error "TALVEN_DEFAULT_MODULE names the module talven-render loads by default"
#endif

int main(int argc, char** argv)
{
  return talvenhost::RunRenderTool(argc, argv, talvenhost::RenderWithModule, TALVEN_DEFAULT_MODULE);
}
