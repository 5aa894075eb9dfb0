// The bar state in the profile, section by section (integers unless said otherwise):
//   "<s>-Bar<i>"      BarID; Visible (only 0); Floating (only 1); XPos, YPos (only when not -1); MRUWidth (only when
//                     not 32767); MRUDockID; MRUDock{Left,Top,Right,Bottom}Pos; MRUFloat{X,Y}Pos; DialogBar and, when
//                     set, DialogBar{Docking,Floating}Client{Cx,Cy}
//   "<s>-Summary"     Bars (the number of Bar sections), ScreenCX, ScreenCY
//   "<s>-DockBar<n>"  n 0 top, 1 bottom, 2 left, 3 right: Bars and Bar#<k>, the ids of the row array (0: row break),
//                     only when the row array holds more than its opening break
//   "<s>"             StatusBar 0 while the status bar is hidden
//   "<s>-Controls"    Controls: the customised bars' stream (binary), or the hidden file's path (string) with
//                     LoadFromFile 1
#include "toolkit/commandbars/barstate.h"

#include "platform/base/fileops.h"
#include "platform/base/folders.h"
#include "platform/base/module.h"
#include "platform/base/profile.h"
#include "platform/mfc-core/memfile.h"
#include "platform/user/system.h"
#include "toolkit/commandbars/barsexchange.h"
#include "toolkit/commandbars/commandbars.h"
#include "toolkit/commandbars/dialogbar.h"
#include "toolkit/commandbars/dockbar.h"
#include "toolkit/commandbars/dockcontext.h"
#include "toolkit/commandbars/menubar.h"
#include "toolkit/paint/prop_exchange.h"

#include <algorithm>
#include <memory>

namespace {

constexpr UINT kStatusBarId = 59393;
constexpr int kDockBarCount = 4;

CString SectionName(LPCSTR lpszFormat, LPCSTR lpszProfileName, int nIndex = 0)
{
  CString strSection;
  strSection.Format(lpszFormat, lpszProfileName, nIndex);
  return strSection;
}

int ProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
  return static_cast<int>(AfxGetApp()->GetProfileInt(lpszSection, lpszEntry, nDefault));
}

void WriteInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
  AfxGetApp()->WriteProfileInt(lpszSection, lpszEntry, nValue);
}

CFrameWnd* SiteFrame(CWnd* pSite)
{
  auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, pSite);
  return pFrame && pFrame->GetSafeHwnd() ? pFrame : nullptr;
}

// The stream's bytes beside the file they replace; moved over it only once the profile holds the new state.
BOOL WriteTempFile(const CString& strTemp, const BYTE* pData, UINT nBytes)
{
  try {
    CFile file(strTemp, CFile::modeCreate | CFile::modeWrite);
    file.Write(pData, nBytes);
    file.Close();
  } catch (CException* e) {
    e->Delete();
    ::DeleteFile(strTemp);
    return FALSE;
  }
  return TRUE;
}

}  // namespace

// ---- One toolbar's record

void CTKToolBar::CToolBarInfo::SaveState(LPCSTR lpszProfileName, int nIndex) const
{
  const CString strSection = SectionName("%s-Bar%d", lpszProfileName, nIndex);
  AfxGetApp()->WriteProfileString(strSection, nullptr, nullptr);
  WriteInt(strSection, "BarID", static_cast<int>(m_nBarID));
  if (!m_bVisible)
    WriteInt(strSection, "Visible", 0);
  if (m_bFloating)
    WriteInt(strSection, "Floating", m_bFloating);
  if (m_pointPos.x != -1)
    WriteInt(strSection, "XPos", m_pointPos.x);
  if (m_pointPos.y != -1)
    WriteInt(strSection, "YPos", m_pointPos.y);
  if (m_nMRUWidth != 32767)
    WriteInt(strSection, "MRUWidth", m_nMRUWidth);
  WriteInt(strSection, "MRUDockID", m_uMRUDockID);
  WriteInt(strSection, "MRUDockLeftPos", m_rectMRUDockPos.left);
  WriteInt(strSection, "MRUDockTopPos", m_rectMRUDockPos.top);
  WriteInt(strSection, "MRUDockRightPos", m_rectMRUDockPos.right);
  WriteInt(strSection, "MRUDockBottomPos", m_rectMRUDockPos.bottom);
  WriteInt(strSection, "MRUFloatXPos", m_ptMRUFloatPos.x);
  WriteInt(strSection, "MRUFloatYPos", m_ptMRUFloatPos.y);
  WriteInt(strSection, "DialogBar", m_bDialogBar);
  if (m_bDialogBar) {
    WriteInt(strSection, "DialogBarDockingClientCx", m_szDockingClient.cx);
    WriteInt(strSection, "DialogBarDockingClientCy", m_szDockingClient.cy);
    WriteInt(strSection, "DialogBarFloatingClientCx", m_szFloatingClient.cx);
    WriteInt(strSection, "DialogBarFloatingClientCy", m_szFloatingClient.cy);
  }
}

