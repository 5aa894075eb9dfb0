// The shell's small parts: the stored window placement, the progress bar's place, the commands a calculation
// leaves usable, and the template import's files.
#include "app/calc_state.h"
#include "app/placement.h"
#include "app/progress_bar.h"
#include "app/template_import.h"
#include "platform/base/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

TEST(WindowPlacement, OnlyTenNumbersInRangeWithAVisibleShowCommandAreTaken)
{
  struct Case {
    const char* text;
    bool taken;
  };
  const Case cases[] = {
      {"2,3,-1,-1,-8,-31,10,20,810,660", true},
      {"0,1,-32000,-32000,-1,-1,0,0,800,640", true},
      {"", false},
      {"2,3,-1,-1,-8,-31,10,20,810", false},        // nine numbers
      {"2,3,-1,-1,-8,-31,10,20,810,660,7", false},  // eleven
      {"2,3,-1,-1,-8,-31,10,20,810,66x", false},
      {"2,3,,-1,-8,-31,10,20,810,660", false},
      {"2,0,-1,-1,-8,-31,10,20,810,660", false},    // SW_HIDE: an invisible program
      {"2,11,-1,-1,-8,-31,10,20,810,660", false},
      {"2,3,-1,-1,-8,-31,10,20,99999999999,660", false},
      {"garbage", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WINDOWPLACEMENT placement;
    placement.showCmd = 77;
    EXPECT_EQ(ParseWindowPlacement(c.text, &placement) != FALSE, c.taken);
    if (!c.taken) {
      EXPECT_EQ(placement.showCmd, 77u) << "a refused text leaves the record as it was";
    }
  }
}

TEST(WindowPlacement, TheTextHoldsTheFieldsInTheirOrder)
{
  WINDOWPLACEMENT placement;
  ASSERT_TRUE(ParseWindowPlacement("2,3,-1,-2,-8,-31,10,20,810,660", &placement));
  EXPECT_EQ(placement.length, sizeof(WINDOWPLACEMENT));
  EXPECT_EQ(placement.flags, 2u);
  EXPECT_EQ(placement.showCmd, 3u);
  EXPECT_EQ(placement.ptMinPosition.y, -2);
  EXPECT_EQ(placement.ptMaxPosition.x, -8);
  EXPECT_EQ(placement.rcNormalPosition.bottom, 660);
  EXPECT_STREQ(FormatWindowPlacement(placement), "2,3,-1,-2,-8,-31,10,20,810,660");
}

TEST(WindowPlacement, AMinimisedWindowIsStoredMaximised)
{
  WINDOWPLACEMENT placement;
  placement.showCmd = SW_SHOWMINIMIZED;
  placement.flags = 7;
  EXPECT_EQ(PlacementToStore(placement, FALSE).showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(PlacementToStore(placement, FALSE).flags, 0u);
  placement.showCmd = SW_SHOWNORMAL;
  EXPECT_EQ(PlacementToStore(placement, TRUE).showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(PlacementToStore(placement, TRUE).flags, WPF_RESTORETOMAXIMIZED);
}

TEST(ProgressBar, SitsAtTheRightOfThePaneInItsMiddleHalf)
{
  EXPECT_EQ(ProgressBarRect(CRect(0, 0, 400, 20), 15), CRect(334, 5, 392, 15));
  // Integer steps taken from the pane's own edges.
  EXPECT_EQ(ProgressBarRect(CRect(100, 2, 601, 23), 15), CRect(518, 7, 591, 18));
}

TEST(CalculationState, NineteenCommandsStayUsable)
{
  const UINT usable[] = {1021,  32778, 32794, 32797, 32800, 32807, 32814, 32815, 32816, 32834,
                         32924, 32970, 33027, 33029, 33079, 57664, 57667, 59392, 59393};
  for (UINT id : usable)
    EXPECT_TRUE(calc_state::IsAllowedWhileBusy(id)) << id;
  // The calculation itself, the economics pane, saving, undo and exit are not.
  for (UINT id : {32772u, 32978u, 57603u, 57643u, 57665u, 32849u})
    EXPECT_FALSE(calc_state::IsAllowedWhileBusy(id)) << id;
}

class TemplateImportTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    folder_ = ::testing::TempDir() + "tesmira-templates-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ + "docs");
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Names are the program's (cp1251); the files' are UTF-8.
  std::string Write(const std::string& name, const std::string& bytes)
  {
    std::ofstream(platform::ToFileSystemPath(folder_ + name), std::ios::binary) << bytes;
    return folder_ + name;
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(platform::ToFileSystemPath(path)); }
  static std::string Read(const std::string& path)
  {
    std::ifstream in(platform::ToFileSystemPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  CString Docs() const { return (folder_ + "docs/").c_str(); }

  std::string folder_;
};

TEST_F(TemplateImportTest, AProjectOfTheSameNameSurvivesAndTheCopyIsOpenedAndDeleted)
{
  const std::string templ = Write("Улица.qorrt", "QORR template bytes");
  const std::string users = folder_ + "docs/Улица.qorr5";
  Write("docs/Улица.qorr5", "the user's own project");
  std::string openedBytes;
  const TemplateImportResult result = ImportProjectTemplate(templ.c_str(), Docs(), [&](const CString& path) {
    openedBytes = Read(static_cast<LPCSTR>(path));
    return TRUE;
  });
  EXPECT_EQ(result.outcome, TemplateImport::kOpened);
  EXPECT_EQ(openedBytes, "QORR template bytes");
  EXPECT_EQ(std::string(result.projectPath), folder_ + "docs/Улица (2).qorr5");
  EXPECT_EQ(Read(users), "the user's own project");
  EXPECT_FALSE(Exists(folder_ + "docs/Улица (2).qorr5"));
}

TEST_F(TemplateImportTest, WhatIsNoTemplateIsRefusedAndNothingIsCopied)
{
  const std::string cases[] = {Write("a.qorrt", "XORR not ours"), Write("b.QORRT", "QORR upper-case extension"),
                               Write("c.qorrt", "QOR"), folder_ + "missing.qorrt"};
  for (const std::string& path : cases) {
    SCOPED_TRACE(path);
    bool opened = false;
    const TemplateImportResult result = ImportProjectTemplate(path.c_str(), Docs(), [&](const CString&) {
      opened = true;
      return TRUE;
    });
    EXPECT_EQ(result.outcome, TemplateImport::kRefused);
    EXPECT_FALSE(opened);
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder_ + "docs"));
}

TEST_F(TemplateImportTest, ACopyThatCannotBeOpenedIsDeletedToo)
{
  const std::string templ = Write("t.qorrt", "QORR");
  const TemplateImportResult result =
      ImportProjectTemplate(templ.c_str(), Docs(), [](const CString&) -> BOOL { throw std::runtime_error("bad"); });
  EXPECT_EQ(result.outcome, TemplateImport::kOpenFailed);
  EXPECT_TRUE(std::filesystem::is_empty(folder_ + "docs"));
}

}  // namespace

#include "app/color_button.h"
#include "platform/mfc/dc.h"

namespace {

TEST(ColorButton, DepthTwoShowsTwoRingsAndPressedWithTheFocusTheSunkenLook)
{
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  CClientDC screen(nullptr);
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 20));
  CBitmap* old = dc.SelectObject(&bitmap);

  CColorButton button;
  button.SetColours(RGB(0, 0, 0), RGB(0, 0, 200), RGB(128, 128, 128));
  DRAWITEMSTRUCT item{};
  item.hDC = dc.GetSafeHdc();
  item.rcItem = {0, 0, 40, 20};
  button.DrawItem(&item);
  struct Pixel {
    int x, y;
    COLORREF colour;
  };
  // Ring 1 white and 255 / 2, ring 2 63 / 2 + 192 and 255 / 3; inside them the background.
  for (const Pixel p : {Pixel{0, 0, RGB(255, 255, 255)}, Pixel{39, 19, RGB(127, 127, 127)},
                        Pixel{1, 1, RGB(223, 223, 223)}, Pixel{38, 18, RGB(85, 85, 85)}, Pixel{2, 2, RGB(0, 0, 200)}})
    EXPECT_EQ(dc.GetPixel(p.x, p.y), p.colour) << p.x << "," << p.y;

  item.itemState = ODS_FOCUS | ODS_SELECTED;
  button.DrawItem(&item);
  for (const Pixel p : {Pixel{0, 0, RGB(128, 128, 128)}, Pixel{39, 19, RGB(255, 255, 255)},
                        Pixel{1, 1, RGB(0, 0, 200)}})
    EXPECT_EQ(dc.GetPixel(p.x, p.y), p.colour) << "pressed " << p.x << "," << p.y;

  // A deeper pressed bevel: its innermost ring's bottom-right edges almost black.
  DrawColorButtonBevel(dc, CRect(0, 0, 40, 20), -3);
  EXPECT_EQ(dc.GetPixel(37, 17), RGB(1, 1, 1));
  EXPECT_EQ(dc.GetPixel(2, 2), RGB(63, 63, 63)) << "255 / 4, dark at the top left";
  dc.SelectObject(old);
}

}  // namespace
