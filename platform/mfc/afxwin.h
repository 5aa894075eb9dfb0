// The application framework in one include, as the program's sources expect it.
#pragma once

#include "platform/mfc-core/afx.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/cmdtarget.h"
#include "platform/mfc/doctemplate.h"
#include "platform/mfc/document.h"
#include "platform/mfc/fileprompt.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/menu.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/recentfilelist.h"
#include "platform/mfc/types.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"
#include "platform/mfc/wnd.h"
#include "platform/mfc-core/resources.h"
