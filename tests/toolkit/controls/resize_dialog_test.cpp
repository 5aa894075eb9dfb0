// The resizable dialog: its grip and minimum size, the size flags, children following their anchors in one batch,
// and the placement kept in the profile (a 44-byte record, read back exactly as written by hand).
#include "toolkit/controls/resize_dialog.h"

#include "platform/gdi/windraw.h"
#include "platform/user/common_controls.h"
#include "platform/user/dialog_template.h"
#include "platform/user/input.h"
#include "tests/platform/base/test_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kResizable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE;
constexpr DWORD kFixedFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
constexpr WORD kNameId = 1001;
constexpr WORD kGroupId = 1002;
constexpr WORD kListId = 1003;

user::DialogTemplate MakeTemplate(DWORD style)
{
  user::DialogTemplate t(style, 200, 120, "Привязка растра");
  t.Item(user::kDialogEdit, WS_BORDER | WS_TABSTOP, 10, 10, 100, 12, kNameId);
  t.Item(user::kDialogButton, BS_GROUPBOX, 5, 30, 190, 60, kGroupId, "Точки");
  t.Item(user::kDialogListBox, WS_BORDER, 10, 40, 180, 40, kListId);
  t.Item(user::kDialogButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 100, 50, 14, IDOK, "OK");
  return t;
}

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp(nullptr) {}
};

class ResizeDialogTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
    app_.SetRegistryKey("Marvesta");
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
  }
  void TearDown() override
  {
    owner_.DestroyWindow();
    ::unsetenv("TESMIRA_PROFILE_DIR");
  }

  // Opens the dialog modeless over the owner, so a test can look at it while it is open.
  void Open(CTKResizeDialog& dlg, DWORD style, const char* section = nullptr)
  {
    template_ = MakeTemplate(style);
    ASSERT_TRUE(dlg.CreateIndirect(template_.Data(), &owner_));
    if (section)
      dlg.AutoLoadPlacement(section);
  }
  static CRect WindowRect(const CWnd& wnd)
  {
    CRect rc;
    wnd.GetWindowRect(&rc);
    return rc;
  }
  static CRect ChildRect(const CWnd& parent, int id)
  {
    CRect rc;
    ::GetWindowRect(::GetDlgItem(parent.GetSafeHwnd(), id), &rc);
    parent.ScreenToClient(&rc);
    return rc;
  }
  static void Drag(POINT from, POINT to)
  {
    user::InjectMouseMove(from);
    user::InjectMouseButton(VK_LBUTTON, true);
    user::InjectMouseMove(to);
    user::InjectMouseButton(VK_LBUTTON, false);
    Pump();
  }
  static void Pump()
  {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }
  CRect ExpectedGrip(const CWnd& dlg) const
  {
    CRect client;
    dlg.GetClientRect(&client);
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    return CRect(client.right - cx - 1, client.bottom - cy - 1, client.right - 1, client.bottom - 1);
  }
  void WritePlacement(const char* section, const std::vector<BYTE>& bytes)
  {
    ASSERT_TRUE(app_.WriteProfileBinary(section, "WindowPlacement", const_cast<BYTE*>(bytes.data()),
                                        static_cast<UINT>(bytes.size())));
  }

  testing_support::TempFolder folder_;
  CTestApp app_;
  CWnd owner_;
  user::DialogTemplate template_{0, 0, 0, std::string()};
};

TEST_F(ResizeDialogTest, TheGripStaysInTheCornerAndTheDialogCannotShrinkBelowItsInitialSize)
{
  CTKResizeDialog dlg;
  Open(dlg, kResizable);
  const CRect initial = WindowRect(dlg);
  CWnd* grip = dlg.GetDlgItem(CTKResize::kSizeIconId);
  ASSERT_NE(grip, nullptr);
  EXPECT_TRUE(grip->IsWindowVisible());
  EXPECT_NE(grip->GetStyle() & SBS_SIZEGRIP, 0u);
  EXPECT_EQ(ChildRect(dlg, CTKResize::kSizeIconId), ExpectedGrip(dlg));
  EXPECT_NE(dlg.GetStyle() & WS_CLIPCHILDREN, 0u);

  // Caught by its grip, the dialog grows by the drag; the grip follows the corner.
  CRect gripOnScreen;
  grip->GetWindowRect(&gripOnScreen);
  const POINT at{gripOnScreen.left + 3, gripOnScreen.top + 3};
  Drag(at, POINT{at.x + 60, at.y + 40});
  CRect grown = WindowRect(dlg);
  EXPECT_EQ(grown, CRect(initial.left, initial.top, initial.right + 60, initial.bottom + 40));
  EXPECT_EQ(ChildRect(dlg, CTKResize::kSizeIconId), ExpectedGrip(dlg));

  // Dragged far up and left, it stops at the size it opened with.
  dlg.GetDlgItem(CTKResize::kSizeIconId)->GetWindowRect(&gripOnScreen);
  Drag(POINT{gripOnScreen.left + 3, gripOnScreen.top + 3}, POINT{initial.left + 5, initial.top + 5});
  EXPECT_EQ(WindowRect(dlg), initial);
  EXPECT_EQ(ChildRect(dlg, CTKResize::kSizeIconId), ExpectedGrip(dlg));
  dlg.DestroyWindow();
}

