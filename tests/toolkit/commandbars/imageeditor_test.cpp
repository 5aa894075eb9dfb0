// The button image editor driven as a user drives it: clicks and drags on the zoomed picture, the tools' and
// shift buttons' commands, the clipboard between two editors, and import of user files.
#include "toolkit/commandbars/imageeditor.h"

#include "platform/base/codepage.h"
#include "platform/gdi/png.h"
#include "platform/mfc-core/resources.h"
#include "platform/user/clipboard.h"
#include "platform/user/commdlg.h"
#include "platform/user/common_controls.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "res/modules.h"
#include "toolkit/paint/resource_manager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kT = TK_IMAGEEDITOR_TRANSPARENT;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);  // palette cell 10
constexpr int kRedCell = 10;

void Pump()
{
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::DispatchMessage(&msg);
  }
}

void UseToolkitModule()
{
  res::RegisterModules();
  TKResourceManager()->SetResourceHandle(platform::RegisterResourceModule(res::ToolkitModule()));
}

class ImageEditor : public ::testing::Test {
protected:
  void SetUp() override
  {
    UseToolkitModule();
    ASSERT_TRUE(dlg_.CreateEditor(nullptr));
  }
  void TearDown() override
  {
    if (dlg_.m_hWnd != nullptr) {
      dlg_.DestroyWindow();
    }
    if (other_.m_hWnd != nullptr) {
      other_.DestroyWindow();
    }
    TKSetResourceInstance(nullptr, nullptr);
  }

  CTKImageEditorPicture& Picture() { return dlg_.GetPictureCtrl(); }
  COLORREF At(int x, int y) { return Picture().GetPixelColor(CPoint(x, y)); }
  CPoint PointOf(CTKImageEditorPicture& picture, int x, int y)
  {
    const CSize cell = picture.GetCellSize();
    return CPoint(x * cell.cx + cell.cx / 2, y * cell.cy + cell.cy / 2);
  }
  void Press(CTKImageEditorPicture& picture, int x, int y)
  {
    const CPoint pt = PointOf(picture, x, y);
    picture.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  }
  void Drag(int x, int y)
  {
    const CPoint pt = PointOf(Picture(), x, y);
    Picture().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
  }
  void Release(int x, int y)
  {
    const CPoint pt = PointOf(Picture(), x, y);
    Picture().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
  }
  void Click(int x, int y)
  {
    Press(Picture(), x, y);
    Release(x, y);
  }
  void Command(CTKImageEditorDlg& dlg, UINT nID) { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }
  void Command(UINT nID) { Command(dlg_, nID); }
  // A click on a palette cell, as the user makes it: the cell notifies the dialog.
  void ChoosePalette(int nIndex) { dlg_.GetPalettePicker(nIndex).SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0); }
  // Which pixels of the picture have the colour, as rows of '#' and '.'.
  std::vector<std::string> Mask(COLORREF clr, int width, int height)
  {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
      std::string row;
      for (int x = 0; x < width; ++x) {
        row += At(x, y) == clr ? '#' : '.';
      }
      rows.push_back(row);
    }
    return rows;
  }

  CTKImageEditorDlg dlg_;
  CTKImageEditorDlg other_;
};

TEST_F(ImageEditor, OpensWithAnEmptyPictureThePencilAndBlackSelected)
{
  EXPECT_EQ(nullptr, dlg_.GetPicture());
  EXPECT_EQ(0, dlg_.GetCurrentTool());
  EXPECT_EQ(kBlack, dlg_.GetCurrentColor());
  EXPECT_TRUE(dlg_.GetPalettePicker(0).m_bSelected);
  // The picture control is resized to whole cells plus the frame.
  CRect rc;
  Picture().GetClientRect(&rc);
  EXPECT_EQ(16 * Picture().GetCellSize().cx + 1, rc.Width());
  EXPECT_EQ(16 * Picture().GetCellSize().cy + 1, rc.Height());
  EXPECT_GE(Picture().GetCellSize().cx, 4);
  // The palette cells stand 13 pixels apart in two rows of eight.
  CRect first;
  CRect ninth;
  dlg_.GetPalettePicker(0).GetWindowRect(&first);
  dlg_.GetPalettePicker(9).GetWindowRect(&ninth);
  EXPECT_EQ(CSize(11, 11), first.Size());
  EXPECT_EQ(first.left + 13, ninth.left);
  EXPECT_EQ(first.top + 13, ninth.top);
}

