#include "platform/mfc-core/mfcstring.h"

#include "platform/base/codepage.h"
#include "platform/mfc-core/exceptions.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <ostream>

namespace platform {

LoadStringFunction LoadStringHook = nullptr;

namespace {

// The C locale in force for this thread while formatting, whatever the process's locale is.
class CLocaleScope {
public:
  CLocaleScope() : previous_(uselocale(CLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
  static locale_t CLocale()
  {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
  }
  locale_t previous_;
};

template <typename... T>
void AppendPrintf(std::string& out, const char* directive, T... values)
{
  char small[128];
  int n = std::snprintf(small, sizeof small, directive, values...);
  if (n < 0) {
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.append(small, static_cast<std::size_t>(n));
    return;
  }
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), directive, values...);
  out.append(big.data(), static_cast<std::size_t>(n));
}

long long AsSigned(const FormatArgument* a)
{
  if (a == nullptr) {
    return 0;
  }
  switch (a->kind) {
  case FormatArgument::Kind::Signed:
    return a->i;
  case FormatArgument::Kind::Unsigned:
    return static_cast<long long>(a->u);
  case FormatArgument::Kind::Real:
    return static_cast<long long>(a->d);
  default:
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(a->p));
  }
}

double AsReal(const FormatArgument* a)
{
  if (a == nullptr) {
    return 0;
  }
  switch (a->kind) {
  case FormatArgument::Kind::Real:
    return a->d;
  case FormatArgument::Kind::Signed:
    return static_cast<double>(a->i);
  case FormatArgument::Kind::Unsigned:
    return static_cast<double>(a->u);
  default:
    return 0;
  }
}

}  // namespace

std::string FormatC(const char* format, const FormatArgument* arguments, std::size_t count)
{
  std::string out;
  if (format == nullptr) {
    return out;
  }
  CLocaleScope cLocale;
  std::size_t next = 0;
  auto take = [&]() -> const FormatArgument* { return next < count ? &arguments[next++] : nullptr; };

  for (const char* p = format; *p != '\0';) {
    if (*p != '%') {
      const char* end = std::strchr(p, '%');
      std::size_t n = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
      out.append(p, n);
      p += n;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      ++p;
      continue;
    }
    // %[flags][width][.precision][length]conversion; '*' takes an int argument.
    std::string directive = "%";
    while (*p != '\0' && std::strchr("-+ 0'#", *p) != nullptr) {
      directive += *p++;
    }
    if (*p == '*') {
      directive += std::to_string(static_cast<int>(AsSigned(take())));
      ++p;
    } else {
      while (*p >= '0' && *p <= '9') {
        directive += *p++;
      }
    }
    if (*p == '.') {
      directive += *p++;
      if (*p == '*') {
        directive += std::to_string(static_cast<int>(AsSigned(take())));
        ++p;
      } else {
        while (*p >= '0' && *p <= '9') {
          directive += *p++;
        }
      }
    }
    enum class Width { Char, Short, Default, Long64, Wide } width = Width::Default;
    for (bool more = true; more;) {
      switch (*p) {
      case 'h':
        width = width == Width::Short ? Width::Char : Width::Short;
        ++p;
        break;
      case 'l':
        // "l" is 32-bit, as on the program's platform; "ll" is 64-bit; "ls", "lc" are wide.
        width = width == Width::Wide ? Width::Long64 : Width::Wide;
        ++p;
        break;
      case 'q':
      case 'j':
      case 'z':
      case 't':
      case 'L':
        width = Width::Long64;
        ++p;
        break;
      case 'w':
        width = Width::Wide;
        ++p;
        break;
      case 'I':
        if (p[1] == '6' && p[2] == '4') {
          width = Width::Long64;
          p += 3;
        } else if (p[1] == '3' && p[2] == '2') {
          width = Width::Default;
          p += 3;
        } else {
          width = Width::Long64;
          ++p;
        }
        break;
      default:
        more = false;
        break;
      }
    }
    const char conversion = *p;
    if (conversion == '\0') {
      out.append(start);
      break;
    }
    ++p;
    switch (conversion) {
    case 'd':
    case 'i': {
      long long v = AsSigned(take());
      switch (width) {
      case Width::Char:
        v = static_cast<signed char>(v);
        break;
      case Width::Short:
        v = static_cast<short>(v);
        break;
      case Width::Default:
      case Width::Wide:
        v = static_cast<int>(v);
        break;
      case Width::Long64:
        break;
      }
      AppendPrintf(out, (directive + "lld").c_str(), v);
      break;
    }
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
      auto v = static_cast<unsigned long long>(AsSigned(take()));
      switch (width) {
      case Width::Char:
        v = static_cast<unsigned char>(v);
        break;
      case Width::Short:
        v = static_cast<unsigned short>(v);
        break;
      case Width::Default:
      case Width::Wide:
        v = static_cast<unsigned>(v);
        break;
      case Width::Long64:
        break;
      }
      AppendPrintf(out, (directive + "ll" + conversion).c_str(), v);
      break;
    }
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      AppendPrintf(out, (directive + conversion).c_str(), AsReal(take()));
      break;
    case 'c':
    case 'C': {
      long long v = AsSigned(take());
      char ch = (width == Width::Wide || conversion == 'C') ? codepage::Cp1251FromUnicode(static_cast<char32_t>(v))
                                                            : static_cast<char>(v);
      AppendPrintf(out, (directive + 'c').c_str(), static_cast<int>(static_cast<unsigned char>(ch)));
      break;
    }
    case 's':
    case 'S': {
      const FormatArgument* a = take();
      std::string converted;
      const char* text = "(null)";
      if (a != nullptr && a->kind == FormatArgument::Kind::WideText) {
        if (a->w != nullptr) {
          converted = codepage::Utf16ToCp1251(a->w);
          text = converted.c_str();
        }
      } else if (a != nullptr && (a->kind == FormatArgument::Kind::Text || a->kind == FormatArgument::Kind::Pointer)) {
        if (a->s != nullptr) {
          text = a->s;
        }
      } else {
        text = "";  // no argument, or a number where text was asked for: the framework would have crashed
      }
      AppendPrintf(out, (directive + 's').c_str(), text);
      break;
    }
    case 'p': {
      const FormatArgument* a = take();
      auto v = static_cast<unsigned long long>(a != nullptr ? reinterpret_cast<std::uintptr_t>(a->p) : 0);
      // Windows shows a pointer as upper-case hex digits filling the pointer's width.
      AppendPrintf(out, "%0*llX", static_cast<int>(sizeof(void*) * 2), v);
      break;
    }
    case 'n':
      take();  // never written through
      break;
    default:
      out.append(start, static_cast<std::size_t>(p - start));
      break;
    }
  }
  return out;
}


}  // namespace platform

