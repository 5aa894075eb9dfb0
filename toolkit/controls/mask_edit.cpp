#include "toolkit/controls/mask_edit.h"

#include "platform/user/system.h"

#include <cctype>

namespace tkmask {

char ToUpper(char ch)
{
  char text[2] = {ch, 0};
  CharUpperBuff(text, 1);
  return text[0];
}

char ToLower(char ch)
{
  char text[2] = {ch, 0};
  CharLowerBuff(text, 1);
  return text[0];
}

bool IsAlphaChar(char ch)
{
  return std::isalpha(static_cast<unsigned char>(ch)) != 0 || ToUpper(ch) != ch || ToLower(ch) != ch;
}

bool IsPrintChar(char ch)
{
  return std::isprint(static_cast<unsigned char>(ch)) != 0 || IsAlphaChar(ch);
}

bool ProcessMaskLetter(char& ch, char letter)
{
  const auto c = static_cast<unsigned char>(ch);
  const bool digit = std::isdigit(c) != 0;
  const bool hex = std::isxdigit(c) != 0;
  switch (letter) {
    case '#': return digit || ch == ' ' || ch == '+' || ch == '-';
    case '&': return IsPrintChar(ch);
    case '0': return digit;
    case '9': return digit || ch == ' ';
    case '<':
      if (!IsAlphaChar(ch))
        return false;
      ch = ToLower(ch);
      return true;
    case '>':
      if (!IsAlphaChar(ch))
        return false;
      ch = ToUpper(ch);
      return true;
    case '?': return IsAlphaChar(ch) || ch == ' ';
    case 'A': return std::isalnum(c) != 0 || IsAlphaChar(ch);
    case 'H': return hex;
    case 'L': return IsAlphaChar(ch);
    case 'X': return hex || ch == ' ';
    case 'a': return std::isalnum(c) != 0 || IsAlphaChar(ch) || ch == ' ';
    case 'd': return digit || ch == ' ' || ch == '+' || ch == ',' || ch == '-' || ch == '.';
    default: return false;
  }
}

}  // namespace tkmask
