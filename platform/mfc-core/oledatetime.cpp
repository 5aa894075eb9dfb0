#include "platform/mfc-core/oledatetime.h"

#include "platform/mfc-core/mfctime.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kSecondsPerDay = 86400.0;
// 0100-01-01 and 9999-12-31 23:59:59, the automation date's range.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.99999;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day)
{
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// The automation date on a straight scale: before the epoch the fraction counts forward from the day.
double ToLinear(double dt)
{
  if (dt >= 0) {
    return dt;
  }
  const double days = std::trunc(dt);
  return days + (days - dt);
}

double FromLinear(double linear)
{
  if (linear >= 0) {
    return linear;
  }
  const double days = std::floor(linear);
  const double fraction = linear - days;
  return fraction == 0 ? days : days - fraction;
}

struct Parts {
  int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
};

// Rounded to the second, as the framework shows dates.
bool Split(double dt, Parts& parts)
{
  if (!(dt >= kMinDate && dt <= kMaxDate)) {
    return false;
  }
  long long days = static_cast<long long>(std::trunc(dt));
  long long seconds = std::llround(std::fabs(dt - static_cast<double>(days)) * kSecondsPerDay);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  const long long civil = kEpochDays + days;
  CivilFromDays(civil, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(seconds / 3600);
  parts.minute = static_cast<int>(seconds / 60 % 60);
  parts.second = static_cast<int>(seconds % 60);
  // 1970-01-01 was a Thursday (5 with Sunday as 1).
  parts.dayOfWeek = static_cast<int>(((civil % 7) + 7 + 4) % 7) + 1;
  parts.dayOfYear = static_cast<int>(civil - DaysFromCivil(parts.year, 1, 1)) + 1;
  return true;
}

std::tm ToTm(const Parts& parts)
{
  std::tm tm{};
  tm.tm_year = parts.year - 1900;
  tm.tm_mon = parts.month - 1;
  tm.tm_mday = parts.day;
  tm.tm_hour = parts.hour;
  tm.tm_min = parts.minute;
  tm.tm_sec = parts.second;
  tm.tm_wday = parts.dayOfWeek - 1;
  tm.tm_yday = parts.dayOfYear - 1;
  tm.tm_isdst = -1;
  return tm;
}

// Parsing helpers: a run of digits, and the separators between them.
bool ReadNumber(const char*& p, int& value, int maxDigits)
{
  int digits = 0;
  value = 0;
  while (std::isdigit(static_cast<unsigned char>(*p)) && digits < maxDigits) {
    value = value * 10 + (*p++ - '0');
    ++digits;
  }
  return digits > 0;
}

void SkipSpaces(const char*& p)
{
  while (*p == ' ' || *p == '\t') {
    ++p;
  }
}

int ExpandYear(int year, int digits)
{
  // Two-digit years fall in 1930..2029, as Windows reads them by default.
  if (digits <= 2) {
    return year < 30 ? 2000 + year : 1900 + year;
  }
  return year;
}

bool ParseDate(const char*& p, LCID lcid, int& year, int& month, int& day)
{
  const char* start = p;
  int a = 0, b = 0, c = 0;
  if (!ReadNumber(p, a, 4)) {
    return false;
  }
  const int aDigits = static_cast<int>(p - start);
  const char separator = *p;
  if (separator != '.' && separator != '-' && separator != '/') {
    return false;
  }
  ++p;
  if (!ReadNumber(p, b, 2) || *p != separator) {
    return false;
  }
  ++p;
  const char* cStart = p;
  if (!ReadNumber(p, c, 4)) {
    return false;
  }
  const int cDigits = static_cast<int>(p - cStart);
  const bool russian = (lcid & 0x3FF) == 0x19;
  if (aDigits == 4) {
    year = a, month = b, day = c;
  } else if (separator == '/' && !russian) {
    month = a, day = b, year = ExpandYear(c, cDigits);
  } else {
    day = a, month = b, year = ExpandYear(c, cDigits);
  }
  return true;
}

bool ParseTime(const char*& p, int& hour, int& minute, int& second)
{
  second = 0;
  if (!ReadNumber(p, hour, 2) || *p != ':') {
    return false;
  }
  ++p;
  if (!ReadNumber(p, minute, 2)) {
    return false;
  }
  if (*p == ':') {
    ++p;
    if (!ReadNumber(p, second, 2)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void COleDateTimeSpan::SetDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
{
  m_span = lDays + nHours / 24.0 + nMins / 1440.0 + nSecs / kSecondsPerDay;
  m_status = valid;
}

namespace {
long long SpanSeconds(double span) { return std::llround(span * kSecondsPerDay); }
}  // namespace

LONG COleDateTimeSpan::GetDays() const { return static_cast<LONG>(SpanSeconds(m_span) / 86400); }
LONG COleDateTimeSpan::GetHours() const { return static_cast<LONG>(SpanSeconds(m_span) / 3600 % 24); }
LONG COleDateTimeSpan::GetMinutes() const { return static_cast<LONG>(SpanSeconds(m_span) / 60 % 60); }
LONG COleDateTimeSpan::GetSeconds() const { return static_cast<LONG>(SpanSeconds(m_span) % 60); }

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const
{
  COleDateTimeSpan r(m_span + other.m_span);
  r.m_status = m_status == valid && other.m_status == valid ? valid : invalid;
  return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const
{
  COleDateTimeSpan r(m_span - other.m_span);
  r.m_status = m_status == valid && other.m_status == valid ? valid : invalid;
  return r;
}

COleDateTimeSpan COleDateTimeSpan::operator-() const
{
  COleDateTimeSpan r(-m_span);
  r.m_status = m_status;
  return r;
}

COleDateTime& COleDateTime::operator=(DATE dtSrc)
{
  m_dt = dtSrc;
  m_status = dtSrc >= kMinDate && dtSrc <= kMaxDate ? valid : invalid;
  return *this;
}

COleDateTime& COleDateTime::operator=(std::time_t timeSrc)
{
  std::tm local{};
  if (localtime_r(&timeSrc, &local) == nullptr) {
    m_dt = 0;
    m_status = invalid;
    return *this;
  }
  SetDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return *this;
}

COleDateTime COleDateTime::GetCurrentTime() { return COleDateTime(std::time(nullptr)); }

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
  if (nYear < 100 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > DaysInMonth(nYear, nMonth) ||
      nHour < 0 || nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59) {
    m_dt = 0;
    m_status = invalid;
    return 1;
  }
  const auto days = static_cast<double>(DaysFromCivil(nYear, static_cast<unsigned>(nMonth), static_cast<unsigned>(nDay)) -
                                        kEpochDays);
  const double time = (nHour * 3600 + nMin * 60 + nSec) / kSecondsPerDay;
  m_dt = days >= 0 ? days + time : days - time;
  m_status = valid;
  return 0;
}

namespace {
constexpr int kDateTimeError = -1;
}  // namespace

#define TESMIRA_OLE_PART(name, field)             \
  int COleDateTime::name() const                  \
  {                                               \
    Parts parts{};                                \
    if (m_status != valid || !Split(m_dt, parts)) { \
      return kDateTimeError;                      \
    }                                             \
    return parts.field;                           \
  }
TESMIRA_OLE_PART(GetYear, year)
TESMIRA_OLE_PART(GetMonth, month)
TESMIRA_OLE_PART(GetDay, day)
TESMIRA_OLE_PART(GetHour, hour)
TESMIRA_OLE_PART(GetMinute, minute)
TESMIRA_OLE_PART(GetSecond, second)
TESMIRA_OLE_PART(GetDayOfWeek, dayOfWeek)
TESMIRA_OLE_PART(GetDayOfYear, dayOfYear)
#undef TESMIRA_OLE_PART

CString COleDateTime::Format(LPCSTR lpszFormat) const
{
  Parts parts{};
  if (m_status != valid || lpszFormat == nullptr || !Split(m_dt, parts)) {
    return CString();
  }
  return CString(std::string_view(platform::FormatTimeC(lpszFormat, ToTm(parts))));
}

CString COleDateTime::Format(DWORD dwFlags, LCID /*lcid*/) const
{
  if (m_status == null) {
    return CString();
  }
  Parts parts{};
  if (m_status != valid || !Split(m_dt, parts)) {
    return CString("Invalid DateTime");
  }
  CString date;
  date.Format("%02d.%02d.%04d", parts.day, parts.month, parts.year);
  CString time;
  time.Format("%d:%02d:%02d", parts.hour, parts.minute, parts.second);
  if (dwFlags & VAR_DATEVALUEONLY) {
    return date;
  }
  if (dwFlags & VAR_TIMEVALUEONLY) {
    return time;
  }
  // A date without a day part (the epoch day) is a time alone; a day at midnight is a date alone.
  if (std::trunc(m_dt) == 0) {
    return time;
  }
  const bool midnight = parts.hour == 0 && parts.minute == 0 && parts.second == 0;
  return midnight ? date : date + " " + time;
}

bool COleDateTime::ParseDateTime(LPCSTR lpszDate, DWORD dwFlags, LCID lcid)
{
  m_dt = 0;
  m_status = invalid;
  if (lpszDate == nullptr) {
    return false;
  }
  const char* p = lpszDate;
  SkipSpaces(p);
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
  const char* mark = p;
  bool haveDate = ParseDate(p, lcid, year, month, day);
  if (!haveDate) {
    p = mark;
  }
  SkipSpaces(p);
  bool haveTime = false;
  if (*p != '\0') {
    haveTime = ParseTime(p, hour, minute, second);
    if (!haveTime) {
      return false;
    }
    SkipSpaces(p);
  }
  if (*p != '\0' || (!haveDate && !haveTime)) {
    return false;
  }
  if (dwFlags & VAR_DATEVALUEONLY) {
    hour = minute = second = 0;
  }
  if (dwFlags & VAR_TIMEVALUEONLY) {
    year = 1899, month = 12, day = 30;
  }
  return SetDateTime(year, month, day, hour, minute, second) == 0;
}

bool COleDateTime::operator<(const COleDateTime& date) const { return ToLinear(m_dt) < ToLinear(date.m_dt); }

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& dateSpan) const
{
  COleDateTime r;
  if (m_status != valid || dateSpan.m_status != COleDateTimeSpan::valid) {
    r.m_status = m_status == null ? null : invalid;
    return r;
  }
  r = FromLinear(ToLinear(m_dt) + dateSpan.m_span);
  return r;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& dateSpan) const { return *this + (-dateSpan); }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const
{
  COleDateTimeSpan r(ToLinear(m_dt) - ToLinear(date.m_dt));
  if (m_status != valid || date.m_status != valid) {
    r.m_status = COleDateTimeSpan::invalid;
  }
  return r;
}

CArchive& operator<<(CArchive& ar, const COleDateTime& dateSrc)
{
  return ar << static_cast<LONG>(dateSrc.m_status) << dateSrc.m_dt;
}

CArchive& operator>>(CArchive& ar, COleDateTime& dateSrc)
{
  LONG status = 0;
  ar >> status >> dateSrc.m_dt;
  // A status the framework never writes is damage; the date is then not to be trusted.
  dateSrc.m_status = status >= COleDateTime::valid && status <= COleDateTime::null
                         ? static_cast<COleDateTime::DateTimeStatus>(status)
                         : COleDateTime::invalid;
  return ar;
}

CArchive& operator<<(CArchive& ar, const COleDateTimeSpan& spanSrc)
{
  return ar << static_cast<LONG>(spanSrc.m_status) << spanSrc.m_span;
}

CArchive& operator>>(CArchive& ar, COleDateTimeSpan& spanSrc)
{
  LONG status = 0;
  ar >> status >> spanSrc.m_span;
  spanSrc.m_status = status >= COleDateTimeSpan::valid && status <= COleDateTimeSpan::null
                         ? static_cast<COleDateTimeSpan::DateTimeSpanStatus>(status)
                         : COleDateTimeSpan::invalid;
  return ar;
}
