#include "wizard/end_page.h"

#include "graphics/core/model_ref.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/ipavement.h"
#include "model/ipole.h"
#include "model/iroad.h"
#include "model/shell/shell_services.h"
#include "wizard/form_pages.h"
#include "wizard/road_pages.h"
#include "wizard/wizard.h"

namespace Wizard {

namespace {

constexpr UINT kOneWay = 157;
constexpr UINT kTwoWay = 158;

void AppendStraightRoad(CString& text, IArea* area, IGroupOfDev* group)
{
  ModelRef<IRoad> road(area, IID_IRoad);
  ModelRef<IPavement> pavement(area, IID_IPavement);
  if (!road)
    return;
  road->UpdateAreaWidth();
  const int flags = pavement ? *pavement->GetFlags() : kSideAbsent;
  text += "Проезжая часть:\r\n";
  text.AppendFormat("   Движение: %s\r\n", static_cast<LPCSTR>(ProgramString(road->IsTwoWay() ? kTwoWay : kOneWay)));
  text.AppendFormat("   Число полос движения: %ld \r\n", static_cast<long>(road->GetLaneCount(&kLaneMain)));
  AppendValueLine(text, "   Ширина полосы: %s м \r\n", road->GetLaneWidth(&kLaneMain));
  if (road->IsTwoWay() && road->HasDivider())
    AppendValueLine(text, "   Ширина разделительной полосы: %s м\r\n", road->GetLaneWidth(&kLaneDivider));
  if (!(flags & kSideAbsent)) {
    ModelRef<ILineOfRoad> right(pavement.get(), IID_RightPavement);
    if (right) {
      AppendValueLine(text, "   Ширина тротуара: %s м\r\n", *right->GetWidth());
      AppendValueLine(text, "   Отступ от края проезжей части: %s м\r\n", *right->GetGap());
    }
  }
  if (group) {
    text.AppendFormat("   Схема размещения: %s\r\n", static_cast<LPCSTR>(ArrangementName(*group->GetRoadScheme())));
    AppendValueLine(text, "   Шаг между опорами: %s м\r\n", *group->GetStep());
  }
}

UINT FormTemplate(int kind)
{
  switch (kind) {
  case 1: return kTurnTemplate;
  case 2: return kForkTemplate;
  case 3: return kCrossingTemplate;
  case 4: return kJunctionTemplate;
  case 5: return kWideningTemplate;
  case 7: return kRoundaboutTemplate;
  default: return 0;
  }
}

ProjectLuminaireSource& LuminaireSource()
{
  static ProjectLuminaireSource source;
  return source;
}

void AppendLuminaire(CString& text)
{
  ProjectLuminaire luminaire;
  if (!LuminaireSource() || !LuminaireSource()(&luminaire) || luminaire.name.IsEmpty()) {
    text.AppendFormat("      Наименование: %s\r\n", kDefaultLuminaireName);
    text += "      Mощность: 100 Вт\r\n";
    text += "      Световой поток: 11500 лм\r\n";
    return;
  }
  text.AppendFormat("      Наименование: %s\r\n", static_cast<LPCSTR>(luminaire.name));
  AppendValueLine(text, "      Mощность: %s Вт\r\n", luminaire.power);
  AppendValueLine(text, "      Световой поток: %s лм\r\n", luminaire.flux);
}

}  // namespace

void SetProjectLuminaireSource(ProjectLuminaireSource source) { LuminaireSource() = std::move(source); }

CString BuildSummary(const _WIZARD_DATA& data, const CDlgWizard* wizard)
{
  CString text;
  ModelRef<IGroupsOfDev> groups(data.area, IID_IGroupsOfDev);
  ModelRef<IGroupOfDev> group(groups.get(), IID_IGroupOfDev);
  ModelRef<IPole> pole(group.get(), IID_IPole);

  if (data.type == 0) {
    AppendStraightRoad(text, data.area, group.get());
  } else if (const UINT formTemplate = FormTemplate(data.type); formTemplate != 0 && wizard) {
    const auto* page = dynamic_cast<const CFormPage*>(wizard->FindPage(static_cast<int>(formTemplate)));
    if (page) {
      text += "Расчетный участок:\r\n";
      AppendValueLine(text, "   Длина: %s м \r\n", page->m_areaLength);
      AppendValueLine(text, "   Ширина: %s м \r\n", page->m_areaWidth);
      page->AppendSummary(text);
    }
  }

  text += "\r\nПараметры проекта по умолчанию:\r\n";
  if (group && pole) {
    const int mounting = *group->GetMountingKind();
    AppendValueLine(text, "   Высота светового центра: %s м\r\n", pole->GetHeight(mounting));
    AppendValueLine(text, "   Вылет: %s м\r\n", pole->GetOutreach(mounting));
    if (data.type == 0)
      AppendValueLine(text, "   Отступ от края проезжей части: %s м\r\n", *pole->GetSetback());
    AppendValueLine(text, "   Наклон: %s град\r\n", pole->GetTilt(mounting));
  }
  text += "   Осветительный прибор:\r\n";
  AppendLuminaire(text);
  text += "\r\nПримечание: Параметры проекта заданные по умолчанию\r\nмогут быть изменены в разделе параметры "
          "соответствующих\r\nобъектов. Дополнительную информацию по работе с\r\nобъектами вы можете получить из "
          "справочной системы F1.\r\n";
  return text;
}

BEGIN_MESSAGE_MAP(CPageOfEnd, CWDialog)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CPageOfEnd::CPageOfEnd(_WIZARD_DATA* data) : CWDialog(kEndTemplate, CString(), data) {}

CPageOfEnd::~CPageOfEnd()
{
  if (m_picture)
    ::DeleteObject(m_picture);
}

BOOL CPageOfEnd::OnInitDialog()
{
  CWDialog::OnInitDialog();
  m_picture = ShowRoadPicture(this);
  m_bigFont.CreateFont(22, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial Cyr");
  return TRUE;
}

BOOL CPageOfEnd::TransferData(BOOL save)
{
  if (!save)
    ShowData();
  return UpdateData(save);
}

void CPageOfEnd::ShowData()
{
  if (CWnd* title = GetDlgItem(1029))
    title->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_bigFont.m_hObject), TRUE);
  // The summary is written only when the page sits in the wizard.
  const auto* wizard = dynamic_cast<const CDlgWizard*>(GetParent());
  if (!m_data || (m_data->type != 0 && !wizard))
    return;
  SetDlgItemText(1036, BuildSummary(*m_data, wizard));
}

HBRUSH CPageOfEnd::OnCtlColor(CDC* pDC, CWnd*, UINT)
{
  pDC->SetBkColor(::GetSysColor(COLOR_WINDOW));
  return ::GetSysColorBrush(COLOR_WINDOW);
}

}  // namespace Wizard
