// Property sheets: a three-page sheet run modally and driven by the responder as a user would (tab clicks,
// button presses, keys): its layout, pages that refuse to be left, Apply, OK and Cancel and what each page is
// told.
#include "tests/platform/mfc/dialog_template.h"

#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc/propsheet.h"
#include "platform/user/msgbox.h"
#include "res/dialogs_ids.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace res {
const platform::ResourceModuleData& DialogsModule();
}

namespace {

using namespace mfctest;

constexpr int kEdit = 1001;

std::vector<std::string>& Events()
{
  static std::vector<std::string> events;
  return events;
}

// A page that tells what it was asked, and can be made to refuse.
class CLogPage : public CPropertyPage {
public:
  CLogPage(std::string name, const DialogTemplate& t) : name_(std::move(name))
  {
    m_psp.dwFlags |= PSP_DLGINDIRECT;
    m_psp.pResource = static_cast<const DLGTEMPLATE*>(t.Data());
  }
  bool refuseToLeave = false;
  bool refuseToApply = false;
  bool refuseToCancel = false;

  BOOL OnSetActive() override
  {
    Events().push_back(name_ + " set active");
    return CPropertyPage::OnSetActive();
  }
  BOOL OnKillActive() override
  {
    Events().push_back(name_ + " kill active");
    return refuseToLeave ? FALSE : CPropertyPage::OnKillActive();
  }
  BOOL OnApply() override
  {
    Events().push_back(name_ + " apply");
    return refuseToApply ? FALSE : CPropertyPage::OnApply();
  }
  void OnReset() override
  {
    Events().push_back(name_ + " reset");
    CPropertyPage::OnReset();
  }
  void OnCancel() override { Events().push_back(name_ + " cancel"); }
  BOOL OnQueryCancel() override
  {
    Events().push_back(name_ + " query cancel");
    return refuseToCancel ? FALSE : TRUE;
  }

private:
  std::string name_;
};

DialogTemplate PageTemplate(const char* caption, short cx, short cy)
{
  DialogTemplate t(WS_CHILD | DS_SETFONT, cx, cy, caption);
  t.Item(kEditClass, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 60, 12, kEdit);
  return t;
}

// The responder runs one step per question, with the sheet made and its first page shown; a step answers the
// button to press (0: none). Without steps left it cancels.
class Steps {
public:
  explicit Steps(std::vector<std::function<int(HWND)>> steps) : steps_(std::move(steps))
  {
    user::SetModalResponder([this](const user::ModalQuestion& q) {
      ++asked_;
      return next_ < steps_.size() ? steps_[next_++](q.dialog) : IDCANCEL;
    });
  }
  ~Steps() { user::SetModalResponder(nullptr); }
  int Asked() const { return asked_; }

private:
  std::vector<std::function<int(HWND)>> steps_;
  std::size_t next_ = 0;
  int asked_ = 0;
};

RECT ScreenRectOf(HWND hwnd)
{
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  return r;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void ClickTab(HWND sheet, int index)
{
  HWND tab = PropSheet_GetTabControl(sheet);
  RECT item{};
  ::SendMessage(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  POINT at = Centre(item);
  ::ClientToScreen(tab, &at);
  user::InjectClick(at);
  PumpMessages();
}

void ClickButton(HWND sheet, int id)
{
  user::InjectClick(Centre(ScreenRectOf(::GetDlgItem(sheet, id))));
  PumpMessages();
}

int CurrentIndex(HWND sheet) { return PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet)); }

class PropertySheetTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Events().clear();
    ASSERT_TRUE(owner_.CreateEx(0, nullptr, "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 700,
                                nullptr, nullptr));
    sheet_.AddPage(&general_);
    sheet_.AddPage(&lamps_);
    sheet_.AddPage(&keys_);
  }
  void TearDown() override { owner_.DestroyWindow(); }

  CWnd owner_;
  DialogTemplate generalTemplate_ = PageTemplate("Общие", 120, 60);
  DialogTemplate lampsTemplate_ = PageTemplate("Светильники", 200, 110);  // the largest
  DialogTemplate keysTemplate_ = PageTemplate("Клавиши", 150, 40);
  CLogPage general_{"general", generalTemplate_};
  CLogPage lamps_{"lamps", lampsTemplate_};
  CLogPage keys_{"keys", keysTemplate_};
  CPropertySheet sheet_{"Настройка", &owner_};
};

