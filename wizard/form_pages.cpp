#include "wizard/form_pages.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iprimitive.h"
#include "model/shell/shell_services.h"
#include "platform/user/common_controls.h"
#include "wizard/preview.h"

#include <algorithm>
#include <cmath>

namespace Wizard {

namespace {

// Messages of the open-site pages.
constexpr UINT kAreaLengthMessage = 130;
constexpr UINT kAreaWidthMessage = 299;
constexpr UINT kSidewalkWidthMessage = 196;
constexpr UINT kGapMessage = 202;
constexpr UINT kCarriagewayMessage = 503;
constexpr UINT kTurnAngleMessage = 504;
constexpr UINT kFilletMessage = 507;
constexpr UINT kCrossingAngleMessage = 551;
constexpr UINT kJunctionAngleMessage = 553;
constexpr UINT kForkAngle2Message = 570;
constexpr UINT kForkAngle3Message = 571;
constexpr UINT kWideningLengthMessage = 580;
constexpr UINT kInnerRadiusMessage = 591;
constexpr UINT kBranchCountMessage = 595;
constexpr UINT kUnbuildableMessage = 618;

constexpr double kAreaLow = 50;
constexpr double kAreaHigh = 2000;
constexpr double kWidthLow = 0.01;
constexpr double kSidewalkHigh = 100;
// A fillet keeps this much beyond the model's least radius.
constexpr double kFilletMargin = 2.0;

// The sidewalk group of every typical-form page.
enum : int {
  kSidewalkCheck = 1058,
  kSidewalkWidth = 1059,
  kGap = 1060,
  kSidewalkSpin = 1061,
  kGapSpin = 1062,
};

bool Within(double value, double low, double high) { return value >= low && value <= high; }

}  // namespace

// Section page

BEGIN_MESSAGE_MAP(CPageOfPropOfCustomizeRoad, CWDialog)
  ON_CONTROL_RANGE(EN_CHANGE, 1054, 1055, &CPageOfPropOfCustomizeRoad::OnSizeChanged)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, 1037, 1040, &CPageOfPropOfCustomizeRoad::OnSpin)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPageOfPropOfCustomizeRoad::CPageOfPropOfCustomizeRoad(const CString& title, _WIZARD_DATA* data)
    : CWDialog(kSectionTemplate, title, data)
{
}

BOOL CPageOfPropOfCustomizeRoad::OnInitDialog()
{
  CWDialog::OnInitDialog();
  GetClientRect(&m_pictureRect);
  InitHeader();
  CreateLabelFont(m_labelFont);
  return TRUE;
}

void CPageOfPropOfCustomizeRoad::DoDataExchange(CDataExchange* pDX)
{
  const bool save = pDX->m_bSaveAndValidate != 0;
  DDX_Text(pDX, 1054, m_areaLength);
  if (save && !Within(m_areaLength, kAreaLow, kAreaHigh))
    Refuse(pDX, BoundsMessage(kAreaLengthMessage, kAreaLow, kAreaHigh));
  DDX_Text(pDX, 1055, m_areaWidth);
  if (save && !Within(m_areaWidth, kAreaLow, kAreaHigh))
    Refuse(pDX, BoundsMessage(kAreaWidthMessage, kAreaLow, kAreaHigh));
  if (m_hWnd)
    InvalidateRect(&m_pictureRect, TRUE);
}

void CPageOfPropOfCustomizeRoad::OnSizeChanged(UINT) { UpdateData(TRUE); }

void CPageOfPropOfCustomizeRoad::OnSpin(UINT id, NMHDR* notify, LRESULT* result)
{
  double* value = id == 1037 ? &m_areaLength : id == 1040 ? &m_areaWidth : nullptr;
  if (!value) {
    *result = 0;
    return;
  }
  const double next = SpinValue(*value, notify, result);
  if (Within(next, kAreaLow, kAreaHigh))
    *value = next;
  UpdateData(FALSE);
}

