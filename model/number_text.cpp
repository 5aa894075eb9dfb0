#include "model/number_text.h"

#include <cstdio>
#include <string>

CString FormatTwoDecimals(double value)
{
  if (value == 0.0)
    return CString("0");
  const bool negative = value < 0;
  const double magnitude = negative ? -value : value;
  // Sized by the conversion itself: the largest doubles have over three hundred integer digits.
  const int length = std::snprintf(nullptr, 0, "%.2lf", magnitude);
  std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0)
    std::snprintf(text.data(), text.size() + 1, "%.2lf", magnitude);
  if (!text.empty() && text.back() == '0') {
    const std::size_t separator = text.find_first_not_of("0123456789");
    // Only the decimals may go: never a digit before the separator (100.00 is 100, not 1).
    if (separator != std::string::npos) {
      while (text.size() > separator && (text.back() == '0' || text.size() - 1 == separator)) {
        const bool wasSeparator = text.size() - 1 == separator;
        text.pop_back();
        if (wasSeparator)
          break;
      }
    }
  }
  if (text.empty())
    text = "0";
  if (negative && text != "0")
    text.insert(text.begin(), '-');
  return CString(text.c_str());
}

CString NormalizeNumberText(CString text)
{
  text.Replace(',', '.');
  if (text.IsEmpty())
    return CString("0");
  if (text.Find('.') < 0)
    return text;
  int length = text.GetLength();
  while (length - 1 > 0) {
    const char last = text.GetAt(length - 1);
    if (last == '0') {
      --length;
      continue;
    }
    if (last == '.')
      --length;
    break;
  }
  text.Truncate(length);
  return text;
}
