// The customise sheet, customise mode's hooks and context menu, and the drag of a control between bars.
#include "toolkit/commandbars/customizesheet.h"

#include "toolkit/commandbars/imageeditor.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/customizepages.h"
#include "toolkit/commandbars/mouse_manager.h"
#include "toolkit/commandbars/popupbar.h"
#include "platform/base/thread.h"
#include "platform/mfc/imagelist.h"
#include "platform/mfc/ole.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/imagepersist.h"
#include "toolkit/paint/resource_manager.h"

#include <cmath>

namespace {

constexpr UINT kIdCopyCursor = 9301;
constexpr UINT kIdMoveCursor = 9302;
constexpr UINT kIdNoDropCursor = 9303;
constexpr UINT kIdCaption = 9312;
constexpr UINT kIdClose = 9307;
constexpr UINT kIdImageBank = 9322;
constexpr UINT kIdContextMenu = 9336;
constexpr UINT kIdReset = 9315;
constexpr UINT kIdDelete = 9316;
constexpr UINT kIdName = 9317;
constexpr UINT kIdCopyImage = 9318;
constexpr UINT kIdPasteImage = 9319;
constexpr UINT kIdResetImage = 9320;
constexpr UINT kIdEditImage = 9321;
constexpr UINT kIdPicker = 9322;
constexpr UINT kIdStyleDefault = 9323;
constexpr UINT kIdStyleCaption = 9324;
constexpr UINT kIdStyleIconCaption = 9325;
constexpr UINT kIdBeginGroup = 9326;
constexpr int kPickerCell = 23;

TK_CUSTOMIZE_HOOKS* g_pRunningHooks = nullptr;

BOOL IsWindowOrDescendant(HWND hwndParent, HWND hwnd)
{
  for (; hwnd; hwnd = ::GetParent(hwnd))
    if (hwnd == hwndParent)
      return TRUE;
  return FALSE;
}

BOOL IsImageType(const CTKControl* pControl)
{
  int nType = pControl->GetType();
  return nType >= 1 && nType <= 4;
}

int IconIdToUse(const CTKControl* pControl) { return pControl->GetIconId(); }

LRESULT CustomizeMouseHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  TK_CUSTOMIZE_HOOKS* pHooks = g_pRunningHooks;
  if (nCode >= 0 && pHooks && pHooks->pMouseFilter &&
      !pHooks->pMouseFilter->FilterMouseMessage(static_cast<UINT>(wParam),
                                                reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)))
    return 1;
  return ::CallNextHookEx(pHooks ? pHooks->hMouseHook : nullptr, nCode, wParam, lParam);
}

LRESULT CustomizeKeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
  TK_CUSTOMIZE_HOOKS* pHooks = g_pRunningHooks;
  if (nCode >= 0 && pHooks && pHooks->pKeyboardFilter && !pHooks->pKeyboardFilter->FilterKeyboardMessage())
    return 1;
  return ::CallNextHookEx(pHooks ? pHooks->hKeyboardHook : nullptr, nCode, wParam, lParam);
}

}  // namespace

CLIPFORMAT TKAlphaBitmapClipboardFormat()
{
  static const auto format = static_cast<CLIPFORMAT>(::RegisterClipboardFormat("Alpha Bitmap Image"));
  return format;
}

// ---- Drop source

void CTKCustomizeDropSource::Register(CTKCommandBar* pBar)
{
  for (CTKCommandBar* p : m_arrBars)
    if (p == pBar)
      return;
  m_arrBars.push_back(pBar);
}

void CTKCustomizeDropSource::Unregister(CTKCommandBar* pBar)
{
  for (auto it = m_arrBars.begin(); it != m_arrBars.end(); ++it) {
    if (*it == pBar) {
      m_arrBars.erase(it);
      break;
    }
  }
  if (m_pTarget == pBar)
    m_pTarget = nullptr;
}

void CTKCustomizeDropSource::SetDragCursor()
{
  m_nCursorId = !m_pTarget ? kIdNoDropCursor : (m_bMove && !m_bForceCopy) ? kIdMoveCursor : kIdCopyCursor;
  if (HCURSOR hCursor = TKResourceManager()->LoadCursor(m_nCursorId))
    ::SetCursor(hCursor);
}

