#include "wizard/road_pages.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/iroad.h"
#include "model/shell/shell_services.h"
#include "platform/user/common_controls.h"

namespace Wizard {

namespace {

constexpr int kWelcomeKinds[] = {0, 1, 3, 4, 2, 5, 7};
constexpr const char* kWelcomeTexts[] = {"Прямая дорога", "Поворот", "Пересечение", "Примыкание",
                                         "Развилка", "Уширение", "Кольцевое пересечение"};
constexpr UINT kArrangementNames[] = {258, 262, 263, 264, 265, 266};

// Messages of the straight-road pages.
constexpr UINT kLaneCountMessage = 167;
constexpr UINT kLaneWidthMessage = 173;
constexpr UINT kDividerWidthMessage = 185;
constexpr UINT kSidewalkWidthMessage = 196;
constexpr UINT kGapMessage = 202;
constexpr UINT kSpacingMessage = 397;

constexpr double kWidthLow = 0.01;
constexpr double kWidthHigh = 100;

// Controls of the straight-road page.
enum : int {
  kDirection = 1034,
  kLanes = 1036,
  kLanesSpin = 1037,
  kLaneWidth = 1039,
  kLaneWidthSpin = 1040,
  kDividerCheck = 1004,
  kDividerWidth = 1042,
  kDividerSpin = 1043,
  kSidewalkCheck = 1020,
  kSidewalkWidth = 1046,
  kSidewalkSpin = 1047,
  kGap = 1050,
  kGapSpin = 1051,
};

bool Within(double value, double low, double high) { return value >= low && value <= high; }

void MakeBigFont(CFont& font)
{
  if (!font.m_hObject)
    font.CreateFont(22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial Cyr");
}

}  // namespace

int KindOfWelcomeIndex(int index)
{
  return index >= 0 && index < static_cast<int>(std::size(kWelcomeKinds)) ? kWelcomeKinds[index] : 0;
}

int WelcomeIndexOfKind(int kind)
{
  for (int i = 0; i < static_cast<int>(std::size(kWelcomeKinds)); ++i) {
    if (kWelcomeKinds[i] == kind)
      return i;
  }
  return 0;
}

CString ArrangementName(int arrangement)
{
  if (arrangement < 0 || arrangement >= static_cast<int>(std::size(kArrangementNames)))
    return CString();
  return ProgramString(kArrangementNames[arrangement]);
}

// Welcome page

BEGIN_MESSAGE_MAP(CPageOfWellcom, CWDialog)
  ON_CBN_SELCHANGE(1030, &CPageOfWellcom::OnKindChanged)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPageOfWellcom::CPageOfWellcom(const CString& title, _WIZARD_DATA* data) : CWDialog(kWelcomeTemplate, title, data) {}

CPageOfWellcom::~CPageOfWellcom()
{
  if (m_picture)
    ::DeleteObject(m_picture);
}

BOOL CPageOfWellcom::OnInitDialog()
{
  CWDialog::OnInitDialog();
  m_picture = ShowRoadPicture(this);
  MakeBigFont(m_bigFont);
  // The list's entries stand in the page's resources' place.
  FillList(1030, std::vector<CString>(std::begin(kWelcomeTexts), std::end(kWelcomeTexts)));
  return TRUE;
}

void CPageOfWellcom::DoDataExchange(CDataExchange* pDX) { DDX_Control(pDX, 1030, m_kind); }

void CPageOfWellcom::ShowData()
{
  if (CWnd* title = GetDlgItem(1029))
    title->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_bigFont.m_hObject), TRUE);
  SelectListEntry(1030, WelcomeIndexOfKind(m_data->type));
}

BOOL CPageOfWellcom::TransferData(BOOL save)
{
  if (!save)
    ShowData();
  const BOOL ok = UpdateData(save);
  if (ok && save)
    m_next = m_data->type != 0 ? m_sectionPage : m_roadPage;
  return ok;
}

void CPageOfWellcom::OnKindChanged()
{
  m_data->type = KindOfWelcomeIndex(ListSelection(1030));
}

HBRUSH CPageOfWellcom::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
  pDC->SetBkColor(::GetSysColor(COLOR_WINDOW));
  return ::GetSysColorBrush(COLOR_WINDOW);
}

// Straight-road page

