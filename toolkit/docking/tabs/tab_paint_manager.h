// How tab strips look and measure: strip settings, fonts, one appearance (the shape of tabs and strip) and one
// colour set (their colours). Several tab managers may share one paint manager; the docking themes set its
// public fields directly and install appearances and colour sets by number or as objects.
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/docking/tabs/tab_manager.h"
#include "toolkit/paint/color_manager.h"

class CTKTabPaintManager : public CCmdTarget {
public:
  class CAppearanceSet;
  class CAppearanceSetPropertyPage;
  class CAppearanceSetPropertyPageSelected;
  class CAppearanceSetPropertyPageFlat;
  class CAppearanceSetPropertyPage2003;
  class CAppearanceSetStateButtons;
  class CAppearanceSetVisualStudio;
  class CAppearanceSetFlat;
  class CAppearanceSetExcel;
  class CAppearanceSetVisio;
  class CAppearanceSetVisualStudio2005;

  class CColorSet;
  class CColorSetDefault;
  class CColorSetVisualStudio;
  class CColorSetOffice2003;
  class CColorSetWhidbey;
  class CColorSetWinXP;

  // Colour-set numbers; an appearance's mask of allowed sets has one bit per number.
  static constexpr int kColorSetDefault = 1;
  static constexpr int kColorSetVisualStudio = 2;
  static constexpr int kColorSetOffice2003 = 4;
  static constexpr int kColorSetWinXP = 8;
  static constexpr int kColorSetWhidbey = 16;

  CTKTabPaintManager();
  ~CTKTabPaintManager() override;
  CTKTabPaintManager(const CTKTabPaintManager&) = delete;
  CTKTabPaintManager& operator=(const CTKTabPaintManager&) = delete;

  virtual void PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  virtual void CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient);
  virtual void ArrangeStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  // Draws the tab's icon and caption in rcItem; without bDraw returns the tab's length instead.
  virtual int DrawTabContent(CDC* pDC, CTKTabManagerItem* pItem, CRect rcItem, BOOL bDraw);
  virtual void RefreshMetrics();
  virtual void NotifyTabManagers();
  virtual void DrawFocusFrame(CDC* pDC, CTKTabManagerItem* pItem, CRect rc);

  // A number outside 0-9 gives Property Page. A failed allocation keeps the current appearance.
  CAppearanceSet* SelectAppearance(int nAppearance);
  // Null only notifies.
  void InstallAppearance(CAppearanceSet* pAppearance);
  CColorSet* SelectColorSet(int nColorSet);
  void InstallColorSet(CColorSet* pColorSet);
  void SetStripFont(const LOGFONT* pLogFont, BOOL bUseSystemFont);
  void SetPosition(int nPosition);
  void SetLayout(int nLayout);
  CAppearanceSet* GetAppearance() const { return m_pAppearanceSet; }
  CColorSet* GetColorSet() const { return m_pColorSet; }
  int GetAppearanceNumber() const { return m_nAppearance; }
  int GetColorSetNumber() const { return m_nColorSet; }
  int GetPosition() const { return m_nPosition; }
  int GetLayout() const { return m_nLayout; }
  BOOL IsLunaColorsDisabled() const;
  CFont* GetFont(BOOL bVertical) { return bVertical ? &m_fntVertical : &m_fntNormal; }
  CFont* GetBoldFont(BOOL bVertical) { return bVertical ? &m_fntVerticalBold : &m_fntBold; }
  int GetTextWidth(CDC* pDC, const CString& str, UINT nFormat) const;
  void AddTabManager(CTKTabManagerAtom* pManager) { m_arrTabManagers.Add(pManager); }

  // Layout of a strip (the standard one serves every appearance but Visio).
  void LayoutTabs(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  void LayoutMultiRow(CTKTabManager* pTabManager, CDC* pDC, CRect rc);
  void CompressTabs(CTKTabManager* pTabManager, int nAvailable);
  // Places the navigation buttons and returns the far edge left for the tabs.
  int CalcHeaderEnd(CRect rc, CTKTabManager* pTabManager);

  // Whether a tab's text runs vertically in the current position and layout.
  BOOL IsVerticalText() const;
  CFont* GetTabFont(const CTKTabManagerItem* pItem);
  // The middle-ellipsis rule: keeps both ends of a caption that does not fit.
  void DrawTextMiddleEllipsis(CDC* pDC, const CString& str, CRect rc, UINT nFormat);

  BOOL m_bHotTracking = FALSE;
  BOOL m_bShowIcons = TRUE;
  BOOL m_bBoldSelected = FALSE;
  BOOL m_bBoldFont = FALSE;
  BOOL m_bDisableLunaColors = FALSE;
  BOOL m_bItemColors = FALSE;
  int m_nClientFrame = 0;
  BOOL m_bStaticFrame = FALSE;
  CRect m_rcClientMargin{0, 0, 0, 0};
  CRect m_rcControlMargin{0, 0, 0, 0};
  CRect m_rcButtonMargin{0, 0, 0, 0};
  BOOL m_bInvertGradient = FALSE;
  BOOL m_bFillBackground = TRUE;
  CSize m_szIcon{16, 16};
  BOOL m_bMiddleEllipsis = FALSE;
  BOOL m_bNoMnemonics = TRUE;
  BOOL m_bKeepRowOrder = FALSE;
  BOOL m_bJustifyRows = TRUE;
  BOOL m_bFocusRect = TRUE;
  BOOL m_bSelectOnDragOver = TRUE;
  CAppearanceSet* m_pAppearanceSet = nullptr;
  CColorSet* m_pColorSet = nullptr;
  CArray<CTKTabManagerAtom*, CTKTabManagerAtom*> m_arrTabManagers;
  int m_nAppearance = 0;
  int m_nColorSet = 0;
  int m_nPosition = TK_TAB_POSITION_TOP;
  int m_nLayout = TK_TAB_LAYOUT_SIZE_TO_FIT;
  CFont m_fntNormal;
  CFont m_fntBold;
  CFont m_fntVertical;
  CFont m_fntVerticalBold;
  BOOL m_bUseSystemFont = TRUE;
  int m_nToolTipMode = 2;
  int m_nAutoColorCounter = 0;
};