void CTKCustomizeDropSource::OnMove(CPoint ptScreen)
{
  CTKCommandBar* pCandidate = nullptr;
  for (auto it = m_arrBars.rbegin(); it != m_arrBars.rend() && !pCandidate; ++it) {
    CTKCommandBar* pBar = *it;
    if (!pBar->GetSafeHwnd() || !pBar->IsVisible())
      continue;
    CRect rc;
    pBar->GetWindowRect(&rc);
    if (rc.PtInRect(ptScreen))
      pCandidate = pBar;
  }
  if (pCandidate) {
    CPoint pt = ptScreen;
    pCandidate->ScreenToClient(&pt);
    if (pCandidate == m_pTarget) {
      DROPEFFECT dropEffect = DROPEFFECT_COPY;
      m_pTarget->OnCustomizeDragOver(m_pControl, pt, dropEffect);
    } else {
      if (m_pTarget)
        m_pTarget->OnCustomizeDragLeave();
      m_pTarget = nullptr;
      pCandidate->OnCustomizeDragEnter(m_pControl, pt);
      // Only a bar that takes controls becomes the target.
      if (pCandidate->IsCustomizable())
        m_pTarget = pCandidate;
    }
  } else if (m_pTarget) {
    m_pTarget->OnCustomizeDragLeave();
    m_pTarget = nullptr;
  }
  SetDragCursor();
}

int CTKCustomizeDropSource::DoDragDrop(CTKControl* pControl, BOOL bForceCopy)
{
  CWnd* pCaptureWnd = m_pSheet ? static_cast<CWnd*>(m_pSheet) : m_pCommandBars->GetSite();
  if (!pControl || !pCaptureWnd || !pCaptureWnd->GetSafeHwnd())
    return tkDropCancel;
  m_hwndCapture = pCaptureWnd->GetSafeHwnd();
  ::SetCapture(m_hwndCapture);
  m_pControl = pControl;
  // The control may be removed from its bar by a drop on another bar before the source removes it.
  pControl->InternalAddRef();
  m_bMove = FALSE;
  m_pTarget = nullptr;
  m_bForceCopy = bForceCopy;
  POINT ptCursor{};
  ::GetCursorPos(&ptCursor);
  m_ptStart = ptCursor;

  int nResult = tkDropCancel;
  BOOL bFirstMove = TRUE;
  BOOL bRelease = FALSE;
  CPoint ptRelease = m_ptStart;
  while (::GetCapture() == m_hwndCapture) {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
      ::DispatchMessage(&msg);
    if (!::GetMessage(&msg, nullptr, 0, 0)) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      nResult = tkDropCancel;
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      nResult = tkDropCancel;
      break;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_CONTROL) {
      m_bMove = FALSE;
      SetDragCursor();
      continue;
    }
    if (msg.message == WM_KEYUP && msg.wParam == VK_CONTROL) {
      m_bMove = TRUE;
      SetDragCursor();
      continue;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      CPoint pt(static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam)));
      ::ClientToScreen(msg.hwnd, &pt);
      if (msg.message == WM_LBUTTONUP || !(msg.wParam & MK_LBUTTON)) {
        bRelease = TRUE;
        ptRelease = pt;
        break;
      }
      if (bFirstMove && pControl->GetParent()) {
        CPoint ptBar = pt;
        pControl->GetParent()->ScreenToClient(&ptBar);
        pControl->OnCustomizeDragOver(pControl, ptBar);
      }
      bFirstMove = FALSE;
      m_bMove = (msg.wParam & MK_CONTROL) ? FALSE : TRUE;
      OnMove(pt);
      nResult = tkDropOutside;
      continue;
    }
    if (msg.message == WM_RBUTTONDOWN) {
      nResult = tkDropCancel;
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  if (bRelease && m_pTarget) {
    DROPEFFECT dropEffect = m_bMove ? tkDropMove : tkDropCopy;
    CPoint ptDrop = ptRelease;
    CPoint ptDrag = m_ptStart;
    m_pTarget->ScreenToClient(&ptDrop);
    m_pTarget->ScreenToClient(&ptDrag);
    m_pTarget->OnCustomizeDrop(pControl, dropEffect, ptDrop, ptDrag);
    nResult = static_cast<int>(dropEffect);
    m_pTarget = nullptr;
  } else if (!bRelease && nResult == tkDropOutside) {
    nResult = tkDropCancel;
  }
  if (m_pTarget) {
    m_pTarget->OnCustomizeDragLeave();
    m_pTarget = nullptr;
  }
  if (::GetCapture() == m_hwndCapture)
    ::ReleaseCapture();
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  m_pControl = nullptr;
  pControl->InternalRelease();
  return nResult;
}

// ---- Hooks

void TK_CUSTOMIZE_HOOKS::Unhook()
{
  if (hMouseHook)
    ::UnhookWindowsHookEx(hMouseHook);
  if (hKeyboardHook)
    ::UnhookWindowsHookEx(hKeyboardHook);
  hMouseHook = nullptr;
  hKeyboardHook = nullptr;
  g_pRunningHooks = nullptr;
}

