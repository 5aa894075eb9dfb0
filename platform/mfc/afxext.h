// The framework's bars in one include, as the program's sources expect it beside afxwin.h.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/ctrlbar.h"
#include "platform/mfc/dialogbar.h"
#include "platform/mfc/rebar.h"
#include "platform/mfc/statusbar.h"
#include "platform/mfc/toolbar.h"