TEST_F(ResizeDialogTest, ADialogWithoutAResizingFrameHasNoGripAndKeepsTheDefaultLimits)
{
  CTKResizeDialog dlg;
  Open(dlg, kFixedFrame);
  EXPECT_EQ(dlg.GetDlgItem(CTKResize::kSizeIconId), nullptr);
  EXPECT_NE(dlg.m_resize.GetFlags() & CTKResize::flagNoSizeIcon, 0u);
  MINMAXINFO mmi{};
  mmi.ptMaxTrackSize = {5000, 4000};
  mmi.ptMaxSize = {5000, 4000};
  dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  const CRect rc = WindowRect(dlg);
  EXPECT_EQ(mmi.ptMinTrackSize.x, rc.Width());  // the template's size is still the least
  EXPECT_EQ(mmi.ptMaxTrackSize.x, 5000);
  EXPECT_EQ(mmi.ptMaxSize.y, 4000);
  dlg.DestroyWindow();
}

TEST_F(ResizeDialogTest, TheFlagsFixTheWidthOrHeightAndDropTheMinimumTheClippingAndTheGrip)
{
  struct Case {
    UINT flags;
    bool grip;
    bool clip;
    bool minFromInitial;
    bool widthFixed;
    bool heightFixed;
  };
  const Case cases[] = {
      {0, true, true, true, false, false},
      {CTKResize::flagNoSizeIcon, false, true, true, false, false},
      {CTKResize::flagFixedWidth, true, true, true, true, false},
      {CTKResize::flagFixedHeight, true, true, true, false, true},
      {CTKResize::flagNoMinSize, true, true, false, false, false},
      {CTKResize::flagNoClipChildren, true, false, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    CTKResizeDialog dlg(0, nullptr, c.flags);
    Open(dlg, kResizable);
    const CRect rc = WindowRect(dlg);
    EXPECT_EQ(dlg.GetDlgItem(CTKResize::kSizeIconId) != nullptr, c.grip);
    EXPECT_EQ((dlg.GetStyle() & WS_CLIPCHILDREN) != 0, c.clip);
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = {11, 12};
    mmi.ptMaxTrackSize = {5000, 4000};
    mmi.ptMaxSize = {5000, 4000};
    dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, c.minFromInitial ? rc.Width() : 11);
    EXPECT_EQ(mmi.ptMinTrackSize.y, c.minFromInitial ? rc.Height() : 12);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, c.widthFixed ? rc.Width() : 5000);
    EXPECT_EQ(mmi.ptMaxSize.x, c.widthFixed ? rc.Width() : 5000);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, c.heightFixed ? rc.Height() : 4000);
    EXPECT_EQ(mmi.ptMaxSize.y, c.heightFixed ? rc.Height() : 4000);
    dlg.DestroyWindow();
  }
}

