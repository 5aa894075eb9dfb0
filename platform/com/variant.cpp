#include "platform/com/variant.h"

#include "platform/base/locale.h"
#include "platform/com/comerror.h"
#include "platform/com/dispatch.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace {

// How many bytes a VT_BYREF of each kind points at; 0 for kinds a variant does not carry.
std::size_t ValueSize(VARTYPE vt)
{
  switch (vt) {
  case VT_I1:
  case VT_UI1:
    return 1;
  case VT_I2:
  case VT_UI2:
  case VT_BOOL:
    return 2;
  case VT_I4:
  case VT_UI4:
  case VT_INT:
  case VT_UINT:
  case VT_R4:
  case VT_ERROR:
    return 4;
  case VT_R8:
  case VT_DATE:
  case VT_I8:
  case VT_UI8:
    return 8;
  case VT_BSTR:
  case VT_UNKNOWN:
  case VT_DISPATCH:
    return sizeof(void*);
  default:
    return 0;
  }
}

bool IsCarried(VARTYPE vt)
{
  if (vt & VT_ARRAY)
    return false;
  if (vt & VT_BYREF)
    return (vt & ~VT_BYREF) == VT_VARIANT || ValueSize(vt & ~VT_BYREF) != 0;
  return vt == VT_EMPTY || vt == VT_NULL || ValueSize(vt) != 0;
}

// Clears the variant it guards when it goes.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() = default;
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
  ~ScopedVariant() { VariantClear(&v); }
};

// --- Locale ---------------------------------------------------------------------------------------------------

using platform::LanguageOf;

char16_t DecimalSeparator(const std::string& language) { return platform::DecimalSeparatorOf(language); }

struct BoolWords {
  std::u16string yes;
  std::u16string no;
};

BoolWords LocalBoolWords(const std::string& language)
{
  if (language == "ru")
    return {u"Истина", u"Ложь"};
  return {u"True", u"False"};
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
  if (a.size() != b.size())
    return false;
  auto fold = [](char16_t c) -> char16_t {
    if (c >= u'A' && c <= u'Z')
      return static_cast<char16_t>(c - u'A' + u'a');
    if (c >= 0x0410 && c <= 0x042F)  // Cyrillic capitals
      return static_cast<char16_t>(c + 0x20);
    return c;
  };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i]))
      return false;
  return true;
}

// --- Numbers ----------------------------------------------------------------------------------------------------

// Every integer kind and double fit a long double exactly on this machine (64-bit mantissa).
using Number = long double;

bool IsNumeric(VARTYPE vt)
{
  switch (vt) {
  case VT_I1:
  case VT_UI1:
  case VT_I2:
  case VT_UI2:
  case VT_I4:
  case VT_UI4:
  case VT_INT:
  case VT_UINT:
  case VT_I8:
  case VT_UI8:
  case VT_R4:
  case VT_R8:
  case VT_DATE:
  case VT_BOOL:
    return true;
  default:
    return false;
  }
}

Number ReadNumber(const VARIANT& v)
{
  switch (v.vt) {
  case VT_I1:
    return v.cVal;
  case VT_UI1:
    return v.bVal;
  case VT_I2:
    return v.iVal;
  case VT_UI2:
    return v.uiVal;
  case VT_I4:
  case VT_INT:
    return v.lVal;
  case VT_UI4:
  case VT_UINT:
    return v.ulVal;
  case VT_I8:
    return v.llVal;
  case VT_UI8:
    return v.ullVal;
  case VT_R4:
    return v.fltVal;
  case VT_R8:
    return v.dblVal;
  case VT_DATE:
    return v.date;
  case VT_BOOL:
    return v.boolVal ? -1 : 0;
  default:
    return 0;
  }
}

template <class T>
HRESULT StoreInteger(Number value, T* out)
{
  // Round half to even, as the automation conversions do.
  const Number whole = std::nearbyint(value);
  if (!(whole >= static_cast<Number>(std::numeric_limits<T>::min()) &&
        whole <= static_cast<Number>(std::numeric_limits<T>::max())))
    return DISP_E_OVERFLOW;
  *out = static_cast<T>(whole);
  return S_OK;
}

// The range of dates the calendar functions accept: years 100 to 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;

