// The recent-file list: the last files opened or saved, newest first, kept in the profile as
// "<section>"/"File1".."FileN". Paths compare exactly: the file system tells case apart.
#pragma once

#include "platform/mfc-core/mfcstring.h"

#include <vector>

class CRecentFileList {
public:
  CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize, int nMaxDispLen = 30);
  virtual ~CRecentFileList() = default;

  int GetSize() const { return static_cast<int>(m_arrNames.size()); }
  // An empty text for an index past the files held.
  CString& operator[](int nIndex);

  // Puts the path first; a path already listed moves up, and the oldest falls off a full list.
  virtual void Add(LPCSTR lpszPathName);
  virtual void Remove(int nIndex);
  // The name to show for entry nIndex: only the file's name when it lies in lpszCurDir, else the path,
  // shortened to the display length with "..." for the middle folders. FALSE for an empty entry.
  virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir,
                              BOOL bAtLeastName = TRUE) const;

  virtual void ReadList();
  virtual void WriteList();

  UINT m_nStart;
  CString m_strSectionName;
  CString m_strEntryFormat;
  int m_nMaxDisplayLength;

protected:
  std::vector<CString> m_arrNames;
  CString m_strEmpty;
};
