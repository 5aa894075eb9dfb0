// Command targets and message maps.
//
// A class's message map is a table of entries; each entry names what it matches (a window message, or a
// command id range with its notification code) and holds a small thunk that casts the target to the class
// that declared the entry and calls its handler with typed arguments. No member-function pointer is ever cast
// to another type: the thunk is written per entry by the macros, inside the class's own scope.
//
//   class CMyDoc : public CDocument {
//     ...
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyDoc, CDocument)
//     ON_COMMAND(ID_MY_COMMAND, &CMyDoc::OnMyCommand)
//     ON_UPDATE_COMMAND_UI(ID_MY_COMMAND, &CMyDoc::OnUpdateMyCommand)
//   END_MESSAGE_MAP()
//
// A map is searched from the most derived class to CCmdTarget; the first matching entry wins.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"
#include "platform/mfc/afxres.h"

#include <functional>

class CCmdTarget;
class CCmdUI;
class CMenu;
class CWnd;

// What a thunk receives and gives back.
struct AFX_MSGARGS {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT nID = 0;           // commands: the command id
  int nCode = 0;          // commands: CN_COMMAND, CN_UPDATE_COMMAND_UI or a control notification
  void* pExtra = nullptr; // update-UI: the CCmdUI
  LRESULT result = 0;     // window messages: the answer
};

using AFX_PMSGTHUNK = BOOL (*)(CCmdTarget* target, AFX_MSGARGS& args);

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;             // WM_COMMAND for commands and update-UI, else the window message; 0 ends the map
  UINT nCode;                // commands: the notification code (CN_UPDATE_COMMAND_UI as UINT)
  UINT nID;                  // commands: first id of the range
  UINT nLastID;              // commands: last id of the range
  const UINT* pnRegistered;  // ON_REGISTERED_MESSAGE: the variable holding the message number
  AFX_PMSGTHUNK pfn;         // TRUE when the entry handled it
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

// Asked for by OnCmdMsg to learn whether a handler exists, without calling it.
struct AFX_CMDHANDLERINFO {
  CCmdTarget* pTarget = nullptr;
  const AFX_MSGMAP_ENTRY* pEntry = nullptr;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)
public:
  CCmdTarget() = default;
  ~CCmdTarget() override = default;

  // Routes a command (or its update-UI query) through this target's map; derived targets add their own
  // routes. TRUE when something handled it. With pHandlerInfo, only finds the handler.
  virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

  // The wait cursor, counted so that nested users balance.
  void BeginWaitCursor();
  void EndWaitCursor();
  void RestoreWaitCursor();

  // The entry of this object's maps matching a window message, or null.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message) const;

  // Reference counts. An object starts with one reference, its maker's; the release that takes the count to
  // zero calls OnFinalRelease, which deletes the object. Releasing an object whose count is already zero does
  // nothing and answers 0. The external forms go to the controlling object when this one is aggregated.
  DWORD InternalAddRef();
  DWORD InternalRelease();
  DWORD ExternalAddRef();
  DWORD ExternalRelease();
  virtual void OnFinalRelease();
  LONG m_dwRef = 1;
  // The object this one is part of (null: none); its counts are the ones that count.
  CCmdTarget* m_pOuterUnknown = nullptr;

  // Marks the object as one that automation clients may hold; it changes nothing else here.
  void EnableAutomation() { m_bAutomationEnabled = TRUE; }
  BOOL IsAutomationEnabled() const { return m_bAutomationEnabled; }

protected:
  BOOL m_bAutomationEnabled = FALSE;

  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
};

// The state of one user-interface item that update handlers set. The base shows it on a menu item or a control
// window; command bars derive their own and override what they show.
class CCmdUI {
public:
  CCmdUI() = default;
  virtual ~CCmdUI() = default;

  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);  // 0 unchecked, 1 checked, 2 indeterminate
  virtual void SetRadio(BOOL bOn = TRUE);
  virtual void SetText(LPCSTR lpszText);
  // The handler declines: routing goes on to the next target.
  void ContinueRouting() { m_bContinueRouting = TRUE; }

  // Asks pTarget's routing for this item's state. When nothing set the enabled state and
  // bDisableIfNoHandler is set, the item is enabled exactly when a command handler exists.
  // TRUE when an update handler answered.
  BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler);

  UINT m_nID = 0;
  UINT m_nIndex = 0;
  UINT m_nIndexMax = 0;
  CMenu* m_pMenu = nullptr;     // a menu item: its menu (the item is at m_nIndex)
  CMenu* m_pSubMenu = nullptr;  // the item opens this popup; its state is not changed from here
  CWnd* m_pOther = nullptr;     // a control window standing for the item, when there is one
  BOOL m_bEnableChanged = FALSE;
  BOOL m_bContinueRouting = FALSE;
};

