// The customised bars' stream, in the order its values stand:
//   "CommandBars": a count of bars; per bar its class record, then the bar:
//     Type, Position, BarID, Flags, Style (ints), Title (string), Customizable (bool), MRUWidth (int),
//     IconSize (size), then the bar's controls: a count; per control its class record and values; then
//     "OriginalControls" (bool) with, when set, the built-in copy as a nested controls record, and
//     "CustomizedControls" (bool, written 0).
//   a toolbar goes on with BuiltIn, TearOff, Closeable, ContextMenuPresent (bools); the menu bar then with
//   ResourceId (int) and a count of per-template menus (Id and controls each); a popup bar with TearOffPopup
//   (bool), TearOffCaption (string), TearOffId, TearOffWidth (ints), Borders (rect), ShowShadow, DoubleGripper.
// A control: Type, Id, IconId (ints), BeginGroup (bool), Tag, Flags, HideFlags (ints), Caption, ShortcutText,
// TooltipText, DescriptionText, Parameter (strings), CustomIconId (int), CustomCaption, Category (strings), the
// excluded and assigned template sets (a blob each), DefaultItem, CloseSubMenuOnClick (bools), CustomStyle (int),
// then its class's own values.
#include "toolkit/commandbars/barsexchange.h"

#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/controlcombobox.h"
#include "toolkit/commandbars/controlcustom.h"
#include "toolkit/commandbars/controledit.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/commandbars/popupbar.h"
#include "toolkit/commandbars/toolbar.h"
#include "toolkit/paint/image_manager.h"
#include "toolkit/paint/prop_exchange.h"
#include "platform/mfc/msgbox.h"
#include "toolkit/paint/resource_manager.h"

#include <algorithm>
#include <set>
#include <string>

// A loaded stream is believed no deeper than this: menus nest a few levels, a saved stream is hostile.
static constexpr int kMaxPopupDepth = 64;
// Built-in copies hold no copies of their own; a stream nesting them deeper only eats the stack.
static constexpr int kMaxNestedControls = 2;

CTKCommandBarList::~CTKCommandBarList()
{
  for (CTKCommandBar* pBar : m_bars)
    pBar->InternalRelease();
}

void CTKCommandBarList::AddTail(CTKCommandBar* pBar)
{
  pBar->InternalAddRef();
  m_bars.push_back(pBar);
}

BOOL CTKCommandBarList::Lookup(CTKCommandBar* pBar) const
{
  for (CTKCommandBar* pListed : m_bars) {
    if (pListed == pBar)
      return TRUE;
  }
  return FALSE;
}

CTKCommandBar* CTKCommandBarList::FindCommandBar(UINT nBarID) const
{
  for (CTKCommandBar* pBar : m_bars) {
    if (pBar->GetBarID() == nBarID)
      return pBar;
  }
  return nullptr;
}

TK_BARSTATE_CONTEXT* TKBarStateContext(CObject* pOwner) { return dynamic_cast<TK_BARSTATE_CONTEXT*>(pOwner); }

