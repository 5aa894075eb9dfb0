#include "platform/mfc/afxcmn.h"

#include <algorithm>
#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CCheckListBox, CListBox)

namespace {

template <class T>
LPARAM Ptr(T* p)
{
  return reinterpret_cast<LPARAM>(p);
}

WPARAM Index(int n) { return static_cast<WPARAM>(static_cast<INT_PTR>(n)); }

HWND HandleOf(const CWnd* pWnd) { return pWnd != nullptr ? pWnd->m_hWnd : nullptr; }

CImageList* ImageListOf(LRESULT handle) { return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(handle)); }

LPARAM ImageListParam(CImageList* pImageList)
{
  return reinterpret_cast<LPARAM>(pImageList != nullptr ? pImageList->GetSafeHandle() : nullptr);
}

}  // namespace

// CProgressCtrl

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::SetRange(short nLower, short nUpper)
{
  SendMessage(PBM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nLower), static_cast<WORD>(nUpper)));
}

void CProgressCtrl::SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, Index(nLower), nUpper); }

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
  PBRANGE range{0, 0};
  SendMessage(PBM_GETRANGE, FALSE, Ptr(&range));
  nLower = range.iLow;
  nUpper = range.iHigh;
}

int CProgressCtrl::GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
int CProgressCtrl::SetPos(int nPos) { return static_cast<int>(SendMessage(PBM_SETPOS, Index(nPos))); }
int CProgressCtrl::OffsetPos(int nPos) { return static_cast<int>(SendMessage(PBM_DELTAPOS, Index(nPos))); }
int CProgressCtrl::SetStep(int nStep) { return static_cast<int>(SendMessage(PBM_SETSTEP, Index(nStep))); }
int CProgressCtrl::StepIt() { return static_cast<int>(SendMessage(PBM_STEPIT)); }
COLORREF CProgressCtrl::SetBarColor(COLORREF clrBar)
{
  return static_cast<COLORREF>(SendMessage(PBM_SETBARCOLOR, 0, static_cast<LPARAM>(clrBar)));
}
COLORREF CProgressCtrl::SetBkColor(COLORREF clrNew)
{
  return static_cast<COLORREF>(SendMessage(PBM_SETBKCOLOR, 0, static_cast<LPARAM>(clrNew)));
}

// CSpinButtonCtrl

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CSpinButtonCtrl::SetRange(short nLower, short nUpper)
{
  SendMessage(UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(nUpper), static_cast<WORD>(nLower)));
}

void CSpinButtonCtrl::SetRange32(int nLower, int nUpper) { SendMessage(UDM_SETRANGE32, Index(nLower), nUpper); }

DWORD CSpinButtonCtrl::GetRange() const { return static_cast<DWORD>(SendMessage(UDM_GETRANGE)); }

void CSpinButtonCtrl::GetRange(int& nLower, int& nUpper) const
{
  SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&nLower), Ptr(&nUpper));
}

int CSpinButtonCtrl::SetPos(int nPos)
{
  return static_cast<SHORT>(LOWORD(SendMessage(UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(nPos), 0))));
}
int CSpinButtonCtrl::GetPos() const { return static_cast<int>(SendMessage(UDM_GETPOS)); }
int CSpinButtonCtrl::SetPos32(int nPos) { return static_cast<int>(SendMessage(UDM_SETPOS32, 0, nPos)); }
int CSpinButtonCtrl::GetPos32() const { return static_cast<int>(SendMessage(UDM_GETPOS32)); }

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
  return CWnd::FromHandle(
      reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(HandleOf(pWndBuddy)))));
}
CWnd* CSpinButtonCtrl::GetBuddy() const { return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }

