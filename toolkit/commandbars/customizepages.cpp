// The customise sheet's pages.
#include "toolkit/commandbars/customizepages.h"

#include "platform/mfc/ddx.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/control_button.h"
#include "toolkit/commandbars/customizesheet.h"
#include "toolkit/commandbars/mouse_manager.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/resource_manager.h"

namespace {

constexpr UINT kIdCommandsPage = 9313;
constexpr UINT kIdToolbarsPage = 9304;
constexpr UINT kIdKeyboardPage = 9379;
constexpr UINT kIdOptionsPage = 9339;
constexpr UINT kIdNewToolbarDlg = 9328;

constexpr int kIdcCommands = 9327;
constexpr int kIdcCategories = 9338;
constexpr int kIdcToolbars = 9305;
constexpr int kIdcNew = 9308;
constexpr int kIdcRename = 9309;
constexpr int kIdcDelete = 9310;
constexpr int kIdcReset = 9311;
constexpr int kIdcToolbarName = 9329;
constexpr UINT kIdsToolbarName = 9330;
constexpr UINT kIdsEmptyName = 9331;
constexpr UINT kIdsTooManyBars = 9332;
constexpr UINT kIdsDuplicateName = 9333;
constexpr UINT kIdsRenameCaption = 9334;
constexpr UINT kIdsDeleteBar = 9335;
constexpr UINT kFirstCustomBarId = 0xE800;
constexpr UINT kLastCustomBarId = 0xE8FF;

constexpr int kIdcKbCommands = 9381;
constexpr int kIdcKbKeys = 9383;
constexpr int kIdcKbKey = 9385;
constexpr int kIdcKbAssign = 9386;
constexpr int kIdcKbRemove = 9387;
constexpr int kIdcKbReset = 9388;
constexpr int kIdcKbDesc = 9390;
constexpr int kIdcKbCategories = 9391;
constexpr UINT kIdsResetKeys = 9392;
constexpr UINT kIdsKeyTaken = 9393;
constexpr UINT kFirstRecentFile = 57616;
constexpr UINT kLastRecentFile = 57631;

constexpr int kIdcFullMenus = 9340;
constexpr int kIdcFullAfterDelay = 9341;
constexpr int kIdcResetUsage = 9342;
constexpr int kIdcLargeIcons = 9343;
constexpr int kIdcScreenTips = 9344;
constexpr int kIdcAccelTips = 9345;
constexpr UINT kIdsResetUsage = 9346;
constexpr int kIdcGroupMenus = 9352;
constexpr int kIdcGroupOther = 9353;
constexpr int kIdcAnimation = 9410;
constexpr UINT kIdsFirstAnimation = 9411;
constexpr int kAnimationCount = 6;
constexpr DWORD kRtlListStyles = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

CString LoadToolkitString(UINT nId)
{
  CString str;
  TKResourceManager()->LoadString(&str, nId);
  return str;
}

CString Stripped(CString str)
{
  CTKPaintManager::StripMnemonics(str);
  return str;
}

}  // namespace

// ---- Categories

TK_COMMANDBARS_CATEGORYINFO::TK_COMMANDBARS_CATEGORYINFO(const CString& strName, CTKCommandBars* pCommandBars)
    : strCategory(strName), pControls(new CTKControls)
{
  pControls->SetCommandBars(pCommandBars);
}

TK_COMMANDBARS_CATEGORYINFO::~TK_COMMANDBARS_CATEGORYINFO() { pControls->InternalRelease(); }

