// The update check's fetch over the network layer: what reaches the check as a page, as "not opened" and as
// "broken", against a server on the loopback address.
#include "app/shell/net_fetch.h"

#include "tests/platform/net/loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using Result = shell::UpdateFetch::Result;

TEST(NetUpdateFetch, AnErrorPageAShortAnswerAndAnOversizedOneAreNeverTakenAsThePage)
{
  testing_net::LoopbackServer server;
  server.Serve("/version.txt", "4.2.0.7\r\n");
  server.Serve("/missing.txt", testing_net::Route{404, "<html>not here</html>", -1, -1, {}});
  server.Serve("/failing.txt", testing_net::Route{500, "oops", -1, -1, {}});
  server.Serve("/short.txt", testing_net::Route{200, "4.2", 100, -1, {}});
  server.Serve("/large.txt", std::string(2000, 'x'));
  const struct {
    const char* path;
    Result result;
    const char* body;
  } cases[] = {
      {"/version.txt", Result::Opened, "4.2.0.7\r\n"},
      {"/missing.txt", Result::NotOpened, ""},
      {"/failing.txt", Result::NotOpened, ""},
      {"/short.txt", Result::Broken, ""},
      {"/large.txt", Result::NotOpened, ""},  // its announced length is over the cap
  };
  shell::NetUpdateFetch fetch(1024);
  std::atomic<bool> stop{false};
  for (const auto& c : cases) {
    std::string body = "left over";
    EXPECT_EQ(fetch.Fetch(server.Url(c.path), &body, stop), c.result) << c.path;
    EXPECT_EQ(body, c.body) << c.path;
  }
  EXPECT_TRUE(fetch.CheckConnection(server.Base(), stop));
  EXPECT_FALSE(fetch.CheckConnection("http://127.0.0.1:" + std::to_string(testing_net::ClosedLoopbackPort()), stop));
}

TEST(NetUpdateFetch, AStopEndsAStalledAnswerPromptly)
{
  testing_net::LoopbackServer server;
  server.Serve("/stalled.txt", testing_net::Route{200, std::string(100, 'v'), -1, 10, {}});
  shell::NetUpdateFetch fetch;
  std::atomic<bool> stop{false};
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    stop = true;
  });
  std::string body;
  EXPECT_NE(fetch.Fetch(server.Url("/stalled.txt"), &body, stop), Result::Opened);
  stopper.join();
}

}  // namespace
