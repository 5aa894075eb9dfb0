#include "platform/net/internet.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

IMPLEMENT_DYNAMIC(CInternetException, CException)

namespace net {
namespace {

struct Settings {
  std::atomic<DWORD> connectMs{5000};
  std::atomic<DWORD> stallMs{30000};
  std::mutex caMutex;
  std::string caFile;
};

Settings& TheSettings()
{
  static Settings settings;
  return settings;
}

thread_local const std::atomic<bool>* t_stop = nullptr;

bool StopRequested() { return t_stop != nullptr && t_stop->load(); }

void GlobalInit()
{
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

int OnProgress(void*, curl_off_t, curl_off_t, curl_off_t, curl_off_t) { return StopRequested() ? 1 : 0; }

void ApplyCommonOptions(CURL* easy, const char* url, const CString& agent)
{
  Settings& s = TheSettings();
  curl_easy_setopt(easy, CURLOPT_URL, url);
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(s.connectMs.load()));
  // A server that stops sending is a failed transfer, not a thread waiting for ever.
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, static_cast<long>(s.stallMs.load() / 1000)));
  curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &OnProgress);
  if (!agent.IsEmpty())
    curl_easy_setopt(easy, CURLOPT_USERAGENT, static_cast<const char*>(agent));
  std::lock_guard lock(s.caMutex);
  if (!s.caFile.empty())
    curl_easy_setopt(easy, CURLOPT_CAINFO, s.caFile.c_str());
}

DWORD ErrorOf(CURLcode code)
{
  switch (code) {
  case CURLE_UNSUPPORTED_PROTOCOL:
    return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
  case CURLE_URL_MALFORMAT:
    return ERROR_INTERNET_INVALID_URL;
  case CURLE_COULDNT_RESOLVE_HOST:
  case CURLE_COULDNT_RESOLVE_PROXY:
    return ERROR_INTERNET_NAME_NOT_RESOLVED;
  case CURLE_COULDNT_CONNECT:
    return ERROR_INTERNET_CANNOT_CONNECT;
  case CURLE_OPERATION_TIMEDOUT:
    return ERROR_INTERNET_TIMEOUT;
  case CURLE_ABORTED_BY_CALLBACK:
    return ERROR_INTERNET_OPERATION_CANCELLED;
  case CURLE_PEER_FAILED_VERIFICATION:
  case CURLE_SSL_CONNECT_ERROR:
  case CURLE_SSL_CACERT_BADFILE:
    return ERROR_INTERNET_SEC_CERT_ERRORS;
  case CURLE_PARTIAL_FILE:
  case CURLE_RECV_ERROR:
  case CURLE_GOT_NOTHING:
    return ERROR_INTERNET_CONNECTION_ABORTED;
  case CURLE_WEIRD_SERVER_REPLY:
  case CURLE_TOO_MANY_REDIRECTS:
    return ERROR_HTTP_INVALID_SERVER_RESPONSE;
  default:
    return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

// Runs an easy handle to its end in steps short enough for a stop request to be seen at once.
CURLcode PerformStoppable(CURL* easy)
{
  CURLM* multi = curl_multi_init();
  if (!multi)
    return CURLE_OUT_OF_MEMORY;
  curl_multi_add_handle(multi, easy);
  CURLcode result = CURLE_OK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    if (running == 0) {
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(multi, &left))
        if (message->msg == CURLMSG_DONE)
          result = message->data.result;
      break;
    }
    if (StopRequested()) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(multi, nullptr, 0, 50, nullptr);
  }
  curl_multi_remove_handle(multi, easy);
  curl_multi_cleanup(multi);
  return result;
}

}  // namespace

void SetThreadStopFlag(const std::atomic<bool>* stop) { t_stop = stop; }
void SetConnectTimeout(DWORD milliseconds) { TheSettings().connectMs = milliseconds; }
void SetStallTimeout(DWORD milliseconds) { TheSettings().stallMs = milliseconds; }

