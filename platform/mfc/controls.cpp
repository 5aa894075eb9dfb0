#include "platform/mfc/controls.h"

#include <vector>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CListBox, CWnd)
IMPLEMENT_DYNAMIC(CComboBox, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

namespace platform::mfc {

BOOL SubclassDlgItem(CWnd& control, UINT nID, CWnd* pParent)
{
  if (pParent == nullptr || pParent->m_hWnd == nullptr) {
    return FALSE;
  }
  HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
  return hWndControl != nullptr && control.SubclassWindow(hWndControl);
}

}  // namespace platform::mfc

namespace {

int Answer(const CWnd* pWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
  return static_cast<int>(pWnd->SendMessage(message, wParam, lParam));
}

LPARAM TextParam(LPCSTR text) { return reinterpret_cast<LPARAM>(text); }

WPARAM IndexParam(int nIndex) { return static_cast<WPARAM>(static_cast<INT_PTR>(nIndex)); }

}  // namespace

// CStatic

BOOL CStatic::Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("Static", lpszText, dwStyle, rect, pParentWnd, nID);
}

HICON CStatic::SetIcon(HICON hIcon)
{
  return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(hIcon), 0));
}

HICON CStatic::GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON, 0, 0)); }

HBITMAP CStatic::SetBitmap(HBITMAP hBitmap)
{
  constexpr WPARAM kImageBitmap = 0;
  return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, kImageBitmap, reinterpret_cast<LPARAM>(hBitmap)));
}

HBITMAP CStatic::GetBitmap() const { return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, 0, 0)); }

// CButton

BOOL CButton::Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("Button", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

int CButton::GetCheck() const { return Answer(this, BM_GETCHECK); }
void CButton::SetCheck(int nCheck) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0); }
UINT CButton::GetState() const { return static_cast<UINT>(Answer(this, BM_GETSTATE)); }
void CButton::SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, static_cast<WPARAM>(bHighlight), 0); }
UINT CButton::GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
  SendMessage(BM_SETSTYLE, nStyle, static_cast<LPARAM>(bRedraw));
}

// CEdit

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("Edit", nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CEdit::GetSel() const { return static_cast<DWORD>(SendMessage(EM_GETSEL, 0, 0)); }

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
  DWORD start = 0;
  DWORD end = 0;
  SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  nStartChar = static_cast<int>(start);
  nEndChar = static_cast<int>(end);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL bNoScroll)
{
  SendMessage(EM_SETSEL, IndexParam(nStartChar), nEndChar);
  if (!bNoScroll) {
    SendMessage(EM_SCROLLCARET, 0, 0);
  }
}

void CEdit::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
  SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), TextParam(lpszNewText));
}

void CEdit::Clear() { SendMessage(WM_CLEAR, 0, 0); }
void CEdit::LimitText(int nChars) { SendMessage(EM_LIMITTEXT, IndexParam(nChars), 0); }
UINT CEdit::GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT, 0, 0)); }
BOOL CEdit::SetReadOnly(BOOL bReadOnly) { return Answer(this, EM_SETREADONLY, static_cast<WPARAM>(bReadOnly)); }
BOOL CEdit::GetModify() const { return Answer(this, EM_GETMODIFY) != 0; }
void CEdit::SetModify(BOOL bModified) { SendMessage(EM_SETMODIFY, static_cast<WPARAM>(bModified), 0); }
BOOL CEdit::CanUndo() const { return Answer(this, EM_CANUNDO) != 0; }
BOOL CEdit::Undo() { return Answer(this, EM_UNDO) != 0; }
void CEdit::EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER, 0, 0); }
int CEdit::GetLineCount() const { return Answer(this, EM_GETLINECOUNT); }
void CEdit::SetPasswordChar(char ch) { SendMessage(EM_SETPASSWORDCHAR, static_cast<BYTE>(ch), 0); }

// CListBox

BOOL CListBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("ListBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CListBox::GetCount() const { return Answer(this, LB_GETCOUNT); }
int CListBox::AddString(LPCSTR lpszItem) { return Answer(this, LB_ADDSTRING, 0, TextParam(lpszItem)); }
int CListBox::InsertString(int nIndex, LPCSTR lpszItem)
{
  return Answer(this, LB_INSERTSTRING, IndexParam(nIndex), TextParam(lpszItem));
}
int CListBox::DeleteString(UINT nIndex) { return Answer(this, LB_DELETESTRING, nIndex); }
void CListBox::ResetContent() { SendMessage(LB_RESETCONTENT, 0, 0); }
int CListBox::GetCurSel() const { return Answer(this, LB_GETCURSEL); }
int CListBox::SetCurSel(int nSelect) { return Answer(this, LB_SETCURSEL, IndexParam(nSelect)); }
int CListBox::GetSel(int nIndex) const { return Answer(this, LB_GETSEL, IndexParam(nIndex)); }
int CListBox::SetSel(int nIndex, BOOL bSelect) { return Answer(this, LB_SETSEL, static_cast<WPARAM>(bSelect), nIndex); }
int CListBox::GetText(int nIndex, LPSTR lpszBuffer) const
{
  return Answer(this, LB_GETTEXT, IndexParam(nIndex), reinterpret_cast<LPARAM>(lpszBuffer));
}
void CListBox::GetText(int nIndex, CString& rString) const
{
  int length = GetTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  GetText(nIndex, buffer.data());
  rString = buffer.data();
}
int CListBox::GetTextLen(int nIndex) const { return Answer(this, LB_GETTEXTLEN, IndexParam(nIndex)); }
DWORD_PTR CListBox::GetItemData(int nIndex) const
{
  return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, IndexParam(nIndex), 0));
}
int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
  return Answer(this, LB_SETITEMDATA, IndexParam(nIndex), static_cast<LPARAM>(dwItemData));
}
int CListBox::FindString(int nStartAfter, LPCSTR lpszItem) const
{
  return Answer(this, LB_FINDSTRING, IndexParam(nStartAfter), TextParam(lpszItem));
}
int CListBox::FindStringExact(int nIndexStart, LPCSTR lpszFind) const
{
  return Answer(this, LB_FINDSTRINGEXACT, IndexParam(nIndexStart), TextParam(lpszFind));
}
int CListBox::SelectString(int nStartAfter, LPCSTR lpszItem)
{
  return Answer(this, LB_SELECTSTRING, IndexParam(nStartAfter), TextParam(lpszItem));
}
int CListBox::GetTopIndex() const { return Answer(this, LB_GETTOPINDEX); }
int CListBox::SetTopIndex(int nIndex) { return Answer(this, LB_SETTOPINDEX, IndexParam(nIndex)); }
int CListBox::GetItemHeight(int nIndex) const { return Answer(this, LB_GETITEMHEIGHT, IndexParam(nIndex)); }
int CListBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
  return Answer(this, LB_SETITEMHEIGHT, IndexParam(nIndex), static_cast<LPARAM>(cyItemHeight));
}