TEST_F(ImageEditor, PencilTakesTheCurrentColourOrMakesTransparentWhatAlreadyHasIt)
{
  struct Case {
    const char* name;
    int palette;         // the colour chosen before the stroke
    COLORREF before;     // the pixel's colour before the click (drawn first in black, or left transparent)
    COLORREF expected;
  };
  const Case cases[] = {
      {"transparent pixel, black pencil", 0, kT, kBlack},
      {"black pixel, black pencil", 0, kBlack, kT},
      {"black pixel, red pencil", kRedCell, kBlack, kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Command(TK_ID_IMAGEEDITOR_CLEAR);
    ChoosePalette(0);
    if (c.before == kBlack) {
      Click(3, 4);
    }
    ASSERT_EQ(c.before, At(3, 4));
    ChoosePalette(c.palette);
    Click(3, 4);
    EXPECT_EQ(c.expected, At(3, 4));
  }
}

TEST_F(ImageEditor, APencilStrokeKeepsItsColourAndIsOneUndoStep)
{
  Click(2, 2);  // black
  const int steps = Picture().GetUndoCount();
  // Started on the black pixel, the whole stroke erases, even over pixels that were transparent.
  Press(Picture(), 2, 2);
  Drag(3, 2);
  Drag(4, 2);
  Release(4, 2);
  EXPECT_EQ(kT, At(2, 2));
  EXPECT_EQ(kT, At(3, 2));
  EXPECT_EQ(steps + 1, Picture().GetUndoCount());
  Command(TK_ID_IMAGEEDITOR_UNDO);
  EXPECT_EQ(kBlack, At(2, 2));
}

TEST_F(ImageEditor, SeventeenChangesKeepSixteenUndoStepsAndANewChangeEmptiesRedo)
{
  for (int i = 0; i < 17; ++i) {
    Click(i % 16, i / 16);
  }
  EXPECT_EQ(16, Picture().GetUndoCount());
  for (int i = 0; i < 20; ++i) {
    Command(TK_ID_IMAGEEDITOR_UNDO);
  }
  // The first change can no longer be undone: only it is left.
  EXPECT_EQ(0, Picture().GetUndoCount());
  EXPECT_EQ(16, Picture().GetRedoCount());
  EXPECT_EQ(kBlack, At(0, 0));
  EXPECT_EQ(kT, At(1, 0));

  Command(TK_ID_IMAGEEDITOR_REDO);
  Command(TK_ID_IMAGEEDITOR_REDO);
  EXPECT_EQ(kBlack, At(2, 0));
  EXPECT_EQ(14, Picture().GetRedoCount());
  Click(9, 9);
  EXPECT_EQ(0, Picture().GetRedoCount());
  EXPECT_EQ(3, Picture().GetUndoCount());
}

TEST_F(ImageEditor, UndoAndRedoButtonsFollowTheLists)
{
  const auto state = [&](UINT nID) {
    dlg_.SendMessage(WM_KICKIDLE, 0, 0);
    CToolBar* bar = nullptr;
    for (HWND child = ::GetWindow(dlg_.m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
      if (auto* tb = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(child)); tb != nullptr && tb->CommandToIndex(nID) >= 0) {
        bar = tb;
      }
    }
    return bar == nullptr ? 0xFFFFFFFFu : bar->GetButtonStyle(bar->CommandToIndex(nID)) & (TBBS_DISABLED | TBBS_CHECKED);
  };
  EXPECT_EQ(TBBS_DISABLED, state(TK_ID_IMAGEEDITOR_UNDO));
  EXPECT_EQ(TBBS_DISABLED, state(TK_ID_IMAGEEDITOR_REDO));
  EXPECT_EQ(TBBS_CHECKED, state(TK_ID_IMAGEEDITOR_PENCIL));
  Click(1, 1);
  EXPECT_EQ(0u, state(TK_ID_IMAGEEDITOR_UNDO));
  Command(TK_ID_IMAGEEDITOR_UNDO);
  EXPECT_EQ(TBBS_DISABLED, state(TK_ID_IMAGEEDITOR_UNDO));
  EXPECT_EQ(0u, state(TK_ID_IMAGEEDITOR_REDO));
  Command(TK_ID_IMAGEEDITOR_LINE);
  EXPECT_EQ(0u, state(TK_ID_IMAGEEDITOR_PENCIL));
  EXPECT_EQ(TBBS_CHECKED, state(TK_ID_IMAGEEDITOR_LINE));
}

TEST_F(ImageEditor, TheCursorOverThePictureFollowsTheTool)
{
  struct Case {
    UINT nTool;
    UINT nCursor;
  };
  const Case cases[] = {
      {TK_ID_IMAGEEDITOR_PENCIL, TK_IDC_IMAGEEDITOR_CURSOR_PENCIL},
      {TK_ID_IMAGEEDITOR_FILL, TK_IDC_IMAGEEDITOR_CURSOR_FILL},
      {TK_ID_IMAGEEDITOR_PICKER, TK_IDC_IMAGEEDITOR_CURSOR_PICKER},
      {TK_ID_IMAGEEDITOR_LINE, TK_IDC_IMAGEEDITOR_CURSOR_DEFAULT},
      {TK_ID_IMAGEEDITOR_RECTANGLE, TK_IDC_IMAGEEDITOR_CURSOR_DEFAULT},
      {TK_ID_IMAGEEDITOR_ELLIPSE, TK_IDC_IMAGEEDITOR_CURSOR_DEFAULT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nTool);
    Command(c.nTool);
    Picture().SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(Picture().m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    HCURSOR expected = TKResourceManager()->LoadCursor(c.nCursor);
    ASSERT_NE(nullptr, expected);
    EXPECT_EQ(expected, ::GetCursor());
  }
}

TEST_F(ImageEditor, ShiftsMoveThePictureOnePixelAndLoseWhatLeaves)
{
  struct Case {
    UINT nCommand;
    CPoint from;  // a pixel at the edge the shift pushes out, and one in the middle
    CPoint middleTo;
    CPoint lostOrEmpty;  // the edge that becomes transparent
  };
  const Case cases[] = {
      {TK_ID_IMAGEEDITOR_MOVE_RIGHT, CPoint(15, 5), CPoint(8, 7), CPoint(0, 5)},
      {TK_ID_IMAGEEDITOR_MOVE_LEFT, CPoint(0, 5), CPoint(6, 7), CPoint(15, 5)},
      {TK_ID_IMAGEEDITOR_MOVE_DOWN, CPoint(5, 15), CPoint(7, 8), CPoint(5, 0)},
      {TK_ID_IMAGEEDITOR_MOVE_UP, CPoint(5, 0), CPoint(7, 6), CPoint(5, 15)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nCommand);
    Command(TK_ID_IMAGEEDITOR_CLEAR);
    // Fill the whole picture, then mark the pixel at the outgoing edge and one in the middle transparent.
    Command(TK_ID_IMAGEEDITOR_FILL);
    Click(0, 0);
    Command(TK_ID_IMAGEEDITOR_PENCIL);
    Click(c.from.x, c.from.y);
    Click(7, 7);
    ASSERT_EQ(kT, At(7, 7));
    Command(c.nCommand);
    EXPECT_EQ(kT, At(c.middleTo.x, c.middleTo.y));
    EXPECT_EQ(kBlack, At(7, 7));
    // Everything on the incoming edge is transparent; the transparent pixel pushed out is gone.
    EXPECT_EQ(kT, At(c.lostOrEmpty.x, c.lostOrEmpty.y));
    int transparent = 0;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        transparent += At(x, y) == kT ? 1 : 0;
      }
    }
    EXPECT_EQ(16 + 1, transparent);
  }
}

