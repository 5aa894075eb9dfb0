// Edit and combo-box fields, entries of the customise command list and status-bar panes, drawn by the paint
// manager of themes 0, 1, 2 and 4 in every state: a sheet per theme for a person to look at, named pixels from the
// themes' frames, fills and arrows, and each field measured exactly as large as it draws.
#include "tests/toolkit/canvas.h"
#include "tests/toolkit/commandbars/bar_frame.h"

#include "toolkit/commandbars/commandbar.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/statusbar.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/theme_office2003.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <string>

namespace {

using tktest::Canvas;

// Never a theme colour: what the drawing leaves untouched.
constexpr COLORREF kUntouched = RGB(255, 0, 255);
constexpr int kFieldWidth = 120;
constexpr UINT kPaneIconId = 32950;

// An edit whose states the gallery sets directly.
class CGalleryEdit : public CTKControlEdit {
public:
  void SetState(int nSelected, BOOL bEnabled)
  {
    m_nSelected = nSelected;
    m_bEnabled = bEnabled;
  }
};

// A combo box as the paint manager sees one: a field with a drop button that may be dropped down.
class CGalleryCombo : public CTKControl, public CTKControlField {
public:
  CGalleryCombo() { m_controlType = tkControlComboBox; }
  void SetState(int nSelected, BOOL bEnabled, BOOL bDropped)
  {
    m_nSelected = nSelected;
    m_bEnabled = bEnabled;
    m_bDropped = bDropped;
  }
  BOOL IsCaptionVisible() const override { return m_bLabel && !GetCaption().IsEmpty(); }
  int GetFieldWidth() const override { return kFieldWidth; }
  int GetLabelWidth() const override { return m_nLabelWidth; }
  void SetLabelWidth(int nWidth) override { m_nLabelWidth = nWidth; }
  int GetButtonWidth() const override { return m_nButtonWidth; }
  void SetButtonWidth(int nWidth) override { m_nButtonWidth = nWidth; }
  BOOL IsFieldDroppedDown() const override { return m_bDropped; }

  BOOL m_bLabel = FALSE;
  int m_nLabelWidth = 0;
  int m_nButtonWidth = 0;
  BOOL m_bDropped = FALSE;
};

enum FieldState { kNormal, kHot, kDropped, kDisabled, kDisabledFocus, kFieldStateCount };
const char* const kStateNames[] = {"normal", "hot", "dropped", "disabled", "disabled, focus"};

enum FieldKind { kEdit, kEditLabel, kEditPopup, kCombo, kComboLabel, kComboPopup, kFieldKindCount };
const char* const kKindNames[] = {"edit",         "edit, label",          "edit in popup",
                                  "combo box",    "combo box, label",     "combo box in popup"};

bool IsCombo(FieldKind kind) { return kind >= kCombo; }
bool InPopup(FieldKind kind) { return kind == kEditPopup || kind == kComboPopup; }
bool HasLabel(FieldKind kind) { return kind == kEditLabel || kind == kComboLabel; }

// One field control of a kind in a state, with the bar it stands on (a popup bar for popup kinds).
class Field {
public:
  Field(FieldKind kind, FieldState state)
  {
    m_pBar = new CTKCommandBar;
    m_pBar->SetType(InPopup(kind) ? tkBarTypePopup : tkBarTypeNormal);
    if (IsCombo(kind)) {
      auto* pCombo = new CGalleryCombo;
      pCombo->m_bLabel = HasLabel(kind);
      pCombo->SetState(Selected(state), Enabled(state), state == kDropped);
      m_pControl = pCombo;
    } else {
      auto* pEdit = new CGalleryEdit;
      pEdit->SetWidth(kFieldWidth);
      pEdit->ShowLabel(HasLabel(kind) || InPopup(kind));
      pEdit->SetState(Selected(state), Enabled(state));
      m_pControl = pEdit;
    }
    m_pControl->SetCaption("&Высота");
    m_pControl->SetParent(m_pBar);
  }
  ~Field()
  {
    m_pControl->SetParent(nullptr);
    m_pControl->InternalRelease();
    m_pBar->InternalRelease();
  }
  Field(const Field&) = delete;
  Field& operator=(const Field&) = delete;

  static int Selected(FieldState state)
  {
    return state == kHot || state == kDropped ? 1 : state == kDisabledFocus ? 2 : 0;
  }
  static BOOL Enabled(FieldState state) { return state != kDisabled && state != kDisabledFocus; }