HRESULT StoreNumber(Number value, VARTYPE vt, VARIANT* out)
{
  out->vt = vt;
  out->llVal = 0;
  switch (vt) {
  case VT_I1:
    return StoreInteger(value, &out->cVal);
  case VT_UI1:
    return StoreInteger(value, &out->bVal);
  case VT_I2:
    return StoreInteger(value, &out->iVal);
  case VT_UI2:
    return StoreInteger(value, &out->uiVal);
  case VT_I4:
  case VT_INT:
    return StoreInteger(value, &out->lVal);
  case VT_UI4:
  case VT_UINT:
    return StoreInteger(value, &out->ulVal);
  case VT_I8:
    return StoreInteger(value, &out->llVal);
  case VT_UI8:
    return StoreInteger(value, &out->ullVal);
  case VT_R4:
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
      return DISP_E_OVERFLOW;
    out->fltVal = static_cast<float>(value);
    return S_OK;
  case VT_R8:
    if (!std::isfinite(value) || std::fabs(value) > DBL_MAX)
      return DISP_E_OVERFLOW;
    out->dblVal = static_cast<double>(value);
    return S_OK;
  case VT_DATE:
    if (!(value >= kMinDate && value < kMaxDate))
      return DISP_E_OVERFLOW;
    out->date = static_cast<double>(value);
    return S_OK;
  case VT_BOOL:
    out->boolVal = value != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  default:
    return DISP_E_BADVARTYPE;
  }
}

// Text to a number: optional blanks, sign, digits with the locale's decimal separator, optional exponent.
HRESULT ParseNumber(std::u16string_view text, char16_t separator, Number* out)
{
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t'))
    text.remove_suffix(1);
  std::string ascii;
  for (char16_t c : text) {
    if (c == separator)
      ascii += '.';
    else if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'e' || c == u'E')
      ascii += static_cast<char>(c);
    else
      return DISP_E_TYPEMISMATCH;
  }
  std::string_view digits(ascii);
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty() || digits.front() == '+' || digits.front() == '-')
    return DISP_E_TYPEMISMATCH;
  const char* end = digits.data() + digits.size();
  // Whole numbers exactly, so that 64-bit values survive.
  unsigned long long whole = 0;
  auto [wholeEnd, wholeError] = std::from_chars(digits.data(), end, whole);
  if (wholeError == std::errc() && wholeEnd == end) {
    *out = negative ? -static_cast<Number>(whole) : static_cast<Number>(whole);
    return S_OK;
  }
  double real = 0;
  auto [realEnd, realError] = std::from_chars(digits.data(), end, real);
  if (realEnd != end)
    return DISP_E_TYPEMISMATCH;
  if (realError == std::errc::result_out_of_range)
    return DISP_E_OVERFLOW;
  if (realError != std::errc())
    return DISP_E_TYPEMISMATCH;
  *out = negative ? -real : real;
  return S_OK;
}

std::u16string FormatNumber(const VARIANT& v, char16_t separator)
{
  char text[64];
  switch (v.vt) {
  case VT_R4:
    std::snprintf(text, sizeof text, "%.7G", static_cast<double>(v.fltVal));
    break;
  case VT_R8:
    std::snprintf(text, sizeof text, "%.15G", v.dblVal);
    break;
  case VT_UI8:
    std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(v.ullVal));
    break;
  default:
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(ReadNumber(v)));
    break;
  }
  std::u16string out;
  for (const char* p = text; *p; ++p)
    out += *p == '.' ? separator : static_cast<char16_t>(*p);
  return out;
}

HRESULT StoreText(std::u16string_view text, VARIANT* out)
{
  BSTR s = SysAllocString(text);
  if (!s)
    return E_OUTOFMEMORY;
  out->vt = VT_BSTR;
  out->bstrVal = s;
  return S_OK;
}