TEST_F(PropertySheetTest, LaysOutTabsPagesOfTheLargestSizeAndButtonsAtTheBottomRight)
{
  sheet_.m_psh.dwFlags |= PSH_HASHELP;
  Steps steps({[&](HWND sheet) {
    char text[64] = {};
    const std::vector<std::pair<int, std::string>> captions = {
        {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDC_PROPSHEET_APPLYNOW, "&Apply"}, {IDHELP, "Help"}};
    RECT client{};
    ::GetClientRect(sheet, &client);
    RECT sheetOnScreen = client;
    ::ClientToScreen(sheet, reinterpret_cast<POINT*>(&sheetOnScreen.left));
    ::ClientToScreen(sheet, reinterpret_cast<POINT*>(&sheetOnScreen.right));
    RECT tab = ScreenRectOf(PropSheet_GetTabControl(sheet));
    int left = tab.left - 1;
    for (const auto& [id, caption] : captions) {
      HWND button = ::GetDlgItem(sheet, id);
      ::GetWindowText(button, text, sizeof text);
      EXPECT_EQ(caption, text);
      RECT r = ScreenRectOf(button);
      EXPECT_GT(r.left, left) << caption;  // left to right in this order
      EXPECT_GT(r.top, tab.bottom) << caption;
      EXPECT_LT(r.bottom, sheetOnScreen.bottom) << caption;
      left = r.left;
    }
    // The last button ends where the tab control does: both 7 units in from the right.
    EXPECT_EQ(ScreenRectOf(::GetDlgItem(sheet, IDHELP)).right, tab.right);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(sheet, IDC_PROPSHEET_APPLYNOW)));

    HWND tabControl = PropSheet_GetTabControl(sheet);
    EXPECT_EQ(3, ::SendMessage(tabControl, TCM_GETITEMCOUNT, 0, 0));
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessage(tabControl, TCM_GETITEM, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("Светильники", text);

    // Every page, small or not, takes the size of the largest, inside the tab control's display area.
    RECT largest{0, 0, 200, 110};
    ::MapDialogRect(sheet, &largest);
    for (int i : {0, 2, 1}) {
      EXPECT_TRUE(PropSheet_SetCurSel(sheet, nullptr, i));
      HWND page = PropSheet_GetCurrentPageHwnd(sheet);
      EXPECT_EQ(sheet, ::GetParent(page));
      RECT r = ScreenRectOf(page);
      EXPECT_EQ(largest.Width(), r.Width()) << i;
      EXPECT_EQ(largest.Height(), r.Height()) << i;
      RECT display = tab;
      ::SendMessage(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
      EXPECT_EQ(display.Intersect(r), r) << i;
      EXPECT_TRUE(::IsWindowVisible(page));
    }
    EXPECT_EQ(1, sheet_.GetActiveIndex());
    EXPECT_EQ(&lamps_, sheet_.GetActivePage());
    PumpMessages();
    gdi::Surface screen;
    user::ComposeScreen(screen);
    gdi::SavePng(screen, std::string(TESMIRA_ARTIFACTS_DIR) + "/mfc_property_sheet.png");
    return IDCANCEL;
  }});
  EXPECT_EQ(IDCANCEL, sheet_.DoModal());
  EXPECT_EQ(nullptr, sheet_.m_hWnd);
  EXPECT_TRUE(owner_.IsWindowEnabled());
}