CTKCustomizeCategories::~CTKCustomizeCategories()
{
  for (TK_COMMANDBARS_CATEGORYINFO* pInfo : m_arrCategories)
    delete pInfo;
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeCategories::Insert(const CString& strCategory, int nIndex)
{
  auto* pInfo = new TK_COMMANDBARS_CATEGORYINFO(strCategory, m_pCommandBars);
  if (nIndex < 0 || nIndex > GetCount())
    nIndex = GetCount();
  m_arrCategories.insert(m_arrCategories.begin() + nIndex, pInfo);
  return pInfo;
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeCategories::FindCategory(const CString& strCategory) const
{
  for (TK_COMMANDBARS_CATEGORYINFO* pInfo : m_arrCategories)
    if (pInfo->strCategory == strCategory)
      return pInfo;
  return nullptr;
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeCategories::GetCategoryInfo(int nIndex) const
{
  return nIndex >= 0 && nIndex < GetCount() ? m_arrCategories[static_cast<size_t>(nIndex)] : nullptr;
}

CTKControls* CTKCustomizeCategories::GetControls(const CString& strCategory, int nIndex)
{
  TK_COMMANDBARS_CATEGORYINFO* pInfo = FindCategory(strCategory);
  return (pInfo ? pInfo : Insert(strCategory, nIndex))->pControls;
}

BOOL CTKCustomizeCategories::AddCategories(UINT nIDResource, BOOL bListSubItems)
{
  CMenu menu;
  if (!TKResourceManager()->LoadMenu(&menu, nIDResource))
    return FALSE;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
    CString strCaption;
    menu.GetMenuString(static_cast<UINT>(i), strCaption, MF_BYPOSITION);
    if (strCaption.GetLength() > 1024)
      strCaption = strCaption.Left(1024);
    CMenu* pSub = menu.GetSubMenu(i);
    if (strCaption.IsEmpty() || !pSub)
      continue;
    if (!AddCategory(strCaption, pSub, bListSubItems))
      return FALSE;
  }
  return TRUE;
}

BOOL CTKCustomizeCategories::AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems,
                                         BOOL bPopupCaptions)
{
  CTKControls* pControls = GetControls(Stripped(strCategory), -1);
  for (int i = 0; i < pMenu->GetMenuItemCount(); ++i) {
    if (pMenu->GetMenuItemID(i) == 0)
      continue;
    CTKControl* pControl = pControls->AddMenuItem(pMenu, i);
    auto* pPopup = DYNAMIC_DOWNCAST(CTKControlPopup, pControl);
    if (!pPopup || !bListSubItems || !pPopup->GetCommandBar())
      continue;
    CTKCommandBar* pBar = pPopup->GetCommandBar();
    for (int j = 0; j < pBar->GetControlCount(); ++j) {
      CTKControl* pCopy = pControls->AddClone(pBar->GetControl(j), -1, TRUE);
      if (pCopy && bPopupCaptions)
        pCopy->SetCaption(pPopup->GetCaption() + " | " + pBar->GetControl(j)->GetCaption());
    }
  }
  return TRUE;
}

// ---- Commands page

IMPLEMENT_DYNAMIC(CTKCustomizeCommandsPage, CPropertyPage)

CTKCustomizeCommandsPage::CTKCustomizeCommandsPage(CTKCustomizeSheet* pSheet)
    : CPropertyPage(kIdCommandsPage), m_pSheet(pSheet),
      m_categories(pSheet ? pSheet->GetCommandBars() : nullptr)
{
  m_lstCommands.m_pPage = this;
}

CTKCustomizeCommandsPage::~CTKCustomizeCommandsPage() = default;

CTKCommandBars* CTKCustomizeCommandsPage::GetCommandBars() const
{
  return m_pSheet ? m_pSheet->GetCommandBars() : nullptr;
}

BOOL CTKCustomizeCommandsPage::AddCategories(UINT nIDResource, BOOL bListSubItems)
{
  return m_categories.AddCategories(nIDResource, bListSubItems);
}

BOOL CTKCustomizeCommandsPage::AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems)
{
  return m_categories.AddCategory(strCategory, pMenu, bListSubItems);
}

CTKControls* CTKCustomizeCommandsPage::GetControls(const CString& strCategory, int nIndex)
{
  return m_categories.GetControls(strCategory, nIndex);
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeCommandsPage::FindCategory(const CString& strCategory) const
{
  return m_categories.FindCategory(strCategory);
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeCommandsPage::GetCategoryInfo(int nIndex) const
{
  return m_categories.GetCategoryInfo(nIndex);
}

void CTKCustomizeCommandsPage::InsertAllCommandsCategory(UINT nIDString, int nIndex)
{
  int nExisting = m_categories.GetCount();
  TK_COMMANDBARS_CATEGORYINFO* pAll = m_categories.Insert(LoadToolkitString(nIDString), nIndex);
  for (int i = 0, nSeen = 0; nSeen < nExisting; ++i) {
    TK_COMMANDBARS_CATEGORYINFO* pInfo = m_categories.GetCategoryInfo(i);
    if (pInfo == pAll)
      continue;
    ++nSeen;
    for (int j = 0; j < pInfo->pControls->GetCount(); ++j)
      pAll->pControls->AddClone(pInfo->pControls->GetAt(j), -1, TRUE);
  }
}

BOOL CTKCustomizeCommandsPage::InsertBuiltInMenus(UINT nIDResource, UINT nIDString, int nIndex)
{
  CMenu menu;
  if (!TKResourceManager()->LoadMenu(&menu, nIDResource))
    return FALSE;
  TK_COMMANDBARS_CATEGORYINFO* pInfo = m_categories.Insert(LoadToolkitString(nIDString), nIndex);
  for (int i = 0; i < menu.GetMenuItemCount(); ++i)
    pInfo->pControls->AddMenuItem(&menu, i);
  return TRUE;
}

void CTKCustomizeCommandsPage::InsertNewMenuCategory(UINT nIDString, int nIndex)
{
  TK_COMMANDBARS_CATEGORYINFO* pInfo = m_categories.Insert(LoadToolkitString(nIDString), nIndex);
  if (CTKControl* pControl = pInfo->pControls->Add(tkControlPopup, 0))
    pControl->SetCaption(pInfo->strCategory);
}

void CTKCustomizeCommandsPage::DoDataExchange(CDataExchange* pDX)
{
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdcCommands, m_lstCommands);
  DDX_Control(pDX, kIdcCategories, m_lstCategories);
}

BOOL CTKCustomizeCommandsPage::OnInitDialog()
{
  CPropertyPage::OnInitDialog();
  for (int i = 0; i < m_categories.GetCount(); ++i) {
    int nItem = m_lstCategories.AddString(m_categories.GetCategoryInfo(i)->strCategory);
    m_lstCategories.SetItemData(nItem, static_cast<DWORD_PTR>(i));
  }
  if (m_categories.GetCount() > 0)
    m_lstCategories.SetCurSel(0);
  CTKCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars) {
    CSize sz = pCommandBars->GetPaintManager()->DrawListBoxControl(nullptr, nullptr, CRect(), FALSE, FALSE,
                                                                   pCommandBars);
    if (sz.cy > 0)
      m_lstCommands.SetItemHeight(-1, static_cast<UINT>(sz.cy));
    if (pCommandBars->IsLayoutRTL()) {
      m_lstCommands.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
      m_lstCategories.ModifyStyleEx(0, kRtlListStyles);
    }
    // Clicks on the list must not close a popup the user is dropping into.
    pCommandBars->GetMouseManager()->AddTrustedWindow(m_hWnd);
  }
  OnCategorySelChange();
  return TRUE;
}