void CTKToolBar::CToolBarInfo::LoadState(LPCSTR lpszProfileName, int nIndex, CTKBarLayoutState* pLayoutState)
{
  const CString strSection = SectionName("%s-Bar%d", lpszProfileName, nIndex);
  m_nBarID = static_cast<UINT>(ProfileInt(strSection, "BarID", 0));
  m_bVisible = ProfileInt(strSection, "Visible", 1);
  m_bFloating = ProfileInt(strSection, "Floating", 0);
  m_pointPos = pLayoutState->ScalePoint(
      CPoint(ProfileInt(strSection, "XPos", -1), ProfileInt(strSection, "YPos", -1)));
  m_nMRUWidth = ProfileInt(strSection, "MRUWidth", 32767);
  m_uMRUDockID = ProfileInt(strSection, "MRUDockID", 0);
  m_rectMRUDockPos = pLayoutState->ScaleRect(
      CRect(ProfileInt(strSection, "MRUDockLeftPos", 0), ProfileInt(strSection, "MRUDockTopPos", 0),
            ProfileInt(strSection, "MRUDockRightPos", 0), ProfileInt(strSection, "MRUDockBottomPos", 0)));
  m_ptMRUFloatPos = pLayoutState->ScalePoint(
      CPoint(ProfileInt(strSection, "MRUFloatXPos", 0), ProfileInt(strSection, "MRUFloatYPos", 0)));
  m_bDialogBar = ProfileInt(strSection, "DialogBar", 0);
  if (m_bDialogBar) {
    m_szDockingClient.cx = ProfileInt(strSection, "DialogBarDockingClientCx", m_szDockingClient.cx);
    m_szDockingClient.cy = ProfileInt(strSection, "DialogBarDockingClientCy", m_szDockingClient.cy);
    m_szFloatingClient.cx = ProfileInt(strSection, "DialogBarFloatingClientCx", m_szFloatingClient.cx);
    m_szFloatingClient.cy = ProfileInt(strSection, "DialogBarFloatingClientCy", m_szFloatingClient.cy);
  }
}

// ---- All toolbars

CTKBarLayoutState::CTKBarLayoutState()
    : m_rcScreen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)),
      m_ptClipLimit(m_rcScreen.right - ::GetSystemMetrics(SM_CXICON),
                    m_rcScreen.bottom - ::GetSystemMetrics(SM_CYICON))
{
}

CTKBarLayoutState::~CTKBarLayoutState()
{
  for (CTKToolBar::CToolBarInfo* pInfo : m_arrBarInfo)
    delete pInfo;
}

void CTKBarLayoutState::SaveState(LPCSTR lpszProfileName) const
{
  for (size_t i = 0; i < m_arrBarInfo.size(); ++i)
    m_arrBarInfo[i]->SaveState(lpszProfileName, static_cast<int>(i));
  const CString strSection = SectionName("%s-Summary", lpszProfileName);
  WriteInt(strSection, "Bars", static_cast<int>(m_arrBarInfo.size()));
  WriteInt(strSection, "ScreenCX", m_rcScreen.Width());
  WriteInt(strSection, "ScreenCY", m_rcScreen.Height());
}

