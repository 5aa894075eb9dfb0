#include "res/modules.h"

namespace res {

HINSTANCE RegisterModules()
{
  platform::RegisterResourceModule(ToolkitModule());
  HINSTANCE program = platform::RegisterResourceModule(ProgramModule());
  platform::SetProgramModule(program);
  return program;
}

}  // namespace res