void CTKCustomizeCommandsPage::OnCategorySelChange()
{
  m_lstCommands.ResetContent();
  int nSel = m_lstCategories.GetCurSel();
  if (nSel == LB_ERR)
    return;
  TK_COMMANDBARS_CATEGORYINFO* pInfo =
      m_categories.GetCategoryInfo(static_cast<int>(m_lstCategories.GetItemData(nSel)));
  if (!pInfo)
    return;
  for (int i = 0; i < pInfo->pControls->GetCount(); ++i) {
    CTKControl* pControl = pInfo->pControls->GetAt(i);
    int nItem = m_lstCommands.AddString(pControl->GetCaption());
    m_lstCommands.SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pControl));
  }
}

BOOL CTKCustomizeCommandsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
  if (LOWORD(wParam) == kIdcCategories && HIWORD(wParam) == LBN_SELCHANGE) {
    OnCategorySelChange();
    return TRUE;
  }
  return CPropertyPage::OnCommand(wParam, lParam);
}

BOOL CTKCustomizeCommandsPage::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == WM_DRAWITEM && wParam == static_cast<WPARAM>(kIdcCommands)) {
    m_lstCommands.DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    *pResult = TRUE;
    return TRUE;
  }
  if (message == WM_DESTROY) {
    if (CTKCommandBars* pCommandBars = GetCommandBars())
      pCommandBars->GetMouseManager()->RemoveTrustedWindow(m_hWnd);
  }
  return CPropertyPage::OnWndMsg(message, wParam, lParam, pResult);
}

void CTKCustomizeCommandsPage::CCommandsListBox::DrawItem(DRAWITEMSTRUCT* lpDrawItemStruct)
{
  CTKCommandBars* pCommandBars = m_pPage ? m_pPage->GetCommandBars() : nullptr;
  if (!pCommandBars || static_cast<int>(lpDrawItemStruct->itemID) < 0)
    return;
  auto* pControl = reinterpret_cast<CTKControl*>(lpDrawItemStruct->itemData);
  if (!pControl)
    return;
  CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
  pCommandBars->GetPaintManager()->DrawListBoxControl(pDC, pControl, lpDrawItemStruct->rcItem,
                                                      (lpDrawItemStruct->itemState & ODS_SELECTED) != 0, TRUE,
                                                      pCommandBars);
}

BOOL CTKCustomizeCommandsPage::CCommandsListBox::StartDrag(CPoint point)
{
  CTKCommandBars* pCommandBars = m_pPage ? m_pPage->GetCommandBars() : nullptr;
  if (pCommandBars)
    pCommandBars->SetDragControl(nullptr);
  LRESULT nHit = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
  UINT nItem = LOWORD(nHit);
  if (HIWORD(nHit) != 0 || SetCurSel(static_cast<int>(nItem)) == LB_ERR)
    return FALSE;
  SetFocus();
  CWnd* pOwner = GetOwner() ? GetOwner() : GetParent();
  if (pOwner)
    pOwner->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE), reinterpret_cast<LPARAM>(m_hWnd));
  auto* pControl = reinterpret_cast<CTKControl*>(GetItemData(static_cast<int>(nItem)));
  // The category keeps its control whatever the drop did: the bar inserts a copy.
  if (pControl && pCommandBars)
    pCommandBars->GetDropSource()->DoDragDrop(pControl, TRUE);
  return TRUE;
}

LRESULT CTKCustomizeCommandsPage::CCommandsListBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message == WM_LBUTTONDOWN &&
      StartDrag(CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)))))
    return 0;
  return CListBox::WindowProc(message, wParam, lParam);
}

// ---- New-toolbar dialog

CTKNewToolbarDlg::CTKNewToolbarDlg(CWnd* pParent, CTKCommandBars* pCommandBars, CTKCommandBar* pBar)
    : m_pBar(pBar), m_pCommandBars(pCommandBars)
{
  m_pParentWnd = pParent;
}

INT_PTR CTKNewToolbarDlg::DoModal()
{
  const DLGTEMPLATE* pTemplate = TKResourceManager()->LoadDialogTemplate(kIdNewToolbarDlg);
  if (!pTemplate)
    return -1;
  if (!InitModalIndirect(pTemplate, m_pParentWnd))
    return -1;
  return CDialog::DoModal();
}

CString CTKNewToolbarDlg::MakeDefaultName() const
{
  CString strFormat = LoadToolkitString(kIdsToolbarName);
  CString strName;
  for (int n = 1;; ++n) {
    strName.Format(strFormat, n);
    BOOL bTaken = FALSE;
    for (int i = 0; i < m_pCommandBars->GetCount() && !bTaken; ++i)
      bTaken = m_pCommandBars->GetAt(i)->GetTitle() == strName;
    if (!bTaken)
      return strName;
  }
}

