// The frame's keyboard accelerators while command bars are in use: the table loaded from the resource is kept
// as the default, the current table translates keys, names keys and combinations for menus, tooltips and the
// keyboard page, and is stored in the profile as 6-byte entries.
#pragma once

#include "platform/mfc/afxwin.h"

#include <map>
#include <vector>

class CTKCommandBars;

class CTKShortcutManager : public CCmdTarget {
public:
  // Formats one entry.
  class CKeyHelper {
  public:
    CKeyHelper(const ACCEL* lpAccel, const CTKShortcutManager* pManager) : m_lpAccel(lpAccel), m_pManager(pManager) {}
    void Format(CString& str) const;
    // 3 Ctrl, 2 Alt, 1 Shift, 4 none of them; 0 without an entry.
    int GetPriority() const;

  private:
    const ACCEL* m_lpAccel;
    const CTKShortcutManager* m_pManager;
  };

  // The edit in which a user types a new shortcut.
  class CKeyAssign : public CEdit {
  public:
    explicit CKeyAssign(CTKShortcutManager* pManager = nullptr) : m_keyHelper(&m_accel, pManager), m_pManager(pManager)
    {
    }
    void ResetKey();
    BOOL IsKeyComplete() const { return m_bKeyDefined; }
    const ACCEL* GetAccel() const { return &m_accel; }
    BOOL PreTranslateMessage(MSG* pMsg) override;

  private:
    BOOL m_bKeyDefined = FALSE;
    ACCEL m_accel{};
    CKeyHelper m_keyHelper;
    CTKShortcutManager* m_pManager;
  };

  explicit CTKShortcutManager(CTKCommandBars* pCommandBars = nullptr);
  ~CTKShortcutManager() override;
  CTKShortcutManager(const CTKShortcutManager&) = delete;
  CTKShortcutManager& operator=(const CTKShortcutManager&) = delete;

  // Loads the accelerator resource from the current resource handle as both default and current table.
  HACCEL SetAccelerators(UINT nIDResource);
  void SetAcceleratorTable(const ACCEL* lpAccel, int nCount);
  BOOL TranslateAccelerator(HWND hWnd, MSG* pMsg);
  void DisableShortcuts(BOOL bDisable) { m_nDisableShortcuts += bDisable ? 1 : -1; }
  void SaveShortcuts(LPCSTR lpszSection);
  void LoadShortcuts(LPCSTR lpszSection);
  // The stored form: replaces the table with its whole entries of accelerator flags; FALSE (nothing changed)
  // when there is none.
  BOOL LoadShortcutsFromBytes(const BYTE* pData, UINT nBytes);
  // Whether pressing the virtual key types the character.
  static BOOL CompareAccelKey(TCHAR chAccel, UINT wParam);
  HACCEL GetDefaultAcceleratorTable() const { return m_hDefaultAccelTable; }

  virtual BOOL FindDefaultAccelerator(int nCmd, CString& strShortcut);
  virtual CString Format(const ACCEL* lpAccel, int* pPriority) const;
  virtual CString GetKeyName(UINT uiVirtKey) const;
  virtual BOOL CanAssignKey(const ACCEL* lpAccel, int nCmd) const;
  virtual HACCEL GetAcceleratorTable() const { return m_hAccelTable; }
  virtual void Reset();

  // The entries of a table (empty for none).
  static std::vector<ACCEL> CopyTable(HACCEL hAccel);
  // The 6-byte stored form of entries and back; a trailing part of an entry is dropped.
  static std::vector<BYTE> EncodeEntries(const std::vector<ACCEL>& entries);
  static std::vector<ACCEL> DecodeEntries(const BYTE* pData, UINT nBytes);

  bool m_bAllowEscapeShortcut = false;
  bool m_bUseSystemKeyNameText = false;

private:
  CString GetLayoutKeyName(UINT uiVirtKey) const;

  int m_nDisableShortcuts = 0;
  CTKCommandBars* m_pCommandBars;
  HACCEL m_hAccelTable = nullptr;
  HACCEL m_hDefaultAccelTable = nullptr;
  std::map<UINT, CString> m_mapKeyNames;
};
