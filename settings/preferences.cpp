#include "settings/preferences.h"

#include "graphics/core/model_ref.h"
#include "model/doc_interface.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/iproject.h"
#include "model/ivisualopt.h"
#include "model/shell/shell_services.h"
#include "platform/shell/htmlhelp.h"
#include "platform/user/common_controls.h"
#include "report/view/report_help.h"
#include "res/program_ids.h"
#include "settings/pref_of_calc.h"
#include "settings/pref_of_color.h"
#include "settings/pref_of_font.h"
#include "settings/pref_of_image.h"
#include "settings/pref_of_report.h"

#include <cstring>

namespace Options {

namespace {

constexpr UINT kTreeId = 1000;
constexpr UINT kApply = 1096;
constexpr UINT kHelp = 1084;
constexpr UINT kHelpKeyword = 764;  // "Настройки"
constexpr char kCustomColoursSection[] = "CustColors";
constexpr COLORREF kHeaderBackground = RGB(255, 255, 255);
constexpr double kGridSteps[] = {0.1, 0.25, 0.5, 1, 1.5, 2, 2.5, 3, 4, 5, 7.5, 10};
const UINT kPageTitles[] = {624, 625, 626, 627, 628};

CString LoadProgramString(UINT id)
{
  CString text;
  text.LoadString(id);
  return text;
}

CString CustomColourName(int index)
{
  CString name;
  name.Format("Color%ld", static_cast<long>(index));
  return name;
}

}  // namespace

BEGIN_MESSAGE_MAP(CPreferences, CTKResizeDialog)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_NOTIFY(TVN_SELCHANGED, kTreeId, &CPreferences::OnSelChanged)
  ON_NOTIFY(NM_SETFOCUS, kTreeId, &CPreferences::OnTreeFocus)
  ON_BN_CLICKED(kApply, &CPreferences::OnApply)
  ON_BN_CLICKED(kHelp, &CPreferences::OnHelp)
  ON_MESSAGE(UM_GETCUSTOMCOLOURS, &CPreferences::OnGetCustomColours)
  ON_MESSAGE(UM_INVALIDATEPAGES, &CPreferences::OnInvalidatePages)
END_MESSAGE_MAP()

CPreferences::CPreferences(CWnd* pParent, IQorRoadDoc* document, IVisualOpt* options)
    : CTKResizeDialog(res::program::IDD_PREFERENCES, pParent, 0), m_liveOptions(options), m_options(nullptr),
      m_document(document)
{
  CreateVisualOpt(&m_options);
  if (m_options && m_liveOptions)
    m_liveOptions->CopyTo(m_options);
  CWinApp* app = AfxGetApp();
  for (int i = 0; i < kCustomColours; ++i) {
    m_customColours[i] = RGB(255, 255, 255);
    BYTE* data = nullptr;
    UINT bytes = 0;
    if (app && app->GetProfileBinary(kCustomColoursSection, CustomColourName(i), &data, &bytes) &&
        bytes == sizeof(COLORREF))
      std::memcpy(&m_customColours[i], data, sizeof(COLORREF));
    delete[] data;
  }
}

CPreferences::~CPreferences()
{
  if (Shell::GetAnalyticsModule() != nullptr) {
    Shell::SendAnalyticsInfo(0);
    Shell::SendAnalyticsInfo(1);
  }
  if (CWinApp* app = AfxGetApp())
    for (int i = 0; i < kCustomColours; ++i)
      app->WriteProfileBinary(kCustomColoursSection, CustomColourName(i), reinterpret_cast<LPBYTE>(&m_customColours[i]),
                              sizeof(COLORREF));
  // The pages before the copy they edit.
  for (CDialog* page : {static_cast<CDialog*>(m_calc.get()), static_cast<CDialog*>(m_image.get()),
                        static_cast<CDialog*>(m_report.get()), static_cast<CDialog*>(m_colour.get()),
                        static_cast<CDialog*>(m_font.get())})
    if (page && page->GetSafeHwnd())
      page->DestroyWindow();
  m_calc.reset();
  m_image.reset();
  m_report.reset();
  m_colour.reset();
  m_font.reset();
  if (m_options)
    m_options->Release();
}

CDialog* CPreferences::GetPage(int page) const
{
  switch (page) {
  case kCalculation: return m_calc.get();
  case kImage: return m_image.get();
  case kReport: return m_report.get();
  case kColour: return m_colour.get();
  case kFont: return m_font.get();
  default: return nullptr;
  }
}

BOOL CPreferences::OnInitDialog()
{
  CTKResizeDialog::OnInitDialog();
  LOGFONTA header{};
  if (auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)))
    ::GetObject(font, sizeof header, &header);
  header.lfWeight = FW_BOLD;
  m_headerFont.CreateFontIndirect(&header);
  const UINT pictures[kPageCount] = {res::program::IDB_SETTINGS_CALCULATION, res::program::IDB_SETTINGS_IMAGE,
                                     res::program::IDB_SETTINGS_REPORT, res::program::IDB_SETTINGS_COLOUR,
                                     res::program::IDB_SETTINGS_FONT};
  for (int p = 0; p < kPageCount; ++p)
    m_pageBitmaps[p].LoadBitmap(pictures[p]);

  m_tree.SubclassDlgItem(kTreeId, this);
  m_tree.ModifyStyleEx(0, WS_EX_RIGHT | WS_EX_TRANSPARENT);
  m_tree.SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(::GetSysColor(COLOR_GRAYTEXT)));
  int start = *m_liveOptions->GetSettingsPage();
  // A page number from a project file outside the five opens the first page.
  if (start < 0 || start >= kPageCount)
    start = kCalculation;
  HTREEITEM startItem = nullptr;
  for (int page = 0; page < kPageCount; ++page) {
    const HTREEITEM item = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, LoadProgramString(kPageTitles[page]), 0, 0, 0,
                                             0, static_cast<LPARAM>(page), TVI_ROOT, TVI_LAST);
    if (page == start)
      startItem = item;
  }

  CRect tree;
  m_tree.GetWindowRect(&tree);
  ScreenToClient(&tree);
  m_calc = std::make_unique<CPrefOfCalc>(this, m_document, m_options);
  m_image = std::make_unique<CPrefOfImage>(this, m_document, m_options);
  m_report = std::make_unique<CPrefOfReport>(this, m_document, m_options);
  m_colour = std::make_unique<CPrefOfColor>(this, m_document, m_options);
  m_font = std::make_unique<CPrefOfFont>(this, m_document, m_options);
  for (int page = 0; page < kPageCount; ++page) {
    auto* dialog = static_cast<CPrefPage*>(GetPage(page));
    dialog->CreatePage();
    dialog->SetWindowPos(nullptr, tree.right, tree.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dialog->ShowWindow(page == kCalculation ? SW_SHOW : SW_HIDE);
  }

  m_gridSteps.assign(std::begin(kGridSteps), std::end(kGridSteps));
  double currentStep = 0;
  void* projectPart = nullptr;
  if (m_document && SUCCEEDED(m_document->QueryInterface(IID_IProject, &projectPart)) && projectPart) {
    auto project = ModelRef<IProject>::Adopt(static_cast<IProject*>(projectPart));
    ModelRef<IArea> area(project.get(), IID_ActiveArea);
    if (area)
      currentStep = *area->GetGridStep();
  }
  CWnd* stepCombo = m_image->GetDlgItem(CPrefOfImage::kGridStep);
  int selected = 0;
  for (std::size_t i = 0; i < m_gridSteps.size(); ++i) {
    CString text;
    text.Format("%.2lf", m_gridSteps[i]);
    stepCombo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(text)));
    if (m_gridSteps[i] == currentStep)
      selected = static_cast<int>(i);
  }
  stepCombo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(selected));

  m_tree.SelectItem(startItem);

  const UINT alpha = Shell::GetProfileInt("Settings", "Transparence", 255);
  if (alpha != 255) {
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
    RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  return TRUE;
}

