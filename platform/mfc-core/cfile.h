// CFile: a binary file on disk, throwing CFileException with the cause and the Win32 code on failure.
// Paths are the program's cp1251 text; platform/base/file.h turns them into file-system paths.
#pragma once

#include "platform/base/file.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

#include <ctime>

struct CFileStatus {
  std::time_t m_ctime = 0;  // creation (the status change time here)
  std::time_t m_mtime = 0;  // last write
  std::time_t m_atime = 0;  // last access
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;     // CFile::Attribute bits
  char m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
    osNoBuffer = 0x10000,
    osWriteThrough = 0x20000,
    osRandomAccess = 0x40000,
    osSequentialScan = 0x80000,
  };
  enum Attribute : BYTE {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20,
  };
  enum SeekPosition : UINT { begin = 0x0, current = 0x1, end = 0x2 };

  CFile();
  // Opens or throws CFileException.
  CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
  ~CFile() override;

  // FALSE on failure; the cause then goes into *pError when given.
  virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);

  virtual ULONGLONG GetPosition() const;
  virtual CString GetFileName() const;
  virtual CString GetFileTitle() const;
  virtual CString GetFilePath() const;
  virtual void SetFilePath(LPCTSTR lpszNewName);

  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual ULONGLONG GetLength() const;

  // Answers the bytes read: fewer than asked only at the end of the file.
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual void Flush();
  virtual void Close();
  // Closes without throwing.
  virtual void Abort();

  BOOL GetStatus(CFileStatus& rStatus) const;
  static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
  static void Remove(LPCTSTR lpszFileName);

  BOOL IsOpen() const { return m_file.IsOpen(); }

  // Non-null while the file is open, as code that tests m_hFile expects.
  HANDLE m_hFile;
  static const HANDLE hFileNull;

protected:
  [[noreturn]] void ThrowOsError(DWORD error) const;

  CString m_strFileName;
  BOOL m_bCloseOnDelete;

private:
  platform::FileHandle m_file;
};
