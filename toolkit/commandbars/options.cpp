// The command bars' options as named values: the registry form holds the schema, five switches, the used
// commands and the animation; the archive form holds everything.
#include "toolkit/commandbars/commandbars.h"

#include "platform/base/registry.h"
#include "toolkit/paint/paint_manager.h"
#include "toolkit/paint/prop_exchange.h"

namespace {

// A set of command ids as one blob: the archive's count, then each id and its flag as 32-bit values.
class CTKCommandSet : public CObject {
public:
  explicit CTKCommandSet(std::set<UINT>& set) : m_set(set) {}
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar.WriteCount(m_set.size());
      for (UINT nId : m_set)
        ar << static_cast<DWORD>(nId) << static_cast<DWORD>(TRUE);
      return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * 8);
    for (DWORD_PTR i = 0; i < nCount; ++i) {
      DWORD nId = 0;
      DWORD bFlag = 0;
      ar >> nId >> bFlag;
      m_loaded.insert(nId);
    }
  }
  std::set<UINT>& m_set;
  std::set<UINT> m_loaded;
};

// A stored set replaces the one held only when it was read whole.
void ExchangeCommandSet(CTKPropExchange* pPX, LPCSTR pszName, std::set<UINT>& set)
{
  if (!(pPX->IsLoading() || !pPX->IsAllowDefaultValues() || !set.empty()))
    return;
  CTKCommandSet commands(set);
  if (PX_Serialize(pPX, pszName, &commands) && pPX->IsLoading())
    set = commands.m_loaded;
}

void ExchangeOptions(CTKCommandBars* pCommandBars, BOOL bLoading, LPCSTR lpszProfileName)
{
  HKEY hApp = TKOpenApplicationKey(!bLoading);
  if (!hApp)
    return;
  CString strSection;
  strSection.Format("%s-Options", lpszProfileName);
  {
    CTKPropExchangeRegistry px(bLoading, hApp, strSection);
    if (px.OnBeforeExchange())
      pCommandBars->GetCommandBarsOptions()->DoPropExchange(&px);
  }
  RegCloseKey(hApp);
}

}  // namespace

void CTKCommandBarsOptions::DoPropExchange(CTKPropExchange* pPX)
{
  pPX->m_bUseDefaultOnLoad = FALSE;
  pPX->m_bUseDefaultOnSave = FALSE;
  pPX->ExchangeSchema();
  DWORD nSchema = pPX->m_nSchema;
  BOOL bRegistry = dynamic_cast<CTKPropExchangeRegistry*>(pPX) != nullptr;
  PX_Bool(pPX, "AlwaysShowFullMenus", bAlwaysShowFullMenus, TRUE);
  PX_Bool(pPX, "ShowFullAfterDelay", bShowFullAfterDelay, TRUE);
  PX_Bool(pPX, "ToolBarScreenTips", bToolBarScreenTips, TRUE);
  PX_Bool(pPX, "ToolBarAccelTips", bToolBarAccelTips, FALSE);
  PX_Bool(pPX, "LargeIcons", bLargeIcons, FALSE);
  if (nSchema > 7)
    ExchangeCommandSet(pPX, "UsedCommands", m_mapUsedCommands);
  if (nSchema > 7 || bRegistry)
    PX_Int(pPX, "Animation", animationType, 0);
  if (bRegistry)
    return;
  PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
  PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
  PX_Size(pPX, "IconsSize", szIcons, CSize(0, 0));
  PX_Size(pPX, "LargeIconsSize", szLargeIcons, CSize(0, 0));
  ExchangeCommandSet(pPX, "HiddenCommands", m_mapHiddenCommands);
  CTKPaintManager* pPaintManager = m_pCommandBars ? m_pCommandBars->GetPaintManager() : CTKPaintManager::GetCurrent();
  PX_Bool(pPX, "IconsWithShadow", pPaintManager->m_bIconShadow, FALSE);
  PX_Bool(pPX, "UseDisabledIcons", pPaintManager->m_bGenerateDisabledIcons, TRUE);
  PX_Bool(pPX, "UseFadedIcons", pPaintManager->m_bFadedIcons, TRUE);
  if (nSchema > 7) {
    PX_Bool(pPX, "SyncFloatingBars", bSyncFloatingBars, TRUE);
    PX_Bool(pPX, "ShowExpandButtonAlways", bShowExpandButtonAlways, TRUE);
    PX_Bool(pPX, "DblClickFloat", bDblClickFloat, FALSE);
    PX_Bool(pPX, "ShowTextBelowIcons", bShowTextBelowIcons, FALSE);
    PX_Bool(pPX, "AltDragCustomization", bAltDragCustomization, TRUE);
    PX_Bool(pPX, "AutoHideUnusedPopups", bAutoHideUnusedPopups, TRUE);
    PX_Size(pPX, "PopupIconsSize", szPopupIcons, CSize(16, 16));
  }
  if (nSchema > 8) {
    PX_Int(pPX, "KeyboardCuesUse", keyboardCuesUse, 1);
    int nCuesShow = m_nKeyboardCuesShow;
    PX_Int(pPX, "KeyboardCuesShow", nCuesShow, 0);
    if (pPX->IsLoading())
      SetKeyboardCuesShow(nCuesShow);
  }
}

void CTKCommandBars::SaveOptions(LPCSTR lpszProfileName) { ExchangeOptions(this, FALSE, lpszProfileName); }

void CTKCommandBars::LoadOptions(LPCSTR lpszProfileName) { ExchangeOptions(this, TRUE, lpszProfileName); }