namespace {

// A set of document-template ids as the framework's map: a count, then each id and its flag.
class CTKDocTemplateSet : public CObject {
public:
  explicit CTKDocTemplateSet(CTKControl::CDocTemplateMap& map) : m_map(map) {}
  void Serialize(CArchive& ar) override
  {
    if (ar.IsStoring()) {
      ar.WriteCount(m_map.size());
      for (const auto& [nId, bFlag] : m_map)
        ar << static_cast<DWORD>(nId) << static_cast<DWORD>(bFlag);
      return;
    }
    DWORD_PTR nCount = ar.ReadCount();
    ar.EnsureAvailable(static_cast<ULONGLONG>(nCount) * 8);
    CTKControl::CDocTemplateMap loaded;
    for (DWORD_PTR i = 0; i < nCount; ++i) {
      DWORD nId = 0;
      DWORD bFlag = 0;
      ar >> nId >> bFlag;
      loaded[nId] = static_cast<BOOL>(bFlag);
    }
    m_map.swap(loaded);
  }

private:
  CTKControl::CDocTemplateMap& m_map;
};

void ExchangeDocTemplates(CTKPropExchange* pPX, LPCSTR pszName, CTKControl::CDocTemplateMap& map)
{
  if (pPX->IsLoading() || !pPX->IsAllowDefaultValues() || !map.empty()) {
    CTKDocTemplateSet set(map);
    if (!PX_Serialize(pPX, pszName, &set) && pPX->IsLoading() && !pPX->IsAllowDefaultValues())
      AfxThrowArchiveException(CArchiveException::endOfFile);
  }
}

// Counts the control collections being loaded inside one another.
class CNestedControlsGuard {
public:
  CNestedControlsGuard()
  {
    if (++s_nDepth > kMaxNestedControls) {
      --s_nDepth;
      AfxThrowArchiveException(CArchiveException::badSchema);
    }
  }
  ~CNestedControlsGuard() { --s_nDepth; }
  CNestedControlsGuard(const CNestedControlsGuard&) = delete;
  CNestedControlsGuard& operator=(const CNestedControlsGuard&) = delete;

private:
  static thread_local int s_nDepth;
};
thread_local int CNestedControlsGuard::s_nDepth = 0;

void ExchangeDword(CTKPropExchange* pPX, LPCSTR pszName, DWORD& dwValue, int nDefault)
{
  int nValue = static_cast<int>(dwValue);
  PX_Int(pPX, pszName, nValue, nDefault);
  dwValue = static_cast<DWORD>(nValue);
}

void ExchangeUint(CTKPropExchange* pPX, LPCSTR pszName, UINT& nValue, int nDefault)
{
  int n = static_cast<int>(nValue);
  PX_Int(pPX, pszName, n, nDefault);
  nValue = static_cast<UINT>(n);
}

// Whether a stored control type is what the control's class can stand for: code that sees a popup type treats
// the control as a popup control.
BOOL IsTypeOfClass(const CTKControl* pControl, int nType)
{
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlComboBox)))
    return nType == tkControlComboBox;
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlPopup)))
    return nType == tkControlPopup || nType == tkControlButtonPopup || nType == tkControlSplitButtonPopup;
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlEdit)))
    return nType == tkControlEdit;
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlLabel)))
    return nType == tkControlLabel;
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlCustom)))
    return nType == tkControlCustom;
  if (pControl->IsKindOf(RUNTIME_CLASS(CTKControlButton)))
    return nType == tkControlButton;
  return nType == tkControlButton || nType == tkControlCustom || nType == tkControlLabel;
}

// Whether the listed bar reaches itself through its controls' popup bars (by the ids the stream names).
BOOL ReachesBar(const CTKCommandBarList& list, CTKControls* pControls, UINT nTarget, std::set<UINT>& visited,
                int nDepth);

BOOL ReachesBarFromId(const CTKCommandBarList& list, UINT nBarID, UINT nTarget, std::set<UINT>& visited, int nDepth)
{
  if (nBarID == nTarget || nDepth > kMaxPopupDepth)
    return TRUE;
  if (!visited.insert(nBarID).second)
    return FALSE;
  CTKCommandBar* pBar = list.FindCommandBar(nBarID);
  return pBar && ReachesBar(list, pBar->GetControls(), nTarget, visited, nDepth + 1);
}

BOOL ReachesBar(const CTKCommandBarList& list, CTKControls* pControls, UINT nTarget, std::set<UINT>& visited,
                int nDepth)
{
  if (!pControls)
    return FALSE;
  for (int i = 0; i < pControls->GetCount(); ++i) {
    auto* pPopup = DYNAMIC_DOWNCAST(CTKControlPopup, pControls->GetAt(i));
    if (pPopup && pPopup->GetPendingBarId() != 0 &&
        ReachesBarFromId(list, static_cast<UINT>(pPopup->GetPendingBarId()), nTarget, visited, nDepth))
      return TRUE;
  }
  return ReachesBar(list, pControls->GetOriginalControls(), nTarget, visited, nDepth);
}