// The wait cursor for a scope.
class CWaitCursor {
public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  void Restore();
};

// Marks message handlers in class declarations; means nothing to the compiler.
#define afx_msg

#define DECLARE_MESSAGE_MAP()                             \
protected:                                                \
  static const AFX_MSGMAP* GetThisMessageMap();           \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
  const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
  {                                                                                 \
    using ThisClass = theClass;                                                     \
    using TheBaseClass = baseClass;                                                 \
    static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                              \
  {0, 0, 0, 0, nullptr, nullptr}                                                       \
  }                                                                                    \
  ;                                                                                    \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
  return &messageMap;                                                                  \
  }

// The target as the class that declared the entry.
#define TESMIRA_AFX_THIS(t) static_cast<ThisClass*>(t)

// Commands.
#define ON_COMMAND(id, memberFxn)                                                     \
  {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS&) -> BOOL {                                          \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t));                                     \
     return TRUE;                                                                     \
   }},
// The handler answers FALSE to let routing go on.
#define ON_COMMAND_EX(id, memberFxn)                                                  \
  {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL { return std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.nID); }},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                       \
  {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                        \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.nID);                              \
     return TRUE;                                                                     \
   }},
#define ON_COMMAND_EX_RANGE(id, idLast, memberFxn)                                    \
  {WM_COMMAND, static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL { return std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.nID); }},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) ON_UPDATE_COMMAND_UI_RANGE(id, id, memberFxn)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                          \
  {WM_COMMAND, static_cast<UINT>(CN_UPDATE_COMMAND_UI), static_cast<UINT>(id), static_cast<UINT>(idLast), \
   nullptr, [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                            \
     auto* pCmdUI = static_cast<CCmdUI*>(a.pExtra);                                                \
     pCmdUI->m_bContinueRouting = FALSE;                                                           \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), pCmdUI);                                          \
     return !pCmdUI->m_bContinueRouting;                                                           \
   }},
// A control's notification (HIWORD of WM_COMMAND's wParam) from child id.
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                 \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS&) -> BOOL {                                                   \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t));                                              \
     return TRUE;                                                                              \
   }},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(0, id, memberFxn)

// Window messages with the raw parameters: LRESULT handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFxn)                                            \
  {static_cast<UINT>(message), 0, 0, 0, nullptr, [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL { \
     a.result = std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.wParam, a.lParam);  \
     return TRUE;                                                                 \
   }},
// The message number is known only at run time (RegisterWindowMessage): `nMessageVariable` is a UINT.
#define ON_REGISTERED_MESSAGE(nMessageVariable, memberFxn)                              \
  {0xC000, 0, 0, 0, &(nMessageVariable), [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {    \
     a.result = std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.wParam, a.lParam);        \
     return TRUE;                                                                       \
   }},

// Standard window messages, each cracked into its handler's arguments; the handler has the usual name.
#define TESMIRA_ON_WM(message, call)                                                             \
  {message, 0, 0, 0, nullptr, [](CCmdTarget* t, [[maybe_unused]] AFX_MSGARGS& a) -> BOOL {     \
     [[maybe_unused]] ThisClass* self = TESMIRA_AFX_THIS(t);                                     \
     call;                                                                                       \
     return TRUE;                                                                                \
   }},
#define ON_WM_CREATE() \
  TESMIRA_ON_WM(WM_CREATE, a.result = self->OnCreate(reinterpret_cast<LPCREATESTRUCT>(a.lParam)))
#define ON_WM_DESTROY() TESMIRA_ON_WM(WM_DESTROY, self->OnDestroy())
#define ON_WM_NCDESTROY() TESMIRA_ON_WM(WM_NCDESTROY, self->OnNcDestroy())
#define ON_WM_CLOSE() TESMIRA_ON_WM(WM_CLOSE, self->OnClose())
#define ON_WM_SIZE() \
  TESMIRA_ON_WM(WM_SIZE, self->OnSize(static_cast<UINT>(a.wParam), LOWORD(a.lParam), HIWORD(a.lParam)))
