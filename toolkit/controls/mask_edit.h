// An edit control that takes input position by position: the text always has the length of its literal
// template, fixed characters stay, and each input position takes only what its mask letter allows.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/user/clipboard.h"
#include "platform/user/global_memory.h"

#include <cstring>

namespace tkmask {

// The framework's edit commands (the program's own ids header names them too, so they stay in here).
inline constexpr UINT kEditClear = 0xE120;
inline constexpr UINT kEditCopy = 0xE122;
inline constexpr UINT kEditCut = 0xE123;
inline constexpr UINT kEditPaste = 0xE125;
inline constexpr UINT kEditSelectAll = 0xE12A;
inline constexpr UINT kEditUndo = 0xE12B;

// Alphabetic for the C runtime, or changed by the code page's case conversion (Cyrillic of 1251 counts).
bool IsAlphaChar(char ch);
bool IsPrintChar(char ch);
// The mask letter's test; the character may come back in another case ('<', '>').
bool ProcessMaskLetter(char& ch, char letter);
char ToUpper(char ch);
char ToLower(char ch);

}  // namespace tkmask

template <class BASE>
class CTKMaskEditT : public BASE {
public:
  // False, with nothing changed, when mask and literal differ in length.
  virtual BOOL SetEditMask(LPCSTR lpszMask, LPCSTR lpszLiteral, LPCSTR lpszDefault = nullptr)
  {
    const CString mask(lpszMask ? lpszMask : "");
    const CString literal(lpszLiteral ? lpszLiteral : "");
    if (mask.GetLength() != literal.GetLength())
      return FALSE;
    m_strMask = mask;
    m_strLiteral = literal;
    if (lpszDefault) {
      m_strDefault = m_strWindowText = lpszDefault;
      if (m_strDefault.GetLength() != m_strLiteral.GetLength()) {
        m_strWindowText.Empty();
        ApplyText(CString(lpszDefault), 0, false);
        m_strDefault = m_strWindowText;
      }
    } else {
      m_strDefault = m_strWindowText = m_strLiteral;
    }
    m_bRedo = FALSE;
    m_bModified = FALSE;
    if (this->GetSafeHwnd())
      this->SetWindowText(m_strWindowText);
    m_strUndo = m_strWindowText;
    return TRUE;
  }

  virtual BOOL CheckChar(char& nChar, int nPos)
  {
    if (!CanUseMask())
      return FALSE;
    if (!IsPrintChar(nChar))
      return TRUE;
    if (!IsInputPos(nPos))
      return FALSE;
    return ProcessMask(nChar, nPos);
  }
  virtual BOOL ProcessMask(char& nChar, int nPos)
  {
    if (nPos < 0 || nPos >= m_strMask.GetLength())
      return FALSE;
    return tkmask::ProcessMaskLetter(nChar, m_strMask[nPos]) ? TRUE : FALSE;
  }
  virtual BOOL IsPrintChar(char nChar) { return tkmask::IsPrintChar(nChar) ? TRUE : FALSE; }
  virtual BOOL IsAlphaChar(char nChar) { return tkmask::IsAlphaChar(nChar) ? TRUE : FALSE; }
  virtual void NotifyPosNotInRange() { MessageBeep(static_cast<UINT>(-1)); }
  virtual void NotifyInvalidCharacter(char /*nChar*/, char /*chMask*/) { MessageBeep(static_cast<UINT>(-1)); }

  void SetPromptChar(char ch, BOOL bUpdate = TRUE)
  {
    if (ch == m_chPrompt)
      return;
    if (bUpdate) {
      ReadControl(true);
      for (int i = 0; i < m_strLiteral.GetLength(); ++i)
        if (m_strLiteral[i] == m_chPrompt)
          m_strLiteral.SetAt(i, ch);
      for (int i = 0; i < m_strWindowText.GetLength(); ++i)
        if (m_strWindowText[i] == m_chPrompt)
          m_strWindowText.SetAt(i, ch);
      m_chPrompt = ch;
      UpdateWindowText(true);
    }
    m_chPrompt = ch;
  }
  char GetPromptChar() const { return m_chPrompt; }
  void SetUseMask(BOOL bUseMask) { m_bUseMask = bUseMask; }
  BOOL IsOverType() const { return m_bOverType; }
  BOOL IsModified() const { return m_bModified; }

  BOOL CanUseMask() const
  {
    return m_bUseMask && this->GetSafeHwnd() && (this->GetStyle() & ES_READONLY) == 0 && !m_strMask.IsEmpty();
  }