BOOL CPageOfPropOfCustomizeRoad::TransferData(BOOL save)
{
  IArea* area = Area();
  if (!save && area) {
    m_areaWidth = *area->GetWidth();
    m_areaLength = *area->GetLength();
    m_loaded = TRUE;
    Invalidate();
  }
  const BOOL ok = UpdateData(save);
  if (ok && save && area) {
    area->SetWidth(&m_areaWidth);
    area->SetLength(&m_areaLength);
  }
  return ok;
}

void CPageOfPropOfCustomizeRoad::OnPaint()
{
  CPaintDC dc(this);
  if (!m_loaded)
    return;
  PaintAreaPicture(this, dc, m_labelFont, m_areaLength, m_areaWidth, nullptr, &m_pictureRect);
}

// The typical-form pages' common part

BEGIN_MESSAGE_MAP(CFormPage, CWDialog)
  ON_CONTROL_RANGE(EN_CHANGE, 1056, 1095, &CFormPage::OnEditChanged)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, 1037, 1070, &CFormPage::OnSpinNotify)
  ON_BN_CLICKED(kSidewalkCheck, &CFormPage::OnSidewalkClicked)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CFormPage::CFormPage(UINT templateId, _WIZARD_DATA* data) : CWDialog(templateId, CString(), data) {}

BOOL CFormPage::OnInitDialog()
{
  CWDialog::OnInitDialog();
  GetClientRect(&m_pictureRect);
  InitHeader();
  CreateLabelFont(m_labelFont);
  return TRUE;
}

void CFormPage::ShowData()
{
  EnableControls({1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066}, m_sidewalk != 0);
}

void CFormPage::AppendSidewalkSummary(CString& text) const
{
  if (!m_sidewalk)
    return;
  AppendValueLine(text, "   Ширина тротуара: %s м\r\n", m_sidewalkWidth);
  AppendValueLine(text, "   Отступ от края проезжей части: %s м\r\n", m_gap);
}

void CFormPage::DoDataExchange(CDataExchange* pDX)
{
  const bool save = pDX->m_bSaveAndValidate != 0;
  ExchangeForm(pDX);
  DDX_Text(pDX, kSidewalkWidth, m_sidewalkWidth);
  if (save && m_sidewalk && !Within(m_sidewalkWidth, kWidthLow, kSidewalkHigh))
    Refuse(pDX, BoundsMessage(kSidewalkWidthMessage, kWidthLow, kSidewalkHigh));
  DDX_Text(pDX, kGap, m_gap);
  if (save && m_sidewalk && !Within(m_gap, 0.0, kSidewalkHigh))
    Refuse(pDX, BoundsMessage(kGapMessage, 0.0, kSidewalkHigh));
  DDX_Check(pDX, kSidewalkCheck, m_sidewalk);
  ExchangeAfterSidewalk(pDX);
  if (m_hWnd)
    InvalidateRect(&m_pictureRect, TRUE);
}

void CFormPage::ExchangeCarriageway(CDataExchange* pDX, int id, double& width)
{
  DDX_Text(pDX, id, width);
  if (pDX->m_bSaveAndValidate && !Within(width, kWidthLow, m_areaWidth))
    Refuse(pDX, BoundsMessage(kCarriagewayMessage, kWidthLow, m_areaWidth));
}

void CFormPage::LowerToArea(double& width) const { width = std::min(width, m_areaWidth); }

bool CFormPage::SpinWidth(double& width, double delta) const
{
  const double next = width - delta;
  if (Within(next, kWidthLow, m_areaWidth))
    width = next;
  return true;
}

BOOL CFormPage::TransferData(BOOL save)
{
  IArea* area = Area();
  ModelRef<ICustomizeRoad> site(area, IID_ICustomizeRoad);
  if (!area || !site)
    return UpdateData(save);
  if (!save) {
    m_areaWidth = *area->GetWidth();
    m_areaLength = *area->GetLength();
    LowerWidths();
    LoadForm();
    ShowData();
    m_loaded = TRUE;
    Invalidate();
  }
  if (!UpdateData(save))
    return FALSE;
  bool buildable = true;
  if (save) {
    StoreForm(site.get());
    int state = *site->GetSidewalkState();
    state = m_sidewalk ? (state & ~0x2) : (state | 0x2);
    site->SetSidewalkState(&state);
    site->SetSidewalkWidth(&m_sidewalkWidth);
    site->SetSidewalkGap(&m_gap);
    buildable = StoreAfterSidewalk(site.get());
  }
  // A form the model cannot build is neither built nor drawn: the preview shows the bare area.
  m_formBuilt = buildable && area->BuildTypicalForm() == 0;
  if (m_hWnd)
    InvalidateRect(&m_pictureRect, TRUE);
  if (!buildable) {
    MessageBox(ProgramString(kUnbuildableMessage), ProgramString(kMessageCaption), MB_ICONEXCLAMATION);
    return FALSE;
  }
  return TRUE;
}