// CSliderCtrl

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(TRACKBAR_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CSliderCtrl::GetRangeMin() const { return static_cast<int>(SendMessage(TBM_GETRANGEMIN)); }
int CSliderCtrl::GetRangeMax() const { return static_cast<int>(SendMessage(TBM_GETRANGEMAX)); }
void CSliderCtrl::GetRange(int& nMin, int& nMax) const
{
  nMin = GetRangeMin();
  nMax = GetRangeMax();
}
void CSliderCtrl::SetRangeMin(int nMin, BOOL bRedraw) { SendMessage(TBM_SETRANGEMIN, static_cast<WPARAM>(bRedraw), nMin); }
void CSliderCtrl::SetRangeMax(int nMax, BOOL bRedraw) { SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(bRedraw), nMax); }
void CSliderCtrl::SetRange(int nMin, int nMax, BOOL bRedraw)
{
  SetRangeMin(nMin, FALSE);
  SetRangeMax(nMax, bRedraw);
}
int CSliderCtrl::GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
void CSliderCtrl::SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
int CSliderCtrl::GetLineSize() const { return static_cast<int>(SendMessage(TBM_GETLINESIZE)); }
int CSliderCtrl::SetLineSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, nSize)); }
int CSliderCtrl::GetPageSize() const { return static_cast<int>(SendMessage(TBM_GETPAGESIZE)); }
int CSliderCtrl::SetPageSize(int nSize) { return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, nSize)); }
BOOL CSliderCtrl::SetTic(int nTic) { return static_cast<BOOL>(SendMessage(TBM_SETTIC, 0, nTic)); }
void CSliderCtrl::ClearTics(BOOL bRedraw) { SendMessage(TBM_CLEARTICS, static_cast<WPARAM>(bRedraw)); }
UINT CSliderCtrl::GetNumTics() const { return static_cast<UINT>(SendMessage(TBM_GETNUMTICS)); }
int CSliderCtrl::GetTic(int nTic) const { return static_cast<int>(SendMessage(TBM_GETTIC, Index(nTic))); }
void CSliderCtrl::SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, Index(nFreq)); }
void CSliderCtrl::GetSelection(int& nMin, int& nMax) const
{
  nMin = static_cast<int>(SendMessage(TBM_GETSELSTART));
  nMax = static_cast<int>(SendMessage(TBM_GETSELEND));
}
void CSliderCtrl::SetSelection(int nMin, int nMax)
{
  SendMessage(TBM_SETSELSTART, FALSE, nMin);
  SendMessage(TBM_SETSELEND, TRUE, nMax);
}
void CSliderCtrl::ClearSel(BOOL bRedraw) { SendMessage(TBM_CLEARSEL, static_cast<WPARAM>(bRedraw)); }
void CSliderCtrl::GetThumbRect(LPRECT lprc) const { SendMessage(TBM_GETTHUMBRECT, 0, Ptr(lprc)); }
void CSliderCtrl::GetChannelRect(LPRECT lprc) const { SendMessage(TBM_GETCHANNELRECT, 0, Ptr(lprc)); }

// CToolTipCtrl

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
  return CWnd::CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, 0, 0, 0, 0,
                        HandleOf(pParentWnd), nullptr);
}

namespace {

TOOLINFO ToolOf(CWnd* pWnd, UINT_PTR nIDTool)
{
  TOOLINFO ti;
  ti.hwnd = HandleOf(pWnd);
  // A tool without an id of its own is the window itself.
  if (nIDTool == 0) {
    ti.uFlags = TTF_IDISHWND;
    ti.uId = reinterpret_cast<UINT_PTR>(ti.hwnd);
  } else {
    ti.uId = nIDTool;
  }
  return ti;
}

}  // namespace

void CToolTipCtrl::Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(bActivate)); }

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
  if (pWnd == nullptr) {
    return FALSE;
  }
  TOOLINFO ti = ToolOf(pWnd, nIDTool);
  ti.uFlags |= TTF_SUBCLASS;
  if (lpRectTool != nullptr) {
    ti.rect = *lpRectTool;
  } else if (nIDTool != 0) {
    ::GetClientRect(pWnd->m_hWnd, &ti.rect);
  }
  ti.lpszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, Ptr(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
  CString text;
  text.LoadString(nIDText);
  return AddTool(pWnd, static_cast<LPCSTR>(text), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
  TOOLINFO ti = ToolOf(pWnd, nIDTool);
  SendMessage(TTM_DELTOOL, 0, Ptr(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
  TOOLINFO ti = ToolOf(pWnd, nIDTool);
  ti.lpszText = const_cast<LPSTR>(lpszText);
  SendMessage(TTM_UPDATETIPTEXT, 0, Ptr(&ti));
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
  std::vector<char> buffer(1024, '\0');
  TOOLINFO ti = ToolOf(pWnd, nIDTool);
  ti.lpszText = buffer.data();
  SendMessage(TTM_GETTEXT, buffer.size(), Ptr(&ti));
  buffer.back() = '\0';
  str = buffer.data();
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
  TOOLINFO key = ToolOf(pWnd, nIDTool);
  toolInfo.hwnd = key.hwnd;
  toolInfo.uId = key.uId;
  toolInfo.uFlags = key.uFlags;
  return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFO, 0, Ptr(&toolInfo)));
}

void CToolTipCtrl::SetToolInfo(const TOOLINFO* lpToolInfo) { SendMessage(TTM_SETTOOLINFO, 0, Ptr(lpToolInfo)); }

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
  TOOLINFO ti = ToolOf(pWnd, nIDTool);
  if (lpRect != nullptr) {
    ti.rect = *lpRect;
  }
  SendMessage(TTM_NEWTOOLRECT, 0, Ptr(&ti));
}

int CToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

BOOL CToolTipCtrl::HitTest(CWnd* pWnd, POINT pt, TOOLINFO* lpToolInfo) const
{
  TTHITTESTINFO hit;
  hit.hwnd = HandleOf(pWnd);
  hit.pt = pt;
  const BOOL found = static_cast<BOOL>(SendMessage(TTM_HITTEST, 0, Ptr(&hit)));
  if (found && lpToolInfo != nullptr) {
    *lpToolInfo = hit.ti;
  }
  return found;
}