#define ON_WM_MOVE() \
  TESMIRA_ON_WM(WM_MOVE, self->OnMove(GET_X_LPARAM(a.lParam), GET_Y_LPARAM(a.lParam)))
#define ON_WM_PAINT() TESMIRA_ON_WM(WM_PAINT, self->OnPaint())
#define ON_WM_ERASEBKGND() \
  TESMIRA_ON_WM(WM_ERASEBKGND, a.result = self->OnEraseBkgnd(reinterpret_cast<HDC>(a.wParam)))
#define ON_WM_TIMER() TESMIRA_ON_WM(WM_TIMER, self->OnTimer(static_cast<UINT_PTR>(a.wParam)))
#define ON_WM_SETFOCUS() \
  TESMIRA_ON_WM(WM_SETFOCUS, self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam))))
#define ON_WM_KILLFOCUS() \
  TESMIRA_ON_WM(WM_KILLFOCUS, self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam))))
#define ON_WM_SHOWWINDOW() \
  TESMIRA_ON_WM(WM_SHOWWINDOW, self->OnShowWindow(static_cast<BOOL>(a.wParam), static_cast<UINT>(a.lParam)))
#define ON_WM_GETMINMAXINFO() \
  TESMIRA_ON_WM(WM_GETMINMAXINFO, self->OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(a.lParam)))
#define TESMIRA_ON_WM_MOUSE(message, handler)                                         \
  TESMIRA_ON_WM(message, self->handler(static_cast<UINT>(a.wParam),                   \
                                       CPoint(GET_X_LPARAM(a.lParam), GET_Y_LPARAM(a.lParam))))
#define ON_WM_MOUSEMOVE() TESMIRA_ON_WM_MOUSE(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_LBUTTONDOWN() TESMIRA_ON_WM_MOUSE(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() TESMIRA_ON_WM_MOUSE(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() TESMIRA_ON_WM_MOUSE(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() TESMIRA_ON_WM_MOUSE(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() TESMIRA_ON_WM_MOUSE(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MBUTTONDOWN() TESMIRA_ON_WM_MOUSE(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() TESMIRA_ON_WM_MOUSE(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEWHEEL()                                                                          \
  TESMIRA_ON_WM(WM_MOUSEWHEEL,                                                                      \
                a.result = self->OnMouseWheel(LOWORD(a.wParam), static_cast<short>(HIWORD(a.wParam)), \
                                              CPoint(GET_X_LPARAM(a.lParam), GET_Y_LPARAM(a.lParam))))
#define TESMIRA_ON_WM_KEY(message, handler)                                                   \
  TESMIRA_ON_WM(message, self->handler(static_cast<UINT>(a.wParam), LOWORD(a.lParam),         \
                                       HIWORD(a.lParam)))
#define ON_WM_KEYDOWN() TESMIRA_ON_WM_KEY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() TESMIRA_ON_WM_KEY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() TESMIRA_ON_WM_KEY(WM_CHAR, OnChar)
#define ON_WM_CONTEXTMENU()                                                  \
  TESMIRA_ON_WM(WM_CONTEXTMENU, self->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(a.wParam)), \
                                                    CPoint(GET_X_LPARAM(a.lParam), GET_Y_LPARAM(a.lParam))))
#define ON_WM_INITMENUPOPUP()                                                                        \
  TESMIRA_ON_WM(WM_INITMENUPOPUP, self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(a.wParam)), \
                                                        LOWORD(a.lParam), HIWORD(a.lParam)))
#define TESMIRA_POINT_OF(lParam) CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))
#define TESMIRA_WND_OF(value) CWnd::FromHandle(reinterpret_cast<HWND>(value))
#define ON_WM_RBUTTONDBLCLK() TESMIRA_ON_WM_MOUSE(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDBLCLK() TESMIRA_ON_WM_MOUSE(WM_MBUTTONDBLCLK, OnMButtonDblClk)
#define ON_WM_SYSKEYDOWN() TESMIRA_ON_WM_KEY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SYSKEYUP() TESMIRA_ON_WM_KEY(WM_SYSKEYUP, OnSysKeyUp)
#define ON_WM_MOUSELEAVE() TESMIRA_ON_WM(WM_MOUSELEAVE, self->OnMouseLeave())
#define ON_WM_MOUSEACTIVATE()                                                                         \
  TESMIRA_ON_WM(WM_MOUSEACTIVATE, a.result = self->OnMouseActivate(TESMIRA_WND_OF(a.wParam), LOWORD(a.lParam), \
                                                                   HIWORD(a.lParam)))