void CPreferences::OnDestroy()
{
  if (m_tree.GetSafeHwnd())
    m_tree.UnsubclassWindow();
  for (CBitmap& picture : m_pageBitmaps)
    picture.DeleteObject();
  CTKResizeDialog::OnDestroy();
}

int CPreferences::GetShownPage() const
{
  const HTREEITEM item = m_tree.GetSelectedItem();
  if (item == nullptr)
    return -1;
  TVITEM tv{};
  tv.mask = TVIF_HANDLE | TVIF_PARAM;
  tv.hItem = item;
  return m_tree.GetItem(&tv) ? static_cast<int>(tv.lParam) : -1;
}

void CPreferences::ShowPage(int page)
{
  for (int p = 0; p < kPageCount; ++p)
    if (CDialog* dialog = GetPage(p))
      dialog->ShowWindow(SW_HIDE);
  if (page == kImage)
    m_image->Refresh();
  if (CDialog* dialog = GetPage(page))
    dialog->ShowWindow(SW_SHOW);
  static constexpr const char* kScreens[kPageCount] = {"Настройки.Расчет", "Настройки.Изображение",
                                                       "Настройки.Протокол", "Настройки.Цвет", "Настройки.Шрифт"};
  if (page >= 0 && page < kPageCount)
    Shell::RegisterAnalyticsScreen(kScreens[page], 1);
  m_liveOptions->SetSettingsPage(&page);
  CRect tree;
  m_tree.GetWindowRect(&tree);
  ScreenToClient(&tree);
  CRect client;
  GetClientRect(&client);
  InvalidateRect(CRect(0, 0, client.right, tree.top), TRUE);
}

