// Windows' conversion functions over the code-page tables; apart from them so that the build-time tools take the
// tables without the last-error machinery.
#include "platform/base/codepage.h"
#include "platform/base/hresult.h"

#include <algorithm>
#include <string>
#include <string_view>

namespace {

// The input of a conversion: a length of -1 runs to the terminator and counts it.
template <class Char>
std::basic_string_view<Char> Input(const Char* text, int length)
{
  if (length >= 0) {
    return {text, static_cast<std::size_t>(length)};
  }
  return {text, std::char_traits<Char>::length(text) + 1};
}

template <class Char>
int Deliver(const std::basic_string<Char>& converted, Char* out, int outSize)
{
  const int needed = static_cast<int>(converted.size());
  if (outSize == 0) {
    return needed;
  }
  if (outSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::char_traits<Char>::copy(out, converted.data(), converted.size());
  return needed;
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide, int wideSize)
{
  if (text == nullptr || length == 0 || length < -1 || wideSize < 0 || (wideSize > 0 && wide == nullptr) ||
      (codePage != CP_ACP && codePage != 1251 && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string_view input = Input(text, length);
  const std::u16string converted =
      codePage == CP_UTF8 ? codepage::Utf8ToUtf16(input) : codepage::Cp1251ToUtf16(input);
  return Deliver(converted, wide, wideSize);
}

int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int length, LPSTR text, int textSize, LPCSTR,
                        BOOL* usedDefaultChar)
{
  if (wide == nullptr || length == 0 || length < -1 || textSize < 0 || (textSize > 0 && text == nullptr) ||
      (codePage != CP_ACP && codePage != 1251 && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string_view input = Input(wide, length);
  const std::string converted =
      codePage == CP_UTF8 ? codepage::Utf16ToUtf8(input) : codepage::Utf16ToCp1251(input);
  if (usedDefaultChar != nullptr) {
    *usedDefaultChar = FALSE;
    if (codePage != CP_UTF8) {
      // A '?' that was not a '?' before stands for a character cp1251 lacks.
      std::size_t questionMarks = 0;
      for (char16_t c : input) {
        questionMarks += c == u'?' ? 1 : 0;
      }
      *usedDefaultChar = static_cast<std::size_t>(std::count(converted.begin(), converted.end(), '?')) >
                         questionMarks;
    }
  }
  return Deliver(converted, text, textSize);
}

