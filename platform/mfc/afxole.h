// The framework's OLE support, as the program's sources include it: data objects and sources, drop targets
// and sources, shared memory files.
#pragma once

#include "platform/mfc/ole.h"
#include "platform/mfc/afxwin.h"