TEST_F(ImageEditor, ColourPickerHandsBackToTheToolItWasChosenFrom)
{
  struct Case {
    UINT nFrom;
    int expected;
  };
  for (const Case c : {Case{TK_ID_IMAGEEDITOR_PENCIL, 0}, Case{TK_ID_IMAGEEDITOR_LINE, 3},
                       Case{TK_ID_IMAGEEDITOR_ELLIPSE, 5}}) {
    SCOPED_TRACE(c.nFrom);
    Command(c.nFrom);
    Command(TK_ID_IMAGEEDITOR_PICKER);
    Command(TK_ID_IMAGEEDITOR_PICKER);  // choosing it twice keeps the tool to return to
    EXPECT_EQ(2, dlg_.GetCurrentTool());
    Click(0, 0);
    EXPECT_EQ(c.expected, dlg_.GetCurrentTool());
  }
  // The picked colour goes to the free-colour picker, which becomes the current colour.
  Command(TK_ID_IMAGEEDITOR_PENCIL);
  ChoosePalette(3);
  Click(4, 4);
  ChoosePalette(0);
  Command(TK_ID_IMAGEEDITOR_PICKER);
  Click(4, 4);
  EXPECT_EQ(COLORREF{0x008080}, dlg_.GetFreeColorPicker().m_clr);
  EXPECT_TRUE(dlg_.GetFreeColorPicker().m_bSelected);
  EXPECT_FALSE(dlg_.GetPalettePicker(0).m_bSelected);
  EXPECT_EQ(COLORREF{0x008080}, dlg_.GetCurrentColor());
}