namespace {

struct CaseTables {
  std::array<char, 256> upper;
  std::array<char, 256> lower;
};

char32_t UnicodeUpper(char32_t c)
{
  if ((c >= U'a' && c <= U'z') || (c >= 0x0430 && c <= 0x044F)) {
    return c - 0x20;
  }
  if (c >= 0x0450 && c <= 0x045F) {
    return c - 0x50;
  }
  if (c == 0x0491) {  // ґ
    return 0x0490;
  }
  return c;
}

char32_t UnicodeLower(char32_t c)
{
  if ((c >= U'A' && c <= U'Z') || (c >= 0x0410 && c <= 0x042F)) {
    return c + 0x20;
  }
  if (c >= 0x0400 && c <= 0x040F) {
    return c + 0x50;
  }
  if (c == 0x0490) {
    return 0x0491;
  }
  return c;
}

// Built from the codec, so every cp1251 letter pair (Russian, Ukrainian, Belarusian, Serbian, Macedonian) folds.
const CaseTables& Tables()
{
  static const CaseTables tables = [] {
    CaseTables t{};
    for (int b = 0; b < 256; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      const char32_t u = codepage::Cp1251ToUnicode(byte);
      t.upper[b] = static_cast<char>(byte);
      t.lower[b] = static_cast<char>(byte);
      if (b == codepage::kUnmappedByte) {
        continue;
      }
      const char32_t up = UnicodeUpper(u);
      const char32_t low = UnicodeLower(u);
      if (up != u) {
        t.upper[b] = codepage::Cp1251FromUnicode(up);
      }
      if (low != u) {
        t.lower[b] = codepage::Cp1251FromUnicode(low);
      }
    }
    return t;
  }();
  return tables;
}

int CompareBytes(const std::string& a, const char* b, bool foldCase)
{
  const std::size_t bLength = b != nullptr ? std::strlen(b) : 0;
  const std::size_t n = std::min(a.size(), bLength);
  const auto& lower = Tables().lower;
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(foldCase ? lower[static_cast<unsigned char>(a[i])] : a[i]);
    auto y = static_cast<unsigned char>(foldCase ? lower[static_cast<unsigned char>(b[i])] : b[i]);
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  return a.size() == bLength ? 0 : a.size() < bLength ? -1 : 1;
}

bool InSet(char ch, LPCSTR set) { return set != nullptr && ch != '\0' && std::strchr(set, ch) != nullptr; }

bool IsSpace(char ch) { return ch == ' ' || (ch >= '\t' && ch <= '\r'); }

}  // namespace

