#include "platform/mfc-core/mfctime.h"

#include <clocale>
#include <locale.h>
#include <string>

namespace platform {

std::string FormatTimeC(const char* format, const std::tm& time)
{
  if (format == nullptr) {
    return {};
  }
  // '#' is the Windows flag for "no leading zeros"; glibc spells it '-' (and knows no '#' for %c or %x).
  std::string directive;
  for (const char* p = format; *p != '\0'; ++p) {
    directive += *p;
    if (*p == '%' && p[1] == '#') {
      ++p;
      const char conversion = p[1];
      if (conversion == 'd' || conversion == 'm' || conversion == 'H' || conversion == 'I' || conversion == 'M' ||
          conversion == 'S' || conversion == 'j' || conversion == 'y') {
        directive += '-';
      }
    } else if (*p == '%' && p[1] == '%') {
      directive += *++p;
    }
  }
  static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  std::string out(64 + directive.size() * 4, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::size_t n = strftime_l(out.data(), out.size(), directive.c_str(), &time, cLocale);
    if (n > 0 || directive.empty()) {
      out.resize(n);
      return out;
    }
    out.resize(out.size() * 4);
  }
  return {};  // a format whose output is empty, such as "%p" in some locales
}

}  // namespace platform

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
{
  std::tm tm{};
  tm.tm_year = nYear - 1900;
  tm.tm_mon = nMonth - 1;
  tm.tm_mday = nDay;
  tm.tm_hour = nHour;
  tm.tm_min = nMin;
  tm.tm_sec = nSec;
  tm.tm_isdst = nDST < 0 ? -1 : nDST;
  m_time = std::mktime(&tm);
}

CTime CTime::GetCurrentTime() { return CTime(std::time(nullptr)); }

namespace {

std::tm Local(std::time_t t)
{
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace

int CTime::GetYear() const { return Local(m_time).tm_year + 1900; }
int CTime::GetMonth() const { return Local(m_time).tm_mon + 1; }
int CTime::GetDay() const { return Local(m_time).tm_mday; }
int CTime::GetHour() const { return Local(m_time).tm_hour; }
int CTime::GetMinute() const { return Local(m_time).tm_min; }
int CTime::GetSecond() const { return Local(m_time).tm_sec; }
int CTime::GetDayOfWeek() const { return Local(m_time).tm_wday + 1; }

CString CTime::Format(LPCSTR pszFormat) const
{
  return CString(std::string_view(platform::FormatTimeC(pszFormat, Local(m_time))));
}

CString CTime::FormatGmt(LPCSTR pszFormat) const
{
  std::tm tm{};
  gmtime_r(&m_time, &tm);
  return CString(std::string_view(platform::FormatTimeC(pszFormat, tm)));
}

CArchive& operator<<(CArchive& ar, CTime time) { return ar << static_cast<LONGLONG>(time.GetTime()); }

CArchive& operator>>(CArchive& ar, CTime& rtime)
{
  LONGLONG t = 0;
  ar >> t;
  rtime = CTime(static_cast<std::time_t>(t));
  return ar;
}

CArchive& operator<<(CArchive& ar, CTimeSpan span) { return ar << static_cast<LONGLONG>(span.GetTimeSpan()); }

CArchive& operator>>(CArchive& ar, CTimeSpan& rspan)
{
  LONGLONG t = 0;
  ar >> t;
  rspan = CTimeSpan(static_cast<std::time_t>(t));
  return ar;
}
