// The rich edit classes, included beside afxwin.h as the framework has them.
#pragma once

#include "platform/mfc/richedit.h"
