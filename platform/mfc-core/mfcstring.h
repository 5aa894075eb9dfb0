// CString: the program's 8-bit string. Its bytes are code page 1251, as the program's were; the stored length
// may include NUL bytes. Unicode appears only at the edges: ToUtf8/FromUtf8 and the UTF-16 forms.
//
// Format and AppendFormat follow printf in the C locale whatever the process locale is (a decimal point,
// never a comma). They take typed arguments, so a CString may be passed for %s as the program does, and the
// width of an integer comes from the argument, not the length modifier: "%ld" of a 32-bit LONG prints it
// right (long is 64-bit here, 32-bit on the program's original platform). "%I64d", "%I32d", "%S" and "%ls"
// (a char16_t string, converted to cp1251) are understood.
#pragma once

#include "platform/base/cformat.h"
#include "platform/base/wintypes.h"

#include <cstdarg>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>

class CString;

namespace platform {

// The body of CString::LoadString, set by the resources library: the string-table text of `id` in cp1251,
// looked up in `module` (null: the program's own resources, in the program's lookup order). FALSE when absent.
using LoadStringFunction = BOOL (*)(HINSTANCE module, UINT id, CString& text);
extern LoadStringFunction LoadStringHook;

// One argument of CString::Format, kept with its type.
struct FormatArgument {
  enum class Kind { Signed, Unsigned, Real, Text, WideText, Pointer };
  Kind kind;
  union {
    long long i;
    unsigned long long u;
    double d;
    const char* s;
    const char16_t* w;
    const void* p;
  };
};

// printf in the C locale over typed arguments; see CString::Format.
std::string FormatC(const char* format, const FormatArgument* arguments, std::size_t count);

}  // namespace platform

class CString {
public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(LPCSTR lpsz) : m_str(lpsz != nullptr ? lpsz : "") {}
  CString(LPCSTR lpch, int nLength) : m_str(lpch != nullptr && nLength > 0 ? std::string(lpch, nLength) : std::string()) {}
  CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCSTR>(lpsz)) {}
  explicit CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? static_cast<std::size_t>(nRepeat) : 0, ch) {}
  // UTF-16 text converted to cp1251; unmappable characters become '?'.
  CString(const char16_t* lpsz);
  explicit CString(std::string_view text) : m_str(text) {}
  ~CString() = default;

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCSTR lpsz);
  CString& operator=(char ch);
  CString& operator=(const char16_t* lpsz);

  // Edges.
  static CString FromUtf8(std::string_view utf8);
  static CString FromUtf16(std::u16string_view utf16);
  std::string ToUtf8() const;
  std::u16string ToUtf16() const;
  const std::string& str() const { return m_str; }

  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  LPCSTR GetString() const { return m_str.c_str(); }
  operator LPCSTR() const { return m_str.c_str(); }

  // Index checks throw CInvalidArgException, as the collections do.
  char GetAt(int nIndex) const;
  void SetAt(int nIndex, char ch);
  char operator[](int nIndex) const { return GetAt(nIndex); }

  CString& operator+=(const CString& string);
  CString& operator+=(LPCSTR lpsz);
  CString& operator+=(char ch);
  void Append(LPCSTR lpsz, int nLength);
  void AppendChar(char ch) { m_str += ch; }
  void SetString(LPCSTR lpsz, int nLength);

  // Byte order comparison (strcmp); the NoCase forms fold cp1251 letters, Cyrillic included.
  int Compare(LPCSTR lpsz) const;
  int CompareNoCase(LPCSTR lpsz) const;
  int Collate(LPCSTR lpsz) const { return Compare(lpsz); }
  int CollateNoCase(LPCSTR lpsz) const { return CompareNoCase(lpsz); }

  // Out-of-range arguments are clamped, as the framework does.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(LPCSTR lpszCharSet) const;
  CString SpanExcluding(LPCSTR lpszCharSet) const;

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();

  int Replace(char chOld, char chNew);
  int Replace(LPCSTR lpszOld, LPCSTR lpszNew);
  int Remove(char chRemove);
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, LPCSTR lpsz);
  int Delete(int nIndex, int nCount = 1);
  void Truncate(int nNewLength);

  CString& Trim();
  CString& Trim(char chTarget);
  CString& Trim(LPCSTR lpszTargets);
  CString& TrimLeft();
  CString& TrimLeft(char chTarget);
  CString& TrimLeft(LPCSTR lpszTargets);
  CString& TrimRight();
  CString& TrimRight(char chTarget);
  CString& TrimRight(LPCSTR lpszTargets);

  // -1 when not found.
  int Find(char ch, int nStart = 0) const;
  int Find(LPCSTR lpszSub, int nStart = 0) const;
  int ReverseFind(char ch) const;
  int FindOneOf(LPCSTR lpszCharSet) const;
  // The next token after iStart, which moves past it; at the end an empty string and iStart = -1.
  CString Tokenize(LPCSTR pszTokens, int& iStart) const;

  template <typename... Args>
  void Format(LPCSTR lpszFormat, const Args&... args);
  // The format is the string-table text of nFormatID.
  template <typename... Args>
  void Format(UINT nFormatID, const Args&... args);
  template <typename... Args>
  void AppendFormat(LPCSTR lpszFormat, const Args&... args);
  void FormatV(LPCSTR lpszFormat, va_list args);
  void AppendFormatV(LPCSTR lpszFormat, va_list args);

  // The buffer holds at least nMinBufLength characters and a terminator; ReleaseBuffer(-1) takes the length
  // up to the first NUL.
  char* GetBuffer();
  char* GetBuffer(int nMinBufLength);
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  void ReleaseBufferSetLength(int nNewLength) { ReleaseBuffer(nNewLength); }
  char* LockBuffer() { return GetBuffer(); }
  void UnlockBuffer() {}
  void FreeExtra() { m_str.shrink_to_fit(); }
  void Preallocate(int nLength);

  BOOL LoadString(UINT nID);
  BOOL LoadString(HINSTANCE hInstance, UINT nID);