TEST_F(ImageEditor, ShapesFollowTheirDragAndReplaceTheirLastOutline)
{
  struct Case {
    UINT nTool;
    CPoint from;
    CPoint to;
    std::vector<std::string> expected;  // the top-left 8 x 6 pixels
  };
  const Case cases[] = {
      // The line leaves its end pixel out.
      {TK_ID_IMAGEEDITOR_LINE, CPoint(1, 1), CPoint(6, 1),
       {"........", ".#####..", "........", "........", "........", "........"}},
      // The rectangle's right and bottom edges lie one pixel inside the pointer.
      {TK_ID_IMAGEEDITOR_RECTANGLE, CPoint(5, 4), CPoint(1, 1),
       {"........", ".####...", ".#..#...", ".####...", "........", "........"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nTool);
    Command(TK_ID_IMAGEEDITOR_CLEAR);
    Command(c.nTool);
    Press(Picture(), c.from.x, c.from.y);
    Drag(7, 5);  // an outline on the way that must not stay
    Drag(c.to.x, c.to.y);
    Release(c.to.x, c.to.y);
    EXPECT_EQ(c.expected, Mask(kBlack, 8, 6));
  }
  // The ellipse's inside is transparent even over drawn pixels.
  Command(TK_ID_IMAGEEDITOR_CLEAR);
  Command(TK_ID_IMAGEEDITOR_FILL);
  Click(0, 0);
  ChoosePalette(14);
  Command(TK_ID_IMAGEEDITOR_ELLIPSE);
  Press(Picture(), 2, 2);
  Drag(12, 12);
  Release(12, 12);
  EXPECT_EQ(kT, At(7, 7));
  EXPECT_EQ(kBlack, At(0, 0));
  EXPECT_EQ(kBlack, At(15, 15));
}

TEST_F(ImageEditor, FillStopsAtOtherColours)
{
  Command(TK_ID_IMAGEEDITOR_RECTANGLE);
  Press(Picture(), 1, 1);
  Drag(6, 5);
  Release(6, 5);
  ChoosePalette(kRedCell);
  Command(TK_ID_IMAGEEDITOR_FILL);
  Click(3, 3);
  EXPECT_EQ(kRed, At(3, 3));
  EXPECT_EQ(kRed, At(2, 2));
  EXPECT_EQ(kBlack, At(1, 1));
  EXPECT_EQ(kT, At(0, 0));
  EXPECT_EQ(kT, At(10, 10));
}

TEST_F(ImageEditor, CopyAndPasteCarryThePictureToAnotherButton)
{
  ChoosePalette(kRedCell);
  Click(0, 0);
  ChoosePalette(0);
  Click(15, 15);
  Command(TK_ID_IMAGEEDITOR_COPY);
  ASSERT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_FALSE(::IsClipboardFormatAvailable(::RegisterClipboardFormat("Alpha Bitmap Image")));

  ASSERT_TRUE(other_.CreateEditor(nullptr));
  other_.GetPictureCtrl().MovePicture(0, 0);
  const int steps = other_.GetPictureCtrl().GetUndoCount();
  Command(other_, TK_ID_IMAGEEDITOR_PASTE);
  EXPECT_EQ(steps + 1, other_.GetPictureCtrl().GetUndoCount());
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      ASSERT_EQ(At(x, y), other_.GetPictureCtrl().GetPixelColor(CPoint(x, y))) << x << "," << y;
    }
  }
  // The result of the other button: an icon, transparent where nothing was drawn.
  CTKImageManagerIconHandle handle;
  other_.GetIcon(&handle);
  ASSERT_FALSE(handle.IsEmpty());
  EXPECT_FALSE(handle.IsAlpha());
  EXPECT_EQ(CSize(16, 16), handle.GetExtent());
  // Opened again on that icon, an editor shows the same pixels.
  CTKImageEditorDlg again;
  again.SetIcon(handle);
  ASSERT_TRUE(again.CreateEditor(nullptr));
  EXPECT_EQ(kRed, again.GetPictureCtrl().GetPixelColor(CPoint(0, 0)));
  EXPECT_EQ(kBlack, again.GetPictureCtrl().GetPixelColor(CPoint(15, 15)));
  EXPECT_EQ(kT, again.GetPictureCtrl().GetPixelColor(CPoint(7, 7)));
  again.DestroyWindow();
}

