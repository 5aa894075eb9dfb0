#include "platform/mfc-core/mfctime.h"
#include "platform/mfc-core/oledatetime.h"

#include <gtest/gtest.h>

namespace {

TEST(COleDateTime, PartsAndAutomationDates)
{
  struct Case {
    int year, month, day, hour, minute, second;
    double dt;
  };
  const Case cases[] = {
      {1899, 12, 30, 0, 0, 0, 0.0},
      {1900, 1, 1, 0, 0, 0, 2.0},
      {2026, 12, 10, 12, 0, 0, 46366.5},
      {2000, 2, 29, 18, 0, 0, 36585.75},
      {1899, 12, 29, 6, 0, 0, -1.25},  // before the epoch the fraction still counts forward
      {9999, 12, 31, 0, 0, 0, 2958465.0},
      {100, 1, 1, 0, 0, 0, -657434.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dt);
    const COleDateTime date(c.year, c.month, c.day, c.hour, c.minute, c.second);
    EXPECT_EQ(date.GetStatus(), COleDateTime::valid);
    EXPECT_DOUBLE_EQ(date.m_dt, c.dt);
    const COleDateTime back(c.dt);
    EXPECT_EQ(back.GetYear(), c.year);
    EXPECT_EQ(back.GetMonth(), c.month);
    EXPECT_EQ(back.GetDay(), c.day);
    EXPECT_EQ(back.GetHour(), c.hour);
    EXPECT_EQ(back.GetMinute(), c.minute);
    EXPECT_EQ(back.GetSecond(), c.second);
  }
  EXPECT_EQ(COleDateTime(2026, 12, 10, 0, 0, 0).GetDayOfWeek(), 5);  // a Thursday
  EXPECT_EQ(COleDateTime(2026, 12, 31, 0, 0, 0).GetDayOfYear(), 365);
}

TEST(COleDateTime, InvalidAndNullStates)
{
  EXPECT_EQ(COleDateTime(2026, 2, 29, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(2026, 13, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(2026, 1, 1, 24, 0, 0).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(99, 1, 1, 0, 0, 0).GetStatus(), COleDateTime::invalid);
  COleDateTime null;
  null.SetStatus(COleDateTime::null);
  EXPECT_EQ(null.GetYear(), -1);
  EXPECT_TRUE(null.Format("%Y").IsEmpty());
  EXPECT_TRUE(null.Format().IsEmpty());
  EXPECT_EQ(COleDateTime(3e6).GetStatus(), COleDateTime::invalid);
}

TEST(COleDateTime, FormatInTheCLocale)
{
  const COleDateTime date(2026, 12, 10, 9, 5, 7);
  EXPECT_TRUE(date.Format("%Y-%m-%d %H:%M:%S") == "2026-12-10 09:05:07");
  EXPECT_TRUE(date.Format("%#d.%#m.%y %a %b") == "10.12.26 Thu Dec");
  EXPECT_TRUE(date.Format() == "10.12.2026 9:05:07");
  EXPECT_TRUE(date.Format(VAR_DATEVALUEONLY) == "10.12.2026");
  EXPECT_TRUE(COleDateTime(2026, 12, 10, 0, 0, 0).Format() == "10.12.2026");
}

TEST(COleDateTime, ParseDateTime)
{
  COleDateTime date;
  EXPECT_TRUE(date.ParseDateTime("10.12.2026", VAR_DATEVALUEONLY, 0x0019));
  EXPECT_EQ(date.m_dt, 46366.0);
  EXPECT_TRUE(date.ParseDateTime("2026-12-10 12:00"));
  EXPECT_EQ(date.m_dt, 46366.5);
  EXPECT_TRUE(date.ParseDateTime("12/10/2026"));
  EXPECT_EQ(date.GetMonth(), 12);
  EXPECT_FALSE(date.ParseDateTime("завтра"));
  EXPECT_EQ(date.GetStatus(), COleDateTime::invalid);
  EXPECT_FALSE(date.ParseDateTime("31.02.2026"));
}

TEST(COleDateTime, SpansAndComparison)
{
  const COleDateTime start(2026, 12, 31, 18, 0, 0);
  const COleDateTime later = start + COleDateTimeSpan(1, 12, 0, 0);
  EXPECT_EQ(later.GetYear(), 2027);
  EXPECT_EQ(later.GetDay(), 2);
  EXPECT_EQ(later.GetHour(), 6);
  EXPECT_DOUBLE_EQ((later - start).GetTotalHours(), 36.0);
  EXPECT_TRUE(start < later);
  // Across the epoch, where the stored numbers run the other way.
  const COleDateTime before(1899, 12, 29, 18, 0, 0);
  const COleDateTime after = before + COleDateTimeSpan(0, 12, 0, 0);
  EXPECT_EQ(after.m_dt, 0.25);
  EXPECT_TRUE(COleDateTime(1899, 12, 29, 6, 0, 0) < before);
  EXPECT_EQ(COleDateTimeSpan(1, 2, 3, 4).GetMinutes(), 3);
}

TEST(CTime, FormatAndParts)
{
  const CTime epochDay(1970, 1, 2, 0, 0, 0);
  const CTime next = epochDay + CTimeSpan(1, 2, 3, 4);
  EXPECT_EQ((next - epochDay).GetTotalSeconds(), 93784);
  EXPECT_EQ(next.GetDay(), 3);
  EXPECT_TRUE(next.Format("%d.%m.%Y %H:%M:%S") == "03.01.1970 02:03:04");
  EXPECT_TRUE(CTime(0).FormatGmt("%Y-%m-%d") == "1970-01-01");
}

}  // namespace