void CTKBarLayoutState::LoadState(LPCSTR lpszProfileName, int nMaxBars)
{
  const CString strSection = SectionName("%s-Summary", lpszProfileName);
  const int nBars = std::min(ProfileInt(strSection, "Bars", 0), nMaxBars);
  m_sizeStoredScreen = CSize(ProfileInt(strSection, "ScreenCX", 0), ProfileInt(strSection, "ScreenCY", 0));
  // A size that was never stored gives no ratio to scale by.
  m_bScaling = m_sizeStoredScreen.cx > 0 && m_sizeStoredScreen.cy > 0 && m_sizeStoredScreen != m_rcScreen.Size();
  for (int i = 0; i < nBars; ++i) {
    auto pInfo = std::make_unique<CTKToolBar::CToolBarInfo>();
    pInfo->LoadState(lpszProfileName, i, this);
    m_arrBarInfo.push_back(pInfo.release());
  }
}

CPoint CTKBarLayoutState::ScalePoint(CPoint point) const
{
  if (m_bScaling) {
    point.x = ::MulDiv(point.x, m_rcScreen.Width(), m_sizeStoredScreen.cx);
    point.y = ::MulDiv(point.y, m_rcScreen.Height(), m_sizeStoredScreen.cy);
  }
  point.x = std::min(point.x, m_ptClipLimit.x);
  point.y = std::min(point.y, m_ptClipLimit.y);
  return point;
}

CRect CTKBarLayoutState::ScaleRect(CRect rect) const
{
  if (m_bScaling) {
    CPoint ptScaled(::MulDiv(rect.left, m_rcScreen.Width(), m_sizeStoredScreen.cx),
                    ::MulDiv(rect.top, m_rcScreen.Height(), m_sizeStoredScreen.cy));
    rect.OffsetRect(ptScaled.x - rect.left, ptScaled.y - rect.top);
  }
  if (rect.left > m_ptClipLimit.x)
    rect.OffsetRect(m_ptClipLimit.x - rect.left, 0);
  if (rect.top > m_ptClipLimit.y)
    rect.OffsetRect(0, m_ptClipLimit.y - rect.top);
  return rect;
}

// ---- A toolbar's part

void CTKToolBar::GetBarInfo(CToolBarInfo* pInfo) const
{
  pInfo->m_nBarID = m_nBarID;
  pInfo->m_bVisible = IsVisible();
  pInfo->m_bFloating = m_barPosition == tkBarFloating;
  pInfo->m_nMRUWidth = m_nMRUWidth;
  if (GetSafeHwnd()) {
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    if (m_pDockBar && m_pDockBar->GetSafeHwnd())
      m_pDockBar->ScreenToClient(&rcWindow);
    pInfo->m_pointPos = rcWindow.TopLeft();
  } else if (m_pDockContext) {
    pInfo->m_pointPos = m_pDockContext->m_ptMRUFloatPos;
  }
  if (m_pDockContext) {
    pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockPosition;
    pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
    pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
  }
  pInfo->m_bDialogBar = IsDialogBar();
  if (auto* pDialogBar = dynamic_cast<const CTKDialogBar*>(this)) {
    pInfo->m_szDockingClient = pDialogBar->GetDockingClientSize();
    pInfo->m_szFloatingClient = pDialogBar->GetFloatingClientSize();
  }
}

void CTKToolBar::SetBarInfo(CToolBarInfo* pInfo)
{
  m_nMRUWidth = pInfo->m_nMRUWidth;
  auto* pDialogBar = dynamic_cast<CTKDialogBar*>(this);
  if (pDialogBar && pInfo->m_bDialogBar)
    pDialogBar->SetClientSizes(pInfo->m_szDockingClient, pInfo->m_szFloatingClient);
  if (m_pDockContext) {
    m_pDockContext->m_uMRUDockPosition = pInfo->m_uMRUDockID;
    m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
    m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
  }
  UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!pInfo->m_bFloating) {
    nFlags |= SWP_NOSIZE;
    if (!m_pDockBar)
      nFlags |= SWP_NOMOVE;
  }
  nFlags |= pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  if (GetSafeHwnd())
    SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, nFlags);
  m_bVisible = pInfo->m_bVisible;
  if (pInfo->m_bFloating)
    OnRecalcLayout();
}