#define ON_WM_SETCURSOR()                                                                             \
  TESMIRA_ON_WM(WM_SETCURSOR, a.result = self->OnSetCursor(TESMIRA_WND_OF(a.wParam), LOWORD(a.lParam), \
                                                           HIWORD(a.lParam)))
#define ON_WM_CAPTURECHANGED() TESMIRA_ON_WM(WM_CAPTURECHANGED, self->OnCaptureChanged(TESMIRA_WND_OF(a.lParam)))
#define ON_WM_ENABLE() TESMIRA_ON_WM(WM_ENABLE, self->OnEnable(static_cast<BOOL>(a.wParam)))
#define ON_WM_SYSCOMMAND() TESMIRA_ON_WM(WM_SYSCOMMAND, self->OnSysCommand(static_cast<UINT>(a.wParam), a.lParam))
#define ON_WM_WINDOWPOSCHANGING() \
  TESMIRA_ON_WM(WM_WINDOWPOSCHANGING, self->OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(a.lParam)))
#define ON_WM_WINDOWPOSCHANGED() \
  TESMIRA_ON_WM(WM_WINDOWPOSCHANGED, self->OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(a.lParam)))
#define ON_WM_NCHITTEST() TESMIRA_ON_WM(WM_NCHITTEST, a.result = self->OnNcHitTest(TESMIRA_POINT_OF(a.lParam)))
#define ON_WM_NCCALCSIZE()                                                  \
  TESMIRA_ON_WM(WM_NCCALCSIZE, self->OnNcCalcSize(static_cast<BOOL>(a.wParam), \
                                                  reinterpret_cast<NCCALCSIZE_PARAMS*>(a.lParam)))
#define ON_WM_NCPAINT() TESMIRA_ON_WM(WM_NCPAINT, self->OnNcPaint())
#define ON_WM_NCACTIVATE() TESMIRA_ON_WM(WM_NCACTIVATE, a.result = self->OnNcActivate(static_cast<BOOL>(a.wParam)))
#define TESMIRA_ON_WM_NCMOUSE(message, handler) \
  TESMIRA_ON_WM(message, self->handler(static_cast<UINT>(a.wParam), TESMIRA_POINT_OF(a.lParam)))
#define ON_WM_NCMOUSEMOVE() TESMIRA_ON_WM_NCMOUSE(WM_NCMOUSEMOVE, OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() TESMIRA_ON_WM_NCMOUSE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() TESMIRA_ON_WM_NCMOUSE(WM_NCLBUTTONUP, OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() TESMIRA_ON_WM_NCMOUSE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() TESMIRA_ON_WM_NCMOUSE(WM_NCRBUTTONDOWN, OnNcRButtonDown)
#define ON_WM_COPYDATA()                                                                  \
  TESMIRA_ON_WM(WM_COPYDATA, a.result = self->OnCopyData(TESMIRA_WND_OF(a.wParam),        \
                                                         reinterpret_cast<COPYDATASTRUCT*>(a.lParam)))
#define ON_WM_ACTIVATE()                                                                      \
  TESMIRA_ON_WM(WM_ACTIVATE, self->OnActivate(LOWORD(a.wParam),                               \
                                              CWnd::FromHandle(reinterpret_cast<HWND>(a.lParam)), \
                                              HIWORD(a.wParam)))

