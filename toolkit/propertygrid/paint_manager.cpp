#include "toolkit/propertygrid/paint_manager.h"

#include "toolkit/paint/draw_helpers.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/inplace.h"
#include "toolkit/propertygrid/item.h"
#include "toolkit/propertygrid/view.h"

#include "platform/user/system.h"
#include "platform/user/uxtheme.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CTKPropertyGridItemMetrics, CCmdTarget)

namespace {

// Colour manager indexes the grid asks for.
constexpr UINT kActiveCaption = 2;
constexpr UINT kWindow = 5;
constexpr UINT kWindowText = 8;
constexpr UINT kHighlight = 13;
constexpr UINT kHighlightText = 14;
constexpr UINT k3DFace = 15;
constexpr UINT k3DShadow = 16;
constexpr UINT kGrayText = 17;
constexpr UINT kButtonText = 18;
constexpr UINT k3DDarkShadow = 21;

COLORREF Color(UINT index)
{
  return TKColorManager().GetColor(index);
}

void Fill(CDC& dc, const CRect& rc, COLORREF clr)
{
  dc.FillSolidRect(rc, clr);
}

void Line(CDC& dc, int x0, int y0, int x1, int y1, COLORREF clr)
{
  CTKPenDC pen(dc.GetSafeHdc(), clr);
  dc.MoveTo(x0, y0);
  dc.LineTo(x1, y1);
}

// Draws the icon with its left edge at x, centred on the rectangle's height and no taller than it.
void DrawImage(CDC& dc, CTKImageManagerIcon* icon, int x, const CRect& rc)
{
  const int height = std::min(icon->GetHeight(), rc.Height());
  icon->Draw(&dc, CPoint(x, rc.top + (rc.Height() - height) / 2), icon->GetWidth(), height);
}

}  // namespace

LOGFONTA TKPropertyGridIconTitleFont()
{
  LOGFONTA font{};
  if (!SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(font), &font, 0)) {
    font.lfHeight = -11;
    std::strcpy(font.lfFaceName, "Tahoma");
  }
  return font;
}

void CTKPropertyGridItemMetrics::Reset()
{
  for (CTKPaintManagerColor* clr : {&m_clrHelpBack, &m_clrHelpFore, &m_clrLine, &m_clrFore, &m_clrCategoryFore,
                                    &m_clrBack, &m_clrReadOnlyFore, &m_clrVerbFace})
    clr->SetCustomValue(CTKPaintManagerColor::kUnset);
}

CTKPropertyGridPaintManager::CTKPropertyGridPaintManager(CTKPropertyGrid* pGrid)
    : m_pGrid(pGrid), m_pMetrics(new CTKPropertyGridItemMetrics(this))
{
  LOGFONTA font = TKPropertyGridIconTitleFont();
  font.lfWeight = FW_NORMAL;
  font.lfItalic = 0;
  m_fntVerbNormal.CreateFontIndirect(&font);
  font.lfUnderline = 1;
  m_fntVerbUnderline.CreateFontIndirect(&font);
}

CTKPropertyGridPaintManager::~CTKPropertyGridPaintManager()
{
  m_pMetrics->InternalRelease();
}

void CTKPropertyGridPaintManager::RefreshMetrics()
{
  TKRefreshColors();
  m_clrFace.SetStandardValue(Color(k3DFace));
  m_clrShadow.SetStandardValue(Color(k3DShadow));
  m_pMetrics->m_clrHelpBack.SetStandardValue(m_clrFace.GetValue());
  m_pMetrics->m_clrHelpFore.SetStandardValue(Color(kButtonText));
  m_pMetrics->m_clrLine.SetStandardValue(GetSysColor(COLOR_SCROLLBAR));
  m_pMetrics->m_clrFore.SetStandardValue(Color(kWindowText));
  m_pMetrics->m_clrCategoryFore.SetStandardValue(Color(kGrayText));
  m_pMetrics->m_clrBack.SetStandardValue(Color(kWindow));
  m_pMetrics->m_clrReadOnlyFore.SetStandardValue(Color(kGrayText));
  m_pMetrics->m_clrVerbFace.SetCustomValue(Color(kActiveCaption));
  HWND mainWindow = AfxGetMainWnd() ? AfxGetMainWnd()->GetSafeHwnd() : nullptr;
  m_themeTree.OpenThemeData(mainWindow, u"TREEVIEW");
  m_themeButton.OpenThemeData(mainWindow, u"BUTTON");
  m_themeCombo.OpenThemeData(mainWindow, u"COMBOBOX");
}