BEGIN_MESSAGE_MAP(CPageOfPropOfStraightRoad, CWDialog)
  ON_CONTROL_RANGE(EN_CHANGE, kLanes, kGap, &CPageOfPropOfStraightRoad::OnValueChanged)
  ON_NOTIFY_RANGE(UDN_DELTAPOS, kLanesSpin, kGapSpin, &CPageOfPropOfStraightRoad::OnSpin)
  ON_CBN_SELCHANGE(kDirection, &CPageOfPropOfStraightRoad::OnDirectionChanged)
  ON_BN_CLICKED(kDividerCheck, &CPageOfPropOfStraightRoad::OnDividerClicked)
  ON_BN_CLICKED(kSidewalkCheck, &CPageOfPropOfStraightRoad::OnSidewalkClicked)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPageOfPropOfStraightRoad::CPageOfPropOfStraightRoad(const CString& title, _WIZARD_DATA* data)
    : CWDialog(kStraightRoadTemplate, title, data)
{
}

BOOL CPageOfPropOfStraightRoad::OnInitDialog()
{
  CWDialog::OnInitDialog();
  GetClientRect(&m_pictureRect);
  InitHeader();
  CreateLabelFont(m_labelFont);
  FillList(kDirection, {CString("одностороннее"), CString("двустороннее")});
  return TRUE;
}

void CPageOfPropOfStraightRoad::ShowData()
{
  SelectListEntry(kDirection, m_span.twoWay);
  EnableDivider();
}

void CPageOfPropOfStraightRoad::EnableDivider()
{
  EnableControls({kDividerCheck}, m_span.twoWay != 0);
  EnableControls({1041, kDividerWidth, kDividerSpin, 1044}, m_span.twoWay && m_span.divider);
}

void CPageOfPropOfStraightRoad::EnableSidewalk()
{
  EnableControls({1045, kSidewalkWidth, kSidewalkSpin, 1048, 1049, kGap, kGapSpin, 1052}, m_span.sidewalk != 0);
}

void CPageOfPropOfStraightRoad::DoDataExchange(CDataExchange* pDX)
{
  const bool save = pDX->m_bSaveAndValidate != 0;
  DDX_Text(pDX, kLanes, m_span.lanes);
  if (save && (m_span.lanes < 1 || m_span.lanes > 6))
    Refuse(pDX, BoundsMessage(kLaneCountMessage, 1L, 6L));
  DDX_Text(pDX, kLaneWidth, m_span.laneWidth);
  if (save && !Within(m_span.laneWidth, kWidthLow, kWidthHigh))
    Refuse(pDX, BoundsMessage(kLaneWidthMessage, kWidthLow, kWidthHigh));
  DDX_Text(pDX, kDividerWidth, m_span.dividerWidth);
  if (save && m_span.twoWay && m_span.divider && !Within(m_span.dividerWidth, kWidthLow, kWidthHigh))
    Refuse(pDX, BoundsMessage(kDividerWidthMessage, kWidthLow, kWidthHigh));
  DDX_Check(pDX, kDividerCheck, m_span.divider);
  DDX_Text(pDX, kSidewalkWidth, m_span.sidewalkWidth);
  if (save && m_span.sidewalk && !Within(m_span.sidewalkWidth, kWidthLow, kWidthHigh))
    Refuse(pDX, BoundsMessage(kSidewalkWidthMessage, kWidthLow, kWidthHigh));
  DDX_Text(pDX, kGap, m_span.gap);
  if (save && m_span.sidewalk && !Within(m_span.gap, 0.0, kWidthHigh))
    Refuse(pDX, BoundsMessage(kGapMessage, 0.0, kWidthHigh));
  DDX_Check(pDX, kSidewalkCheck, m_span.sidewalk);
  if (m_hWnd)
    InvalidateRect(&m_pictureRect, TRUE);
}

double CPageOfPropOfStraightRoad::DividerWidthFromRoad()
{
  ModelRef<IRoad> road(Area(), IID_IRoad);
  const double width = road ? road->GetLaneWidth(&kLaneDivider) : 0;
  return width == 0 ? 1.0 : width;
}

void CPageOfPropOfStraightRoad::OnValueChanged(UINT id)
{
  if (id == kLanes || id == kLaneWidth || id == kDividerWidth || id == kSidewalkWidth || id == kGap)
    UpdateData(TRUE);
}

