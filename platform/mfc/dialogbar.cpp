#include "platform/mfc/dialogbar.h"

#include "platform/mfc-core/resources.h"
#include "platform/user/dialog.h"

#include <cstring>
#include <vector>

IMPLEMENT_DYNAMIC(CDialogBar, CControlBar)

namespace {
// DLGTEMPLATEEX starts with WORD 1 and WORD 0xFFFF; its style DWORD stands after the help id and the extended
// style. DLGTEMPLATE starts with the style.
constexpr std::size_t kExTemplateStyleOffset = 12;
constexpr std::size_t kSmallestTemplate = 18;  // a DLGTEMPLATE header without its arrays

// Binds the dialog's window to the bar as soon as the dialog exists.
INT_PTR DialogBarProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
  if (message == WM_INITDIALOG) {
    auto* pBar = reinterpret_cast<CDialogBar*>(lParam);
    if (pBar != nullptr && pBar->m_hWnd == nullptr) {
      pBar->SubclassWindow(hWnd);
    }
    return FALSE;  // a bar does not take the focus
  }
  return FALSE;
}
}  // namespace

CDialogBar::CDialogBar()
{
  m_cxLeftBorder = 0;
  m_cxRightBorder = 0;
  m_cyTopBorder = 0;
  m_cyBottomBorder = 0;
}

CDialogBar::~CDialogBar() = default;

BOOL CDialogBar::Create(CWnd* pParentWnd, UINT nIDTemplate, UINT nStyle, UINT nID)
{
  return Create(pParentWnd, MAKEINTRESOURCE(static_cast<WORD>(nIDTemplate)), nStyle, nID);
}

BOOL CDialogBar::Create(CWnd* pParentWnd, LPCSTR lpszTemplateName, UINT nStyle, UINT nID)
{
  if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr || m_hWnd != nullptr) {
    return FALSE;
  }
  HINSTANCE module = AfxGetResourceHandle();
  HRSRC found = ::FindResource(module, lpszTemplateName, RT_DIALOG);
  if (found == nullptr) {
    return FALSE;
  }
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
  const DWORD size = ::SizeofResource(module, found);
  if (bytes == nullptr || size < kSmallestTemplate) {
    return FALSE;
  }
  // A copy whose style makes the dialog a child: a template drawn as a popup still becomes a strip of the frame.
  std::vector<BYTE> copy(bytes, bytes + size);
  const bool extended = copy[0] == 1 && copy[1] == 0 && copy[2] == 0xFF && copy[3] == 0xFF;
  const std::size_t styleAt = extended ? kExTemplateStyleOffset : 0;
  DWORD style = 0;
  std::memcpy(&style, copy.data() + styleAt, sizeof style);
  style = (style & 0xFFFF & ~DS_MODALFRAME) | WS_CHILD | WS_CLIPSIBLINGS | (nStyle & WS_VISIBLE);
  std::memcpy(copy.data() + styleAt, &style, sizeof style);

  m_dwStyle = nStyle & CBRS_ALL;
  CREATESTRUCT cs{};
  PreCreateWindow(cs);  // the bar's own border choice
  HWND hwnd = ::CreateDialogIndirectParam(module, copy.data(), pParentWnd->m_hWnd, &DialogBarProc,
                                          reinterpret_cast<LPARAM>(this));
  if (hwnd == nullptr || m_hWnd != hwnd) {
    if (hwnd != nullptr) {
      ::DestroyWindow(hwnd);
    }
    return FALSE;
  }
  ::SetWindowLong(m_hWnd, GWL_ID, static_cast<LONG>(nID));
  RECT rect;
  ::GetWindowRect(m_hWnd, &rect);
  m_sizeDefault = CSize(rect.Width(), rect.Height());
  // The window was made before it was bound: join the frame's bars as a bar made by Create does.
  CWnd* pParent = CWnd::FromHandlePermanent(pParentWnd->m_hWnd);
  if (pParent != nullptr && pParent->IsFrameWnd()) {
    m_pDockSite = static_cast<CFrameWnd*>(pParent);
    m_pDockSite->AddControlBar(this);
  }
  return TRUE;
}

CSize CDialogBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
  if (bStretch) {
    return bHorz ? CSize(32767, m_sizeDefault.cy) : CSize(m_sizeDefault.cx, 32767);
  }
  return m_sizeDefault;
}

void CDialogBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}