// ---- The sheet's own menu controls

void CTKCustomizeSheet::CCustomizeButton::OnExecute()
{
  m_bCloseSubMenuOnClick = TRUE;
  CTKControlButton::OnExecute();
}

void CTKCustomizeSheet::CCustomizeEdit::OnExecute()
{
  m_bCloseSubMenuOnClick = TRUE;
  CTKControl::OnExecute();
}

BOOL CTKCustomizeSheet::CCustomizeEdit::OnSetSelected(int bSelected)
{
  // A name typed and left without Enter is applied all the same.
  BOOL bHadFocus = !bSelected && GetSelected() && IsFocused();
  BOOL bResult = CTKControlEdit::OnSetSelected(bSelected);
  if (bHadFocus && m_pParent) {
    if (CWnd* pSite = m_pParent->GetRootBar()->GetNotifySite()) {
      TK_NMCONTROL record{};
      record.hdr.idFrom = static_cast<UINT_PTR>(m_nId);
      record.hdr.code = TKN_EXECUTE;
      record.pControl = this;
      ::SendMessage(pSite->GetSafeHwnd(), TKWM_CONTROLNOTIFY, static_cast<WPARAM>(m_nId),
                    reinterpret_cast<LPARAM>(&record));
    }
  }
  return bResult;
}

// ---- Sheet

IMPLEMENT_DYNAMIC(CTKCustomizeSheet, CPropertySheet)

TK_CUSTOMIZE_HOOKS* CTKCustomizeSheet::RunningHooks() { return g_pRunningHooks; }

CTKCustomizeSheet::CTKCustomizeSheet(CTKCommandBars* pCommandBars, UINT iSelectPage)
{
  m_pCommandBars = pCommandBars;
  m_pSite = pCommandBars->GetSite();
  CString strCaption;
  TKResourceManager()->LoadString(&strCaption, kIdCaption);
  Construct(strCaption, m_pSite, iSelectPage);

  m_pToolbarsPage = new CTKCustomizeToolbarsPage(this);
  AddPage(m_pToolbarsPage);
  m_pCommandsPage = new CTKCustomizeCommandsPage(this);
  AddPage(m_pCommandsPage);

  m_pImageBank = new CTKImageManager;
  CBitmap bmp;
  if (TKResourceManager()->LoadBitmap(&bmp, kIdImageBank)) {
    BITMAP info{};
    bmp.GetBitmap(&info);
    m_nBankImages = info.bmWidth / 16;
    std::vector<UINT> ids;
    for (int i = 1; i <= m_nBankImages; ++i)
      ids.push_back(static_cast<UINT>(i));
    if (m_nBankImages > 0)
      m_pImageBank->SetIcons(bmp, ids.data(), m_nBankImages, CSize(16, 16));
  }
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  CreateContextMenu();
}

CTKCustomizeSheet::~CTKCustomizeSheet()
{
  delete m_pToolbarsPage;
  delete m_pCommandsPage;
  if (m_pContextMenu)
    m_pContextMenu->InternalRelease();
  if (m_pImageBank)
    m_pImageBank->InternalRelease();
}

void CTKCustomizeSheet::AddPage(CPropertyPage* pPage)
{
  CPropertySheet::AddPage(pPage);
  if (IS_INTRESOURCE(pPage->m_psp.pszTemplate) && !(pPage->m_psp.dwFlags & PSP_DLGINDIRECT)) {
    UINT nId = static_cast<UINT>(reinterpret_cast<UINT_PTR>(pPage->m_psp.pszTemplate));
    if (const DLGTEMPLATE* pTemplate = TKResourceManager()->LoadDialogTemplate(nId)) {
      pPage->m_psp.pResource = pTemplate;
      pPage->m_psp.dwFlags |= PSP_DLGINDIRECT;
    }
  }
}