TEST_F(ImageEditor, AnAlphaPictureKeepsItsAlphaThroughEditsAndTheClipboard)
{
  // A 2 x 2 picture with alpha from its handle: zero pixels become transparent, the rest keep their alpha.
  CTKImageEditorPicture::CAlphaBitmap source;
  ASSERT_TRUE(source.CreateBitmap32(2, 2));
  source.At(0, 0) = 0x80FF0000;  // red, half
  source.At(1, 0) = 0;
  source.At(0, 1) = 0xFF00FF00;
  source.At(1, 1) = 0xFF0000FF;
  CTKImageManagerIconHandle in;
  in.SetAlphaBitmap(static_cast<HBITMAP>(source.GetSafeHandle()));
  CTKImageEditorDlg editor;
  editor.SetIcon(in);
  ASSERT_TRUE(editor.CreateEditor(nullptr));
  const CTKImageEditorPicture::CAlphaBitmap* picture = editor.GetPicture();
  ASSERT_NE(nullptr, picture);
  EXPECT_TRUE(picture->m_bAlpha);
  EXPECT_EQ(0x80FF0000u, picture->At(0, 0));
  EXPECT_EQ(0x00FFFEFFu, picture->At(1, 0));

  // A pencil dot gets full alpha; the pixel it did not touch keeps its own.
  CTKImageEditorPicture& pic = editor.GetPictureCtrl();
  Press(pic, 1, 0);
  pic.SendMessage(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(0xFF000000u, editor.GetPicture()->At(1, 0));
  EXPECT_EQ(0x80FF0000u, editor.GetPicture()->At(0, 0));

  Command(editor, TK_ID_IMAGEEDITOR_COPY);
  EXPECT_TRUE(::IsClipboardFormatAvailable(::RegisterClipboardFormat("Alpha Bitmap Image")));
  ASSERT_TRUE(other_.CreateEditor(nullptr));
  other_.SetPictureSize(2, 2);
  Command(other_, TK_ID_IMAGEEDITOR_PASTE);
  ASSERT_NE(nullptr, other_.GetPicture());
  EXPECT_TRUE(other_.GetPicture()->m_bAlpha);
  EXPECT_EQ(0x80FF0000u, other_.GetPicture()->At(0, 0));

  CTKImageManagerIconHandle out;
  editor.GetIcon(&out);
  EXPECT_TRUE(out.IsAlpha());
  editor.DestroyWindow();
}

// A 32-bit bitmap file of 2 x 2 pixels, written out field by field.
std::vector<unsigned char> Bmp32(std::int32_t width, std::int32_t height, std::uint16_t bits, std::uint32_t pixelBytes)
{
  std::vector<unsigned char> b;
  const auto u16 = [&](std::uint32_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
  };
  const auto u32 = [&](std::uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  b.push_back('B');
  b.push_back('M');
  u32(14 + 40 + pixelBytes);  // file size
  u32(0);                     // reserved
  u32(54);                    // pixel offset
  u32(40);                    // header size
  u32(static_cast<std::uint32_t>(width));
  u32(static_cast<std::uint32_t>(height));
  u16(1);     // planes
  u16(bits);  // bits a pixel
  u32(0);     // BI_RGB
  u32(pixelBytes);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  return b;
}

std::string WriteFile(const std::string& name, const std::vector<unsigned char>& bytes)
{
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST_F(ImageEditor, AnImported32BitBitmapKeepsItsAlphaAndComesBackAsAnAlphaBitmap)
{
  std::vector<unsigned char> file = Bmp32(2, 2, 32, 16);
  // Bottom row first, each pixel blue, green, red, alpha.
  const unsigned char pixels[] = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80,
                                  0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00};
  file.insert(file.end(), std::begin(pixels), std::end(pixels));
  const std::string path = WriteFile("editor_alpha.BMP", file);

  ASSERT_TRUE(Picture().ImportFile(path.c_str()));
  const CTKImageEditorPicture::CAlphaBitmap* picture = dlg_.GetPicture();
  ASSERT_NE(nullptr, picture);
  EXPECT_TRUE(picture->m_bAlpha);
  EXPECT_EQ(0xFF00FF00u, picture->At(0, 0));
  EXPECT_EQ(0x00000000u, picture->At(1, 0));
  EXPECT_EQ(0xFFFF0000u, picture->At(0, 1));
  EXPECT_EQ(0x800000FFu, picture->At(1, 1));
  EXPECT_EQ(kT, At(5, 5));
  EXPECT_EQ(1, Picture().GetUndoCount());
  CTKImageManagerIconHandle out;
  dlg_.GetIcon(&out);
  EXPECT_TRUE(out.IsAlpha());
}

TEST_F(ImageEditor, TheFreeColourAndImportAskTheirCommonDialogs)
{
  std::vector<unsigned char> file = Bmp32(1, 1, 32, 4);
  const unsigned char pixel[] = {0x10, 0x20, 0x30, 0xFF};
  file.insert(file.end(), std::begin(pixel), std::end(pixel));
  const std::string path = WriteFile("editor_dialog.bmp", file);
  std::vector<user::ModalQuestion> asked;
  std::string filter;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    asked.push_back(q);
    if (q.kind == user::ModalQuestion::Kind::Color) {
      static_cast<CHOOSECOLOR*>(q.record)->rgbResult = RGB(1, 2, 3);
    } else if (q.kind == user::ModalQuestion::Kind::OpenFile) {
      const auto* ofn = static_cast<const OPENFILENAME*>(q.record);
      filter = ofn->lpstrFilter != nullptr ? ofn->lpstrFilter : "(null)";
      q.reply = path;
    }
    return IDOK;
  });
  dlg_.GetFreeColorPicker().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
  Command(TK_ID_IMAGEEDITOR_IMPORT);
  user::SetModalResponder(nullptr);

  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ(user::ModalQuestion::Kind::Color, asked[0].kind);
  EXPECT_EQ(RGB(1, 2, 3), dlg_.GetCurrentColor());
  EXPECT_TRUE(dlg_.GetFreeColorPicker().m_bSelected);
  EXPECT_EQ(user::ModalQuestion::Kind::OpenFile, asked[1].kind);
  // The filter is the toolkit module's string, '|' turned into the dialog's separators.
  EXPECT_EQ("Изображения (*.bmp;*.ico)", filter);
  EXPECT_EQ(RGB(0x30, 0x20, 0x10), At(0, 0));
}