COLORREF CTKPropertyGridPaintManager::GetItemTextColor(CTKPropertyGridItem* pItem, BOOL bValuePart)
{
  if (CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(bValuePart, FALSE))
    if (metrics->m_clrFore.GetValue() != CTKPaintManagerColor::kUnset)
      return metrics->m_clrFore.GetValue();
  if (pItem->IsCategory())
    return m_pMetrics->m_clrCategoryFore;
  if (pItem->GetReadOnly())
    return m_pMetrics->m_clrReadOnlyFore;
  return m_pMetrics->m_clrFore;
}

COLORREF CTKPropertyGridPaintManager::GetItemBackColor(CTKPropertyGridItem* pItem, BOOL bValuePart)
{
  if (CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(bValuePart, FALSE))
    if (metrics->m_clrBack.GetValue() != CTKPaintManagerColor::kUnset)
      return metrics->m_clrBack.GetValue();
  return m_pMetrics->m_clrBack;
}

CFont* CTKPropertyGridPaintManager::GetItemFont(CTKPropertyGridItem* pItem, BOOL bValuePart)
{
  if (CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(bValuePart, FALSE))
    if (metrics->m_fontNormal.GetSafeHandle())
      return &metrics->m_fontNormal;
  if (pItem->IsCategory() || (bValuePart && m_pGrid && m_pGrid->GetBoldChangedValues() && pItem->IsValueChanged()))
    return &m_pMetrics->m_fontBold;
  return &m_pMetrics->m_fontNormal;
}

void CTKPropertyGridPaintManager::FillPropertyGrid(CDC* pDC)
{
  CRect client;
  m_pGrid->GetClientRect(&client);
  Fill(*pDC, client, m_clrFace);
  pDC->SetBkMode(TRANSPARENT);
  if (m_pGrid->IsHelpVisible()) {
    CRect help(client.left, client.bottom - m_pGrid->GetHelpHeight(), client.right, client.bottom);
    {
      CTKPenDC pen(pDC->GetSafeHdc(), m_clrShadow);
      CTKBrushDC brush(pDC->GetSafeHdc(), m_pMetrics->m_clrHelpBack);
      pDC->Rectangle(help);
    }
    if (CTKPropertyGridItem* item = m_pGrid->GetSelectedItem()) {
      pDC->SetTextColor(m_pMetrics->m_clrHelpFore);
      CTKFontDC bold(pDC, &m_pMetrics->m_fontBold);
      CRect caption = help;
      caption.left += 6;
      caption.right -= 6;
      caption.top += 3;
      caption.bottom -= 3;
      const CString text = item->GetCaption();
      pDC->DrawText(text, caption, DT_SINGLELINE | DT_NOPREFIX);
      const int captionHeight = pDC->GetTextExtent(text.IsEmpty() ? CString("X") : text).cy;
      const CString description = item->GetDescription();
      if (!description.IsEmpty()) {
        bold.SetFont(&m_pMetrics->m_fontNormal);
        CRect body(help.left + 6, help.top + captionHeight + 6, help.right - 6, help.bottom - 3);
        pDC->DrawText(description, body, DT_WORDBREAK | DT_NOPREFIX);
      }
    }
    client.bottom -= m_pGrid->GetHelpHeight() + 3;
  }
  if (m_pGrid->IsVerbsVisible()) {
    CRect strip(client.left, client.bottom - m_pGrid->GetVerbsHeight(), client.right, client.bottom);
    {
      CTKPenDC pen(pDC->GetSafeHdc(), m_clrShadow);
      CTKBrushDC brush(pDC->GetSafeHdc(), m_pMetrics->m_clrHelpBack);
      pDC->Rectangle(strip);
    }
    LayoutVerbs(pDC, strip, TRUE);
  }
}

