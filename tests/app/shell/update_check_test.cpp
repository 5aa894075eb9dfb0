// The update and news check against a scripted web site, and the depth-buffer check.
#include "shell_env.h"

#include "model/shell/window_messages.h"
#include "platform/base/guid.h"

#include <condition_variable>
#include <map>
#include <set>

namespace {

using shelltest::PumpUntil;
using shelltest::StandInFrame;

constexpr char kSite[] = "http://127.0.0.1:9/";
const shell::UpdateAddresses kAddresses{kSite, "http://127.0.0.1:9/version.txt", "http://127.0.0.1:9/version_info.txt"};

struct Answer {
  shell::UpdateFetch::Result result = shell::UpdateFetch::Result::NotOpened;
  std::string body;
};

class ScriptedSite : public shell::UpdateFetch {
public:
  bool online = true;
  std::map<std::string, Answer> answers;  // by address without the query
  std::vector<std::string> requests;
  // A request blocks here until released or stopped, when set.
  bool stall = false;
  std::mutex lock;
  std::condition_variable wake;
  bool released = false;
  bool sawStop = false;

  bool CheckConnection(const std::string& address, const std::atomic<bool>&) override
  {
    EXPECT_EQ(address, kSite);
    return online;
  }
  Result Fetch(const std::string& address, std::string* body, const std::atomic<bool>& stop) override
  {
    std::unique_lock<std::mutex> guard(lock);
    requests.push_back(address);
    if (stall) {
      while (!released && !stop) {
        wake.wait_for(guard, std::chrono::milliseconds(10));
      }
      sawStop = stop;
      if (stop) {
        return Result::Broken;
      }
    }
    auto found = answers.find(address.substr(0, address.find('?')));
    if (found == answers.end()) {
      return Result::NotOpened;
    }
    *body = found->second.body;
    return found->second.result;
  }
};

class RecordingUi : public shell::UpdateUi {
public:
  std::vector<std::pair<UINT, UINT>> reports;
  std::vector<Offer> offers;
  bool tickBox = false;

