#include "tests/toolkit/paint/bar_gallery.h"

#include "platform/gdi/png.h"
#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/theme_default.h"
#include "toolkit/paint/theme_office2003.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tktest {

namespace {

constexpr CSize kButton(23, 22);
constexpr CSize kIcon(16, 16);

const ButtonKind kKinds[] = {
    {"icon", nullptr, true, false},
    {"caption", "&Open", false, false},
    {"icon and caption", "&Save as", true, false},
    {"popup", "&View", false, true},
};

struct StateArgs {
  BOOL enabled;
  int selected;
  int pressed;
  BOOL checked;
  BOOL popuped;
};

StateArgs Args(ButtonState state)
{
  switch (state) {
  case kNormal: return {TRUE, 0, 0, FALSE, FALSE};
  case kHot: return {TRUE, 1, 0, FALSE, FALSE};
  case kPressed: return {TRUE, 1, 1, FALSE, FALSE};
  case kChecked: return {TRUE, 0, 0, TRUE, FALSE};
  case kCheckedHot: return {TRUE, 1, 0, TRUE, FALSE};
  case kPopuped: return {TRUE, 1, 0, FALSE, TRUE};
  case kDisabled: return {FALSE, 0, 0, FALSE, FALSE};
  case kDisabledFocus: return {FALSE, 2, 0, FALSE, FALSE};
  case kDisabledChecked: return {FALSE, 0, 0, TRUE, FALSE};
  case kStateCount: break;
  }
  return {TRUE, 0, 0, FALSE, FALSE};
}

bool Vertical(int position) { return position == tkBarLeft || position == tkBarRight; }

// The bar body behind the buttons, as near the theme's own as this level can draw it.
void FillBar(CTKPaintManager* pm, CDC* pDC, CRect rc, bool vertical)
{
  if (auto* office2003 = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(pm)) {
    TKDrawHelpers().GradientFillColor(pDC, &rc, office2003->m_grcToolBar, vertical);
  } else {
    pDC->FillSolidRect(&rc, pm->GetColor(pm->BaseTheme() == tkThemeOffice ? 30 : 15));
  }
}

void Label(CDC* pDC, CRect rc, const std::string& text, UINT format = DT_LEFT)
{
  pDC->SetTextColor(RGB(0, 0, 0));
  pDC->SetBkMode(TRANSPARENT);
  pDC->DrawText(CString(text.c_str()), &rc, format | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

}  // namespace

Canvas::Canvas(int width, int height, COLORREF fill)
{
  CDC screen;
  screen.CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  dc.CreateCompatibleDC(&screen);
  bitmap.CreateCompatibleBitmap(&screen, width, height);
  old = dc.SelectObject(&bitmap);
  dc.FillSolidRect(0, 0, width, height, fill);
}

Canvas::~Canvas() { dc.SelectObject(old); }

const char* StateName(ButtonState state)
{
  static const char* const names[] = {"normal",   "hot",           "pressed",
                                      "checked",  "checked hot",   "popped up",
                                      "disabled", "disabled focus", "disabled checked"};
  return state < kStateCount ? names[state] : "?";
}

void DrawState(CTKPaintManager* pm, CDC* pDC, CRect rc, ButtonState state, int nBarPosition)
{
  const StateArgs a = Args(state);
  pm->DrawControlState(pDC, rc, a.enabled, a.selected, a.pressed, a.checked, a.popuped, nBarPosition);
}

void AddTestIcon(CTKImageManager& images, UINT id, COLORREF clr)
{
  HDC screen = GetDC(nullptr);
  HBITMAP color = CreateCompatibleBitmap(screen, 16, 16);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, color);
  const RECT all{0, 0, 16, 16};
  const RECT middle{5, 5, 11, 11};
  HBRUSH brush = CreateSolidBrush(clr);
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
  FillRect(dc, &middle, white);
  DeleteObject(white);
  SelectObject(dc, mask);
  HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
  FillRect(dc, &all, black);
  DeleteObject(black);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ICONINFO info;
  info.hbmColor = color;
  info.hbmMask = mask;
  HICON icon = CreateIconIndirect(&info);
  images.SetIcon(CTKImageManagerIconHandle(icon), id);
  DestroyIcon(icon);
  DeleteObject(color);
  DeleteObject(mask);
}

std::span<const ButtonKind> ButtonKinds() { return kKinds; }

CSize MeasureButton(CTKPaintManager* pm, const ButtonKind& kind, int nBarPosition)
{
  Canvas canvas(1, 1, RGB(0, 0, 0));
  CFont* old = canvas.dc.SelectObject(pm->GetCommandBarFont(nBarPosition, FALSE));
  CSize size = kButton;
  const bool vertical = Vertical(nBarPosition);
  if (kind.triangle) {
    size = pm->DrawControlText(&canvas.dc, CString(kind.caption), CRect(0, 0, 0, 0), FALSE, vertical, TRUE, TRUE,
                               FALSE, TRUE);
    size.cx += 6;
    size.cy += 6;
  } else if (kind.caption != nullptr) {
    const CSize button = kind.icon ? kButton : CSize(23, 23);
    size = pm->DrawControlCaption(&canvas.dc, CString(kind.caption), CRect(0, 0, 0, 0), vertical, FALSE, FALSE,
                                  FALSE, button.cx, button.cy, kind.icon, TRUE);
  }
  canvas.dc.SelectObject(old);
  return size;
}

void DrawButton(CTKPaintManager* pm, CDC* pDC, CTKImageManagerIcon* pIcon, const ButtonKind& kind, CRect rc,
                ButtonState state, int nBarPosition)
{
  const StateArgs a = Args(state);
  const bool vertical = Vertical(nBarPosition);
  CFont* old = pDC->SelectObject(pm->GetCommandBarFont(nBarPosition, FALSE));
  DrawState(pm, pDC, rc, state, nBarPosition);
  if (kind.icon && pIcon != nullptr) {
    const CPoint pt = vertical ? CPoint(rc.left + (rc.Width() - kIcon.cx) / 2, rc.top + 4)
                               : CPoint(rc.left + 3, rc.top + (rc.Height() - kIcon.cy) / 2);
    pm->DrawImage(pDC, pt, kIcon, pIcon, a.selected, a.pressed, a.enabled, a.checked, a.popuped, TRUE);
  }
  const BOOL embossed = !a.enabled && !pm->IsOwnerDrawnShadow();
  if (kind.triangle) {
    pm->DrawControlText(pDC, CString(kind.caption), rc, TRUE, vertical, TRUE, TRUE, embossed, TRUE);
  } else if (kind.caption != nullptr) {
    const CSize button = kind.icon ? kButton : CSize(23, 23);
    pm->DrawControlCaption(pDC, CString(kind.caption), rc, vertical, TRUE, embossed, FALSE, button.cx, button.cy,
                           kind.icon, TRUE);
  }
  pDC->SelectObject(old);
}

CRect DrawButtonAndFindChange(CTKPaintManager* pm, CTKImageManagerIcon* pIcon, const ButtonKind& kind,
                              int nBarPosition)
{
  constexpr COLORREF kSentinel = RGB(1, 2, 3);
  Canvas canvas(200, 200, kSentinel);
  const CSize size = MeasureButton(pm, kind, nBarPosition);
  DrawButton(pm, &canvas.dc, pIcon, kind, CRect(CPoint(10, 10), size), kHot, nBarPosition);
  CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (canvas.dc.GetPixel(x, y) != kSentinel) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
    }
  }
  return box.left == INT_MAX ? CRect(0, 0, 0, 0) : box;
}