void CFormPage::OnEditChanged(UINT id)
{
  if (IsLiveEdit(id))
    OnLiveEdit(id);
}

void CFormPage::OnLiveEdit(UINT) { TransferData(TRUE); }

void CFormPage::OnSpinNotify(UINT id, NMHDR* notify, LRESULT* result)
{
  *result = 0;
  const double delta = reinterpret_cast<NMUPDOWN*>(notify)->iDelta;
  if (id == kSidewalkSpin) {
    if (Within(m_sidewalkWidth - delta, kWidthLow, kSidewalkHigh))
      m_sidewalkWidth -= delta;
  } else if (id == kGapSpin) {
    if (Within(m_gap - delta, 0, kSidewalkHigh))
      m_gap -= delta;
  } else if (!SpinForm(id, delta)) {
    return;
  }
  AfterSpin();
  UpdateData(FALSE);
  TransferData(TRUE);
}

void CFormPage::OnSidewalkClicked()
{
  UpdateData(TRUE);
  m_sidewalk = ::IsDlgButtonChecked(m_hWnd, kSidewalkCheck) == BST_CHECKED ? 1 : 0;
  EnableControls({1059, 1060, 1061, 1062, 1063, 1064, 1065, 1066}, m_sidewalk != 0);
  m_sidewalkWidth = m_sidewalk ? 2.0 : 0;
  m_gap = m_sidewalk ? 1.0 : 0;
  UpdateData(FALSE);
  TransferData(TRUE);
}

void CFormPage::OnPaint()
{
  CPaintDC dc(this);
  if (!m_loaded)
    return;
  PaintAreaPicture(this, dc, m_labelFont, m_areaLength, m_areaWidth, m_formBuilt ? Area() : nullptr,
                   &m_pictureRect);
}

// Turn

BEGIN_MESSAGE_MAP(CPageOfPropOfTurnLine, CFormPage)
  ON_BN_CLICKED(1068, &CPageOfPropOfTurnLine::OnFilletClicked)
END_MESSAGE_MAP()

CPageOfPropOfTurnLine::CPageOfPropOfTurnLine(_WIZARD_DATA* data) : CFormPage(kTurnTemplate, data) {}

void CPageOfPropOfTurnLine::ShowData()
{
  CFormPage::ShowData();
  EnableControls({1067, 1069, 1070, 1071}, m_fillet != 0);
}

bool CPageOfPropOfTurnLine::FilletTicked() const { return ::IsDlgButtonChecked(m_hWnd, 1068) == BST_CHECKED; }

double CPageOfPropOfTurnLine::MinRadius() const
{
  ModelRef<ICustomizeRoad> site(Area(), IID_ICustomizeRoad);
  BOOL clamp = FALSE;
  return (site ? site->GetMinTurnRadius(&clamp) : 0) + kFilletMargin;
}

void CPageOfPropOfTurnLine::RaiseRadius()
{
  if (FilletTicked())
    m_radius = std::max(m_radius, MinRadius());
}

void CPageOfPropOfTurnLine::ExchangeForm(CDataExchange* pDX)
{
  ExchangeCarriageway(pDX, 1056, m_width);
  if (pDX->m_bSaveAndValidate && FilletTicked() && m_width / 2 > m_radius) {
    m_radius = m_width / 2;
    CString text;
    text.Format("%ld", static_cast<long>(m_radius + 0.5));
    SetDlgItemText(1067, text);
  }
  DDX_Text(pDX, 1057, m_angle);
  if (pDX->m_bSaveAndValidate && !Within(m_angle, -90, 90))
    Refuse(pDX, BoundsMessage(kTurnAngleMessage, -90.0, 90.0));
}

