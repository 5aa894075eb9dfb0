// CMemFile: a file in memory. It grows in steps of nGrowBytes, or works over a buffer the caller attaches.
// Buffers it allocates come from malloc, so a detached buffer is released with free().
#pragma once

#include "platform/mfc-core/cfile.h"

class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
public:
  explicit CMemFile(UINT nGrowBytes = 1024);
  // Over the caller's buffer: with nGrowBytes 0 the buffer's bytes are the file (fixed size, as for reading);
  // otherwise the file starts empty and grows into a new buffer of its own when the caller's is full.
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  // Hands the buffer to the caller (malloc'ed unless it was the caller's own) and leaves the file empty.
  BYTE* Detach();

  ULONGLONG GetPosition() const override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  void SetLength(ULONGLONG dwNewLen) override;
  ULONGLONG GetLength() const override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  void Flush() override {}
  void Close() override;
  void Abort() override;

  // The bytes held, for readers that look without copying.
  const BYTE* GetData() const { return m_lpBuffer; }

protected:
  // Grows the buffer to hold at least dwNewLen bytes; CMemoryException when it cannot.
  void GrowFile(SIZE_T dwNewLen);

  UINT m_nGrowBytes;
  SIZE_T m_nPosition;
  SIZE_T m_nBufferSize;
  SIZE_T m_nFileSize;
  BYTE* m_lpBuffer;
  BOOL m_bAutoDelete;  // the buffer is ours to free
};