char Cp1251ToUpper(char ch) { return Tables().upper[static_cast<unsigned char>(ch)]; }
char Cp1251ToLower(char ch) { return Tables().lower[static_cast<unsigned char>(ch)]; }

CString::CString(const char16_t* lpsz) : m_str(lpsz != nullptr ? codepage::Utf16ToCp1251(lpsz) : std::string()) {}

CString& CString::operator=(LPCSTR lpsz)
{
  // The source may point into this string.
  m_str = std::string(lpsz != nullptr ? lpsz : "");
  return *this;
}

CString& CString::operator=(char ch)
{
  m_str.assign(1, ch);
  return *this;
}

CString& CString::operator=(const char16_t* lpsz)
{
  m_str = lpsz != nullptr ? codepage::Utf16ToCp1251(lpsz) : std::string();
  return *this;
}

CString CString::FromUtf8(std::string_view utf8) { return CString(std::string_view(codepage::Utf8ToCp1251(utf8))); }
CString CString::FromUtf16(std::u16string_view utf16)
{
  return CString(std::string_view(codepage::Utf16ToCp1251(utf16)));
}
std::string CString::ToUtf8() const { return codepage::Cp1251ToUtf8(m_str); }
std::u16string CString::ToUtf16() const { return codepage::Cp1251ToUtf16(m_str); }

void CString::ThrowBadIndex() { AfxThrowInvalidArgException(); }

char CString::GetAt(int nIndex) const
{
  if (nIndex < 0 || nIndex >= GetLength()) {
    ThrowBadIndex();
  }
  return m_str[static_cast<std::size_t>(nIndex)];
}

void CString::SetAt(int nIndex, char ch)
{
  if (nIndex < 0 || nIndex >= GetLength()) {
    ThrowBadIndex();
  }
  m_str[static_cast<std::size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& string)
{
  m_str += string.m_str;
  return *this;
}

CString& CString::operator+=(LPCSTR lpsz)
{
  if (lpsz != nullptr) {
    m_str.append(std::string(lpsz));  // the source may point into this string
  }
  return *this;
}

CString& CString::operator+=(char ch)
{
  m_str += ch;
  return *this;
}

void CString::Append(LPCSTR lpsz, int nLength)
{
  if (lpsz != nullptr && nLength > 0) {
    m_str.append(std::string(lpsz, static_cast<std::size_t>(nLength)));
  }
}

void CString::SetString(LPCSTR lpsz, int nLength)
{
  m_str = lpsz != nullptr && nLength > 0 ? std::string(lpsz, static_cast<std::size_t>(nLength)) : std::string();
}

int CString::Compare(LPCSTR lpsz) const { return CompareBytes(m_str, lpsz, false); }
int CString::CompareNoCase(LPCSTR lpsz) const { return CompareBytes(m_str, lpsz, true); }

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength() - std::max(nFirst, 0)); }