// A popup bar opened, directly or further down, by one of its own controls: opening, drawing or saving it would
// go round forever.
BOOL HasPopupCycle(const CTKCommandBarList& list)
{
  for (int i = 0; i < list.GetCount(); ++i) {
    CTKCommandBar* pBar = list.GetAt(i);
    std::set<UINT> visited;
    if (ReachesBar(list, pBar->GetControls(), pBar->GetBarID(), visited, 0))
      return TRUE;
  }
  return FALSE;
}

// A popup control opens a popup bar: a toolbar named there would be docked and opened at once.
BOOL OpensToolBar(const CTKCommandBarList& list, CTKControls* pControls)
{
  if (!pControls)
    return FALSE;
  for (int i = 0; i < pControls->GetCount(); ++i) {
    auto* pPopup = DYNAMIC_DOWNCAST(CTKControlPopup, pControls->GetAt(i));
    if (!pPopup || pPopup->GetPendingBarId() == 0)
      continue;
    CTKCommandBar* pBar = list.FindCommandBar(static_cast<UINT>(pPopup->GetPendingBarId()));
    if (pBar && pBar->IsKindOf(RUNTIME_CLASS(CTKToolBar)))
      return TRUE;
  }
  return OpensToolBar(list, pControls->GetOriginalControls());
}

}  // namespace

// ---- Bars

void CTKCommandBar::DoPropExchange(CTKPropExchange* pPX)
{
  PX_Int(pPX, "Type", m_barType, tkBarTypeNormal);
  PX_Int(pPX, "Position", m_barPosition, 0);
  ExchangeUint(pPX, "BarID", m_nBarID, 0);
  ExchangeDword(pPX, "Flags", m_dwFlags, 0);
  ExchangeDword(pPX, "Style", m_dwStyle, 0);
  PX_String(pPX, "Title", m_strTitle, "");
  PX_Bool(pPX, "Customizable", m_bCustomizable, TRUE);
  PX_Int(pPX, "MRUWidth", m_nMRUWidth, 0);
  if (pPX->m_nSchema > 2)
    PX_Size(pPX, "IconSize", m_szIcons, CSize(0, 0));

  if (pPX->IsLoading()) {
    if (m_barType < tkBarTypeMenuBar || m_barType > tkBarTypePopup || m_barPosition < 0 || m_barPosition > 7)
      AfxThrowArchiveException(CArchiveException::badSchema);
    if (TK_BARSTATE_CONTEXT* pContext = TKBarStateContext(pPX->m_pOwner)) {
      m_pCommandBars = pContext->pCommandBars;
      m_pControls->SetCommandBars(pContext->pCommandBars);
    }
  }
  CTKPropExchangeSectionPtr pSection(pPX->GetSection("Controls"));
  m_pControls->DoPropExchange(pSection.get());
}

void CTKCommandBar::GenerateCommandBarList(DWORD& nID, CTKCommandBarList* pCommandBarList,
                                           TK_BARSTATE_CONTEXT* pContext)
{
  if (pCommandBarList->Lookup(this))
    return;
  pCommandBarList->AddTail(this);
  if (!IsKindOf(RUNTIME_CLASS(CTKToolBar)) && (m_nBarID == 0 || m_nBarID >= TK_FIRST_GENERATED_BAR_ID))
    m_nBarID = nID++;
  m_pControls->GenerateCommandBarList(nID, pCommandBarList, pContext);
}

void CTKCommandBar::RestoreCommandBarList(CTKCommandBarList* pCommandBarList)
{
  m_pControls->RestoreCommandBarList(pCommandBarList);
}

