#include "platform/base/locale.h"
#include "platform/com/comerror.h"
#include "platform/com/variant.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

constexpr LCID kRussian = 0x0419;
constexpr LCID kEnglish = 0x0409;

// Counts its references so that tests see what a variant holds.
struct CountedObject : IUnknown {
  ULONG refs = 1;
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid != IID_IUnknown) {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    *out = this;
    AddRef();
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
};

VARIANT Text(std::u16string_view text)
{
  VARIANT v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(text);
  return v;
}

std::u16string TextOf(const VARIANT& v) { return std::u16string(v.bstrVal, SysStringLen(v.bstrVal)); }

TEST(Variant, ClearFreesTheStringAndReleasesTheObject)
{
  CountedObject object;
  VARIANT v;
  v.vt = VT_UNKNOWN;
  v.punkVal = &object;
  object.AddRef();
  EXPECT_EQ(VariantClear(&v), S_OK);
  EXPECT_EQ(object.refs, 1u);
  EXPECT_EQ(v.vt, VT_EMPTY);

  VARIANT s = Text(u"freed under ASan");
  EXPECT_EQ(VariantClear(&s), S_OK);
  EXPECT_EQ(s.vt, VT_EMPTY);

  VARIANT odd;
  odd.vt = VT_ARRAY | VT_UI1;
  EXPECT_EQ(VariantClear(&odd), DISP_E_BADVARTYPE);
}

TEST(Variant, CopyDuplicatesStringsWholeAndCountsReferences)
{
  const char16_t raw[] = {u'x', 0, u'y'};
  VARIANT src = Text(std::u16string_view(raw, 3));
  VARIANT dest = Text(u"replaced");
  ASSERT_EQ(VariantCopy(&dest, &src), S_OK);
  EXPECT_NE(dest.bstrVal, src.bstrVal);
  EXPECT_EQ(TextOf(dest), std::u16string(raw, 3));
  VariantClear(&src);
  VariantClear(&dest);

  CountedObject object;
  VARIANT o;
  o.vt = VT_UNKNOWN;
  o.punkVal = &object;  // borrows the test's reference
  VARIANT copy;
  ASSERT_EQ(VariantCopy(&copy, &o), S_OK);
  EXPECT_EQ(object.refs, 2u);
  VariantClear(&copy);
  EXPECT_EQ(object.refs, 1u);
}

TEST(Variant, CopyIndFollowsReferences)
{
  LONG number = 42;
  VARIANT ref;
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &number;
  VARIANT out;
  ASSERT_EQ(VariantCopyInd(&out, &ref), S_OK);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, 42);

  VARIANT inner;
  inner.vt = VT_I2;
  inner.iVal = 0;
  VARIANT refVariant;
  refVariant.vt = VT_BYREF | VT_VARIANT;
  refVariant.pvarVal = &inner;
  ASSERT_EQ(VariantCopyInd(&out, &refVariant), S_OK);
  EXPECT_EQ(out.vt, VT_I2);

  VARIANT dangling;
  dangling.vt = VT_BYREF | VT_I4;
  dangling.plVal = nullptr;
  EXPECT_EQ(VariantCopyInd(&out, &dangling), E_INVALIDARG);
}

struct NumberCase {
  const char* name;
  VARTYPE fromType;
  double from;
  VARTYPE to;
  HRESULT hr;
  double expected;
};

VARIANT NumberVariant(VARTYPE vt, double value)
{
  VARIANT v;
  VARIANT r8;
  r8.vt = VT_R8;
  r8.dblVal = value;
  EXPECT_EQ(VariantChangeType(&v, &r8, 0, vt), S_OK);
  return v;
}

double NumberOf(const VARIANT& v)
{
  VARIANT r8;
  EXPECT_EQ(VariantChangeType(&r8, &v, 0, VT_R8), S_OK);
  return r8.dblVal;
}