TEST_F(PropertySheetTest, APageThatRefusesToBeLeftKeepsTheSheetOnIt)
{
  general_.refuseToLeave = true;
  Steps steps({[&](HWND sheet) {
    Events().clear();
    ClickTab(sheet, 2);
    EXPECT_EQ(0, CurrentIndex(sheet));
    EXPECT_EQ(0, ::SendMessage(PropSheet_GetTabControl(sheet), TCM_GETCURSEL, 0, 0));
    EXPECT_FALSE(sheet_.SetActivePage(1));
    EXPECT_EQ(0, CurrentIndex(sheet));
    EXPECT_EQ((std::vector<std::string>{"general kill active", "general kill active"}), Events());

    general_.refuseToLeave = false;
    Events().clear();
    ClickTab(sheet, 2);
    EXPECT_EQ(2, CurrentIndex(sheet));
    EXPECT_FALSE(::IsWindowVisible(PropSheet_IndexToHwnd(sheet, 0)));
    EXPECT_EQ((std::vector<std::string>{"general kill active", "keys set active"}), Events());
    // OK needs the current page to let go as well.
    keys_.refuseToLeave = true;
    return IDOK;
  },
                [&](HWND sheet) {
                  EXPECT_EQ(2, CurrentIndex(sheet));
                  keys_.refuseToLeave = false;
                  return IDOK;
                }});
  EXPECT_EQ(IDOK, sheet_.DoModal());
  EXPECT_EQ(2, steps.Asked());
}

TEST_F(PropertySheetTest, ApplyIsEnabledByAChangeAndAppliesEveryPageMadeSoFar)
{
  Steps steps({[&](HWND sheet) {
    HWND apply = ::GetDlgItem(sheet, IDC_PROPSHEET_APPLYNOW);
    ClickTab(sheet, 1);
    ClickTab(sheet, 2);
    lamps_.SetModified();
    EXPECT_TRUE(::IsWindowEnabled(apply));
    keys_.SetModified();
    lamps_.SetModified(FALSE);
    EXPECT_TRUE(::IsWindowEnabled(apply)) << "one page still has changes";
    Events().clear();
    ClickButton(sheet, IDC_PROPSHEET_APPLYNOW);
    EXPECT_EQ((std::vector<std::string>{"keys kill active", "general apply", "lamps apply", "keys apply",
                                        "keys set active"}),
              Events());
    EXPECT_FALSE(::IsWindowEnabled(apply));
    EXPECT_TRUE(::IsWindowVisible(sheet));
    Events().clear();
    return IDCANCEL;
  }});
  // Values applied before Cancel stay applied: the sheet answers that something was saved.
  EXPECT_EQ(IDOK, sheet_.DoModal());
  EXPECT_EQ((std::vector<std::string>{"keys query cancel", "general reset", "general cancel", "lamps reset",
                                      "lamps cancel", "keys reset", "keys cancel"}),
            Events());
}

TEST_F(PropertySheetTest, CancelResetsThePagesMadeAndAppliesNothing)
{
  lamps_.refuseToCancel = true;
  Steps steps({[&](HWND sheet) {
    ClickTab(sheet, 1);
    lamps_.SetModified();
    Events().clear();
    return IDCANCEL;
  },
                [&](HWND sheet) {
                  EXPECT_TRUE(::IsWindowVisible(sheet)) << "the current page would not let Cancel close it";
                  lamps_.refuseToCancel = false;
                  Events().clear();
                  return IDCANCEL;
                }});
  EXPECT_EQ(IDCANCEL, sheet_.DoModal());
  EXPECT_EQ(2, steps.Asked());
  // The keys page was never shown: it has nothing to forget.
  EXPECT_EQ((std::vector<std::string>{"lamps query cancel", "general reset", "general cancel", "lamps reset",
                                      "lamps cancel"}),
            Events());
}

TEST_F(PropertySheetTest, EscapeCancelsAndOkAppliesOnlyWhenEveryPageTakesIt)
{
  {
    Steps steps({[&](HWND) {
      user::InjectKeyPress(VK_ESCAPE);
      return 0;
    }});
    EXPECT_EQ(IDCANCEL, sheet_.DoModal());
    EXPECT_EQ(1, steps.Asked()) << "the key closed it, not a second answer";
    EXPECT_EQ(Events().back(), "general cancel");
  }
  Events().clear();
  general_.refuseToApply = true;
  {
    Steps steps({[&](HWND) { return IDOK; },
                 [&](HWND sheet) {
                   EXPECT_TRUE(::IsWindowVisible(sheet)) << "a page refused: the sheet stays";
                   general_.refuseToApply = false;
                   return IDOK;
                 }});
    EXPECT_EQ(IDOK, sheet_.DoModal());
    EXPECT_EQ(2, steps.Asked());
  }
  EXPECT_EQ((std::vector<std::string>{"general set active", "general kill active", "general apply",
                                      "general set active", "general kill active", "general apply"}),
            Events());
}