BOOL CTKNewToolbarDlg::OnInitDialog()
{
  CDialog::OnInitDialog();
  if (!m_pBar) {
    m_strToolbar = MakeDefaultName();
  } else {
    m_strToolbar = m_pBar->GetTitle();
    SetWindowText(LoadToolkitString(kIdsRenameCaption));
  }
  SetDlgItemText(kIdcToolbarName, m_strToolbar);
  return TRUE;
}

BOOL CTKNewToolbarDlg::Validate(int* pnEnd)
{
  *pnEnd = 0;
  if (m_strToolbar.IsEmpty()) {
    TKResourceManager()->ShowMessageBox(kIdsEmptyName, MB_ICONHAND);
    return FALSE;
  }
  UINT nId = kFirstCustomBarId;
  for (int i = 0; i < m_pCommandBars->GetCount(); ++i) {
    CTKCommandBar* pBar = m_pCommandBars->GetAt(i);
    if (!m_pBar && pBar->GetBarID() == nId) {
      ++nId;
      if (nId >= kLastCustomBarId) {
        TKResourceManager()->ShowMessageBox(kIdsTooManyBars, MB_ICONHAND);
        *pnEnd = IDCANCEL;
        return FALSE;
      }
      i = -1;
      continue;
    }
    if (pBar != m_pBar && pBar->GetTitle() == m_strToolbar) {
      // The message lives with the toolkit's texts, not the program's.
      CString strMessage;
      strMessage.Format(LoadToolkitString(kIdsDuplicateName), static_cast<LPCSTR>(m_strToolbar));
      AfxMessageBox(strMessage, MB_ICONHAND);
      return FALSE;
    }
  }
  m_nNewID = static_cast<int>(nId);
  return TRUE;
}

void CTKNewToolbarDlg::OnOK()
{
  GetDlgItemText(kIdcToolbarName, m_strToolbar);
  int nEnd = 0;
  if (Validate(&nEnd))
    EndDialog(IDOK);
  else if (nEnd)
    EndDialog(nEnd);
}

// ---- Toolbars page

IMPLEMENT_DYNAMIC(CTKCustomizeToolbarsPage, CPropertyPage)

CTKCustomizeToolbarsPage::CTKCustomizeToolbarsPage(CTKCustomizeSheet* pSheet)
    : CPropertyPage(kIdToolbarsPage), m_pSheet(pSheet)
{
}

void CTKCustomizeToolbarsPage::DoDataExchange(CDataExchange* pDX)
{
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdcToolbars, m_lstToolbars);
  DDX_Control(pDX, kIdcRename, m_btnRename);
  DDX_Control(pDX, kIdcNew, m_btnNew);
  DDX_Control(pDX, kIdcDelete, m_btnDelete);
  DDX_Control(pDX, kIdcReset, m_btnReset);
}

BOOL CTKCustomizeToolbarsPage::OnInitDialog()
{
  CPropertyPage::OnInitDialog();
  if (m_pSheet && m_pSheet->GetCommandBars()->IsLayoutRTL())
    m_lstToolbars.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
  RefreshToolbarsList();
  return TRUE;
}

void CTKCustomizeToolbarsPage::RefreshToolbarsList()
{
  if (!m_pSheet)
    return;
  int nSel = m_lstToolbars.GetCurSel();
  DWORD_PTR nSelData = nSel != LB_ERR ? m_lstToolbars.GetItemData(nSel) : static_cast<DWORD_PTR>(-1);
  int nTop = m_lstToolbars.GetTopIndex();
  m_lstToolbars.ResetContent();
  CTKCommandBars* pCommandBars = m_pSheet->GetCommandBars();
  for (int i = 0; i < pCommandBars->GetCount(); ++i) {
    CTKCommandBar* pBar = pCommandBars->GetAt(i);
    if (pBar->GetType() == tkBarTypeMenuBar && !pBar->IsVisible())
      continue;
    int nItem = m_lstToolbars.AddString(pBar->GetTitle());
    m_lstToolbars.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
    m_lstToolbars.SetItemData(nItem, static_cast<DWORD_PTR>(i));
    if (static_cast<DWORD_PTR>(i) == nSelData)
      m_lstToolbars.SetCurSel(nItem);
  }
  if (m_lstToolbars.GetTopIndex() != nTop && nTop != LB_ERR)
    m_lstToolbars.SetTopIndex(nTop);
  OnToolbarsSelChange();
}

CTKCommandBar* CTKCustomizeToolbarsPage::SelectedBar() const
{
  int nSel = m_lstToolbars.GetCurSel();
  if (nSel == LB_ERR || !m_pSheet)
    return nullptr;
  return m_pSheet->GetCommandBars()->GetAt(static_cast<int>(m_lstToolbars.GetItemData(nSel)));
}

namespace {

BOOL IsBuiltInBar(CTKCommandBar* pBar)
{
  auto* pToolBar = DYNAMIC_DOWNCAST(CTKToolBar, pBar);
  return pToolBar ? pToolBar->IsBuiltIn() : TRUE;
}

}  // namespace