void CTKCustomizeSheet::CreateContextMenu()
{
  CMenu menu;
  if (!TKResourceManager()->LoadMenu(&menu, kIdContextMenu))
    return;
  CMenu* pSub = menu.GetSubMenu(0);
  if (!pSub)
    return;
  m_pContextMenu = CTKPopupBar::CreatePopupBar(m_pCommandBars);
  m_pContextMenu->SetOwnerWindow(m_pSite);
  m_pContextMenu->SetNotifyWindow(this);
  // Each bar takes over the reference it is given.
  m_pImageBank->InternalAddRef();
  m_pContextMenu->SetImageManager(m_pImageBank);
  CTKControls* pControls = m_pContextMenu->GetControls();
  BOOL bBeginGroup = FALSE;
  for (int i = 0; i < pSub->GetMenuItemCount(); ++i) {
    UINT nId = pSub->GetMenuItemID(i);
    MENUITEMINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    pSub->GetMenuItemInfo(static_cast<UINT>(i), &info, TRUE);
    if ((info.fType & MFT_SEPARATOR) || nId == 0) {
      bBeginGroup = TRUE;
      continue;
    }
    CString strCaption;
    pSub->GetMenuString(static_cast<UINT>(i), strCaption, MF_BYPOSITION);
    if (strCaption.GetLength() > 1024)
      strCaption = strCaption.Left(1024);
    CTKControl* pControl = nullptr;
    if (nId == kIdPicker) {
      auto* pPopup = new CTKControlPopup;
      CTKPopupToolBar* pPicker = CTKPopupToolBar::CreatePopupToolBar(m_pCommandBars);
      pPicker->SetBarID(kIdPicker);
      m_pImageBank->InternalAddRef();
      pPicker->SetImageManager(m_pImageBank);
      pPopup->SetCommandBar(pPicker);
      pPicker->InternalRelease();
      pControl = pPopup;
    } else if (nId == kIdName) {
      pControl = new CCustomizeEdit;
    } else {
      pControl = new CCustomizeButton;
    }
    pControls->InsertAt(pControl, static_cast<int>(nId));
    pControl->SetCaption(strCaption);
    if (bBeginGroup)
      pControl->SetBeginGroup(TRUE);
    bBeginGroup = FALSE;
  }
}

void CTKCustomizeSheet::EnableModelessWindows(BOOL bEnable)
{
  if (bEnable) {
    for (HWND hwnd : m_arrDisabledModeless)
      if (::IsWindow(hwnd))
        ::EnableWindow(hwnd, TRUE);
    m_arrDisabledModeless.clear();
    return;
  }
  const HWND hwndSite = m_pSite ? m_pSite->GetSafeHwnd() : nullptr;
  if (!hwndSite)
    return;
  struct Walk {
    HWND hwndSite;
    std::vector<HWND> found;
  } walk{hwndSite, {}};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM lParam) -> BOOL {
        auto* pWalk = reinterpret_cast<Walk*>(lParam);
        if (::GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD || !::IsWindowEnabled(hwnd) ||
            dynamic_cast<CTKCommandBar*>(CWnd::FromHandlePermanent(hwnd)))
          return TRUE;
        for (HWND hwndOwner = ::GetWindow(hwnd, GW_OWNER); hwndOwner; hwndOwner = ::GetWindow(hwndOwner, GW_OWNER))
          if (hwndOwner == pWalk->hwndSite) {
            pWalk->found.push_back(hwnd);
            break;
          }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  for (HWND hwnd : walk.found)
    ::EnableWindow(hwnd, FALSE);
  m_arrDisabledModeless = std::move(walk.found);
}

CTKControl* CTKCustomizeSheet::Selection() const { return m_pCommandBars->GetDragControl(); }

void CTKCustomizeSheet::Relayout(CTKControl* pControl) const
{
  if (pControl && pControl->GetParent())
    pControl->GetParent()->OnRecalcLayout();
}

INT_PTR CTKCustomizeSheet::DoModal()
{
  // One hook pointer for the process: a second sheet would leave the first one's hooks behind.
  if (g_pRunningHooks)
    return IDCANCEL;
  m_pCommandBars->SetCustomizeMode(TRUE);
  m_pCommandBars->SetDragControl(nullptr);
  m_pCommandBars->RecalcFrameLayout();
  m_pCommandBars->GetDropSource()->SetSheet(this);

  EnableModelessWindows(FALSE);
  TK_CUSTOMIZE_HOOKS hooks;
  hooks.pMouseFilter = this;
  hooks.pKeyboardFilter = this;
  g_pRunningHooks = &hooks;
  if (m_pSite && m_pSite->GetSafeHwnd()) {
    hooks.hMouseHook = ::SetWindowsHookEx(WH_MOUSE, CustomizeMouseHookProc, nullptr, 0);
    hooks.hKeyboardHook = ::SetWindowsHookEx(WH_KEYBOARD, CustomizeKeyboardHookProc, nullptr, 0);
  }
  if (HWND hwndCapture = ::GetCapture())
    ::SendMessage(hwndCapture, WM_CANCELMODE, 0, 0);

  INT_PTR nResult = CPropertySheet::DoModal();

  hooks.Unhook();
  EnableModelessWindows(TRUE);
  m_pCommandBars->SetCustomizeMode(FALSE);
  m_pCommandBars->SetDragControl(nullptr);
  m_pCommandBars->RecalcFrameLayout();
  m_pCommandBars->GetDropSource()->SetSheet(nullptr);
  m_pCommandBars->ClosePopups();
  return nResult;
}

