#include "platform/mfc/recentfilelist.h"

#include "platform/base/paths.h"
#include "platform/mfc/winapp.h"

#include <algorithm>
#include <cstdio>
#include <string>

CRecentFileList::CRecentFileList(UINT nStart, LPCSTR lpszSection, LPCSTR lpszEntryFormat, int nSize,
                                 int nMaxDispLen)
    : m_nStart(nStart),
      m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat),
      m_nMaxDisplayLength(nMaxDispLen),
      m_arrNames(static_cast<std::size_t>(std::max(nSize, 0)))
{
}

CString& CRecentFileList::operator[](int nIndex)
{
  if (nIndex < 0 || nIndex >= GetSize()) {
    m_strEmpty.Empty();
    return m_strEmpty;
  }
  return m_arrNames[static_cast<std::size_t>(nIndex)];
}

void CRecentFileList::Add(LPCSTR lpszPathName)
{
  if (m_arrNames.empty() || lpszPathName == nullptr || *lpszPathName == '\0') {
    return;
  }
  CString path(lpszPathName);
  auto found = std::find(m_arrNames.begin(), m_arrNames.end(), path);
  // Everything above the old place (or the whole list, dropping the oldest) moves down by one.
  auto last = found != m_arrNames.end() ? found : m_arrNames.end() - 1;
  std::move_backward(m_arrNames.begin(), last, last + 1);
  m_arrNames.front() = path;
}

void CRecentFileList::Remove(int nIndex)
{
  if (nIndex < 0 || nIndex >= GetSize()) {
    return;
  }
  m_arrNames.erase(m_arrNames.begin() + nIndex);
  m_arrNames.emplace_back();
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCSTR lpszCurDir, int nCurDir,
                                     BOOL bAtLeastName) const
{
  if (nIndex < 0 || nIndex >= GetSize() || m_arrNames[static_cast<std::size_t>(nIndex)].IsEmpty()) {
    strName.Empty();
    return FALSE;
  }
  const std::string& path = m_arrNames[static_cast<std::size_t>(nIndex)].str();
  std::string_view folder = platform::FolderOf(path);
  std::string_view name = platform::FileNameOf(path);
  if (lpszCurDir != nullptr && nCurDir > 0 && folder == std::string_view(lpszCurDir, static_cast<std::size_t>(nCurDir))) {
    strName = CString(name);
    return TRUE;
  }
  if (static_cast<int>(path.size()) <= m_nMaxDisplayLength) {
    strName = CString(path);
    return TRUE;
  }
  // Too long: keep the first folder and the name, with "..." for the folders between.
  std::size_t firstEnd = path.find_first_of("/\\", path.size() > 0 && platform::IsPathSeparator(path[0]) ? 1 : 0);
  std::string shortened;
  if (firstEnd != std::string::npos && firstEnd + 1 < path.size() - name.size()) {
    shortened = path.substr(0, firstEnd + 1) + "..." + path[firstEnd] + std::string(name);
  }
  if (!shortened.empty() && static_cast<int>(shortened.size()) <= m_nMaxDisplayLength) {
    strName = CString(shortened);
  } else if (bAtLeastName) {
    strName = CString(name);
  } else {
    strName.Empty();
  }
  return TRUE;
}

namespace {
CString EntryName(const CString& format, int number)
{
  char entry[64];
  std::snprintf(entry, sizeof entry, format.GetString(), number);
  return CString(entry);
}
}  // namespace

void CRecentFileList::ReadList()
{
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return;
  }
  for (int i = 0; i < GetSize(); ++i) {
    m_arrNames[static_cast<std::size_t>(i)] =
        app->GetProfileString(m_strSectionName, EntryName(m_strEntryFormat, i + 1), "");
  }
}

void CRecentFileList::WriteList()
{
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return;
  }
  // Entries that are empty now must not survive from an earlier, longer list.
  app->WriteProfileString(m_strSectionName, nullptr, nullptr);
  for (int i = 0; i < GetSize(); ++i) {
    const CString& name = m_arrNames[static_cast<std::size_t>(i)];
    if (!name.IsEmpty()) {
      app->WriteProfileString(m_strSectionName, EntryName(m_strEntryFormat, i + 1), name);
    }
  }
}
