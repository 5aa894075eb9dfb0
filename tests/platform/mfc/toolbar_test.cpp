// Toolbars: buttons from TOOLBAR and BITMAP resources, drawn flat from the image strip, brought up to date at idle
// time through the frame's update handlers, and clicked into commands for the frame.
#include "platform/gdi/windraw.h"
#include "platform/user/common_controls.h"
#include "tests/platform/mfc/bar_frame.h"

#include <array>
#include <cstring>

namespace mfctest {
namespace {

using namespace res::bars;

// A packed DIB of `images` 16 x 15 images side by side, 24 bits a pixel, bottom row first: the form a BITMAP
// resource locks to.
template <std::size_t kImages>
constexpr std::array<BYTE, 40 + kImages * 16 * 3 * 15> PackedDib()
{
  std::array<BYTE, 40 + kImages * 16 * 3 * 15> dib{};
  auto put32 = [&dib](std::size_t at, DWORD v) {
    for (int i = 0; i < 4; ++i) {
      dib[at + i] = static_cast<BYTE>(v >> (8 * i));
    }
  };
  put32(0, 40);              // biSize
  put32(4, kImages * 16);    // biWidth
  put32(8, 15);              // biHeight: bottom row first
  dib[12] = 1;               // biPlanes
  dib[14] = 24;              // biBitCount
  for (std::size_t i = 40; i < dib.size(); ++i) {
    dib[i] = 0x80;  // grey pixels; each row is 16 * 3 * kImages bytes, a multiple of four
  }
  return dib;
}

alignas(8) constexpr auto kTwoImages = PackedDib<2>();
// TOOLBAR resources written by hand, byte by byte, little-endian WORDs: version, width, height, count, ids.
alignas(8) constexpr BYTE kGood[] = {1, 0, 16, 0, 15, 0, 3, 0, 0x65, 0x9C, 0, 0, 0x66, 0x9C};  // 40037, sep, 40038
alignas(8) constexpr BYTE kTruncated[] = {1, 0, 16, 0, 15, 0, 5, 0, 0x65, 0x9C, 0x66, 0x9C};   // 5 ids said, 2 given
alignas(8) constexpr BYTE kVersion2[] = {2, 0, 16, 0, 15, 0, 1, 0, 0x65, 0x9C};
alignas(8) constexpr BYTE kHeaderOnly[] = {1, 0, 16, 0};
alignas(8) constexpr BYTE kNoBitmap[] = {1, 0, 16, 0, 15, 0, 1, 0, 0x65, 0x9C};

const platform::BinaryResource kHandResources[] = {
    {2, 300, kTwoImages.data(), kTwoImages.size()},
    {2, 301, kTwoImages.data(), kTwoImages.size()},
    {2, 302, kTwoImages.data(), kTwoImages.size()},
    {2, 303, kTwoImages.data(), kTwoImages.size()},
    {241, 300, kGood, sizeof kGood},
    {241, 301, kTruncated, sizeof kTruncated},
    {241, 302, kVersion2, sizeof kVersion2},
    {241, 303, kHeaderOnly, sizeof kHeaderOnly},
    {241, 304, kNoBitmap, sizeof kNoBitmap},
};

const platform::ResourceModuleData& HandToolbars()
{
  static platform::ResourceModuleData module = [] {
    platform::ResourceModuleData m{"MfcHandToolbars", nullptr, 0};
    m.resources = kHandResources;
    m.resourceCount = std::size(kHandResources);
    return m;
  }();
  return module;
}

TEST_F(BarsTest, LoadToolBarReadsTheResourceAsWrittenAndLeavesTheBarAsItWasWhenItCannot)
{
  CToolBar& bar = frame_->m_standard;
  HINSTANCE bars = AfxGetResourceHandle();
  AfxSetResourceHandle(platform::RegisterResourceModule(HandToolbars()));
  struct Case {
    UINT id;
    const char* fault;
  };
  for (const Case& c : {Case{301, "fewer ids than counted"}, Case{302, "unknown version"}, Case{303, "no count"},
                        Case{304, "no bitmap"}, Case{305, "no resource"}}) {
    EXPECT_FALSE(bar.LoadToolBar(c.id)) << c.fault;
    EXPECT_EQ(bar.GetCount(), 5) << c.fault;
    EXPECT_EQ(bar.GetItemID(0), ID_BAR_NEW) << c.fault;
  }
  ASSERT_TRUE(bar.LoadToolBar(300));
  AfxSetResourceHandle(bars);
  ASSERT_EQ(bar.GetCount(), 3);
  struct Button {
    UINT id;
    UINT style;
    int image;
  };
  const Button expected[] = {{40037, TBBS_BUTTON, 0}, {ID_SEPARATOR, TBBS_SEPARATOR, 8}, {40038, TBBS_BUTTON, 1}};
  for (int i = 0; i < 3; ++i) {
    UINT id = 0;
    UINT style = 0;
    int image = -1;
    bar.GetButtonInfo(i, id, style, image);
    EXPECT_EQ(id, expected[i].id) << i;
    EXPECT_EQ(style, expected[i].style) << i;
    EXPECT_EQ(image, expected[i].image) << i;
  }
  EXPECT_EQ(bar.CommandToIndex(40038), 2);
  EXPECT_EQ(bar.CommandToIndex(ID_BAR_NEW), -1);
  EXPECT_EQ(bar.GetButtonSize(), CSize(23, 22));  // the image and 7 pixels each way
  EXPECT_EQ(bar.GetImageSize(), CSize(16, 15));
}

TEST_F(BarsTest, AtIdleTimeButtonsFollowTheirUpdateHandlersAndThoseWithoutAHandlerGoGrey)
{
  CToolBar& standard = frame_->m_standard;
  CToolBar& view = frame_->m_viewBar;
  struct Step {
    BOOL canSave;
    int grid;
    UINT saveState;
    UINT gridState;
  };
  const Step steps[] = {
      {FALSE, 0, TBBS_DISABLED, TBBS_CHECKBOX},
      {TRUE, 1, 0, TBBS_CHECKBOX | TBBS_CHECKED},
      {TRUE, 2, 0, TBBS_CHECKBOX | TBBS_INDETERMINATE},
      {FALSE, 0, TBBS_DISABLED, TBBS_CHECKBOX},
  };
  for (const Step& s : steps) {
    frame_->m_canSave = s.canSave;
    frame_->m_grid = s.grid;
    Idle();
    EXPECT_EQ(standard.GetButtonStyle(standard.CommandToIndex(ID_BAR_SAVE)), s.saveState) << s.canSave;
    EXPECT_EQ(view.GetButtonStyle(view.CommandToIndex(ID_BAR_GRID)), s.gridState) << s.grid;
    EXPECT_EQ(standard.GetButtonStyle(standard.CommandToIndex(ID_BAR_NEW)), TBBS_BUTTON);  // handled
    EXPECT_EQ(standard.GetButtonStyle(standard.CommandToIndex(ID_BAR_DELETE)), TBBS_DISABLED);  // nobody's
    EXPECT_EQ(view.GetButtonStyle(view.CommandToIndex(ID_BAR_ZOOM)), TBBS_DISABLED);
  }
  // The dialog bar's push button without a handler goes grey too; the one the frame handles stays.
  EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(frame_->m_calculation.m_hWnd, ID_BAR_CALCULATE)));
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(frame_->m_calculation.m_hWnd, IDC_BAR_STOP)));
  // A hidden bar is not updated.
  frame_->ShowControlBar(&standard, FALSE, FALSE);
  frame_->m_canSave = TRUE;
  Idle();
  EXPECT_EQ(standard.GetButtonStyle(standard.CommandToIndex(ID_BAR_SAVE)), TBBS_DISABLED);
}