  CSize Measure(CTKPaintManager* pm, CDC* pDC) { return pm->DrawControl(pDC, m_pControl, FALSE); }
  // Measures, places the control at pt and draws it; the control's rectangle.
  CRect Draw(CTKPaintManager* pm, CDC* pDC, CPoint pt)
  {
    CRect rc(pt, Measure(pm, pDC));
    m_pControl->SetRect(rc);
    pm->DrawControl(pDC, m_pControl, TRUE);
    return rc;
  }
  CTKControlField* AsField() { return dynamic_cast<CTKControlField*>(m_pControl); }

private:
  CTKCommandBar* m_pBar = nullptr;
  CTKControl* m_pControl = nullptr;
};

// The box of the pixels that are no longer kUntouched.
CRect ChangedBox(CDC& dc, CRect rcArea)
{
  CRect box(0, 0, 0, 0);
  for (int y = rcArea.top; y < rcArea.bottom; ++y) {
    for (int x = rcArea.left; x < rcArea.right; ++x) {
      if (dc.GetPixel(x, y) == kUntouched)
        continue;
      box = box.IsRectEmpty() ? CRect(x, y, x + 1, y + 1)
                              : CRect(std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                      std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1));
    }
  }
  return box;
}

// The arrow's colour inside a drop button: a pixel just below the middle of the triangle's top edge.
COLORREF ArrowPixel(CDC& dc, CRect rcButton)
{
  int s = std::max(static_cast<int>(rcButton.Width()) / 2 - 4, 2);
  CPoint centre = rcButton.CenterPoint();
  return dc.GetPixel(centre.x, centre.y - s / 2 + 1);
}

class FieldGallery : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override
  {
    CTKPaintManager::SetTheme(GetParam());
    pm = TKPaintManager();
  }
  void TearDown() override { CTKPaintManager::SetTheme(tkThemeDefault); }
  COLORREF C(int nIndex) const { return pm->GetColor(nIndex); }

  CTKPaintManager* pm = nullptr;
};

TEST_P(FieldGallery, MeasuredFieldsAreWhatTheHotDrawingCovers)
{
  for (int k = 0; k < kFieldKindCount; ++k) {
    auto kind = static_cast<FieldKind>(k);
    if (HasLabel(kind) || InPopup(kind))
      continue;  // a label's text starts inside its own margin
    SCOPED_TRACE(kKindNames[k]);
    Canvas canvas(300, 60, kUntouched);
    Field field(kind, kHot);
    CRect rc = field.Draw(pm, &canvas.m_dc, CPoint(10, 10));
    EXPECT_EQ(rc.Width(), kFieldWidth);
    EXPECT_EQ(ChangedBox(canvas.m_dc, CRect(0, 0, 300, 60)), rc);
  }
}