  void MaskCopy()
  {
    ReadControl(true);
    const CString raw = RawInput(m_nStartChar, m_nEndChar);
    if (!::OpenClipboard(this->GetSafeHwnd()))
      return;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(raw.GetLength()) + 1);
    if (block) {
      char* text = static_cast<char*>(::GlobalLock(block));
      std::memcpy(text, static_cast<LPCSTR>(raw), static_cast<size_t>(raw.GetLength()) + 1);
      ::GlobalUnlock(block);
      ::SetClipboardData(CF_TEXT, block);
    }
    ::CloseClipboard();
  }
  void MaskCut()
  {
    MaskCopy();
    MaskClear();
  }
  void MaskClear()
  {
    ReadControl(true);
    DeleteSelection();
    UpdateWindowText(true);
  }
  void MaskPaste()
  {
    ReadControl(true);
    if (!::OpenClipboard(this->GetSafeHwnd()))
      return;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const char* clip = data ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (clip) {
      const CString text(clip);
      ::GlobalUnlock(data);
      DeleteSelection();
      int nPos = m_nStartChar;
      for (int i = 0; i < text.GetLength() && nPos < m_strWindowText.GetLength(); ++i) {
        char ch = text[i];
        if (ch == m_chPrompt || CheckChar(ch, nPos)) {
          InsertCharAt(ch, nPos);
          nPos = SnapForward(nPos + 1);
        }
      }
      m_nStartChar = m_nEndChar = SnapForward(nPos);
      UpdateWindowText(true);
    }
    ::CloseClipboard();
  }
  void MaskUndo()
  {
    int nStart = 0, nEnd = 0;
    this->GetSel(nStart, nEnd);
    if (m_bRedo) {
      this->SetWindowText(m_strRedo);
    } else {
      m_strRedo = this->GetWindowTextString();
      this->SetWindowText(m_strUndo);
    }
    m_bModified = TRUE;
    m_bRedo = !m_bRedo;
    this->SetSel(nStart, nStart);
  }
  void MaskSelectAll() { this->SetSel(CanUseMask() ? FirstInputPos() : 0, -1); }

  BOOL PreTranslateMessage(MSG* pMsg) override
  {
    if (pMsg->message == WM_KEYDOWN && CanUseMask()) {
      if (::GetKeyState(VK_SUBTRACT) < 0) {
        OnMaskChar('-');
        return TRUE;
      }
      if (::GetKeyState(VK_ADD) < 0) {
        OnMaskChar('+');
        return TRUE;
      }
      if (::GetKeyState(VK_CONTROL) < 0) {
        switch (pMsg->wParam) {
          case 'C': case 'c': MaskCopy(); return TRUE;
          case 'V': case 'v': MaskPaste(); return TRUE;
          case 'X': case 'x': MaskCut(); return TRUE;
          case 'Z': case 'z': MaskUndo(); return TRUE;
          default: break;
        }
      }
    }
    return BASE::PreTranslateMessage(pMsg);
  }

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
  {
    if (!CanUseMask())
      return BASE::WindowProc(message, wParam, lParam);
    switch (message) {
      case WM_CHAR:
        if (OnMaskChar(static_cast<char>(wParam)))
          return 0;
        break;
      case WM_KEYDOWN:
        if (OnMaskKeyDown(static_cast<UINT>(wParam)))
          return 0;
        break;
      case WM_SETFOCUS: {
        const LRESULT result = BASE::WindowProc(message, wParam, lParam);
        if (CanUseMask()) {
          int nStart = 0, nEnd = 0;
          this->GetSel(nStart, nEnd);
          nStart = SnapForward(nStart);
          this->SetSel(nStart, nStart);
        }
        return result;
      }
      case WM_CUT: MaskCut(); return 0;
      case WM_COPY: MaskCopy(); return 0;
      case WM_PASTE: MaskPaste(); return 0;
      case WM_CLEAR: MaskClear(); return 0;
      case WM_UNDO:
      case EM_UNDO: MaskUndo(); return TRUE;
      case WM_COMMAND:
        switch (LOWORD(wParam)) {
          case tkmask::kEditClear: MaskClear(); return 0;
          case tkmask::kEditCopy: MaskCopy(); return 0;
          case tkmask::kEditCut: MaskCut(); return 0;
          case tkmask::kEditPaste: MaskPaste(); return 0;
          case tkmask::kEditSelectAll: MaskSelectAll(); return 0;
          case tkmask::kEditUndo: MaskUndo(); return 0;
          default: break;
        }
        break;
      default: break;
    }
    return BASE::WindowProc(message, wParam, lParam);
  }

  // True when the character was taken here.
  BOOL OnMaskChar(char ch)
  {
    if (ch == VK_BACK || ch == ' ')
      return TRUE;
    ReadControl(true);
    if (!IsInputPos(m_nStartChar)) {
      NotifyPosNotInRange();
      return TRUE;
    }
    if (!CheckChar(ch, m_nStartChar)) {
      NotifyInvalidCharacter(ch, m_strMask[m_nStartChar]);
      return TRUE;
    }
    if (IsPrintChar(ch)) {
      InsertChar(ch);
      UpdateWindowText(false);
      return TRUE;
    }
    return ch == 127;
  }

  BOOL OnMaskKeyDown(UINT nChar)
  {
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const int length = m_strLiteral.GetLength();
    switch (nChar) {
      case VK_BACK: {
        ReadControl(false);
        if (m_nStartChar == 0 || m_nStartChar > length) {
          NotifyPosNotInRange();
          return TRUE;
        }
        if (m_nStartChar == m_nEndChar) {
          const int nOld = m_nStartChar;
          const int nNew = SnapBackward(nOld - 1);
          if (m_bOverType) {
            if (nNew < m_strWindowText.GetLength())
              m_strWindowText.SetAt(nNew, nNew < m_strDefault.GetLength() ? m_strDefault[nNew] : m_chPrompt);
          } else if (nNew < nOld) {
            ApplyText(RawInput(nOld, length), nNew, false);
          }
          m_nStartChar = m_nEndChar = nNew;
        } else {
          DeleteSelection();
        }
        UpdateWindowText(true);
        return TRUE;
      }
      case VK_SPACE: {
        ReadControl(true);
        if (!IsInputPos(m_nStartChar)) {
          NotifyPosNotInRange();
          return TRUE;
        }
        char ch = ' ';
        if (!ProcessMask(ch, m_nStartChar))
          ch = m_chPrompt;
        InsertChar(ch);
        UpdateWindowText(true);
        return TRUE;
      }
      case VK_END: case VK_RIGHT: case VK_DOWN: {
        BASE::WindowProc(WM_KEYDOWN, nChar, 0);
        int nStart = 0, nEnd = 0;
        this->GetSel(nStart, nEnd);
        const int nLimit = LastInputPos() + 1;
        if (nEnd > nLimit) {
          nEnd = nLimit;
          if (!shift)
            nStart = nEnd;
        }
        this->SetSel(nStart, nEnd);
        return TRUE;
      }
      case VK_HOME: case VK_LEFT: case VK_UP: {
        BASE::WindowProc(WM_KEYDOWN, nChar, 0);
        int nStart = 0, nEnd = 0;
        this->GetSel(nStart, nEnd);
        const int nFirst = FirstInputPos();
        if (nStart < nFirst) {
          nStart = nFirst;
          if (!shift)
            nEnd = nStart;
        }
        this->SetSel(nStart, nEnd);
        return TRUE;
      }
      case VK_INSERT:
        if (ctrl)
          MaskCopy();
        else if (shift)
          MaskPaste();
        else
          m_bOverType = !m_bOverType;
        return TRUE;
      case VK_DELETE: {
        ReadControl(true);
        if (m_nStartChar >= length) {
          NotifyPosNotInRange();
          return TRUE;
        }
        if (m_nStartChar == m_nEndChar)
          m_nEndChar = m_nStartChar + 1;
        else if (shift)
          MaskCopy();
        DeleteSelection();
        UpdateWindowText(true);
        return TRUE;
      }
      default: return FALSE;
    }
  }

  bool IsInputPos(int nPos) const
  {
    return nPos >= 0 && nPos < m_strLiteral.GetLength() && m_strLiteral[nPos] == m_chPrompt;
  }
  int FirstInputPos() const
  {
    for (int i = 0; i < m_strLiteral.GetLength(); ++i)
      if (IsInputPos(i))
        return i;
    return 0;
  }
  int LastInputPos() const
  {
    for (int i = m_strLiteral.GetLength() - 1; i >= 0; --i)
      if (IsInputPos(i))
        return i;
    return -1;
  }
  int SnapForward(int nPos) const
  {
    for (int i = nPos < 0 ? 0 : nPos; i < m_strLiteral.GetLength(); ++i)
      if (IsInputPos(i))
        return i;
    return LastInputPos() + 1;
  }
  int SnapBackward(int nPos) const
  {
    for (int i = nPos < m_strLiteral.GetLength() ? nPos : m_strLiteral.GetLength() - 1; i >= 0; --i)
      if (IsInputPos(i))
        return i;
    return FirstInputPos();
  }

  void NormalizeWorkingText()
  {
    const int length = m_strLiteral.GetLength();
    if (m_strWindowText.GetLength() > length)
      m_strWindowText = m_strWindowText.Left(length);
    else if (m_strWindowText.GetLength() < length)
      m_strWindowText += m_strLiteral.Mid(m_strWindowText.GetLength());
  }

  void ReadControl(bool bSnap)
  {
    this->GetSel(m_nStartChar, m_nEndChar);
    m_strWindowText = this->GetWindowTextString();
    NormalizeWorkingText();
    if (bSnap) {
      m_nStartChar = SnapForward(m_nStartChar);
      m_nEndChar = SnapForward(m_nEndChar);
      if (m_nEndChar < m_nStartChar)
        m_nEndChar = m_nStartChar;
    }
  }

  // The working text from nPos on becomes the text fitted into the input positions.
  void ApplyText(const CString& strText, int nPos, bool bUpdate)
  {
    const int length = m_strLiteral.GetLength();
    if (nPos < 0)
      nPos = 0;
    if (nPos > length)
      nPos = length;
    m_strWindowText = m_strWindowText.Left(nPos);
    if (m_strWindowText.GetLength() < nPos)
      m_strWindowText += m_strLiteral.Mid(m_strWindowText.GetLength(), nPos - m_strWindowText.GetLength());
    int nText = 0;
    for (int i = nPos; i < length && nText < strText.GetLength(); ++i) {
      if (IsInputPos(i)) {
        char ch = strText[nText];
        if (ch == m_chPrompt || ProcessMask(ch, i)) {
          m_strWindowText += ch;
          ++nText;
        } else {
          m_strWindowText += m_strLiteral[i];
        }
      } else {
        m_strWindowText += m_strLiteral[i];
      }
    }
    NormalizeWorkingText();
    if (bUpdate)
      UpdateWindowText(false);
  }

  CString RawInput(int nFrom, int nTo) const
  {
    CString raw;
    const int nEnd = nTo < m_strWindowText.GetLength() ? nTo : m_strWindowText.GetLength();
    for (int i = nFrom < 0 ? 0 : nFrom; i < nEnd; ++i)
      if (IsInputPos(i))
        raw += m_strWindowText[i];
    return raw;
  }

  void DeleteSelection()
  {
    if (m_nStartChar == m_nEndChar)
      return;
    ApplyText(RawInput(m_nEndChar, m_strLiteral.GetLength()), m_nStartChar, false);
    m_nEndChar = m_nStartChar;
  }

  void InsertCharAt(char ch, int nPos)
  {
    if (nPos < 0 || nPos >= m_strLiteral.GetLength())
      return;
    CString text(ch, 1);
    text += RawInput(nPos, m_strLiteral.GetLength());
    ApplyText(text, nPos, false);
  }

  void InsertChar(char ch)
  {
    const int length = m_strLiteral.GetLength();
    if (m_nStartChar >= length) {
      NotifyPosNotInRange();
      return;
    }
    DeleteSelection();
    m_nStartChar = SnapForward(m_nStartChar);
    if (m_nStartChar >= length)
      return;
    if (m_bOverType) {
      if (ch == m_chPrompt || ProcessMask(ch, m_nStartChar))
        m_strWindowText.SetAt(m_nStartChar, ch);
    } else {
      InsertCharAt(ch, m_nStartChar);
    }
    m_nStartChar = SnapForward(m_nStartChar + 1);
    m_nEndChar = m_nStartChar;
  }

  void UpdateWindowText(bool bUndoPoint)
  {
    const CString current = this->GetWindowTextString();
    NormalizeWorkingText();
    ::HideCaret(this->GetSafeHwnd());
    if (current != m_strWindowText) {
      this->SetWindowText(m_strWindowText);
      if (bUndoPoint || m_bLastUpdateUndo)
        m_strUndo = current;
      m_bRedo = FALSE;
      m_bModified = TRUE;
    }
    m_bLastUpdateUndo = bUndoPoint;
    this->SetSel(m_nStartChar, m_nEndChar);
    ::ShowCaret(this->GetSafeHwnd());
  }

  int m_nStartChar = 0;
  int m_nEndChar = 0;
  BOOL m_bUseMask = TRUE;
  BOOL m_bOverType = FALSE;
  BOOL m_bRedo = FALSE;
  BOOL m_bModified = FALSE;
  char m_chPrompt = '_';
  CString m_strMask;
  CString m_strDefault;
  CString m_strUndo;
  CString m_strRedo;
  CString m_strWindowText;
  CString m_strLiteral;
  bool m_bLastUpdateUndo = true;
};
