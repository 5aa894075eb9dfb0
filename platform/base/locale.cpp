#include "platform/base/locale.h"

#include "platform/base/hresult.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

// 0: the thread never chose one.
thread_local LCID t_locale = 0;

}  // namespace

BOOL SetThreadLocale(LCID locale)
{
  t_locale = locale;
  return TRUE;
}

LCID GetThreadLocale() { return t_locale != 0 ? t_locale : LOCALE_USER_DEFAULT; }

int GetLocaleInfo(LCID locale, LCTYPE type, LPSTR data, int size)
{
  const std::string language = platform::LanguageOf(locale);
  const char separator = platform::DecimalSeparatorOf(language);
  std::string text;
  switch (type) {
  case LOCALE_SDECIMAL:
    text = separator;
    break;
  case LOCALE_STHOUSAND:
    // Where the comma is taken, groups are parted by a (non-breaking in 1251) space.
    text = separator == ',' ? "\xA0" : ",";
    break;
  case LOCALE_SLIST:
    text = separator == ',' ? ";" : ",";
    break;
  default:
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int needed = static_cast<int>(text.size()) + 1;
  if (size == 0)
    return needed;
  if (!data || size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, text.c_str(), static_cast<size_t>(needed));
  return needed;
}

namespace platform {

std::string LanguageOf(LCID locale)
{
  struct Language {
    WORD id;
    const char* code;
  };
  static constexpr Language kLanguages[] = {
      {0x02, "bg"}, {0x05, "cs"}, {0x06, "da"}, {0x07, "de"}, {0x08, "el"}, {0x09, "en"}, {0x0A, "es"},
      {0x0B, "fi"}, {0x0C, "fr"}, {0x0E, "hu"}, {0x10, "it"}, {0x13, "nl"}, {0x14, "no"}, {0x15, "pl"},
      {0x16, "pt"}, {0x18, "ro"}, {0x19, "ru"}, {0x1A, "hr"}, {0x1B, "sk"}, {0x1D, "sv"}, {0x1F, "tr"},
      {0x22, "uk"}, {0x23, "be"}, {0x24, "sl"}, {0x25, "et"}, {0x26, "lv"}, {0x27, "lt"}, {0x3F, "kk"},
  };
  WORD language = static_cast<WORD>(locale & 0x3FF);
  if (language == 0)
    language = static_cast<WORD>(t_locale & 0x3FF);
  if (language != 0) {
    for (const Language& l : kLanguages)
      if (l.id == language)
        return l.code;
    return "en";
  }
  for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) {
      std::string code;
      for (const char* p = value; std::isalpha(static_cast<unsigned char>(*p)); ++p)
        code += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
      return code;
    }
  }
  return "en";
}

char DecimalSeparatorOf(const std::string& language)
{
  static constexpr const char* kCommaLanguages[] = {"bg", "cs", "da", "de", "el", "es", "et", "fi", "fr", "hr",
                                                    "hu", "it", "kk", "lt", "lv", "nl", "no", "pl", "pt", "ro",
                                                    "ru", "sk", "sl", "sv", "tr", "uk", "be"};
  for (const char* code : kCommaLanguages)
    if (language == code)
      return ',';
  return '.';
}

}  // namespace platform