private:
  void AppendFormatted(LPCSTR lpszFormat, const platform::FormatArgument* args, std::size_t count);
  static void ThrowBadIndex();

  std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCSTR b);
bool operator==(LPCSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCSTR b);
bool operator!=(LPCSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCSTR b);
bool operator<(LPCSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCSTR b);
bool operator>(LPCSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCSTR b);
bool operator<=(LPCSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCSTR b);
bool operator>=(LPCSTR a, const CString& b);

// Upper and lower case of one cp1251 byte (Latin and Cyrillic letters).
char Cp1251ToUpper(char ch);
char Cp1251ToLower(char ch);

// The iSubString-th piece of lpszFullString between chSep separators ("prompt\ntip" resource strings).
// FALSE, with rString empty, when there are fewer pieces.
BOOL AfxExtractSubString(CString& rString, LPCSTR lpszFullString, int iSubString, char chSep = '\n');

// Tests and logs see the text as UTF-8.
std::ostream& operator<<(std::ostream& out, const CString& text);

template <>
struct std::hash<CString> {
  std::size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};

namespace platform::detail {

template <typename T>
FormatArgument MakeFormatArgument(const T& value)
{
  FormatArgument a{};
  using U = std::decay_t<T>;
  if constexpr (std::is_same_v<U, CString>) {
    a.kind = FormatArgument::Kind::Text;
    a.s = value.GetString();
  } else if constexpr (std::is_same_v<U, bool>) {
    a.kind = FormatArgument::Kind::Signed;
    a.i = value ? 1 : 0;
  } else if constexpr (std::is_enum_v<U>) {
    a.kind = FormatArgument::Kind::Signed;
    a.i = static_cast<long long>(value);
  } else if constexpr (std::is_integral_v<U> && std::is_signed_v<U>) {
    a.kind = FormatArgument::Kind::Signed;
    a.i = value;
  } else if constexpr (std::is_integral_v<U>) {
    a.kind = FormatArgument::Kind::Unsigned;
    a.u = value;
  } else if constexpr (std::is_floating_point_v<U>) {
    a.kind = FormatArgument::Kind::Real;
    a.d = static_cast<double>(value);
  } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*>) {
    a.kind = FormatArgument::Kind::Text;
    a.s = value;
  } else if constexpr (std::is_same_v<U, const char16_t*> || std::is_same_v<U, char16_t*>) {
    a.kind = FormatArgument::Kind::WideText;
    a.w = value;
  } else if constexpr (std::is_same_v<U, std::nullptr_t>) {
    a.kind = FormatArgument::Kind::Pointer;
    a.p = nullptr;
  } else {
    static_assert(std::is_pointer_v<U>, "CString::Format takes numbers, pointers, C strings and CStrings");
    a.kind = FormatArgument::Kind::Pointer;
    a.p = reinterpret_cast<const void*>(value);
  }
  return a;
}

}  // namespace platform::detail

template <typename... Args>
void CString::Format(LPCSTR lpszFormat, const Args&... args)
{
  CString result;
  if constexpr (sizeof...(Args) == 0) {
    result.AppendFormatted(lpszFormat, nullptr, 0);
  } else {
    const platform::FormatArgument arguments[] = {platform::detail::MakeFormatArgument(args)...};
    result.AppendFormatted(lpszFormat, arguments, sizeof...(Args));
  }
  *this = std::move(result);
}

template <typename... Args>
void CString::Format(UINT nFormatID, const Args&... args)
{
  CString format;
  if (format.LoadString(nFormatID)) {
    Format(format.GetString(), args...);
  } else {
    Empty();
  }
}

template <typename... Args>
void CString::AppendFormat(LPCSTR lpszFormat, const Args&... args)
{
  if constexpr (sizeof...(Args) == 0) {
    AppendFormatted(lpszFormat, nullptr, 0);
  } else {
    const platform::FormatArgument arguments[] = {platform::detail::MakeFormatArgument(args)...};
    AppendFormatted(lpszFormat, arguments, sizeof...(Args));
  }
}
