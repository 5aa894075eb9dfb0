// The pages of an open site of one typical form: the section page with the calculation area's size, and the six
// typical-form pages that write every accepted change into the area and let the model rebuild the form, so that
// their preview always shows the form as it will be calculated.
#pragma once

#include "wizard/page.h"

struct ICustomizeRoad;

namespace Wizard {

class CPageOfPropOfCustomizeRoad : public CWDialog {
public:
  explicit CPageOfPropOfCustomizeRoad(const CString& title, _WIZARD_DATA* data);

  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override {}

  BOOL m_loaded = FALSE;
  CFont m_labelFont;
  RECT m_pictureRect{};
  double m_areaWidth = 0;
  double m_areaLength = 0;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  void OnSizeChanged(UINT id);
  void OnSpin(UINT id, NMHDR* notify, LRESULT* result);
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

// What the six typical-form pages share: the area's size, the sidewalk group, the live exchange and the
// rebuild of the form after every accepted change.
class CFormPage : public CWDialog {
public:
  CFormPage(UINT templateId, _WIZARD_DATA* data);

  BOOL OnInitDialog() override;
  BOOL TransferData(BOOL save) override;
  void ShowData() override;
  // The road part of the end page's summary after the area size.
  virtual void AppendSummary(CString& text) const = 0;
  void AppendSidewalkSummary(CString& text) const;

  BOOL m_loaded = FALSE;
  CFont m_labelFont;
  RECT m_pictureRect{};
  double m_areaWidth = 0;
  double m_areaLength = 0;
  int m_sidewalk = 1;
  double m_sidewalkWidth = 2.0;
  double m_gap = 1.0;
  // Whether the area holds a form built from the values last accepted; the preview draws no form otherwise.
  BOOL m_formBuilt = FALSE;

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  // The form's own controls, exchanged before the sidewalk group; what follows it.
  virtual void ExchangeForm(CDataExchange* pDX) = 0;
  virtual void ExchangeAfterSidewalk(CDataExchange*) {}
  // Load: the page's widths already lowered to the area width by LowerWidths.
  virtual void LowerWidths() = 0;
  virtual void LoadForm() {}
  virtual void StoreForm(ICustomizeRoad* site) = 0;
  // After the sidewalk is stored; FALSE when the stored form cannot be built.
  virtual bool StoreAfterSidewalk(ICustomizeRoad*) { return true; }
  virtual bool IsLiveEdit(UINT id) const = 0;
  virtual void OnLiveEdit(UINT id);
  // A spin of the form's own: TRUE when the id is the page's (the value taken or not).
  virtual bool SpinForm(UINT id, double delta) = 0;
  virtual void AfterSpin() {}

  void ExchangeCarriageway(CDataExchange* pDX, int id, double& width);
  void LowerToArea(double& width) const;
  bool SpinWidth(double& width, double delta) const;
  void OnEditChanged(UINT id);
  void OnSpinNotify(UINT id, NMHDR* notify, LRESULT* result);
  void OnSidewalkClicked();
  void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class CPageOfPropOfTurnLine : public CFormPage {
public:
  explicit CPageOfPropOfTurnLine(_WIZARD_DATA* data);
  void ShowData() override;
  void AppendSummary(CString& text) const override;

  double m_width = 15.0;
  double m_angle = 45.0;
  int m_fillet = 0;
  double m_radius = 0;

  // The least radius the fillet may have: the model's minimum and 2 m.
  double MinRadius() const;

protected:
  void ExchangeForm(CDataExchange* pDX) override;
  void ExchangeAfterSidewalk(CDataExchange* pDX) override;
  void LowerWidths() override;
  void StoreForm(ICustomizeRoad* site) override;
  bool StoreAfterSidewalk(ICustomizeRoad* site) override;
  bool IsLiveEdit(UINT id) const override;
  void OnLiveEdit(UINT id) override;
  bool SpinForm(UINT id, double delta) override;
  // Every spin of the page keeps a ticked fillet at its least radius at least.
  void AfterSpin() override;
  void OnFilletClicked();
  DECLARE_MESSAGE_MAP()

private:
  bool FilletTicked() const;
  void RaiseRadius();
};

class CPageOfPropOfForkLine : public CFormPage {
public:
  explicit CPageOfPropOfForkLine(_WIZARD_DATA* data);
  void AppendSummary(CString& text) const override;

  double m_width1 = 15.0;
  double m_width2 = 11.25;
  double m_width3 = 11.25;
  double m_angle12 = 45.0;
  double m_angle13 = -45.0;

protected:
  void ExchangeForm(CDataExchange* pDX) override;
  void LowerWidths() override;
  void StoreForm(ICustomizeRoad* site) override;
  bool IsLiveEdit(UINT id) const override;
  bool SpinForm(UINT id, double delta) override;
};

// The crossing and the T-junction: two carriageways meeting at an angle.
class CTwoBranchPage : public CFormPage {
public:
  CTwoBranchPage(UINT templateId, UINT angleMessage, _WIZARD_DATA* data);

  double m_width1 = 15.0;
  double m_width2 = 11.25;
  double m_angle = 45.0;

protected:
  void ExchangeForm(CDataExchange* pDX) override;
  void LowerWidths() override;
  void StoreForm(ICustomizeRoad* site) override;
  bool IsLiveEdit(UINT id) const override;
  bool SpinForm(UINT id, double delta) override;
  void AppendBranches(CString& text, const char* heading, const char* angleLine) const;

  UINT m_angleMessage;
};

class CPageOfPropOfCrossingLine : public CTwoBranchPage {
public:
  explicit CPageOfPropOfCrossingLine(_WIZARD_DATA* data);
  void AppendSummary(CString& text) const override;
};

class CPageOfPropOfContiguityLine : public CTwoBranchPage {
public:
  explicit CPageOfPropOfContiguityLine(_WIZARD_DATA* data);
  void AppendSummary(CString& text) const override;
};

class CPageOfPropOfAugmentationLine : public CFormPage {
public:
  explicit CPageOfPropOfAugmentationLine(_WIZARD_DATA* data);
  BOOL OnInitDialog() override;
  void AppendSummary(CString& text) const override;

  int m_type = 0;  // combo index: both sides, below, above
  double m_width1 = 15.0;
  double m_width2 = 11.25;
  double m_length = 25.0;

protected:
  void ExchangeForm(CDataExchange* pDX) override;
  void LowerWidths() override;
  void LoadForm() override;
  void StoreForm(ICustomizeRoad* site) override;
  bool IsLiveEdit(UINT id) const override;
  bool SpinForm(UINT id, double delta) override;
  void OnTypeChanged();
  DECLARE_MESSAGE_MAP()
};

class CPageOfPropOfCircularMotionLine : public CFormPage {
public:
  explicit CPageOfPropOfCircularMotionLine(_WIZARD_DATA* data);
  void AppendSummary(CString& text) const override;

  double m_innerRadius = 10.0;
  double m_outerRadius = 20.0;
  int m_count = 5;
  double m_width = 15.0;

protected:
  void ExchangeForm(CDataExchange* pDX) override;
  void LowerWidths() override;
  void StoreForm(ICustomizeRoad* site) override;
  bool StoreAfterSidewalk(ICustomizeRoad* site) override;
  bool IsLiveEdit(UINT id) const override;
  bool SpinForm(UINT id, double delta) override;
};

}  // namespace Wizard