void CPageOfPropOfStraightRoad::OnSpin(UINT id, NMHDR* notify, LRESULT* result)
{
  switch (id) {
  case kLanesSpin: {
    const double lanes = SpinValue(m_span.lanes, notify, result);
    if (Within(lanes, 1, 6))
      m_span.lanes = static_cast<int>(lanes);
    break;
  }
  case kLaneWidthSpin: {
    const double width = SpinValue(m_span.laneWidth, notify, result);
    if (Within(width, kWidthLow, kWidthHigh))
      m_span.laneWidth = width;
    break;
  }
  case kDividerSpin: {
    const double width = SpinValue(m_span.dividerWidth, notify, result);
    if (Within(width, kWidthLow, kWidthHigh))
      m_span.dividerWidth = width;
    break;
  }
  case kSidewalkSpin: {
    const double width = SpinValue(m_span.sidewalkWidth, notify, result);
    if (Within(width, kWidthLow, kWidthHigh))
      m_span.sidewalkWidth = width;
    break;
  }
  case kGapSpin: {
    const double gap = SpinValue(m_span.gap, notify, result);
    if (Within(gap, 0, kWidthHigh))
      m_span.gap = gap;
    break;
  }
  default: *result = 0; return;
  }
  UpdateData(FALSE);
}

void CPageOfPropOfStraightRoad::OnDirectionChanged()
{
  m_span.twoWay = ListSelection(kDirection) != 0 ? 1 : 0;
  UpdateData(TRUE);
  if (m_span.twoWay) {
    ModelRef<IRoad> road(Area(), IID_IRoad);
    m_span.divider = road && road->HasDivider() ? 1 : 0;
    m_span.dividerWidth = m_span.divider ? DividerWidthFromRoad() : 0;
  } else {
    m_span.divider = 0;
    m_span.dividerWidth = 0;
    UpdateData(FALSE);
  }
  EnableDivider();
  EnableSidewalk();
  UpdateData(FALSE);
}

void CPageOfPropOfStraightRoad::OnDividerClicked()
{
  UpdateData(TRUE);
  m_span.divider = ::IsDlgButtonChecked(m_hWnd, kDividerCheck) == BST_CHECKED ? 1 : 0;
  if (!m_span.twoWay) {
    m_span.divider = 0;
    m_span.dividerWidth = 0;
  } else {
    m_span.dividerWidth = m_span.divider ? DividerWidthFromRoad() : 0;
  }
  EnableDivider();
  UpdateData(FALSE);
}

void CPageOfPropOfStraightRoad::OnSidewalkClicked()
{
  UpdateData(TRUE);
  m_span.sidewalk = ::IsDlgButtonChecked(m_hWnd, kSidewalkCheck) == BST_CHECKED ? 1 : 0;
  if (m_span.sidewalk) {
    m_span.sidewalkFlags &= ~kSideAbsent;
    ModelRef<IPavement> pavement(Area(), IID_IPavement);
    ModelRef<ILineOfRoad> right(pavement.get(), IID_RightPavement);
    m_span.sidewalkWidth = right ? *right->GetWidth() : 0;
    m_span.gap = right ? *right->GetGap() : 0;
  } else {
    m_span.sidewalkFlags |= kSideAbsent;
    m_span.sidewalkWidth = 0;
    m_span.gap = 0;
  }
  EnableSidewalk();
  UpdateData(FALSE);
}

BOOL CPageOfPropOfStraightRoad::TransferData(BOOL save)
{
  ModelRef<IRoad> road(Area(), IID_IRoad);
  ModelRef<IPavement> pavement(Area(), IID_IPavement);
  if (!road || !pavement)
    return UpdateData(save);
  road->UpdateAreaWidth();
  if (!save) {
    LoadRoadSpan(Area(), m_span);
    ShowData();
    EnableSidewalk();
    m_loaded = TRUE;
    Invalidate();
  }
  const BOOL ok = UpdateData(save);
  if (!ok)
    return FALSE;
  if (save) {
    if ((road->IsTwoWay() != 0) != (m_span.twoWay != 0))
      road->SetTwoWay(&m_span.twoWay);
    const UINT lanes = static_cast<UINT>(m_span.lanes);
    road->SetLaneCount(&kLaneMain, &lanes);
    road->SetLaneWidth(&kLaneMain, &m_span.laneWidth);
    const double noDivider = 1.0;
    if (m_span.twoWay) {
      road->SetLaneCount(&kLaneOpposite, &lanes);
      road->SetLaneWidth(&kLaneOpposite, &m_span.laneWidth);
      road->SetDividerOn(&m_span.divider);
      road->SetLaneWidth(&kLaneDivider, m_span.divider ? &m_span.dividerWidth : &noDivider);
    } else {
      const int off = 0;
      road->SetLaneWidth(&kLaneDivider, &noDivider);
      road->SetDividerOn(&off);
    }
    road->UpdateAreaWidth();
    road->SetState(&m_span.roadState);
    pavement->SetFlags(&m_span.sidewalkFlags);
    if (!(m_span.sidewalkFlags & kSideAbsent)) {
      for (const IID* side : {&IID_RightPavement, &IID_LeftPavement}) {
        ModelRef<ILineOfRoad> strip(pavement.get(), *side);
        if (strip) {
          strip->SetWidth(&m_span.sidewalkWidth);
          strip->SetGap(&m_span.gap);
        }
      }
    }
  }
  return ok;
}