void CTKToolBar::DoPropExchange(CTKPropExchange* pPX)
{
  CTKCommandBar::DoPropExchange(pPX);
  PX_Bool(pPX, "BuiltIn", m_bBuiltIn, TRUE);
  PX_Bool(pPX, "TearOff", m_bTearOff, FALSE);
  if (pPX->m_nSchema > 6)
    PX_Bool(pPX, "Closeable", m_bCloseable, TRUE);
  if (pPX->m_nSchema > 7) {
    // The bars' context menu is always there: the value is kept for the stream's sake.
    BOOL bContextMenuPresent = TRUE;
    PX_Bool(pPX, "ContextMenuPresent", bContextMenuPresent, TRUE);
  }
}

void CTKMenuBar::DoPropExchange(CTKPropExchange* pPX)
{
  CTKToolBar::DoPropExchange(pPX);
  ExchangeUint(pPX, "ResourceId", m_nIDResource, 0);
  // This frame has no per-template menus: saving writes none, loading reads and drops what a stream holds.
  if (!pPX->IsLoading()) {
    pPX->WriteCount(0);
    return;
  }
  if (pPX->m_nSchema <= 4)
    return;
  DWORD nCount = pPX->ReadCount();
  for (DWORD i = 0; i < nCount; ++i) {
    CString strSection;
    strSection.Format("%s%i", "MDIMenu", static_cast<int>(i));
    CTKPropExchangeSectionPtr pSection(pPX->GetSection(strSection));
    int nId = 0;
    PX_Int(pSection.get(), "Id", nId, 0);
    auto* pControls = new CTKControls;
    pControls->SetCommandBars(m_pCommandBars);
    try {
      pControls->DoPropExchange(pSection.get());
    } catch (...) {
      pControls->InternalRelease();
      throw;
    }
    pControls->InternalRelease();
  }
}

void CTKPopupBar::DoPropExchange(CTKPropExchange* pPX)
{
  CTKCommandBar::DoPropExchange(pPX);
  PX_Bool(pPX, "TearOffPopup", m_bTearOffPopup, FALSE);
  PX_String(pPX, "TearOffCaption", m_strTearOffCaption, "");
  ExchangeUint(pPX, "TearOffId", m_nTearOffID, 0);
  PX_Int(pPX, "TearOffWidth", m_nTearOffWidth, 0);
  if (pPX->m_nSchema > 3) {
    PX_Rect(pPX, "Borders", m_rcBorders, CRect(2, 4, 2, 4));
    PX_Bool(pPX, "ShowShadow", m_bShowShadow, TRUE);
  }
  if (pPX->m_nSchema > 8)
    PX_Bool(pPX, "DoubleGripper", m_bDoubleGripper, FALSE);
}

// At most this many stored strings are taken into a combo box's list.
constexpr int kMaxStoredItems = 4096;

void CTKControlComboBoxList::DoPropExchange(CTKPropExchange* pPX)
{
  CTKPopupBar::DoPropExchange(pPX);
  CTKPropExchangeSectionPtr pSection(pPX->GetSection("Items"));
  if (pPX->IsLoading()) {
    int nCount = 0;
    PX_Int(pSection.get(), "Count", nCount, 0);
    // A stored count is not believed past what a list may hold.
    if (nCount < 0 || nCount > kMaxStoredItems)
      AfxThrowArchiveException(CArchiveException::badIndex);
    if (!CreateListWindow())
      return;
    SendMessage(LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < nCount; ++i) {
      CString strItem;
      PX_String(pSection.get(), ("Item" + std::to_string(i)).c_str(), strItem, "");
      SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCSTR>(strItem)));
    }
    return;
  }
  int nCount = GetSafeHwnd() ? static_cast<int>(SendMessage(LB_GETCOUNT, 0, 0)) : 0;
  nCount = std::clamp(nCount, 0, kMaxStoredItems);
  PX_Int(pSection.get(), "Count", nCount, 0);
  for (int i = 0; i < nCount; ++i) {
    CString strItem;
    const int nLength = static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    if (nLength > 0) {
      SendMessage(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(strItem.GetBuffer(nLength + 1)));
      strItem.ReleaseBuffer();
    }
    PX_String(pSection.get(), ("Item" + std::to_string(i)).c_str(), strItem, "");
  }
}