bool SaveBarGallery(CTKPaintManager* pm, int nTheme)
{
  CTKImageManager images;
  AddTestIcon(images, 1, RGB(30, 110, 200));
  CTKImageManagerIcon* icon = images.GetImage(1, 16);

  constexpr int kLabelWidth = 130;
  constexpr int kRowHeight = 34;
  constexpr int kColumnWidth = 100;
  constexpr int kTitleHeight = 50;
  constexpr int kStateColumn = 36;
  constexpr int kGlyphCell = 92;
  const int rows = kStateCount;
  const int vx = kLabelWidth + 4 * kColumnWidth + 20;
  constexpr int kGlyphCells = 11;
  const int width = std::max(vx + kStateCount * kStateColumn + 10, 12 + kGlyphCells * kGlyphCell);
  const int top = kTitleHeight + 24;
  const int gy = top + rows * kRowHeight + 20;
  const int height = gy + 20 + 40 + 40;
  Canvas sheet(width, height, RGB(255, 255, 255));
  CDC& dc = sheet.dc;
  CFont labelFont;
  labelFont.CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont smallFont;
  smallFont.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  CFont titleFont;
  titleFont.CreateFont(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  static const char* const themeNames[] = {"Default", "Office", "Office 2003", "Native XP", "Whidbey"};
  CFont* oldFont = dc.SelectObject(&titleFont);
  Label(&dc, CRect(10, 4, width, 28), std::string("Command-bar theme ") + std::to_string(nTheme) + ": " +
                                          themeNames[nTheme % 5]);
  dc.SelectObject(&labelFont);
  Label(&dc, CRect(10, 28, width, 48),
        "Rows: button states. Left: four button kinds on a top bar. Right: icon and caption on a left bar.");

  // Horizontal buttons: one row per state, one column per kind, on the theme's bar body.
  for (int k = 0; k < 4; ++k) {
    Label(&dc, CRect(kLabelWidth + k * kColumnWidth, top - 22, kLabelWidth + (k + 1) * kColumnWidth, top),
          kKinds[k].name);
  }
  FillBar(pm, &dc, CRect(kLabelWidth - 4, top, kLabelWidth + 4 * kColumnWidth, top + rows * kRowHeight), false);
  for (int s = 0; s < kStateCount; ++s) {
    const int y = top + s * kRowHeight;
    Label(&dc, CRect(6, y, kLabelWidth - 6, y + kRowHeight), StateName(static_cast<ButtonState>(s)));
    for (int k = 0; k < 4; ++k) {
      const CSize size = MeasureButton(pm, kKinds[k], tkBarTop);
      const CRect rc(CPoint(kLabelWidth + k * kColumnWidth, y + (kRowHeight - size.cy) / 2), size);
      DrawButton(pm, &dc, icon, kKinds[k], rc, static_cast<ButtonState>(s), tkBarTop);
    }
  }

  // A left bar: one column per state, numbered in the order of the rows.
  Label(&dc, CRect(vx, top - 22, width, top), "left bar: states in row order");
  const CSize vsize = MeasureButton(pm, kKinds[2], tkBarLeft);
  FillBar(pm, &dc, CRect(vx, top, vx + kStateCount * kStateColumn, top + vsize.cy + 8), true);
  dc.SelectObject(&smallFont);
  for (int s = 0; s < kStateCount; ++s) {
    const CRect rc(CPoint(vx + s * kStateColumn + (kStateColumn - vsize.cx) / 2, top + 4), vsize);
    DrawButton(pm, &dc, icon, kKinds[2], rc, static_cast<ButtonState>(s), tkBarLeft);
    dc.SelectObject(&smallFont);
    Label(&dc, CRect(vx + s * kStateColumn, top + vsize.cy + 10, vx + (s + 1) * kStateColumn, top + vsize.cy + 26),
          std::to_string(s + 1), DT_CENTER);
  }

  // Glyphs, each in its cell with its name below.
  dc.SelectObject(&labelFont);
  Label(&dc, CRect(6, gy, width, gy + 20), "Glyphs and status-bar parts:");
  const int g = gy + 20;
  std::vector<std::string> names = {"check mark", "check mark RTL", "drop-down glyph", "pane border", "gripper",
                                    "tear-off",   "tear-off hot"};
  auto* office2003 = dynamic_cast<TKPaintThemes::CTKOffice2003Theme*>(pm);
  auto* classic = dynamic_cast<TKPaintThemes::CTKDefaultTheme*>(pm);
  if (office2003 != nullptr) {
    names.insert(names.end(), {"expand glyph", "expand, hidden", "popup expand"});
  } else if (classic != nullptr) {
    names.insert(names.end(), {"edit frame", "combo button", "combo hot", "combo dropped"});
  }
  FillBar(pm, &dc, CRect(6, g, 6 + static_cast<int>(names.size()) * kGlyphCell, g + 40), false);
  const auto cell = [&](int i) { return CRect(6 + i * kGlyphCell + 30, g + 8, 6 + i * kGlyphCell + 62, g + 32); };
  pm->DrawCheckMark(&dc, cell(0), pm->GetColor(18));
  pm->DrawCheckMark(&dc, cell(1), pm->GetColor(18), TRUE);
  pm->DrawDropDownGlyph(&dc, cell(2), pm->GetColor(18));
  pm->DrawStatusBarPaneBorder(&dc, cell(3), FALSE);
  {
    CDC gripper;
    gripper.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, 20, 20);
    CBitmap* old = gripper.SelectObject(&bitmap);
    gripper.FillSolidRect(0, 0, 20, 20, pm->GetColor(15));
    pm->DrawStatusBarGripper(&gripper, CRect(0, 0, 20, 20));
    dc.BitBlt(cell(4).left, cell(4).top, 20, 20, &gripper, 0, 0, SRCCOPY);
    gripper.SelectObject(old);
  }
  for (const int i : {5, 6}) {
    const int x = 6 + i * kGlyphCell + 6;
    pm->DrawTearOffGripper(&dc, CRect(x, g + 14, x + kGlyphCell - 14, g + 23), i == 6, TRUE);
  }
  if (office2003 != nullptr) {
    const CRect a = cell(7);
    const CRect b = cell(8);
    office2003->DrawExpandGlyph(&dc, FALSE, CRect(a.left, g + 2, a.left + 12, g + 38), FALSE, pm->GetColor(46));
    office2003->DrawExpandGlyph(&dc, FALSE, CRect(b.left, g + 2, b.left + 12, g + 38), TRUE, pm->GetColor(46));
    office2003->m_ilExpandButton.Draw(&dc, 0, CPoint(cell(9).left, g + 12), ILD_TRANSPARENT);
  } else if (classic != nullptr) {
    CRect edit = cell(7);
    edit.InflateRect(20, 0);
    dc.FillSolidRect(&edit, pm->GetColor(5));
    classic->DrawEditFrame(&dc, edit, TRUE, 0);
    const BOOL states[3][2] = {{FALSE, FALSE}, {TRUE, FALSE}, {TRUE, TRUE}};
    for (int i = 0; i < 3; ++i) {
      CRect button = cell(8 + i);
      button.right = button.left + 18;
      classic->DrawComboButton(&dc, button, TRUE, states[i][0], states[i][1]);
    }
  }
  dc.SelectObject(&smallFont);
  for (size_t i = 0; i < names.size(); ++i) {
    const int x = 6 + static_cast<int>(i) * kGlyphCell;
    Label(&dc, CRect(x, g + 42, x + kGlyphCell, g + 58), names[i], DT_CENTER);
  }
  dc.SelectObject(oldFont);

  // Twice the size, so that one-pixel frames can be told apart.
  Canvas big(width * 2, height * 2, RGB(255, 255, 255));
  big.dc.StretchBlt(0, 0, width * 2, height * 2, &dc, 0, 0, width, height, SRCCOPY);
  return gdi::SavePng(static_cast<HBITMAP>(big.bitmap.GetSafeHandle()),
                      std::string(TESMIRA_ARTIFACTS_DIR) + "/toolkit_bar_theme" + std::to_string(nTheme) + ".png");
}

}  // namespace tktest