TEST_P(FieldGallery, LabelsAndButtonsTakeTheWidthsTheThemeGivesThem)
{
  Canvas canvas(10, 10);
  CDC& dc = canvas.m_dc;
  CFont* pOld = dc.SelectObject(&pm->m_fontRegular);
  int nCaption = dc.GetTextExtent("Высота", 6).cx;
  int nBlankRegular = dc.GetTextExtent(" ", 1).cy;
  dc.SelectObject(&pm->m_fontIcon);
  int nBlankIcon = dc.GetTextExtent(" ", 1).cy;
  TEXTMETRICA tm{};
  dc.GetTextMetrics(&tm);
  dc.SelectObject(pOld);
  int nTextColumn = std::max(pm->m_nTextHeight + 4, 20);
  int nPopupLabel = pm->BaseTheme() == tkThemeDefault ? nCaption + std::max(pm->m_nTextHeight, 20) + 9
                                                      : nTextColumn + 1 + nCaption + 12;
  struct Case {
    FieldKind kind;
    int labelWidth;
    bool labelFont;  // the height follows the regular font too
  };
  const Case cases[] = {{kEdit, 0, false},
                        {kEditLabel, nCaption + 5, true},
                        {kEditPopup, nPopupLabel, true},
                        {kComboLabel, nCaption + 5, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(kKindNames[c.kind]);
    Field field(c.kind, kNormal);
    CSize size = field.Measure(pm, &dc);
    EXPECT_EQ(field.AsField()->GetLabelWidth(), c.labelWidth);
    EXPECT_EQ(size.cx, kFieldWidth + c.labelWidth);
    int nHeight = nBlankIcon + 1;
    if (c.labelFont && nBlankRegular + 1 >= nHeight)
      nHeight = nBlankRegular + 1;
    EXPECT_EQ(size.cy, nHeight + 7);
    if (IsCombo(c.kind)) {
      EXPECT_EQ(field.AsField()->GetButtonWidth(), std::max(2 * static_cast<int>(tm.tmAveCharWidth) + 4, 15));
    }
  }
}

// Named pixels of the fields, by theme family: frames, fills and the drop arrow's colour per state.
TEST_P(FieldGallery, FramesFillsAndArrowsByState)
{
  bool bDefault = pm->BaseTheme() == tkThemeDefault;
  struct Case {
    FieldKind kind;
    FieldState state;
    int corner;     // the field's top-left pixel (-1: untouched)
    int inside;     // a pixel inside its frame (-1: not checked)
    int arrow;      // the arrow (-1: no button)
    int button;     // the drop button's fill beside the arrow (-1: not checked)
  };
  const Case office[] = {
      {kEdit, kNormal, -1, 5, -1, -1},       {kEdit, kHot, 32, 5, -1, -1},
      {kEditPopup, kNormal, 53, 5, -1, -1},  {kEdit, kDisabled, -1, 15, -1, -1},
      {kCombo, kNormal, -1, 5, 46, -1},      {kCombo, kHot, 32, 5, 45, 31},
      {kCombo, kDropped, 32, 5, 47, 33},     {kCombo, kDisabled, -1, 15, 40, 15},
      {kComboPopup, kNormal, 53, 5, 46, 53},
  };
  const Case classic[] = {
      {kEdit, kNormal, 15, 5, -1, -1},    {kEdit, kHot, 16, 5, -1, -1},  {kEdit, kDisabled, -1, -1, -1, -1},
      {kCombo, kNormal, 15, 5, 18, 15},   {kCombo, kHot, 16, 5, 18, 15}, {kCombo, kDropped, 16, 5, 18, 15},
      {kCombo, kDisabled, -1, -1, 18, -1},
  };
  for (const Case& c : bDefault ? std::span<const Case>(classic) : std::span<const Case>(office)) {
    SCOPED_TRACE(std::string(kKindNames[c.kind]) + ", " + kStateNames[c.state]);
    Canvas canvas(400, 60, kUntouched);
    Field field(c.kind, c.state);
    CRect rc = field.Draw(pm, &canvas.m_dc, CPoint(10, 10));
    CRect rcField(rc.left + field.AsField()->GetLabelWidth(), rc.top, rc.right, rc.bottom);
    CDC& dc = canvas.m_dc;
    EXPECT_EQ(dc.GetPixel(rcField.left, rcField.top), c.corner < 0 ? kUntouched : C(c.corner));
    if (c.inside >= 0) {
      EXPECT_EQ(dc.GetPixel(rcField.left + 3, rcField.CenterPoint().y), C(c.inside));
    }
    if (c.arrow < 0)
      continue;
    CRect rcButton(rcField.right - field.AsField()->GetButtonWidth(), rcField.top, rcField.right, rcField.bottom);
    CRect rcGlyph = rcButton;
    if (bDefault)
      rcGlyph = CRect(rcButton.left + 1, rcButton.top + 2, rcButton.right - 2, rcButton.bottom - 2);
    else if (c.state == kDisabled)
      rcGlyph.DeflateRect(1, 1);
    if (bDefault && c.state == kDropped)
      rcGlyph.OffsetRect(1, 1);
    EXPECT_EQ(ArrowPixel(dc, rcGlyph), C(c.arrow));
    if (c.button >= 0) {
      EXPECT_EQ(dc.GetPixel(rcButton.left + 3, rcButton.bottom - 4), C(c.button));
    }
  }
}

// A disabled field that has the keyboard focus still shows where it is.
TEST_P(FieldGallery, ADisabledFieldWithKeyboardFocusKeepsAFrame)
{
  Canvas canvas(400, 60, kUntouched);
  Field field(kEdit, kDisabledFocus);
  CRect rc = field.Draw(pm, &canvas.m_dc, CPoint(10, 10));
  bool bDefault = pm->BaseTheme() == tkThemeDefault;
  EXPECT_EQ(canvas.m_dc.GetPixel(rc.left + 1, rc.top + 1), C(bDefault ? 16 : 32));
  Field plain(kEdit, kDisabled);
  Canvas other(400, 60, kUntouched);
  rc = plain.Draw(pm, &other.m_dc, CPoint(10, 10));
  EXPECT_EQ(other.m_dc.GetPixel(rc.left + 1, rc.top + 1), C(bDefault ? 20 : 40));
}

// Command-list entries: the entry fill, the selection, the size the list lays entries out by.
TEST_P(FieldGallery, CommandListEntries)
{
  bool bDefault = pm->BaseTheme() == tkThemeDefault;
  CTKControls controls;
  CTKControl* pButton = controls.Add(tkControlButton, 0);
  pButton->SetCaption("Пролёт");
  CSize size = pm->DrawListBoxControl(nullptr, pButton, CRect(), FALSE, FALSE);
  EXPECT_EQ(size, CSize(std::max(pm->m_nTextHeight + (bDefault ? 0 : 4), 20),
                        std::max(pm->m_nTextHeight, bDefault ? 20 : 22)));
  Canvas canvas(260, 2 * size.cy, kUntouched);
  CRect rcIdle(0, 0, 260, size.cy);
  CRect rcSelected(0, size.cy, 260, 2 * size.cy);
  pm->DrawListBoxControl(&canvas.m_dc, pButton, rcIdle, FALSE, TRUE);
  pm->DrawListBoxControl(&canvas.m_dc, pButton, rcSelected, TRUE, TRUE);
  EXPECT_EQ(ChangedBox(canvas.m_dc, CRect(0, 0, 260, 2 * size.cy)), CRect(0, 0, 260, 2 * size.cy));
  EXPECT_EQ(canvas.m_dc.GetPixel(250, rcIdle.CenterPoint().y), C(bDefault ? 15 : 41));
  if (bDefault) {
    EXPECT_EQ(canvas.m_dc.GetPixel(250, rcSelected.CenterPoint().y), C(13));
  } else {
    EXPECT_EQ(canvas.m_dc.GetPixel(rcSelected.left, rcSelected.top), C(32));
  }
}

// A 16 x 16 icon of one colour for the id.
void MakeIcon(UINT nId, COLORREF clr)
{
  HDC hScreen = ::GetDC(nullptr);
  HBITMAP hColor = ::CreateCompatibleBitmap(hScreen, 16, 16);
  HBITMAP hMask = ::CreateBitmap(16, 16, 1, 1, nullptr);
  HDC hDC = ::CreateCompatibleDC(hScreen);
  HGDIOBJ hOld = ::SelectObject(hDC, hColor);
  CDC::FromHandle(hDC)->FillSolidRect(CRect(0, 0, 16, 16), clr);
  ::SelectObject(hDC, hMask);
  CDC::FromHandle(hDC)->FillSolidRect(CRect(0, 0, 16, 16), RGB(0, 0, 0));
  ::SelectObject(hDC, hOld);
  ::DeleteDC(hDC);
  ::ReleaseDC(nullptr, hScreen);
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = hColor;
  info.hbmMask = hMask;
  HICON hIcon = ::CreateIconIndirect(&info);
  TKImageManager().SetIcon(CTKImageManagerIconHandle(hIcon), nId);
  ::DestroyIcon(hIcon);
  ::DeleteObject(hColor);
  ::DeleteObject(hMask);
}

constexpr COLORREF kPaneIconColor = RGB(30, 130, 60);

// A status bar of four panes: the message pane, one with a background, one right-aligned and a disabled "NUM".
class GalleryStatusBar {
public:
  GalleryStatusBar()
  {
    cbtest::UseTestResources();
    m_pFrame = new CFrameWnd;  // deletes itself with its window
    m_pFrame->Create(nullptr, "gallery", WS_OVERLAPPEDWINDOW, CRect(0, 0, 1300, 300));
    m_bar.Create(m_pFrame, 0x50008200, 59393);
    m_bar.MoveWindow(0, 0, 1140, 22);
    const UINT ids[] = {0, 0, 0, 59138};
    m_bar.SetIndicators(ids, 4);
    m_bar.SetPaneText(0, "Готово");
    m_bar.SetPaneText(1, "Опора 12");
    m_bar.GetPane(1)->SetBackgroundColor(RGB(255, 240, 150));
    MakeIcon(kPaneIconId, kPaneIconColor);
    m_bar.GetPane(1)->SetIconId(kPaneIconId);
    m_bar.GetPane(1)->UpdateWidth();
    m_bar.UpdateAllPanes(TRUE, FALSE);
    m_bar.SetPaneText(2, "1:250");
    m_bar.GetPane(2)->SetTextAlignment(DT_RIGHT);
    m_bar.SetPaneStyle(3, SBPS_DISABLED);
    m_bar.GetPane(3)->SetIconId(kPaneIconId);
    m_bar.GetPane(3)->UpdateWidth();
    m_bar.UpdateAllPanes(TRUE, FALSE);
  }
  ~GalleryStatusBar()
  {
    m_bar.DestroyWindow();
    m_pFrame->DestroyWindow();
  }
  GalleryStatusBar(const GalleryStatusBar&) = delete;
  GalleryStatusBar& operator=(const GalleryStatusBar&) = delete;

  CRect Item(int nIndex)
  {
    CRect rc;
    m_bar.GetItemRect(nIndex, &rc);
    return rc;
  }

  CFrameWnd* m_pFrame = nullptr;
  CTKStatusBar m_bar;
};

// The box of the pixels of one colour inside an area.
CRect ColourBox(CDC& dc, CRect rcArea, COLORREF clr)
{
  CRect box(0, 0, 0, 0);
  for (int y = rcArea.top; y < rcArea.bottom; ++y) {
    for (int x = rcArea.left; x < rcArea.right; ++x) {
      if (dc.GetPixel(x, y) != clr)
        continue;
      box = box.IsRectEmpty() ? CRect(x, y, x + 1, y + 1)
                              : CRect(std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                      std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1));
    }
  }
  return box;
}

