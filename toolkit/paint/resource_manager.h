// Every toolkit resource (ids 9000 to 9999) is loaded through one object, so that the whole set can come from the
// toolkit's own resource module ("QorRoad.ru") instead of the program. The rule is the same for every kind: the
// toolkit module first when one is set and holds the item, loaded with the framework's resource handle switched
// to it; otherwise the program's current resource handle. A missing item is not an error.
#pragma once

#include "platform/mfc-core/afxtls.h"
#include "platform/mfc/afxext.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/dialog.h"

// The toolkit module (both null until the main frame sets them).
void TKSetResourceInstance(HINSTANCE hResource, HINSTANCE hInstance);
HINSTANCE TKGetResourceInstance();

class CTKResourceManager : public CNoTrackObject {
public:
  CTKResourceManager() = default;
  ~CTKResourceManager() override;

  // Makes hModule the toolkit module of the process (both globals); the manager does not own it.
  void SetResourceHandle(HMODULE hModule);

  virtual BOOL LoadString(CString* pString, UINT nID);
  virtual BOOL LoadMenu(CMenu* pMenu, UINT nID);
  // Always inside a switch, so the toolbar's bitmap comes from the same module; no second attempt.
  virtual BOOL LoadToolBar(CToolBar* pToolBar, UINT nID);
  virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nID);
  virtual HCURSOR LoadCursor(UINT nID);
  virtual const DLGTEMPLATE* LoadDialogTemplate(UINT nID);
  // Frees an owned module handle.
  virtual void Close();

  // The string (empty when missing) in a message box; answers the box's result.
  int ShowMessageBox(UINT nIDPrompt, UINT nType = MB_OK);

  int m_bValid = 1;
  HMODULE m_hModule = nullptr;
};

CTKResourceManager* TKResourceManager();

// Makes the toolkit module the framework's resource handle for its scope; nothing when no module is set.
class CTKResourceSwitch {
public:
  CTKResourceSwitch();
  ~CTKResourceSwitch();
  CTKResourceSwitch(const CTKResourceSwitch&) = delete;
  CTKResourceSwitch& operator=(const CTKResourceSwitch&) = delete;

private:
  bool m_bSwitched = false;
  HINSTANCE m_hSavedResource = nullptr;
  HINSTANCE m_hSavedInstance = nullptr;
};