std::vector<CTKPropertyGridPaintManager::VerbPiece> CTKPropertyGridPaintManager::LayoutVerbs(CDC* pDC, CRect rcStrip,
                                                                                           BOOL bDraw)
{
  std::vector<VerbPiece> pieces;
  rcStrip.left += 6;
  rcStrip.right -= 6;
  rcStrip.top += 4;
  rcStrip.bottom -= 4;
  CTKFontDC font(pDC, &m_fntVerbUnderline);
  const int lineHeight = pDC->GetTextExtent("XXX").cy;
  int x = rcStrip.left;
  int y = rcStrip.top;
  CTKPropertyGridVerbs* verbs = m_pGrid->GetVerbs();
  bool done = false;
  for (int i = 0; i < verbs->GetCount() && !done; ++i) {
    CTKPropertyGridVerb* verb = verbs->GetAt(i);
    CString rest = verb->m_strCaption;
    font.SetFont(&m_fntVerbUnderline);
    while (!rest.IsEmpty()) {
      if (y + lineHeight > rcStrip.bottom && y != rcStrip.top) {
        done = true;
        break;
      }
      const int room = rcStrip.right - x;
      CString piece = rest;
      if (pDC->GetTextExtent(rest).cx > room) {
        // How many characters fit, then back to the last break character at or before that count.
        int fit = 0;
        while (fit < rest.GetLength() && pDC->GetTextExtent(rest.Left(fit + 1)).cx <= room)
          ++fit;
        int cut = -1;
        for (int k = std::min(fit, rest.GetLength() - 1); k >= 0; --k)
          if (rest[k] == ' ' || rest[k] == ',' || rest[k] == '-') {
            cut = k + 1;
            break;
          }
        if (cut <= 0 || cut > fit) {
          if (x != rcStrip.left) {
            x = rcStrip.left;
            y += lineHeight;
            continue;
          }
          cut = fit;
        }
        if (cut <= 0) {
          // Not even one character fits at the start of a line.
          done = true;
          break;
        }
        piece = rest.Left(cut);
      }
      const CSize size = pDC->GetTextExtent(piece);
      const CRect rc(x, y, x + size.cx, y + size.cy);
      pieces.push_back({i, rc, piece});
      verb->m_rcPart = rc;
      if (bDraw) {
        pDC->SetTextColor(m_pMetrics->m_clrVerbFace);
        CRect text = rc;
        pDC->DrawText(piece, text, DT_SINGLELINE | DT_NOPREFIX);
        if (i == m_pGrid->GetFocusedVerb() && ::GetFocus() == m_pGrid->GetSafeHwnd()) {
          CRect focus = rc;
          focus.bottom += 1;
          pDC->DrawFocusRect(focus);
        }
      }
      rest = rest.Mid(piece.GetLength());
      x = rc.right;
      if (!rest.IsEmpty()) {
        x = rcStrip.left;
        y += lineHeight;
      }
    }
    if (!done && i + 1 < verbs->GetCount()) {
      font.SetFont(&m_fntVerbNormal);
      if (bDraw) {
        pDC->SetTextColor(m_pMetrics->m_clrHelpFore);
        CRect comma(x, y, x + 8, y + lineHeight);
        pDC->DrawText(",", comma, DT_SINGLELINE | DT_NOPREFIX);
      }
      x += 8;
    }
  }
  return pieces;
}

void CTKPropertyGridPaintManager::FillPropertyGridView(CDC* pDC, BOOL bClient)
{
  CTKPropertyGridView& view = m_pGrid->GetGridView();
  if (bClient) {
    CRect client;
    view.GetClientRect(&client);
    Fill(*pDC, client, m_pMetrics->m_clrBack);
  } else {
    CRect window;
    view.GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    CBrush frame(m_clrShadow.GetValue());
    pDC->FrameRect(window, &frame);
  }
}

