// A printer DC writing PDF pages, read back with poppler's tools.
#include "platform/gdi/print.h"
#include "platform/gdi/windraw.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

namespace {

std::string Output(const std::string& command)
{
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) {
    return out;
  }
  std::array<char, 4096> buffer;
  while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    out += buffer.data();
  }
  return out;
}

TEST(Printing, TwoPagePdfWithTextAndA4Pages)
{
  const std::string path = std::string(TESMIRA_ARTIFACTS_DIR) + "/gdi_two_pages.pdf";
  std::remove(path.c_str());
  HDC dc = gdi::CreatePdfPrinterDC("", 210, 297, 150);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 150);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1240);  // 210 mm at 150 dpi
  EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1754);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 1240);
  EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 210);

  DOCINFO info;
  info.lpszDocName = "Протокол";
  info.lpszOutput = path.c_str();
  ASSERT_GT(StartDoc(dc, &info), 0);
  HFONT font = CreateFont(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, RUSSIAN_CHARSET, 0, 0, PROOF_QUALITY, VARIABLE_PITCH,
                          "MS Sans Serif");
  HGDIOBJ oldFont = SelectObject(dc, font);
  for (int page = 1; page <= 2; ++page) {
    ASSERT_GT(StartPage(dc), 0);
    const std::string title = page == 1 ? "Протокол расчёта освещения" : "стр. 2";
    TextOut(dc, 150, 150, title.c_str(), static_cast<int>(title.size()));
    MoveToEx(dc, 150, 220, nullptr);
    LineTo(dc, 1090, 220);
    ASSERT_GT(EndPage(dc), 0);
  }
  ASSERT_GT(EndDoc(dc), 0);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  DeleteDC(dc);

  const std::string pdfinfo = Output("pdfinfo '" + path + "'");
  EXPECT_NE(pdfinfo.find("Pages:           2"), std::string::npos) << pdfinfo;
  EXPECT_NE(pdfinfo.find("595.276 x 841.89 pts (A4)"), std::string::npos) << pdfinfo;
  // pdftotext writes UTF-8; the expectations are spelt out in bytes because narrow literals here are cp1251.
  const std::string text = Output("pdftotext -layout '" + path + "' -");
  const std::string firstTitle =
      "\xD0\x9F\xD1\x80\xD0\xBE\xD1\x82\xD0\xBE\xD0\xBA\xD0\xBE\xD0\xBB";  // "Протокол"
  EXPECT_NE(text.find(firstTitle), std::string::npos) << text;
  EXPECT_NE(text.find("\xD1\x80\xD0\xB0\xD1\x81\xD1\x87\xD1\x91\xD1\x82\xD0\xB0"), std::string::npos);  // "расчёта"
  EXPECT_NE(text.find("\xD1\x81\xD1\x82\xD1\x80. 2"), std::string::npos) << text;                        // "стр. 2"
  EXPECT_NE(text.find('\f'), std::string::npos);  // a page break between the two pages
}

TEST(Printing, PageCallsOutsideADocumentFail)
{
  HDC dc = gdi::CreatePdfPrinterDC("");
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(StartPage(dc), 0);
  EXPECT_EQ(EndDoc(dc), 0);
  DeleteDC(dc);
  gdi::Surface s(1, 1);
  HDC screen = gdi::CreateSurfaceDC(s);
  EXPECT_EQ(StartDoc(screen, nullptr), 0);
  DeleteDC(screen);
}

}  // namespace
