#include "toolkit/commandbars/shortcut_manager.h"

#include "toolkit/commandbars/commandbars.h"

#include <cstdio>

namespace {

constexpr BYTE kAccelFlags = FVIRTKEY | FNOINVERT | FSHIFT | FCONTROL | FALT;
constexpr UINT kEntryBytes = 6;
constexpr LPCSTR kAcceleratorsEntry = "Accelerators";

struct KeyName {
  UINT key;
  LPCSTR name;
};

constexpr KeyName kKeyNames[] = {
  {0x01, "Left Button"}, {0x02, "Right Button"}, {0x03, "Ctrl+Break"}, {0x04, "Middle Button"},
  {0x08, "Backspace"}, {0x09, "Tab"}, {0x0C, "Clear"}, {0x0D, "Enter"}, {0x10, "Shift"}, {0x11, "Ctrl"},
  {0x12, "Alt"}, {0x13, "Pause"}, {0x14, "Caps Lock"}, {0x1B, "Esc"}, {0x20, "Space"}, {0x21, "Page Up"},
  {0x22, "Page Down"}, {0x23, "End"}, {0x24, "Home"}, {0x25, "Left Arrow"}, {0x26, "Up Arrow"},
  {0x27, "Right Arrow"}, {0x28, "Down Arrow"}, {0x29, "Select"}, {0x2A, "Print"}, {0x2B, "Execute"},
  {0x2C, "Snapshot"}, {0x2D, "Ins"}, {0x2E, "Del"}, {0x2F, "Help"}, {0x5B, "Left Windows"},
  {0x5C, "Right Windows"}, {0x5D, "Application"}, {0x6A, "Num *"}, {0x6B, "Num +"}, {0x6C, "Separator"},
  {0x6D, "Num -"}, {0x6E, "Num ."}, {0x6F, "Num /"}, {0x90, "Num Lock"}, {0x91, "Scrl Lock"}, {0xF6, "Attn"},
  {0xF7, "Crsel"}, {0xF8, "Exsel"}, {0xF9, "Ereof"}, {0xFA, "Play"}, {0xFB, "Zoom"}, {0xFC, "No Name"},
  {0xFD, "Pa1"}, {0xFE, "Oem Clear"},
};

HACCEL CreateTable(const std::vector<ACCEL>& entries)
{
  return entries.empty() ? nullptr : CreateAcceleratorTable(entries.data(), static_cast<int>(entries.size()));
}

void DestroyTable(HACCEL& hAccel)
{
  if (hAccel) {
    DestroyAcceleratorTable(hAccel);
    hAccel = nullptr;
  }
}

TCHAR UpperChar(TCHAR ch)
{
  return static_cast<TCHAR>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<BYTE>(ch)))));
}

}  // namespace

CTKShortcutManager::CTKShortcutManager(CTKCommandBars* pCommandBars) : m_pCommandBars(pCommandBars)
{
  for (UINT key = 0x30; key <= 0x39; ++key)
    m_mapKeyNames[key] = CString(static_cast<char>(key));
  for (UINT key = 0x41; key <= 0x5A; ++key)
    m_mapKeyNames[key] = CString(static_cast<char>(key));
  for (const KeyName& name : kKeyNames)
    m_mapKeyNames[name.key] = name.name;
  char buffer[16];
  for (UINT key = 0x70; key <= 0x7B; ++key) {
    std::snprintf(buffer, sizeof(buffer), "F%u", key - 0x70 + 1);
    m_mapKeyNames[key] = buffer;
  }
  for (UINT key = 0x60; key <= 0x69; ++key) {
    std::snprintf(buffer, sizeof(buffer), "Num %u", key - 0x60);
    m_mapKeyNames[key] = buffer;
  }
}

CTKShortcutManager::~CTKShortcutManager()
{
  DestroyTable(m_hAccelTable);
  DestroyTable(m_hDefaultAccelTable);
}

std::vector<ACCEL> CTKShortcutManager::CopyTable(HACCEL hAccel)
{
  if (!hAccel)
    return {};
  int nCount = CopyAcceleratorTable(hAccel, nullptr, 0);
  std::vector<ACCEL> entries(nCount > 0 ? nCount : 0);
  if (!entries.empty())
    CopyAcceleratorTable(hAccel, entries.data(), nCount);
  return entries;
}