void CTKPropertyGridPaintManager::DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct)
{
  CTKPropertyGridView& view = m_pGrid->GetGridView();
  auto* item = reinterpret_cast<CTKPropertyGridItem*>(lpDrawItemStruct->itemData);
  if (!item)
    return;
  const CRect row(lpDrawItemStruct->rcItem);
  CTKBufferDC dc(lpDrawItemStruct->hDC, row);
  const int divider = view.GetDividerPos();
  CTKFontDC font(&dc, GetItemFont(item, TRUE));
  Fill(dc, row, GetItemBackColor(item, FALSE));
  dc.SetBkMode(TRANSPARENT);
  CRect caption(row.left, row.top, row.left + divider, row.bottom);
  if (item->IsCategory()) {
    FillCategoryCaption(dc, row);
    font.SetFont(GetItemFont(item, FALSE));
    dc.SetTextColor(GetItemTextColor(item, FALSE));
    const CString text = item->GetCaption();
    const CSize size = dc.GetTextExtent(text.IsEmpty() ? CString(" ") : text);
    const int left = row.left + item->GetIndent() * TK_PGI_EXPAND_BORDER + 13;
    CRect textRect(left, row.top + 1, left + size.cx + 4, row.bottom - 2);
    dc.DrawText(text, textRect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_RIGHT);
    if ((lpDrawItemStruct->itemState & ODS_FOCUS) != 0) {
      dc.SetTextColor(RGB(0, 0, 0));
      dc.DrawFocusRect(textRect);
    }
  } else {
    CRect value(row.left + divider, row.top, row.right, row.bottom - 1);
    DrawItemValue(dc, item, value);
    font.SetFont(GetItemFont(item, FALSE));
    dc.SetTextColor(GetItemTextColor(item, FALSE));
    if ((lpDrawItemStruct->itemState & ODS_SELECTED) != 0) {
      HWND focus = ::GetFocus();
      const bool focused = focus && (focus == view.GetSafeHwnd() || ::IsChild(view.GetSafeHwnd(), focus) ||
                                     ::GetWindow(focus, GW_OWNER) == view.GetSafeHwnd());
      if (focused) {
        Fill(dc, caption, Color(kHighlight));
        dc.SetTextColor(Color(kHighlightText));
      } else {
        Fill(dc, caption, m_pMetrics->m_clrLine);
      }
    }
    for (CTKPropertyGridItem* ancestor = item->GetParentItem(); ancestor; ancestor = ancestor->GetParentItem())
      if (ancestor->IsCategory()) {
        const int left = row.left + ancestor->GetIndent() * TK_PGI_EXPAND_BORDER;
        Fill(dc, CRect(left, row.top, left + TK_PGI_EXPAND_BORDER, row.bottom), m_pMetrics->m_clrLine);
      }
    Line(dc, row.left, row.bottom - 1, row.right, row.bottom - 1, m_pMetrics->m_clrLine);
    Line(dc, row.left + divider, row.top, row.left + divider, row.bottom - 1, m_pMetrics->m_clrLine);
    DrawItemCaption(dc, item, caption);
  }
  CTKPropertyGridItem* next = view.GetItem(static_cast<int>(lpDrawItemStruct->itemID) + 1);
  if (next && next->IsCategory() && next->IsVisible())
    Line(dc, next->GetIndent() * TK_PGI_EXPAND_BORDER, row.bottom - 1, row.right, row.bottom - 1, m_clrFace);
  if (item->HasChilds()) {
    const int saved = dc.SaveDC();
    if (!item->IsCategory())
      dc.IntersectClipRect(caption);
    DrawExpandButton(dc, item, caption);
    dc.RestoreDC(saved);
  }
}

