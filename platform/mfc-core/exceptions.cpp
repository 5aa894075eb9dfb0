#include "platform/mfc-core/exceptions.h"

#include "platform/base/hresult.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

BOOL CopyMessage(const char* text, LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext)
{
  if (pnHelpContext != nullptr) {
    *pnHelpContext = 0;
  }
  if (lpszError == nullptr || nMaxError == 0) {
    return FALSE;
  }
  const std::size_t n = std::min<std::size_t>(std::strlen(text), nMaxError - 1);
  std::memcpy(lpszError, text, n);
  lpszError[n] = '\0';
  return TRUE;
}

// Messages with a file name end in one; "%s" stands for it.
BOOL CopyMessageWithName(const char* text, const CString& name, LPTSTR lpszError, UINT nMaxError,
                         UINT* pnHelpContext)
{
  CString message;
  message.Format(text, name.IsEmpty() ? "" : name.GetString());
  return CopyMessage(message.GetString(), lpszError, nMaxError, pnHelpContext);
}

}  // namespace

namespace platform {
ReportErrorFunction ReportErrorHook = nullptr;
}  // namespace platform

int CException::ReportError(UINT nType, UINT nMessageID)
{
  CString message = GetErrorMessage();
  if (message.IsEmpty() && nMessageID != 0) {
    message.LoadString(nMessageID);
  }
  if (platform::ReportErrorHook != nullptr) {
    return platform::ReportErrorHook(message, nType);
  }
  std::fprintf(stderr, "%s\n", message.ToUtf8().c_str());
  return 1;
}

void CException::Delete()
{
  if (m_bAutoDelete > 0) {
    delete this;
  }
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  if (pnHelpContext != nullptr) {
    *pnHelpContext = 0;
  }
  if (lpszError != nullptr && nMaxError > 0) {
    *lpszError = '\0';
  }
  return FALSE;
}

CString CException::GetErrorMessage() const
{
  char buffer[512];
  return GetErrorMessage(buffer, sizeof buffer) ? CString(buffer) : CString();
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  return CopyMessage("Недостаточно памяти.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  return CopyMessage("Операция не поддерживается.", lpszError, nMaxError, pnHelpContext);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  return CopyMessage("Недопустимый аргумент.", lpszError, nMaxError, pnHelpContext);
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName)
{
}

int CFileException::OsErrorToException(LONG lOsError)
{
  switch (static_cast<DWORD>(lOsError)) {
  case ERROR_SUCCESS:
    return none;
  case ERROR_FILE_NOT_FOUND:
    return fileNotFound;
  case ERROR_PATH_NOT_FOUND:
    return badPath;
  case ERROR_TOO_MANY_OPEN_FILES:
    return tooManyOpenFiles;
  case ERROR_ACCESS_DENIED:
    return accessDenied;
  case ERROR_INVALID_HANDLE:
    return invalidFile;
  case ERROR_SHARING_VIOLATION:
    return sharingViolation;
  case ERROR_HANDLE_EOF:
    return endOfFile;
  case ERROR_DISK_FULL:
    return diskFull;
  case ERROR_READ_FAULT:
  case ERROR_WRITE_FAULT:
    return hardIO;
  case ERROR_INVALID_PARAMETER:
    return badSeek;
  default:
    return genericException;
  }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
  if (lOsError != 0) {
    AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
  }
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  const char* text = "Ошибка при работе с файлом %s.";
  switch (m_cause) {
  case none:
    return CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
  case fileNotFound:
    text = "Файл %s не найден.";
    break;
  case badPath:
    text = "Путь к файлу %s неверен или не существует.";
    break;
  case tooManyOpenFiles:
    text = "Открыто слишком много файлов; файл %s не открыт.";
    break;
  case accessDenied:
    text = "Нет доступа к файлу %s.";
    break;
  case invalidFile:
    text = "Недопустимое обращение к файлу %s.";
    break;
  case badSeek:
    text = "Ошибка позиционирования в файле %s.";
    break;
  case hardIO:
    text = "Ошибка ввода-вывода при работе с файлом %s.";
    break;
  case sharingViolation:
  case lockViolation:
    text = "Файл %s занят другой программой.";
    break;
  case diskFull:
    text = "Диск заполнен; файл %s не записан.";
    break;
  case endOfFile:
    text = "Неожиданный конец файла %s.";
    break;
  default:
    break;
  }
  return CopyMessageWithName(text, m_strFileName, lpszError, nMaxError, pnHelpContext);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  const char* text = "Ошибка чтения или записи файла %s.";
  switch (m_cause) {
  case none:
    return CException::GetErrorMessage(lpszError, nMaxError, pnHelpContext);
  case readOnly:
    text = "Попытка записи в файл %s, открытый для чтения.";
    break;
  case writeOnly:
    text = "Попытка чтения из файла %s, открытого для записи.";
    break;
  case endOfFile:
    text = "Неожиданный конец файла %s.";
    break;
  case badIndex:
  case badClass:
  case badSchema:
    text = "Файл %s поврежден или имеет неверный формат.";
    break;
  default:
    break;
  }
  return CopyMessageWithName(text, m_strFileName, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException()
{
  // Allocating the exception itself may be what fails; one static instance serves.
  static CMemoryException outOfMemory(FALSE);
  throw &outOfMemory;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }

void AfxThrowInvalidArgException() { throw new CInvalidArgException; }

void AfxThrowUserException() { throw new CUserException; }

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
  throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
  throw new CArchiveException(cause, lpszArchiveName);
}
