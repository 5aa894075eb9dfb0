#include "platform/mfc/dialog.h"

#include "platform/base/thread.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/resources.h"
#include "platform/mfc/afxres.h"
#include "platform/mfc/winapp.h"
#include "platform/user/common_controls.h"
#include "platform/user/controls.h"
#include "platform/user/hooks.h"

#include <vector>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
  ON_MESSAGE(DM_SETDEFID, &CDialog::OnSetDefId)
  ON_MESSAGE(DM_GETDEFID, &CDialog::OnGetDefId)
END_MESSAGE_MAP()

namespace {

// The dialog whose data is being exchanged: its controls' notifications are not heard meanwhile.
thread_local HWND t_lockoutNotifyWindow = nullptr;

// While a modal dialog runs, its loop offers each message to the objects of the window it goes to and of that
// window's parents, as the application's loop does, so that a dialog's PreTranslateMessage sees its messages.
thread_local int t_modalRuns = 0;
thread_local HHOOK t_modalFilter = nullptr;

// A modal dialog's idle time, as the framework's own modal loop has it: when the queue is empty the dialog
// gets WM_KICKIDLE (lParam: the count of this quiet spell) until it answers 0 or a message arrives. The
// window system's loop only waits, so a thread message (WM_KICKIDLE with no window, wParam the run's token)
// is posted behind the queue; when it comes back through the message filter and nothing else is waiting,
// the loop is idle.
struct ModalIdle {
  CDialog* dialog = nullptr;
  WPARAM token = 0;
  LONG count = 0;
  bool due = true;  // a quiet spell is owed: the run has started, or an idle-worthy message went through
  bool probePosted = false;
};
thread_local std::vector<ModalIdle*> t_idleRuns;  // innermost last
thread_local WPARAM t_nextToken = 0;

bool IsIdleProbe(const MSG& msg) { return msg.hwnd == nullptr && msg.message == WM_KICKIDLE; }

ModalIdle* RunOf(WPARAM token)
{
  for (ModalIdle* run : t_idleRuns) {
    if (run->token == token) {
      return run;
    }
  }
  return nullptr;
}

void PostProbe(ModalIdle& run)
{
  if (!run.probePosted) {
    run.probePosted = ::PostThreadMessage(::GetCurrentThreadId(), WM_KICKIDLE, run.token, 0) != FALSE;
  }
}

bool IsIdleWorthy(MSG* msg)
{
  if (CWinThread* thread = AfxGetThread()) {
    return thread->IsIdleMessage(msg) != FALSE;
  }
  return msg->message != WM_PAINT && msg->message != 0x0118;  // nor the system timer
}

void OnProbe(ModalIdle& run)
{
  run.probePosted = false;
  if (run.dialog != t_idleRuns.back()->dialog) {
    return;  // an inner run's loop took it; the outer one asks again when its next message comes
  }
  MSG waiting{};
  if (::PeekMessage(&waiting, nullptr, 0, 0, PM_NOREMOVE)) {
    return;  // still due: the next message posts the probe again
  }
  HWND dialog = run.dialog->GetSafeHwnd();
  if (dialog == nullptr || !::IsWindow(dialog) ||
      ::SendMessage(dialog, WM_KICKIDLE, MSGF_DIALOGBOX, run.count++) == 0) {
    run.due = false;
    return;
  }
  PostProbe(run);
}

LRESULT ModalMessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == MSGF_DIALOGBOX && msg != nullptr) {
    if (IsIdleProbe(*msg)) {
      if (ModalIdle* run = RunOf(msg->wParam)) {
        OnProbe(*run);
      }
      return 1;
    }
    if (!t_idleRuns.empty()) {
      ModalIdle& run = *t_idleRuns.back();
      if (IsIdleWorthy(msg)) {
        run.due = true;
        run.count = 0;
      }
      if (run.due) {
        PostProbe(run);
      }
    }
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
      CWnd* pWnd = CWnd::FromHandlePermanent(hwnd);
      if (pWnd != nullptr && pWnd->PreTranslateMessage(msg)) {
        return 1;
      }
    }
  }
  return ::CallNextHookEx(t_modalFilter, code, wParam, lParam);
}