std::vector<BYTE> CTKShortcutManager::EncodeEntries(const std::vector<ACCEL>& entries)
{
  std::vector<BYTE> data;
  data.reserve(entries.size() * kEntryBytes);
  for (const ACCEL& entry : entries) {
    data.push_back(entry.fVirt);
    data.push_back(0);
    data.push_back(static_cast<BYTE>(entry.key & 0xFF));
    data.push_back(static_cast<BYTE>(entry.key >> 8));
    data.push_back(static_cast<BYTE>(entry.cmd & 0xFF));
    data.push_back(static_cast<BYTE>(entry.cmd >> 8));
  }
  return data;
}

std::vector<ACCEL> CTKShortcutManager::DecodeEntries(const BYTE* pData, UINT nBytes)
{
  std::vector<ACCEL> entries;
  for (UINT i = 0; pData && i + kEntryBytes <= nBytes; i += kEntryBytes) {
    ACCEL entry;
    entry.fVirt = pData[i];
    entry.key = static_cast<WORD>(pData[i + 2] | (pData[i + 3] << 8));
    entry.cmd = static_cast<WORD>(pData[i + 4] | (pData[i + 5] << 8));
    entries.push_back(entry);
  }
  return entries;
}

HACCEL CTKShortcutManager::SetAccelerators(UINT nIDResource)
{
  DestroyTable(m_hAccelTable);
  DestroyTable(m_hDefaultAccelTable);
  HINSTANCE hInstance = AfxGetResourceHandle();
  if (hInstance) {
    HACCEL hLoaded = LoadAccelerators(hInstance, MAKEINTRESOURCE(nIDResource));
    if (hLoaded) {
      std::vector<ACCEL> entries = CopyTable(hLoaded);
      m_hDefaultAccelTable = CreateTable(entries);
      m_hAccelTable = CreateTable(entries);
      DestroyAcceleratorTable(hLoaded);
    }
  }
  return m_hAccelTable;
}

void CTKShortcutManager::SetAcceleratorTable(const ACCEL* lpAccel, int nCount)
{
  HACCEL hAccel = lpAccel && nCount > 0 ? CreateAcceleratorTable(lpAccel, nCount) : nullptr;
  DestroyTable(m_hAccelTable);
  m_hAccelTable = hAccel;
}

BOOL CTKShortcutManager::TranslateAccelerator(HWND hWnd, MSG* pMsg)
{
  if (m_nDisableShortcuts > 0 || !m_hAccelTable)
    return FALSE;
  return ::TranslateAcceleratorA(hWnd, m_hAccelTable, pMsg) ? TRUE : FALSE;
}

void CTKShortcutManager::SaveShortcuts(LPCSTR lpszSection)
{
  if (!m_hDefaultAccelTable)
    return;
  std::vector<BYTE> data = EncodeEntries(CopyTable(m_hAccelTable));
  AfxGetApp()->WriteProfileBinary(lpszSection, kAcceleratorsEntry, data.data(), static_cast<UINT>(data.size()));
}

void CTKShortcutManager::LoadShortcuts(LPCSTR lpszSection)
{
  if (!m_hDefaultAccelTable)
    return;
  LPBYTE pData = nullptr;
  UINT nBytes = 0;
  if (!AfxGetApp()->GetProfileBinary(lpszSection, kAcceleratorsEntry, &pData, &nBytes))
    return;
  LoadShortcutsFromBytes(pData, nBytes);
  delete[] pData;
}

BOOL CTKShortcutManager::LoadShortcutsFromBytes(const BYTE* pData, UINT nBytes)
{
  std::vector<ACCEL> entries = DecodeEntries(pData, nBytes);
  // A stored value without one sound entry would leave the frame with no shortcut at all: keep the table.
  std::erase_if(entries, [](const ACCEL& entry) { return (entry.fVirt & ~kAccelFlags) != 0; });
  if (entries.empty())
    return FALSE;
  SetAcceleratorTable(entries.data(), static_cast<int>(entries.size()));
  return TRUE;
}

