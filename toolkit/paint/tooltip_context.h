// Tooltips of a group of toolkit windows (the bars of one set of command bars, the panes of one manager, the
// status bar). The windows pass their mouse and keyboard messages to the shared context; it asks the window
// under the mouse for a tool (CWnd::OnToolHitTest), keeps one tip window per owner, registers the tool with it
// and relays the mouse events. The context holds the policy: style, width, margins, colours, delays, titles.
#pragma once

#include "platform/mfc/afxcmn.h"
#include "platform/mfc/afxwin.h"
#include "platform/mfc-core/array.h"

#include <cstddef>

// The pair the last member of a TOOLINFO points to when tools are asked for a title: heap strings the relay
// frees after use.
struct TK_TOOLINFO_EXTENSION {
  LPSTR lpszText = nullptr;
  LPSTR lpszTitle = nullptr;
};

// A TOOLINFO whose size reaches its last member carries the title extension; the older, shorter form does not.
inline constexpr UINT TK_TOOLINFO_SIZE = sizeof(TOOLINFO);
inline constexpr UINT TK_TOOLINFO_SIZE_NO_EXTENSION = offsetof(TOOLINFO, lpReserved);

// The tool's flags that are the framework's own and never reach a tip window; the second asks to be shown
// whether or not the window's top parent is active.
inline constexpr UINT TK_TTF_PRIVATE_BITS = 0xC0000000u;
inline constexpr UINT TK_TTF_ALWAYSTIP = 0x40000000u;

// A child window that answers this message with 1 is stood for by its parent in tip hit tests (the edit
// windows of bar controls).
inline constexpr UINT TK_WM_TOOLTIPPARENT = 10824;

class CTKToolTipContext;

// The toolkit's own tip window (styles 2 and 4): it understands the system tip control's messages, shows a
// tool after 500 ms, or at once within 200 ms of the last show or hide, and hides on a press or when the mouse
// leaves the tool's window.
class CTKToolTipContextToolTip : public CWnd {
public:
  struct TOOLITEM {
    CString strText;
    BOOL bTextCallback = FALSE;
    UINT uFlags = 0;
    RECT rect{};
    HINSTANCE hInst = nullptr;
    HWND hWnd = nullptr;
    UINT_PTR uId = 0;

    BOOL IsEmpty() const { return hWnd == nullptr; }
    BOOL IsSame(const TOOLITEM& other) const { return hWnd == other.hWnd && uId == other.uId; }
  };

  static constexpr UINT_PTR kDelayTimer = 1;

  explicit CTKToolTipContextToolTip(CTKToolTipContext* pContext);
  ~CTKToolTipContextToolTip() override;

  BOOL Create(CWnd* pOwner, DWORD dwStyle);
  BOOL IsActive() const { return m_bActive; }
  const TOOLITEM& GetCurrentTool() const { return m_toolCurrent; }
  INT_PTR GetToolCount() const { return m_arrTools.GetSize(); }
  const CString& GetTitle() const { return m_strTitle; }

  virtual CSize CalcTipSize(TOOLITEM& tool);
  virtual void DrawContent(CDC* pDC, TOOLITEM& tool, CRect rc);
  virtual void DrawBackground(CDC* pDC, TOOLITEM& tool, CRect rc);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  int m_nDelay = 500;
  int m_nQuickSwitch = 200;

protected:
  const CTKToolTipContext* Context() const { return m_pContext; }
  CFont& Font() { return m_font; }
  CString GetToolText(TOOLITEM& tool);
  void ShowTool(const TOOLITEM* pTool);
  TOOLITEM ToolFromCursor();
  void RelayEvent(const MSG* pMsg);
  void OnTimer(UINT_PTR nIDEvent);
  void OnPaint();
  TOOLITEM* FindTool(HWND hWnd, UINT_PTR uId);
  void SetMouseHook(BOOL bSet);
  static LRESULT MouseProc(int nCode, WPARAM wParam, LPARAM lParam);