class ModalRun {
public:
  explicit ModalRun(CDialog* dialog)
  {
    if (t_modalRuns++ == 0) {
      t_modalFilter = ::SetWindowsHookEx(WH_MSGFILTER, &ModalMessageFilter, nullptr, 0);
    }
    idle_.dialog = dialog;
    idle_.token = ++t_nextToken;
    t_idleRuns.push_back(&idle_);
    PostProbe(idle_);
  }
  ~ModalRun()
  {
    t_idleRuns.pop_back();
    DropLeftoverProbes();
    if (--t_modalRuns == 0) {
      ::UnhookWindowsHookEx(t_modalFilter);
      t_modalFilter = nullptr;
    }
  }
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

private:
  // A dialog that ended before its loop ran (answered without a screen) leaves its probe behind; the loop
  // after it must not see it.
  void DropLeftoverProbes()
  {
    if (!idle_.probePosted) {
      return;
    }
    std::vector<MSG> others;
    MSG msg{};
    while (::PeekMessage(&msg, nullptr, WM_KICKIDLE, WM_KICKIDLE, PM_REMOVE)) {
      if (!IsIdleProbe(msg)) {
        others.push_back(msg);
      } else if (ModalIdle* run = RunOf(msg.wParam)) {
        run->probePosted = false;  // an outer run's: it posts again on its next message
      }
    }
    for (const MSG& other : others) {
      ::PostMessage(other.hwnd, other.message, other.wParam, other.lParam);
    }
  }

  ModalIdle idle_;
};

std::vector<HWND> ChildrenOf(HWND hWnd)
{
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(hWnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// The dialog DoModal is opening: its owner is as good as disabled already.
thread_local CDialog* t_startingModal = nullptr;

// A dialog that opens hidden, left where its template put it by WM_INITDIALOG, modal or unowned, is centred
// over its owner; one whose template places it on the screen (DS_ABSALIGN) or under the mouse keeps its place.
void AutoCenter(CDialog& dialog, const RECT& before, bool modal)
{
  const DWORD style = dialog.GetStyle();
  if ((style & (WS_VISIBLE | WS_CHILD)) != 0 || (style & (DS_ABSALIGN | DS_CENTERMOUSE)) != 0) {
    return;
  }
  RECT now{};
  ::GetWindowRect(dialog.m_hWnd, &now);
  if (now.left != before.left || now.top != before.top) {
    return;
  }
  HWND owner = ::GetWindow(dialog.m_hWnd, GW_OWNER);
  if (!modal && owner != nullptr && ::IsWindowEnabled(owner)) {
    return;
  }
  dialog.CenterWindow();
}

}  // namespace

INT_PTR AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
  // Everything else reaches the object through its window procedure; only the binding happens here.
  if (message != WM_INITDIALOG) {
    return FALSE;
  }
  auto* pDialog = reinterpret_cast<CDialog*>(lParam);
  if (pDialog == nullptr || (pDialog->m_hWnd != hWnd && !pDialog->SubclassWindow(hWnd))) {
    return TRUE;
  }
  RECT before{};
  ::GetWindowRect(hWnd, &before);
  const bool modal = t_startingModal == pDialog;
  t_startingModal = nullptr;
  BOOL result = TRUE;
  try {
    result = pDialog->OnInitDialog();
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
  }
  if (::IsWindow(hWnd)) {
    AutoCenter(*pDialog, before, modal);
  }
  return result;
}

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd),
      m_lpszTemplateName(MAKEINTRESOURCE(static_cast<WORD>(nIDTemplate)))
{
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
  if (lpszTemplateName == nullptr || IS_INTRESOURCE(lpszTemplateName)) {
    m_lpszTemplateName = lpszTemplateName;
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
  } else {
    m_strTemplateName = lpszTemplateName;
    m_lpszTemplateName = m_strTemplateName;
  }
}

CDialog::~CDialog() = default;

