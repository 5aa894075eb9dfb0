// The framework's standard dialogs and property sheets, as the program's sources include them.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/commdlg.h"
#include "platform/mfc/propsheet.h"
