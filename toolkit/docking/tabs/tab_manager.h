// The window-less logic of one tab strip: its tabs, selection and hot tab, scroll offset, navigation buttons,
// hit testing, keyboard, mouse and reordering. The owner derives from CTKTabManager, answers the pure virtual
// operations (redraw, paint manager, icons) and forwards its mouse and keyboard messages here. Measuring,
// layout and drawing belong to the shared CTKTabPaintManager.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc-core/array.h"
#include "platform/user/common_controls.h"
#include "toolkit/paint/visual_styles.h"

#include <vector>

class CTKTabManager;
class CTKTabPaintManager;

// Positions: the side of the client area the strip lies on.
inline constexpr int TK_TAB_POSITION_TOP = 0;
inline constexpr int TK_TAB_POSITION_LEFT = 1;
inline constexpr int TK_TAB_POSITION_BOTTOM = 2;
inline constexpr int TK_TAB_POSITION_RIGHT = 3;
// Layouts.
inline constexpr int TK_TAB_LAYOUT_SIZE_TO_FIT = 0;
inline constexpr int TK_TAB_LAYOUT_COMPRESSED = 1;
inline constexpr int TK_TAB_LAYOUT_FIXED = 2;
inline constexpr int TK_TAB_LAYOUT_SELECTED_CAPTION = 3;
inline constexpr int TK_TAB_LAYOUT_MULTI_ROW = 4;
inline constexpr int TK_TAB_LAYOUT_ROTATED = 5;
// Tab colours 0x1000000 + k (k 0-7) stand for the automatic colour table.
inline constexpr COLORREF TK_TAB_AUTO_COLOR = 0x1000000;

// Tab-relative margins are CRects holding (near end, strip side, far end, client side) in (left, top, right,
// bottom); these map them onto a real rectangle for a strip position.
CRect TKTabDeflate(CRect rc, const CRect& margin, int nPosition);
CRect TKTabInflate(CRect rc, const CRect& margin, int nPosition);

class CTKTabManagerAtom {
public:
  virtual void OnMetricsChanged() { Reposition(); }
  virtual ~CTKTabManagerAtom() = default;
  virtual void Reposition() = 0;
};

class CTKTabManagerItem : public CCmdTarget {
public:
  CTKTabManagerItem() { EnableAutomation(); }

  void SetCaption(const CString& strCaption);
  CString GetCaption() const;
  void SetColor(COLORREF clr);
  COLORREF GetColor() const;
  DWORD_PTR GetData() const { return m_dwData; }
  void SetData(DWORD_PTR dwData) { m_dwData = dwData; }
  BOOL IsVisible() const { return m_bVisible; }
  BOOL IsEnabled() const { return m_bEnabled; }
  BOOL IsSelected() const;
  BOOL IsHot() const;
  int GetIndex() const { return m_nIndex; }
  CRect GetRect() const { return m_rcItem; }
  int GetLength() const { return m_nLength; }
  int GetNaturalLength() const { return m_nNaturalLength; }
  CTKTabManager* GetTabManager() const { return m_pTabManager; }

  int m_nLength = 0;
  int m_nNaturalLength = 0;
  int m_nSpare = -1;
  int m_nIndex = -1;
  BOOL m_bEnabled = TRUE;
  BOOL m_bVisible = TRUE;
  DWORD_PTR m_dwData = 0;
  int m_nImage = 0;
  void* m_pObject = nullptr;
  CRect m_rcItem;
  CString m_strCaption;
  CString m_strToolTip;
  COLORREF m_clrItem = 0;
  CTKTabManager* m_pTabManager = nullptr;
  int m_nItemRow = 0;
  BOOL m_bClosable = TRUE;
};

class CTKTabManagerNavigateButton {
public:
  static constexpr int kNever = 0;
  static constexpr int kWhenAllowed = 1;
  static constexpr int kAlways = 2;

  CTKTabManagerNavigateButton(CTKTabManager* pManager, int nId, int nShowMode);
  virtual ~CTKTabManagerNavigateButton() = default;
  CTKTabManagerNavigateButton(const CTKTabManagerNavigateButton&) = delete;
  CTKTabManagerNavigateButton& operator=(const CTKTabManagerNavigateButton&) = delete;

  // Takes the button's room from the length left for the tabs, when it always takes room.
  virtual void AdjustWidth(int& nAvailable);
  // TRUE when the final release was on the button.
  virtual BOOL TrackClick(CWnd* pWnd, CPoint point);
  // Places the button at the far end of the strip and takes its room from rcStrip.
  virtual void Reposition(CRect& rcStrip);
  virtual void DrawGlyph(CDC* pDC, CRect rc) = 0;
  // bTick: a repeat while held; FALSE: the final click.
  virtual void OnExecute(BOOL bTick) = 0;