TEST_F(PropertySheetTest, PagesComeAndGoWhileTheSheetRuns)
{
  DialogTemplate extraTemplate = PageTemplate("Ещё", 80, 40);
  CLogPage extra("extra", extraTemplate);
  sheet_.m_psh.dwFlags |= PSH_NOAPPLYNOW;
  Steps steps({[&](HWND sheet) {
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(sheet, IDC_PROPSHEET_APPLYNOW)));
    // Without Apply, Cancel is the last button.
    EXPECT_EQ(ScreenRectOf(::GetDlgItem(sheet, IDCANCEL)).right, ScreenRectOf(PropSheet_GetTabControl(sheet)).right);
    sheet_.AddPage(&extra);
    EXPECT_EQ(4, sheet_.GetPageCount());
    EXPECT_TRUE(sheet_.SetActivePage(&extra));
    EXPECT_EQ(&extra, sheet_.GetActivePage());
    sheet_.RemovePage(&extra);
    EXPECT_EQ(3, sheet_.GetPageCount());
    EXPECT_EQ(3, ::SendMessage(PropSheet_GetTabControl(sheet), TCM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(&keys_, sheet_.GetActivePage()) << "the page before the removed last one takes over";
    return IDCANCEL;
  }});
  EXPECT_EQ(IDCANCEL, sheet_.DoModal());
}

TEST_F(PropertySheetTest, APageFromAModuleTemplateIsAChildTitledByItsCaption)
{
  HINSTANCE previous = AfxGetResourceHandle();
  AfxSetResourceHandle(platform::RegisterResourceModule(res::DialogsModule()));
  CPropertyPage group(res::dialogs::IDD_GROUP_PARAMS);
  AfxSetResourceHandle(previous);
  CPropertySheet sheet("Группа", &owner_);
  sheet.AddPage(&group);
  Steps steps({[&](HWND hwnd) {
    char text[64] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessage(PropSheet_GetTabControl(hwnd), TCM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ("Параметры группы", text);
    EXPECT_EQ(hwnd, ::GetParent(group.m_hWnd));
    EXPECT_EQ(0u, group.GetStyle() & (WS_POPUP | WS_CAPTION));
    EXPECT_NE(nullptr, group.GetDlgItem(res::dialogs::IDC_GROUP_NAME)) << "its controls came along";
    return IDOK;
  }});
  EXPECT_EQ(IDOK, sheet.DoModal());
}

TEST(PropertySheetApi, RefusesHeadersAndPagesItCannotUse)
{
  PROPSHEETHEADER header;
  header.dwSize = 8;
  EXPECT_EQ(-1, ::PropertySheet(&header));
  EXPECT_EQ(-1, ::PropertySheet(nullptr));

  PROPSHEETPAGE page;
  page.dwFlags = PSP_DLGINDIRECT;  // no template
  EXPECT_EQ(nullptr, ::CreatePropertySheetPage(&page));
  // A bad page in the list: nothing is made.
  DialogTemplate good = PageTemplate("Страница", 50, 30);
  PROPSHEETPAGE pages[2];
  pages[0].dwFlags = PSP_DLGINDIRECT;
  pages[0].pResource = static_cast<const DLGTEMPLATE*>(good.Data());
  pages[1].dwSize = 4;
  header.dwSize = sizeof header;
  header.dwFlags = PSH_PROPSHEETPAGE;
  header.nPages = 2;
  header.ppsp = pages;
  EXPECT_EQ(-1, ::PropertySheet(&header));
}

}  // namespace