void CPageOfPropOfTurnLine::ExchangeAfterSidewalk(CDataExchange* pDX)
{
  DDX_Text(pDX, 1067, m_radius);
  if (pDX->m_bSaveAndValidate && m_fillet && m_width / 2 > m_radius) {
    CString text;
    text.Format(ProgramString(kFilletMessage), m_width / 2);
    Refuse(pDX, text);
  }
  DDX_Check(pDX, 1068, m_fillet);
}

void CPageOfPropOfTurnLine::LowerWidths() { LowerToArea(m_width); }

void CPageOfPropOfTurnLine::StoreForm(ICustomizeRoad* site)
{
  site->SetBranchWidth1(&m_width);
  site->SetFormAngle1(&m_angle);
}

bool CPageOfPropOfTurnLine::StoreAfterSidewalk(ICustomizeRoad* site)
{
  const double radius = m_fillet ? m_radius : 0;
  site->SetTurnRadius(&radius);
  BOOL clamp = TRUE;
  site->GetMinTurnRadius(&clamp);
  return true;
}

bool CPageOfPropOfTurnLine::IsLiveEdit(UINT id) const
{
  return id == 1056 || id == 1057 || id == 1059 || id == 1060 || id == 1067;
}

void CPageOfPropOfTurnLine::OnLiveEdit(UINT)
{
  TransferData(TRUE);
  if (FilletTicked()) {
    RaiseRadius();
    UpdateData(FALSE);
  }
}

bool CPageOfPropOfTurnLine::SpinForm(UINT id, double delta)
{
  switch (id) {
  case 1037: SpinWidth(m_width, delta); break;
  case 1040:
    if (Within(m_angle - delta, -90, 90))
      m_angle -= delta;
    break;
  case 1070:
    if (m_radius - delta >= MinRadius())
      m_radius -= delta;
    break;
  default: return false;
  }
  return true;
}

void CPageOfPropOfTurnLine::AfterSpin() { RaiseRadius(); }

void CPageOfPropOfTurnLine::OnFilletClicked()
{
  UpdateData(TRUE);
  m_fillet = FilletTicked() ? 1 : 0;
  EnableControls({1067, 1069, 1070, 1071}, m_fillet != 0);
  m_radius = m_fillet ? MinRadius() : 0;
  UpdateData(FALSE);
  TransferData(TRUE);
}

void CPageOfPropOfTurnLine::AppendSummary(CString& text) const
{
  text += "\r\nПроезжая часть (Поворот):\r\n";
  AppendValueLine(text, "   Ширина полосы: %s м \r\n", m_width);
  AppendValueLine(text, "   Угол поворота: %s грд. \r\n", m_angle);
  AppendSidewalkSummary(text);
  if (m_fillet)
    AppendValueLine(text, "   Радиус сопряжения: %s м\r\n", m_radius);
}

// Fork

CPageOfPropOfForkLine::CPageOfPropOfForkLine(_WIZARD_DATA* data) : CFormPage(kForkTemplate, data) {}

void CPageOfPropOfForkLine::ExchangeForm(CDataExchange* pDX)
{
  const bool save = pDX->m_bSaveAndValidate != 0;
  ExchangeCarriageway(pDX, 1088, m_width1);
  ExchangeCarriageway(pDX, 1089, m_width2);
  ExchangeCarriageway(pDX, 1090, m_width3);
  // Both branches square to the first one at once leave no fork.
  DDX_Text(pDX, 1091, m_angle12);
  if (save && (m_angle12 < 10 || m_angle12 > 90 || (m_angle13 == -90 && m_angle12 == 90)))
    Refuse(pDX, BoundsMessage(kForkAngle2Message, 10.0, 90.0));
  DDX_Text(pDX, 1067, m_angle13);
  if (save && (m_angle13 < -90 || m_angle13 > -10 || (m_angle13 == -90 && m_angle12 == 90)))
    Refuse(pDX, BoundsMessage(kForkAngle3Message, -90.0, -10.0));
}

