#include "app/shell/start_page.h"

namespace shell {

namespace {

constexpr UINT IDC_SHOW_START_PAGE = 1121;
constexpr UINT kBackground = 747;
constexpr UINT kPictures[5][2] = {{754, 755}, {756, 757}, {758, 759}, {760, 764}, {762, 763}};
constexpr UINT kTextIds[8] = {768, 772, 769, 770, 771, 766, 767, 765};

struct ItemText {
  int text;    // index into the loaded texts
  int offset;  // below the item's top
};
// Per item, its lines of text.
const std::vector<ItemText> kItemTexts[5] = {
    {{0, 7}, {1, 22}}, {{2, 0}, {3, 15}, {4, 30}}, {{5, 15}}, {{6, 15}}, {{7, 15}},
};

constexpr int kPageWidth = 477;
constexpr int kPageHeight = 400;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgStartPage, CDialog)
  ON_WM_PAINT()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_LBUTTONUP()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CDlgStartPage::CDlgStartPage() : CDialog(IDD_START_PAGE, nullptr)
{
  m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
  m_hHand = ::LoadCursor(nullptr, IDC_HAND);
  m_font.CreateFont(-14, 0, 0, 0, 400, FALSE, FALSE, FALSE, 204, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                    ANTIALIASED_QUALITY, DEFAULT_PITCH, "Arial Cyr");
  for (int k = 0; k < 5; ++k) {
    m_rcItems[k] = CRect(68, 38 + 52 * k, 470, 86 + 52 * k);
  }
}

CDlgStartPage::~CDlgStartPage() = default;

BOOL CDlgStartPage::OnInitDialog()
{
  CDialog::OnInitDialog();
  CRect main;
  CWnd* mainWnd = AfxGetMainWnd();
  if (mainWnd != nullptr && mainWnd->GetSafeHwnd() != nullptr) {
    mainWnd->GetWindowRect(&main);
  } else {
    main = CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  }
  SetWindowPos(nullptr, main.left + main.Width() / 2 - 238, main.top + main.Height() / 2 - 200, kPageWidth,
               kPageHeight, SWP_FRAMECHANGED | SWP_NOZORDER);
  m_background.LoadBitmap(kBackground);
  for (int k = 0; k < 5; ++k) {
    m_pictures[k][0].LoadBitmap(kPictures[k][0]);
    m_pictures[k][1].LoadBitmap(kPictures[k][1]);
  }
  for (int i = 0; i < 8; ++i) {
    m_texts[i].LoadString(kTextIds[i]);
  }
  CWinApp* app = AfxGetApp();
  const int show = app != nullptr ? static_cast<int>(app->GetProfileInt("Settings", "StartPage", 1)) : 1;
  ::CheckDlgButton(m_hWnd, IDC_SHOW_START_PAGE, show != 0 ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CDlgStartPage::OnPaint()
{
  CPaintDC dc(this);
  CDC memory;
  memory.CreateCompatibleDC(&dc);
  auto blit = [&](CBitmap& bitmap, int x, int y) {
    if (bitmap.GetSafeHandle() == nullptr) {
      return;
    }
    BITMAP info{};
    bitmap.GetObject(sizeof info, &info);
    CBitmap* old = memory.SelectObject(&bitmap);
    dc.BitBlt(x, y, info.bmWidth, info.bmHeight, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
  };
  blit(m_background, 0, 0);
  dc.SetBkMode(TRANSPARENT);
  CFont* oldFont = dc.SelectObject(&m_font);
  for (int k = 0; k < 5; ++k) {
    const CRect& r = m_rcItems[k];
    if (m_nCurrent == k + 1) {
      CRect strip(r.left + 52, r.top + 1, r.right, r.bottom - (k == 3 ? 2 : 1));
      dc.FillSolidRect(&strip, kHighlight);
    }
    for (const ItemText& line : kItemTexts[k]) {
      dc.TextOut(r.left + 65, r.top + line.offset, m_texts[line.text]);
    }
  }
  for (int k = 0; k < 5; ++k) {
    blit(m_pictures[k][m_nCurrent == k + 1 ? 1 : 0], m_rcItems[k].left, m_rcItems[k].top);
  }
  dc.SelectObject(oldFont);
}

int CDlgStartPage::ItemAt(CPoint point) const
{
  for (int k = 0; k < 5; ++k) {
    const CRect& r = m_rcItems[k];
    if (r.left < point.x && point.x < r.right && r.top < point.y && point.y < r.bottom) {
      return k + 1;
    }
  }
  return 0;
}

void CDlgStartPage::SetArrow()
{
  ::SetCursor(m_hArrow);
  ::SetClassLongPtr(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hArrow));
}

void CDlgStartPage::OnMouseMove(UINT nFlags, CPoint point)
{
  CDialog::OnMouseMove(nFlags, point);
  if (m_bClosing) {
    SetArrow();
    return;
  }
  m_nPrevious = m_nCurrent;
  m_nCurrent = ItemAt(point);
  if (m_nCurrent != m_nPrevious) {
    for (int item : {m_nPrevious, m_nCurrent}) {
      if (item != 0) {
        CRect r = m_rcItems[item - 1];
        r.InflateRect(5, 5);
        InvalidateRect(&r, TRUE);
      }
    }
    HCURSOR cursor = m_nCurrent != 0 ? m_hHand : m_hArrow;
    ::SetCursor(cursor);
    ::SetClassLongPtr(m_hWnd, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(cursor));
  }
  TRACKMOUSEEVENT track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = m_hWnd;
  ::TrackMouseEvent(&track);
}

void CDlgStartPage::OnMouseLeave()
{
  m_nCurrent = 0;
  Invalidate(TRUE);
}

void CDlgStartPage::StoreShowAgain()
{
  if (CWinApp* app = AfxGetApp()) {
    app->WriteProfileInt("Settings", "StartPage", ::IsDlgButtonChecked(m_hWnd, IDC_SHOW_START_PAGE) == BST_CHECKED ? 1 : 0);
  }
}

void CDlgStartPage::OnLButtonUp(UINT nFlags, CPoint point)
{
  CDialog::OnLButtonUp(nFlags, point);
  SetArrow();
  if (m_nCurrent == 0) {
    return;
  }
  if (m_nCurrent == 5) {
    if (m_onHelp) {
      m_onHelp();
    }
    return;
  }
  m_bClosing = 1;
  StoreShowAgain();
  EndDialog(IDOK);
}

void CDlgStartPage::OnOK()
{
  m_bClosing = 1;
  SetArrow();
  StoreShowAgain();
  EndDialog(IDOK);
}

void CDlgStartPage::OnCancel()
{
  m_bClosing = 1;
  m_nCurrent = 0;
  SetArrow();
  StoreShowAgain();
  EndDialog(IDCANCEL);
}

HBRUSH CDlgStartPage::OnCtlColor(CDC* pDC, CWnd* /*pWnd*/, UINT /*nCtlColor*/)
{
  pDC->SetBkColor(0xFFFFFF);
  return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
}

}  // namespace shell
