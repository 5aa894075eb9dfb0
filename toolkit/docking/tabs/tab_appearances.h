// The ten tab appearances: the shape of the tabs and of the strip around them. Numbers 0-9 select them; each
// names the colour set that suits it. Shapes are stated for the top position; the other positions turn or mirror
// them.
#pragma once

#include "toolkit/docking/tabs/tab_paint_manager.h"

// The appearance of a number (any number outside 0-9 gives Property Page); null when it cannot be allocated.
CTKTabPaintManager::CAppearanceSet* TKCreateTabAppearance(int nAppearance);

class CTKTabPaintManager::CAppearanceSetPropertyPage : public CAppearanceSet {
public:
  CAppearanceSetPropertyPage() : CAppearanceSet(2, 3, 6, 0) {}
  CRect GetClientMargin() override;
  CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 13; }
  int GetPreferredColorSet() const override { return kColorSetDefault; }

protected:
  void DrawPage(CDC* pDC, CTKTabManagerItem* pItem);
};

class CTKTabPaintManager::CAppearanceSetPropertyPageSelected : public CAppearanceSetPropertyPage {
public:
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
};

class CTKTabPaintManager::CAppearanceSetFlat : public CAppearanceSet {
public:
  CAppearanceSetFlat() : CAppearanceSet(2, 2, 4, 0) {}
  CAppearanceSetFlat(int nNear, int nStrip, int nFar, int nClient) : CAppearanceSet(nNear, nStrip, nFar, nClient) {}
  CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 7; }
  int GetPreferredColorSet() const override { return kColorSetVisualStudio; }
};

class CTKTabPaintManager::CAppearanceSetPropertyPageFlat : public CAppearanceSetFlat {
public:
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetPreferredColorSet() const override { return kColorSetDefault; }

  BOOL m_bFramed = TRUE;
  BOOL m_bDocking = FALSE;
};

class CTKTabPaintManager::CAppearanceSetPropertyPage2003 : public CAppearanceSet {
public:
  CAppearanceSetPropertyPage2003() : CAppearanceSet(2, 3, 6, 0) {}
  CRect GetHeaderMargin() override;
  // The caption's length with room at its far end for the next tab's slant, which is drawn over it.
  int GetTabLength(CDC* pDC, CTKTabManagerItem* pItem) override;
  CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 21; }
  int GetPreferredColorSet() const override { return kColorSetOffice2003; }

  BOOL m_bHotHighlight = FALSE;
};

class CTKTabPaintManager::CAppearanceSetStateButtons : public CAppearanceSet {
public:
  CAppearanceSetStateButtons() : CAppearanceSet(2, 2, 4, 2, 0) {}
  CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 31; }
  int GetPreferredColorSet() const override { return kColorSetVisualStudio; }
};

class CTKTabPaintManager::CAppearanceSetVisualStudio : public CAppearanceSet {
public:
  CAppearanceSetVisualStudio() : CAppearanceSet(4, 2, 4, 0) {}
  CRect FillHeader(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 7; }
  int GetPreferredColorSet() const override { return kColorSetVisualStudio; }
};

class CTKTabPaintManager::CAppearanceSetExcel : public CAppearanceSetFlat {
public:
  CAppearanceSetExcel() : CAppearanceSetFlat(2, 3, 2, 0) {}
  CRect GetHeaderMargin() override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
};

class CTKTabPaintManager::CAppearanceSetVisio : public CAppearanceSet {
public:
  CAppearanceSetVisio() : CAppearanceSet(0, 0, 0, 0) {}
  CRect GetHeaderRect(CRect rc, CTKTabManager* pTabManager) override;
  CRect GetClientRect(CRect rc, CTKTabManager* pTabManager) override;
  void PaintStrip(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void AdjustLayout(CTKTabManager* pTabManager, CDC* pDC, CRect rcControl) override;
  void CalcClientArea(CTKTabManager* pTabManager, CRect& rcClient) override;
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
  int GetAllowedColorSets() const override { return 5; }
  int GetPreferredColorSet() const override { return kColorSetDefault; }
};

class CTKTabPaintManager::CAppearanceSetVisualStudio2005 : public CAppearanceSetPropertyPage2003 {
public:
  CAppearanceSetVisualStudio2005() { m_bOrderedDrawing = TRUE; }
  CRect GetHeaderMargin() override;
  int GetTabLength(CDC* pDC, CTKTabManagerItem* pItem) override { return CAppearanceSet::GetTabLength(pDC, pItem); }
  void DrawTab(CDC* pDC, CTKTabManagerItem* pItem) override;
};