void CPageOfPropOfForkLine::LowerWidths()
{
  LowerToArea(m_width1);
  LowerToArea(m_width2);
  LowerToArea(m_width3);
}

void CPageOfPropOfForkLine::StoreForm(ICustomizeRoad* site)
{
  site->SetBranchWidth1(&m_width1);
  site->SetBranchWidth2(&m_width2);
  site->SetBranchWidth3(&m_width3);
  site->SetFormAngle1(&m_angle12);
  site->SetFormAngle2(&m_angle13);
}

bool CPageOfPropOfForkLine::IsLiveEdit(UINT id) const
{
  return id == 1088 || id == 1089 || id == 1090 || id == 1091 || id == 1067 || id == 1059 || id == 1060;
}

bool CPageOfPropOfForkLine::SpinForm(UINT id, double delta)
{
  switch (id) {
  case 1037: return SpinWidth(m_width1, delta);
  case 1038: return SpinWidth(m_width2, delta);
  case 1039: return SpinWidth(m_width3, delta);
  case 1040: {
    const double next = m_angle12 - delta;
    if (Within(next, 10, 90) && !(next == 90 && m_angle13 == -90))
      m_angle12 = next;
    return true;
  }
  case 1041: {
    const double next = m_angle13 - delta;
    if (Within(next, -90, -10) && !(next == -90 && m_angle12 == 90))
      m_angle13 = next;
    return true;
  }
  default: return false;
  }
}

void CPageOfPropOfForkLine::AppendSummary(CString& text) const
{
  text += "\r\nПроезжая часть (Развилка):\r\n";
  AppendValueLine(text, "   Ширина ПЧ-1: %s м \r\n", m_width1);
  AppendValueLine(text, "   Ширина ПЧ-2: %s м \r\n", m_width2);
  AppendValueLine(text, "   Ширина ПЧ-3: %s м \r\n", m_width3);
  AppendValueLine(text, "   Угол отклонения ПЧ-2 от ПЧ-1: %s грд. \r\n", m_angle12);
  AppendValueLine(text, "   Угол отклонения ПЧ-3 от ПЧ-1: %s грд. \r\n", m_angle13);
  AppendSidewalkSummary(text);
}

// Crossing and T-junction

CTwoBranchPage::CTwoBranchPage(UINT templateId, UINT angleMessage, _WIZARD_DATA* data)
    : CFormPage(templateId, data), m_angleMessage(angleMessage)
{
}

void CTwoBranchPage::ExchangeForm(CDataExchange* pDX)
{
  ExchangeCarriageway(pDX, 1088, m_width1);
  ExchangeCarriageway(pDX, 1089, m_width2);
  DDX_Text(pDX, 1091, m_angle);
  if (pDX->m_bSaveAndValidate && !Within(std::fabs(m_angle), 10, 170))
    Refuse(pDX, BoundsMessage(m_angleMessage, 10.0, 170.0));
}

void CTwoBranchPage::LowerWidths()
{
  LowerToArea(m_width1);
  LowerToArea(m_width2);
}

void CTwoBranchPage::StoreForm(ICustomizeRoad* site)
{
  site->SetBranchWidth1(&m_width1);
  site->SetBranchWidth2(&m_width2);
  site->SetFormAngle1(&m_angle);
}

bool CTwoBranchPage::IsLiveEdit(UINT id) const
{
  return id == 1088 || id == 1089 || id == 1091 || id == 1059 || id == 1060;
}

bool CTwoBranchPage::SpinForm(UINT id, double delta)
{
  switch (id) {
  case 1037: return SpinWidth(m_width1, delta);
  case 1038: return SpinWidth(m_width2, delta);
  case 1040:
    if (Within(std::fabs(m_angle - delta), 10, 170))
      m_angle -= delta;
    return true;
  default: return false;
  }
}

void CTwoBranchPage::AppendBranches(CString& text, const char* heading, const char* angleLine) const
{
  text += heading;
  AppendValueLine(text, "   Ширина ПЧ-1: %s м \r\n", m_width1);
  AppendValueLine(text, "   Ширина ПЧ-2: %s м \r\n", m_width2);
  AppendValueLine(text, angleLine, m_angle);
  AppendSidewalkSummary(text);
}