TEST_F(ImageEditor, ImportRefusesHostileOrUnreadableFilesAndLeavesThePicture)
{
  Click(1, 1);
  struct Case {
    const char* name;
    std::vector<unsigned char> bytes;
  };
  std::vector<unsigned char> huge = Bmp32(60000, 60000, 32, 16);
  huge.resize(huge.size() + 16);
  std::vector<unsigned char> sixteenBits = Bmp32(2, 2, 16, 8);
  sixteenBits.resize(sixteenBits.size() + 8);
  // Whole and well formed, but wider than any button picture.
  std::vector<unsigned char> wide = Bmp32(1025, 1, 24, 3076);
  wide.resize(wide.size() + 3076);
  std::vector<unsigned char> truncated = Bmp32(2, 2, 32, 16);
  truncated.resize(truncated.size() + 5);
  std::vector<unsigned char> icon{0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0xFF, 0x7F, 22, 0, 0, 0};
  const Case cases[] = {
      {"huge.bmp", huge},
      {"wide.bmp", wide},
      {"sixteen.bmp", sixteenBits},
      {"truncated.bmp", truncated},
      {"lying.ico", icon},
      {"empty.png", {}},
      {"text.gif", {'G', 'I', 'F', '8', '9', 'a'}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(Picture().ImportFile(WriteFile(c.name, c.bytes).c_str()));
    EXPECT_EQ(kBlack, At(1, 1));
    EXPECT_EQ(1, Picture().GetUndoCount());
  }
  EXPECT_FALSE(Picture().ImportFile((::testing::TempDir() + "missing.bmp").c_str()));
}

TEST_F(ImageEditor, TooltipsComeFromTheToolkitModule)
{
  const auto tipA = [&](UINT id) {
    NMTTDISPINFOA info{};
    info.hdr.idFrom = id;
    info.hdr.code = static_cast<UINT>(TTN_GETDISPINFOA);
    dlg_.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    return std::string(info.lpszText != nullptr ? info.lpszText : "(null)");
  };
  EXPECT_EQ("Карандаш", tipA(TK_ID_IMAGEEDITOR_PENCIL));
  EXPECT_EQ("Вправо", tipA(TK_ID_IMAGEEDITOR_MOVE_RIGHT));
  EXPECT_EQ("", tipA(TK_IDC_IMAGEEDITOR_PICTURE));
  // The bars' own tips: one per button, the texts from the module.
  int tools = 0;
  for (HWND child = ::GetWindow(dlg_.m_hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (auto* bar = dynamic_cast<CToolBar*>(CWnd::FromHandlePermanent(child)); bar != nullptr) {
      tools += static_cast<int>(::SendMessage(bar->GetToolTipWindow(), TTM_GETTOOLCOUNT, 0, 0));
    }
  }
  EXPECT_EQ(16, tools);

  NMTTDISPINFOW wide{};
  wide.hdr.idFrom = TK_ID_IMAGEEDITOR_UNDO;
  wide.hdr.code = static_cast<UINT>(TTN_GETDISPINFOW);
  dlg_.SendMessage(WM_NOTIFY, wide.hdr.idFrom, reinterpret_cast<LPARAM>(&wide));
  WCHAR expected[80] = {};
  ::MultiByteToWideChar(CP_ACP, 0, "Отменить", -1, expected, 80);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(expected)),
            std::u16string(reinterpret_cast<const char16_t*>(wide.lpszText)));
}

