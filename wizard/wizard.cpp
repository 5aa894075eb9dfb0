#include "wizard/wizard.h"

#include "model/customize_road.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/straight_road.h"
#include "platform/user/system.h"
#include "report/view/report_help.h"
#include "wizard/end_page.h"
#include "wizard/form_pages.h"
#include "wizard/road_pages.h"

namespace Wizard {

namespace {

constexpr UINT kCaptionBase = 493;
constexpr UINT kCaptionFlag0 = 494;
constexpr UINT kCaptionFlag1 = 495;
constexpr UINT kPageTitles[] = {496, 497, 498, 502};
constexpr char kAnalyticsScreen[] = "Мастер создания объектов";

// Indexes of the page array.
enum PageIndex { kWelcome, kStraightRoad, kSection, kScheme, kEnd, kTurn, kFork, kCrossing, kJunction, kWidening,
                 kRoundabout, kPageCount };

UINT FormTemplateOf(int kind)
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

}  // namespace

BEGIN_MESSAGE_MAP(CDlgWizard, CDialog)
  ON_COMMAND(kNextCommand, &CDlgWizard::OnNext)
  ON_COMMAND(kBackCommand, &CDlgWizard::OnBack)
  ON_COMMAND(IDOK, &CDlgWizard::OnFinish)
  ON_COMMAND(IDCANCEL, &CDlgWizard::OnWizardCancel)
  ON_COMMAND(kHelpCommand, &CDlgWizard::OnHelp)
END_MESSAGE_MAP()

CDlgWizard::CDlgWizard(_WIZARD_DATA* data, CWnd* parent) : CDialog(kWizardTemplate, parent), m_data(data) {}

CDlgWizard::~CDlgWizard()
{
  Shell::SendAnalyticsInfo(1);
  // Pages not yet deleted (a dialog that never ran DeletePages) go with the wizard.
  DeletePages();
}

void CDlgWizard::DeletePages()
{
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i)
    delete m_pages[i];
  m_pages.RemoveAll();
  m_current = nullptr;
}

CWDialog* CDlgWizard::Page(int index) const
{
  return index < m_pages.GetSize() ? static_cast<CWDialog*>(m_pages[index]) : nullptr;
}

BOOL CDlgWizard::OnInitDialog()
{
  CDialog::OnInitDialog();
  m_captionBase = ProgramString(kCaptionBase);
  if (m_flags & 1)
    m_captionBase = ProgramString(kCaptionFlag0);
  else if (m_flags & 2)
    m_captionBase = ProgramString(kCaptionFlag1);

  CString titles[kPageCount];
  for (int i = 0; i < 4; ++i)
    titles[i] = ProgramString(kPageTitles[i]);
  auto* welcome = new CPageOfWellcom(titles[kWelcome], m_data);
  auto* straightRoad = new CPageOfPropOfStraightRoad(titles[kStraightRoad], m_data);
  auto* section = new CPageOfPropOfCustomizeRoad(titles[kSection], m_data);
  auto* scheme = new CPageOfPropOfStraightScheme(titles[kScheme], m_data);
  auto* end = new CPageOfEnd(m_data);
  CWDialog* pages[kPageCount] = {welcome,
                                 straightRoad,
                                 section,
                                 scheme,
                                 end,
                                 new CPageOfPropOfTurnLine(m_data),
                                 new CPageOfPropOfForkLine(m_data),
                                 new CPageOfPropOfCrossingLine(m_data),
                                 new CPageOfPropOfContiguityLine(m_data),
                                 new CPageOfPropOfAugmentationLine(m_data),
                                 new CPageOfPropOfCircularMotionLine(m_data)};
  for (CWDialog* page : pages) {
    m_pages.Add(page);
    page->CreatePage(this);
  }
  welcome->m_next = straightRoad;
  welcome->m_roadPage = straightRoad;
  welcome->m_sectionPage = section;
  straightRoad->m_prev = welcome;
  straightRoad->m_next = scheme;
  section->m_prev = welcome;
  section->m_next = pages[kTurn];
  scheme->m_prev = straightRoad;
  scheme->m_next = end;
  for (int i = kTurn; i < kPageCount; ++i) {
    pages[i]->m_prev = section;
    pages[i]->m_next = end;
  }

  HideAllPages();
  m_current = welcome;
  ShowPage(welcome);
  UpdateButtons(TRUE);
  UpdateButtons(FALSE);

  const UINT alpha = Shell::GetProfileInt("Settings", "Transparence", 255);
  if (alpha != 255) {
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  return TRUE;
}

CWDialog* CDlgWizard::FindPage(int templateId) const
{
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
    auto* page = static_cast<CWDialog*>(m_pages[i]);
    if (page->m_hWnd && page->m_templateId == templateId)
      return page;
  }
  return nullptr;
}