// ---- Controls

void CTKControl::DoPropExchange(CTKPropExchange* pPX)
{
  PX_Int(pPX, "Type", m_controlType, tkControlButton);
  PX_Int(pPX, "Id", m_nId, -1);
  PX_Int(pPX, "IconId", m_nIconId, 0);
  PX_Bool(pPX, "BeginGroup", m_bBeginGroup, FALSE);
  ExchangeDword(pPX, "Tag", m_nTag, 0);
  ExchangeDword(pPX, "Flags", m_dwFlags, 0);
  ExchangeDword(pPX, "HideFlags", m_dwHideFlags, 0);
  PX_String(pPX, "Caption", m_strCaption, "");
  PX_String(pPX, "ShortcutText", m_strShortcutText, "");
  PX_String(pPX, "TooltipText", m_strTooltipText, "");
  PX_String(pPX, "DescriptionText", m_strDescriptionText, "");
  PX_String(pPX, "Parameter", m_strParameter, "");
  PX_Int(pPX, "CustomIconId", m_nCustomIconId, 0);
  PX_String(pPX, "CustomCaption", m_strCustomCaption, "");
  if (pPX->m_nSchema > 1)
    PX_String(pPX, "Category", m_strCategory, "");
  if (m_nCustomIconId > 0) {
    // The icon goes with the control, into the image manager of the command bars it is saved from or loaded into.
    CTKImageManager* pImageManager = GetImageManager();
    if (TK_BARSTATE_CONTEXT* pContext = TKBarStateContext(pPX->m_pOwner); pContext && pContext->pCommandBars)
      pImageManager = pContext->pCommandBars->GetImageManager();
    CTKPropExchangeSectionPtr pSection(pPX->GetSection("CustomIcon"));
    pImageManager->DoPropExchange(static_cast<UINT>(m_nCustomIconId), pSection.get());
  }
  if (pPX->m_nSchema > 3) {
    ExchangeDocTemplates(pPX, "DocTemplatesExcluded", m_mapDocTemplatesExcluded);
    ExchangeDocTemplates(pPX, "DocTemplatesAssigned", m_mapDocTemplatesAssigned);
    PX_Bool(pPX, "DefaultItem", m_bDefaultItem, FALSE);
  }
  if (pPX->m_nSchema > 6)
    PX_Bool(pPX, "CloseSubMenuOnClick", m_bCloseSubMenuOnClick, TRUE);
  if (pPX->m_nSchema > 7)
    PX_Int(pPX, "CustomStyle", m_nCustomStyle, 0);
  if (pPX->IsLoading() && !IsTypeOfClass(this, m_controlType))
    AfxThrowArchiveException(CArchiveException::badClass);
}

void CTKControlButton::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControl::DoPropExchange(pPX);
  PX_Int(pPX, "Style", m_nStyle, 0);
}

void CTKControlPopup::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControl::DoPropExchange(pPX);
  if (pPX->IsLoading()) {
    PX_Int(pPX, "CommandBarId", m_nPendingBarId, 0);
  } else {
    int nBarId = m_pCommandBar ? static_cast<int>(m_pCommandBar->GetBarID()) : 0;
    PX_Int(pPX, "CommandBarId", nBarId, 0);
  }
  if (pPX->m_nSchema > 4)
    PX_Int(pPX, "Style", m_nStyle, 0);
}

void CTKControlComboBox::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControlPopup::DoPropExchange(pPX);
  PX_Bool(pPX, "DropDown", m_bDropDown, TRUE);
  PX_Int(pPX, "Width", m_nWidth, 0);
  PX_Int(pPX, "ComboStyle", m_comboStyle, 0);
  if (pPX->m_nSchema > 8) {
    PX_String(pPX, "EditHint", m_strEditHint, "");
    ExchangeDword(pPX, "ShellAutoCompleteFlags", m_dwShellAutoCompleteFlags, 0);
    PX_Bool(pPX, "AutoComplete", m_bAutoComplete, FALSE);
    PX_Int(pPX, "EditIconId", m_nEditIconId, 0);
    PX_Int(pPX, "DropDownItemCount", m_nDropDownItemCount, 12);
  }
  if (pPX->IsLoading())
    SetDropDownStyle(m_bDropDown);
}