TEST(ImageEditorModule, TheSheetsEntryEditsAnIconModally)
{
  UseToolkitModule();
  CTKImageEditorDlg editor;
  editor.SetPictureSize(20, 20);
  int asked = 0;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    ++asked;
    EXPECT_EQ(user::ModalQuestion::Kind::Dialog, q.kind);
    char caption[64] = {};
    ::GetWindowText(q.dialog, caption, sizeof caption);
    EXPECT_STREQ("Редактор значков", caption);
    // One pencil dot at pixel (0, 0), as the user would make it.
    HWND picture = ::GetDlgItem(q.dialog, TK_IDC_IMAGEEDITOR_PICTURE);
    ::SendMessage(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    ::SendMessage(picture, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    return IDOK;
  });
  EXPECT_EQ(IDOK, editor.DoModal());
  user::SetModalResponder(nullptr);
  EXPECT_EQ(1, asked);
  CTKImageManagerIconHandle out;
  editor.GetIcon(&out);
  ASSERT_FALSE(out.IsEmpty());
  EXPECT_EQ(CSize(20, 20), out.GetExtent());
  ASSERT_NE(nullptr, editor.GetPicture());
  EXPECT_EQ(0x000000u, editor.GetPicture()->At(0, 0) & 0xFFFFFF);
  TKSetResourceInstance(nullptr, nullptr);
}