TEST(Variant, NumbersRoundHalfToEvenAndRefuseOverflow)
{
  const NumberCase cases[] = {
      {"2.5 to I4 rounds to even", VT_R8, 2.5, VT_I4, S_OK, 2},
      {"3.5 to I4 rounds to even", VT_R8, 3.5, VT_I4, S_OK, 4},
      {"-2.5 to I2", VT_R8, -2.5, VT_I2, S_OK, -2},
      {"2.6 to I4", VT_R8, 2.6, VT_I4, S_OK, 3},
      {"32767.4 to I2", VT_R8, 32767.4, VT_I2, S_OK, 32767},
      {"32767.5 to I2 overflows", VT_R8, 32767.5, VT_I2, DISP_E_OVERFLOW, 0},
      {"256 to UI1 overflows", VT_I4, 256, VT_UI1, DISP_E_OVERFLOW, 0},
      {"-1 to UI1 overflows", VT_I4, -1, VT_UI1, DISP_E_OVERFLOW, 0},
      {"3e9 to I4 overflows", VT_R8, 3e9, VT_I4, DISP_E_OVERFLOW, 0},
      {"3e9 to I8", VT_R8, 3e9, VT_I8, S_OK, 3e9},
      {"1e39 to R4 overflows", VT_R8, 1e39, VT_R4, DISP_E_OVERFLOW, 0},
      {"I4 to R8", VT_I4, -7, VT_R8, S_OK, -7},
      {"true to I4", VT_BOOL, 1, VT_I4, S_OK, -1},
      {"0.1 to BOOL", VT_R8, 0.1, VT_BOOL, S_OK, -1},
      {"date past the calendar", VT_R8, 3e6, VT_DATE, DISP_E_OVERFLOW, 0},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(c.name);
    VARIANT from = NumberVariant(c.fromType, c.from);
    VARIANT to;
    ASSERT_EQ(VariantChangeType(&to, &from, 0, c.to), c.hr);
    if (c.hr == S_OK) {
      EXPECT_EQ(to.vt, c.to);
      EXPECT_EQ(NumberOf(to), c.expected);
    } else {
      EXPECT_EQ(to.vt, VT_EMPTY);
    }
  }
}

struct TextCase {
  const char* name;
  std::u16string_view text;
  LCID lcid;
  VARTYPE to;
  HRESULT hr;
  double expected;
};

TEST(Variant, TextToNumbersUsesTheLocaleSeparator)
{
  const TextCase cases[] = {
      {"comma in Russian", u"1,5", kRussian, VT_R8, S_OK, 1.5},
      {"point in English", u"1.5", kEnglish, VT_R8, S_OK, 1.5},
      {"point refused in Russian", u"1.5", kRussian, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {"blanks and sign", u"  -12,25 ", kRussian, VT_R8, S_OK, -12.25},
      {"exponent", u"2,5E3", kRussian, VT_R8, S_OK, 2500},
      {"rounded into an integer", u"2,5", kRussian, VT_I4, S_OK, 2},
      {"large integer exactly", u"9007199254740993", kEnglish, VT_I8, S_OK, 9007199254740993.0},
      {"not a number", u"12 m", kEnglish, VT_R8, DISP_E_TYPEMISMATCH, 0},
      {"empty", u"", kEnglish, VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"sign alone", u"-", kEnglish, VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"too large for I2", u"40000", kEnglish, VT_I2, DISP_E_OVERFLOW, 0},
      {"True", u"true", kEnglish, VT_BOOL, S_OK, -1},
      {"Russian false", u"ЛОЖЬ", kRussian, VT_BOOL, S_OK, 0},
      {"number as BOOL", u"0", kEnglish, VT_BOOL, S_OK, 0},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.name);
    VARIANT from = Text(c.text);
    VARIANT to;
    ASSERT_EQ(VariantChangeTypeEx(&to, &from, c.lcid, 0, c.to), c.hr);
    if (c.hr == S_OK) {
      EXPECT_EQ(to.vt, c.to);
      if (c.to == VT_I8)
        EXPECT_EQ(to.llVal, 9007199254740993LL);
      else
        EXPECT_EQ(NumberOf(to), c.expected);
    }
    VariantClear(&from);
  }
}