void CTKCustomizeToolbarsPage::OnToolbarsSelChange()
{
  int nSel = m_lstToolbars.GetCurSel();
  if (nSel == LB_ERR) {
    m_btnReset.EnableWindow(FALSE);
    m_btnRename.EnableWindow(FALSE);
    m_btnDelete.EnableWindow(FALSE);
    return;
  }
  CTKCommandBar* pBar = SelectedBar();
  if (!pBar)
    return;
  BOOL bBuiltIn = IsBuiltInBar(pBar);
  m_btnReset.EnableWindow(bBuiltIn);
  m_btnRename.EnableWindow(!bBuiltIn);
  m_btnDelete.EnableWindow(!bBuiltIn);
}

void CTKCustomizeToolbarsPage::OnToolbarsCheckChange()
{
  int nSel = m_lstToolbars.GetCurSel();
  CTKCommandBar* pBar = SelectedBar();
  if (!pBar)
    return;
  BOOL bCheck = m_lstToolbars.GetCheck(nSel) == 1;
  if (pBar->GetType() != tkBarTypeMenuBar && pBar->IsCloseable())
    pBar->SetVisible(bCheck);
  else
    m_lstToolbars.SetCheck(nSel, 1);
  RefreshToolbarsList();
}

void CTKCustomizeToolbarsPage::OnNewToolbar()
{
  CTKCommandBars* pCommandBars = m_pSheet->GetCommandBars();
  CTKNewToolbarDlg dlg(this, pCommandBars);
  if (dlg.DoModal() != IDOK)
    return;
  pCommandBars->AddCustomBar(dlg.m_strToolbar, static_cast<UINT>(dlg.m_nNewID), FALSE);
  RefreshToolbarsList();
}

void CTKCustomizeToolbarsPage::OnRenameToolbar()
{
  int nSel = m_lstToolbars.GetCurSel();
  CTKCommandBar* pBar = SelectedBar();
  if (!pBar || IsBuiltInBar(pBar))
    return;
  CTKNewToolbarDlg dlg(this, m_pSheet->GetCommandBars(), pBar);
  if (dlg.DoModal() != IDOK)
    return;
  pBar->SetTitle(dlg.m_strToolbar);
  DWORD_PTR nData = m_lstToolbars.GetItemData(nSel);
  m_lstToolbars.DeleteString(static_cast<UINT>(nSel));
  int nItem = m_lstToolbars.InsertString(nSel, dlg.m_strToolbar);
  m_lstToolbars.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
  m_lstToolbars.SetItemData(nItem, nData);
  m_lstToolbars.SetCurSel(nItem);
}

void CTKCustomizeToolbarsPage::OnDeleteToolbar()
{
  CTKCommandBar* pBar = SelectedBar();
  if (!pBar || IsBuiltInBar(pBar))
    return;
  CString strMessage;
  strMessage.Format(LoadToolkitString(kIdsDeleteBar), static_cast<LPCSTR>(pBar->GetTitle()));
  if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
    return;
  m_pSheet->GetCommandBars()->Remove(pBar);
  RefreshToolbarsList();
}

void CTKCustomizeToolbarsPage::OnResetToolbar()
{
  auto* pToolBar = DYNAMIC_DOWNCAST(CTKToolBar, SelectedBar());
  if (!pToolBar || !pToolBar->IsBuiltIn())
    return;
  pToolBar->Reset();
  RefreshToolbarsList();
}

BOOL CTKCustomizeToolbarsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
  int nId = LOWORD(wParam);
  int nCode = HIWORD(wParam);
  if (nId == kIdcToolbars && nCode == LBN_SELCHANGE)
    OnToolbarsSelChange();
  else if (nId == kIdcToolbars && nCode == CLBN_CHKCHANGE)
    OnToolbarsCheckChange();
  else if (nCode == BN_CLICKED && nId == kIdcNew)
    OnNewToolbar();
  else if (nCode == BN_CLICKED && nId == kIdcRename)
    OnRenameToolbar();
  else if (nCode == BN_CLICKED && nId == kIdcDelete)
    OnDeleteToolbar();
  else if (nCode == BN_CLICKED && nId == kIdcReset)
    OnResetToolbar();
  else
    return CPropertyPage::OnCommand(wParam, lParam);
  return TRUE;
}

// ---- Keyboard page

IMPLEMENT_DYNAMIC(CTKCustomizeKeyboardPage, CPropertyPage)

CTKCustomizeKeyboardPage::CTKCustomizeKeyboardPage(CTKCustomizeSheet* pSheet)
    : CPropertyPage(kIdKeyboardPage),
      m_editShortcut(pSheet->GetCommandBars()->GetShortcutManager()),
      m_pSheet(pSheet),
      m_categories(pSheet->GetCommandBars())
{
}

CTKShortcutManager* CTKCustomizeKeyboardPage::ShortcutManager() const
{
  return m_pSheet->GetCommandBars()->GetShortcutManager();
}

BOOL CTKCustomizeKeyboardPage::AddCategories(UINT nIDResource, BOOL bListSubItems)
{
  CMenu menu;
  if (!TKResourceManager()->LoadMenu(&menu, nIDResource))
    return FALSE;
  for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
    CString strCaption;
    menu.GetMenuString(static_cast<UINT>(i), strCaption, MF_BYPOSITION);
    CMenu* pSub = menu.GetSubMenu(i);
    if (strCaption.IsEmpty() || !pSub)
      continue;
    if (!AddCategory(strCaption.Left(1024), pSub, bListSubItems))
      return FALSE;
  }
  return TRUE;
}