  CArray<TOOLITEM*, TOOLITEM*> m_arrTools;
  BOOL m_bActive = FALSE;
  CTKToolTipContext* m_pContext;
  TOOLITEM m_toolCurrent;
  TOOLITEM m_toolPressed;
  TOOLITEM m_toolPending;
  CFont m_font;
  UINT_PTR m_nTimer = 0;
  DWORD m_dwLastChange = 0;
  CString m_strTitle;
  HWND m_hWndOwner = nullptr;
};

class CTKToolTipContext : public CCmdTarget {
public:
  enum Style { tkStyleStandard = 0, tkStyleBalloon = 1, tkStyleOwnerDrawn = 2, tkStyleRichText = 3, tkStyleLuna = 4 };

  // The system's tip control, answering TTM_WINDOWFROMPOINT by the toolkit's window rule.
  class CStandardToolTip : public CToolTipCtrl {
  public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  };

  // The own tip whose text is rich text, laid out by a hidden rich edit child as narrow as it can be without
  // needing more lines than at the maximum width.
  class CRichEditToolTip : public CTKToolTipContextToolTip {
  public:
    using CTKToolTipContextToolTip::CTKToolTipContextToolTip;
    CSize CalcTipSize(TOOLITEM& tool) override;
    void DrawContent(CDC* pDC, TOOLITEM& tool, CRect rc) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // The size the text needs at width cx, asked of the rich edit.
    CSize NeededSize(int cx);

    CWnd m_wndRichEdit;
    int m_nRequestedWidth = 0;
    int m_nRequestedHeight = 0;
  };

  // The own tip on a gradient in the colours of the desktop scheme.
  class CLunaToolTip : public CTKToolTipContextToolTip {
  public:
    using CTKToolTipContextToolTip::CTKToolTipContextToolTip;
    void DrawBackground(CDC* pDC, TOOLITEM& tool, CRect rc) override;
  };

  CTKToolTipContext();
  ~CTKToolTipContext() override;
  CTKToolTipContext(const CTKToolTipContext&) = delete;
  CTKToolTipContext& operator=(const CTKToolTipContext&) = delete;

  // Owners call these first thing for every message they get.
  void FilterToolTipMessage(CWnd* pWnd, UINT message, WPARAM wParam, LPARAM lParam);
  void FilterToolTipMessage(CWnd* pWnd, MSG* pMsg);
  void RelayToolTipMessage(CWnd* pWnd, MSG* pMsg, BOOL bForced = FALSE);

  void ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd);
  void CancelToolTips();
  // What OnToolHitTest answers fill in: the tool, a heap copy of its text and, in the long form with both a
  // description and a title, the extension pair (description, title).
  static void FillInToolInfo(TOOLINFO* pTI, HWND hWnd, CRect rect, INT_PTR nHit, const CString& strTip,
                             const CString& strTitle = CString(), const CString& strDescription = CString());
  // The window rule: the window under the point, or the parent of a child that says its parent stands for it.
  static HWND WindowFromPoint(POINT ptScreen);

  int GetMaxTipWidth() const { return m_nMaxTipWidth; }
  COLORREF GetTipBkColor() const;
  COLORREF GetTipTextColor() const;
  CWnd* GetTipWindow() const { return m_pToolTip; }
  int GetStyle() const { return m_nStyle; }
  void SetStyle(int nStyle);
  DWORD GetToolTipStyle() const { return m_dwStyle; }

  virtual CWnd* MakeTipWindow(CWnd* pOwner);

  BOOL m_bShowTitle = FALSE;
  int m_nStyle = tkStyleStandard;
  int m_nComCtlVersion = 0;
  int m_nTitleIcon = 1;
  int m_nMaxTipWidth = 0;
  DWORD m_dwStyle = TTS_NOPREFIX;
  CRect m_rcMargin;
  int m_nInitialDelay = -1;
  int m_nReshowDelay = -1;
  int m_nAutoPopDelay = -1;
  CWnd* m_pToolTip = nullptr;
  TOOLINFO m_lastInfo;
  COLORREF m_clrBack = static_cast<COLORREF>(-1);
  COLORREF m_clrText = static_cast<COLORREF>(-1);

private:
  void DestroyTipWindow();
  void RelayEvent(MSG* pMsg);
};
