// The program's two resource modules, compiled from the scripts in res/program and res/toolkit.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/resources.h"

namespace res {

inline constexpr const char* kProgramModuleFileName = "QorRoad";
// The toolkit's module; the program loads it by this name and must work without it.
inline constexpr const char* kToolkitModuleFileName = "QorRoad.ru";

const platform::ResourceModuleData& ProgramModule();
const platform::ResourceModuleData& ToolkitModule();

// Registers both modules, makes the program's module the instance's and answers the instance handle.
// Start-up calls it before anything loads a resource; calling it again changes nothing.
HINSTANCE RegisterModules();

}  // namespace res
