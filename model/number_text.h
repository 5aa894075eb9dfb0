// The short number texts the engineer reads: at most two decimals, no trailing zeros, the point as separator.
// The wizard, the settings dialog, the report and the graphics legend all show numbers this way; the functions
// live here, below all of them, so they behave identically everywhere. Pure; any thread.
#pragma once

#include "platform/mfc-core/mfcstring.h"

// "%.2lf" of the magnitude without trailing zeros or a trailing point, the sign kept; "0" for zero and for a
// value that rounds to 0.00 (never "-0").
CString FormatTwoDecimals(double value);
// Commas become points; trailing zeros after a point are removed, and then the point itself; the first
// character is never removed. An empty text becomes "0".
CString NormalizeNumberText(CString text);
