// CTime: a time_t (seconds since 1970 UTC) shown in local time; CTimeSpan: a difference in seconds.
// In archives a CTime is its time_t as 8 bytes and a CTimeSpan its seconds as 8 bytes.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/mfcstring.h"

#include <ctime>

class CTimeSpan {
public:
  CTimeSpan() = default;
  CTimeSpan(std::time_t seconds) : m_timeSpan(seconds) {}
  CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
      : m_timeSpan(((static_cast<std::time_t>(lDays) * 24 + nHours) * 60 + nMins) * 60 + nSecs)
  {
  }

  LONGLONG GetDays() const { return m_timeSpan / (24 * 3600); }
  LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
  LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
  LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
  LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
  LONGLONG GetTotalSeconds() const { return m_timeSpan; }
  LONG GetSeconds() const { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
  std::time_t GetTimeSpan() const { return m_timeSpan; }

  CTimeSpan operator+(CTimeSpan span) const { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
  CTimeSpan operator-(CTimeSpan span) const { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
  auto operator<=>(const CTimeSpan&) const = default;

private:
  std::time_t m_timeSpan = 0;
};

class CTime {
public:
  CTime() = default;
  CTime(std::time_t time) : m_time(time) {}
  // Local time; nDST < 0 lets the C library decide daylight saving. Out of range gives 0 and is reported by
  // GetTime() == -1 as the C library does.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

  static CTime GetCurrentTime();

  std::time_t GetTime() const { return m_time; }
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday

  // strftime in the C locale, local time ('#' drops leading zeros, as in %#d).
  CString Format(LPCSTR pszFormat) const;
  CString FormatGmt(LPCSTR pszFormat) const;

  CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTimeSpan()); }
  CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTimeSpan()); }
  CTimeSpan operator-(CTime time) const { return CTimeSpan(m_time - time.m_time); }
  auto operator<=>(const CTime&) const = default;

private:
  std::time_t m_time = 0;
};

CArchive& operator<<(CArchive& ar, CTime time);
CArchive& operator>>(CArchive& ar, CTime& rtime);
CArchive& operator<<(CArchive& ar, CTimeSpan span);
CArchive& operator>>(CArchive& ar, CTimeSpan& rspan);

namespace platform {
// strftime in the C locale over a broken-down time, with '#' dropping leading zeros.
std::string FormatTimeC(const char* format, const std::tm& time);
}  // namespace platform