TEST_P(FieldGallery, StatusPanes)
{
  GalleryStatusBar status;
  CRect rcClient;
  status.m_bar.GetClientRect(&rcClient);
  Canvas canvas(rcClient.Width(), rcClient.Height());
  status.m_bar.DoPaint(&canvas.m_dc);
  CDC& dc = canvas.m_dc;

  auto* p2003 = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(pm);
  COLORREF clrBorder = p2003 ? p2003->m_clrPaneBorder.GetValue() : C(16);
  CRect rcBack = status.Item(1);
  int cy = rcBack.CenterPoint().y;
  EXPECT_EQ(dc.GetPixel(rcBack.left, cy), clrBorder);
  EXPECT_EQ(dc.GetPixel(rcBack.left + 1, cy), RGB(255, 240, 150));
  EXPECT_EQ(dc.GetPixel(rcBack.right - 2, cy), RGB(255, 240, 150));
  // The icon stands at the text's start and the pane is wider by it.
  EXPECT_EQ(ColourBox(dc, rcBack, kPaneIconColor), CRect(rcBack.left + 2, cy - 8, rcBack.left + 18, cy + 8));
  CClientDC dcScreen(nullptr);
  CFont* pOld = dcScreen.SelectObject(status.m_bar.GetFont());
  int nTextWidth = dcScreen.GetTextExtent("Опора 12", 8).cx;
  dcScreen.SelectObject(pOld);
  EXPECT_EQ(status.m_bar.GetPane(1)->GetWidth(), nTextWidth + 2 + 16);
  CRect rcPaneText = ColourBox(dc, rcBack, pm->m_clrStatusText);
  EXPECT_GE(rcPaneText.left, rcBack.left + 2 + 18);

  // Right-aligned text ends at the pane's inner edge.
  CRect rcRight = status.Item(2);
  CRect rcText = ColourBox(dc, CRect(rcRight.left + 1, rcRight.top + 1, rcRight.right - 1, rcRight.bottom - 1),
                           pm->m_clrStatusText);
  ASSERT_FALSE(rcText.IsRectEmpty());
  EXPECT_GT(rcText.left, rcRight.CenterPoint().x);
  EXPECT_GE(rcText.right, rcRight.right - 5);

  // The disabled "NUM" is grey and as wide as its text.
  CRect rcNum = status.Item(3);
  CRect rcGrey = ColourBox(dc, CRect(rcNum.left + 1, rcNum.top + 1, rcNum.right - 1, rcNum.bottom - 1), C(17));
  ASSERT_FALSE(rcGrey.IsRectEmpty());
  EXPECT_GE(rcGrey.left, rcNum.left + 2);
  EXPECT_LE(rcGrey.right, rcNum.right - 2);
  // Its icon is the disabled image: none of the icon's own colour, but something where it stands.
  EXPECT_TRUE(ColourBox(dc, rcNum, kPaneIconColor).IsRectEmpty());
  CRect rcIcon(rcNum.left + 2, rcNum.CenterPoint().y - 8, rcNum.left + 18, rcNum.CenterPoint().y + 8);
  EXPECT_TRUE(ColourBox(dc, rcIcon, dc.GetPixel(rcNum.left + 1, rcNum.top + 1)) != rcIcon);
}