BOOL CTKCustomizeSheet::OnInitDialog()
{
  BOOL bResult = CPropertySheet::OnInitDialog();
  if (CWnd* pOk = GetDlgItem(IDOK))
    pOk->ShowWindow(SW_HIDE);
  if (CWnd* pCancel = GetDlgItem(IDCANCEL)) {
    CString strClose;
    TKResourceManager()->LoadString(&strClose, kIdClose);
    pCancel->SetWindowText(strClose);
  }
  return bResult;
}

BOOL CTKCustomizeSheet::PreTranslateMessage(MSG* pMsg)
{
  if (pMsg->message == WM_SYSKEYDOWN) {
    for (int i = 0; i < GetPageCount(); ++i) {
      CString strCaption = GetPage(i)->m_psp.pszTitle ? CString(GetPage(i)->m_psp.pszTitle) : CString();
      int nAmp = strCaption.ReverseFind('&');
      if (nAmp >= 0 && nAmp + 1 < strCaption.GetLength() &&
          CTKShortcutManager::CompareAccelKey(strCaption[nAmp + 1], static_cast<UINT>(pMsg->wParam))) {
        SetActivePage(i);
        return TRUE;
      }
    }
  }
  return CPropertySheet::PreTranslateMessage(pMsg);
}

BOOL CTKCustomizeSheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (nID >= kIdReset && nID <= kIdBeginGroup) {
    if (nCode == CN_UPDATE_COMMAND_UI) {
      auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
      BOOL bEnabled = FALSE;
      BOOL bChecked = FALSE;
      GetCommandState(nID, bEnabled, bChecked);
      if (pCmdUI) {
        pCmdUI->Enable(bEnabled);
        pCmdUI->SetCheck(bChecked);
      }
      return TRUE;
    }
    if (nCode == CN_COMMAND) {
      if (pHandlerInfo)
        return TRUE;
      switch (nID) {
      case kIdReset:
        OnReset();
        break;
      case kIdDelete:
        OnDelete();
        break;
      case kIdCopyImage:
        OnCopyImage();
        break;
      case kIdPasteImage:
        OnPasteImage();
        break;
      case kIdEditImage:
        OnEditImage();
        break;
      case kIdResetImage:
        if (CTKControl* pControl = Selection()) {
          pControl->SetCustomIcon(0);
          Relayout(pControl);
        }
        break;
      case kIdStyleDefault:
      case kIdStyleCaption:
      case kIdStyleIconCaption:
        OnStyle(nID);
        break;
      case kIdBeginGroup:
        OnBeginGroup();
        break;
      default:
        break;
      }
      return TRUE;
    }
  }
  if (nCode == CN_COMMAND && (nID == IDOK || nID == IDCANCEL || nID == IDHELP))
    return CPropertySheet::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  if (m_pSite && m_pSite->GetSafeHwnd())
    return m_pSite->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
  return FALSE;
}

void CTKCustomizeSheet::GetCommandState(UINT nID, BOOL& bEnabled, BOOL& bChecked) const
{
  bEnabled = FALSE;
  bChecked = FALSE;
  CTKControl* pControl = Selection();
  if (!pControl)
    return;
  BOOL bImage = IsImageType(pControl);
  int nStyle = pControl->GetCustomStyle();
  switch (nID) {
  case kIdReset:
    bEnabled = pControl->GetCustomIconId() > 0 || !pControl->GetCustomCaption().IsEmpty() || nStyle != 0;
    break;
  case kIdDelete:
  case kIdName:
    bEnabled = TRUE;
    break;
  case kIdCopyImage:
  case kIdEditImage:
  case kIdPicker:
    bEnabled = IconIdToUse(pControl) > 0 && bImage;
    break;
  case kIdPasteImage:
    bEnabled = ::IsClipboardFormatAvailable(CF_BITMAP) && bImage;
    break;
  case kIdResetImage:
    bEnabled = pControl->GetCustomIconId() > 0;
    break;
  case kIdStyleDefault:
  case kIdStyleCaption:
  case kIdStyleIconCaption:
    bEnabled = bImage;
    bChecked = nStyle == (nID == kIdStyleDefault ? 0 : nID == kIdStyleCaption ? 3 : 1);
    break;
  case kIdBeginGroup:
    bEnabled = pControl->GetIndex() != 0;
    bChecked = pControl->GetBeginGroup();
    break;
  default:
    break;
  }
}