// A press and a release of the left button at client points of a window.
void Click(HWND wnd, POINT down, POINT up)
{
  ::SendMessage(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  ::SendMessage(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
  ::SendMessage(wnd, WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
}

POINT Centre(const CToolBar& bar, UINT id)
{
  CRect rect;
  bar.GetItemRect(bar.CommandToIndex(id), rect);
  return rect.CenterPoint();
}

TEST_F(BarsTest, AClickOnAnEnabledButtonIsTheFramesCommand)
{
  CToolBar& bar = frame_->m_standard;
  Idle();  // Save and Delete go grey
  Click(bar.m_hWnd, Centre(bar, ID_BAR_NEW), Centre(bar, ID_BAR_NEW));
  Click(bar.m_hWnd, Centre(bar, ID_BAR_SAVE), Centre(bar, ID_BAR_SAVE));      // disabled
  Click(bar.m_hWnd, Centre(bar, ID_BAR_OPEN), Centre(bar, ID_BAR_NEW));       // released elsewhere: no click
  Click(bar.m_hWnd, CPoint(2, 2), CPoint(2, 2));                              // the gripper
  frame_->m_canSave = TRUE;
  Idle();
  Click(bar.m_hWnd, Centre(bar, ID_BAR_SAVE), Centre(bar, ID_BAR_SAVE));
  EXPECT_EQ(frame_->m_commands, (std::vector<UINT>{ID_BAR_NEW, ID_BAR_SAVE}));
  EXPECT_EQ(bar.GetButtonStyle(bar.CommandToIndex(ID_BAR_OPEN)) & TBBS_PRESSED, 0u);
  EXPECT_EQ(::GetCapture(), nullptr);

  // The dialog bar's buttons are the frame's commands as well.
  HWND start = ::GetDlgItem(frame_->m_calculation.m_hWnd, ID_BAR_CALCULATE);
  ::SendMessage(frame_->m_calculation.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BAR_CALCULATE, BN_CLICKED),
                reinterpret_cast<LPARAM>(start));
  EXPECT_EQ(frame_->m_commands.back(), ID_BAR_CALCULATE);
}

TEST_F(BarsTest, ButtonsAreDrawnFromTheImageStripAndGreyedWhenDisabled)
{
  CToolBar& bar = frame_->m_standard;
  Idle();  // Delete has no handler: disabled
  CRect client;
  bar.GetClientRect(client);
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.Width(), client.Height());
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bitmap);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
  bar.DoPaint(CDC::FromHandle(dc));

  // "New": a white sheet with a black outline, its image 3 pixels in from the button's corner.
  CRect newButton;
  bar.GetItemRect(bar.CommandToIndex(ID_BAR_NEW), newButton);
  const POINT image{newButton.left + 3, newButton.top + 3};
  EXPECT_EQ(::GetPixel(dc, image.x + 4, image.y + 2), RGB(255, 255, 255));
  EXPECT_EQ(::GetPixel(dc, image.x + 3, image.y + 1), RGB(0, 0, 0));
  EXPECT_EQ(::GetPixel(dc, image.x, image.y), ::GetSysColor(COLOR_BTNFACE));  // the mask colour is not drawn

  // "Delete" is a red cross; greyed, none of its red is left, only the embossed shadow and highlight.
  CRect deleteButton;
  bar.GetItemRect(bar.CommandToIndex(ID_BAR_DELETE), deleteButton);
  int red = 0;
  int shadow = 0;
  for (int y = deleteButton.top; y < deleteButton.bottom; ++y) {
    for (int x = deleteButton.left; x < deleteButton.right; ++x) {
      COLORREF pixel = ::GetPixel(dc, x, y);
      red += pixel == RGB(200, 20, 20) ? 1 : 0;
      shadow += pixel == ::GetSysColor(COLOR_BTNSHADOW) ? 1 : 0;
    }
  }
  EXPECT_EQ(red, 0);
  EXPECT_GT(shadow, 20);
  ::SelectObject(dc, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
}

TEST_F(BarsTest, EachButtonsTipIsTheSecondLineOfItsStringAndFollowsItsPlace)
{
  CToolBar& bar = frame_->m_standard;
  HWND tip = bar.GetToolTipWindow();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(::SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 4);  // four buttons; the separator has none
  auto toolOf = [&](UINT id, char* text) {
    TOOLINFO tool;
    tool.hwnd = bar.m_hWnd;
    tool.uId = static_cast<UINT_PTR>(bar.CommandToIndex(id));
    tool.lpszText = text;
    EXPECT_TRUE(::SendMessage(tip, TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&tool)));
    return tool;
  };
  char text[80] = {};
  TOOLINFO save = toolOf(ID_BAR_SAVE, text);
  EXPECT_STREQ(text, "Сохранить");
  CRect rect;
  bar.GetItemRect(bar.CommandToIndex(ID_BAR_SAVE), rect);
  EXPECT_EQ(CRect(save.rect), rect);

  // A hidden button moves those after it along, and their tips with them.
  bar.SetButtonStyle(bar.CommandToIndex(ID_BAR_OPEN), TBBS_BUTTON | TBBS_HIDDEN);
  EXPECT_EQ(::SendMessage(tip, TTM_GETTOOLCOUNT, 0, 0), 3);
  bar.GetItemRect(bar.CommandToIndex(ID_BAR_SAVE), rect);
  EXPECT_EQ(CRect(toolOf(ID_BAR_SAVE, text).rect), rect);
}

}  // namespace
}  // namespace mfctest