void CPreferences::OnSelChanged(NMHDR* pNotify, LRESULT* pResult)
{
  const auto* tree = reinterpret_cast<const NMTREEVIEW*>(pNotify);
  ShowPage(static_cast<int>(tree->itemNew.lParam));
  *pResult = 0;
}

void CPreferences::OnTreeFocus(NMHDR*, LRESULT* pResult)
{
  *pResult = 0;
  // The dialog hands its focus to its first control, the tree, which tells of it again: once is enough.
  if (m_bTakingFocus)
    return;
  m_bTakingFocus = true;
  SetFocus();
  m_bTakingFocus = false;
}

void CPreferences::OnPaint()
{
  CPaintDC dc(this);
  CRect tree;
  m_tree.GetWindowRect(&tree);
  ScreenToClient(&tree);
  CRect client;
  GetClientRect(&client);
  dc.FillSolidRect(CRect(0, 0, client.right, tree.top), kHeaderBackground);
  const int page = GetShownPage();
  if (page < 0 || page >= kPageCount)
    return;
  const CString title = LoadProgramString(kPageTitles[page]);
  CFont* old = dc.SelectObject(&m_headerFont);
  dc.SetBkColor(kHeaderBackground);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.TextOut(60, 20, title, title.GetLength());
  dc.SelectObject(old);
  // At its own size: this platform's DrawState stretches a bitmap to the extent it is given.
  BITMAP picture{};
  if (m_pageBitmaps[page].m_hObject != nullptr && m_pageBitmaps[page].GetBitmap(&picture) != 0)
    ::DrawState(dc.m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(m_pageBitmaps[page].m_hObject), 0, 5, 0,
                picture.bmWidth, picture.bmHeight, DST_BITMAP);
}

LRESULT CPreferences::OnGetCustomColours(WPARAM, LPARAM lParam)
{
  if (lParam != 0)
    *reinterpret_cast<COLORREF**>(lParam) = m_customColours;
  return 1;
}

LRESULT CPreferences::OnInvalidatePages(WPARAM, LPARAM)
{
  Invalidate(TRUE);
  m_tree.Invalidate(TRUE);
  for (int p = 0; p < kPageCount; ++p)
    if (CDialog* dialog = GetPage(p); dialog && dialog->IsWindowVisible())
      dialog->Invalidate(TRUE);
  return 1;
}

void CPreferences::CollectGridChanges(bool fromApply)
{
  if (m_image->m_bGridModeChanged) {
    m_image->m_bGridModeChanged = FALSE;
    m_bGridModeChanged = TRUE;
  }
  if (m_image->m_bGridStepChanged) {
    m_image->m_bGridStepChanged = FALSE;
    m_bGridStepChanged = TRUE;
  }
  if (m_bGridModeChanged || !fromApply)
    m_gridMode = static_cast<int>(m_image->GetDlgItem(CPrefOfImage::kGridMode)->SendMessage(CB_GETCURSEL));
  const LRESULT step = m_image->GetDlgItem(CPrefOfImage::kGridStep)->SendMessage(CB_GETCURSEL);
  if (step >= 0 && static_cast<std::size_t>(step) < m_gridSteps.size() && (m_bGridStepChanged || !fromApply))
    m_gridStep = m_gridSteps[static_cast<std::size_t>(step)];
}

