#include "app/shell/net_fetch.h"

#include "platform/net/internet.h"

#include <memory>

namespace shell {

namespace {

// The stop request holds for the calls of this thread while one of ours runs.
class ThreadStop {
public:
  explicit ThreadStop(const std::atomic<bool>& stop) { net::SetThreadStopFlag(&stop); }
  ~ThreadStop() { net::SetThreadStopFlag(nullptr); }
  ThreadStop(const ThreadStop&) = delete;
  ThreadStop& operator=(const ThreadStop&) = delete;
};

}  // namespace

bool NetUpdateFetch::CheckConnection(const std::string& address, const std::atomic<bool>& stop)
{
  ThreadStop inForce(stop);
  return InternetCheckConnectionA(address.c_str(), FLAG_ICC_FORCE_CONNECTION, 0) != FALSE;
}

UpdateFetch::Result NetUpdateFetch::Fetch(const std::string& address, std::string* body, const std::atomic<bool>& stop)
{
  ThreadStop inForce(stop);
  body->clear();
  CInternetSession session;
  session.SetMaxResourceBytes(m_maxBytes);
  std::unique_ptr<CInternetFile> file;
  try {
    file.reset(session.OpenURL(address.c_str(), 1, INTERNET_FLAG_TRANSFER_BINARY | INTERNET_FLAG_RELOAD));
  } catch (CInternetException* e) {
    e->Delete();
    return Result::NotOpened;
  }
  try {
    char buffer[4096];
    while (UINT got = file->Read(buffer, sizeof buffer))
      body->append(buffer, got);
  } catch (CInternetException* e) {
    e->Delete();
    body->clear();
    return Result::Broken;
  }
  return Result::Opened;
}

}  // namespace shell