void CToolTipCtrl::RelayEvent(LPMSG lpMsg) { SendMessage(TTM_RELAYEVENT, 0, Ptr(lpMsg)); }
void CToolTipCtrl::SetDelayTime(UINT nDelay) { SendMessage(TTM_SETDELAYTIME, TTDT_AUTOMATIC, static_cast<LPARAM>(nDelay)); }
void CToolTipCtrl::SetDelayTime(DWORD dwDuration, int iTime) { SendMessage(TTM_SETDELAYTIME, dwDuration, iTime); }
int CToolTipCtrl::GetDelayTime(DWORD dwDuration) const { return static_cast<int>(SendMessage(TTM_GETDELAYTIME, dwDuration)); }
int CToolTipCtrl::SetMaxTipWidth(int iWidth) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, iWidth)); }
int CToolTipCtrl::GetMaxTipWidth() const { return static_cast<int>(SendMessage(TTM_GETMAXTIPWIDTH)); }
void CToolTipCtrl::SetTipBkColor(COLORREF clr) { SendMessage(TTM_SETTIPBKCOLOR, clr); }
void CToolTipCtrl::SetTipTextColor(COLORREF clr) { SendMessage(TTM_SETTIPTEXTCOLOR, clr); }
void CToolTipCtrl::SetMargin(LPRECT lprc) { SendMessage(TTM_SETMARGIN, 0, Ptr(lprc)); }
BOOL CToolTipCtrl::SetTitle(UINT uIcon, LPCSTR lpstrTitle)
{
  return static_cast<BOOL>(SendMessage(TTM_SETTITLE, uIcon, Ptr(lpstrTitle)));
}
void CToolTipCtrl::Pop() { SendMessage(TTM_POP); }
void CToolTipCtrl::Update() { SendMessage(TTM_UPDATE); }

// CTreeCtrl

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(WC_TREEVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
{
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEM, 0, Ptr(lpInsertStruct)));
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
  TVINSERTSTRUCT ins;
  ins.hParent = hParent;
  ins.hInsertAfter = hInsertAfter;
  ins.item.mask = nMask;
  ins.item.pszText = const_cast<LPSTR>(lpszItem);
  ins.item.iImage = nImage;
  ins.item.iSelectedImage = nSelectedImage;
  ins.item.state = nState;
  ins.item.stateMask = nStateMask;
  ins.item.lParam = lParam;
  return InsertItem(&ins);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
  return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
  return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0, hParent,
                    hInsertAfter);
}

BOOL CTreeCtrl::DeleteItem(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, Ptr(hItem))); }
BOOL CTreeCtrl::DeleteAllItems() { return DeleteItem(TVI_ROOT); }
BOOL CTreeCtrl::Expand(HTREEITEM hItem, UINT nCode) { return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, Ptr(hItem))); }

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
  // The item goes in the rectangle's first bytes.
  static_assert(sizeof(RECT) >= sizeof(HTREEITEM));
  std::memcpy(static_cast<void*>(lpRect), &hItem, sizeof hItem);
  return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, static_cast<WPARAM>(bTextOnly), Ptr(lpRect)));
}

UINT CTreeCtrl::GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
UINT CTreeCtrl::GetIndent() const { return static_cast<UINT>(SendMessage(TVM_GETINDENT)); }
void CTreeCtrl::SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent); }
CImageList* CTreeCtrl::GetImageList(int nImageList) const
{
  return ImageListOf(SendMessage(TVM_GETIMAGELIST, Index(nImageList)));
}
CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageList)
{
  return ImageListOf(SendMessage(TVM_SETIMAGELIST, Index(nImageList), ImageListParam(pImageList)));
}
HTREEITEM CTreeCtrl::GetNextItem(HTREEITEM hItem, UINT nCode) const
{
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, nCode, Ptr(hItem)));
}
BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
  TVITEM item;
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = hItem;
  return GetItem(&item) && item.cChildren != 0;
}
BOOL CTreeCtrl::Select(HTREEITEM hItem, UINT nCode) { return static_cast<BOOL>(SendMessage(TVM_SELECTITEM, nCode, Ptr(hItem))); }
BOOL CTreeCtrl::GetItem(TVITEM* pItem) const { return static_cast<BOOL>(SendMessage(TVM_GETITEM, 0, Ptr(pItem))); }
BOOL CTreeCtrl::SetItem(TVITEM* pItem) { return static_cast<BOOL>(SendMessage(TVM_SETITEM, 0, Ptr(pItem))); }

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
  TVITEM item;
  item.mask = nMask | TVIF_HANDLE;
  item.hItem = hItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
  std::vector<char> buffer(1024, '\0');
  TVITEM item;
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = hItem;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  return GetItem(&item) ? CString(buffer.data()) : CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCSTR lpszItem) { return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0); }

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
  TVITEM item;
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = hItem;
  if (!GetItem(&item)) {
    return FALSE;
  }
  nImage = item.iImage;
  nSelectedImage = item.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
  return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, nullptr, nImage, nSelectedImage, 0, 0, 0);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
  return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(hItem), nStateMask));
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
  return SetItem(hItem, TVIF_STATE, nullptr, 0, 0, nState, nStateMask, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
  TVITEM item;
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = hItem;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
  return SetItem(hItem, TVIF_PARAM, nullptr, 0, 0, 0, 0, static_cast<LPARAM>(dwData));
}

