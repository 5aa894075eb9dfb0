#include "platform/mfc-core/cfile.h"

#include "platform/base/fileops.h"
#include "platform/base/hresult.h"
#include "platform/base/paths.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

platform::FileShare ShareFromFlags(UINT nOpenFlags)
{
  switch (nOpenFlags & 0x70) {
  case CFile::shareDenyNone:
    return platform::FileShare::DenyNone;
  case CFile::shareDenyWrite:
    return platform::FileShare::DenyWrite;
  case CFile::shareDenyRead:
    return platform::FileShare::DenyRead;
  default:
    // The framework opens shareCompat files exclusively, as it does shareExclusive ones.
    return platform::FileShare::Exclusive;
  }
}

}  // namespace

CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile()
{
  CFileException error;
  if (!Open(lpszFileName, nOpenFlags, &error)) {
    AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
  }
}

CFile::~CFile()
{
  if (IsOpen() && m_bCloseOnDelete) {
    Abort();
  }
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
  if (IsOpen()) {
    Abort();
  }
  platform::FileAccess access = platform::FileAccess::Read;
  switch (nOpenFlags & 3) {
  case modeWrite:
    access = platform::FileAccess::Write;
    break;
  case modeReadWrite:
    access = platform::FileAccess::ReadWrite;
    break;
  default:
    break;
  }
  platform::FileCreation creation = platform::FileCreation::OpenExisting;
  if (nOpenFlags & modeCreate) {
    creation = (nOpenFlags & modeNoTruncate) ? platform::FileCreation::OpenAlways : platform::FileCreation::CreateAlways;
  }
  const char* name = lpszFileName != nullptr ? lpszFileName : "";
  DWORD error = m_file.Open(name, access, creation, ShareFromFlags(nOpenFlags));
  if (error != ERROR_SUCCESS) {
    if (pError != nullptr) {
      pError->m_cause = CFileException::OsErrorToException(static_cast<LONG>(error));
      pError->m_lOsError = static_cast<LONG>(error);
      pError->m_strFileName = name;
    }
    return FALSE;
  }
  m_strFileName = name;
  m_hFile = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(m_file.Descriptor()));
  m_bCloseOnDelete = TRUE;
  return TRUE;
}

void CFile::ThrowOsError(DWORD error) const
{
  AfxThrowFileException(CFileException::OsErrorToException(static_cast<LONG>(error)), static_cast<LONG>(error),
                        m_strFileName);
}

ULONGLONG CFile::GetPosition() const
{
  std::uint64_t position = 0;
  // Seeking by 0 from the current place changes nothing, so the handle may be used from a const member.
  DWORD error = const_cast<platform::FileHandle&>(m_file).Seek(0, platform::SeekOrigin::Current, &position);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
  return position;
}

CString CFile::GetFileName() const { return CString(platform::FileNameOf(m_strFileName.str())); }

CString CFile::GetFileTitle() const
{
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

CString CFile::GetFilePath() const { return m_strFileName; }

void CFile::SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
  platform::SeekOrigin origin = nFrom == begin     ? platform::SeekOrigin::Begin
                                : nFrom == current ? platform::SeekOrigin::Current
                                                   : platform::SeekOrigin::End;
  std::uint64_t position = 0;
  DWORD error = m_file.Seek(lOff, origin, &position);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
  return position;
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
  DWORD error = m_file.SetLength(dwNewLen);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
}

ULONGLONG CFile::GetLength() const
{
  std::uint64_t length = 0;
  DWORD error = m_file.GetLength(&length);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
  return length;
}

UINT CFile::Read(void* lpBuf, UINT nCount)
{
  if (nCount == 0) {
    return 0;
  }
  std::size_t done = 0;
  DWORD error = m_file.Read(lpBuf, nCount, &done);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
  return static_cast<UINT>(done);
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
  if (nCount == 0) {
    return;
  }
  DWORD error = m_file.Write(lpBuf, nCount);
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
}

void CFile::Flush()
{
  if (!IsOpen()) {
    return;
  }
  DWORD error = m_file.Flush();
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
}

void CFile::Close()
{
  DWORD error = m_file.Close();
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (error != ERROR_SUCCESS) {
    ThrowOsError(error);
  }
  m_strFileName.Empty();
}

void CFile::Abort()
{
  m_file.Close();
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  m_strFileName.Empty();
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const { return GetStatus(m_strFileName, rStatus); }

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
  rStatus = CFileStatus{};
  if (lpszFileName == nullptr) {
    return FALSE;
  }
  platform::FileInfo info;
  if (platform::GetFileInfo(lpszFileName, &info) != ERROR_SUCCESS) {
    return FALSE;
  }
  rStatus.m_ctime = rStatus.m_mtime = rStatus.m_atime = static_cast<std::time_t>(info.modifiedTime);
  rStatus.m_size = info.size;
  rStatus.m_attribute = static_cast<BYTE>((info.isDirectory ? directory : 0) | (info.isReadOnly ? readOnly : 0));
  const std::size_t n = std::min<std::size_t>(std::strlen(lpszFileName), MAX_PATH - 1);
  std::memcpy(rStatus.m_szFullName, lpszFileName, n);
  rStatus.m_szFullName[n] = '\0';
  return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
  if (!MoveFile(lpszOldName, lpszNewName)) {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
  }
}

void CFile::Remove(LPCTSTR lpszFileName)
{
  if (!DeleteFile(lpszFileName)) {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
  }
}