void CTKCustomizeSheet::OnReset()
{
  CTKControl* pControl = Selection();
  if (!pControl)
    return;
  pControl->SetCustomIcon(0);
  pControl->SetCustomCaption(CString());
  pControl->SetCustomStyle(0);
  Relayout(pControl);
}

void CTKCustomizeSheet::OnDelete()
{
  CTKControl* pControl = Selection();
  if (!pControl)
    return;
  CTKCommandBar* pBar = pControl->GetParent();
  pControl->InternalAddRef();
  m_pCommandBars->SetDragControl(nullptr);
  if (CTKControls* pControls = pControl->GetControls())
    pControls->Remove(pControl);
  if (pBar)
    pBar->OnRecalcLayout();
  pControl->InternalRelease();
}

void CTKCustomizeSheet::OnStyle(UINT nID)
{
  CTKControl* pControl = Selection();
  if (!pControl || !IsImageType(pControl))
    return;
  pControl->SetCustomStyle(nID == kIdStyleDefault ? 0 : nID == kIdStyleCaption ? 3 : 1);
  Relayout(pControl);
}

void CTKCustomizeSheet::OnBeginGroup()
{
  CTKControl* pControl = Selection();
  if (!pControl || pControl->GetIndex() == 0)
    return;
  pControl->SetBeginGroup(!pControl->GetBeginGroup());
  Relayout(pControl);
}

LRESULT CTKCustomizeSheet::OnExecuteNotify(WPARAM wParam, LPARAM lParam)
{
  auto* pRecord = reinterpret_cast<TK_NMCONTROL*>(lParam);
  if (!pRecord || pRecord->hdr.code != TKN_EXECUTE)
    return 0;
  UINT nId = static_cast<UINT>(wParam);
  CTKControl* pControl = Selection();
  if (nId == kIdName) {
    if (pControl && pRecord->pControl) {
      if (auto* pEdit = DYNAMIC_DOWNCAST(CTKControlEdit, pRecord->pControl))
        pControl->SetCustomCaption(pEdit->GetEditText());
      Relayout(pControl);
    }
    return 1;
  }
  if (nId == kIdPicker) {
    if (pControl && pRecord->pControl) {
      UINT nIcon = static_cast<UINT>(IconIdToUse(pRecord->pControl));
      CTKImageManagerIconSet* pSet = m_pImageBank->GetIconSet(nIcon);
      CTKImageManagerIcon* pIcon = m_pImageBank->GetImage(nIcon, 16);
      if (pSet && pSet->GetCount() == 1 && pIcon) {
        UINT nCustom = m_pCommandBars->GetImageManager()->AddCustomIcon(pIcon->GetIcon());
        if (nCustom) {
          pControl->SetCustomIcon(static_cast<int>(nCustom));
          Relayout(pControl);
        }
      }
    }
    return 1;
  }
  if (nId >= kIdReset && nId <= kIdBeginGroup)
    return 0;
  m_pCommandBars->ClosePopups();
  if (!m_pSite || !m_pSite->GetSafeHwnd())
    return 1;
  if (::SendMessage(m_pSite->GetSafeHwnd(), TKWM_CONTROLNOTIFY, wParam, lParam) == 0)
    ::SendMessage(m_pSite->GetSafeHwnd(), WM_COMMAND, wParam, 0);
  return 1;
}

void CTKCustomizeSheet::OnPopupInit(CTKCommandBar* pPopup)
{
  if (!pPopup || pPopup->GetBarID() != kIdPicker || pPopup->GetControlCount() != 0)
    return;
  for (int i = 1; i <= m_nBankImages; ++i) {
    auto* pButton = new CCustomizeButton;
    pPopup->GetControls()->InsertAt(pButton, static_cast<int>(kIdPicker));
    pButton->SetIconId(i);
    pButton->SetFlags(pButton->GetFlags() | TK_FLAG_NOMOVABLE);
  }
  pPopup->m_nMRUWidth = static_cast<int>(std::sqrt(static_cast<double>(m_nBankImages))) * kPickerCell + 6;
}