UINT CTreeCtrl::GetVisibleCount() const { return static_cast<UINT>(SendMessage(TVM_GETVISIBLECOUNT)); }

HTREEITEM CTreeCtrl::HitTest(POINT pt, UINT* pFlags) const
{
  TVHITTESTINFO hit;
  hit.pt = pt;
  HTREEITEM item = HitTest(&hit);
  if (pFlags != nullptr) {
    *pFlags = hit.flags;
  }
  return item;
}

HTREEITEM CTreeCtrl::HitTest(TVHITTESTINFO* pHitTestInfo) const
{
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, Ptr(pHitTestInfo)));
}

BOOL CTreeCtrl::SortChildren(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_SORTCHILDREN, 0, Ptr(hItem))); }
BOOL CTreeCtrl::SortChildrenCB(LPTVSORTCB pSort) { return static_cast<BOOL>(SendMessage(TVM_SORTCHILDRENCB, 0, Ptr(pSort))); }
BOOL CTreeCtrl::EnsureVisible(HTREEITEM hItem) { return static_cast<BOOL>(SendMessage(TVM_ENSUREVISIBLE, 0, Ptr(hItem))); }
CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
  return CEdit::FromHandle(reinterpret_cast<HWND>(SendMessage(TVM_EDITLABEL, 0, Ptr(hItem))));
}
CEdit* CTreeCtrl::GetEditControl() const
{
  return CEdit::FromHandle(reinterpret_cast<HWND>(SendMessage(TVM_GETEDITCONTROL)));
}
BOOL CTreeCtrl::EndEditLabelNow(BOOL fCancelWithoutSave)
{
  return static_cast<BOOL>(SendMessage(TVM_ENDEDITLABELNOW, static_cast<WPARAM>(fCancelWithoutSave)));
}
COLORREF CTreeCtrl::GetBkColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETBKCOLOR)); }
COLORREF CTreeCtrl::SetBkColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETBKCOLOR, 0, clr)); }
COLORREF CTreeCtrl::GetTextColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETTEXTCOLOR)); }
COLORREF CTreeCtrl::SetTextColor(COLORREF clr) { return static_cast<COLORREF>(SendMessage(TVM_SETTEXTCOLOR, 0, clr)); }
CToolTipCtrl* CTreeCtrl::GetToolTips() const
{
  return CToolTipCtrl::FromHandle(reinterpret_cast<HWND>(SendMessage(TVM_GETTOOLTIPS)));
}
CToolTipCtrl* CTreeCtrl::SetToolTips(CToolTipCtrl* pWndTip)
{
  return CToolTipCtrl::FromHandle(
      reinterpret_cast<HWND>(SendMessage(TVM_SETTOOLTIPS, reinterpret_cast<WPARAM>(HandleOf(pWndTip)))));
}
SHORT CTreeCtrl::GetItemHeight() const { return static_cast<SHORT>(SendMessage(TVM_GETITEMHEIGHT)); }
SHORT CTreeCtrl::SetItemHeight(SHORT cyHeight)
{
  return static_cast<SHORT>(SendMessage(TVM_SETITEMHEIGHT, static_cast<WPARAM>(cyHeight)));
}

// CTabCtrl

BOOL CTabCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CTabCtrl::GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }
BOOL CTabCtrl::GetItem(int nItem, TCITEM* pTabCtrlItem) const
{
  return static_cast<BOOL>(SendMessage(TCM_GETITEM, Index(nItem), Ptr(pTabCtrlItem)));
}
BOOL CTabCtrl::SetItem(int nItem, TCITEM* pTabCtrlItem)
{
  return static_cast<BOOL>(SendMessage(TCM_SETITEM, Index(nItem), Ptr(pTabCtrlItem)));
}
LONG CTabCtrl::InsertItem(int nItem, TCITEM* pTabCtrlItem)
{
  return static_cast<LONG>(SendMessage(TCM_INSERTITEM, Index(nItem), Ptr(pTabCtrlItem)));
}
LONG CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem)
{
  TCITEM item;
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return InsertItem(nItem, &item);
}
LONG CTabCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage)
{
  TCITEM item;
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  return InsertItem(nItem, &item);
}
BOOL CTabCtrl::DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(TCM_DELETEITEM, Index(nItem))); }
BOOL CTabCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(TCM_DELETEALLITEMS)); }
int CTabCtrl::GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }
int CTabCtrl::SetCurSel(int nItem) { return static_cast<int>(SendMessage(TCM_SETCURSEL, Index(nItem))); }
int CTabCtrl::GetCurFocus() const { return static_cast<int>(SendMessage(TCM_GETCURFOCUS)); }
void CTabCtrl::SetCurFocus(int nItem) { SendMessage(TCM_SETCURFOCUS, Index(nItem)); }
BOOL CTabCtrl::GetItemRect(int nItem, LPRECT lpRect) const
{
  return static_cast<BOOL>(SendMessage(TCM_GETITEMRECT, Index(nItem), Ptr(lpRect)));
}
int CTabCtrl::HitTest(TCHITTESTINFO* pHitTestInfo) const
{
  return static_cast<int>(SendMessage(TCM_HITTEST, 0, Ptr(pHitTestInfo)));
}
void CTabCtrl::AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, static_cast<WPARAM>(bLarger), Ptr(lpRect)); }
int CTabCtrl::GetRowCount() const { return static_cast<int>(SendMessage(TCM_GETROWCOUNT)); }
CImageList* CTabCtrl::GetImageList() const { return ImageListOf(SendMessage(TCM_GETIMAGELIST)); }
CImageList* CTabCtrl::SetImageList(CImageList* pImageList)
{
  return ImageListOf(SendMessage(TCM_SETIMAGELIST, 0, ImageListParam(pImageList)));
}

