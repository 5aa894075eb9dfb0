// The welcome page, where the kind of road section is chosen, and the two pages of a straight road: its
// carriageway and sidewalks, then the arrangement and spacing of its poles.
#pragma once

#include "wizard/page.h"
#include "wizard/preview.h"

namespace Wizard {

// The kind the record gets for each entry of the welcome page's list.
int KindOfWelcomeIndex(int index);
int WelcomeIndexOfKind(int kind);

class CPageOfWellcom : public CWDialog {
public:
  CPageOfWellcom(const CString& title, _WIZARD_DATA* data);
  ~CPageOfWellcom() override;

  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override;

  CFont m_bigFont;
  HBITMAP m_picture = nullptr;
  CComboBox m_kind;
  CWDialog* m_roadPage = nullptr;
  CWDialog* m_sectionPage = nullptr;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnKindChanged();
  HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()
};

class CPageOfPropOfStraightRoad : public CWDialog {
public:
  CPageOfPropOfStraightRoad(const CString& title, _WIZARD_DATA* data);

  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override;

  RoadSpan m_span;
  RECT m_pictureRect{};
  CFont m_labelFont;
  BOOL m_loaded = FALSE;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnValueChanged(UINT id);
  void OnSpin(UINT id, NMHDR* notify, LRESULT* result);
  void OnDirectionChanged();
  void OnDividerClicked();
  void OnSidewalkClicked();
  void OnPaint();
  DECLARE_MESSAGE_MAP()

private:
  void EnableDivider();
  void EnableSidewalk();
  double DividerWidthFromRoad();
};

class CPageOfPropOfStraightScheme : public CWDialog {
public:
  CPageOfPropOfStraightScheme(const CString& title, _WIZARD_DATA* data);

  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override;

  RoadSpan m_span;
  int m_arrangement = 0;
  RECT m_pictureRect{};
  CFont m_labelFont;
  BOOL m_loaded = FALSE;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnArrangementChanged();
  void OnSpacingChanged();
  void OnSpin(NMHDR* notify, LRESULT* result);
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

// Names of the six straight-road arrangements (0..5); empty for another index.
CString ArrangementName(int arrangement);

}  // namespace Wizard