void CDlgWizard::HideAllPages()
{
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
    CDialog* page = m_pages[i];
    if (page->m_hWnd) {
      page->EnableWindow(FALSE);
      page->ShowWindow(SW_HIDE);
    }
  }
}

void CDlgWizard::ShowPage(CWDialog* page)
{
  page->TransferData(FALSE);
  page->EnableWindow(TRUE);
  page->ShowWindow(SW_SHOW);
  page->SetFocus();
}

void CDlgWizard::MakeArea()
{
  m_current->m_next->m_prev = nullptr;
  CWDialog* end = Page(kEnd);
  if (m_data->type == 0) {
    auto* road = new ObjectModel::CStraightRoad(nullptr, nullptr, 1);
    road->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&m_data->area));
    end->m_prev = FindPage(kSchemeTemplate);
    return;
  }
  auto* site = new ObjectModel::CCustomizeRoad(nullptr, nullptr, 1);
  site->QueryInterface(&IID_IArea, reinterpret_cast<void**>(&m_data->area));
  CWDialog* formPage = FindPage(static_cast<int>(FormTemplateOf(m_data->type)));
  m_data->area->SetTypicalForm(&m_data->type);
  end->m_prev = formPage;
  Page(kSection)->m_next = formPage;
}

void CDlgWizard::OnNext()
{
  if (m_current && m_current->TransferData(TRUE)) {
    if (m_current->m_next) {
      if (m_current == Page(kWelcome))
        MakeArea();
      HideAllPages();
      m_current = m_current->m_next;
      ShowPage(m_current);
    } else {
      PostMessage(WM_COMMAND, IDOK, 0);
    }
  }
  UpdateButtons(TRUE);
  UpdateButtons(FALSE);
}

void CDlgWizard::OnBack()
{
  if (m_current && m_current->m_prev) {
    HideAllPages();
    m_current = m_current->m_prev;
    ShowPage(m_current);
  }
  UpdateButtons(TRUE);
  UpdateButtons(FALSE);
}

void CDlgWizard::OnFinish()
{
  if (!m_current || !m_current->TransferData(TRUE))
    return;
  Shell::RegisterAnalyticsScreen(kAnalyticsScreen, 1);
  CDialog::OnOK();
}

void CDlgWizard::OnWizardCancel() { CDialog::OnCancel(); }

// The program's help at the wizard's own title.
void CDlgWizard::OnHelp() { ShowProgramHelp(this, kCaptionBase); }

void CDlgWizard::UpdateButtons(BOOL captionOnly)
{
  if (!m_current)
    return;
  const bool first = m_current == Page(kWelcome);
  if (!captionOnly) {
    const BOOL hasNext = m_current->m_next != nullptr;
    if (CWnd* back = GetDlgItem(kBackCommand))
      back->EnableWindow(m_current->m_prev != nullptr);
    if (CWnd* next = GetDlgItem(kNextCommand))
      next->EnableWindow(hasNext);
    if (CWnd* finish = GetDlgItem(IDOK))
      finish->EnableWindow(!hasNext && !first);
  }
  CWDialog* start = m_current;
  while (start->m_prev)
    start = start->m_prev;
  long position = 0;
  long length = 0;
  for (CWDialog* page = start; page; page = page->m_next) {
    ++length;
    if (page == m_current)
      position = length;
  }
  if (m_pages.GetSize() == 0)
    return;
  CString caption;
  if (position != 0 && !first)
    caption.Format("%s (шаг %ld из %ld)", static_cast<LPCSTR>(m_captionBase), position, length);
  else
    caption = m_captionBase;
  SetWindowText(caption);
}

int RunWizard(CWizard* wizard, CWnd* parent)
{
  auto* dialog = new CDlgWizard(wizard->m_data, parent);
  const INT_PTR answer = dialog->DoModal();
  dialog->DeletePages();
  delete dialog;
  return answer == IDOK ? IDOK : IDCANCEL;
}

int RunWizardFor(HWND parent, _WIZARD_DATA* data)
{
  CWizard wizard(data);
  return RunWizard(&wizard, parent ? CWnd::FromHandle(parent) : nullptr);
}

}  // namespace Wizard
