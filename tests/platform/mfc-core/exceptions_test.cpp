#include "platform/mfc-core/exceptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Exceptions, ThrownByPointerAndFreedByDelete)
{
  int caught = 0;
  for (int i = 0; i < 2; ++i) {
    try {
      if (i == 0) {
        AfxThrowFileException(CFileException::accessDenied, 5, "C:\\Проект.qorr5");
      } else {
        // The one static instance: Delete must leave it alone (the sanitizer would see a bad free).
        AfxThrowMemoryException();
      }
    } catch (CException* e) {
      ++caught;
      EXPECT_FALSE(e->GetErrorMessage().IsEmpty());
      e->Delete();
    }
  }
  EXPECT_EQ(caught, 2);
}

TEST(Exceptions, MessagesNameTheFileAndReportGoesThroughTheHook)
{
  CFileException error(CFileException::fileNotFound, 2, "road.qorr5");
  EXPECT_NE(error.GetErrorMessage().Find("road.qorr5"), -1);
  char small[5];
  EXPECT_TRUE(error.GetErrorMessage(small, sizeof small));
  EXPECT_EQ(std::string(small).size(), 4u);  // cut to the buffer, terminated

  static std::string shown;
  static UINT shownType = 0;
  const auto saved = platform::ReportErrorHook;
  platform::ReportErrorHook = [](LPCSTR message, UINT type) {
    shown = message;
    shownType = type;
    return 1;
  };
  CArchiveException archive(CArchiveException::endOfFile, "x.qorr5");
  EXPECT_EQ(archive.ReportError(), 1);
  platform::ReportErrorHook = saved;
  EXPECT_NE(shown.find("x.qorr5"), std::string::npos);
  EXPECT_EQ(shownType, 0x30u);
  EXPECT_EQ(CFileException::OsErrorToException(32), CFileException::sharingViolation);
}

}  // namespace