void Caption(CDC& dc, const std::string& text, CRect rc)
{
  CFont font;
  font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont* pOld = dc.SelectObject(&font);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.DrawText(CString(text.c_str()), &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  dc.SelectObject(pOld);
}

// <artifacts>/toolkit_fields_theme<n>.png: every field kind in every state, command-list entries idle and
// selected, and a status bar.
TEST_P(FieldGallery, SheetForAPerson)
{
  constexpr int kLeft = 150;
  constexpr int kColumn = 230;
  constexpr int kRow = 34;
  constexpr int kTop = 50;
  const int nListTop = kTop + kFieldKindCount * kRow + 20;
  const int nHeight = nListTop + 30 + 5 * 30 + 70;
  Canvas canvas(kLeft + kFieldStateCount * kColumn, nHeight, RGB(255, 255, 255));
  CDC& dc = canvas.m_dc;
  Caption(dc, "Theme " + std::to_string(GetParam()) + ": edit and combo-box fields", CRect(8, 4, 700, 26));
  for (int s = 0; s < kFieldStateCount; ++s)
    Caption(dc, kStateNames[s], CRect(kLeft + s * kColumn, 26, kLeft + (s + 1) * kColumn, 46));
  bool bDefault = pm->BaseTheme() == tkThemeDefault;
  for (int k = 0; k < kFieldKindCount; ++k) {
    auto kind = static_cast<FieldKind>(k);
    int y = kTop + k * kRow;
    Caption(dc, kKindNames[k], CRect(8, y, kLeft, y + kRow));
    COLORREF clrBar = C(InPopup(kind) ? (bDefault ? 15 : 41) : (bDefault ? 15 : 30));
    dc.FillSolidRect(kLeft - 4, y, kFieldStateCount * kColumn, kRow - 2, clrBar);
    for (int s = 0; s < kFieldStateCount; ++s) {
      auto state = static_cast<FieldState>(s);
      if (state == kDropped && !IsCombo(kind))
        continue;
      Field field(kind, state);
      CSize size = field.Measure(pm, &dc);
      field.Draw(pm, &dc, CPoint(kLeft + s * kColumn, y + (kRow - 2 - size.cy) / 2));
    }
  }

  Caption(dc, "Command list entries (idle, selected)", CRect(8, nListTop, 700, nListTop + 24));
  CTKControls controls;
  struct Entry {
    int type;
    const char* caption;
  };
  const Entry entries[] = {{tkControlButton, "Опора"},
                           {tkControlPopup, "Экспорт"},
                           {tkControlSplitButtonPopup, "Отмена"},
                           {tkControlEdit, "Высота"},
                           {tkControlComboBox, "Режим"}};
  int y = nListTop + 30;
  for (const Entry& entry : entries) {
    // A combo box is drawn here by type alone: the list entry reads nothing else of it.
    CTKControl* pControl = entry.type == tkControlComboBox ? static_cast<CTKControl*>(new CGalleryCombo)
                                                           : controls.Add(entry.type, 0);
    pControl->SetCaption(entry.caption);
    CSize size = pm->DrawListBoxControl(&dc, pControl, CRect(), FALSE, FALSE);
    pm->DrawListBoxControl(&dc, pControl, CRect(kLeft, y, kLeft + 260, y + size.cy), FALSE, TRUE);
    pm->DrawListBoxControl(&dc, pControl, CRect(kLeft + 300, y, kLeft + 560, y + size.cy), TRUE, TRUE);
    if (entry.type == tkControlComboBox)
      pControl->InternalRelease();
    y += 30;
  }

  Caption(dc, "Status bar", CRect(8, y + 8, kLeft, y + 40));
  GalleryStatusBar status;
  CRect rcClient;
  status.m_bar.GetClientRect(&rcClient);
  CPoint ptOld = dc.SetViewportOrg(kLeft, y + 14);
  status.m_bar.DoPaint(&dc);
  dc.SetViewportOrg(ptOld);
  EXPECT_TRUE(canvas.Save("toolkit_fields_theme" + std::to_string(GetParam()) + ".png"));
}

INSTANTIATE_TEST_SUITE_P(Themes, FieldGallery, ::testing::Values(0, 1, 2, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Theme" + std::to_string(info.param);
                         });

}  // namespace
