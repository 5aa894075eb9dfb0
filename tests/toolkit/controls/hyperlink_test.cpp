// The hyperlink control on a dialog's static text: what subclassing makes of it, its colours by state, and what a
// click opens or reports.
#include "toolkit/controls/hyperlink.h"

#include "platform/shell/shell_execute.h"
#include "platform/user/dialog_template.h"
#include "platform/user/input.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr WORD kLinkId = 1075;
constexpr char kSite[] = "https://tesmira-road.example/";

class HyperLinkTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    template_ = user::DialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 60, "О Программе");
    template_.Item(user::kDialogStatic, SS_LEFT | WS_VISIBLE, 10, 10, 180, 10, kLinkId, kSite);
    ASSERT_TRUE(dialog_.CreateIndirect(template_.Data(), nullptr));
    ASSERT_TRUE(link_.SubclassDlgItem(kLinkId, &dialog_));
    shell::SetLauncher([this](const std::vector<std::string>& argv) {
      opened_.push_back(argv.back());
      return openResult_ > 32;
    });
  }
  void TearDown() override
  {
    shell::SetLauncher(nullptr);
    dialog_.DestroyWindow();
  }
  void PointAt(int dx)
  {
    CRect r;
    link_.GetWindowRect(&r);
    SetCursorPos(r.left + dx, r.top + r.Height() / 2);
  }
  void Click() { dialog_.SendMessage(WM_COMMAND, MAKEWPARAM(kLinkId, STN_CLICKED), reinterpret_cast<LPARAM>(link_.m_hWnd)); }
  COLORREF TextColour()
  {
    HDC dc = ::GetDC(link_.m_hWnd);
    LRESULT brush = dialog_.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                        reinterpret_cast<LPARAM>(link_.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    COLORREF colour = ::GetTextColor(dc);
    ::ReleaseDC(link_.m_hWnd, dc);
    return colour;
  }

  user::DialogTemplate template_{0, 0, 0, ""};
  CDialog dialog_;
  CTKHyperLink link_;
  std::vector<std::string> opened_;
  int openResult_ = 42;
};

TEST_F(HyperLinkTest, SubclassingMakesTheTextAnUnderlinedLinkToItself)
{
  EXPECT_EQ(std::string(link_.GetURL()), kSite);
  EXPECT_EQ(std::string(link_.GetTooltipText()), kSite);
  EXPECT_TRUE(link_.GetStyle() & SS_NOTIFY);
  LOGFONTA lf{};
  HFONT font = reinterpret_cast<HFONT>(link_.SendMessage(WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  ASSERT_NE(::GetObject(font, sizeof lf, &lf), 0);
  EXPECT_EQ(lf.lfUnderline, 1);
  link_.SetUnderline(FALSE);
  ::GetObject(reinterpret_cast<HFONT>(link_.SendMessage(WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(lf.lfUnderline, 0);
  EXPECT_NE(link_.GetLinkCursor(), nullptr);
  link_.SetBackColor(0xFFFFFF);
  EXPECT_EQ(link_.GetBackColor(), 0xFFFFFFu);
}

TEST_F(HyperLinkTest, AClickOnTheTextOpensTheTargetAndMarksItVisited)
{
  link_.SetColors(0xFF0000, 0x800080, 0xFF);
  EXPECT_EQ(TextColour(), 0xFF0000u);

  PointAt(170 * 2);  // right of the text, still inside the control
  EXPECT_FALSE(link_.IsMouseOverText());
  Click();
  EXPECT_TRUE(opened_.empty());

  PointAt(3);
  EXPECT_TRUE(link_.IsMouseOverText());
  Click();
  EXPECT_EQ(opened_, std::vector<std::string>{kSite});
  EXPECT_TRUE(link_.GetVisited());
  EXPECT_EQ(TextColour(), 0x800080u);
}

TEST_F(HyperLinkTest, AFailedOpenIsExplainedAndLeavesTheLinkUnvisited)
{
  user::ScriptedResponder responder;
  openResult_ = SE_ERR_NOASSOC;
  PointAt(3);
  Click();
  EXPECT_FALSE(link_.GetVisited());
  ASSERT_EQ(responder.Asked().size(), 1u);
  EXPECT_TRUE(responder.Asked()[0].style & MB_ICONEXCLAMATION);

  // A target the shell may not hand on is not opened at all.
  link_.SetURL("file:///etc/passwd");
  Click();
  EXPECT_EQ(opened_.size(), 1u);
  EXPECT_EQ(responder.Asked().size(), 2u);
}

}  // namespace