TEST(Variant, NumbersAndBooleansToText)
{
  struct Case {
    VARIANT from;
    LCID lcid;
    USHORT flags;
    std::u16string_view text;
  };
  VARIANT r8;
  r8.vt = VT_R8;
  r8.dblVal = 1234.5;
  VARIANT third;
  third.vt = VT_R8;
  third.dblVal = 1.0 / 3.0;
  VARIANT big;
  big.vt = VT_R8;
  big.dblVal = 1e20;
  VARIANT i2;
  i2.vt = VT_I2;
  i2.iVal = -300;
  VARIANT yes;
  yes.vt = VT_BOOL;
  yes.boolVal = VARIANT_TRUE;
  VARIANT empty;
  const Case cases[] = {
      {r8, kRussian, 0, u"1234,5"},
      {r8, kEnglish, 0, u"1234.5"},
      {third, kEnglish, 0, u"0.333333333333333"},
      {big, kEnglish, 0, u"1E+20"},
      {i2, kRussian, 0, u"-300"},
      {yes, kEnglish, 0, u"-1"},
      {yes, kEnglish, VARIANT_ALPHABOOL, u"True"},
      {yes, kRussian, VARIANT_LOCALBOOL, u"Истина"},
      {empty, kEnglish, 0, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
    VARIANT to;
    ASSERT_EQ(VariantChangeTypeEx(&to, &c.from, c.lcid, c.flags, VT_BSTR), S_OK);
    EXPECT_EQ(TextOf(to), c.text);
    VariantClear(&to);
  }
}

TEST(Variant, FailedConversionLeavesTheTargetAlone)
{
  VARIANT v = Text(u"abc");
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(TextOf(v), u"abc");
  // In place, and the old string is freed (ASan would see a leak otherwise).
  VariantClear(&v);
  v = Text(u"17");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);
  EXPECT_EQ(v.lVal, 17);

  VARIANT null;
  null.vt = VT_NULL;
  VARIANT out;
  EXPECT_EQ(VariantChangeType(&out, &null, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_I4 | VT_BYREF), DISP_E_BADVARTYPE);
}

TEST(Variant, ObjectsConvertOnlyToObjects)
{
  CountedObject object;
  VARIANT v;
  v.vt = VT_UNKNOWN;
  v.punkVal = &object;
  VARIANT out;
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
  // No IDispatch behind this object.
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(object.refs, 1u);
}

TEST(VariantTime, CalendarDatesAndBack)
{
  struct Case {
    SYSTEMTIME time;
    double date;
  };
  const Case cases[] = {
      {{1899, 12, 0, 30, 0, 0, 0, 0}, 0.0},
      {{1900, 1, 0, 1, 0, 0, 0, 0}, 2.0},
      {{2010, 12, 0, 25, 0, 0, 0, 0}, 40537.0},
      {{2000, 2, 0, 29, 18, 0, 0, 0}, 36585.75},
      {{1899, 12, 0, 29, 6, 0, 0, 0}, -1.25},
      {{100, 1, 0, 1, 0, 0, 0, 0}, -657434.0},
      {{9999, 12, 0, 31, 0, 0, 0, 0}, 2958465.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    DATE date = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&c.time, &date));
    EXPECT_DOUBLE_EQ(date, c.date);
    SYSTEMTIME back;
    ASSERT_TRUE(VariantTimeToSystemTime(date, &back));
    EXPECT_EQ(back.wYear, c.time.wYear);
    EXPECT_EQ(back.wMonth, c.time.wMonth);
    EXPECT_EQ(back.wDay, c.time.wDay);
    EXPECT_EQ(back.wHour, c.time.wHour);
  }
  SYSTEMTIME christmas;
  ASSERT_TRUE(VariantTimeToSystemTime(40537.0, &christmas));
  EXPECT_EQ(christmas.wDayOfWeek, 6);  // a Saturday
}

