// Numbers as text in the C locale, whatever locale the process or thread is in. Engine input files and
// CString::Format go through here, so that 1.5 is written "1.5" on a machine whose locale writes "1,5" (the
// program sets a Russian thread locale at start-up).
//
// The format strings are printf's, checked by the compiler. Mind the widths: "%ld" takes a `long`, 64-bit here,
// where the Windows program passed a 32-bit LONG; pass `static_cast<long>(value)`.
#pragma once

#include <cstdarg>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string FormatC(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatCV(const char* format, std::va_list arguments) __attribute__((format(printf, 1, 0)));

// The number the whole of `text` spells in the C locale (leading white space allowed, nothing after it).
std::optional<double> ParseDoubleC(std::string_view text);
std::optional<long long> ParseIntegerC(std::string_view text);

}  // namespace platform
