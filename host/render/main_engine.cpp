// talven-render where our host is not built (it loads modules only where it has a loader): the linked engine
// renders, which gives the module's samples for blocks of up to 512 frames.
#include "EngineRender.h"

int main(int argc, char** argv)
{
  return talvenhost::RunRenderTool(argc, argv, talvenhost::RenderWithEngine, "");
}