  void Draw(CDC* pDC);
  void UpdateHot(CWnd* pWnd, CPoint point);
  // Shown by its mode: never, when the manager allows it, always.
  BOOL IsShown() const;
  // Right-aligned (down-aligned for vertical strips) and centred across; hidden buttons get an empty rectangle.
  void Place(CRect& rcStrip, BOOL bShow);

  int GetId() const { return m_nId; }
  CRect GetRect() const { return m_rcButton; }
  BOOL IsEnabled() const { return m_bEnabled; }
  BOOL IsPressed() const { return m_bPressed; }
  BOOL IsHot() const { return m_bHot; }
  void SetShowMode(int nMode) { m_nShowMode = nMode; }
  int GetShowMode() const { return m_nShowMode; }

protected:
  void Redraw();

public:
  int m_nId;
  int m_nShowMode;
  int m_nWidth = 14;
  int m_nHeight = 15;
  CTKTabManager* m_pManager;
  CRect m_rcButton;
  BOOL m_bEnabled = TRUE;
  BOOL m_bPressed = FALSE;
  BOOL m_bHot = FALSE;
};

class CTKTabManager : public CTKTabManagerAtom {
public:
  class CNavigateButtonArrow;
  class CNavigateButtonArrowLeft;
  class CNavigateButtonArrowRight;
  class CNavigateButtonClose;

  // (first, last) tab index of each row; row 0 lies next to the client area.
  class CRowIndexer {
  public:
    explicit CRowIndexer(CTKTabManager* pManager);
    void SetRowCount(int nRows);
    int GetRowCount() const { return static_cast<int>(m_arrRows.size()); }
    struct ROW {
      int nFirst;
      int nLast;
    };
    ROW& GetRow(int nRow) { return m_arrRows[static_cast<size_t>(nRow)]; }
    const ROW& GetRow(int nRow) const { return m_arrRows[static_cast<size_t>(nRow)]; }

  private:
    std::vector<ROW> m_arrRows;
    CTKTabManager* m_pManager;
  };

  CTKTabManager();
  ~CTKTabManager() override;
  CTKTabManager(const CTKTabManager&) = delete;
  CTKTabManager& operator=(const CTKTabManager&) = delete;

  virtual CString GetTabCaption(const CTKTabManagerItem* pItem) const;
  virtual int GetTabImage(const CTKTabManagerItem* pItem) const;
  virtual COLORREF GetTabFillColor(const CTKTabManagerItem* pItem) const;
  virtual CString GetTabTooltip(const CTKTabManagerItem* pItem) const;
  virtual void OnTabsChanged();
  virtual void SelectTab(CTKTabManagerItem* pItem);
  virtual void OnTabKeySelect(CTKTabManagerItem* pItem);
  virtual void GetTabSizeLimits(CSize* pszFixed, CSize* pszMin, CSize* pszMax) const;
  virtual CTKTabPaintManager* GetTabPaintManager() const = 0;
  virtual void OnStripHook(int /*nArgument*/) {}
  virtual void RequestRedraw() = 0;
  virtual BOOL CanReorderTabs() const { return m_bAllowReorder; }
  virtual void EnableReorder(BOOL bEnable) { m_bAllowReorder = bEnable; }
  virtual BOOL HasStaticFrame() const;
  // With bDraw FALSE only answers (and may adjust the size); a null tab answers TRUE.
  virtual BOOL DrawTabIcon(CDC* pDC, int x, int y, CTKTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) = 0;
  virtual int GetStripPosition() const;
  virtual void ScrollByStep(BOOL bTowardsEnd);
  virtual BOOL IsNavigateButtonAllowed(const CTKTabManagerNavigateButton* pButton) const;
  virtual void OnTabClick(CTKTabManagerItem* pItem);
  virtual void TrackTabDrag(CWnd* pWnd, CPoint point, CTKTabManagerItem* pItem);
  virtual void OnNavigateButtonCommand(int /*nId*/) {}
  virtual BOOL IsHotTrackingSuspended() const { return FALSE; }
  virtual BOOL HandleKeyDown(CWnd* pWnd, UINT nKey);
  virtual BOOL ShowsFocusRect() const { return FALSE; }

