// COleDateTime: an automation date (days since 1899-12-30 as a double; the fraction is the time of day, and
// for dates before the epoch it still counts forward: -1.25 is 1899-12-29 06:00) with a status of valid,
// invalid or null. COleDateTimeSpan: a span in days.
//
// In archives: int32 status (0 valid, 1 invalid, 2 null), then the 8-byte date.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/mfcstring.h"

#include <ctime>

using DATE = double;

// Format / ParseDateTime flags.
inline constexpr DWORD VAR_TIMEVALUEONLY = 0x00000001;
inline constexpr DWORD VAR_DATEVALUEONLY = 0x00000002;

class COleDateTimeSpan {
public:
  enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

  COleDateTimeSpan() = default;
  COleDateTimeSpan(double dblSpanSrc) : m_span(dblSpanSrc) {}
  COleDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) { SetDateTimeSpan(lDays, nHours, nMins, nSecs); }

  void SetDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs);
  DateTimeSpanStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeSpanStatus status) { m_status = status; }

  double GetTotalDays() const { return m_span; }
  double GetTotalHours() const { return m_span * 24; }
  double GetTotalMinutes() const { return m_span * 24 * 60; }
  double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
  // Whole units of the span's parts (the parts of a negative span are negative).
  LONG GetDays() const;
  LONG GetHours() const;
  LONG GetMinutes() const;
  LONG GetSeconds() const;

  operator double() const { return m_span; }
  COleDateTimeSpan operator+(const COleDateTimeSpan& other) const;
  COleDateTimeSpan operator-(const COleDateTimeSpan& other) const;
  COleDateTimeSpan operator-() const;
  bool operator==(const COleDateTimeSpan& other) const { return m_status == other.m_status && m_span == other.m_span; }

  double m_span = 0;
  DateTimeSpanStatus m_status = valid;
};

class COleDateTime {
public:
  enum DateTimeStatus { valid = 0, invalid = 1, null = 2, error = -1 };

  // Valid, at the epoch (0.0), as the framework's default.
  COleDateTime() = default;
  // Invalid outside the automation date's range (years 100..9999).
  COleDateTime(DATE dtSrc) { *this = dtSrc; }
  COleDateTime(std::time_t timeSrc) { *this = timeSrc; }
  // Invalid when any part is out of range.
  COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
  {
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
  }

  COleDateTime& operator=(DATE dtSrc);
  // Local time of a time_t.
  COleDateTime& operator=(std::time_t timeSrc);

  static COleDateTime GetCurrentTime();

  DateTimeStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeStatus status) { m_status = status; }
  operator DATE() const { return m_dt; }

  // 0 on success; 1 and status invalid when a part is out of range (years 100..9999).
  int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
  int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
  int SetTime(int nHour, int nMin, int nSec) { return SetDateTime(1899, 12, 30, nHour, nMin, nSec); }

  // -1 (the framework's AFX_OLE_DATETIME_ERROR) unless valid.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  int GetDayOfYear() const;  // 1 = 1 January

  // strftime codes in the C locale (%d %m %Y %y %H %M %S %I %p %j %a %A %b %B %c %x %X %%; '#' drops leading
  // zeros, as in %#d). Empty unless valid.
  CString Format(LPCSTR lpszFormat) const;
  // The Russian short form, as the program's thread locale shows it: "10.12.2026 12:00:00"; the time is left
  // out at midnight and with VAR_DATEVALUEONLY, the date on the epoch day (a time alone) and with
  // VAR_TIMEVALUEONLY. Null: empty; invalid: "Invalid DateTime".
  CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
  // Reads "dd.mm.yyyy", "yyyy-mm-dd" or "mm/dd/yyyy", each optionally followed by "hh:mm[:ss]", or a time
  // alone. FALSE and status invalid when the text is none of these.
  bool ParseDateTime(LPCSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

  bool operator==(const COleDateTime& date) const { return m_status == date.m_status && m_dt == date.m_dt; }
  bool operator!=(const COleDateTime& date) const { return !(*this == date); }
  bool operator<(const COleDateTime& date) const;
  bool operator>(const COleDateTime& date) const { return date < *this; }
  bool operator<=(const COleDateTime& date) const { return !(date < *this); }
  bool operator>=(const COleDateTime& date) const { return !(*this < date); }

  COleDateTime operator+(const COleDateTimeSpan& dateSpan) const;
  COleDateTime operator-(const COleDateTimeSpan& dateSpan) const;
  COleDateTime& operator+=(const COleDateTimeSpan& dateSpan) { return *this = *this + dateSpan; }
  COleDateTime& operator-=(const COleDateTimeSpan& dateSpan) { return *this = *this - dateSpan; }
  COleDateTimeSpan operator-(const COleDateTime& date) const;

  DATE m_dt = 0;
  DateTimeStatus m_status = valid;
};

CArchive& operator<<(CArchive& ar, const COleDateTime& dateSrc);
CArchive& operator>>(CArchive& ar, COleDateTime& dateSrc);
CArchive& operator<<(CArchive& ar, const COleDateTimeSpan& spanSrc);
CArchive& operator>>(CArchive& ar, COleDateTimeSpan& spanSrc);