TEST_F(ResizeDialogTest, AnchoredChildrenFollowTheirFactorsAndUnanchoredOnesStay)
{
  CTKResizeDialog dlg;
  Open(dlg, kResizable);
  const CRect name = ChildRect(dlg, kNameId);
  const CRect group = ChildRect(dlg, kGroupId);
  const CRect list = ChildRect(dlg, kListId);
  const CRect ok = ChildRect(dlg, IDOK);
  // The list is known to the layout only by id: the layout wraps it in an object of its own.
  EXPECT_TRUE(dlg.SetResize(kListId, CTKResizeRect(0, 0, 0.5f, 0)));
  EXPECT_TRUE(dlg.SetResize(kListId, CTKResizeRect(0, 0, 0.5f, 1)));  // added to the first anchors
  EXPECT_TRUE(dlg.SetResize(kGroupId, CTKResizeRect(0, 0, 1, 1)));
  EXPECT_TRUE(dlg.SetResize(IDOK, CTKResizeRect(1, 1, 1, 1)));
  EXPECT_FALSE(dlg.SetResize(4242, CTKResizeRect(1, 1, 1, 1)));
  // A group box is made transparent so the controls inside it show through a move.
  EXPECT_NE(dlg.GetDlgItem(kGroupId)->GetExStyle() & WS_EX_TRANSPARENT, 0u);

  const CRect rc = WindowRect(dlg);
  dlg.SetWindowPos(nullptr, 0, 0, rc.Width() + 41, rc.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(ChildRect(dlg, kNameId), name);
  EXPECT_EQ(ChildRect(dlg, kListId), CRect(list.left, list.top, list.right + 41, list.bottom + 30));
  EXPECT_EQ(ChildRect(dlg, kGroupId), CRect(group.left, group.top, group.right + 41, group.bottom + 30));
  EXPECT_EQ(ChildRect(dlg, IDOK), ok.Offset(41, 30));
  EXPECT_EQ(ChildRect(dlg, CTKResize::kSizeIconId), ExpectedGrip(dlg));

  // Half pixels are carried in floats, so two steps of 1 add up to one whole pixel of the list.
  dlg.SetWindowPos(nullptr, 0, 0, rc.Width() + 42, rc.Height() + 30, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(ChildRect(dlg, kListId).right, list.right + 42);
  dlg.SetWindowPos(nullptr, 0, 0, rc.Width(), rc.Height(), SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(ChildRect(dlg, kListId), list);
  EXPECT_EQ(ChildRect(dlg, IDOK), ok);
  dlg.DestroyWindow();
}

TEST_F(ResizeDialogTest, TheDialogReopensWhereItWasClosed)
{
  CRect closedAt;
  {
    CTKResizeDialog dlg;
    Open(dlg, kResizable, "RasterManagerDgl");
    const CRect rc = WindowRect(dlg);
    dlg.SetWindowPos(nullptr, 123, 87, rc.Width() + 50, rc.Height() + 20, SWP_NOZORDER);
    closedAt = WindowRect(dlg);
    dlg.DestroyWindow();
  }
  BYTE* data = nullptr;
  UINT bytes = 0;
  ASSERT_TRUE(app_.GetProfileBinary("RasterManagerDgl", "WindowPlacement", &data, &bytes));
  delete[] data;
  EXPECT_EQ(bytes, 44u);

  CTKResizeDialog dlg;
  Open(dlg, kResizable, "RasterManagerDgl");
  EXPECT_EQ(WindowRect(dlg), closedAt);
  EXPECT_EQ(ChildRect(dlg, CTKResize::kSizeIconId), ExpectedGrip(dlg));
  dlg.DestroyWindow();
}

// The record as the platform lays it out: length, flags, show command, minimised and maximised positions,
// then the normal rectangle; each a little-endian 32-bit word.
std::vector<BYTE> PlacementBytes(std::initializer_list<int32_t> words)
{
  std::vector<BYTE> bytes;
  for (int32_t w : words)
    for (int i = 0; i < 4; ++i)
      bytes.push_back(static_cast<BYTE>(static_cast<uint32_t>(w) >> (8 * i)));
  return bytes;
}

TEST_F(ResizeDialogTest, AStoredPlacementIsTakenOnlyAtItsOwnLengthAndOnlyOnTheScreen)
{
  CRect template_;
  {
    CTKResizeDialog dlg;
    Open(dlg, kResizable);
    template_ = WindowRect(dlg);
    dlg.DestroyWindow();
  }
  const int w = template_.Width();
  const int h = template_.Height();
  const int screenW = GetSystemMetrics(SM_CXSCREEN);
  const int screenH = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    const char* what;
    std::vector<BYTE> stored;
    CRect expected;
  };
  std::vector<BYTE> shortRecord = PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 200, 150});
  shortRecord.resize(40);
  std::vector<BYTE> longRecord = PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 200, 150, 200 + w, 150 + h});
  longRecord.push_back(0);
  const Case cases[] = {
      {"44 bytes", PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 210, 160, 210 + w + 30, 160 + h + 10}),
       CRect(210, 160, 210 + w + 30, 160 + h + 10)},
      {"40 bytes", shortRecord, template_},
      {"45 bytes", longRecord, template_},
      {"right of the screen",
       PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, screenW + 100, 40, screenW + 100 + w, 40 + h}),
       CRect(screenW - w, 40, screenW, 40 + h)},
      {"above and left of it", PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, -900, -700, -900 + w, -700 + h}),
       CRect(0, 0, w, h)},
      {"below it",
       PlacementBytes({44, 0, SW_SHOWNORMAL, -1, -1, -1, -1, 30, screenH + 5, 30 + w, screenH + 5 + h}),
       CRect(30, screenH - h, 30 + w, screenH)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WritePlacement("PriceDialog", c.stored);
    CTKResizeDialog dlg;
    Open(dlg, kResizable, "PriceDialog");
    EXPECT_EQ(WindowRect(dlg), c.expected);
    dlg.DestroyWindow();
  }
}

}  // namespace
