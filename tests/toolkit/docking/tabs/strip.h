// A tab strip as an owner builds one: a tab manager that lays itself out with its paint manager in a fixed
// rectangle, counts redraw requests and answers icons of a chosen size.
#pragma once

#include "toolkit/docking/tabs/tab_appearances.h"
#include "toolkit/docking/tabs/tab_color_sets.h"
#include "toolkit/docking/tabs/tab_manager.h"
#include "toolkit/docking/tabs/tab_paint_manager.h"

#include <functional>
#include <initializer_list>
#include <string>

namespace tabtest {

class Strip : public CTKTabManager {
public:
  Strip(CTKTabPaintManager& paintManager, CRect rc) : m_paintManager(paintManager), m_rc(rc)
  {
    m_dc.CreateCompatibleDC(nullptr);
  }
  ~Strip() override { m_dc.DeleteDC(); }

  CTKTabPaintManager* GetTabPaintManager() const override { return &m_paintManager; }
  void Reposition() override
  {
    if (m_bLayoutOn) {
      m_paintManager.ArrangeStrip(this, &m_dc, m_rc);
    }
    if (m_onReposition) {
      m_onReposition();
    }
  }
  void RequestRedraw() override { ++m_nRedraws; }
  BOOL DrawTabIcon(CDC* pDC, int x, int y, CTKTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) override
  {
    if (pItem == nullptr) {
      return TRUE;
    }
    if (!m_bIcons) {
      return FALSE;
    }
    if (bDraw) {
      pDC->FillSolidRect(x, y, szIcon.cx, szIcon.cy, RGB(0, 128, 0));
    }
    return TRUE;
  }

  // Adds tabs with these captions (data = their position in the list).
  void AddTabs(std::initializer_list<const char*> captions)
  {
    m_bLayoutOn = FALSE;
    for (const char* caption : captions) {
      CTKTabManagerItem* pItem = InsertTab(-1);
      pItem->m_strCaption = caption;
      pItem->m_dwData = static_cast<DWORD_PTR>(GetTabCount() - 1);
    }
    m_bLayoutOn = TRUE;
    Reposition();
  }
  void SetRect(CRect rc)
  {
    m_rc = rc;
    Reposition();
  }
  // Tab captions in their order, joined by spaces.
  std::string Order() const
  {
    std::string s;
    for (int i = 0; i < GetTabCount(); ++i) {
      s += (i > 0 ? " " : "") + std::string(static_cast<LPCSTR>(GetTab(i)->m_strCaption));
    }
    return s;
  }

  CTKTabPaintManager& m_paintManager;
  CRect m_rc;
  CDC m_dc;
  BOOL m_bLayoutOn = TRUE;
  BOOL m_bIcons = FALSE;
  int m_nRedraws = 0;
  std::function<void()> m_onReposition;
};

// An appearance whose tabs are as long as their data value says: layouts tested apart from font metrics.
class FixedLengthAppearance : public CTKTabPaintManager::CAppearanceSetPropertyPage {
public:
  int GetTabLength(CDC* /*pDC*/, CTKTabManagerItem* pItem) override { return static_cast<int>(pItem->m_nSpare); }
};

}  // namespace tabtest