void CTKControlEdit::DoPropExchange(CTKPropExchange* pPX)
{
  CTKControl::DoPropExchange(pPX);
  if (pPX->m_nSchema > 5) {
    PX_Bool(pPX, "HasLabel", m_bLabel, FALSE);
    PX_Int(pPX, "Width", m_nWidth, 0);
  }
  if (pPX->m_nSchema > 7)
    PX_Bool(pPX, "ReadOnly", m_bReadOnly, FALSE);
  if (pPX->m_nSchema > 8) {
    PX_String(pPX, "EditHint", m_strEditHint, "");
    ExchangeDword(pPX, "ShellAutoCompleteFlags", m_dwShellAutoCompleteFlags, 0);
  }
}

void CTKControls::DoPropExchange(CTKPropExchange* pPX)
{
  TK_BARSTATE_CONTEXT* pContext = TKBarStateContext(pPX->m_pOwner);
  CTKPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator("Control"));
  if (!pPX->IsLoading()) {
    DWORD nCount = 0;
    for (CTKControl* pControl : m_arrControls) {
      if (!pControl->IsTemporary())
        ++nCount;
    }
    POSITION pos = pEnumerator->GetPosition(nCount);
    for (CTKControl* pControl : m_arrControls) {
      if (pControl->IsTemporary() || !pos)
        continue;
      CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
      CObject* pObject = pControl;
      if (!pSection->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTKControl)))
        AfxThrowArchiveException(CArchiveException::badClass);
      pControl->DoPropExchange(pSection.get());
    }
    BOOL bOriginalControls = m_pOriginalControls && pContext && pContext->bSaveOriginalControls;
    PX_Bool(pPX, "OriginalControls", bOriginalControls, FALSE);
    if (bOriginalControls) {
      CTKPropExchangeSectionPtr pSection(pPX->GetSection("OriginalControls"));
      m_pOriginalControls->DoPropExchange(pSection.get());
    }
    BOOL bCustomizedControls = FALSE;
    PX_Bool(pPX, "CustomizedControls", bCustomizedControls, FALSE);
    return;
  }

  RemoveAll();
  POSITION pos = pEnumerator->GetPosition();
  while (pos) {
    CTKPropExchangeSectionPtr pSection(pEnumerator->GetNext(pos));
    CObject* pObject = nullptr;
    if (!pSection->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTKControl)))
      AfxThrowArchiveException(CArchiveException::badClass);
    auto* pControl = static_cast<CTKControl*>(pObject);
    // Held by the collection from here, so an error in its values frees it with the rest.
    Append(pControl);
    pControl->m_pControls = this;
    pControl->DoPropExchange(pSection.get());
  }
  RefreshIndexes();
  if (pPX->m_nSchema > 2) {
    BOOL bOriginalControls = FALSE;
    PX_Bool(pPX, "OriginalControls", bOriginalControls, FALSE);
    if (bOriginalControls) {
      CNestedControlsGuard nested;
      ReleaseOriginalControls();
      m_pOriginalControls = new CTKControls;
      m_pOriginalControls->m_pCommandBars = m_pCommandBars;
      CTKPropExchangeSectionPtr pSection(pPX->GetSection("OriginalControls"));
      m_pOriginalControls->DoPropExchange(pSection.get());
    }
    BOOL bCustomizedControls = FALSE;
    PX_Bool(pPX, "CustomizedControls", bCustomizedControls, FALSE);
    if (bCustomizedControls) {
      CNestedControlsGuard nested;
      auto* pCustomized = new CTKControls;
      pCustomized->m_pCommandBars = m_pCommandBars;
      CTKPropExchangeSectionPtr pSection(pPX->GetSection("CustomizedControls"));
      try {
        pCustomized->DoPropExchange(pSection.get());
      } catch (...) {
        pCustomized->InternalRelease();
        throw;
      }
      pCustomized->InternalRelease();
    }
  }
}

