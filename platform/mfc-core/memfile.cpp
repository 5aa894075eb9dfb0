#include "platform/mfc-core/memfile.h"

#include "platform/base/hresult.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CMemFile, CFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes), m_nPosition(0), m_nBufferSize(0), m_nFileSize(0), m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE)
{
}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes)
{
  Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() { Close(); }

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
  Close();
  m_nGrowBytes = nGrowBytes;
  m_nPosition = 0;
  m_nBufferSize = lpBuffer != nullptr ? nBufferSize : 0;
  m_nFileSize = nGrowBytes == 0 ? m_nBufferSize : 0;
  m_lpBuffer = lpBuffer;
  m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
  BYTE* buffer = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
  return buffer;
}

void CMemFile::GrowFile(SIZE_T dwNewLen)
{
  if (dwNewLen <= m_nBufferSize) {
    return;
  }
  if (m_nGrowBytes == 0) {
    AfxThrowMemoryException();
  }
  SIZE_T newSize = m_nBufferSize;
  if (newSize == 0) {
    newSize = m_nGrowBytes;
  }
  // Doubling keeps a long run of small writes linear; the step still rounds the size as the framework's does.
  while (newSize < dwNewLen) {
    newSize = newSize > (SIZE_MAX / 2) ? dwNewLen : newSize * 2;
  }
  newSize = (newSize + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
  BYTE* grown = nullptr;
  if (m_bAutoDelete) {
    grown = static_cast<BYTE*>(std::realloc(m_lpBuffer, newSize));
  } else {
    // The caller's buffer is not ours to reallocate: continue in a copy of our own.
    grown = static_cast<BYTE*>(std::malloc(newSize));
    if (grown != nullptr && m_nFileSize > 0) {
      std::memcpy(grown, m_lpBuffer, m_nFileSize);
    }
  }
  if (grown == nullptr) {
    AfxThrowMemoryException();
  }
  m_lpBuffer = grown;
  m_nBufferSize = newSize;
  m_bAutoDelete = TRUE;
}

ULONGLONG CMemFile::GetPosition() const { return m_nPosition; }

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
  LONGLONG base = nFrom == begin ? 0 : nFrom == current ? static_cast<LONGLONG>(m_nPosition) : static_cast<LONGLONG>(m_nFileSize);
  LONGLONG newPosition = base + lOff;
  if (newPosition < 0) {
    AfxThrowFileException(CFileException::badSeek, static_cast<LONG>(ERROR_INVALID_PARAMETER), m_strFileName);
  }
  m_nPosition = static_cast<SIZE_T>(newPosition);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
  if (dwNewLen > m_nBufferSize) {
    GrowFile(static_cast<SIZE_T>(dwNewLen));
  }
  if (dwNewLen > m_nFileSize) {
    std::memset(m_lpBuffer + m_nFileSize, 0, static_cast<SIZE_T>(dwNewLen) - m_nFileSize);
  }
  m_nFileSize = static_cast<SIZE_T>(dwNewLen);
  if (m_nPosition > m_nFileSize) {
    m_nPosition = m_nFileSize;
  }
}

ULONGLONG CMemFile::GetLength() const { return m_nFileSize; }

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
  if (nCount == 0 || m_nPosition >= m_nFileSize) {
    return 0;
  }
  const SIZE_T n = std::min<SIZE_T>(nCount, m_nFileSize - m_nPosition);
  std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
  m_nPosition += n;
  return static_cast<UINT>(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
  if (nCount == 0) {
    return;
  }
  const SIZE_T end = m_nPosition + nCount;
  if (end > m_nBufferSize) {
    GrowFile(end);
  }
  if (m_nPosition > m_nFileSize) {
    // A write after a seek beyond the end: the gap reads as zeros.
    std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  }
  std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
  m_nPosition = end;
  if (end > m_nFileSize) {
    m_nFileSize = end;
  }
}

void CMemFile::Close()
{
  if (m_bAutoDelete) {
    std::free(m_lpBuffer);
  }
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
}

void CMemFile::Abort() { Close(); }
