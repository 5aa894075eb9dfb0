// VARIANT: the tagged value of automation calls, in the subset the program and its servers exchange: empty,
// null, the integer and real kinds, currency-free dates, booleans, strings and interface pointers, and
// references to them (VT_BYREF). Arrays are not carried.
// A variant owns its BSTR and holds one reference on its interface pointer; a reference variant owns nothing.
#pragma once

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;
using DATE = double;
using SCODE = LONG;

struct IDispatch;

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_LPSTR = 30,
  VT_LPWSTR = 31,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000,
  VT_TYPEMASK = 0x0FFF,
};

// VariantChangeType flags.
inline constexpr USHORT VARIANT_NOVALUEPROP = 0x01;
inline constexpr USHORT VARIANT_ALPHABOOL = 0x02;
inline constexpr USHORT VARIANT_LOCALBOOL = 0x10;


inline constexpr HRESULT DISP_E_BADVARTYPE = static_cast<HRESULT>(0x80020008u);
inline constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000Au);

struct VARIANT {
  VARTYPE vt = VT_EMPTY;
  WORD wReserved1 = 0;
  WORD wReserved2 = 0;
  WORD wReserved3 = 0;
  union {
    LONGLONG llVal;
    ULONGLONG ullVal;
    LONG lVal;
    ULONG ulVal;
    INT intVal;
    UINT uintVal;
    BYTE bVal;
    CHAR cVal;
    SHORT iVal;
    USHORT uiVal;
    FLOAT fltVal;
    double dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    BYTE* pbVal;
    SHORT* piVal;
    LONG* plVal;
    LONGLONG* pllVal;
    FLOAT* pfltVal;
    double* pdblVal;
    VARIANT_BOOL* pboolVal;
    DATE* pdate;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    VARIANT* pvarVal;
    void* byref;
  };
  VARIANT() : llVal(0) {}
};
using VARIANTARG = VARIANT;
using LPVARIANT = VARIANT*;

inline void VariantInit(VARIANT* v)
{
  v->vt = VT_EMPTY;
  v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
  v->llVal = 0;
}

// Frees what the variant owns and leaves it empty.
HRESULT VariantClear(VARIANT* v);
// Clears `dest` first; a string is duplicated whole (embedded NULs too), an interface gains a reference.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* src);
// As VariantCopy, but a reference is followed and its value copied.
HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src);

// Converts `src` to `vt` into `dest` (which may be `src`). Numbers round half to even and fail with
// DISP_E_OVERFLOW out of range; strings are read and written with the locale's decimal separator; booleans
// are "True"/"False" as text. A failed conversion leaves `dest` as it was.
HRESULT VariantChangeTypeEx(VARIANT* dest, const VARIANT* src, LCID lcid, USHORT flags, VARTYPE vt);
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

// A calendar time, as the date and time functions take it.

// Automation dates count days from 1899-12-30; before it the fraction still runs forward (-1.25 is
// 1899-12-29 06:00). FALSE for a calendar date that does not exist or lies outside the years 100 to 9999.
// Milliseconds are ignored; a date is rounded to the second on the way back.
int SystemTimeToVariantTime(const SYSTEMTIME* time, DATE* date);
int VariantTimeToSystemTime(DATE date, SYSTEMTIME* time);

class _variant_t : public VARIANT {
public:
  _variant_t() = default;
  _variant_t(const VARIANT& src);
  _variant_t(const _variant_t& src) : _variant_t(static_cast<const VARIANT&>(src)) {}
  _variant_t(_variant_t&& src) noexcept;
  // Takes over `src` without copying when copy is false; `src` is left empty.
  _variant_t(VARIANT& src, bool copy);
  _variant_t(SHORT value, VARTYPE vt = VT_I2);
  _variant_t(int value, VARTYPE vt = VT_I4);
  // The program's long is 32-bit.
  _variant_t(long value, VARTYPE vt = VT_I4);
  _variant_t(long long value);
  _variant_t(BYTE value);
  _variant_t(float value);
  _variant_t(double value, VARTYPE vt = VT_R8);
  _variant_t(bool value);
  _variant_t(const char* text);
  _variant_t(const OLECHAR* text);
  _variant_t(const _bstr_t& text);
  _variant_t(IUnknown* object, bool addRef = true);
  ~_variant_t() { VariantClear(this); }

  _variant_t& operator=(const _variant_t& src);
  _variant_t& operator=(_variant_t&& src) noexcept;
  _variant_t& operator=(const VARIANT& src);
  template <class T>
  _variant_t& operator=(const T& value)
  {
    return *this = _variant_t(value);
  }

  // Each converts a copy and throws _com_error when the value does not convert.
  operator SHORT() const;
  operator int() const;
  operator long() const;
  operator long long() const;
  operator BYTE() const;
  operator float() const;
  operator double() const;
  operator bool() const;
  operator _bstr_t() const;
  // A reference the caller releases.
  operator IUnknown*() const;

  // Throws _com_error on failure; converts `src` (or the variant itself) into the variant.
  void ChangeType(VARTYPE vt, const _variant_t* src = nullptr);
  void Clear();
  void Attach(VARIANT& src);
  VARIANT Detach();
  void SetString(const char* text) { *this = _variant_t(text); }

  friend bool operator==(const _variant_t& a, const _variant_t& b);

private:
  _variant_t Converted(VARTYPE vt) const;
};