void CPreferences::CollectRedrawFlags()
{
  m_bViewChanged = m_calc->m_bViewChanged || m_image->m_bViewChanged;
  m_bColorsChanged = m_colour->m_bColorsChanged || m_font->m_bColorsChanged;
  m_bViewChangedTotal = m_bViewChangedTotal || m_bViewChanged;
  m_bColorsChangedTotal = m_bColorsChangedTotal || m_bColorsChanged;
  m_calc->m_bViewChanged = FALSE;
  m_image->m_bViewChanged = FALSE;
  m_colour->m_bColorsChanged = FALSE;
  m_font->m_bColorsChanged = FALSE;
}

void CPreferences::OnApply()
{
  CWaitCursor wait;
  m_image->SendMessage(UM_NORMALISESCALES, 0, 0);
  m_options->CopyTo(m_liveOptions);
  if (m_font->m_bFontsChanged) {
    if (m_document)
      m_document->NotifyFontsChanged(0);
    m_font->m_bFontsChanged = FALSE;
    m_bFontsChanged = TRUE;
  }
  if (m_image->m_bGridModeChanged || m_image->m_bGridStepChanged) {
    void* projectPart = nullptr;
    if (m_document && SUCCEEDED(m_document->QueryInterface(IID_IProject, &projectPart)) && projectPart) {
      auto project = ModelRef<IProject>::Adopt(static_cast<IProject*>(projectPart));
      ModelRef<IArea> area(project.get(), IID_ActiveArea);
      const AreaKind kind = KindOf(area.get());
      if (kind == AreaKind::OpenSite || kind == AreaKind::Interchange)
        m_document->ResetResults(area.get());
    }
  }
  CollectGridChanges(true);
  CollectRedrawFlags();
  if (m_document)
    m_document->Redraw(m_bViewChanged, m_bColorsChanged, 1);
  m_bViewChanged = FALSE;
  m_bColorsChanged = FALSE;
  Shell::GetShellServices().SendToMainWindow(UM_CALCMODES, 0, 0);
}

void CPreferences::OnOK()
{
  m_image->SendMessage(UM_NORMALISESCALES, 0, 0);
  m_options->CopyTo(m_liveOptions);
  if (m_font->m_bFontsChanged)
    m_bFontsChanged = TRUE;
  CollectGridChanges(false);
  CollectRedrawFlags();
  EndDialog(IDOK);
}

int RunPreferences(HWND parent, IQorRoadDoc* document, IVisualOpt* options, Shell::PreferencesOutcome* outcome)
{
  CPreferences dialog(CWnd::FromHandle(parent), document, options);
  const int answer = static_cast<int>(dialog.DoModal());
  if (outcome) {
    outcome->fontsChanged = dialog.m_bFontsChanged;
    outcome->gridModeChanged = dialog.m_bGridModeChanged;
    outcome->gridMode = dialog.m_gridMode;
    outcome->gridStepChanged = dialog.m_bGridStepChanged;
    outcome->gridStep = dialog.m_gridStep;
    outcome->recalcOnOk = dialog.m_bViewChanged;
    outcome->rebuildOnOk = dialog.m_bColorsChanged;
    outcome->recalcOnCancel = dialog.m_bViewChangedTotal;
    outcome->rebuildOnCancel = dialog.m_bColorsChangedTotal;
  }
  return answer == IDOK ? IDOK : IDCANCEL;
}

// The help of the dialog's keyword, at the selected page's title; with no page selected, the help's start.
void CPreferences::OnHelp()
{
  const CString file = GetProgramHelpFile();
  const HTREEITEM selected = m_tree.GetSafeHwnd() ? m_tree.GetSelectedItem() : nullptr;
  if (selected == nullptr) {
    ::HtmlHelp(m_hWnd, file, HH_DISPLAY_TOPIC, 0);
    return;
  }
  const CString keyword = LoadProgramString(kHelpKeyword);
  const CString title = m_tree.GetItemText(selected);
  HH_AKLINK link;
  link.cbStruct = sizeof(HH_AKLINK);
  link.pszKeywords = keyword;
  link.pszMsgText = title;
  link.fIndexOnFail = TRUE;
  ::HtmlHelp(m_hWnd, file, HH_KEYWORD_LOOKUP, reinterpret_cast<DWORD_PTR>(&link));
}

}  // namespace Options