// Control notifications by kind; the handler takes no arguments.
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_BN_SETFOCUS(id, memberFxn) ON_CONTROL(BN_SETFOCUS, id, memberFxn)
#define ON_BN_KILLFOCUS(id, memberFxn) ON_CONTROL(BN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_UPDATE(id, memberFxn) ON_CONTROL(EN_UPDATE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_MAXTEXT(id, memberFxn) ON_CONTROL(EN_MAXTEXT, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_LBN_SETFOCUS(id, memberFxn) ON_CONTROL(LBN_SETFOCUS, id, memberFxn)
#define ON_LBN_KILLFOCUS(id, memberFxn) ON_CONTROL(LBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_CBN_SETFOCUS(id, memberFxn) ON_CONTROL(CBN_SETFOCUS, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_DROPDOWN(id, memberFxn) ON_CONTROL(CBN_DROPDOWN, id, memberFxn)
#define ON_CBN_CLOSEUP(id, memberFxn) ON_CONTROL(CBN_CLOSEUP, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_SELENDCANCEL(id, memberFxn) ON_CONTROL(CBN_SELENDCANCEL, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn)                                          \
  {WM_COMMAND, static_cast<UINT>(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr, \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                                        \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.nID);                                              \
     return TRUE;                                                                                     \
   }},

// WM_NOTIFY from a child control. The notification travels command routing (a frame's passes it on to its
// view and document) with the code AFX_NOTIFY_CODE(code) and an AFX_NOTIFY as its extra; the handler is
// void handler(NMHDR* pNotifyStruct, LRESULT* pResult).
struct NMHDR;
struct AFX_NOTIFY {
  LRESULT* pResult;
  NMHDR* pNMHDR;
};
#define AFX_NOTIFY_CODE(code) ((static_cast<UINT>(0x004E) << 16) | (static_cast<UINT>(code) & 0xFFFFu))
// Routes a WM_NOTIFY (lParam the NMHDR) to the sending control's reflect entries, then to target's ON_NOTIFY
// entries; TRUE when one handled it. Every window calls it from CWnd::OnNotify.
BOOL AfxRouteNotify(CCmdTarget* target, LPARAM lParam, LRESULT* pResult);
#define ON_NOTIFY(wNotifyCode, id, memberFxn)                                                             \
  {WM_COMMAND, AFX_NOTIFY_CODE(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(id), nullptr,         \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                                            \
     auto* notify = static_cast<AFX_NOTIFY*>(a.pExtra);                                                   \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), notify->pNMHDR, notify->pResult);                        \
     return TRUE;                                                                                         \
   }},
// The handler also takes the control id: void handler(UINT id, NMHDR* pNotifyStruct, LRESULT* pResult).
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn)                                               \
  {WM_COMMAND, AFX_NOTIFY_CODE(wNotifyCode), static_cast<UINT>(id), static_cast<UINT>(idLast), nullptr,     \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                                            \
     auto* notify = static_cast<AFX_NOTIFY*>(a.pExtra);                                                   \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), a.nID, notify->pNMHDR, notify->pResult);                 \
     return TRUE;                                                                                         \
   }},

// Reflection: a control's object takes its own notification before its parent does. The parent offers it
// (AfxReflectToChild) with the code AFX_REFLECT_CONTROL_CODE(code) or AFX_REFLECT_NOTIFY_CODE(code); an entry
// without _EX keeps it from the parent, an _EX handler answers whether to keep it.
#define AFX_REFLECT_CONTROL_CODE(code) ((static_cast<UINT>(0xBD11) << 16) | (static_cast<UINT>(code) & 0xFFFFu))
#define AFX_REFLECT_NOTIFY_CODE(code) ((static_cast<UINT>(0xBC4E) << 16) | (static_cast<UINT>(code) & 0xFFFFu))
BOOL AfxReflectToChild(HWND hWndChild, UINT nID, UINT nReflectedCode, void* pExtra);
#define ON_CONTROL_REFLECT(wNotifyCode, memberFxn)                                            \
  {WM_COMMAND, AFX_REFLECT_CONTROL_CODE(wNotifyCode), 0u, 0xFFFFu, nullptr,                     \
   [](CCmdTarget* t, AFX_MSGARGS&) -> BOOL {                                                  \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t));                                             \
     return TRUE;                                                                             \
   }},
#define ON_CONTROL_REFLECT_EX(wNotifyCode, memberFxn)                                         \
  {WM_COMMAND, AFX_REFLECT_CONTROL_CODE(wNotifyCode), 0u, 0xFFFFu, nullptr,                     \
   [](CCmdTarget* t, AFX_MSGARGS&) -> BOOL { return std::invoke(memberFxn, TESMIRA_AFX_THIS(t)); }},