const void* CDialog::FindTemplate() const
{
  if (m_lpszTemplateName == nullptr) {
    return nullptr;
  }
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC resource = ::FindResource(module, m_lpszTemplateName, RT_DIALOG);
  if (resource == nullptr) {
    return nullptr;
  }
  HGLOBAL loaded = ::LoadResource(module, resource);
  return loaded != nullptr ? ::LockResource(loaded) : nullptr;
}

HWND CDialog::OwnerWindow() const
{
  if (m_pParentWnd != nullptr && ::IsWindow(m_pParentWnd->m_hWnd)) {
    return m_pParentWnd->m_hWnd;
  }
  CWnd* pMainWnd = AfxGetMainWnd();
  return pMainWnd != nullptr && ::IsWindow(pMainWnd->m_hWnd) ? pMainWnd->m_hWnd : nullptr;
}

// Modeless

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
  m_strTemplateName.Empty();
  m_lpszTemplateName = MAKEINTRESOURCE(static_cast<WORD>(nIDTemplate));
  if (m_nIDHelp == 0) {
    m_nIDHelp = nIDTemplate;
  }
  return CreateFromTemplate(FindTemplate(), pParentWnd);
}

BOOL CDialog::Create(LPCSTR lpszTemplateName, CWnd* pParentWnd)
{
  if (lpszTemplateName != nullptr && IS_INTRESOURCE(lpszTemplateName)) {
    return Create(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszTemplateName)), pParentWnd);
  }
  m_strTemplateName = lpszTemplateName;
  m_lpszTemplateName = m_strTemplateName;
  return CreateFromTemplate(FindTemplate(), pParentWnd);
}

BOOL CDialog::CreateIndirect(const void* lpDialogTemplate, CWnd* pParentWnd)
{
  return CreateFromTemplate(lpDialogTemplate, pParentWnd);
}

BOOL CDialog::CreateFromTemplate(const void* lpDialogTemplate, CWnd* pParentWnd)
{
  if (lpDialogTemplate == nullptr || m_hWnd != nullptr) {
    return FALSE;
  }
  if (pParentWnd != nullptr) {
    m_pParentWnd = pParentWnd;
  }
  ::CreateDialogIndirectParam(AfxGetResourceHandle(), lpDialogTemplate, OwnerWindow(), &AfxDlgProc,
                              reinterpret_cast<LPARAM>(this));
  return m_hWnd != nullptr;
}

// Modal

BOOL CDialog::InitModalIndirect(const void* lpDialogTemplate, CWnd* pParentWnd)
{
  m_lpDialogTemplate = lpDialogTemplate;
  if (pParentWnd != nullptr) {
    m_pParentWnd = pParentWnd;
  }
  return lpDialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
  const void* dialogTemplate = m_lpDialogTemplate != nullptr ? m_lpDialogTemplate : FindTemplate();
  if (dialogTemplate == nullptr || m_hWnd != nullptr) {
    return -1;
  }
  ModalRun run(this);
  t_startingModal = this;
  const INT_PTR result = ::DialogBoxIndirectParam(AfxGetResourceHandle(), dialogTemplate, OwnerWindow(), &AfxDlgProc,
                                  reinterpret_cast<LPARAM>(this));
  t_startingModal = nullptr;
  return result;
}

void CDialog::EndDialog(int nResult)
{
  if (m_hWnd != nullptr) {
    ::EndDialog(m_hWnd, nResult);
  }
}

// Controls

void CDialog::NextDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0); }

void CDialog::PrevDlgCtrl() const { ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0); }

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
  if (pWndCtrl != nullptr && pWndCtrl->m_hWnd != nullptr) {
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
  }
}

void CDialog::SetDefID(UINT nID) { ::SendMessage(m_hWnd, DM_SETDEFID, nID, 0); }

DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0)); }