void CTKControls::GenerateCommandBarList(DWORD& nID, CTKCommandBarList* pCommandBarList,
                                         TK_BARSTATE_CONTEXT* pContext)
{
  for (CTKControl* pControl : m_arrControls) {
    if (pControl->IsTemporary())
      continue;
    if (CTKCommandBar* pBar = pControl->GetCommandBar())
      pBar->GenerateCommandBarList(nID, pCommandBarList, pContext);
  }
  if (m_pOriginalControls && pContext && pContext->bSaveOriginalControls)
    m_pOriginalControls->GenerateCommandBarList(nID, pCommandBarList, pContext);
}

void CTKControls::RestoreCommandBarList(CTKCommandBarList* pCommandBarList)
{
  for (CTKControl* pControl : m_arrControls) {
    auto* pPopup = DYNAMIC_DOWNCAST(CTKControlPopup, pControl);
    if (!pPopup || pPopup->GetPendingBarId() == 0)
      continue;
    CTKCommandBar* pBar = pCommandBarList->FindCommandBar(static_cast<UINT>(pPopup->GetPendingBarId()));
    pPopup->SetPendingBarId(0);
    if (pBar) {
      pPopup->SetCommandBar(pBar);
      pBar->RestoreCommandBarList(pCommandBarList);
    }
  }
  if (m_pOriginalControls)
    m_pOriginalControls->RestoreCommandBarList(pCommandBarList);
}

// ---- The command bars

void CTKCommandBars::GenerateCommandBarList(CTKCommandBarList* pCommandBarList, TK_BARSTATE_CONTEXT* pContext)
{
  DWORD nID = TK_FIRST_GENERATED_BAR_ID;
  for (CTKCommandBar* pBar : m_arrBars) {
    auto* pToolBar = DYNAMIC_DOWNCAST(CTKToolBar, pBar);
    if (!pToolBar)
      continue;
    CTKControls* pControls = pToolBar->GetControls();
    BOOL bInclude = !pContext->bSaveOnlyCustomized || !pToolBar->IsBuiltIn() ||
                    (pToolBar->IsCustomizable() && (!pControls->GetOriginalControls() || pControls->IsChanged()));
    if (bInclude)
      pToolBar->GenerateCommandBarList(nID, pCommandBarList, pContext);
  }
}

BOOL CTKCommandBars::SaveCommandBarList(CTKPropExchange* pPX, CTKCommandBarList* pCommandBarList)
{
  try {
    CTKPropExchangeSectionPtr pSection(pPX->GetSection("CommandBars"));
    CTKPropExchangeEnumeratorPtr pEnumerator(pSection->GetEnumerator("CommandBar"));
    POSITION pos = pEnumerator->GetPosition(static_cast<DWORD>(pCommandBarList->GetCount()));
    for (int i = 0; i < pCommandBarList->GetCount() && pos; ++i) {
      CTKCommandBar* pBar = pCommandBarList->GetAt(i);
      CTKPropExchangeSectionPtr pBarSection(pEnumerator->GetNext(pos));
      CObject* pObject = pBar;
      if (!pBarSection->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTKCommandBar)))
        return FALSE;
      pBar->DoPropExchange(pBarSection.get());
    }
  } catch (CException* e) {
    // A bar or control of a class that has no record fails the save as a broken archive does.
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL CTKCommandBars::LoadCommandBarList(CTKPropExchange* pPX, CTKCommandBarList* pCommandBarList)
{
  try {
    CTKPropExchangeSectionPtr pSection(pPX->GetSection("CommandBars"));
    CTKPropExchangeEnumeratorPtr pEnumerator(pSection->GetEnumerator("CommandBar"));
    POSITION pos = pEnumerator->GetPosition();
    while (pos) {
      CTKPropExchangeSectionPtr pBarSection(pEnumerator->GetNext(pos));
      CObject* pObject = nullptr;
      if (!pBarSection->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CTKCommandBar)) || !pObject)
        return FALSE;
      auto* pBar = static_cast<CTKCommandBar*>(pObject);
      pCommandBarList->AddTail(pBar);
      pBar->InternalRelease();
      pBar->DoPropExchange(pBarSection.get());
      pBar->GetControls()->RefreshIndexes();
    }
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  for (int i = 0; i < pCommandBarList->GetCount(); ++i) {
    if (OpensToolBar(*pCommandBarList, pCommandBarList->GetAt(i)->GetControls()))
      return FALSE;
  }
  return !HasPopupCycle(*pCommandBarList);
}

