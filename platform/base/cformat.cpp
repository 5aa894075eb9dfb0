#include "platform/base/cformat.h"

#include <locale.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

locale_t CLocale()
{
  // Made once and kept for the life of the process; newlocale of "C" cannot fail short of memory.
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

// Puts the C locale in force on this thread for a scope.
class InCLocale {
public:
  InCLocale() : previous_(uselocale(CLocale())) {}
  ~InCLocale() { uselocale(previous_); }
  InCLocale(const InCLocale&) = delete;
  InCLocale& operator=(const InCLocale&) = delete;

private:
  locale_t previous_;
};

}  // namespace

std::string FormatC(const char* format, ...)
{
  std::va_list arguments;
  va_start(arguments, format);
  std::string text = FormatCV(format, arguments);
  va_end(arguments);
  return text;
}

std::string FormatCV(const char* format, std::va_list arguments)
{
  if (format == nullptr) {
    return std::string();
  }
  InCLocale cLocale;
  char small[256];
  std::va_list again;
  va_copy(again, arguments);
  int length = std::vsnprintf(small, sizeof small, format, arguments);
  if (length < 0) {
    va_end(again);
    return std::string();
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    va_end(again);
    return std::string(small, static_cast<std::size_t>(length));
  }
  std::string text(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}

std::optional<double> ParseDoubleC(std::string_view text)
{
  std::string copy(text);  // strtod needs a terminator
  char* end = nullptr;
  errno = 0;
  double value = strtod_l(copy.c_str(), &end, CLocale());
  if (end == copy.c_str() || *end != '\0' || errno == ERANGE) {
    return std::nullopt;
  }
  return value;
}

std::optional<long long> ParseIntegerC(std::string_view text)
{
  std::string copy(text);
  char* end = nullptr;
  errno = 0;
  long long value = strtoll_l(copy.c_str(), &end, 10, CLocale());
  if (end == copy.c_str() || *end != '\0' || errno == ERANGE) {
    return std::nullopt;
  }
  return value;
}

}  // namespace platform