  CTKTabManagerItem* InsertTab(int nIndex, CTKTabManagerItem* pItem = nullptr);
  void RemoveAllTabs();
  CTKTabManagerItem* TabFromPoint(CPoint point) const;
  CTKTabManagerItem* FindNextVisibleTab(int nStart, int nStep) const;
  BOOL HandleLButtonDown(CWnd* pWnd, CPoint point, BOOL bButtonsOnly = FALSE);
  void PerformMouseMove(CWnd* pWnd, CPoint point);
  void SetStripOffset(int nOffset);
  void ScrollTabIntoView(CTKTabManagerItem* pItem);
  int GetTotalTabLength() const;
  CTKTabManagerNavigateButton* FindNavigateButton(int nId) const;
  int FillTabToolInfo(CWnd* pWnd, CTKTabManagerItem* pItem, TOOLINFO* pToolInfo) const;
  BOOL IsHorizontalPosition() const;
  int GetRectLength(const CRect& rc) const;

  int GetTabCount() const { return static_cast<int>(m_arrTabs.GetSize()); }
  // Null when the index is out of range.
  CTKTabManagerItem* GetTab(int nIndex) const;
  // The first tab whose data is the value; null for none.
  CTKTabManagerItem* FindTabByData(DWORD_PTR dwData) const
  {
    for (int i = 0; i < GetTabCount(); ++i)
      if (m_arrTabs[i]->GetData() == dwData)
        return m_arrTabs[i];
    return nullptr;
  }
  CTKTabManagerItem* GetSelectedTab() const { return m_pSelected; }
  CTKTabManagerItem* GetHotTab() const { return m_pHighlighted; }
  int GetStripOffset() const { return m_nScrollOffset; }
  BOOL IsActive() const { return m_bActive; }
  void SetActive(BOOL bActive) { m_bActive = bActive; }
  int GetNavigateButtonCount() const { return static_cast<int>(m_arrNavigateButtons.GetSize()); }
  CTKTabManagerNavigateButton* GetNavigateButton(int nIndex) const;
  CRowIndexer& GetRows() { return m_rows; }
  const CRowIndexer& GetRows() const { return m_rows; }
  CTKWinThemeWrapper& GetThemeWrapper() { return m_themeTab; }

  CTKTabManagerItem* m_pSelected = nullptr;
  CTKTabManagerItem* m_pHighlighted = nullptr;
  int m_nScrollOffset = 0;
  BOOL m_bAllowReorder = TRUE;
  BOOL m_bActive = TRUE;
  CSize m_szFixedTab{70, 18};
  CSize m_szMinTab{0, 0};
  CSize m_szMaxTab{0, 0};
  CRect m_rcHeader;
  CRect m_rcControl;
  CRect m_rcClient;
  CArray<CTKTabManagerItem*, CTKTabManagerItem*> m_arrTabs;
  CArray<CTKTabManagerNavigateButton*, CTKTabManagerNavigateButton*> m_arrNavigateButtons;
  CTKWinThemeWrapper m_themeTab;
  CRowIndexer m_rows{this};
  int m_nScrollStep = 20;
};

class CTKTabManager::CNavigateButtonArrow : public CTKTabManagerNavigateButton {
public:
  using CTKTabManagerNavigateButton::CTKTabManagerNavigateButton;
  void AdjustWidth(int& nAvailable) override;
  void Reposition(CRect& rcStrip) override;
  void OnExecute(BOOL bTick) override;
};

class CTKTabManager::CNavigateButtonArrowLeft : public CNavigateButtonArrow {
public:
  explicit CNavigateButtonArrowLeft(CTKTabManager* pManager) : CNavigateButtonArrow(pManager, 0, kWhenAllowed) {}
  void DrawGlyph(CDC* pDC, CRect rc) override;
};

class CTKTabManager::CNavigateButtonArrowRight : public CNavigateButtonArrow {
public:
  explicit CNavigateButtonArrowRight(CTKTabManager* pManager) : CNavigateButtonArrow(pManager, 1, kWhenAllowed) {}
  void DrawGlyph(CDC* pDC, CRect rc) override;
};

class CTKTabManager::CNavigateButtonClose : public CTKTabManagerNavigateButton {
public:
  explicit CNavigateButtonClose(CTKTabManager* pManager) : CTKTabManagerNavigateButton(pManager, 2, kNever) {}
  void DrawGlyph(CDC* pDC, CRect rc) override;
  void OnExecute(BOOL bTick) override;
};

// The automatic tab colours, k 0-7.
COLORREF TKTabAutomaticColor(int k);