HWND CDialog::DefaultButton() const
{
  for (HWND child : ChildrenOf(m_hWnd)) {
    if ((::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
      return child;
    }
  }
  return nullptr;
}

LRESULT CDialog::OnGetDefId(WPARAM, LPARAM)
{
  UINT id = m_nDefID;
  if (id == 0) {
    HWND button = DefaultButton();
    id = button != nullptr ? static_cast<UINT>(::GetDlgCtrlID(button)) : 0;
  }
  return id != 0 ? static_cast<LRESULT>(MAKELONG(id, DC_HASDEFID)) : 0;
}

LRESULT CDialog::OnSetDefId(WPARAM wParam, LPARAM)
{
  const auto id = static_cast<UINT>(wParam);
  // One push button at a time looks like the default.
  HWND newDefault = ::GetDlgItem(m_hWnd, static_cast<int>(id));
  for (HWND child : ChildrenOf(m_hWnd)) {
    if (child != newDefault && (::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
      ::SendMessage(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
  }
  if (newDefault != nullptr && (::SendMessage(newDefault, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0) {
    ::SendMessage(newDefault, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  }
  m_nDefID = id;
  return TRUE;
}

// Data

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
  HWND outerLockout = t_lockoutNotifyWindow;
  t_lockoutNotifyWindow = m_hWnd;
  CDataExchange dx(this, bSaveAndValidate);
  BOOL succeeded = TRUE;
  try {
    DoDataExchange(&dx);
  } catch (CUserException* e) {
    e->Delete();  // the user has been told
    succeeded = FALSE;
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
    succeeded = FALSE;
  }
  t_lockoutNotifyWindow = outerLockout;
  return succeeded;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK()
{
  if (!UpdateData(TRUE)) {
    return;  // the dialog stays open on the control that failed
  }
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// Messages

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
  // A modeless dialog takes its keys from the application's loop; a modal one runs its own.
  if (m_hWnd == nullptr || pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) {
    return FALSE;
  }
  if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)) {
    return FALSE;
  }
  return ::IsDialogMessage(m_hWnd, pMsg);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
  if (lParam != 0 && t_lockoutNotifyWindow == m_hWnd) {
    return TRUE;  // a control reporting what the exchange did to it
  }
  return CWnd::OnCommand(wParam, lParam);
}

HBRUSH CDialog::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
  if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && lParam != 0) {
    // The control's object may choose its own colours first.
    CWnd* pControl = CWnd::FromHandlePermanent(reinterpret_cast<HWND>(lParam));
    const AFX_MSGMAP_ENTRY* entry =
        pControl != nullptr ? pControl->FindMessageEntry(TESMIRA_WM_CTLCOLOR_REFLECT) : nullptr;
    if (entry != nullptr) {
      AFX_MSGARGS args;
      args.message = TESMIRA_WM_CTLCOLOR_REFLECT;
      args.wParam = wParam;
      args.lParam = static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX);
      if (entry->pfn(pControl, args) && args.result != 0) {
        *pResult = args.result;
        return TRUE;
      }
    }
  }
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

BOOL CDialog::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
  if (lParam != 0 && t_lockoutNotifyWindow == m_hWnd) {
    return TRUE;
  }
  return AfxRouteNotify(this, lParam, pResult);
}

BOOL AfxReflectToChild(HWND hWndChild, UINT nID, UINT nReflectedCode, void* pExtra)
{
  CWnd* pChild = CWnd::FromHandlePermanent(hWndChild);
  // Id 0 is nobody's in command routing; the child's entries match any id.
  return pChild != nullptr && pChild->OnCmdMsg(nID != 0 ? nID : 0xFFFF, static_cast<int>(nReflectedCode), pExtra, nullptr);
}

BOOL AfxRouteNotify(CCmdTarget* target, LPARAM lParam, LRESULT* pResult)
{
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (target == nullptr || header == nullptr) {
    return FALSE;
  }
  AFX_NOTIFY notify{pResult, header};
  const auto id = static_cast<UINT>(header->idFrom);
  if (AfxReflectToChild(header->hwndFrom, id, AFX_REFLECT_NOTIFY_CODE(header->code), &notify)) {
    return TRUE;
  }
  return target->OnCmdMsg(static_cast<UINT>(header->idFrom), static_cast<int>(AFX_NOTIFY_CODE(header->code)),
                          &notify, nullptr);
}