BOOL CTKCustomizeKeyboardPage::AddCategory(const CString& strCategory, CMenu* pMenu, BOOL bListSubItems)
{
  return m_categories.AddCategory(strCategory, pMenu, bListSubItems, TRUE);
}

CTKControls* CTKCustomizeKeyboardPage::GetControls(const CString& strCategory, int nIndex)
{
  return m_categories.GetControls(strCategory, nIndex);
}

TK_COMMANDBARS_CATEGORYINFO* CTKCustomizeKeyboardPage::FindCategory(const CString& strCategory) const
{
  return m_categories.FindCategory(strCategory);
}

void CTKCustomizeKeyboardPage::DoDataExchange(CDataExchange* pDX)
{
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdcKbKeys, m_lstKeys);
  DDX_Control(pDX, kIdcKbCommands, m_lstCommands);
  DDX_Control(pDX, kIdcKbCategories, m_cmbCategories);
  DDX_Text(pDX, kIdcKbDesc, m_strDesc);
  DDX_CBIndex(pDX, kIdcKbCategories, m_nCategory);
  DDX_Control(pDX, kIdcKbKey, m_editShortcut);
}

BOOL CTKCustomizeKeyboardPage::OnInitDialog()
{
  CPropertyPage::OnInitDialog();
  for (int i = 0; i < m_categories.GetCount(); ++i) {
    TK_COMMANDBARS_CATEGORYINFO* pInfo = m_categories.GetCategoryInfo(i);
    int nItem = m_cmbCategories.AddString(pInfo->strCategory);
    m_cmbCategories.SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pInfo->pControls));
  }
  m_cmbCategories.SetCurSel(0);
  if (m_pSheet->GetCommandBars()->IsLayoutRTL()) {
    m_lstCommands.ModifyStyleEx(0, kRtlListStyles);
    m_cmbCategories.ModifyStyleEx(0, kRtlListStyles);
  }
  OnCategorySelChange();
  return TRUE;
}

BOOL CTKCustomizeKeyboardPage::OnSetActive()
{
  RefreshCommandsList();
  OnCommandsSelChange();
  return CPropertyPage::OnSetActive();
}

void CTKCustomizeKeyboardPage::OnCategorySelChange()
{
  UpdateData(TRUE);
  RefreshCommandsList();
  OnCommandsSelChange();
  EnableControls();
}

void CTKCustomizeKeyboardPage::RefreshCommandsList()
{
  if (!m_lstCommands.GetSafeHwnd())
    return;
  m_lstCommands.ResetContent();
  int nSel = m_cmbCategories.GetCurSel();
  if (nSel == CB_ERR)
    return;
  auto* pControls = reinterpret_cast<CTKControls*>(m_cmbCategories.GetItemData(nSel));
  if (!pControls)
    return;
  for (int i = 0; i < pControls->GetCount(); ++i) {
    CTKControl* pControl = pControls->GetAt(i);
    int nType = pControl->GetType();
    UINT nId = static_cast<UINT>(pControl->GetID());
    // Popups run nothing, and the recent-file commands change with every file opened.
    if (nId == 0 || (nType >= tkControlPopup && nType <= tkControlSplitButtonPopup) ||
        (nId >= kFirstRecentFile && nId <= kLastRecentFile))
      continue;
    int nItem = m_lstCommands.AddString(Stripped(pControl->GetCaption()));
    m_lstCommands.SetItemData(nItem, reinterpret_cast<DWORD_PTR>(pControl));
  }
  if (m_lstCommands.GetCount() > 0)
    m_lstCommands.SetCurSel(0);
}

CTKControl* CTKCustomizeKeyboardPage::SelectedCommand() const
{
  int nSel = m_lstCommands.GetSafeHwnd() ? m_lstCommands.GetCurSel() : LB_ERR;
  return nSel == LB_ERR ? nullptr : reinterpret_cast<CTKControl*>(m_lstCommands.GetItemData(nSel));
}

void CTKCustomizeKeyboardPage::RefreshKeysList()
{
  m_lstKeys.ResetContent();
  CTKControl* pControl = SelectedCommand();
  if (!pControl)
    return;
  std::vector<ACCEL> table = CTKShortcutManager::CopyTable(ShortcutManager()->GetAcceleratorTable());
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].cmd != pControl->GetID())
      continue;
    int nItem = m_lstKeys.AddString(ShortcutManager()->Format(&table[i], nullptr));
    m_lstKeys.SetItemData(nItem, static_cast<DWORD_PTR>(i));
  }
}

void CTKCustomizeKeyboardPage::OnCommandsSelChange()
{
  if (!m_lstKeys.GetSafeHwnd())
    return;
  RefreshKeysList();
  CTKControl* pControl = SelectedCommand();
  m_strDesc = pControl ? pControl->GetDescription() : CString();
  UpdateData(FALSE);
  EnableControls();
}