void SetCertificateAuthorityFile(const std::string& path)
{
  std::lock_guard lock(TheSettings().caMutex);
  TheSettings().caFile = path;
}

// One resource being received. The body is pulled from the connection only as fast as Read asks for it, so a
// reader that stops also stops the transfer.
class Transfer {
public:
  Transfer(const char* url, const CString& agent, ULONGLONG maxBytes) : m_maxBytes(maxBytes)
  {
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    if (!m_easy || !m_multi) {
      curl_easy_cleanup(m_easy);
      curl_multi_cleanup(m_multi);
      Throw(ERROR_INTERNET_INTERNAL_ERROR);
    }
    ApplyCommonOptions(m_easy, url, agent);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_multi_add_handle(m_multi, m_easy);
  }

  ~Transfer()
  {
    if (m_multi && m_easy)
      curl_multi_remove_handle(m_multi, m_easy);
    if (m_easy)
      curl_easy_cleanup(m_easy);
    if (m_multi)
      curl_multi_cleanup(m_multi);
  }

  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  void Open()
  {
    while (!m_headersDone && !m_finished)
      Pump();
    if (!m_headersDone && m_result != CURLE_OK)
      Throw(ErrorOf(m_result));
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &m_status);
    if (m_status >= 400)
      Throw(ERROR_INTERNET_HTTP_ERROR_STATUS);
    if (m_status < 200)
      Throw(ERROR_HTTP_INVALID_SERVER_RESPONSE);
    curl_off_t length = -1;
    curl_easy_getinfo(m_easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    m_length = length > 0 ? static_cast<ULONGLONG>(length) : 0;
    if (m_length > m_maxBytes)
      Throw(ERROR_INTERNET_RESOURCE_TOO_LARGE);
  }

  UINT Read(void* buffer, UINT count)
  {
    while (m_buffer.size() - m_readPos < count && !m_finished)
      Pump();
    const std::size_t n = std::min<std::size_t>(count, m_buffer.size() - m_readPos);
    if (n == 0 && m_finished) {
      if (m_tooLarge)
        Throw(ERROR_INTERNET_RESOURCE_TOO_LARGE);
      if (m_result != CURLE_OK)
        Throw(ErrorOf(m_result));
      return 0;
    }
    std::memcpy(buffer, m_buffer.data() + m_readPos, n);
    m_readPos += n;
    if (m_readPos == m_buffer.size()) {
      m_buffer.clear();
      m_readPos = 0;
    }
    return static_cast<UINT>(n);
  }

  ULONGLONG Length() const { return m_length; }
  long Status() const { return m_status; }

private:
  [[noreturn]] void Throw(DWORD error) { throw new CInternetException(error, m_status); }

  void Pump()
  {
    int running = 0;
    if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
      Finish(CURLE_FAILED_INIT);
      return;
    }
    if (running == 0) {
      CURLcode result = CURLE_OK;
      int left = 0;
      while (CURLMsg* message = curl_multi_info_read(m_multi, &left))
        if (message->msg == CURLMSG_DONE)
          result = message->data.result;
      Finish(result);
      return;
    }
    if (StopRequested()) {
      Finish(CURLE_ABORTED_BY_CALLBACK);
      return;
    }
    curl_multi_poll(m_multi, nullptr, 0, 50, nullptr);
  }

  void Finish(CURLcode result)
  {
    m_finished = true;
    m_result = result;
  }

  static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self)
  {
    auto* t = static_cast<Transfer*>(self);
    const std::size_t n = size * count;
    if (t->m_received + n > t->m_maxBytes) {
      t->m_tooLarge = true;
      return 0;
    }
    t->m_received += n;
    t->m_buffer.append(data, n);
    return n;
  }

  static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self)
  {
    auto* t = static_cast<Transfer*>(self);
    const std::size_t n = size * count;
    const bool blankLine = (n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n');
    if (blankLine) {
      long status = 0;
      curl_easy_getinfo(t->m_easy, CURLINFO_RESPONSE_CODE, &status);
      // Interim answers and redirects are followed by the answer that counts.
      if (status >= 200 && (status < 300 || status >= 400))
        t->m_headersDone = true;
    }
    return n;
  }

  CURL* m_easy = nullptr;
  CURLM* m_multi = nullptr;
  ULONGLONG m_maxBytes;
  std::string m_buffer;
  std::size_t m_readPos = 0;
  ULONGLONG m_received = 0;
  ULONGLONG m_length = 0;
  long m_status = 0;
  bool m_headersDone = false;
  bool m_finished = false;
  bool m_tooLarge = false;
  CURLcode m_result = CURLE_OK;
};

}  // namespace net

