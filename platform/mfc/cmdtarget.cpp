#include "platform/mfc/cmdtarget.h"

#include "platform/base/interlocked.h"

#include "platform/mfc/menu.h"
#include "platform/mfc/winapp.h"
#include "platform/user/controls.h"
#include "platform/mfc/wnd.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message) const
{
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
      UINT entryMessage = entry->pnRegistered != nullptr ? *entry->pnRegistered : entry->nMessage;
      // A registered message not yet registered (0) matches nothing.
      if (entryMessage != 0 && entryMessage == message && entry->nMessage != WM_COMMAND) {
        return entry;
      }
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  // Command id 0 is nobody's command.
  if (nID == 0) {
    return FALSE;
  }
  // ON_COMMAND_EX handlers may decline, so look past an entry that answered FALSE.
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn != nullptr; ++entry) {
      if (entry->nMessage != WM_COMMAND || entry->pnRegistered != nullptr ||
          entry->nCode != static_cast<UINT>(nCode) || nID < entry->nID || nID > entry->nLastID) {
        continue;
      }
      if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pEntry = entry;
        return TRUE;
      }
      AFX_MSGARGS args;
      args.message = WM_COMMAND;
      args.nID = nID;
      args.nCode = nCode;
      args.pExtra = pExtra;
      if (entry->pfn(this, args)) {
        return TRUE;
      }
    }
  }
  return FALSE;
}

DWORD CCmdTarget::InternalAddRef() { return static_cast<DWORD>(InterlockedIncrement(&m_dwRef)); }

DWORD CCmdTarget::InternalRelease()
{
  // A count already at zero belongs to an object on its way out: a second final release would delete it twice.
  LONG current = __atomic_load_n(&m_dwRef, __ATOMIC_SEQ_CST);
  do {
    if (current <= 0) {
      return 0;
    }
  } while (!__atomic_compare_exchange_n(&m_dwRef, &current, current - 1, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST));
  if (current - 1 == 0) {
    OnFinalRelease();
    return 0;
  }
  return static_cast<DWORD>(current - 1);
}

DWORD CCmdTarget::ExternalAddRef()
{
  return m_pOuterUnknown != nullptr ? m_pOuterUnknown->ExternalAddRef() : InternalAddRef();
}

DWORD CCmdTarget::ExternalRelease()
{
  return m_pOuterUnknown != nullptr ? m_pOuterUnknown->ExternalRelease() : InternalRelease();
}

void CCmdTarget::OnFinalRelease() { delete this; }

void CCmdTarget::BeginWaitCursor()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(1);
  }
}

void CCmdTarget::EndWaitCursor()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(-1);
  }
}

void CCmdTarget::RestoreWaitCursor()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(0);
  }
}

CWaitCursor::CWaitCursor()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(1);
  }
}

CWaitCursor::~CWaitCursor()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(-1);
  }
}

void CWaitCursor::Restore()
{
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(0);
  }
}

// CCmdUI

void CCmdUI::Enable(BOOL bOn)
{
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) {
      return;  // a popup's state follows its items, not this update
    }
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
    // A control that is losing the focus hands it on first, as dialogs expect.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      ::SetFocus(::GetParent(m_pOther->m_hWnd));
    }
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
  if (m_pMenu != nullptr) {
    if (m_pSubMenu == nullptr) {
      m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck != 0 ? MF_CHECKED : MF_UNCHECKED));
    }
  } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr &&
             (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON) != 0) {
    m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
  }
}

void CCmdUI::SetRadio(BOOL bOn) { SetCheck(bOn ? 1 : 0); }

void CCmdUI::SetText(LPCSTR lpszText)
{
  if (m_pMenu != nullptr) {
    if (m_pSubMenu == nullptr) {
      UINT state = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) & ~(MF_BITMAP | MF_OWNERDRAW | MF_SEPARATOR);
      m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, lpszText);
    }
  } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
    m_pOther->SetWindowText(lpszText);
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
{
  if (m_nID == 0 || pTarget == nullptr) {
    return TRUE;  // separators and the like are not updated
  }
  m_bEnableChanged = FALSE;
  BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
  if (bDisableIfNoHandler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info;
    Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
  }
  return handled;
}