void CTKCustomizeKeyboardPage::EnableControls()
{
  if (!GetSafeHwnd())
    return;
  CString strKey;
  m_editShortcut.GetWindowText(strKey);
  if (CWnd* pAssign = GetDlgItem(kIdcKbAssign))
    pAssign->EnableWindow(SelectedCommand() && !strKey.IsEmpty() && m_editShortcut.IsKeyComplete());
  if (CWnd* pRemove = GetDlgItem(kIdcKbRemove))
    pRemove->EnableWindow(m_lstKeys.GetCurSel() != LB_ERR);
}

void CTKCustomizeKeyboardPage::OnAssign()
{
  CTKControl* pControl = SelectedCommand();
  if (!pControl || !m_editShortcut.IsKeyComplete())
    return;
  ACCEL key = *m_editShortcut.GetAccel();
  std::vector<ACCEL> table = CTKShortcutManager::CopyTable(ShortcutManager()->GetAcceleratorTable());
  size_t nFound = table.size();
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].key == key.key && (table[i].fVirt & ~FNOINVERT) == (key.fVirt & ~FNOINVERT)) {
      nFound = i;
      break;
    }
  }
  if (nFound < table.size()) {
    if (TKResourceManager()->ShowMessageBox(kIdsKeyTaken, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      return;
  } else {
    table.push_back(ACCEL{});
  }
  table[nFound].fVirt = key.fVirt;
  table[nFound].key = key.key;
  table[nFound].cmd = static_cast<WORD>(pControl->GetID());
  ShortcutManager()->SetAcceleratorTable(table.data(), static_cast<int>(table.size()));
  RefreshKeysList();
  m_editShortcut.ResetKey();
  m_editShortcut.SetWindowText("");
  EnableControls();
}

void CTKCustomizeKeyboardPage::OnRemove()
{
  int nSel = m_lstKeys.GetCurSel();
  HACCEL hAccel = ShortcutManager()->GetAcceleratorTable();
  if (nSel == LB_ERR || !hAccel)
    return;
  std::vector<ACCEL> table = CTKShortcutManager::CopyTable(hAccel);
  size_t nIndex = static_cast<size_t>(m_lstKeys.GetItemData(nSel));
  if (nIndex < table.size()) {
    table[nIndex] = table.back();
    table.pop_back();
    ShortcutManager()->SetAcceleratorTable(table.data(), static_cast<int>(table.size()));
  }
  RefreshKeysList();
  EnableControls();
}

void CTKCustomizeKeyboardPage::OnResetAll()
{
  if (TKResourceManager()->ShowMessageBox(kIdsResetKeys, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES)
    ShortcutManager()->Reset();
  RefreshKeysList();
  EnableControls();
}

BOOL CTKCustomizeKeyboardPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
  int nId = LOWORD(wParam);
  int nCode = HIWORD(wParam);
  if (nId == kIdcKbCategories && nCode == CBN_SELCHANGE)
    OnCategorySelChange();
  else if (nId == kIdcKbCommands && nCode == LBN_SELCHANGE)
    OnCommandsSelChange();
  else if ((nId == kIdcKbKeys && nCode == LBN_SELCHANGE) || (nId == kIdcKbKey && nCode == EN_CHANGE))
    EnableControls();
  else if (nCode == BN_CLICKED && nId == kIdcKbAssign)
    OnAssign();
  else if (nCode == BN_CLICKED && nId == kIdcKbRemove)
    OnRemove();
  else if (nCode == BN_CLICKED && nId == kIdcKbReset)
    OnResetAll();
  else
    return CPropertyPage::OnCommand(wParam, lParam);
  return TRUE;
}

// ---- Options page

IMPLEMENT_DYNAMIC(CTKCustomizeOptionsPage, CPropertyPage)

CTKCustomizeOptionsPage::CTKCustomizeOptionsPage(CTKCustomizeSheet* pSheet)
    : CPropertyPage(kIdOptionsPage), m_pSheet(pSheet)
{
  CTKCommandBarsOptions* pOptions = pSheet->GetCommandBars()->GetCommandBarsOptions();
  m_bAlwaysShowFullMenus = pOptions->bAlwaysShowFullMenus;
  m_bShowFullAfterDelay = pOptions->bShowFullAfterDelay;
  m_bLargeIcons = pOptions->bLargeIcons;
  m_bToolBarScreenTips = pOptions->bToolBarScreenTips;
  m_bToolBarAccelTips = pOptions->bToolBarAccelTips;
  m_nAnimationType = pOptions->animationType;
}

void CTKCustomizeOptionsPage::DoDataExchange(CDataExchange* pDX)
{
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, kIdcAnimation, m_cmbAnimation);
  DDX_CBIndex(pDX, kIdcAnimation, m_nAnimationType);
  DDX_Check(pDX, kIdcFullMenus, m_bAlwaysShowFullMenus);
  DDX_Check(pDX, kIdcFullAfterDelay, m_bShowFullAfterDelay);
  DDX_Check(pDX, kIdcLargeIcons, m_bLargeIcons);
  DDX_Check(pDX, kIdcScreenTips, m_bToolBarScreenTips);
  DDX_Check(pDX, kIdcAccelTips, m_bToolBarAccelTips);
}

void CTKCustomizeOptionsPage::ApplyEnabling()
{
  if (CWnd* pDelay = GetDlgItem(kIdcFullAfterDelay))
    pDelay->EnableWindow(!m_bAlwaysShowFullMenus);
  if (CWnd* pAccel = GetDlgItem(kIdcAccelTips))
    pAccel->EnableWindow(m_bToolBarScreenTips);
}