CPageOfPropOfCrossingLine::CPageOfPropOfCrossingLine(_WIZARD_DATA* data)
    : CTwoBranchPage(kCrossingTemplate, kCrossingAngleMessage, data)
{
}

void CPageOfPropOfCrossingLine::AppendSummary(CString& text) const
{
  AppendBranches(text, "\r\nПроезжая часть (Пересечение):\r\n", "   Угол пересечения ПЧ-1 и ПЧ-2: %s грд. \r\n");
}

CPageOfPropOfContiguityLine::CPageOfPropOfContiguityLine(_WIZARD_DATA* data)
    : CTwoBranchPage(kJunctionTemplate, kJunctionAngleMessage, data)
{
}

void CPageOfPropOfContiguityLine::AppendSummary(CString& text) const
{
  AppendBranches(text, "\r\nПроезжая часть (Примыкание):\r\n", "   Угол примыкания ПЧ-2 к ПЧ-1: %s грд. \r\n");
}

// Widening

BEGIN_MESSAGE_MAP(CPageOfPropOfAugmentationLine, CFormPage)
  ON_CBN_SELCHANGE(1034, &CPageOfPropOfAugmentationLine::OnTypeChanged)
END_MESSAGE_MAP()

CPageOfPropOfAugmentationLine::CPageOfPropOfAugmentationLine(_WIZARD_DATA* data) : CFormPage(kWideningTemplate, data)
{
}

BOOL CPageOfPropOfAugmentationLine::OnInitDialog()
{
  CFormPage::OnInitDialog();
  // The list's entries stand in the page's resources' place.
  FillList(1034, {CString("с обеих сторон"), CString("снизу"), CString("сверху")});
  return TRUE;
}

void CPageOfPropOfAugmentationLine::ExchangeForm(CDataExchange* pDX)
{
  DDX_CBIndex(pDX, 1034, m_type);
  ExchangeCarriageway(pDX, 1088, m_width1);
  ExchangeCarriageway(pDX, 1089, m_width2);
  DDX_Text(pDX, 1092, m_length);
  if (pDX->m_bSaveAndValidate && (m_length < 0 || m_length >= m_areaLength))
    Refuse(pDX, BoundsMessage(kWideningLengthMessage, 0.0, m_areaLength));
}

void CPageOfPropOfAugmentationLine::LowerWidths()
{
  LowerToArea(m_width1);
  LowerToArea(m_width2);
}

void CPageOfPropOfAugmentationLine::LoadForm()
{
  m_length = m_areaLength / 2;
  ModelRef<ICustomizeRoad> site(Area(), IID_ICustomizeRoad);
  const int type = site ? *site->GetWideningType() : 0;
  m_type = (type & 1) ? 1 : (type & 2) ? 2 : 0;
}

void CPageOfPropOfAugmentationLine::StoreForm(ICustomizeRoad* site)
{
  site->SetBranchWidth1(&m_width1);
  site->SetBranchWidth2(&m_width2);
  site->SetWideningLength(&m_length);
  const int type = (*site->GetWideningType() & ~0xF) + m_type;
  site->SetWideningType(&type);
}

bool CPageOfPropOfAugmentationLine::IsLiveEdit(UINT id) const
{
  return id == 1088 || id == 1089 || id == 1059 || id == 1060;
}

bool CPageOfPropOfAugmentationLine::SpinForm(UINT id, double delta)
{
  switch (id) {
  case 1037: return SpinWidth(m_width1, delta);
  case 1038: return SpinWidth(m_width2, delta);
  case 1040:
    if (m_length - delta >= 0 && m_length - delta < m_areaLength)
      m_length -= delta;
    return true;
  default: return false;
  }
}

void CPageOfPropOfAugmentationLine::OnTypeChanged() { TransferData(TRUE); }