// CComboBox

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("ComboBox", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CComboBox::GetCount() const { return Answer(this, CB_GETCOUNT); }
int CComboBox::AddString(LPCSTR lpszString) { return Answer(this, CB_ADDSTRING, 0, TextParam(lpszString)); }
int CComboBox::InsertString(int nIndex, LPCSTR lpszString)
{
  return Answer(this, CB_INSERTSTRING, IndexParam(nIndex), TextParam(lpszString));
}
int CComboBox::DeleteString(UINT nIndex) { return Answer(this, CB_DELETESTRING, nIndex); }
void CComboBox::ResetContent() { SendMessage(CB_RESETCONTENT, 0, 0); }
int CComboBox::GetCurSel() const { return Answer(this, CB_GETCURSEL); }
int CComboBox::SetCurSel(int nSelect) { return Answer(this, CB_SETCURSEL, IndexParam(nSelect)); }
int CComboBox::GetLBText(int nIndex, LPSTR lpszText) const
{
  return Answer(this, CB_GETLBTEXT, IndexParam(nIndex), reinterpret_cast<LPARAM>(lpszText));
}
void CComboBox::GetLBText(int nIndex, CString& rString) const
{
  int length = GetLBTextLen(nIndex);
  if (length < 0) {
    rString.Empty();
    return;
  }
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
  GetLBText(nIndex, buffer.data());
  rString = buffer.data();
}
int CComboBox::GetLBTextLen(int nIndex) const { return Answer(this, CB_GETLBTEXTLEN, IndexParam(nIndex)); }
DWORD_PTR CComboBox::GetItemData(int nIndex) const
{
  return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, IndexParam(nIndex), 0));
}
int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
  return Answer(this, CB_SETITEMDATA, IndexParam(nIndex), static_cast<LPARAM>(dwItemData));
}
int CComboBox::FindString(int nStartAfter, LPCSTR lpszString) const
{
  return Answer(this, CB_FINDSTRING, IndexParam(nStartAfter), TextParam(lpszString));
}
int CComboBox::FindStringExact(int nIndexStart, LPCSTR lpszFind) const
{
  return Answer(this, CB_FINDSTRINGEXACT, IndexParam(nIndexStart), TextParam(lpszFind));
}
int CComboBox::SelectString(int nStartAfter, LPCSTR lpszString)
{
  return Answer(this, CB_SELECTSTRING, IndexParam(nStartAfter), TextParam(lpszString));
}
BOOL CComboBox::LimitText(int nMaxChars) { return Answer(this, CB_LIMITTEXT, IndexParam(nMaxChars)); }
DWORD CComboBox::GetEditSel() const { return static_cast<DWORD>(SendMessage(CB_GETEDITSEL, 0, 0)); }
BOOL CComboBox::SetEditSel(int nStartChar, int nEndChar)
{
  return Answer(this, CB_SETEDITSEL, 0,
                static_cast<LPARAM>(MAKELONG(static_cast<unsigned>(nStartChar), static_cast<unsigned>(nEndChar))));
}
void CComboBox::ShowDropDown(BOOL bShowIt) { SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(bShowIt), 0); }
BOOL CComboBox::GetDroppedState() const { return Answer(this, CB_GETDROPPEDSTATE) != 0; }
int CComboBox::GetItemHeight(int nIndex) const { return Answer(this, CB_GETITEMHEIGHT, IndexParam(nIndex)); }
int CComboBox::SetItemHeight(int nIndex, UINT cyItemHeight)
{
  return Answer(this, CB_SETITEMHEIGHT, IndexParam(nIndex), static_cast<LPARAM>(cyItemHeight));
}

// CScrollBar

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
  return CWnd::Create("ScrollBar", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CScrollBar::GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
int CScrollBar::SetScrollPos(int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
void CScrollBar::GetScrollRange(int* lpMinPos, int* lpMaxPos) const
{
  ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
}
void CScrollBar::SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw)
{
  ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
}
BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
}
BOOL CScrollBar::SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
  ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
  return TRUE;
}
int CScrollBar::GetScrollLimit()
{
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE;
  if (!::GetScrollInfo(m_hWnd, SB_CTL, &info)) {
    return 0;
  }
  int page = info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0;
  return info.nMax - page;
}
void CScrollBar::ShowScrollBar(BOOL bShow) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
BOOL CScrollBar::EnableScrollBar(UINT nArrowFlags) { return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags); }
