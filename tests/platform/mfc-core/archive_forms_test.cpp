// The archive's byte forms against fixtures written by hand from the file format, never by the archive.
#include "archive_bytes.h"

#include "platform/base/guid.h"
#include "platform/mfc-core/array.h"
#include "platform/mfc-core/oledatetime.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_mfc;

TEST(ArchiveForms, ScalarsAreLittleEndianWithTheirWindowsWidths)
{
  const Bytes expected = Hex("12"                        // BYTE
                             "56 34"                     // WORD
                             "FE FF FF FF"               // LONG -2
                             "EF BE AD DE"               // DWORD
                             "01"                        // bool true
                             "00"                        // bool false
                             "00 00 80 3F"               // float 1.0
                             "00 00 00 00 00 00 F8 3F"   // double 1.5
                             "08 07 06 05 04 03 02 01"   // LONGLONG
                             "FF FF");                   // short -1
  auto store = [](CArchive& ar) {
    ar << static_cast<BYTE>(0x12) << static_cast<WORD>(0x3456) << static_cast<LONG>(-2)
       << static_cast<DWORD>(0xDEADBEEF) << true << false << 1.0f << 1.5 << static_cast<LONGLONG>(0x0102030405060708)
       << static_cast<short>(-1);
  };
  EXPECT_EQ(Stored(store), expected);

  LoadFrom(expected, [](CArchive& ar) {
    BYTE by = 0;
    WORD w = 0;
    LONG l = 0;
    DWORD dw = 0;
    bool t = false, f = true;
    float fl = 0;
    double d = 0;
    LONGLONG ll = 0;
    short s = 0;
    ar >> by >> w >> l >> dw >> t >> f >> fl >> d >> ll >> s;
    EXPECT_EQ(by, 0x12);
    EXPECT_EQ(w, 0x3456);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(dw, 0xDEADBEEFu);
    EXPECT_TRUE(t);
    EXPECT_FALSE(f);
    EXPECT_EQ(fl, 1.0f);
    EXPECT_EQ(d, 1.5);
    EXPECT_EQ(ll, 0x0102030405060708);
    EXPECT_EQ(s, -1);
  });
}