void CTKCustomizeSheet::ContextMenu(int x, int y)
{
  if (!m_pContextMenu)
    return;
  if (auto* pEdit = DYNAMIC_DOWNCAST(CTKControlEdit, m_pContextMenu->GetControls()->FindControl(kIdName))) {
    CTKControl* pControl = Selection();
    pEdit->SetEditText(pControl ? pControl->GetCaption() : CString());
  }
  UINT nFlags = TPM_RECURSE;
  if (m_pCommandBars->IsLayoutRTL())
    nFlags |= TPM_RIGHTALIGN;
  m_pCommandBars->TrackPopupMenu(m_pContextMenu, nFlags, x, y, m_pSite, nullptr, this);
}

BOOL CTKCustomizeSheet::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message == TKWM_CONTROLNOTIFY) {
    *pResult = OnExecuteNotify(wParam, lParam);
    return TRUE;
  }
  if (message == TKWM_POPUPBARINIT) {
    auto* pRecord = reinterpret_cast<TK_NMCONTROL*>(lParam);
    if (pRecord && pRecord->pControl)
      OnPopupInit(pRecord->pControl->GetCommandBar());
    *pResult = 0;
    return TRUE;
  }
  // The modal run switches its owner off as it shows the sheet; the site's bars must keep taking the drags.
  if (message == WM_SHOWWINDOW && wParam && m_pSite && m_pSite->GetSafeHwnd() && !m_pSite->IsWindowEnabled())
    m_pSite->EnableWindow(TRUE);
  return CPropertySheet::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CTKCustomizeSheet::FilterMouseMessage(UINT message, const MOUSEHOOKSTRUCT* pInfo) const
{
  if (message == WM_MOUSEMOVE || message == WM_NCMOUSEMOVE)
    return TRUE;
  HWND hwnd = pInfo ? pInfo->hwnd : nullptr;
  CTKMouseManager* pMouse = m_pCommandBars->GetMouseManager();
  if (pMouse && pMouse->GetTrackedBarCount() > 0) {
    for (HWND h = hwnd; h; h = ::GetParent(h)) {
      auto* pBar = DYNAMIC_DOWNCAST(CTKCommandBar, CWnd::FromHandlePermanent(h));
      if (pBar && !pBar->GetCommandBars())
        return TRUE;
      if (pBar)
        break;
    }
  }
  HWND hwndSite = m_pSite ? m_pSite->GetSafeHwnd() : nullptr;
  if (!IsWindowOrDescendant(hwndSite, hwnd))
    return TRUE;
  if (GetSafeHwnd() && IsWindowOrDescendant(GetSafeHwnd(), hwnd))
    return TRUE;
  HWND hwndForeground = ::GetForegroundWindow();
  if (hwndForeground && hwndForeground != hwndSite && IsWindowOrDescendant(hwndForeground, hwnd))
    return TRUE;
  for (HWND h : {hwnd, hwnd ? ::GetParent(hwnd) : nullptr}) {
    auto* pBar = DYNAMIC_DOWNCAST(CTKCommandBar, CWnd::FromHandlePermanent(h));
    if (pBar)
      return pBar->GetCommandBars() == m_pCommandBars;
  }
  return FALSE;
}

BOOL CTKCustomizeSheet::FilterKeyboardMessage() const
{
  HWND hwndFocus = ::GetFocus();
  if (GetSafeHwnd() && IsWindowOrDescendant(GetSafeHwnd(), hwndFocus))
    return TRUE;
  if (hwndFocus && DYNAMIC_DOWNCAST(CTKCommandBar, CWnd::FromHandlePermanent(::GetParent(hwndFocus))))
    return TRUE;
  HWND hwndForeground = ::GetForegroundWindow();
  HWND hwndSite = m_pSite ? m_pSite->GetSafeHwnd() : nullptr;
  if (hwndForeground && hwndForeground != hwndSite && IsWindowOrDescendant(hwndForeground, hwndFocus))
    return TRUE;
  return ::GetCapture() != nullptr;
}

