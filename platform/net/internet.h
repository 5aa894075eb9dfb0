// WinINet as the program uses it: InternetCheckConnectionA, and a session that opens a resource by its address
// and reads it as a file. Only http and https are ever spoken, also on redirects; TLS is verified.
//
// Stricter than WinINet, because everything read here comes from the network:
// - an answer with status 400 or above is not a file: OpenURL throws, so an error page is never read as data;
// - a transfer that ends before the length the server announced throws from Read, never reads as an end;
// - a resource larger than the session's cap throws from Read;
// - a thread's stop request (SetThreadStopFlag) ends a connection check or a transfer of that thread at once.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/exceptions.h"
#include "platform/mfc-core/mfcstring.h"

#include <atomic>
#include <cstdint>
#include <memory>

inline constexpr DWORD FLAG_ICC_FORCE_CONNECTION = 0x00000001;
inline constexpr DWORD PRE_CONFIG_INTERNET_ACCESS = 0;
inline constexpr DWORD INTERNET_FLAG_TRANSFER_BINARY = 0x00000002;
inline constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;

inline constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
inline constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
inline constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
inline constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
inline constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
inline constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
inline constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
inline constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
inline constexpr DWORD ERROR_INTERNET_SEC_CERT_ERRORS = 12055;
inline constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
// Ours: the server answered with an error status (m_dwStatus holds it).
inline constexpr DWORD ERROR_INTERNET_HTTP_ERROR_STATUS = 12999;
// Ours: the resource is larger than the session lets through.
inline constexpr DWORD ERROR_INTERNET_RESOURCE_TOO_LARGE = 12998;

// Whether a connection to the address's host can be made now (with the flag, a real connection is opened and
// closed). No connection within the connect time-out: FALSE.
BOOL InternetCheckConnectionA(LPCSTR url, DWORD flags, DWORD reserved);

class CInternetException : public CException {
  DECLARE_DYNAMIC(CInternetException)
public:
  explicit CInternetException(DWORD error, long status = 0) : m_dwError(error), m_dwStatus(status) {}
  using CException::GetErrorMessage;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

  DWORD m_dwError;
  long m_dwStatus;  // the HTTP status, when there was an answer
};

namespace net {
class Transfer;
}

// An open resource. Read and ReadString throw CInternetException* on a failed or cut-off transfer.
class CInternetFile {
public:
  ~CInternetFile();
  CInternetFile(const CInternetFile&) = delete;
  CInternetFile& operator=(const CInternetFile&) = delete;

  // Up to `count` bytes; 0 only at the end of a whole resource.
  UINT Read(void* buffer, UINT count);
  // The next line without its end; FALSE at the end.
  BOOL ReadString(CString& line);
  // The length the server announced; 0 when it announced none.
  ULONGLONG GetLength() const;
  long GetStatusCode() const;
  void Close();

private:
  friend class CInternetSession;
  explicit CInternetFile(std::unique_ptr<net::Transfer> transfer);
  std::unique_ptr<net::Transfer> m_transfer;
};

class CInternetSession {
public:
  explicit CInternetSession(LPCSTR agent = nullptr, DWORD_PTR context = 1, DWORD accessType = PRE_CONFIG_INTERNET_ACCESS,
                            LPCSTR proxy = nullptr, LPCSTR proxyBypass = nullptr, DWORD flags = 0);
  ~CInternetSession();

  // The caller owns the file. Throws CInternetException* when the resource cannot be opened: a bad address, no
  // connection, a status of 400 or above, a stop request.
  CInternetFile* OpenURL(LPCSTR url, DWORD_PTR context = 1, DWORD flags = INTERNET_FLAG_TRANSFER_BINARY,
                         LPCSTR headers = nullptr, DWORD headersLength = 0);
  void Close();

  // The most a resource opened by this session may hold (bytes).
  void SetMaxResourceBytes(ULONGLONG bytes) { m_maxBytes = bytes; }

private:
  CString m_agent;
  ULONGLONG m_maxBytes;
};

namespace net {

// The stop request the calling thread honours in every connection check and transfer; null: none.
void SetThreadStopFlag(const std::atomic<bool>* stop);
// Time-out for making a connection and for a silent connection, in milliseconds (default 5000 and 30000).
void SetConnectTimeout(DWORD milliseconds);
void SetStallTimeout(DWORD milliseconds);
// A file of the certificate authorities trusted in place of the system's; empty: the system's.
void SetCertificateAuthorityFile(const std::string& path);

inline constexpr ULONGLONG kDefaultMaxResourceBytes = 256ull * 1024 * 1024;

}  // namespace net