void CTKDockBar::InsertBarAt(int nIndex, CTKToolBar* pBar)
{
  const auto index = static_cast<size_t>(std::max(nIndex, 0));
  m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(std::min(index, m_arrBars.size())), pBar);
  if (m_arrBars.front())
    m_arrBars.insert(m_arrBars.begin(), nullptr);
  if (m_arrBars.back())
    m_arrBars.push_back(nullptr);
}

void CTKDockBar::RemoveEmptyRows()
{
  for (size_t i = 1; i < m_arrBars.size();) {
    if (!m_arrBars[i] && !m_arrBars[i - 1])
      m_arrBars.erase(m_arrBars.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

// ---- The command bars

CTKBarLayoutState* CTKCommandBars::GetBarLayoutState() const
{
  auto* pLayoutState = new CTKBarLayoutState;
  for (CTKCommandBar* pBar : m_arrBars) {
    auto* pToolBar = DYNAMIC_DOWNCAST(CTKToolBar, pBar);
    if (!pToolBar)
      continue;
    auto* pInfo = new CTKToolBar::CToolBarInfo;
    pToolBar->GetBarInfo(pInfo);
    pLayoutState->m_arrBarInfo.push_back(pInfo);
  }
  return pLayoutState;
}

void CTKCommandBars::SetBarLayoutState(CTKBarLayoutState* pLayoutState)
{
  for (CTKToolBar::CToolBarInfo* pInfo : pLayoutState->m_arrBarInfo) {
    pInfo->m_pBar = DYNAMIC_DOWNCAST(CTKToolBar, GetToolBar(pInfo->m_nBarID));
    CTKToolBar* pBar = pInfo->m_pBar;
    if (!pBar)
      continue;
    if (pInfo->m_bFloating)
      FloatCommandBar(pBar);
    else
      pBar->Create(m_pFrame, FALSE);
    pBar->SetBarInfo(pInfo);
  }
}

void CTKCommandBars::SaveDockBarsState(LPCSTR lpszProfileName) const
{
  for (int n = 0; n < kDockBarCount; ++n) {
    const CString strSection = SectionName("%s-DockBar%d", lpszProfileName, n);
    AfxGetApp()->WriteProfileString(strSection, nullptr, nullptr);
    CTKDockBar* pDockBar = m_pDocks[n];
    if (!pDockBar || pDockBar->GetBars().size() <= 1)
      continue;
    int nWritten = 0;
    UINT nLastId = static_cast<UINT>(-1);
    for (CTKToolBar* pBar : pDockBar->GetBars()) {
      const UINT nId = pBar ? pBar->GetBarID() : 0;
      if (nId == 0 && nLastId == 0)
        continue;
      CString strEntry;
      strEntry.Format("Bar#%d", nWritten++);
      WriteInt(strSection, strEntry, static_cast<int>(nId));
      nLastId = nId;
    }
    WriteInt(strSection, "Bars", nWritten);
  }
}

void CTKCommandBars::LoadDockBarsState(LPCSTR lpszProfileName)
{
  int nToolBars = 0;
  for (CTKCommandBar* pBar : m_arrBars) {
    if (pBar->IsKindOf(RUNTIME_CLASS(CTKToolBar)))
      ++nToolBars;
  }
  // Every toolbar between row breaks: no stored row array is believed to be longer.
  const int nMaxEntries = 2 * nToolBars + 1;
  for (int n = 0; n < kDockBarCount; ++n) {
    CTKDockBar* pDockBar = m_pDocks[n];
    if (!pDockBar)
      continue;
    const CString strSection = SectionName("%s-DockBar%d", lpszProfileName, n);
    const int nBars = std::min(ProfileInt(strSection, "Bars", 0), nMaxEntries);
    if (nBars <= 1)
      continue;
    for (int j = 0; j < nBars; ++j) {
      CString strEntry;
      strEntry.Format("Bar#%d", j);
      const UINT nId = static_cast<UINT>(ProfileInt(strSection, strEntry, 0));
      auto* pBar = nId != 0 ? DYNAMIC_DOWNCAST(CTKToolBar, GetToolBar(nId)) : nullptr;
      if (pBar) {
        if (pBar->GetSafeHwnd() && pDockBar->GetSafeHwnd() && pBar->GetParent() != pDockBar)
          ::SetParent(pBar->GetSafeHwnd(), pDockBar->GetSafeHwnd());
        if (CTKDockBar* pOldDockBar = pBar->GetDockBar())
          pOldDockBar->RemoveCommandBar(pBar, -1);
        pBar->SetDockBar(pDockBar);
        pBar->SetBarPosition(pDockBar->GetPosition());
      }
      pDockBar->InsertBarAt(j, pBar);
    }
    pDockBar->RemoveEmptyRows();
  }
}

void CTKCommandBars::GetAppDataFileName(CString& strFileName, LPCSTR lpszName) const
{
  strFileName.Empty();
  CWinApp* pApp = AfxGetApp();
  const std::string strDataHome = platform::UserDataHome();
  if (!pApp || !pApp->m_pszAppName || strDataHome.empty())
    return;
  CString strFolder = CString(strDataHome.c_str()) + pApp->m_pszAppName;
  ::CreateDirectory(strFolder, nullptr);
  const DWORD dwAttributes = ::GetFileAttributes(strFolder);
  if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
    strFileName = strFolder + "/" + lpszName;
}

void CTKCommandBars::GetControlsFileName(CString& strFileName, LPCSTR lpszProfileName) const
{
  if (!m_strControlsFileName.IsEmpty()) {
    strFileName = m_strControlsFileName;
    return;
  }
  // The section names a file, never a folder below the application's.
  CString strName = lpszProfileName;
  strName.Replace('\\', '_');
  strName.Replace('/', '_');
  GetAppDataFileName(strFileName, strName);
  if (strFileName.IsEmpty()) {
    char szModule[MAX_PATH] = {};
    ::GetModuleFileName(nullptr, szModule, MAX_PATH);
    strFileName.Format("%s-%s", szModule, static_cast<LPCSTR>(lpszProfileName));
  }
}

BOOL CTKCommandBars::LoadControlsFromFile(CFile* pFile, TK_BARSTATE_CONTEXT* pContext)
{
  CArchive ar(pFile, CArchive::load, 4096);
  CTKPropExchangeArchive px(ar);
  px.m_pOwner = pContext;
  CTKCommandBarList list;
  BOOL bLoaded = LoadCommandBarList(&px, &list);
  ar.Abort();
  if (!bLoaded)
    return FALSE;
  RestoreCommandBarList(&list, pContext->bSilent);
  m_pMenuBar = DYNAMIC_DOWNCAST(CTKMenuBar, GetToolBar(1));
  return TRUE;
}

BOOL CTKCommandBars::SaveBarState(LPCSTR lpszProfileName, BOOL bOnlyCustomized)
{
  CWinApp* pApp = AfxGetApp();
  if (!pApp || !pApp->GetProfileStore())
    return FALSE;
  platform::ProfileWriteBatch batch(*pApp->GetProfileStore());

  std::unique_ptr<CTKBarLayoutState> pLayoutState(GetBarLayoutState());
  pLayoutState->SaveState(lpszProfileName);
  SaveDockBarsState(lpszProfileName);

  CFrameWnd* pFrame = SiteFrame(m_pFrame);
  CControlBar* pStatusBar = pFrame ? pFrame->GetControlBar(kStatusBarId) : nullptr;
  if (pStatusBar && pStatusBar->GetSafeHwnd() && !pStatusBar->IsVisible())
    WriteInt(lpszProfileName, "StatusBar", 0);
  else
    pApp->WriteProfileString(lpszProfileName, "StatusBar", nullptr);

  BOOL bSaved = TRUE;
  CString strControlsFile;
  BOOL bDeleteControlsFile = FALSE;
  BOOL bReplaceControlsFile = FALSE;
  if (m_bCustomizeAvail) {
    const CString strSection = SectionName("%s-Controls", lpszProfileName);
    TK_BARSTATE_CONTEXT context;
    context.bSaveOnlyCustomized = bOnlyCustomized;
    context.bSilent = FALSE;
    context.pCommandBars = this;
    CTKCommandBarList list;
    GenerateCommandBarList(&list, &context);

    CMemFile file(1024);
    BOOL bWritten = FALSE;
    {
      CArchive ar(&file, CArchive::store, 4096);
      CTKPropExchangeArchive px(ar);
      px.m_pOwner = &context;
      bWritten = SaveCommandBarList(&px, &list);
      if (bWritten) {
        try {
          ar.Flush();
        } catch (CException* e) {
          e->Delete();
          bWritten = FALSE;
        }
      }
      ar.Abort();
    }
    if (!bWritten) {
      // The customisation saved before stays: a stream that could not be made is no reason to lose it.
      bSaved = FALSE;
    } else {
      const UINT nBytes = static_cast<UINT>(file.GetLength());
      BYTE* pData = file.Detach();
      GetControlsFileName(strControlsFile, lpszProfileName);
      if (nBytes > kMaxProfileControlsBytes) {
        if (WriteTempFile(strControlsFile + ".new", pData, nBytes)) {
          pApp->WriteProfileString(strSection, "Controls", strControlsFile);
          WriteInt(strSection, "LoadFromFile", 1);
          bReplaceControlsFile = TRUE;
        } else {
          bSaved = FALSE;
        }
      } else {
        pApp->WriteProfileBinary(strSection, "Controls", pData, nBytes);
        WriteInt(strSection, "LoadFromFile", 0);
        bDeleteControlsFile = TRUE;
      }
      std::free(pData);
    }
  }

  if (!batch.Commit())
    bSaved = FALSE;
  // The old file goes, or is replaced, only once the profile holds the new state.
  if (bReplaceControlsFile) {
    const CString strTemp = strControlsFile + ".new";
    if (bSaved && ::MoveFileEx(strTemp, strControlsFile, MOVEFILE_REPLACE_EXISTING))
      ::SetFileAttributes(strControlsFile, FILE_ATTRIBUTE_HIDDEN);
    else {
      ::DeleteFile(strTemp);
      bSaved = FALSE;
    }
  }
  if (bSaved && bDeleteControlsFile)
    ::DeleteFile(strControlsFile);
  // A failed save leaves the bars unsaved, so they stay marked as changed.
  if (bSaved)
    m_pOptions->bDirty = FALSE;
  return bSaved;
}

void CTKCommandBars::LoadBarState(LPCSTR lpszProfileName, BOOL bSilent)
{
  CWinApp* pApp = AfxGetApp();
  if (!pApp)
    return;
  if (m_bCustomizeAvail) {
    const CString strSection = SectionName("%s-Controls", lpszProfileName);
    TK_BARSTATE_CONTEXT context;
    context.bSaveOnlyCustomized = TRUE;
    context.bSilent = bSilent;
    context.pCommandBars = this;
    if (ProfileInt(strSection, "LoadFromFile", 0)) {
      const CString strPath = pApp->GetProfileString(strSection, "Controls");
      CFile file;
      if (!strPath.IsEmpty() && file.Open(strPath, CFile::modeRead))
        LoadControlsFromFile(&file, &context);
    } else {
      BYTE* pData = nullptr;
      UINT nBytes = 0;
      if (pApp->GetProfileBinary(strSection, "Controls", &pData, &nBytes) && pData) {
        CMemFile file(pData, nBytes);
        LoadControlsFromFile(&file, &context);
        file.Detach();
        delete[] pData;
      }
    }
  }

  CTKBarLayoutState layoutState;
  int nToolBars = 0;
  for (CTKCommandBar* pBar : m_arrBars) {
    if (pBar->IsKindOf(RUNTIME_CLASS(CTKToolBar)))
      ++nToolBars;
  }
  layoutState.LoadState(lpszProfileName, nToolBars);
  LoadDockBarsState(lpszProfileName);

  if (CFrameWnd* pFrame = SiteFrame(m_pFrame)) {
    CControlBar* pStatusBar = pFrame->GetControlBar(kStatusBarId);
    if (pStatusBar && ProfileInt(lpszProfileName, "StatusBar", 1) == 0)
      pFrame->ShowControlBar(pStatusBar, FALSE, FALSE);
  }
  SetBarLayoutState(&layoutState);
  RecalcFrameLayout(TRUE);
  m_pOptions->bDirty = FALSE;
}