BOOL CTKCustomizeOptionsPage::OnInitDialog()
{
  CPropertyPage::OnInitDialog();
  ApplyEnabling();
  if (GetDlgItem(kIdcGroupMenus))
    m_wndGroupMenus.SubclassDlgItem(kIdcGroupMenus, this);
  if (GetDlgItem(kIdcGroupOther))
    m_wndGroupOther.SubclassDlgItem(kIdcGroupOther, this);
  for (int k = 0; k < kAnimationCount; ++k)
    m_cmbAnimation.AddString(LoadToolkitString(kIdsFirstAnimation + static_cast<UINT>(k)));
  UpdateData(FALSE);
  return TRUE;
}

void CTKCustomizeOptionsPage::OnAlwaysShowFullMenus()
{
  UpdateData(TRUE);
  m_pSheet->GetCommandBars()->GetCommandBarsOptions()->bAlwaysShowFullMenus = m_bAlwaysShowFullMenus;
  ApplyEnabling();
}

void CTKCustomizeOptionsPage::OnShowFullAfterDelay()
{
  UpdateData(TRUE);
  m_pSheet->GetCommandBars()->GetCommandBarsOptions()->bShowFullAfterDelay = m_bShowFullAfterDelay;
}

void CTKCustomizeOptionsPage::OnLargeIcons()
{
  UpdateData(TRUE);
  CTKCommandBars* pCommandBars = m_pSheet->GetCommandBars();
  pCommandBars->GetCommandBarsOptions()->bLargeIcons = m_bLargeIcons;
  for (int i = 0; i < pCommandBars->GetCount(); ++i)
    if (pCommandBars->GetAt(i)->IsVisible())
      pCommandBars->GetAt(i)->OnRecalcLayout();
  pCommandBars->RecalcFrameLayout();
}

void CTKCustomizeOptionsPage::OnScreenTips()
{
  UpdateData(TRUE);
  m_pSheet->GetCommandBars()->GetCommandBarsOptions()->bToolBarScreenTips = m_bToolBarScreenTips;
  ApplyEnabling();
}

void CTKCustomizeOptionsPage::OnShortcutsInTips()
{
  UpdateData(TRUE);
  m_pSheet->GetCommandBars()->GetCommandBarsOptions()->bToolBarAccelTips = m_bToolBarAccelTips;
}

void CTKCustomizeOptionsPage::OnAnimationChanged()
{
  UpdateData(TRUE);
  if (m_nAnimationType != -1)
    m_pSheet->GetCommandBars()->GetCommandBarsOptions()->animationType = m_nAnimationType;
}

void CTKCustomizeOptionsPage::OnResetUsageData()
{
  if (TKResourceManager()->ShowMessageBox(kIdsResetUsage, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES)
    m_pSheet->GetCommandBars()->ResetUsageData();
}

BOOL CTKCustomizeOptionsPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
  int nId = LOWORD(wParam);
  int nCode = HIWORD(wParam);
  if (nCode == CBN_SELCHANGE && nId == kIdcAnimation) {
    OnAnimationChanged();
    return TRUE;
  }
  if (nCode != BN_CLICKED)
    return CPropertyPage::OnCommand(wParam, lParam);
  switch (nId) {
  case kIdcFullMenus:
    OnAlwaysShowFullMenus();
    break;
  case kIdcFullAfterDelay:
    OnShowFullAfterDelay();
    break;
  case kIdcLargeIcons:
    OnLargeIcons();
    break;
  case kIdcScreenTips:
    OnScreenTips();
    break;
  case kIdcAccelTips:
    OnShortcutsInTips();
    break;
  case kIdcResetUsage:
    OnResetUsageData();
    break;
  default:
    return CPropertyPage::OnCommand(wParam, lParam);
  }
  return TRUE;
}

LRESULT CTKCustomizeOptionsPageGroupLine::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
  if (message != WM_PAINT)
    return CStatic::WindowProc(message, wParam, lParam);
  CPaintDC dc(this);
  CDC* pDC = &dc;
  CRect rc;
  GetClientRect(&rc);
  CString strText;
  GetWindowText(strText);
  CFont* pOld = pDC->SelectObject(CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT))));
  BOOL bRtl = (GetExStyle() & WS_EX_RTLREADING) != 0;
  UINT nFormat = DT_SINGLELINE | DT_VCENTER | (bRtl ? DT_RIGHT | DT_RTLREADING : 0);
  CRect rcText = rc;
  if (!strText.IsEmpty()) {
    pDC->DrawText(strText, rcText, nFormat | DT_CALCRECT);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    CRect rcDraw = rc;
    pDC->DrawText(strText, rcDraw, nFormat);
  } else {
    rcText.right = rcText.left - 6;
  }
  int y = rc.CenterPoint().y;
  int xFrom = bRtl ? rc.left : rcText.right + 6;
  int xTo = bRtl ? rc.right - rcText.Width() - 6 : rc.right;
  pDC->FillSolidRect(xFrom, y, xTo - xFrom, 1, ::GetSysColor(COLOR_BTNSHADOW));
  pDC->FillSolidRect(xFrom, y + 1, xTo - xFrom, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  pDC->SelectObject(pOld);
  return 0;
}