// CHeaderCtrl

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(WC_HEADER, nullptr, dwStyle, rect, pParentWnd, nID);
}
int CHeaderCtrl::GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
int CHeaderCtrl::InsertItem(int nPos, HDITEM* phdi) { return static_cast<int>(SendMessage(HDM_INSERTITEM, Index(nPos), Ptr(phdi))); }
BOOL CHeaderCtrl::DeleteItem(int nPos) { return static_cast<BOOL>(SendMessage(HDM_DELETEITEM, Index(nPos))); }
BOOL CHeaderCtrl::GetItem(int nPos, HDITEM* pHeaderItem) const
{
  return static_cast<BOOL>(SendMessage(HDM_GETITEM, Index(nPos), Ptr(pHeaderItem)));
}
BOOL CHeaderCtrl::SetItem(int nPos, HDITEM* pHeaderItem)
{
  return static_cast<BOOL>(SendMessage(HDM_SETITEM, Index(nPos), Ptr(pHeaderItem)));
}
BOOL CHeaderCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
  return static_cast<BOOL>(SendMessage(HDM_GETITEMRECT, Index(nIndex), Ptr(lpRect)));
}
BOOL CHeaderCtrl::Layout(HDLAYOUT* pHeaderLayout) { return static_cast<BOOL>(SendMessage(HDM_LAYOUT, 0, Ptr(pHeaderLayout))); }
int CHeaderCtrl::HitTest(HDHITTESTINFO* pHeaderHitTestInfo)
{
  return static_cast<int>(SendMessage(HDM_HITTEST, 0, Ptr(pHeaderHitTestInfo)));
}
BOOL CHeaderCtrl::GetOrderArray(int* piArray, int iCount) const
{
  return static_cast<BOOL>(SendMessage(HDM_GETORDERARRAY, Index(iCount), Ptr(piArray)));
}
BOOL CHeaderCtrl::SetOrderArray(int iCount, int* piArray)
{
  return static_cast<BOOL>(SendMessage(HDM_SETORDERARRAY, Index(iCount), Ptr(piArray)));
}

// CListCtrl

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(WC_LISTVIEW, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
int CListCtrl::InsertItem(const LVITEM* pItem) { return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, Ptr(pItem))); }
int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem) { return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0); }
int CListCtrl::InsertItem(int nItem, LPCSTR lpszItem, int nImage)
{
  return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}
int CListCtrl::InsertItem(UINT nMask, int nItem, LPCSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
  LVITEM item;
  item.mask = nMask;
  item.iItem = nItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.state = nState;
  item.stateMask = nStateMask;
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(&item);
}
BOOL CListCtrl::DeleteItem(int nItem) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, Index(nItem))); }
BOOL CListCtrl::DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
BOOL CListCtrl::GetItem(LVITEM* pItem) const { return static_cast<BOOL>(SendMessage(LVM_GETITEM, 0, Ptr(pItem))); }
BOOL CListCtrl::SetItem(const LVITEM* pItem) { return static_cast<BOOL>(SendMessage(LVM_SETITEM, 0, Ptr(pItem))); }
BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
  LVITEM item;
  item.mask = nMask;
  item.iItem = nItem;
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
  std::vector<char> buffer(1024, '\0');
  GetItemText(nItem, nSubItem, buffer.data(), static_cast<int>(buffer.size()));
  return CString(buffer.data());
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPSTR lpszText, int nLen) const
{
  LVITEM item;
  item.iSubItem = nSubItem;
  item.pszText = lpszText;
  item.cchTextMax = nLen;
  return static_cast<int>(SendMessage(LVM_GETITEMTEXT, Index(nItem), Ptr(&item)));
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCSTR lpszText)
{
  LVITEM item;
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszText);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXT, Index(nItem), Ptr(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
  LVITEM item;
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
  return SetItem(nItem, 0, LVIF_PARAM, nullptr, 0, 0, 0, static_cast<LPARAM>(dwData));
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const
{
  return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, Index(nItem), nMask));
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
  LVITEM item;
  item.state = nState;
  item.stateMask = nMask;
  return SetItemState(nItem, &item);
}

