// The framework's core in one include, as the program's sources expect it.
#pragma once

#include "platform/mfc-core/afxtls.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/cfile.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc-core/debug.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/list.h"
#include "platform/mfc-core/map.h"
#include "platform/mfc-core/memfile.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/mfctime.h"
#include "platform/mfc-core/object.h"
#include "platform/mfc-core/oledatetime.h"