void CTKPropertyGridPaintManager::DrawInplaceListItem(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint, CRect rc,
                                                      BOOL bSelected)
{
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  Fill(*pDC, rc, Color(bSelected ? kHighlight : kWindow));
  rc.left += 2;
  if (CTKImageManagerIcon* icon = pConstraint->GetImage()) {
    DrawImage(*pDC, icon, rc.left, rc);
    rc.left += icon->GetWidth() + 5;
  }
  pDC->DrawText(pConstraint->m_strConstraint, rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

CTKImageManagerIcon* CTKPropertyGridPaintManager::GetMetricsImage(CTKPropertyGridItem* pItem, BOOL bValuePart) const
{
  CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(bValuePart, FALSE);
  if (!metrics || metrics->m_nImage == -1 || !m_pGrid)
    return nullptr;
  return m_pGrid->GetImageManager()->GetImage(static_cast<UINT>(metrics->m_nImage), 0);
}

void CTKPropertyGridPaintManager::AdjustItemValueRect(CTKPropertyGridItem* pItem, CRect& rcValue)
{
  if (CTKImageManagerIcon* icon = GetMetricsImage(pItem, TRUE))
    rcValue.left += icon->GetWidth() + 5;
}

void CTKPropertyGridPaintManager::AdjustItemCaptionRect(CTKPropertyGridItem* pItem, CRect& rcCaption)
{
  if (CTKImageManagerIcon* icon = GetMetricsImage(pItem, FALSE))
    rcCaption.left += icon->GetWidth() + 5;
}

void CTKPropertyGridPaintManager::MeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct)
{
  if (m_pGrid->IsVariableRowHeight())
    if (auto* item = reinterpret_cast<CTKPropertyGridItem*>(lpMeasureItemStruct->itemData))
      item->OnMeasureItem(lpMeasureItemStruct);
}

void CTKPropertyGridPaintManager::FillInplaceButton(CDC* pDC, CTKPropertyGridInplaceButton* pButton)
{
  CRect client;
  pButton->GetClientRect(&client);
  const BOOL pressed = pButton->IsPressed() && pButton->IsHot();
  CTKPropertyGridItem* item = pButton->GetItem();
  const CPoint centre = client.CenterPoint();
  const bool focused = ::GetFocus() == pButton->GetSafeHwnd();
  if (m_bUseThemedControls && m_themeButton.GetThemeHandle() && m_themeCombo.GetThemeHandle()) {
    Fill(*pDC, client, m_pMetrics->m_clrBack);
    Line(*pDC, client.left, client.top, client.right, client.top, m_pMetrics->m_clrLine);
    Line(*pDC, client.left, client.bottom - 1, client.right, client.bottom - 1, m_pMetrics->m_clrLine);
    if (item && (item->GetFlags() & tkpgItemHasExpandButton) != 0) {
      const int state = pressed ? PBS_PRESSED : pButton->IsHot() ? PBS_HOT : focused ? PBS_DEFAULTED : PBS_NORMAL;
      m_themeButton.DrawThemeBackground(pDC->GetSafeHdc(), BP_PUSHBUTTON, state, &client, nullptr);
    } else if (item && (item->GetFlags() & tkpgItemHasComboButton) != 0) {
      const int state = pressed ? PBS_PRESSED : pButton->IsHot() ? PBS_HOT : PBS_NORMAL;
      m_themeCombo.DrawThemeBackground(pDC->GetSafeHdc(), CP_DROPDOWNBUTTON, state, &client, nullptr);
    }
  } else {
    FillClassicInplaceButton(pDC, pButton, client, pressed);
  }
  if (item && (item->GetFlags() & tkpgItemHasExpandButton) != 0)
    for (int dx : {-4, 0, 4})
      Fill(*pDC, CRect(centre.x + dx, centre.y + 3, centre.x + dx + 2, centre.y + 5), Color(kButtonText));
  if (focused) {
    CRect focus = client;
    focus.DeflateRect(2, 2);
    pDC->SetTextColor(Color(kButtonText));
    pDC->SetBkColor(Color(k3DFace));
    pDC->DrawFocusRect(focus);
  }
}

void CTKPropertyGridPaintManager::FillClassicInplaceButton(CDC* pDC, CTKPropertyGridInplaceButton* pButton,
                                                           CRect client, BOOL pressed)
{
  Fill(*pDC, client, Color(k3DFace));
  if (!pressed) {
    pDC->Draw3dRect(client, Color(k3DFace), Color(k3DDarkShadow));
    CRect inner = client;
    inner.DeflateRect(1, 1);
    pDC->Draw3dRect(inner, Color(kWindow), Color(k3DShadow));
  } else {
    pDC->Draw3dRect(client, Color(k3DShadow), Color(k3DShadow));
  }
  const CPoint centre = client.CenterPoint();
  CTKPropertyGridItem* item = pButton->GetItem();
  if (item && (item->GetFlags() & tkpgItemHasComboButton) != 0) {
    CTKPenDC pen(pDC->GetSafeHdc(), Color(kButtonText));
    CTKBrushDC brush(pDC->GetSafeHdc(), Color(kButtonText));
    const POINT triangle[3] = {{centre.x - 3, centre.y - 1}, {centre.x + 3, centre.y - 1}, {centre.x, centre.y + 2}};
    pDC->Polygon(triangle, 3);
  }
}

void CTKPropertyGridPaintManager::DrawExpandButton(CDC& dc, CTKPropertyGridItem* pItem, CRect rcCaption)
{
  const int centreY = rcCaption.CenterPoint().y;
  CRect box(2, centreY - 4, 11, centreY + 5);
  box.OffsetRect(rcCaption.left, 0);
  if (pItem->GetIndent() > 0)
    box.OffsetRect((pItem->IsCategory() ? pItem->GetIndent() : pItem->GetIndent() - 1) * TK_PGI_EXPAND_BORDER, 0);
  if (m_bUseThemedControls && m_themeTree.GetThemeHandle()) {
    m_themeTree.DrawThemeBackground(dc.GetSafeHdc(), TVP_GLYPH, pItem->IsExpanded() ? GLPS_OPENED : GLPS_CLOSED,
                                    &box, nullptr);
    return;
  }
  const COLORREF text = GetItemTextColor(pItem, FALSE);
  if (!pItem->IsCategory())
    Fill(dc, box, m_pMetrics->m_clrBack);
  CBrush frame(text);
  dc.FrameRect(box, &frame);
  const CPoint centre = box.CenterPoint();
  Line(dc, centre.x - 2, centre.y, centre.x + 3, centre.y, text);
  if (!pItem->IsExpanded())
    Line(dc, centre.x, centre.y - 2, centre.x, centre.y + 3, text);
}

void CTKPropertyGridPaintManager::FillCategoryCaption(CDC& dc, CRect rc)
{
  Fill(dc, rc, m_pMetrics->m_clrLine);
}

void CTKPropertyGridPaintManager::DrawItemValue(CDC& dc, CTKPropertyGridItem* pItem, CRect rcValue)
{
  dc.SetTextColor(GetItemTextColor(pItem, TRUE));
  Fill(dc, rcValue, GetItemBackColor(pItem, TRUE));
  rcValue.left += 4;
  if (pItem->OnDrawItemValue(dc, rcValue))
    return;
  if (CTKImageManagerIcon* icon = GetMetricsImage(pItem, TRUE)) {
    DrawImage(dc, icon, rcValue.left - 2, rcValue);
    rcValue.left += icon->GetWidth() + 5;
  }
  rcValue.DeflateRect(0, 1);
  CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(TRUE, FALSE);
  UINT format = metrics ? metrics->m_uDrawTextFormat : (DT_VCENTER | DT_SINGLELINE);
  if (pItem->GetMultiLinesCount() > 1)
    format = (format & ~static_cast<UINT>(DT_SINGLELINE)) | DT_WORDBREAK;
  dc.DrawText(pItem->GetViewValue(), rcValue, format | DT_NOPREFIX);
}

void CTKPropertyGridPaintManager::DrawItemCaption(CDC& dc, CTKPropertyGridItem* pItem, CRect rcCaption)
{
  rcCaption.left += (pItem->GetIndent() + (pItem->IsCategory() ? 1 : 0)) * TK_PGI_EXPAND_BORDER + 3;
  rcCaption.right -= 1;
  rcCaption.bottom -= 1;
  if (CTKImageManagerIcon* icon = GetMetricsImage(pItem, FALSE)) {
    DrawImage(dc, icon, rcCaption.left - 2, rcCaption);
    rcCaption.left += icon->GetWidth() + 5;
  }
  CTKPropertyGridItemMetrics* metrics = pItem->GetMetrics(FALSE, FALSE);
  const UINT format = metrics ? metrics->m_uDrawTextFormat : (DT_VCENTER | DT_SINGLELINE);
  dc.DrawText(pItem->GetCaption(), rcCaption, format | DT_NOPREFIX);
}