BOOL CListCtrl::SetItemState(int nItem, LVITEM* pItem)
{
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, Index(nItem), Ptr(pItem)));
}

BOOL CListCtrl::GetCheck(int nItem) const { return ((GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12) - 1) != 0; }

BOOL CListCtrl::SetCheck(int nItem, BOOL fCheck)
{
  return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const
{
  return static_cast<int>(SendMessage(LVM_GETNEXTITEM, Index(nItem), nFlags));
}

UINT CListCtrl::GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
  const int first = GetNextItem(-1, LVNI_SELECTED);
  return reinterpret_cast<POSITION>(static_cast<INT_PTR>(first + 1));
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
  const int index = static_cast<int>(reinterpret_cast<INT_PTR>(pos)) - 1;
  const int next = GetNextItem(index, LVNI_SELECTED);
  pos = reinterpret_cast<POSITION>(static_cast<INT_PTR>(next + 1));
  return index;
}

int CListCtrl::GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
int CListCtrl::SetSelectionMark(int iIndex) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, iIndex)); }
int CListCtrl::FindItem(LVFINDINFO* pFindInfo, int nStart) const
{
  return static_cast<int>(SendMessage(LVM_FINDITEM, Index(nStart), Ptr(pFindInfo)));
}
BOOL CListCtrl::SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData)
{
  return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, dwData, reinterpret_cast<LPARAM>(pfnCompare)));
}
BOOL CListCtrl::SortItemsEx(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData)
{
  return static_cast<BOOL>(SendMessage(LVM_SORTITEMSEX, dwData, reinterpret_cast<LPARAM>(pfnCompare)));
}

int CListCtrl::InsertColumn(int nCol, const LVCOLUMN* pColumn)
{
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMN, Index(nCol), Ptr(pColumn)));
}

int CListCtrl::InsertColumn(int nCol, LPCSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
  LVCOLUMN column;
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = const_cast<LPSTR>(lpszColumnHeading);
  column.fmt = nFormat;
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &column);
}

BOOL CListCtrl::DeleteColumn(int nCol) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, Index(nCol))); }
BOOL CListCtrl::GetColumn(int nCol, LVCOLUMN* pColumn) const
{
  return static_cast<BOOL>(SendMessage(LVM_GETCOLUMN, Index(nCol), Ptr(pColumn)));
}
BOOL CListCtrl::SetColumn(int nCol, const LVCOLUMN* pColumn)
{
  return static_cast<BOOL>(SendMessage(LVM_SETCOLUMN, Index(nCol), Ptr(pColumn)));
}
int CListCtrl::GetColumnWidth(int nCol) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, Index(nCol))); }
BOOL CListCtrl::SetColumnWidth(int nCol, int cx)
{
  return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, Index(nCol), MAKELPARAM(static_cast<WORD>(cx), 0)));
}
CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
  return CHeaderCtrl::FromHandle(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)));
}
BOOL CListCtrl::GetColumnOrderArray(int* piArray, int iCount) const
{
  if (iCount == -1) {
    CHeaderCtrl* header = GetHeaderCtrl();
    iCount = header != nullptr ? header->GetItemCount() : 0;
  }
  return static_cast<BOOL>(SendMessage(LVM_GETCOLUMNORDERARRAY, Index(iCount), Ptr(piArray)));
}
BOOL CListCtrl::SetColumnOrderArray(int iCount, int* piArray)
{
  return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNORDERARRAY, Index(iCount), Ptr(piArray)));
}

CImageList* CListCtrl::GetImageList(int nImageList) const
{
  return ImageListOf(SendMessage(LVM_GETIMAGELIST, Index(nImageList)));
}
CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageListType)
{
  return ImageListOf(SendMessage(LVM_SETIMAGELIST, Index(nImageListType), ImageListParam(pImageList)));
}
DWORD CListCtrl::GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle)
{
  return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle));
}
COLORREF CListCtrl::GetBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETBKCOLOR)); }
BOOL CListCtrl::SetBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETBKCOLOR, 0, cr)); }
COLORREF CListCtrl::GetTextColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTCOLOR)); }
BOOL CListCtrl::SetTextColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTCOLOR, 0, cr)); }
COLORREF CListCtrl::GetTextBkColor() const { return static_cast<COLORREF>(SendMessage(LVM_GETTEXTBKCOLOR)); }
BOOL CListCtrl::SetTextBkColor(COLORREF cr) { return static_cast<BOOL>(SendMessage(LVM_SETTEXTBKCOLOR, 0, cr)); }
int CListCtrl::GetStringWidth(LPCSTR lpsz) const { return static_cast<int>(SendMessage(LVM_GETSTRINGWIDTH, 0, Ptr(lpsz))); }

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
  lpRect->left = static_cast<LONG>(nCode);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, Index(nItem), Ptr(lpRect)));
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const
{
  ref.top = iSubItem;
  ref.left = nArea;
  return static_cast<BOOL>(SendMessage(LVM_GETSUBITEMRECT, Index(iItem), Ptr(static_cast<RECT*>(&ref))));
}