BOOL CTKShortcutManager::CompareAccelKey(TCHAR chAccel, UINT wParam)
{
  if (MapVirtualKeyA(wParam, 2) == 0)
    return FALSE;
  if (static_cast<UINT>(static_cast<BYTE>(chAccel)) == wParam ||
      static_cast<UINT>(static_cast<BYTE>(UpperChar(chAccel))) == wParam)
    return TRUE;
  int nLayouts = GetKeyboardLayoutList(0, nullptr);
  if (nLayouts <= 1)
    return FALSE;
  std::vector<HKL> layouts(nLayouts);
  nLayouts = GetKeyboardLayoutList(nLayouts, layouts.data());
  BYTE keyState[256] = {};
  GetKeyboardState(keyState);
  for (int i = 0; i < nLayouts; ++i) {
    WORD chars[2] = {};
    if (ToAsciiEx(wParam, 0, keyState, chars, 0, layouts[i]) != 1)
      continue;
    TCHAR ch = static_cast<TCHAR>(chars[0] & 0xFF);
    if (ch == chAccel || UpperChar(ch) == UpperChar(chAccel))
      return TRUE;
  }
  return FALSE;
}

BOOL CTKShortcutManager::FindDefaultAccelerator(int nCmd, CString& strShortcut)
{
  HACCEL hAccel = m_hAccelTable;
  if (!hAccel && !m_hDefaultAccelTable && m_pCommandBars) {
    CWnd* pSite = m_pCommandBars->GetSite();
    if (pSite && pSite->IsFrameWnd())
      hAccel = static_cast<CFrameWnd*>(pSite)->m_hAccelTable;
  }
  if (!hAccel)
    return FALSE;
  CString strBest;
  int nBestPriority = 0;
  BOOL bFound = FALSE;
  BOOL bPresent = FALSE;
  for (const ACCEL& entry : CopyTable(hAccel)) {
    if (entry.cmd != static_cast<WORD>(nCmd))
      continue;
    bFound = TRUE;
    int nPriority = 0;
    CString strText = Format(&entry, &nPriority);
    if (strText == strShortcut)
      bPresent = TRUE;
    if (strBest.IsEmpty() || nBestPriority < nPriority) {
      strBest = strText;
      nBestPriority = nPriority;
    }
  }
  if (!bFound) {
    strShortcut.Empty();
    return FALSE;
  }
  if (!bPresent)
    strShortcut = strBest;
  return TRUE;
}

CString CTKShortcutManager::Format(const ACCEL* lpAccel, int* pPriority) const
{
  CKeyHelper helper(lpAccel, this);
  CString str;
  helper.Format(str);
  if (pPriority)
    *pPriority = helper.GetPriority();
  return str;
}

CString CTKShortcutManager::GetLayoutKeyName(UINT uiVirtKey) const
{
  if (uiVirtKey == 0x03)
    return CString();
  UINT nScan = MapVirtualKeyExA(uiVirtKey, 0, GetKeyboardLayout(0));
  LONG lParam = static_cast<LONG>(nScan << 16) | 1;
  if (uiVirtKey >= 0x21 && uiVirtKey <= 0x2F)
    lParam |= 0x01000000;
  char buffer[50] = {};
  if (GetKeyNameTextA(lParam, buffer, sizeof(buffer)) <= 0 || buffer[0] == 0)
    return CString();
  CharLowerA(buffer);
  for (char* p = buffer; *p; ++p) {
    char upper = UpperChar(*p);
    if (upper != *p) {
      *p = upper;
      break;
    }
  }
  return CString(buffer);
}

CString CTKShortcutManager::GetKeyName(UINT uiVirtKey) const
{
  CString str;
  if (m_bUseSystemKeyNameText)
    str = GetLayoutKeyName(uiVirtKey);
  if (str.IsEmpty()) {
    auto it = m_mapKeyNames.find(uiVirtKey);
    if (it != m_mapKeyNames.end())
      str = it->second;
  }
  if (str.IsEmpty() && !m_bUseSystemKeyNameText)
    str = GetLayoutKeyName(uiVirtKey);
  return str;
}