  void Report(HWND, UINT stringId, UINT icon) override { reports.emplace_back(stringId, icon); }
  bool OfferUpdate(HWND, const Offer& offer, const std::atomic<bool>&) override
  {
    offers.push_back(offer);
    return tickBox;
  }
};

std::string Info(DWORD version, const std::string& news, int newsId)
{
  return std::to_string(version) + "\r\nрелиз 6.1\r\n" + news + "\r\n" + std::to_string(newsId) + "\r\n";
}

std::vector<std::string> NewsPosted()
{
  std::vector<std::string> news;
  MSG msg{};
  while (PeekMessage(&msg, nullptr, UM_SHOWNEWS, UM_SHOWNEWS, PM_REMOVE)) {
    EXPECT_EQ(msg.wParam, std::strlen(reinterpret_cast<char*>(msg.lParam)) + 1);
    news.emplace_back(reinterpret_cast<char*>(msg.lParam));
    delete[] reinterpret_cast<char*>(msg.lParam);
  }
  return news;
}

// One run after another on the same profile, as successive starts and menu commands of the program.
TEST(UpdateCheck, CasesInOrderOnOneProfile)
{
  StandInFrame frame;
  shelltest::MemoryHost host;
  host.main = frame.hwnd;
  const DWORD own = shell::kOwnVersion;
  ASSERT_EQ(own, 100674048u);
  const DWORD newer = 0x06002B00;
  const DWORD newest = 0x07000000;
  const std::string news = "https://tesmira-road.example/news/5";

  struct Step {
    const char* what;
    bool automatic;
    bool online;
    Answer info;
    bool tick;
    std::vector<int> offeredModes;
    std::vector<std::pair<UINT, UINT>> reports;
    std::vector<std::string> news;
    int version, offerUp, newsId;  // Updates\ afterwards
  };
  using R = shell::UpdateFetch::Result;
  const Step steps[] = {
      {"own version, manual: no updates", false, true, {R::Opened, Info(own, news, 5)}, false, {1}, {}, {}, 0, 1, 0},
      {"own version, automatic: news 5", true, true, {R::Opened, Info(own, news, 5)}, false, {}, {}, {news}, 0, 1, 5},
      {"news 5 again: nothing", true, true, {R::Opened, Info(own, news, 5)}, false, {}, {}, {}, 0, 1, 5},
      {"news 6 is shown", true, true, {R::Opened, Info(own, news + "6", 6)}, false, {}, {}, {news + "6"}, 0, 1, 6},
      {"news not on the web is never shown", true, true, {R::Opened, Info(own, "file:///etc/passwd", 9)}, false, {},
       {}, {}, 0, 1, 6},
      {"newer version offered and declined", true, true, {R::Opened, Info(newer, "", 0)}, true, {0}, {}, {},
       static_cast<int>(newer), 0, 6},
      {"declined version: automatic goes to the news", true, true, {R::Opened, Info(newer, news + "7", 7)}, false,
       {}, {}, {news + "7"}, static_cast<int>(newer), 0, 7},
      {"declined version: manual still offers", false, true, {R::Opened, Info(newer, "", 0)}, true, {0}, {}, {},
       static_cast<int>(newer), 0, 7},
      {"a still newer version is offered again", true, true, {R::Opened, Info(newest, "", 0)}, false, {0}, {}, {},
       static_cast<int>(newer), 0, 7},
      {"404 on the version info, manual", false, true, {R::NotOpened, ""}, false, {}, {{525, MB_ICONERROR}}, {},
       static_cast<int>(newer), 0, 7},
      {"404 on the version info, automatic", true, true, {R::NotOpened, ""}, false, {}, {}, {},
       static_cast<int>(newer), 0, 7},
      {"transfer broken, manual", false, true, {R::Broken, ""}, false, {}, {{524, MB_ICONERROR}}, {},
       static_cast<int>(newer), 0, 7},
      {"offline, manual", false, false, {}, false, {}, {{524, MB_ICONWARNING}}, {}, static_cast<int>(newer), 0, 7},
      {"offline, automatic", true, false, {}, false, {}, {}, {}, static_cast<int>(newer), 0, 7},
  };
  std::set<std::string> ids;
  std::size_t requests = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    ScriptedSite site;
    site.online = step.online;
    site.answers[kAddresses.versionText] = {R::Opened, "строка 1\nстрока 2\n"};
    site.answers[kAddresses.versionInfo] = step.info;
    RecordingUi ui;
    ui.tickBox = step.tick;
    std::atomic<bool> stop{false};
    shell::RunUpdateCheck(step.automatic, host, site, ui, kAddresses, stop);

    std::vector<int> modes;
    for (const auto& offer : ui.offers) {
      modes.push_back(offer.mode);
      EXPECT_EQ(offer.showBox, step.automatic);
      if (offer.mode == 0) {
        EXPECT_EQ(offer.releaseText, "релиз 6.1");
        EXPECT_EQ(offer.versionText, "строка 1строка 2");
      }
    }
    EXPECT_EQ(modes, step.offeredModes);
    EXPECT_EQ(ui.reports, step.reports);
    EXPECT_EQ(NewsPosted(), step.news);
    EXPECT_EQ(host.GetProfileInt("Updates", "Version", 0), step.version);
    EXPECT_EQ(host.GetProfileInt("Updates", "OfferUp", 1), step.offerUp);
    EXPECT_EQ(host.GetProfileInt("Updates", "News", 0), step.newsId);
    for (const std::string& request : site.requests) {
      auto query = request.find("?id=");
      ASSERT_NE(query, std::string::npos) << request;
      EXPECT_TRUE(GuidFromString(request.substr(query + 4)).has_value()) << request;
      ids.insert(request.substr(query + 4));
      ++requests;
    }
  }
  EXPECT_EQ(ids.size(), requests);  // a fresh id for every request
  EXPECT_GT(requests, 20u);
}

TEST(UpdateCheck, WithoutAMainWindowNothingIsShown)
{
  shelltest::MemoryHost host;
  ScriptedSite site;
  site.answers[kAddresses.versionInfo] = {shell::UpdateFetch::Result::Opened,
                                          Info(0x07000000, "https://tesmira-road.example/n", 3)};
  RecordingUi ui;
  std::atomic<bool> stop{false};
  shell::RunUpdateCheck(false, host, site, ui, kAddresses, stop);
  site.online = false;
  shell::RunUpdateCheck(false, host, site, ui, kAddresses, stop);
  EXPECT_TRUE(ui.offers.empty());
  EXPECT_TRUE(ui.reports.empty());
  EXPECT_EQ(host.GetProfileInt("Updates", "News", 0), 0);
}

TEST(VersionInfo, MissingAndEmptyLinesReadZero)
{
  auto empty = shell::ParseVersionInfo("");
  EXPECT_EQ(empty.newest, 0u);
  EXPECT_EQ(empty.newsId, 0);
  auto partial = shell::ParseVersionInfo("4294967295\n\nhttps://x.example/\n");
  EXPECT_EQ(partial.newest, 0xFFFFFFFFu);  // compared unsigned
  EXPECT_EQ(partial.newsAddress, "https://x.example/");
  EXPECT_EQ(partial.newsId, 0);
}