void CTKCommandBars::RestoreCommandBarList(CTKCommandBarList* pCommandBarList, BOOL bSilent)
{
  for (int i = 0; i < pCommandBarList->GetCount(); ++i) {
    auto* pLoaded = DYNAMIC_DOWNCAST(CTKToolBar, pCommandBarList->GetAt(i));
    if (!pLoaded)
      continue;
    CTKCommandBar* pExisting = GetToolBar(pLoaded->GetBarID());
    pLoaded->RestoreCommandBarList(pCommandBarList);

    if (!pExisting) {
      pLoaded->SetCommandBars(this);
      const int nPosition = pLoaded->GetPosition() <= tkBarFloating ? pLoaded->GetPosition() : tkBarTop;
      pLoaded->EnableDocking((pLoaded->GetFlags() & TK_DOCK_TOOLBAR_FLAGS) ? pLoaded->GetFlags()
                                                                            : TK_DOCK_TOOLBAR_FLAGS);
      if (!pLoaded->SetPosition(nPosition)) {
        if (pLoaded->GetDockBar())
          pLoaded->GetDockBar()->RemoveCommandBar(pLoaded, -1);
        continue;
      }
      pLoaded->InternalAddRef();
      m_arrBars.push_back(pLoaded);
      continue;
    }

    CTKControls* pLoadedControls = pLoaded->GetControls();
    CTKControls* pExistingOriginal = pExisting->GetControls()->GetOriginalControls();
    // Whether the existing bar keeps its built-in copy over the one the stream brought.
    BOOL bKeepOriginal = !pLoadedControls->GetOriginalControls();
    if (pLoadedControls->GetOriginalControls() && pExistingOriginal &&
        !pLoadedControls->GetOriginalControls()->IsEqual(pExistingOriginal)) {
      // The program's own bar changed since the customisation was saved.
      if (bSilent || pLoadedControls->IsEqual(pLoadedControls->GetOriginalControls()))
        continue;
      CString strFormat;
      TKResourceManager()->LoadString(&strFormat, TK_IDS_CONFIRM_RESTORE);
      CString strQuestion;
      strQuestion.Format(strFormat, static_cast<LPCSTR>(pExisting->GetTitle()));
      if (AfxMessageBox(strQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES)
        continue;
      bKeepOriginal = TRUE;
    }
    CTKControls* pKept = bKeepOriginal && pExistingOriginal ? pExistingOriginal->Duplicate(TRUE) : nullptr;
    const int nPosition = pExisting->GetPosition();
    pExisting->Copy(pLoaded, TRUE);
    if (auto* pExistingBar = DYNAMIC_DOWNCAST(CTKToolBar, pExisting))
      pExistingBar->SetBarPosition(nPosition);
    pExisting->SetCommandBars(this);
    if (pKept)
      pExisting->GetControls()->SetOriginalControls(pKept);
    pExisting->GetControls()->SetCommandBars(this);
    pExisting->DelayLayout();
  }
}

void CTKControls::SetOriginalControls(CTKControls* pOriginal)
{
  ReleaseOriginalControls();
  m_pOriginalControls = pOriginal;
}