BOOL CTKShortcutManager::CanAssignKey(const ACCEL* lpAccel, int /*nCmd*/) const
{
  BOOL bPlainEscape = (lpAccel->fVirt & FVIRTKEY) && !(lpAccel->fVirt & (FSHIFT | FCONTROL | FALT)) && lpAccel->key == 0x1B;
  return !(bPlainEscape && !m_bAllowEscapeShortcut);
}

void CTKShortcutManager::Reset()
{
  DestroyTable(m_hAccelTable);
  m_hAccelTable = CreateTable(CopyTable(m_hDefaultAccelTable));
}

void CTKShortcutManager::CKeyHelper::Format(CString& str) const
{
  str.Empty();
  if (!m_lpAccel || !m_pManager)
    return;
  auto append = [&](UINT key) {
    CString strName = m_pManager->GetKeyName(key);
    if (!strName.IsEmpty())
      str += strName + "+";
  };
  if (m_lpAccel->key != 0x03) {
    if (m_lpAccel->fVirt & FCONTROL)
      append(0x11);
    if (m_lpAccel->fVirt & FSHIFT)
      append(0x10);
    if (m_lpAccel->fVirt & FALT)
      append(0x12);
  }
  if (m_lpAccel->key != 0) {
    if (m_lpAccel->fVirt & FVIRTKEY)
      str += m_pManager->GetKeyName(m_lpAccel->key);
    else if (m_lpAccel->key != 0x1B && m_lpAccel->key != 0x09)
      str += CString(static_cast<char>(m_lpAccel->key));
  } else if (!str.IsEmpty()) {
    str = str.Left(str.GetLength() - 1);
  }
}

int CTKShortcutManager::CKeyHelper::GetPriority() const
{
  if (!m_lpAccel)
    return 0;
  if (m_lpAccel->fVirt & FCONTROL)
    return 3;
  if (m_lpAccel->fVirt & FALT)
    return 2;
  if (m_lpAccel->fVirt & FSHIFT)
    return 1;
  return 4;
}

void CTKShortcutManager::CKeyAssign::ResetKey()
{
  m_accel = ACCEL{};
  m_bKeyDefined = FALSE;
  if (GetSafeHwnd())
    SetWindowText("");
}

BOOL CTKShortcutManager::CKeyAssign::PreTranslateMessage(MSG* pMsg)
{
  if (pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_RBUTTONDOWN || pMsg->message == WM_MBUTTONDOWN) {
    SetFocus();
    return TRUE;
  }
  BOOL bDown = pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN;
  BOOL bUp = pMsg->message == WM_KEYUP || pMsg->message == WM_SYSKEYUP;
  if (!bDown && !bUp)
    return CEdit::PreTranslateMessage(pMsg);
  BOOL bCtrl = GetKeyState(VK_CONTROL) < 0;
  BOOL bAlt = GetKeyState(VK_MENU) < 0;
  if (pMsg->wParam == VK_TAB && !bCtrl && !bAlt) {
    if (!m_bKeyDefined)
      ResetKey();
    return FALSE;
  }
  if (bDown && !(pMsg->lParam & (1 << 30)))
    ResetKey();
  if (!m_bKeyDefined) {
    auto follow = [&](BYTE flag, int vk) {
      if (GetKeyState(vk) < 0)
        m_accel.fVirt |= flag;
      else
        m_accel.fVirt &= static_cast<BYTE>(~flag);
    };
    follow(FSHIFT, VK_SHIFT);
    follow(FCONTROL, VK_CONTROL);
    follow(FALT, VK_MENU);
    if (pMsg->wParam < 0x10 || pMsg->wParam > 0x12) {
      m_accel.key = static_cast<WORD>(pMsg->wParam);
      if (bDown) {
        m_bKeyDefined = TRUE;
        m_accel.fVirt |= FVIRTKEY;
      }
    }
  }
  if (!m_pManager || m_pManager->CanAssignKey(&m_accel, 0)) {
    CString str;
    m_keyHelper.Format(str);
    SetWindowText(str);
  } else {
    ResetKey();
  }
  return TRUE;
}