class WorkerThreadsTest : public ::testing::Test {
protected:
  void SetUp() override { host_.main = frame_.hwnd; }
  shell::FrameWorkers::Parts Parts()
  {
    shell::FrameWorkers::Parts parts;
    parts.host = &host_;
    parts.fetch = site_;
    parts.updateUi = ui_;
    parts.addresses = kAddresses;
    return parts;
  }
  shelltest::RuntimeFolder runtime_;
  StandInFrame frame_;
  shelltest::MemoryHost host_;
  std::shared_ptr<ScriptedSite> site_ = std::make_shared<ScriptedSite>();
  std::shared_ptr<RecordingUi> ui_ = std::make_shared<RecordingUi>();
};

TEST_F(WorkerThreadsTest, ASecondCheckWhileOneRunsIsRefused)
{
  site_->stall = true;
  shell::FrameWorkers workers(Parts());
  ASSERT_TRUE(workers.StartManualUpdateCheck());
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard<std::mutex> guard(site_->lock);
    return !site_->requests.empty();
  }));
  EXPECT_FALSE(workers.StartManualUpdateCheck());
  {
    std::lock_guard<std::mutex> guard(site_->lock);
    site_->released = true;
  }
  ASSERT_TRUE(PumpUntil([&] { return !workers.UpdateCheckRunning(); }));
  EXPECT_EQ(ui_->reports, (std::vector<std::pair<UINT, UINT>>{{525, MB_ICONERROR}}));
  EXPECT_TRUE(workers.StartManualUpdateCheck());
}

TEST_F(WorkerThreadsTest, ClosingDuringAStalledCheckStopsItWithinTheBound)
{
  site_->stall = true;
  auto workers = std::make_unique<shell::FrameWorkers>(Parts());
  ASSERT_TRUE(workers->StartManualUpdateCheck());
  ASSERT_TRUE(PumpUntil([&] {
    std::lock_guard<std::mutex> guard(site_->lock);
    return !site_->requests.empty();
  }));
  auto before = std::chrono::steady_clock::now();
  workers.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_TRUE(site_->sawStop);
  EXPECT_TRUE(ui_->reports.empty());  // a stopped check tells nobody
}

TEST_F(WorkerThreadsTest, SendInfoZeroStartsNoCheckButTheMenuStillWorks)
{
  host_.WriteProfileInt("Settings", "SendInfo", 0);
  site_->online = false;
  {
    shell::FrameWorkers workers(Parts());
    workers.StartOnFirstShow();
    EXPECT_FALSE(workers.UpdateCheckRunning());
    ASSERT_TRUE(workers.StartManualUpdateCheck());
    ASSERT_TRUE(PumpUntil([&] { return !workers.UpdateCheckRunning(); }));
  }
  EXPECT_EQ(ui_->reports, (std::vector<std::pair<UINT, UINT>>{{524, MB_ICONWARNING}}));
}

TEST_F(WorkerThreadsTest, DepthCheckCases)
{
  struct Case {
    int answer, word, showBefore;
    bool tick;
    int warnings, showAfter;
  };
  const Case cases[] = {
      {0, 0, 1, false, 0, 1},  // the view does not know its depth yet
      {1, 1, 0, false, 0, 1},  // more than 16 bits: the warning may come again later
      {1, 0, 1, false, 1, 1},
      {1, 0, 1, true, 1, 0},   // declined
      {1, 0, 0, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.answer << " " << c.word << " " << c.showBefore << " " << c.tick);
    StandInFrame::depthAnswer = c.answer;
    StandInFrame::depthWord = c.word;
    host_.WriteProfileInt("Settings", "ShowZBuffer", c.showBefore);
    host_.WriteProfileInt("Settings", "SendInfo", 0);
    int warnings = 0;
    auto parts = Parts();
    parts.depthWarning = [&](HWND owner, const std::atomic<bool>&) {
      EXPECT_EQ(owner, frame_.hwnd);
      ++warnings;
      return c.tick;
    };
    shell::FrameWorkers workers(std::move(parts));
    workers.StartOnFirstShow();
    // The check sends to the frame, so the frame's thread must handle messages meanwhile.
    ASSERT_TRUE(PumpUntil([&] { return !workers.DepthCheckRunning(); }));
    EXPECT_EQ(warnings, c.warnings);
    EXPECT_EQ(host_.GetProfileInt("Settings", "ShowZBuffer", 1), c.showAfter);
  }
}

}  // namespace