// The conversion itself, from a value that is no reference into a fresh `out`.
HRESULT Convert(const VARIANT& from, LCID lcid, USHORT flags, VARTYPE vt, VARIANT* out)
{
  if (from.vt == vt)
    return VariantCopy(out, &from);
  if (vt == VT_NULL)
    return from.vt == VT_EMPTY ? (out->vt = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
  if (vt == VT_EMPTY || from.vt == VT_NULL || from.vt == VT_ERROR || vt == VT_ERROR)
    return DISP_E_TYPEMISMATCH;

  if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
    if (from.vt != VT_UNKNOWN && from.vt != VT_DISPATCH)
      return DISP_E_TYPEMISMATCH;
    out->vt = vt;
    out->punkVal = nullptr;
    if (!from.punkVal)
      return S_OK;
    HRESULT hr = from.punkVal->QueryInterface(vt == VT_UNKNOWN ? IID_IUnknown : IID_IDispatch,
                                              reinterpret_cast<void**>(&out->punkVal));
    if (FAILED(hr)) {
      VariantInit(out);
      return hr == E_NOINTERFACE ? DISP_E_TYPEMISMATCH : hr;
    }
    return S_OK;
  }
  // Objects have no default value here.
  if (from.vt == VT_UNKNOWN || from.vt == VT_DISPATCH)
    return DISP_E_TYPEMISMATCH;

  const std::string language = LanguageOf(lcid);
  const char16_t separator = DecimalSeparator(language);

  if (vt == VT_BSTR) {
    if (from.vt == VT_EMPTY)
      return StoreText(u"", out);
    if (from.vt == VT_BOOL) {
      if (flags & VARIANT_LOCALBOOL) {
        BoolWords words = LocalBoolWords(language);
        return StoreText(from.boolVal ? words.yes : words.no, out);
      }
      if (flags & VARIANT_ALPHABOOL)
        return StoreText(from.boolVal ? u"True" : u"False", out);
      return StoreText(from.boolVal ? u"-1" : u"0", out);
    }
    // Dates as text need the locale's date pictures, which nothing here asks for.
    if (from.vt == VT_DATE)
      return DISP_E_TYPEMISMATCH;
    return StoreText(FormatNumber(from, separator), out);
  }

  if (!IsNumeric(vt))
    return DISP_E_BADVARTYPE;
  Number value = 0;
  if (from.vt == VT_BSTR) {
    const std::u16string_view text(from.bstrVal ? from.bstrVal : u"", SysStringLen(from.bstrVal));
    if (vt == VT_BOOL) {
      const BoolWords local = LocalBoolWords(language);
      if (EqualsIgnoringCase(text, u"true") || EqualsIgnoringCase(text, local.yes))
        return StoreNumber(-1, vt, out);
      if (EqualsIgnoringCase(text, u"false") || EqualsIgnoringCase(text, local.no))
        return StoreNumber(0, vt, out);
    }
    HRESULT hr = ParseNumber(text, separator, &value);
    if (FAILED(hr))
      return hr;
  } else if (from.vt != VT_EMPTY) {
    value = ReadNumber(from);
  }
  return StoreNumber(value, vt, out);
}

// --- Calendar ---------------------------------------------------------------------------------------------------

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil-days algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long* year, unsigned* month, unsigned* day)
{
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *day = doy - (153 * mp + 2) / 5 + 1;
  *month = mp < 10 ? mp + 3 : mp - 9;
  *year = static_cast<long long>(yoe) + era * 400 + (*month <= 2);
}

// 1899-12-30, day 0 of automation dates, counted from 1970-01-01.
const long long kDateEpoch = DaysFromCivil(1899, 12, 30);

unsigned DaysInMonth(long long year, unsigned month)
{
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

}  // namespace

// --- Variants ---------------------------------------------------------------------------------------------------

HRESULT VariantClear(VARIANT* v)
{
  if (!v)
    return E_INVALIDARG;
  if (!IsCarried(v->vt))
    return DISP_E_BADVARTYPE;
  if (v->vt == VT_BSTR)
    SysFreeString(v->bstrVal);
  else if ((v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) && v->punkVal)
    v->punkVal->Release();
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
  if (!dest || !src)
    return E_INVALIDARG;
  if (dest == src)
    return S_OK;
  if (!IsCarried(src->vt))
    return DISP_E_BADVARTYPE;
  VARIANT copy;
  copy.vt = src->vt;
  copy.llVal = src->llVal;
  if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
    if (!copy.bstrVal)
      return E_OUTOFMEMORY;
  } else if ((src->vt == VT_UNKNOWN || src->vt == VT_DISPATCH) && src->punkVal) {
    src->punkVal->AddRef();
  }
  HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *dest = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src)
{
  if (!dest || !src)
    return E_INVALIDARG;
  if (!(src->vt & VT_BYREF))
    return VariantCopy(dest, src);
  if (!IsCarried(src->vt))
    return DISP_E_BADVARTYPE;
  if (!src->byref)
    return E_INVALIDARG;
  const VARTYPE base = src->vt & ~VT_BYREF;
  if (base == VT_VARIANT) {
    // One level only: a reference to a reference is not followed further.
    if (src->pvarVal->vt & VT_BYREF)
      return E_INVALIDARG;
    VARIANT referenced = *src->pvarVal;
    return VariantCopy(dest, &referenced);
  }
  VARIANT value;  // borrows what it points at; VariantCopy takes its own copy
  value.vt = base;
  std::memcpy(&value.llVal, src->byref, ValueSize(base));
  return VariantCopy(dest, &value);
}

HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags, VARTYPE vt)
{
  if (!dest || !src)
    return E_INVALIDARG;
  if ((vt & (VT_BYREF | VT_ARRAY)) || !IsCarried(vt))
    return DISP_E_BADVARTYPE;
  ScopedVariant from;
  HRESULT hr = VariantCopyInd(&from.v, src);
  if (FAILED(hr))
    return hr;
  ScopedVariant result;
  hr = Convert(from.v, lcid, flags, vt, &result.v);
  if (FAILED(hr))
    return hr;
  hr = VariantClear(dest);
  if (FAILED(hr))
    return hr;
  *dest = result.v;
  VariantInit(&result.v);
  return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt)
{
  return VariantChangeTypeEx(dest, src, LOCALE_USER_DEFAULT, flags, vt);
}

int SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date)
{
  if (!time || !date)
    return FALSE;
  const SYSTEMTIME& t = *time;
  if (t.wYear < 100 || t.wYear > 9999 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
      t.wDay > DaysInMonth(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59)
    return FALSE;
  const long long days = DaysFromCivil(t.wYear, t.wMonth, t.wDay) - kDateEpoch;
  const double fraction = (t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond) / 86400.0;
  *date = days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
  return TRUE;
}

int VariantTimeToSystemTime(DATE date, SYSTEMTIME* time)
{
  if (!time || !(date >= kMinDate && date < kMaxDate))
    return FALSE;
  long long days = static_cast<long long>(std::trunc(date));
  long long seconds = std::llround(std::fabs(date - static_cast<double>(days)) * 86400.0);
  if (seconds >= 86400) {
    // Rounding reached the next midnight; the time of day always runs forward.
    seconds -= 86400;
    ++days;
  }
  long long year;
  unsigned month, day;
  CivilFromDays(days + kDateEpoch, &year, &month, &day);
  if (year < 100 || year > 9999)
    return FALSE;
  time->wYear = static_cast<WORD>(year);
  time->wMonth = static_cast<WORD>(month);
  time->wDay = static_cast<WORD>(day);
  // 1970-01-01 was a Thursday (4).
  const long long weekday = ((days + kDateEpoch) % 7 + 7 + 4) % 7;
  time->wDayOfWeek = static_cast<WORD>(weekday);
  time->wHour = static_cast<WORD>(seconds / 3600);
  time->wMinute = static_cast<WORD>(seconds / 60 % 60);
  time->wSecond = static_cast<WORD>(seconds % 60);
  time->wMilliseconds = 0;
  return TRUE;
}

// --- _variant_t ------------------------------------------------------------------------------------------------

_variant_t::_variant_t(const VARIANT& src) { ComCheck(VariantCopy(this, &src)); }

_variant_t::_variant_t(_variant_t&& src) noexcept : VARIANT(static_cast<VARIANT&>(src)) { VariantInit(&src); }

_variant_t::_variant_t(VARIANT& src, bool copy)
{
  if (copy) {
    ComCheck(VariantCopy(this, &src));
  } else {
    static_cast<VARIANT&>(*this) = src;
    VariantInit(&src);
  }
}

_variant_t::_variant_t(SHORT value, VARTYPE type)
{
  if (type != VT_I2 && type != VT_BOOL)
    _com_issue_error(E_INVALIDARG);
  vt = type;
  if (type == VT_BOOL)
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  else
    iVal = value;
}

_variant_t::_variant_t(int value, VARTYPE type)
{
  if (type != VT_I4 && type != VT_INT && type != VT_ERROR && type != VT_BOOL)
    _com_issue_error(E_INVALIDARG);
  vt = type;
  if (type == VT_BOOL)
    boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  else
    lVal = value;
}

_variant_t::_variant_t(long value, VARTYPE type) : _variant_t(static_cast<int>(value), type) {}

_variant_t::_variant_t(long long value)
{
  vt = VT_I8;
  llVal = value;
}

_variant_t::_variant_t(BYTE value)
{
  vt = VT_UI1;
  bVal = value;
}

_variant_t::_variant_t(float value)
{
  vt = VT_R4;
  fltVal = value;
}

_variant_t::_variant_t(double value, VARTYPE type)
{
  if (type != VT_R8 && type != VT_DATE)
    _com_issue_error(E_INVALIDARG);
  vt = type;
  dblVal = value;
}

_variant_t::_variant_t(bool value)
{
  vt = VT_BOOL;
  boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

_variant_t::_variant_t(const char* text) : _variant_t(_bstr_t(text ? text : "")) {}

_variant_t::_variant_t(const OLECHAR* text) : _variant_t(_bstr_t(text ? text : u"")) {}

_variant_t::_variant_t(const _bstr_t& text)
{
  bstrVal = text.copy(true);
  if (!bstrVal)
    bstrVal = SysAllocString(u"");
  vt = VT_BSTR;
}

_variant_t::_variant_t(IUnknown* object, bool addRef)
{
  vt = VT_UNKNOWN;
  punkVal = object;
  if (object && addRef)
    object->AddRef();
}

_variant_t& _variant_t::operator=(const _variant_t& src) { return *this = static_cast<const VARIANT&>(src); }

_variant_t& _variant_t::operator=(_variant_t&& src) noexcept
{
  if (this != &src) {
    VariantClear(this);
    static_cast<VARIANT&>(*this) = src;
    VariantInit(&src);
  }
  return *this;
}

_variant_t& _variant_t::operator=(const VARIANT& src)
{
  ComCheck(VariantCopy(this, &src));
  return *this;
}

_variant_t _variant_t::Converted(VARTYPE type) const
{
  _variant_t out;
  ComCheck(VariantChangeType(&out, this, 0, type));
  return out;
}

_variant_t::operator SHORT() const { return vt == VT_I2 ? iVal : Converted(VT_I2).iVal; }
_variant_t::operator int() const { return vt == VT_I4 ? lVal : Converted(VT_I4).lVal; }
_variant_t::operator long() const { return static_cast<int>(*this); }
_variant_t::operator long long() const { return vt == VT_I8 ? llVal : Converted(VT_I8).llVal; }
_variant_t::operator BYTE() const { return vt == VT_UI1 ? bVal : Converted(VT_UI1).bVal; }
_variant_t::operator float() const { return vt == VT_R4 ? fltVal : Converted(VT_R4).fltVal; }
_variant_t::operator double() const { return vt == VT_R8 ? dblVal : Converted(VT_R8).dblVal; }
_variant_t::operator bool() const { return (vt == VT_BOOL ? boolVal : Converted(VT_BOOL).boolVal) != VARIANT_FALSE; }

_variant_t::operator _bstr_t() const
{
  if (vt == VT_BSTR)
    return _bstr_t(bstrVal, true);
  _variant_t text = Converted(VT_BSTR);
  return _bstr_t(std::exchange(text.bstrVal, nullptr), false);
}

_variant_t::operator IUnknown*() const
{
  _variant_t object = Converted(VT_UNKNOWN);
  IUnknown* out = std::exchange(object.punkVal, nullptr);
  return out;
}

void _variant_t::ChangeType(VARTYPE type, const _variant_t* src)
{
  ComCheck(VariantChangeType(this, src ? src : this, 0, type));
}

void _variant_t::Clear() { ComCheck(VariantClear(this)); }

void _variant_t::Attach(VARIANT& src)
{
  Clear();
  static_cast<VARIANT&>(*this) = src;
  VariantInit(&src);
}

VARIANT _variant_t::Detach()
{
  VARIANT out = *this;
  VariantInit(this);
  return out;
}

bool operator==(const _variant_t& a, const _variant_t& b)
{
  if (a.vt != b.vt)
    return false;
  switch (a.vt) {
  case VT_EMPTY:
  case VT_NULL:
    return true;
  case VT_BSTR:
    return std::u16string_view(a.bstrVal ? a.bstrVal : u"", SysStringLen(a.bstrVal)) ==
           std::u16string_view(b.bstrVal ? b.bstrVal : u"", SysStringLen(b.bstrVal));
  case VT_R4:
    return a.fltVal == b.fltVal;
  case VT_R8:
  case VT_DATE:
    return a.dblVal == b.dblVal;
  default:
    if (a.vt & VT_BYREF)
      return a.byref == b.byref;
    return std::memcmp(&a.llVal, &b.llVal, ValueSize(a.vt)) == 0;
  }
}