int CListCtrl::HitTest(POINT pt, UINT* pFlags) const
{
  LVHITTESTINFO hit;
  hit.pt = pt;
  const int item = HitTest(&hit);
  if (pFlags != nullptr) {
    *pFlags = hit.flags;
  }
  return item;
}

int CListCtrl::HitTest(LVHITTESTINFO* pHitTestInfo) const
{
  return static_cast<int>(SendMessage(LVM_HITTEST, 0, Ptr(pHitTestInfo)));
}
int CListCtrl::SubItemHitTest(LVHITTESTINFO* pInfo) { return static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, Ptr(pInfo))); }
BOOL CListCtrl::EnsureVisible(int nItem, BOOL bPartialOK)
{
  return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, Index(nItem), bPartialOK));
}
BOOL CListCtrl::Scroll(CSize size) { return static_cast<BOOL>(SendMessage(LVM_SCROLL, Index(size.cx), size.cy)); }
int CListCtrl::GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
int CListCtrl::GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
BOOL CListCtrl::RedrawItems(int nFirst, int nLast) { return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, Index(nFirst), nLast)); }
BOOL CListCtrl::Update(int nItem) { return static_cast<BOOL>(SendMessage(LVM_UPDATE, Index(nItem))); }

// CStatusBarCtrl

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create(STATUSCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CStatusBarCtrl::SetText(LPCSTR lpszText, int nPane, int nType)
{
  return static_cast<BOOL>(SendMessage(SB_SETTEXT, static_cast<WPARAM>(nPane | nType), Ptr(lpszText)));
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const
{
  const int length = GetTextLength(nPane);
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT answer = SendMessage(SB_GETTEXT, Index(nPane), Ptr(buffer.data()));
  if (pType != nullptr) {
    *pType = HIWORD(answer);
  }
  return CString(buffer.data());
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const
{
  const LRESULT answer = SendMessage(SB_GETTEXTLENGTH, Index(nPane));
  if (pType != nullptr) {
    *pType = HIWORD(answer);
  }
  return LOWORD(answer);
}

BOOL CStatusBarCtrl::SetParts(int nParts, int* pWidths)
{
  return static_cast<BOOL>(SendMessage(SB_SETPARTS, Index(nParts), Ptr(pWidths)));
}
int CStatusBarCtrl::GetParts(int nParts, int* pParts) const
{
  return static_cast<int>(SendMessage(SB_GETPARTS, Index(nParts), Ptr(pParts)));
}
BOOL CStatusBarCtrl::GetBorders(int* pBorders) const { return static_cast<BOOL>(SendMessage(SB_GETBORDERS, 0, Ptr(pBorders))); }
BOOL CStatusBarCtrl::GetBorders(int& nHorz, int& nVert, int& nSpacing) const
{
  int borders[3] = {0, 0, 0};
  const BOOL done = GetBorders(borders);
  nHorz = borders[0];
  nVert = borders[1];
  nSpacing = borders[2];
  return done;
}
void CStatusBarCtrl::SetMinHeight(int nMin) { SendMessage(SB_SETMINHEIGHT, Index(nMin)); }
BOOL CStatusBarCtrl::SetSimple(BOOL bSimple) { return static_cast<BOOL>(SendMessage(SB_SIMPLE, static_cast<WPARAM>(bSimple))); }
BOOL CStatusBarCtrl::IsSimple() const { return static_cast<BOOL>(SendMessage(SB_ISSIMPLE)); }
BOOL CStatusBarCtrl::GetRect(int nPane, LPRECT lpRect) const
{
  return static_cast<BOOL>(SendMessage(SB_GETRECT, Index(nPane), Ptr(lpRect)));
}

// CCheckListBox

BOOL CCheckListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  dwStyle = (dwStyle & ~LBS_OWNERDRAWVARIABLE) | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
  return CListBox::Create(dwStyle, rect, pParentWnd, nID);
}

void CCheckListBox::Catch() const
{
  const int count = m_hWnd != nullptr ? GetCount() : 0;
  if (count > static_cast<int>(m_marks.size())) {
    m_marks.resize(static_cast<std::size_t>(count));
  }
}

void CCheckListBox::SetCheck(int nIndex, int nCheck)
{
  Catch();
  if (nIndex < 0 || nIndex >= static_cast<int>(m_marks.size())) {
    return;
  }
  m_marks[static_cast<std::size_t>(nIndex)].check = nCheck;
  Invalidate();
}

int CCheckListBox::GetCheck(int nIndex) const
{
  Catch();
  return nIndex >= 0 && nIndex < static_cast<int>(m_marks.size()) ? m_marks[static_cast<std::size_t>(nIndex)].check
                                                                    : 0;
}

void CCheckListBox::Enable(int nIndex, BOOL bEnabled)
{
  Catch();
  if (nIndex >= 0 && nIndex < static_cast<int>(m_marks.size())) {
    m_marks[static_cast<std::size_t>(nIndex)].enabled = bEnabled != FALSE;
    Invalidate();
  }
}

BOOL CCheckListBox::IsEnabled(int nIndex) const
{
  Catch();
  return nIndex >= 0 && nIndex < static_cast<int>(m_marks.size()) && m_marks[static_cast<std::size_t>(nIndex)].enabled;
}

int CCheckListBox::BoxWidth() const { return std::max(13, GetItemHeight(0)) + 4; }

void CCheckListBox::Toggle(int nIndex)
{
  Catch();
  if (nIndex < 0 || nIndex >= static_cast<int>(m_marks.size()) || !m_marks[static_cast<std::size_t>(nIndex)].enabled) {
    return;
  }
  Mark& mark = m_marks[static_cast<std::size_t>(nIndex)];
  if (m_nStyle == BS_AUTOCHECKBOX) {
    mark.check = mark.check == 1 ? 0 : 1;
  } else if (m_nStyle == BS_AUTO3STATE) {
    mark.check = (mark.check + 1) % 3;
  }
  Invalidate();
  if (HWND parent = ::GetParent(m_hWnd)) {
    ::SendMessage(parent, WM_COMMAND, MAKEWPARAM(static_cast<UINT>(GetDlgCtrlID()), CLBN_CHKCHANGE),
                  reinterpret_cast<LPARAM>(m_hWnd));
  }
}

void CCheckListBox::Paint()
{
  Catch();
  // Asked before painting begins: the list box takes some of these questions for changes and repaints.
  const int height = std::max(1, GetItemHeight(0));
  const int box = BoxWidth();
  const int first = std::max(0, GetTopIndex());
  std::vector<bool> selected;
  for (int i = 0; i < GetCount(); ++i) {
    selected.push_back(GetSel(i) > 0);
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  CRect client;
  GetClientRect(&client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
  HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ oldFont = ::SelectObject(dc, font != nullptr ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(dc, TRANSPARENT);
  const bool focused = ::GetFocus() == m_hWnd;
  for (int i = first; i < static_cast<int>(selected.size()); ++i) {
    const int top = (i - first) * height;
    if (top >= client.bottom) {
      break;
    }
    const Mark& mark = m_marks[static_cast<std::size_t>(i)];
    RECT square{2, top + (height - 13) / 2, 15, top + (height - 13) / 2 + 13};
    UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
    if (mark.check != 0) {
      state |= DFCS_CHECKED;
    }
    if (mark.check == 2 || !mark.enabled) {
      state |= DFCS_INACTIVE;  // indeterminate and disabled boxes are greyed
    }
    ::DrawFrameControl(dc, &square, DFC_BUTTON, state);
    RECT label{box, top, client.right, top + height};
    if (selected[static_cast<std::size_t>(i)]) {
      ::FillRect(dc, &label, ::GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
    }
    ::SetTextColor(dc, !mark.enabled ? ::GetSysColor(COLOR_GRAYTEXT)
                       : selected[static_cast<std::size_t>(i)] && focused ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                                             : ::GetSysColor(COLOR_WINDOWTEXT));
    CString text;
    GetText(i, text);
    RECT textRect{label.left + 2, label.top, label.right, label.bottom};
    ::DrawText(dc, text, -1, &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (selected[static_cast<std::size_t>(i)] && focused) {
      ::DrawFocusRect(dc, &label);
    }
  }
  ::SelectObject(dc, oldFont);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CCheckListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  switch (message) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      Catch();
      const LRESULT at = CListBox::WindowProc(message, wParam, lParam);
      if (at >= 0 && at <= static_cast<LRESULT>(m_marks.size())) {
        m_marks.insert(m_marks.begin() + at, Mark{});
      }
      return at;
    }
    case LB_DELETESTRING: {
      Catch();
      const LRESULT left = CListBox::WindowProc(message, wParam, lParam);
      if (left != LB_ERR && wParam < m_marks.size()) {
        m_marks.erase(m_marks.begin() + static_cast<std::ptrdiff_t>(wParam));
      }
      return left;
    }
    case LB_RESETCONTENT: m_marks.clear(); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const LRESULT hit = SendMessage(LB_ITEMFROMPOINT, 0, lParam);
      const bool inside = HIWORD(hit) == 0;
      if (inside && GET_X_LPARAM(lParam) < BoxWidth()) {
        Toggle(LOWORD(hit));
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        Toggle(GetCurSel());
      }
      break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(); return 0;
    default: break;
  }
  return CListBox::WindowProc(message, wParam, lParam);
}
