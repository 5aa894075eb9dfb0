#include "platform/net/internet.h"
#include "tests/platform/net/loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace {

using testing_net::LoopbackServer;
using testing_net::Route;

struct Outcome {
  bool opened = false;
  std::string body;
  DWORD error = 0;  // of the exception, from OpenURL or Read
  long status = 0;
};

Outcome Fetch(const std::string& url, ULONGLONG cap = net::kDefaultMaxResourceBytes)
{
  Outcome o;
  CInternetSession session;
  session.SetMaxResourceBytes(cap);
  try {
    std::unique_ptr<CInternetFile> file(session.OpenURL(url.c_str()));
    o.opened = true;
    o.status = file->GetStatusCode();
    char block[128];
    while (UINT n = file->Read(block, sizeof block))
      o.body.append(block, n);
  } catch (CInternetException* e) {
    o.error = e->m_dwError;
    o.status = e->m_dwStatus;
    e->Delete();
  }
  return o;
}

TEST(Internet, WhatOpensAndWhatIsReadFromTheAnswer)
{
  LoopbackServer server;
  const std::string big(5000, 'x');
  server.Serve("/whole", big);
  server.Serve("/missing", Route{404, "<html>not found</html>", -1, -1, {}});
  server.Serve("/broken", Route{500, "<html>oops</html>", -1, -1, {}});
  server.Serve("/short", Route{200, std::string(40, 'a'), 100, -1, {}});
  server.Serve("/moved", Route{302, "", -1, -1, "/whole"});
  server.Serve("/to-file", Route{302, "", -1, -1, "file:///etc/passwd"});
  server.Serve("/large", std::string(2000, 'z'));

  struct Case {
    const char* what;
    std::string url;
    ULONGLONG cap;
    bool opened;
    std::string body;
    DWORD error;
    long status;
  };
  const Case cases[] = {
      {"whole body", server.Url("/whole"), net::kDefaultMaxResourceBytes, true, big, 0, 200},
      {"error page 404 never opens", server.Url("/missing"), net::kDefaultMaxResourceBytes, false, "",
       ERROR_INTERNET_HTTP_ERROR_STATUS, 404},
      {"error page 500 never opens", server.Url("/broken"), net::kDefaultMaxResourceBytes, false, "",
       ERROR_INTERNET_HTTP_ERROR_STATUS, 500},
      {"a short body fails after its bytes", server.Url("/short"), net::kDefaultMaxResourceBytes, true,
       std::string(40, 'a'), ERROR_INTERNET_CONNECTION_ABORTED, 200},
      {"redirect on the same server followed", server.Url("/moved"), net::kDefaultMaxResourceBytes, true, big, 0, 200},
      {"redirect to a local file refused", server.Url("/to-file"), net::kDefaultMaxResourceBytes, false, "",
       ERROR_INTERNET_UNRECOGNIZED_SCHEME, 0},
      {"announced size above the cap", server.Url("/large"), 1000, false, "", ERROR_INTERNET_RESOURCE_TOO_LARGE, 200},
      {"no other scheme", "file:///etc/passwd", net::kDefaultMaxResourceBytes, false, "",
       ERROR_INTERNET_UNRECOGNIZED_SCHEME, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome o = Fetch(c.url, c.cap);
    EXPECT_EQ(o.opened, c.opened);
    EXPECT_EQ(o.body, c.body);
    EXPECT_EQ(o.error, c.error);
    EXPECT_EQ(o.status, c.status);
  }
}

TEST(Internet, LengthIsWhatTheServerAnnouncesAndLinesLoseTheirEnds)
{
  LoopbackServer server;
  server.Serve("/version", "20240101\r\nВыпуск\n\nlast");
  CInternetSession session;
  std::unique_ptr<CInternetFile> file(session.OpenURL(server.Url("/version").c_str()));
  EXPECT_EQ(file->GetLength(), 22u);  // code page 1251: one byte a letter
  CString line;
  std::vector<std::string> lines;
  while (file->ReadString(line))
    lines.emplace_back(static_cast<const char*>(line));
  EXPECT_EQ(lines, (std::vector<std::string>{"20240101", "Выпуск", "", "last"}));
}

TEST(Internet, NoListenerMeansNoConnection)
{
  const std::string closed = "http://127.0.0.1:" + std::to_string(testing_net::ClosedLoopbackPort()) + "/x";
  EXPECT_FALSE(InternetCheckConnectionA(closed.c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
  EXPECT_EQ(Fetch(closed).error, ERROR_INTERNET_CANNOT_CONNECT);
  EXPECT_FALSE(InternetCheckConnectionA(nullptr, FLAG_ICC_FORCE_CONNECTION, 0));

  LoopbackServer server;
  EXPECT_TRUE(InternetCheckConnectionA(server.Url("/x").c_str(), FLAG_ICC_FORCE_CONNECTION, 0));
}

TEST(Internet, AStopRequestEndsAStalledTransferAtOnce)
{
  LoopbackServer server;
  server.Serve("/stall", Route{200, std::string(1000, 's'), -1, 300, {}});
  std::atomic<bool> stop{false};
  Outcome o;
  std::thread reader([&] {
    net::SetThreadStopFlag(&stop);
    o = Fetch(server.Url("/stall"));
    net::SetThreadStopFlag(nullptr);
  });
  while (server.Stalled() == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  const auto asked = std::chrono::steady_clock::now();
  stop = true;
  reader.join();
  EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(2));
  EXPECT_TRUE(o.opened);
  EXPECT_EQ(o.body.size(), 300u);  // what came before the stall, and no more
  EXPECT_EQ(o.error, ERROR_INTERNET_OPERATION_CANCELLED);
}

}  // namespace
