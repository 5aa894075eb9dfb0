// Locales as the user's number text sees them. The process stays in the C locale for good (files and engines
// write "1.5" whatever the user reads); a thread may take a locale of its own for what it shows, and the
// default locales answer from it, so the UI thread's SetThreadLocale(1049) gives the grid its comma.
#pragma once

#include "platform/base/wintypes.h"

#include <string>

using LCTYPE = DWORD;
inline constexpr LCTYPE LOCALE_SLIST = 0x0000000C;
inline constexpr LCTYPE LOCALE_SDECIMAL = 0x0000000E;
inline constexpr LCTYPE LOCALE_STHOUSAND = 0x0000000F;

// Records the calling thread's locale; nothing else changes, other threads least of all.
BOOL SetThreadLocale(LCID locale);
// LOCALE_USER_DEFAULT until the thread set its own.
LCID GetThreadLocale();
// The text of `type` for `locale` with its terminating zero into `data` (at most `size` chars); the chars
// needed when `size` is 0; 0 with ERROR_INSUFFICIENT_BUFFER, or ERROR_INVALID_PARAMETER for a type not known.
int GetLocaleInfo(LCID locale, LCTYPE type, LPSTR data, int size);
inline int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int size)
{
  return GetLocaleInfo(locale, type, data, size);
}

namespace platform {

// Two-letter language of a locale id. The default ids follow the calling thread's locale when it set one, else
// the user's environment (LC_ALL, LC_NUMERIC, LANG), as the control panel did.
std::string LanguageOf(LCID locale);
char DecimalSeparatorOf(const std::string& language);

}  // namespace platform