void CTKCustomizeSheet::OnCopyImage()
{
  CTKControl* pControl = Selection();
  if (!pControl || IconIdToUse(pControl) <= 0)
    return;
  UINT nIcon = static_cast<UINT>(IconIdToUse(pControl));
  CTKImageManager* pImages = m_pCommandBars->GetImageManager();
  CTKImageManagerIcon* pIcon = pImages->GetImage(nIcon, 16);
  if (!pIcon)
    return;
  CTKImageManagerIconHandle& handle = pIcon->GetIcon();
  CWnd* pOwner = GetSafeHwnd() ? static_cast<CWnd*>(this) : m_pSite;
  if (!pOwner || !pOwner->GetSafeHwnd())
    return;
  HBITMAP hBitmap = nullptr;
  BOOL bAlpha = handle.IsAlpha();
  if (bAlpha) {
    hBitmap = CTKImageManagerIcon::CopyAlphaBitmap(handle.GetBitmap());
  } else {
    CSize sz = handle.GetExtent();
    CClientDC dcWindow(pOwner);
    CDC dc;
    dc.CreateCompatibleDC(&dcWindow);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dcWindow, sz.cx, sz.cy);
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, sz.cx, sz.cy, ::GetSysColor(COLOR_BTNFACE));
    dc.DrawState(CPoint(0, 0), sz, handle.GetIcon(), DST_ICON);
    dc.SelectObject(pOld);
    hBitmap = static_cast<HBITMAP>(bmp.Detach());
  }
  if (!hBitmap)
    return;
  if (!::OpenClipboard(pOwner->GetSafeHwnd())) {
    ::DeleteObject(hBitmap);
    return;
  }
  if (!::EmptyClipboard()) {
    ::CloseClipboard();
    ::DeleteObject(hBitmap);
    return;
  }
  ::SetClipboardData(CF_BITMAP, hBitmap);
  if (bAlpha) {
    // Only its presence counts: the bitmap beside it keeps its alpha.
    if (HGLOBAL hMarker = ::GlobalAlloc(GMEM_MOVEABLE, 1))
      ::SetClipboardData(TKAlphaBitmapClipboardFormat(), hMarker);
  }
  if (pImages->GetIconSet(nIcon))
    pImages->CopyIconToClipboard(nIcon);
  ::CloseClipboard();
}

void CTKCustomizeSheet::OnEditImage()
{
  m_pCommandBars->ClosePopups();
  CTKControl* pControl = Selection();
  if (!pControl || IconIdToUse(pControl) <= 0)
    return;
  CSize szIcon = pControl->GetParent() ? pControl->GetParent()->GetIconSize() : CSize(16, 16);
  CTKImageManager* pImages = m_pCommandBars->GetImageManager();
  CTKImageManagerIcon* pIcon = pImages->GetImage(static_cast<UINT>(IconIdToUse(pControl)), szIcon.cx);
  CTKImageEditorDlg dlg(this);
  if (pIcon && !pIcon->GetIcon().IsEmpty())
    dlg.SetIcon(pIcon->GetIcon());
  else
    dlg.SetPictureSize(szIcon.cx, szIcon.cy);
  if (dlg.DoModal() != IDOK)
    return;
  CTKImageManagerIconHandle handle;
  dlg.GetIcon(&handle);
  if (handle.IsEmpty())
    return;
  if (pControl->GetCustomIconId() <= 0) {
    if (UINT nId = pImages->AddCustomIcon(handle))
      pControl->SetCustomIcon(static_cast<int>(nId));
  } else if (CTKImageManagerIcon* pCustom = pImages->GetImage(static_cast<UINT>(pControl->GetCustomIconId()), szIcon.cx)) {
    pCustom->SetIcon(handle);
  }
  Relayout(pControl);
}

void CTKCustomizeSheet::OnPasteImage()
{
  CTKControl* pControl = Selection();
  if (!pControl)
    return;
  CTKImageManager* pImages = m_pCommandBars->GetImageManager();
  COleDataObject data;
  if (!data.AttachClipboard())
    return;
  if (data.IsDataAvailable(TKToolBarImageClipboardFormat())) {
    if (UINT nId = pImages->PasteIconFromClipboard(&data)) {
      pControl->SetCustomIcon(static_cast<int>(nId));
      Relayout(pControl);
    }
    return;
  }
  if (!data.IsDataAvailable(CF_BITMAP))
    return;
  STGMEDIUM medium{};
  if (!data.GetData(CF_BITMAP, &medium) || !medium.hBitmap)
    return;
  CTKImageManagerIconHandle handle;
  if (data.IsDataAvailable(TKAlphaBitmapClipboardFormat())) {
    handle.SetAlphaBitmap(medium.hBitmap);
  } else {
    BITMAP info{};
    if (::GetObject(medium.hBitmap, sizeof(info), &info) && info.bmWidth > 0 && info.bmHeight > 0) {
      CImageList images;
      images.Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
      CBitmap* pBitmap = CBitmap::FromHandle(medium.hBitmap);
      images.Add(pBitmap, ::GetSysColor(COLOR_BTNFACE));
      if (images.GetImageCount() == 1)
        handle.SetIcon(images.ExtractIcon(0));
    }
  }
  ::ReleaseStgMedium(&medium);
  if (handle.IsEmpty())
    return;
  if (UINT nId = pImages->AddCustomIcon(handle)) {
    pControl->SetCustomIcon(static_cast<int>(nId));
    Relayout(pControl);
  }
}