void CPageOfPropOfStraightRoad::OnPaint()
{
  CPaintDC dc(this);
  if (!m_loaded)
    return;
  PaintRoadPicture(this, dc, m_labelFont, m_span, &m_pictureRect);
}

// Lighting-scheme page

BEGIN_MESSAGE_MAP(CPageOfPropOfStraightScheme, CWDialog)
  ON_CBN_SELCHANGE(1034, &CPageOfPropOfStraightScheme::OnArrangementChanged)
  ON_EN_CHANGE(1036, &CPageOfPropOfStraightScheme::OnSpacingChanged)
  ON_NOTIFY(UDN_DELTAPOS, 1037, &CPageOfPropOfStraightScheme::OnSpin)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CPageOfPropOfStraightScheme::CPageOfPropOfStraightScheme(const CString& title, _WIZARD_DATA* data)
    : CWDialog(kSchemeTemplate, title, data)
{
}

BOOL CPageOfPropOfStraightScheme::OnInitDialog()
{
  CWDialog::OnInitDialog();
  GetClientRect(&m_pictureRect);
  InitHeader();
  CreateLabelFont(m_labelFont);
  std::vector<CString> names;
  for (UINT id : kArrangementNames)
    names.push_back(ProgramString(id));
  FillList(1034, names);
  SelectListEntry(1034, 0);
  return TRUE;
}

void CPageOfPropOfStraightScheme::ShowData()
{
  SelectListEntry(1034, m_arrangement);
}

void CPageOfPropOfStraightScheme::DoDataExchange(CDataExchange* pDX)
{
  DDX_Text(pDX, 1036, m_span.spacing);
  if (pDX->m_bSaveAndValidate && !(m_span.spacing > 0))
    Refuse(pDX, ProgramString(kSpacingMessage));
  if (m_hWnd)
    InvalidateRect(&m_pictureRect, TRUE);
}

void CPageOfPropOfStraightScheme::OnArrangementChanged()
{
  m_arrangement = ListSelection(1034);
  InvalidateRect(&m_pictureRect, TRUE);
}

void CPageOfPropOfStraightScheme::OnSpacingChanged() { UpdateData(TRUE); }

void CPageOfPropOfStraightScheme::OnSpin(NMHDR* notify, LRESULT* result)
{
  const double spacing = SpinValue(m_span.spacing, notify, result);
  if (spacing > 0)
    m_span.spacing = spacing;
  UpdateData(FALSE);
}

BOOL CPageOfPropOfStraightScheme::TransferData(BOOL save)
{
  ModelRef<IRoad> road(Area(), IID_IRoad);
  if (road)
    road->UpdateAreaWidth();
  ModelRef<IGroupsOfDev> groups(Area(), IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
  if (!save) {
    if (group)
      m_arrangement = *group->GetRoadScheme();
    LoadRoadSpan(Area(), m_span);
    ShowData();
    m_loaded = TRUE;
    Invalidate();
  }
  const BOOL ok = UpdateData(save);
  if (ok && save && group) {
    group->SetRoadScheme(&m_arrangement);
    group->SetStep(&m_span.spacing);
  }
  return ok;
}

void CPageOfPropOfStraightScheme::OnPaint()
{
  CPaintDC dc(this);
  if (!m_loaded)
    return;
  PaintSchemePicture(this, dc, m_labelFont, m_span, m_arrangement, Area(), &m_pictureRect);
}

}  // namespace Wizard