class CTKTabPaintManager::CAppearanceSet {
public:
  CAppearanceSet() = default;
  CAppearanceSet(int nNear, int nStrip, int nFar, int nClient, int nRowSpacing = -2)
      : m_rcHeaderMargin(nNear, nStrip, nFar, nClient), m_nRowSpacing(nRowSpacing)
  {
  }
  virtual ~CAppearanceSet() = default;
  CAppearanceSet(const CAppearanceSet&) = delete;
  CAppearanceSet& operator=(const CAppearanceSet&) = delete;

  virtual void RefreshMetrics();
  virtual CRect GetHeaderRect(CRect rc, CTKTabManager* pTabManager);
  virtual CRect GetClientRect(CRect rc, CTKTabManager* pTabManager);
  virtual CRect GetHeaderMargin() { return m_rcHeaderMargin; }
  virtual CRect GetClientMargin();
  virtual int GetTabLength(CDC* pDC, CTKTabManagerItem* pItem);
  virtual int GetRowHeight(CTKTabManager* pTabManager);
  virtual void PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  // Paints header and client frame; returns the header rectangle.
  virtual CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  virtual void AdjustLayout(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl);
  virtual void CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient);
  virtual void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) = 0;
  // A frame piece of kind 0-3 (whole frame, top edge, right column, bottom row) for owners that frame a tab's
  // client themselves; kinds 1 and 0 may move the rectangle they are given.
  virtual void DrawFrame(CDC* pDC, CRect& rc, int nKind);
  virtual int GetAllowedColorSets() const = 0;
  virtual int GetPreferredColorSet() const = 0;

  int GetRowSpacing() const { return m_nRowSpacing; }
  int GetTextHeight() const { return m_nTextHeight; }
  CTKTabPaintManager* GetPaintManager() const { return m_pPaintManager; }
  CColorSet* GetColorSet() const { return m_pPaintManager->m_pColorSet; }

protected:
  // One row of tabs in the drawing order of this appearance.
  void DrawRow(CDC* pDC, CTKTabManager* pTabManager, int nRow, const CRect& rcClip);
  static BOOL IsSelectedRow0(const CTKTabManagerItem* pItem);

public:
  CRect m_rcHeaderMargin{2, 3, 6, 0};
  int m_nRowSpacing = -2;
  int m_nTextHeight = 18;
  CTKTabPaintManager* m_pPaintManager = nullptr;
  BOOL m_bOrderedDrawing = FALSE;
};