TEST(ArchiveForms, StringLengthPrefixes)
{
  struct Case {
    std::size_t length;
    const char* prefix;
  };
  const Case cases[] = {
      {0, "00"},
      {254, "FE"},
      {255, "FF FF 00"},
      {0xFFFD, "FF FD FF"},
      {0xFFFE, "FF FF FF FE FF 00 00"},
      {70000, "FF FF FF 70 11 01 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.length);
    const Bytes expected = Hex(c.prefix) + Repeat('q', c.length);
    const CString text(std::string_view(std::string(c.length, 'q')));
    EXPECT_EQ(Stored([&](CArchive& ar) { ar << text; }), expected);
    LoadFrom(expected, [&](CArchive& ar) {
      CString loaded("stale");
      ar >> loaded;
      EXPECT_EQ(loaded.GetLength(), static_cast<int>(c.length));
      EXPECT_TRUE(loaded == text);
      EXPECT_TRUE(ar.IsBufferEmpty());
    });
  }
}

TEST(ArchiveForms, StringBytesAreCodePage1251WithoutTerminator)
{
  // "Ось" in cp1251: CE F1 FC.
  EXPECT_EQ(Stored([](CArchive& ar) { ar << CString("Ось") << "Z"; }), Hex("03 CE F1 FC 01 5A"));
}

TEST(ArchiveForms, Utf16MarkedStringsAreReadAndConvertedToCodePage1251)
{
  // Marker FF FFFE, then 3 characters: П (U+041F), 'A', 丁 (U+4E01, not in cp1251), then a plain string.
  LoadFrom(Hex("FF FE FF 03 1F 04 41 00 01 4E  01 78"), [](CArchive& ar) {
    CString wide, next;
    ar >> wide >> next;
    EXPECT_TRUE(wide == "\xCF" "A?");
    EXPECT_TRUE(next == "x");
  });
  // The length after the marker uses the same escapes: FF and a 16-bit count of 256 characters 'ы' (U+044B).
  Bytes longWide = Hex("FF FE FF FF 00 01");
  for (int i = 0; i < 256; ++i) {
    longWide = longWide + Hex("4B 04");
  }
  LoadFrom(longWide, [](CArchive& ar) {
    CString wide;
    ar >> wide;
    EXPECT_TRUE(wide == CString('\xFB', 256));
  });
}

TEST(ArchiveForms, CountsEscapeAt0xFFFF)
{
  struct Case {
    DWORD_PTR count;
    const char* bytes;
  };
  const Case cases[] = {
      {0, "00 00"},
      {0xFFFE, "FE FF"},
      {0xFFFF, "FF FF FF FF 00 00"},
      {70000, "FF FF 70 11 01 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(Stored([&](CArchive& ar) { ar.WriteCount(c.count); }), Hex(c.bytes));
    LoadFrom(Hex(c.bytes), [&](CArchive& ar) { EXPECT_EQ(ar.ReadCount(), c.count); });
  }
}

TEST(ArchiveForms, ArraysAreACountThenTheRawElements)
{
  CArray<float> levels;
  levels.Add(1.0f);
  levels.Add(-2.5f);
  const Bytes expected = Hex("02 00  00 00 80 3F  00 00 20 C0");
  EXPECT_EQ(Stored([&](CArchive& ar) { levels.Serialize(ar); }), expected);

  CByteArray big;
  big.SetSize(70000);
  big[69999] = 0x5A;
  const Bytes bigBytes = Stored([&](CArchive& ar) { big.Serialize(ar); });
  ASSERT_EQ(bigBytes.size(), 6u + 70000u);
  EXPECT_EQ(Bytes(bigBytes.begin(), bigBytes.begin() + 6), Hex("FF FF 70 11 01 00"));
  EXPECT_EQ(bigBytes.back(), 0x5A);

  LoadFrom(expected, [](CArchive& ar) {
    CArray<float> loaded;
    loaded.Add(9.0f);  // replaced, not appended to
    loaded.Serialize(ar);
    ASSERT_EQ(loaded.GetSize(), 2);
    EXPECT_EQ(loaded[0], 1.0f);
    EXPECT_EQ(loaded[1], -2.5f);
  });

  CStringArray names;
  names.Add("a");
  names.Add("bc");
  EXPECT_EQ(Stored([&](CArchive& ar) { names.Serialize(ar); }), Hex("02 00 01 61 02 62 63"));
}

TEST(ArchiveForms, DatesAreStatusThenAutomationDate)
{
  // 2026-12-10 12:00 is 46366.5 days after 1899-12-30: 46366.5 = 0x40E6A3D000000000.
  const Bytes expected = Hex("00 00 00 00  00 00 00 00 D0 A3 E6 40");
  const COleDateTime noon(2026, 12, 10, 12, 0, 0);
  EXPECT_EQ(noon.m_dt, 46366.5);
  EXPECT_EQ(Stored([&](CArchive& ar) { ar << noon; }), expected);
  LoadFrom(expected, [](CArchive& ar) {
    COleDateTime loaded;
    loaded.SetStatus(COleDateTime::null);
    ar >> loaded;
    EXPECT_EQ(loaded.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(loaded.GetYear(), 2026);
    EXPECT_EQ(loaded.GetMonth(), 12);
    EXPECT_EQ(loaded.GetDay(), 10);
    EXPECT_EQ(loaded.GetHour(), 12);
  });

  COleDateTime null;
  null.SetStatus(COleDateTime::null);
  COleDateTime invalid(2026, 2, 30, 0, 0, 0);
  EXPECT_EQ(Stored([&](CArchive& ar) { ar << null << invalid; }),
            Hex("02 00 00 00  00 00 00 00 00 00 00 00   01 00 00 00  00 00 00 00 00 00 00 00"));
  LoadFrom(Hex("02 00 00 00  00 00 00 00 00 00 00 00   07 00 00 00  00 00 00 00 00 00 F8 3F"), [](CArchive& ar) {
    COleDateTime a, b;
    ar >> a >> b;
    EXPECT_EQ(a.GetStatus(), COleDateTime::null);
    EXPECT_EQ(b.GetStatus(), COleDateTime::invalid);  // a status no writer makes
  });
}

TEST(ArchiveForms, GuidIsItsSixteenMemoryBytes)
{
  // The straight road's class id {A354AAA1-5DAF-436A-9713-69BB090E9571}.
  const GUID straightRoad{0xA354AAA1, 0x5DAF, 0x436A, {0x97, 0x13, 0x69, 0xBB, 0x09, 0x0E, 0x95, 0x71}};
  const Bytes expected = Hex("A1 AA 54 A3 AF 5D 6A 43 97 13 69 BB 09 0E 95 71");
  EXPECT_EQ(Stored([&](CArchive& ar) { ar.Write(&straightRoad, sizeof straightRoad); }), expected);
  LoadFrom(expected, [&](CArchive& ar) {
    GUID loaded{};
    EXPECT_EQ(ar.Read(&loaded, sizeof loaded), sizeof loaded);
    EXPECT_EQ(loaded, straightRoad);
  });
}

TEST(ArchiveErrors, ReadingPastTheEndThrowsEndOfFile)
{
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("01 02 03"), [](CArchive& ar) { LONG v; ar >> v; }); }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("05 41 42"), [](CArchive& ar) { CString s; ar >> s; }); }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("03 00 01 00 00 00"), [](CArchive& ar) { CArray<LONG> a; a.Serialize(ar); }); }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex(""), [](CArchive& ar) { BYTE b; ar >> b; }); }), CArchiveException::endOfFile);
  // Raw reads answer what arrived instead.
  LoadFrom(Hex("01 02"), [](CArchive& ar) {
    BYTE buffer[4] = {};
    EXPECT_EQ(ar.Read(buffer, 4), 2u);
  });
}