#define ON_NOTIFY_REFLECT(wNotifyCode, memberFxn)                                             \
  {WM_COMMAND, AFX_REFLECT_NOTIFY_CODE(wNotifyCode), 0u, 0xFFFFu, nullptr,                      \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                                \
     auto* notify = static_cast<AFX_NOTIFY*>(a.pExtra);                                       \
     std::invoke(memberFxn, TESMIRA_AFX_THIS(t), notify->pNMHDR, notify->pResult);            \
     return TRUE;                                                                             \
   }},
#define ON_NOTIFY_REFLECT_EX(wNotifyCode, memberFxn)                                          \
  {WM_COMMAND, AFX_REFLECT_NOTIFY_CODE(wNotifyCode), 0u, 0xFFFFu, nullptr,                      \
   [](CCmdTarget* t, AFX_MSGARGS& a) -> BOOL {                                                \
     auto* notify = static_cast<AFX_NOTIFY*>(a.pExtra);                                       \
     return std::invoke(memberFxn, TESMIRA_AFX_THIS(t), notify->pNMHDR, notify->pResult);     \
   }},

// Scroll bars: void handler(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar), the bar null for a window's own.
#define TESMIRA_ON_WM_SCROLL(message, handler)                                                        \
  TESMIRA_ON_WM(message, self->handler(LOWORD(a.wParam), HIWORD(a.wParam),                            \
                                       CScrollBar::FromHandle(reinterpret_cast<HWND>(a.lParam))))
#define ON_WM_HSCROLL() TESMIRA_ON_WM_SCROLL(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() TESMIRA_ON_WM_SCROLL(WM_VSCROLL, OnVScroll)

// Colours of child controls: HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) for WM_CTLCOLORMSGBOX to
// WM_CTLCOLORSTATIC, nCtlColor CTLCOLOR_MSGBOX to CTLCOLOR_STATIC; a null brush leaves the control its own. A
// control's object answers for itself with ON_WM_CTLCOLOR_REFLECT, HBRUSH CtlColor(CDC* pDC, UINT nCtlColor),
// which a dialog asks first (a null brush: the dialog answers).
inline constexpr UINT CTLCOLOR_MSGBOX = 0;
inline constexpr UINT CTLCOLOR_EDIT = 1;
inline constexpr UINT CTLCOLOR_LISTBOX = 2;
inline constexpr UINT CTLCOLOR_BTN = 3;
inline constexpr UINT CTLCOLOR_DLG = 4;
inline constexpr UINT CTLCOLOR_SCROLLBAR = 5;
inline constexpr UINT CTLCOLOR_STATIC = 6;
inline constexpr UINT TESMIRA_WM_CTLCOLOR_REFLECT = 0xBC19;  // WM_REFLECT_BASE + WM_CTLCOLOR
#define TESMIRA_ON_CTLCOLOR(nCtlColor)                                                                 \
  TESMIRA_ON_WM(0x0132u + (nCtlColor),                                                                  \
                a.result = reinterpret_cast<LRESULT>(self->OnCtlColor(                                  \
                    CDC::FromHandle(reinterpret_cast<HDC>(a.wParam)),                                   \
                    CWnd::FromHandle(reinterpret_cast<HWND>(a.lParam)), (nCtlColor))))
#define ON_WM_CTLCOLOR()                                                                              \
  TESMIRA_ON_CTLCOLOR(CTLCOLOR_MSGBOX) TESMIRA_ON_CTLCOLOR(CTLCOLOR_EDIT) TESMIRA_ON_CTLCOLOR(CTLCOLOR_LISTBOX) \
  TESMIRA_ON_CTLCOLOR(CTLCOLOR_BTN) TESMIRA_ON_CTLCOLOR(CTLCOLOR_DLG) TESMIRA_ON_CTLCOLOR(CTLCOLOR_SCROLLBAR)   \
  TESMIRA_ON_CTLCOLOR(CTLCOLOR_STATIC)
// The reflected message carries the DC in wParam and nCtlColor in lParam.
#define ON_WM_CTLCOLOR_REFLECT()                                                                      \
  TESMIRA_ON_WM(TESMIRA_WM_CTLCOLOR_REFLECT,                                                           \
                a.result = reinterpret_cast<LRESULT>(self->CtlColor(                                   \
                    CDC::FromHandle(reinterpret_cast<HDC>(a.wParam)), static_cast<UINT>(a.lParam))))
