// A small HTTP server on 127.0.0.1 (port chosen by the system) for the tests of the network code: it serves what a
// test puts on a path, logs every request line, and can misbehave on purpose (error status, a body shorter than
// announced, a body that stalls until the server goes away). It never listens beyond the loopback address.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_net {

struct Route {
  int status = 200;
  std::string body;
  // The length announced; -1: the body's own.
  long long announcedLength = -1;
  // Bytes of the body sent before the connection hangs until the server stops; -1: no stall.
  long long stallAfter = -1;
  std::string location;  // a redirect target
};

class LoopbackServer {
public:
  LoopbackServer()
  {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(m_listener, 16);
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { AcceptLoop(); });
  }

  ~LoopbackServer()
  {
    {
      std::lock_guard lock(m_mutex);
      m_stopping = true;
    }
    m_stopped.notify_all();
    m_acceptor.join();
    for (std::thread& t : m_connections)
      t.join();
    close(m_listener);
  }

  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int Port() const { return m_port; }
  std::string Base() const { return "http://127.0.0.1:" + std::to_string(m_port); }
  std::string Url(const std::string& path) const { return Base() + path; }

  void Serve(const std::string& path, Route route)
  {
    std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(route);
  }
  void Serve(const std::string& path, const std::string& body) { Serve(path, Route{200, body, -1, -1, {}}); }

  // Request targets (path and query) in the order they came.
  std::vector<std::string> Requests() const
  {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }
  // Connections that are hanging in a stalled body now.
  int Stalled() const { return m_stalled.load(); }

private:
  void AcceptLoop()
  {
    for (;;) {
      {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
          return;
      }
      pollfd p{m_listener, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0)
        continue;
      const int connection = accept(m_listener, nullptr, nullptr);
      if (connection < 0)
        continue;
      std::lock_guard lock(m_mutex);
      m_connections.emplace_back([this, connection] { Handle(connection); });
    }
  }

  void Handle(int connection)
  {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
      pollfd p{connection, POLLIN, 0};
      if (poll(&p, 1, 2000) <= 0)
        break;
      const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
      if (n <= 0)
        break;
      request.append(buffer, static_cast<std::size_t>(n));
    }
    const std::size_t firstSpace = request.find(' ');
    const std::size_t secondSpace = request.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) {
      close(connection);
      return;
    }
    const std::string target = request.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    const std::string path = target.substr(0, target.find('?'));
    Route route{404, "not here", -1, -1, {}};
    {
      std::lock_guard lock(m_mutex);
      m_requests.push_back(target);
      auto found = m_routes.find(path);
      if (found != m_routes.end())
        route = found->second;
    }
    const long long announced =
        route.announcedLength >= 0 ? route.announcedLength : static_cast<long long>(route.body.size());
    std::string head = "HTTP/1.1 " + std::to_string(route.status) + " X\r\nContent-Length: " +
                       std::to_string(announced) + "\r\nConnection: close\r\n";
    if (!route.location.empty())
      head += "Location: " + route.location + "\r\n";
    head += "\r\n";
    SendAll(connection, head);
    if (route.stallAfter >= 0) {
      SendAll(connection, route.body.substr(0, static_cast<std::size_t>(route.stallAfter)));
      ++m_stalled;
      std::unique_lock lock(m_mutex);
      m_stopped.wait(lock, [this] { return m_stopping; });
      --m_stalled;
    } else {
      SendAll(connection, route.body);
    }
    close(connection);
  }

  static void SendAll(int connection, const std::string& data)
  {
    std::size_t sent = 0;
    while (sent < data.size()) {
      const ssize_t n = send(connection, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
      if (n <= 0)
        return;
      sent += static_cast<std::size_t>(n);
    }
  }

  int m_listener = -1;
  int m_port = 0;
  std::thread m_acceptor;
  std::vector<std::thread> m_connections;
  mutable std::mutex m_mutex;
  std::condition_variable m_stopped;
  bool m_stopping = false;
  std::atomic<int> m_stalled{0};
  std::map<std::string, Route> m_routes;
  std::vector<std::string> m_requests;
};

// A loopback port nobody listens on: connections to it are refused at once.
inline int ClosedLoopbackPort()
{
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  close(s);
  return ntohs(address.sin_port);
}

}  // namespace testing_net
