#include "res/modules.h"

namespace res {

HINSTANCE RegisterModules()
{
  platform::RegisterResourceModule(ToolkitModule());
  platform::SetProgramModule(platform::RegisterResourceModule(ProgramModule()));
  return AfxGetInstanceHandle();
}

}  // namespace res
