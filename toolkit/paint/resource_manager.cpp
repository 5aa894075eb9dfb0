#include "toolkit/paint/resource_manager.h"

#include "platform/mfc/msgbox.h"
#include "platform/user/menu.h"
#include "platform/user/resources.h"

namespace {

HINSTANCE g_hToolkitResource = nullptr;
HINSTANCE g_hToolkitInstance = nullptr;

bool ToolkitHas(LPCSTR type, UINT nID)
{
  return g_hToolkitResource != nullptr &&
         FindResource(g_hToolkitResource, MAKEINTRESOURCE(static_cast<WORD>(nID)), type) != nullptr;
}

BOOL LoadStringFrom(CString* pString, UINT nID)
{
  HINSTANCE module = AfxFindStringResourceHandle(nID);
  return module != nullptr && pString->LoadString(module, nID) ? TRUE : FALSE;
}

}  // namespace

void TKSetResourceInstance(HINSTANCE hResource, HINSTANCE hInstance)
{
  g_hToolkitResource = hResource;
  g_hToolkitInstance = hInstance;
}

HINSTANCE TKGetResourceInstance()
{
  return g_hToolkitResource;
}

CTKResourceSwitch::CTKResourceSwitch()
{
  if (g_hToolkitResource == nullptr) {
    return;
  }
  m_hSavedResource = AfxGetResourceHandle();
  m_hSavedInstance = AfxGetInstanceHandle();
  AfxSetResourceHandle(g_hToolkitResource);
  if (m_hSavedInstance == nullptr) {
    AfxSetInstanceHandle(g_hToolkitInstance);
  }
  m_bSwitched = true;
}

CTKResourceSwitch::~CTKResourceSwitch()
{
  if (m_bSwitched) {
    AfxSetResourceHandle(m_hSavedResource);
    AfxSetInstanceHandle(m_hSavedInstance);
  }
}

CTKResourceManager::~CTKResourceManager()
{
  Close();
}

void CTKResourceManager::SetResourceHandle(HMODULE hModule)
{
  TKSetResourceInstance(hModule, hModule);
}

BOOL CTKResourceManager::LoadString(CString* pString, UINT nID)
{
  if (pString == nullptr) {
    return FALSE;
  }
  if (g_hToolkitResource != nullptr &&
      FindResource(g_hToolkitResource, MAKEINTRESOURCE(static_cast<WORD>(nID / 16 + 1)), RT_STRING) != nullptr) {
    CTKResourceSwitch toolkit;
    if (LoadStringFrom(pString, nID)) {
      return TRUE;
    }
  }
  return LoadStringFrom(pString, nID);
}

BOOL CTKResourceManager::LoadMenu(CMenu* pMenu, UINT nID)
{
  if (pMenu == nullptr) {
    return FALSE;
  }
  const LPCSTR name = MAKEINTRESOURCE(static_cast<WORD>(nID));
  if (ToolkitHas(RT_MENU, nID)) {
    CTKResourceSwitch toolkit;
    if (HMENU menu = ::LoadMenu(AfxGetResourceHandle(), name); menu != nullptr && pMenu->Attach(menu)) {
      return TRUE;
    }
  }
  HMENU menu = ::LoadMenu(AfxGetResourceHandle(), name);
  return menu != nullptr && pMenu->Attach(menu) ? TRUE : FALSE;
}

BOOL CTKResourceManager::LoadToolBar(CToolBar* pToolBar, UINT nID)
{
  if (pToolBar == nullptr) {
    return FALSE;
  }
  CTKResourceSwitch toolkit;
  return pToolBar->LoadToolBar(MAKEINTRESOURCE(static_cast<WORD>(nID)));
}

BOOL CTKResourceManager::LoadBitmap(CBitmap* pBitmap, UINT nID)
{
  if (pBitmap == nullptr) {
    return FALSE;
  }
  const LPCSTR name = MAKEINTRESOURCE(static_cast<WORD>(nID));
  if (ToolkitHas(RT_BITMAP, nID)) {
    CTKResourceSwitch toolkit;
    if (HBITMAP bitmap = ::LoadBitmap(AfxGetResourceHandle(), name); bitmap != nullptr && pBitmap->Attach(bitmap)) {
      return TRUE;
    }
  }
  HBITMAP bitmap = ::LoadBitmap(AfxGetResourceHandle(), name);
  return bitmap != nullptr && pBitmap->Attach(bitmap) ? TRUE : FALSE;
}

HCURSOR CTKResourceManager::LoadCursor(UINT nID)
{
  const LPCSTR name = MAKEINTRESOURCE(static_cast<WORD>(nID));
  if (ToolkitHas(RT_GROUP_CURSOR, nID)) {
    CTKResourceSwitch toolkit;
    if (HCURSOR cursor = LoadCursorFromModule(AfxGetResourceHandle(), name)) {
      return cursor;
    }
  }
  HINSTANCE program = AfxGetResourceHandle();
  // A null handle would ask for the system's cursors, which no toolkit id names.
  return program != nullptr ? LoadCursorFromModule(program, name) : nullptr;
}

const DLGTEMPLATE* CTKResourceManager::LoadDialogTemplate(UINT nID)
{
  const LPCSTR name = MAKEINTRESOURCE(static_cast<WORD>(nID));
  // Without a toolkit module the first search is the program file itself (a null module).
  HINSTANCE module = g_hToolkitResource;
  HRSRC found = FindResource(module, name, RT_DIALOG);
  if (found == nullptr) {
    module = AfxGetResourceHandle();
    if (module == nullptr) {
      return nullptr;
    }
    found = FindResource(module, name, RT_DIALOG);
    if (found == nullptr) {
      return nullptr;
    }
  }
  return static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module, found)));
}

void CTKResourceManager::Close()
{
  if (m_hModule != nullptr) {
    FreeLibrary(m_hModule);
    m_hModule = nullptr;
  }
}

int CTKResourceManager::ShowMessageBox(UINT nIDPrompt, UINT nType)
{
  CString text;
  if (!LoadString(&text, nIDPrompt)) {
    text.Empty();
  }
  return AfxMessageBox(text, nType, 0);
}

CTKResourceManager* TKResourceManager()
{
  static CProcessLocal<CTKResourceManager> manager;
  return manager.GetData();
}
