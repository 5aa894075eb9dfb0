// All drawing of a property grid: rows, the drop-down list's rows, the in-place button and the help pane.
#pragma once

#include "platform/mfc/afxwin.h"
#include "toolkit/paint/color_manager.h"
#include "toolkit/paint/visual_styles.h"

#include <vector>

class CTKImageManagerIcon;
class CTKPropertyGrid;
class CTKPropertyGridItem;
class CTKPropertyGridItemConstraint;
class CTKPropertyGridInplaceButton;
class CTKPropertyGridPaintManager;

// Colours, fonts and text format of the whole grid, or of one part of one item (set entries win).
class CTKPropertyGridItemMetrics : public CCmdTarget {
  DECLARE_DYNAMIC(CTKPropertyGridItemMetrics)
public:
  explicit CTKPropertyGridItemMetrics(CTKPropertyGridPaintManager* pPaintManager) : m_pPaintManager(pPaintManager) {}
  // Clears the eight colour overrides.
  void Reset();

  CFont m_fontNormal;
  CFont m_fontBold;
  int m_nImage = -1;
  CTKPaintManagerColor m_clrHelpBack;
  CTKPaintManagerColor m_clrHelpFore;
  CTKPaintManagerColor m_clrLine;
  CTKPaintManagerColor m_clrFore;
  CTKPaintManagerColor m_clrCategoryFore;
  CTKPaintManagerColor m_clrBack;
  CTKPaintManagerColor m_clrReadOnlyFore;
  CTKPaintManagerColor m_clrVerbFace;
  UINT m_uDrawTextFormat = DT_VCENTER | DT_SINGLELINE;
  CTKPropertyGridPaintManager* m_pPaintManager;
};

class CTKPropertyGridPaintManager {
public:
  explicit CTKPropertyGridPaintManager(CTKPropertyGrid* pGrid);
  virtual ~CTKPropertyGridPaintManager();
  CTKPropertyGridPaintManager(const CTKPropertyGridPaintManager&) = delete;
  CTKPropertyGridPaintManager& operator=(const CTKPropertyGridPaintManager&) = delete;

  virtual COLORREF GetItemTextColor(CTKPropertyGridItem* pItem, BOOL bValuePart);
  virtual COLORREF GetItemBackColor(CTKPropertyGridItem* pItem, BOOL bValuePart);
  virtual CFont* GetItemFont(CTKPropertyGridItem* pItem, BOOL bValuePart);
  virtual void FillPropertyGrid(CDC* pDC);
  virtual void FillPropertyGridView(CDC* pDC, BOOL bClient);
  virtual void DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct);
  virtual void DrawInplaceListItem(CDC* pDC, CTKPropertyGridItemConstraint* pConstraint, CRect rc, BOOL bSelected);
  virtual void AdjustItemValueRect(CTKPropertyGridItem* pItem, CRect& rcValue);
  virtual void AdjustItemCaptionRect(CTKPropertyGridItem* pItem, CRect& rcCaption);
  virtual void MeasureItem(MEASUREITEMSTRUCT* lpMeasureItemStruct);
  virtual void FillInplaceButton(CDC* pDC, CTKPropertyGridInplaceButton* pButton);
  void FillClassicInplaceButton(CDC* pDC, CTKPropertyGridInplaceButton* pButton, CRect client, BOOL pressed);
  virtual void RefreshMetrics();
  virtual void DrawExpandButton(CDC& dc, CTKPropertyGridItem* pItem, CRect rcCaption);
  virtual void FillCategoryCaption(CDC& dc, CRect rc);
  virtual void DrawItemValue(CDC& dc, CTKPropertyGridItem* pItem, CRect rcValue);
  virtual void DrawItemCaption(CDC& dc, CTKPropertyGridItem* pItem, CRect rcCaption);

  CTKPropertyGridItemMetrics* GetItemMetrics() const { return m_pMetrics; }
  // The icon of the value (or caption) metrics' image id, null when the grid's image manager lacks it.
  CTKImageManagerIcon* GetMetricsImage(CTKPropertyGridItem* pItem, BOOL bValuePart) const;

  // One drawn piece of a verb's link; a verb broken over lines has several.
  struct VerbPiece {
    int nVerb;
    CRect rc;
    CString strText;
  };
  // The verbs laid out in the strip (client coordinates of the grid), drawn when pDraw is given.
  std::vector<VerbPiece> LayoutVerbs(CDC* pDC, CRect rcStrip, BOOL bDraw);

  CTKWinThemeWrapper m_themeTree;
  CTKWinThemeWrapper m_themeButton;
  CTKWinThemeWrapper m_themeCombo;
  BOOL m_bUseThemedControls = FALSE;
  CTKPropertyGrid* m_pGrid;
  CFont m_fntVerbUnderline;
  CFont m_fntVerbNormal;
  CTKPropertyGridItemMetrics* m_pMetrics;
  CTKPaintManagerColor m_clrFace;
  CTKPaintManagerColor m_clrShadow;
};

// The system's icon-title font, as the grid's fonts start from it.
LOGFONTA TKPropertyGridIconTitleFont();