TEST(ArchiveErrors, HostileLengthsAreRefusedBeforeAllocating)
{
  // A 0x7FFFFFFF-character string and a 0xFFFFFFFF-element array in a file of a few bytes: allocating for
  // them would take gigabytes (and abort under the address sanitizer).
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("FF FF FF FF FF FF 7F 41"), [](CArchive& ar) { CString s; ar >> s; }); }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("FF FE FF FF FF FF FF FF FF 7F"), [](CArchive& ar) { CString s; ar >> s; }); }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] {
              LoadFrom(Hex("FF FF FF FF FF FF 00 00"), [](CArchive& ar) {
                CArray<double> a;
                a.Serialize(ar);
              });
            }),
            CArchiveException::endOfFile);
  EXPECT_EQ(ArchiveCause([] {
              LoadFrom(Hex("FF FF FF FF FF FF 00"), [](CArchive& ar) {
                CStringArray a;
                a.Serialize(ar);
              });
            }),
            CArchiveException::endOfFile);
}

TEST(ArchiveErrors, DirectionMismatchesThrow)
{
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("00 00 00 00"), [](CArchive& ar) { ar << static_cast<LONG>(1); }); }),
            CArchiveException::readOnly);
  EXPECT_EQ(ArchiveCause([] { LoadFrom(Hex("00"), [](CArchive& ar) { ar << CString("x"); }); }),
            CArchiveException::readOnly);
  EXPECT_EQ(ArchiveCause([] {
              Stored([](CArchive& ar) {
                LONG v;
                ar >> v;
              });
            }),
            CArchiveException::writeOnly);
  // The exception is the framework's, caught by the base pointer as the program catches it.
  bool caught = false;
  try {
    LoadFrom(Hex("00"), [](CArchive& ar) { ar << 1.0; });
  } catch (CException* e) {
    caught = e->IsKindOf(RUNTIME_CLASS(CArchiveException));
    e->Delete();
  }
  EXPECT_TRUE(caught);
}

TEST(ArchiveBuffering, ValuesStraddlingTheBufferEdgeSurvive)
{
  // A small buffer makes every few values cross a refill.
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store, 128);
    for (int i = 0; i < 1000; ++i) {
      ar << static_cast<BYTE>(i) << static_cast<double>(i) / 3 << CString('x', i % 300);
    }
    ar.Close();
  }
  file.SeekToBegin();
  CArchive ar(&file, CArchive::load, 128);
  for (int i = 0; i < 1000; ++i) {
    BYTE b = 0;
    double d = 0;
    CString s;
    ar >> b >> d >> s;
    ASSERT_EQ(b, static_cast<BYTE>(i));
    ASSERT_EQ(d, static_cast<double>(i) / 3);
    ASSERT_EQ(s.GetLength(), i % 300);
  }
}

TEST(ArchiveBuffering, ClosingALoadingArchiveGivesBackWhatWasReadAhead)
{
  Bytes bytes = Hex("01 00 00 00 02 00 00 00 03 00 00 00");
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  {
    CArchive ar(&file, CArchive::load);
    LONG first = 0;
    ar >> first;
    EXPECT_EQ(first, 1);
    ar.Close();
  }
  EXPECT_EQ(file.GetPosition(), 4u);
}

}  // namespace