TEST(ImageEditorModule, WithoutTheToolkitModuleTheEditorDoesNotOpen)
{
  TKSetResourceInstance(nullptr, nullptr);
  CTKImageEditorDlg dlg;
  EXPECT_EQ(-1, dlg.DoModal());
  EXPECT_EQ(nullptr, dlg.m_hWnd);
  CTKImageManagerIconHandle out;
  dlg.GetIcon(&out);
  EXPECT_TRUE(out.IsEmpty());
}

TEST_F(ImageEditor, PictureOfTheEditor)
{
  // A small drawing: a magenta frame, a red diagonal, a green fill, the rest transparent.
  ChoosePalette(15);
  Command(TK_ID_IMAGEEDITOR_RECTANGLE);
  Press(Picture(), 1, 1);
  Drag(15, 15);
  Release(15, 15);
  ChoosePalette(kRedCell);
  Command(TK_ID_IMAGEEDITOR_LINE);
  Press(Picture(), 2, 2);
  Drag(14, 14);
  Release(14, 14);
  Command(TK_ID_IMAGEEDITOR_FILL);
  ChoosePalette(12);
  Click(10, 4);
  Command(TK_ID_IMAGEEDITOR_ELLIPSE);
  dlg_.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  dlg_.SendMessage(WM_KICKIDLE, 0, 0);
  dlg_.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  const gdi::Surface* surface = user::WindowSurface(dlg_.m_hWnd);
  ASSERT_NE(nullptr, surface);
  EXPECT_TRUE(gdi::SavePng(*surface, std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_image_editor.png"));
}

}  // namespace
