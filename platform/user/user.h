// The window system, as the program's code includes it.
#pragma once

// The drawing functions that Windows keeps with its window system (FillRect, DrawText, system colours and
// metrics) live in the drawing library; they come along.
#include "platform/gdi/windraw.h"
#include "platform/user/accessibility.h"
#include "platform/user/clipboard.h"
#include "platform/user/commdlg.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/dropfiles.h"
#include "platform/user/global_memory.h"
#include "platform/user/hooks.h"
#include "platform/user/input.h"
#include "platform/user/menu.h"
#include "platform/user/messages.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "platform/user/picture.h"
#include "platform/user/prsht.h"
#include "platform/user/resources.h"
#include "platform/user/system.h"
#include "platform/user/uxtheme.h"
#include "platform/user/window.h"
#include "platform/user/window_region.h"