TEST(VariantTime, ImpossibleDatesAreRefused)
{
  const SYSTEMTIME bad[] = {
      {2011, 2, 0, 29, 0, 0, 0, 0},
      {1900, 2, 0, 29, 0, 0, 0, 0},
      {2010, 13, 0, 1, 0, 0, 0, 0},
      {2010, 4, 0, 31, 0, 0, 0, 0},
      {99, 1, 0, 1, 0, 0, 0, 0},
      {2010, 1, 0, 0, 0, 0, 0, 0},
      {2010, 1, 0, 1, 24, 0, 0, 0},
  };
  for (const SYSTEMTIME& t : bad) {
    DATE date = 123;
    EXPECT_FALSE(SystemTimeToVariantTime(&t, &date)) << t.wYear << "-" << t.wMonth << "-" << t.wDay;
  }
  SYSTEMTIME out;
  EXPECT_FALSE(VariantTimeToSystemTime(3e6, &out));
}

TEST(VariantTime, RoundingToTheSecondCanReachTheNextDay)
{
  SYSTEMTIME t;
  ASSERT_TRUE(VariantTimeToSystemTime(1.0 - 1e-7, &t));
  EXPECT_EQ(t.wDay, 31);
  EXPECT_EQ(t.wMonth, 12);
  EXPECT_EQ(t.wHour, 0);
}

TEST(VariantT, ConvertsOrThrows)
{
  _variant_t number(42);
  EXPECT_EQ(number.vt, VT_I4);
  EXPECT_DOUBLE_EQ(static_cast<double>(number), 42.0);
  _bstr_t text = number;
  EXPECT_EQ(text.view(), u"42");

  _variant_t name("Светильник");
  EXPECT_EQ(name.vt, VT_BSTR);
  EXPECT_STREQ(static_cast<const char*>(static_cast<_bstr_t>(name)), "Светильник");

  _variant_t word(u"twelve");
  try {
    static_cast<void>(static_cast<int>(word));
    FAIL() << "no exception";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), DISP_E_TYPEMISMATCH);
  }

  _variant_t copy = name;
  EXPECT_TRUE(copy == name);
  EXPECT_NE(copy.bstrVal, name.bstrVal);
  copy = 2.5;
  EXPECT_EQ(copy.vt, VT_R8);
  copy.ChangeType(VT_I2);
  EXPECT_EQ(copy.iVal, 2);
}

TEST(VariantT, HoldsOneReferenceOnAnObject)
{
  CountedObject object;
  {
    _variant_t held(static_cast<IUnknown*>(&object));
    EXPECT_EQ(object.refs, 2u);
    _variant_t second = held;
    EXPECT_EQ(object.refs, 3u);
    IUnknown* out = held;
    EXPECT_EQ(out, &object);
    out->Release();
  }
  EXPECT_EQ(object.refs, 1u);
}

}  // namespace

namespace {

// The property grid's number text: the default locale follows the thread that set its own.
TEST(Variant, DefaultLocaleFollowsTheThreadLocale)
{
  auto textOf = [](double value) {
    VARIANT r8;
    r8.vt = VT_R8;
    r8.dblVal = value;
    VARIANT text;
    VariantInit(&text);
    EXPECT_EQ(VariantChangeType(&text, &r8, 0, VT_BSTR), S_OK);
    std::u16string result = TextOf(text);
    VariantClear(&text);
    return result;
  };
  const char* old = std::getenv("LC_ALL");
  const std::string saved = old ? old : "";
  setenv("LC_ALL", "en_US.UTF-8", 1);
  std::u16string russian;
  std::thread ui([&] {
    SetThreadLocale(1049);
    russian = textOf(1.5);
  });
  ui.join();
  EXPECT_EQ(russian, u"1,5");
  EXPECT_EQ(textOf(1.5), u"1.5");
  if (old)
    setenv("LC_ALL", saved.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

}  // namespace
