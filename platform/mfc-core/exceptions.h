// The framework's exceptions. They are thrown by pointer, as the program's code expects:
//   try { ... } catch (CException* e) { ...; e->Delete(); }
// Every exception thrown by the AfxThrow* functions is allocated on the heap and freed by Delete.
#pragma once

#include "platform/mfc-core/mfcstring.h"
#include "platform/mfc-core/object.h"

namespace platform {
// Shows an exception's message to the user; set by the window layer (a message box). Without it the message
// goes to stderr and the answer is 1 (IDOK).
using ReportErrorFunction = int (*)(LPCSTR message, UINT type);
extern ReportErrorFunction ReportErrorHook;
}  // namespace platform

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
public:
  explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
  ~CException() override = default;

  // Frees the exception unless it is a static one.
  void Delete();
  // The message for the user (cp1251), at most nMaxError - 1 characters and a terminator. FALSE when there
  // is no message.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;
  // The same message as a string (empty when there is none).
  CString GetErrorMessage() const;
  // Shows the message (or string nMessageID when there is none) with the given message-box type; answers the
  // button pressed.
  virtual int ReportError(UINT nType = 0x30 /* MB_ICONEXCLAMATION */, UINT nMessageID = 0);

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
public:
  using CException::CException;
  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

class CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
public:
  using CException::CException;
  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

// Thrown on an argument the framework refuses: among others, every out-of-range index of the collections.
class CInvalidArgException : public CException {
  DECLARE_DYNAMIC(CInvalidArgException)
public:
  using CException::CException;
  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

class CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
public:
  using CException::CException;
};

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
public:
  enum {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszArchiveName = nullptr);

  // The cause for a Win32 error code.
  static int OsErrorToException(LONG lOsError);
  // Throws the exception for a Win32 error code; nothing for ERROR_SUCCESS.
  static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);

  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
public:
  enum {
    none = 0,
    genericException = 1,
    readOnly = 2,   // a store into an archive that is loading
    endOfFile = 3,  // a load past the end, or a length the rest of the file cannot hold
    writeOnly = 4,  // a load from an archive that is storing
    badIndex = 5,
    badClass = 6,
    badSchema = 7,
    bufferFull = 8,
  };

  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr);

  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

  int m_cause;
  CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowInvalidArgException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr);
[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);