BOOL InternetCheckConnectionA(LPCSTR url, DWORD, DWORD)
{
  if (!url || !*url)
    return FALSE;
  net::GlobalInit();
  CURL* easy = curl_easy_init();
  if (!easy)
    return FALSE;
  net::ApplyCommonOptions(easy, url, CString());
  curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L);
  const CURLcode result = net::PerformStoppable(easy);
  curl_easy_cleanup(easy);
  return result == CURLE_OK ? TRUE : FALSE;
}

BOOL CInternetException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
  if (pnHelpContext)
    *pnHelpContext = 0;
  if (!lpszError || nMaxError == 0)
    return FALSE;
  char text[96];
  if (m_dwError == ERROR_INTERNET_HTTP_ERROR_STATUS)
    std::snprintf(text, sizeof text, "Сервер ответил ошибкой %ld.", m_dwStatus);
  else
    std::snprintf(text, sizeof text, "Ошибка сети %lu.", static_cast<unsigned long>(m_dwError));
  const std::size_t n = std::min<std::size_t>(std::strlen(text), nMaxError - 1);
  std::memcpy(lpszError, text, n);
  lpszError[n] = '\0';
  return TRUE;
}

CInternetFile::CInternetFile(std::unique_ptr<net::Transfer> transfer) : m_transfer(std::move(transfer)) {}
CInternetFile::~CInternetFile() = default;

UINT CInternetFile::Read(void* buffer, UINT count)
{
  if (!m_transfer || !buffer)
    return 0;
  return m_transfer->Read(buffer, count);
}

BOOL CInternetFile::ReadString(CString& line)
{
  line.Empty();
  std::string text;
  char c = 0;
  bool any = false;
  while (Read(&c, 1) == 1) {
    any = true;
    if (c == '\n')
      break;
    text.push_back(c);
  }
  if (!text.empty() && text.back() == '\r')
    text.pop_back();
  line = text.c_str();
  return any ? TRUE : FALSE;
}

ULONGLONG CInternetFile::GetLength() const { return m_transfer ? m_transfer->Length() : 0; }
long CInternetFile::GetStatusCode() const { return m_transfer ? m_transfer->Status() : 0; }
void CInternetFile::Close() { m_transfer.reset(); }

CInternetSession::CInternetSession(LPCSTR agent, DWORD_PTR, DWORD, LPCSTR, LPCSTR, DWORD)
    : m_agent(agent ? agent : ""), m_maxBytes(net::kDefaultMaxResourceBytes)
{
  net::GlobalInit();
}

CInternetSession::~CInternetSession() { Close(); }

CInternetFile* CInternetSession::OpenURL(LPCSTR url, DWORD_PTR, DWORD, LPCSTR, DWORD)
{
  if (!url || !*url)
    throw new CInternetException(ERROR_INTERNET_INVALID_URL);
  if (net::StopRequested())
    throw new CInternetException(ERROR_INTERNET_OPERATION_CANCELLED);
  auto transfer = std::make_unique<net::Transfer>(url, m_agent, m_maxBytes);
  transfer->Open();
  return new CInternetFile(std::move(transfer));
}

void CInternetSession::Close() {}
