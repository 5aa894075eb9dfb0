// The colour half of a tab paint manager: named colours recomputed from the toolkit colour table by
// RefreshMetrics (standard values only, so an owner's custom values survive), and the fills of tabs, headers,
// client areas, state buttons and navigation buttons.
#pragma once

#include "toolkit/docking/tabs/tab_paint_manager.h"

class CTKTabPaintManager::CColorSet {
public:
  // An unset colour: the line it would draw is left out.
  static constexpr COLORREF kUnset = static_cast<COLORREF>(-1);
  // The first colour of a gradient that stands for the halftone pattern.
  static constexpr COLORREF kHalftone = static_cast<COLORREF>(-2);

  CColorSet() = default;
  virtual ~CColorSet() = default;
  CColorSet(const CColorSet&) = delete;
  CColorSet& operator=(const CColorSet&) = delete;

  virtual void RefreshMetrics();
  virtual void SetTextColor(CDC* pDC, const CTKTabManagerItem* pItem);
  virtual void FillHeader(CDC* pDC, CRect rc, CTKTabManager* pTabManager);
  virtual void FillClient(CDC* pDC, CRect rc, CTKTabManager* pTabManager);
  virtual void FillStateButtonFace(CDC* pDC, CRect rc, CTKTabManagerItem* pItem);
  virtual COLORREF FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem);
  virtual void AfterHeader(CDC* /*pDC*/, CRect /*rc*/, CTKTabManager* /*pTabManager*/) {}
  virtual void FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton, CRect& rc) = 0;
  virtual COLORREF GetTabColor(const CTKTabManagerItem* pItem) const;
  virtual BOOL IsThemed() const { return FALSE; }

  // The gradient rule: the halftone marker, else a gradient whose direction follows the position.
  void GradientFill(CDC* pDC, CRect rc, COLORREF clrFirst, COLORREF clrSecond, int nPosition) const;
  void GradientFill(CDC* pDC, CRect rc, const CTKPaintManagerColorGradient& grc, int nPosition) const
  {
    GradientFill(pDC, rc, grc.clrLight, grc.clrDark, nPosition);
  }
  int GetAppearanceNumber() const { return m_pPaintManager->m_nAppearance; }

  CTKPaintManagerColorGradient m_clrHeaderFace;
  CTKPaintManagerColorGradient m_clrAutoHideFace;
  CTKPaintManagerColor m_clrFrameBorder;
  CTKPaintManagerColor m_clrControlFace;
  CTKPaintManagerColor m_clrBorderHighlight;
  CTKPaintManagerColor m_clrSelectedFace;
  CTKPaintManagerColor m_clrNormalFace;
  CTKPaintManagerColor m_clrNormalText;
  CTKPaintManagerColor m_clrInactiveText;
  CTKPaintManagerColor m_clrSelectedText;
  CTKPaintManagerColor m_clrHighlightText;
  CTKPaintManagerColor m_clrDisabledText;
  CTKPaintManagerColorGradient m_clrButtonSelected;
  CTKPaintManagerColorGradient m_clrButtonPressedFrame;
  CTKPaintManagerColor m_clrPageHighlight;
  CTKPaintManagerColor m_clrPageShadow;
  CTKPaintManagerColor m_clrPageDarkShadow;
  CTKPaintManagerColor m_clrTabOutline;
  CTKPaintManagerColor m_clrSelectedTabOutline;
  CTKPaintManagerColor m_clrTabInnerLight;
  CTKPaintManagerColor m_clrTabInnerLight2;
  CTKPaintManagerColor m_csExcelSelected[6];
  CTKPaintManagerColor m_csExcelNormal[6];
  CTKTabPaintManager* m_pPaintManager = nullptr;
};

class CTKTabPaintManager::CColorSetDefault : public CColorSet {
public:
  void RefreshMetrics() override;
  void FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton, CRect& rc) override;
};

class CTKTabPaintManager::CColorSetVisualStudio : public CColorSetDefault {
public:
  void RefreshMetrics() override;
  void FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton, CRect& rc) override;
};

class CTKTabPaintManager::CColorSetOffice2003 : public CColorSetDefault {
public:
  void RefreshMetrics() override;
  COLORREF FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem) override;
  void FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton, CRect& rc) override;

  CTKPaintManagerColor m_clrHighlightFace;
  CTKPaintManagerColor m_clrNavigateButtonBorder;
  BOOL m_bLunaTheme = FALSE;
};

class CTKTabPaintManager::CColorSetWhidbey : public CColorSetOffice2003 {
public:
  void RefreshMetrics() override;
  COLORREF FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem) override;

  BOOL m_bGrayTheme = FALSE;
};

class CTKTabPaintManager::CColorSetWinXP : public CColorSetDefault {
public:
  void RefreshMetrics() override;
  BOOL IsThemed() const override { return m_themeTab.GetThemeHandle() != nullptr; }
  COLORREF FillTab(CDC* pDC, CRect rc, CTKTabManagerItem* pItem) override;
  void FillClient(CDC* pDC, CRect rc, CTKTabManager* pTabManager) override;
  void AfterHeader(CDC* pDC, CRect rc, CTKTabManager* pTabManager) override;
  void FillStateButtonFace(CDC* pDC, CRect rc, CTKTabManagerItem* pItem) override;
  void FillNavigateButtonFace(CDC* pDC, CTKTabManagerNavigateButton* pButton, CRect& rc) override;

  CTKWinThemeWrapper m_themeTab;
  CTKWinThemeWrapper m_themeToolbar;
};
