// The standard controls as framework objects: CStatic, CButton, CEdit, CListBox, CComboBox and CScrollBar.
// Each is a thin layer of messages over the window system's control of the same kind, and adds no data, so a
// dialog binds one to its control with DDX_Control or SubclassDlgItem, or names a control for a moment through
// the class's own FromHandle.
#pragma once

#include "platform/mfc/wnd.h"
#include "platform/user/controls.h"

#include <memory>
#include <unordered_map>

namespace platform::mfc {

// The object for a control as class TControl: the bound object when it is one, else a temporary of that class
// (valid until the window goes; only to be used at once, as CWnd::FromHandle's).
template <class TControl>
TControl* ControlFromHandle(HWND hWnd)
{
  if (hWnd == nullptr) {
    return nullptr;
  }
  if (auto* bound = dynamic_cast<TControl*>(CWnd::FromHandlePermanent(hWnd))) {
    return bound;
  }
  struct Temporaries {
    std::unordered_map<HWND, std::unique_ptr<TControl>> objects;
    ~Temporaries()
    {
      for (auto& [hwnd, object] : objects) {
        object->m_hWnd = nullptr;  // a temporary never owns its window
      }
    }
  };
  thread_local Temporaries temporaries;
  // Forget the objects of windows that are gone before the table grows.
  if (temporaries.objects.size() >= 64) {
    std::erase_if(temporaries.objects, [](auto& entry) {
      if (::IsWindow(entry.first)) {
        return false;
      }
      entry.second->m_hWnd = nullptr;
      return true;
    });
  }
  auto& slot = temporaries.objects[hWnd];
  if (!slot) {
    slot = std::make_unique<TControl>();
    slot->m_hWnd = hWnd;
  }
  return slot.get();
}

// Binds `control` to the child `nID` of `pParent`, routing its messages through the object.
BOOL SubclassDlgItem(CWnd& control, UINT nID, CWnd* pParent);

}  // namespace platform::mfc

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
public:
  static CStatic* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CStatic>(hWnd); }
  BOOL Create(LPCSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  HICON SetIcon(HICON hIcon);
  HICON GetIcon() const;
  HBITMAP SetBitmap(HBITMAP hBitmap);
  HBITMAP GetBitmap() const;
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
public:
  static CButton* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CButton>(hWnd); }
  BOOL Create(LPCSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetCheck() const;
  void SetCheck(int nCheck);
  UINT GetState() const;
  void SetState(BOOL bHighlight);
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
public:
  static CEdit* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CEdit>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  DWORD GetSel() const;
  void GetSel(int& nStartChar, int& nEndChar) const;
  // From nStartChar up to nEndChar; 0, -1 selects all, -1 removes the selection.
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE);
  void ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo = FALSE);
  void Clear();
  void LimitText(int nChars = 0);
  void SetLimitText(UINT nMax) { LimitText(static_cast<int>(nMax)); }
  UINT GetLimitText() const;
  BOOL SetReadOnly(BOOL bReadOnly = TRUE);
  BOOL GetModify() const;
  void SetModify(BOOL bModified = TRUE);
  BOOL CanUndo() const;
  BOOL Undo();
  void EmptyUndoBuffer();
  int GetLineCount() const;
  void SetPasswordChar(char ch);
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)
public:
  static CListBox* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CListBox>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetCount() const;
  int AddString(LPCSTR lpszItem);
  int InsertString(int nIndex, LPCSTR lpszItem);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int GetCurSel() const;
  int SetCurSel(int nSelect);
  int GetSel(int nIndex) const;
  int SetSel(int nIndex, BOOL bSelect = TRUE);
  int GetText(int nIndex, LPSTR lpszBuffer) const;
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const;
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  int FindString(int nStartAfter, LPCSTR lpszItem) const;
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCSTR lpszItem);
  int GetTopIndex() const;
  int SetTopIndex(int nIndex);
  int GetItemHeight(int nIndex) const;
  int SetItemHeight(int nIndex, UINT cyItemHeight);
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)
public:
  static CComboBox* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CComboBox>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetCount() const;
  int AddString(LPCSTR lpszString);
  int InsertString(int nIndex, LPCSTR lpszString);
  int DeleteString(UINT nIndex);
  void ResetContent();
  int GetCurSel() const;
  int SetCurSel(int nSelect);
  int GetLBText(int nIndex, LPSTR lpszText) const;
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const;
  DWORD_PTR GetItemData(int nIndex) const;
  int SetItemData(int nIndex, DWORD_PTR dwItemData);
  int FindString(int nStartAfter, LPCSTR lpszString) const;
  int FindStringExact(int nIndexStart, LPCSTR lpszFind) const;
  int SelectString(int nStartAfter, LPCSTR lpszString);
  BOOL LimitText(int nMaxChars);
  DWORD GetEditSel() const;
  BOOL SetEditSel(int nStartChar, int nEndChar);
  void ShowDropDown(BOOL bShowIt = TRUE);
  BOOL GetDroppedState() const;
  int GetItemHeight(int nIndex) const;
  int SetItemHeight(int nIndex, UINT cyItemHeight);
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
public:
  static CScrollBar* FromHandle(HWND hWnd) { return platform::mfc::ControlFromHandle<CScrollBar>(hWnd); }
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent) { return platform::mfc::SubclassDlgItem(*this, nID, pParent); }

  int GetScrollPos() const;
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE);
  void GetScrollRange(int* lpMinPos, int* lpMaxPos) const;
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  int GetScrollLimit();
  void ShowScrollBar(BOOL bShow = TRUE);
  BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH);
};
