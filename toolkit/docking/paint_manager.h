// The docking paint manager: how captions, caption buttons, tabbed containers and splitters look and how much
// room caption and tabs take. One belongs to each docking pane manager; the themes derive from it.
#pragma once

#include "toolkit/docking/layout.h"
#include "toolkit/paint/color_manager.h"

class CTKTabPaintManager;
class CTKDockingPaneSplitterWnd;

class CTKDockingPanePaintManager : public CCmdTarget {
public:
  CTKDockingPanePaintManager();
  ~CTKDockingPanePaintManager() override;

  virtual void DrawPane(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc);
  virtual void DrawCaption(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc);
  virtual void DrawCaptionButtons(CDC* pDC, CTKDockingPaneCaptionButtons* pButtons, CRect& rcCaption,
                                  COLORREF clr, int nButtonSize, int nButtonGap, BOOL bVertical);
  virtual void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton);
  virtual void RefreshMetrics();
  // The pane area below the caption and inside the tabs; answers 0 without tabs.
  virtual int AdjustTabsClientRect(CTKDockingPaneTabbedContainer* pPane, CRect& rect, BOOL bReposition);
  virtual void AdjustCaptionRect(const CTKDockingPaneTabbedContainer* pPane, CRect& rect);
  // The frame and caption of a floating window (the node whose window it is), over its window rectangle at 0, 0.
  virtual void DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc);
  virtual void DrawSplitter(CDC* pDC, CTKDockingPaneSplitterWnd* pSplitter);
  virtual void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                               BOOL bActive, BOOL bVertical);
  virtual void DrawButtonGlyph(CDC* pDC, CTKDockingPaneCaptionButton* pButton, CPoint pt, COLORREF clr);
  virtual COLORREF DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* pPane, CRect rc, BOOL bActive,
                                         BOOL bVertical);

  COLORREF GetColor(UINT nIndex) const { return nIndex < TK_COLOR_COUNT ? m_arrColor[nIndex] : nIndex; }
  int GetCaptionHeight() const { return m_nTitleHeight; }
  int GetSplitterWidth() const { return m_nSplitterSize; }
  int GetTabRowHeight() const { return m_nTabsHeight; }
  CTKTabPaintManager* GetPanelPaintManager() const { return m_pPanelPaintManager; }
  CTKTabPaintManager* GetAutoHidePaintManager() const { return m_pAutoHidePaintManager; }
  // Draws the text in the caption font; answers its width.
  int DrawCaptionText(CDC* pDC, const CString& strTitle, CRect rc, BOOL bVertical, BOOL bCalcWidth = FALSE);

  BOOL m_bBoldCaptions = TRUE;
  BOOL m_bHighlightActiveCaption = TRUE;
  int m_nSplitterSize = 4;
  BOOL m_bShowCaption = TRUE;
  BOOL m_bDrawSingleTab = FALSE;
  CTKPaintManagerColor m_clrSplitterGripper;
  CTKPaintManagerColor m_clrNormalCaption;
  CTKPaintManagerColorGradient m_clrSplitterGradient;
  DWORD m_dwSplitterStyle = 0;
  int m_nTitleHeight = 0;
  int m_nCaptionFontGap = 5;
  int m_nTabsHeight = 0;
  CFont m_fntTitle;
  CFont m_fntTitleVertical;
  BOOL m_bUseTahoma = FALSE;
  BOOL m_bUseSystemFonts = TRUE;
  CTKTabPaintManager* m_pPanelPaintManager = nullptr;
  CTKTabPaintManager* m_pAutoHidePaintManager = nullptr;
  COLORREF m_arrColor[TK_COLOR_COUNT] = {};
  int m_nTheme = 0;
  CString m_strFontFace{"Tahoma"};
  CRect m_rcCaptionMargin{0, 2, 0, 1};
  int m_nLunaSchemeSource = 5;

  // Splitter style bits.
  static constexpr DWORD kSplitter3D = 0x1;
  static constexpr DWORD kSplitterShaded = 0x2;
  static constexpr DWORD kSplitterGradient = 0x4;
  static constexpr DWORD kSplitterGripMark = 0x100;
  static constexpr DWORD kSplitterGripDots = 0x200;

protected:
  // The caption height from the caption font and the spacing.
  void UpdateCaptionHeight();
  // The window text of a floating node, and whether its caption shows active (the focus lies in its window).
  static CString FloatingTitle(const CTKDockingPaneBase* pFloat);
  BOOL IsFloatingActive(const CTKDockingPaneBase* pFloat) const;
  // The part of DrawCaptionPart every theme shares once the background is drawn: buttons, then text.
  void DrawButtonsAndText(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                          BOOL bVertical, COLORREF clrButtons, COLORREF clrText, int nButtonSize, int nGap);
};
