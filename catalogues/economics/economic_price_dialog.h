// The economic parameter dialogs: "Экономические параметры", a property grid over every input of the cost
// estimate whose accepted edits go into the live project at once and to the price database, and "Настройки", the
// choice of poles and brackets in the cost.
#pragma once

#include "toolkit/controls/resize_dialog.h"
#include "toolkit/propertygrid/grid.h"
#include "toolkit/propertygrid/typed_items.h"

struct IQorRoadDoc;

// A read-only heading row (group, lamp, pole, bracket) whose value is drawn as plain text in its own colour.
class CTKPropertyDrawItem : public CTKPropertyGridItem {
public:
  CTKPropertyDrawItem(LPCSTR lpszCaption, LPCSTR lpszValue);
  BOOL OnDrawItemValue(CDC& dc, CRect rcValue) override;

  COLORREF m_clrText = RGB(0, 0, 0);
};

class CDlgEconomPrice : public CTKResizeDialog {
public:
  CDlgEconomPrice(CWnd* pParent, IQorRoadDoc* document);
  ~CDlgEconomPrice() override;

  BOOL OnInitDialog() override;
  int FillGrid();
  void RefillGrid();
  void OnItemValueChanged(CTKPropertyGridItem* pItem);

  IQorRoadDoc* m_document;
  CTKPropertyGrid m_grid;

protected:
  void OnSize(UINT nType, int cx, int cy);
  void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  void OnDestroy();
  LRESULT OnGridNotify(WPARAM wParam, LPARAM lParam);
  void OnHelp();
  void OnSettings();
  void LayOut(int cx, int cy);
  DECLARE_MESSAGE_MAP()
};

class CDlgEconomOpt : public CDialog {
public:
  explicit CDlgEconomOpt(CWnd* pParent = nullptr);

  BOOL OnInitDialog() override;
  void OnOK() override;

  int m_polesIncluded = 0;
  int m_bracketsIncluded = 0;

protected:
  void OnPolesClicked();
  DECLARE_MESSAGE_MAP()
};
