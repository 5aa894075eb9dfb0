// Everything of COM the program's code reaches for in one include, as it did with the compiler's support header.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/combase.h"
#include "platform/com/comerror.h"
#include "platform/com/comptr.h"
#include "platform/com/dispatch.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"