CString CString::Mid(int nFirst, int nCount) const
{
  nFirst = std::clamp(nFirst, 0, GetLength());
  nCount = std::clamp(nCount, 0, GetLength() - nFirst);
  return CString(std::string_view(m_str).substr(static_cast<std::size_t>(nFirst), static_cast<std::size_t>(nCount)));
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const
{
  nCount = std::clamp(nCount, 0, GetLength());
  return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCSTR lpszCharSet) const
{
  int n = 0;
  while (n < GetLength() && InSet(m_str[static_cast<std::size_t>(n)], lpszCharSet)) {
    ++n;
  }
  return Left(n);
}

CString CString::SpanExcluding(LPCSTR lpszCharSet) const
{
  int n = 0;
  while (n < GetLength() && !InSet(m_str[static_cast<std::size_t>(n)], lpszCharSet)) {
    ++n;
  }
  return Left(n);
}

CString& CString::MakeUpper()
{
  for (char& ch : m_str) {
    ch = Cp1251ToUpper(ch);
  }
  return *this;
}

CString& CString::MakeLower()
{
  for (char& ch : m_str) {
    ch = Cp1251ToLower(ch);
  }
  return *this;
}

CString& CString::MakeReverse()
{
  std::reverse(m_str.begin(), m_str.end());
  return *this;
}

int CString::Replace(char chOld, char chNew)
{
  int n = 0;
  for (char& ch : m_str) {
    if (ch == chOld) {
      ch = chNew;
      ++n;
    }
  }
  return n;
}

int CString::Replace(LPCSTR lpszOld, LPCSTR lpszNew)
{
  if (lpszOld == nullptr || *lpszOld == '\0') {
    return 0;
  }
  const std::string from(lpszOld);
  const std::string to(lpszNew != nullptr ? lpszNew : "");
  std::string result;
  int n = 0;
  std::size_t pos = 0;
  for (std::size_t hit; (hit = m_str.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    result.append(m_str, pos, hit - pos);
    result += to;
    ++n;
  }
  if (n > 0) {
    result.append(m_str, pos, std::string::npos);
    m_str = std::move(result);
  }
  return n;
}

int CString::Remove(char chRemove)
{
  const auto before = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
  return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, char ch)
{
  nIndex = std::clamp(nIndex, 0, GetLength());
  m_str.insert(static_cast<std::size_t>(nIndex), 1, ch);
  return GetLength();
}

int CString::Insert(int nIndex, LPCSTR lpsz)
{
  nIndex = std::clamp(nIndex, 0, GetLength());
  if (lpsz != nullptr) {
    m_str.insert(static_cast<std::size_t>(nIndex), std::string(lpsz));
  }
  return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
  nIndex = std::max(nIndex, 0);
  if (nCount > 0 && nIndex < GetLength()) {
    m_str.erase(static_cast<std::size_t>(nIndex), static_cast<std::size_t>(std::min(nCount, GetLength() - nIndex)));
  }
  return GetLength();
}

void CString::Truncate(int nNewLength)
{
  if (nNewLength < 0 || nNewLength > GetLength()) {
    ThrowBadIndex();
  }
  m_str.resize(static_cast<std::size_t>(nNewLength));
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(LPCSTR lpszTargets) { return TrimRight(lpszTargets).TrimLeft(lpszTargets); }

CString& CString::TrimLeft()
{
  std::size_t n = 0;
  while (n < m_str.size() && IsSpace(m_str[n])) {
    ++n;
  }
  m_str.erase(0, n);
  return *this;
}

CString& CString::TrimLeft(char chTarget)
{
  std::size_t n = 0;
  while (n < m_str.size() && m_str[n] == chTarget) {
    ++n;
  }
  m_str.erase(0, n);
  return *this;
}

CString& CString::TrimLeft(LPCSTR lpszTargets)
{
  std::size_t n = 0;
  while (n < m_str.size() && InSet(m_str[n], lpszTargets)) {
    ++n;
  }
  m_str.erase(0, n);
  return *this;
}

CString& CString::TrimRight()
{
  while (!m_str.empty() && IsSpace(m_str.back())) {
    m_str.pop_back();
  }
  return *this;
}

CString& CString::TrimRight(char chTarget)
{
  while (!m_str.empty() && m_str.back() == chTarget) {
    m_str.pop_back();
  }
  return *this;
}

CString& CString::TrimRight(LPCSTR lpszTargets)
{
  while (!m_str.empty() && InSet(m_str.back(), lpszTargets)) {
    m_str.pop_back();
  }
  return *this;
}

int CString::Find(char ch, int nStart) const
{
  if (nStart < 0 || nStart >= GetLength()) {
    return -1;
  }
  std::size_t hit = m_str.find(ch, static_cast<std::size_t>(nStart));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::Find(LPCSTR lpszSub, int nStart) const
{
  if (lpszSub == nullptr || nStart < 0 || nStart > GetLength()) {
    return -1;
  }
  std::size_t hit = m_str.find(lpszSub, static_cast<std::size_t>(nStart));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::ReverseFind(char ch) const
{
  std::size_t hit = m_str.rfind(ch);
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::FindOneOf(LPCSTR lpszCharSet) const
{
  for (std::size_t i = 0; i < m_str.size(); ++i) {
    if (InSet(m_str[i], lpszCharSet)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

CString CString::Tokenize(LPCSTR pszTokens, int& iStart) const
{
  if (iStart < 0) {
    return CString();
  }
  if (pszTokens == nullptr || *pszTokens == '\0') {
    if (iStart < GetLength()) {
      return Mid(iStart);
    }
    iStart = -1;
    return CString();
  }
  int first = iStart;
  while (first < GetLength() && InSet(m_str[static_cast<std::size_t>(first)], pszTokens)) {
    ++first;
  }
  if (first >= GetLength()) {
    iStart = -1;
    return CString();
  }
  int last = first;
  while (last < GetLength() && !InSet(m_str[static_cast<std::size_t>(last)], pszTokens)) {
    ++last;
  }
  iStart = last + 1;
  return Mid(first, last - first);
}

void CString::AppendFormatted(LPCSTR lpszFormat, const platform::FormatArgument* args, std::size_t count)
{
  m_str += platform::FormatC(lpszFormat, args, count);
}

void CString::FormatV(LPCSTR lpszFormat, va_list args) { m_str = platform::FormatCV(lpszFormat, args); }

void CString::AppendFormatV(LPCSTR lpszFormat, va_list args) { m_str += platform::FormatCV(lpszFormat, args); }

char* CString::GetBuffer() { return m_str.data(); }

char* CString::GetBuffer(int nMinBufLength)
{
  if (nMinBufLength < 0) {
    ThrowBadIndex();
  }
  if (static_cast<std::size_t>(nMinBufLength) > m_str.size()) {
    m_str.resize(static_cast<std::size_t>(nMinBufLength));
  }
  return m_str.data();
}

char* CString::GetBufferSetLength(int nNewLength)
{
  if (nNewLength < 0) {
    ThrowBadIndex();
  }
  m_str.resize(static_cast<std::size_t>(nNewLength));
  return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
  if (nNewLength < 0) {
    m_str.resize(std::strlen(m_str.c_str()));
  } else {
    m_str.resize(std::min(static_cast<std::size_t>(nNewLength), m_str.size()));
  }
}

void CString::Preallocate(int nLength)
{
  if (nLength > 0) {
    m_str.reserve(static_cast<std::size_t>(nLength));
  }
}

BOOL CString::LoadString(UINT nID) { return LoadString(nullptr, nID); }

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID)
{
  if (platform::LoadStringHook == nullptr) {
    return FALSE;
  }
  CString text;
  if (!platform::LoadStringHook(hInstance, nID, text)) {
    return FALSE;
  }
  *this = std::move(text);
  return TRUE;
}

CString operator+(const CString& a, const CString& b)
{
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, LPCSTR b)
{
  CString r(a);
  r += b;
  return r;
}

CString operator+(LPCSTR a, const CString& b)
{
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, char b)
{
  CString r(a);
  r += b;
  return r;
}

CString operator+(char a, const CString& b)
{
  CString r(a);
  r += b;
  return r;
}

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
bool operator!=(LPCSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.str() < b.str() ? true : false; }
bool operator<(const CString& a, LPCSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return b < a; }
bool operator>(const CString& a, LPCSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return !(b < a); }
bool operator<=(const CString& a, LPCSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return !(a < b); }
bool operator>=(const CString& a, LPCSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCSTR a, const CString& b) { return b.Compare(a) <= 0; }

BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep)
{
  rString.Empty();
  if (lpszFullString == nullptr || iSubString < 0) {
    return FALSE;
  }
  const char* start = lpszFullString;
  for (; iSubString > 0; --iSubString) {
    start = std::strchr(start, chSep);
    if (start == nullptr) {
      return FALSE;
    }
    ++start;
  }
  const char* end = std::strchr(start, chSep);
  rString = CString(start, end != nullptr ? static_cast<int>(end - start) : static_cast<int>(std::strlen(start)));
  return TRUE;
}

std::ostream& operator<<(std::ostream& out, const CString& text) { return out << text.ToUtf8(); }
