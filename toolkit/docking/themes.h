// The ten docking themes. The program selects theme 9, Visual Studio 2005; the others differ from it in their
// caption, button and splitter drawing and in the tab appearances they install.
#pragma once

#include "toolkit/docking/paint_manager.h"
#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/paint/visual_styles.h"

namespace TKDockingPanePaintThemes {

class CTKDockingPaneDefaultTheme : public CTKDockingPanePaintManager {
public:
  CTKDockingPaneDefaultTheme();
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
};

class CTKDockingPaneGripperedTheme : public CTKDockingPaneDefaultTheme {
public:
  CTKDockingPaneGripperedTheme() = default;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
};

class CTKDockingPaneOfficeTheme : public CTKDockingPaneGripperedTheme {
public:
  CTKDockingPaneOfficeTheme();
  void RefreshMetrics() override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  COLORREF DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* pPane, CRect rc, BOOL bActive,
                                 BOOL bVertical) override;

  BOOL m_bGradientCaption = FALSE;
  CTKPaintManagerColorGradient m_clrNormalCaptionGradient;
  CTKPaintManagerColorGradient m_clrActiveCaptionGradient;
  CTKPaintManagerColor m_clrNormalCaptionText;
  CTKPaintManagerColor m_clrActiveCaptionText;
};

class CTKDockingPaneOffice2003Theme : public CTKDockingPaneOfficeTheme {
public:
  CTKDockingPaneOffice2003Theme() = default;
  void RefreshMetrics() override;
  COLORREF DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* pPane, CRect rc, BOOL bActive,
                                 BOOL bVertical) override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
  void DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc) override;
  // The face of a hot or pressed button; answers the glyph colour through clrGlyph.
  virtual void DrawButtonBackground(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF& clrGlyph);
  // The Luna scheme the theme's colours follow (0 none, 1 blue, 2 olive, 3 silver).
  int GetLunaScheme() const;

  BOOL m_bLunaButtons = FALSE;
  BOOL m_bCaptionGripDots = TRUE;
  BOOL m_bFlatCaption = TRUE;
};

// With a visual style the caption, its close and pin buttons and the floating frame are the style's; without one
// the theme draws as Office with gradient captions.
class CTKDockingPaneNativeXPTheme : public CTKDockingPaneOfficeTheme {
public:
  CTKDockingPaneNativeXPTheme();
  void RefreshMetrics() override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
  void DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc) override;
  BOOL IsStyled() const { return m_themeWindow.GetThemeHandle() != nullptr; }

  CTKWinThemeWrapper m_themeWindow;
  CTKWinThemeWrapper m_themeExplorer;

private:
  BOOL m_bCaptionActive = FALSE;  // of the caption whose buttons are being drawn
};

// Groups on a face in the caption colours with a thin border; grip lines after the caption text.
class CTKDockingPaneVisioTheme : public CTKDockingPaneOfficeTheme {
public:
  CTKDockingPaneVisioTheme();
  void DrawPane(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc) override;
  void DrawCaption(CDC* pDC, CTKDockingPaneTabbedContainer* pPane, CRect rc) override;
  int AdjustTabsClientRect(CTKDockingPaneTabbedContainer* pPane, CRect& rect, BOOL bReposition) override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
  void DrawFloatingFrame(CDC* pDC, CTKDockingPaneBase* pFloat, CRect rc) override;

private:
  CFont* m_pCaptionFont = nullptr;  // the tab font while a floating caption is drawn
};

class CTKDockingPaneWhidbeyTheme : public CTKDockingPaneOfficeTheme {
public:
  // The tab colours of the Whidbey look: a white selected panel tab on a light header.
  class CColorSetWhidbey : public CTKTabPaintManager::CColorSetOffice2003 {
  public:
    CColorSetWhidbey(BOOL bPanel, BOOL bTransparentTabs) : m_bPanel(bPanel), m_bTransparentTabs(bTransparentTabs) {}
    void RefreshMetrics() override;
    BOOL m_bOffice2003Rules = FALSE;
    BOOL m_bPanel;
    BOOL m_bTransparentTabs;
  };
  class CColorSetVisualStudio2005 : public CColorSetWhidbey {
  public:
    using CColorSetWhidbey::CColorSetWhidbey;
    void RefreshMetrics() override;
  };

  CTKDockingPaneWhidbeyTheme();
  void RefreshMetrics() override;
};

// Office 2003 with a large bold Arial caption and no grip dots.
class CTKDockingPaneShortcutBar2003Theme : public CTKDockingPaneOffice2003Theme {
public:
  CTKDockingPaneShortcutBar2003Theme();
  void RefreshMetrics() override;
};

// With a visual style the caption shows the rebar background of the whole frame and the buttons are toolbar
// buttons; without one it is Grippered.
class CTKDockingPaneExplorerTheme : public CTKDockingPaneGripperedTheme {
public:
  CTKDockingPaneExplorerTheme();
  void RefreshMetrics() override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  void DrawCaptionButton(CDC* pDC, CTKDockingPaneCaptionButton* pButton, COLORREF clrButton) override;
  BOOL IsStyled() const { return m_themeRebar.GetThemeHandle() != nullptr; }

  CTKWinThemeWrapper m_themeRebar;
  CTKWinThemeWrapper m_themeToolbar;
};

class CTKDockingPaneVisualStudio2005SecondTheme : public CTKDockingPaneWhidbeyTheme {
public:
  CTKDockingPaneVisualStudio2005SecondTheme();
  void RefreshMetrics() override;
  void DrawCaptionPart(CDC* pDC, CTKDockingPaneBase* pPane, CRect rcCaption, const CString& strTitle,
                       BOOL bActive, BOOL bVertical) override;
  COLORREF DrawCaptionBackground(CDC* pDC, CTKDockingPaneBase* pPane, CRect rc, BOOL bActive,
                                 BOOL bVertical) override;

  COLORREF m_clrCaptionBorder = 0;
};

class CTKDockingPaneVisualStudio2005Theme : public CTKDockingPaneVisualStudio2005SecondTheme {
public:
  CTKDockingPaneVisualStudio2005Theme();
};

}  // namespace TKDockingPanePaintThemes

// The paint manager of a theme number (any number not 0-9 gives the Default theme).
CTKDockingPanePaintManager* TKCreateDockingPaneTheme(int nTheme);