void CPageOfPropOfAugmentationLine::AppendSummary(CString& text) const
{
  static constexpr UINT kTypeNames[] = {583, 584, 585};
  text += "\r\nПроезжая часть (Уширение):\r\n";
  const CString typeName = m_type >= 0 && m_type < 3 ? ProgramString(kTypeNames[m_type]) : CString();
  text.AppendFormat("   Тип уширения: %s\r\n", static_cast<LPCSTR>(typeName));
  AppendValueLine(text, "   Ширина ПЧ-1: %s м \r\n", m_width1);
  AppendValueLine(text, "   Ширина ПЧ-2: %s м \r\n", m_width2);
  AppendValueLine(text, "   Длина уширения: %s м \r\n", m_length);
  AppendSidewalkSummary(text);
}

// Roundabout

CPageOfPropOfCircularMotionLine::CPageOfPropOfCircularMotionLine(_WIZARD_DATA* data)
    : CFormPage(kRoundaboutTemplate, data)
{
}

void CPageOfPropOfCircularMotionLine::ExchangeForm(CDataExchange* pDX)
{
  const bool save = pDX->m_bSaveAndValidate != 0;
  DDX_Text(pDX, 1093, m_innerRadius);
  if (save && m_innerRadius < 0)
    Refuse(pDX, ProgramString(kInnerRadiusMessage));
  if (save && m_innerRadius >= m_outerRadius)
    Refuse(pDX, ProgramString(kUnbuildableMessage));
  DDX_Text(pDX, 1094, m_outerRadius);
  if (save && m_width > m_outerRadius)
    Refuse(pDX, ProgramString(kUnbuildableMessage));
  DDX_Text(pDX, 1095, m_count);
  if (save && (m_count < 1 || m_count > 5))
    Refuse(pDX, BoundsMessage(kBranchCountMessage, 1L, 5L));
  ExchangeCarriageway(pDX, 1056, m_width);
}

void CPageOfPropOfCircularMotionLine::LowerWidths() { LowerToArea(m_width); }

void CPageOfPropOfCircularMotionLine::StoreForm(ICustomizeRoad* site)
{
  site->SetBranchCount(&m_count);
  site->SetFormDefaults();
  site->SetInnerRadius(&m_innerRadius);
  site->SetOuterRadius(&m_outerRadius);
  site->SetBranchWidth1(&m_width);
  site->SetBranchWidth2(&m_width);
  site->SetBranchWidth3(&m_width);
  site->SetBranchWidth4(&m_width);
  site->SetBranchWidth5(&m_width);
}

bool CPageOfPropOfCircularMotionLine::StoreAfterSidewalk(ICustomizeRoad* site)
{
  // The page's copies of the area size may grow to hold the ring; 0: the ring and its carriageways do not fit.
  return site->FitAreaForRoundabout(&m_areaWidth, &m_areaLength, TRUE) != 0;
}

bool CPageOfPropOfCircularMotionLine::IsLiveEdit(UINT id) const { return id == 1093 || id == 1059 || id == 1060; }

bool CPageOfPropOfCircularMotionLine::SpinForm(UINT id, double delta)
{
  switch (id) {
  case 1037: {
    const double next = m_innerRadius - delta;
    if (next >= 0 && next < m_outerRadius)
      m_innerRadius = next;
    return true;
  }
  case 1038: {
    const double next = m_outerRadius - delta;
    if (next >= m_width && next < std::min(m_areaWidth, m_areaLength) / 2)
      m_outerRadius = next;
    return true;
  }
  case 1039: {
    const double next = m_count - delta;
    if (Within(next, 1, 5))
      m_count = static_cast<int>(next);
    return true;
  }
  case 1040: {
    const double next = m_width - delta;
    if (next >= kWidthLow && next < m_outerRadius)
      m_width = next;
    return true;
  }
  default: return false;
  }
}

void CPageOfPropOfCircularMotionLine::AppendSummary(CString& text) const
{
  text += "\r\nПроезжая часть (Кольцевое пересечение):\r\n";
  AppendValueLine(text, "   Радиус внутренний: %s м \r\n", m_innerRadius);
  AppendValueLine(text, "   Радиус внешний: %s м \r\n", m_outerRadius);
  text.AppendFormat("   Число ПЧ: %ld \r\n", static_cast<long>(m_count));
  AppendValueLine(text, "   Ширина ПЧ: %s м \r\n", m_width);
  AppendSidewalkSummary(text);
}

}  // namespace Wizard
