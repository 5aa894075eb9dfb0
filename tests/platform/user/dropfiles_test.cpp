// Files dropped by another program: who is told, which names it reads, and where the drop fell.
#include "platform/user/user.h"
#include "tests/platform/user/recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using usertest::Recorder;

namespace {

struct Drop {
  HWND window = nullptr;
  std::vector<std::string> names;
  POINT point{};
  BOOL inClient = FALSE;
};

// The drops waiting in the queue, each read and given back as a window would.
std::vector<Drop> TakeDrops()
{
  std::vector<Drop> drops;
  MSG msg;
  while (PeekMessage(&msg, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE)) {
    Drop d;
    d.window = msg.hwnd;
    HDROP drop = reinterpret_cast<HDROP>(msg.wParam);
    const UINT count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      std::string name(DragQueryFile(drop, i, nullptr, 0), '\0');
      EXPECT_EQ(DragQueryFile(drop, i, name.data(), static_cast<UINT>(name.size() + 1)), name.size());
      d.names.push_back(name);
    }
    d.inClient = DragQueryPoint(drop, &d.point);
    DragFinish(drop);
    drops.push_back(d);
  }
  return drops;
}

struct Frame {
  Recorder rec;
  HWND main = nullptr;
  HWND view = nullptr;
  // main (100,100)-(500,400) captioned; view a child at (20,20) 200x100 of its client area
  Frame()
  {
    main = rec.Create("main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, RECT{100, 100, 500, 400});
    view = rec.Create("view", WS_CHILD | WS_VISIBLE, main, RECT{20, 20, 220, 120});
    rec.Pump();
  }
  ~Frame() { DestroyWindow(main); }
  POINT ViewPoint(int x, int y) const
  {
    POINT p{x, y};
    ClientToScreen(view, &p);
    return p;
  }
};

TEST(DroppedFiles, TheAcceptingAncestorReadsTheLocalFilesInCp1251AndTheDropPoint)
{
  Frame f;
  DragAcceptFiles(f.main, TRUE);
  const std::string uris =
      "# from the file manager\r\n"
      "file:///home/user/%D0%94%D0%BE%D1%80%D0%BE%D0%B3%D0%B0%201.qorr5\r\n"  // "Дорога 1.qorr5"
      "http://example.org/road.qorr5\r\n"
      "file://otherhost/share/far.qorr5\r\n"
      "file:///tmp/%E2%9C%93.qorr5\r\n"  // a check mark: cp1251 cannot spell the name
      "file://localhost/tmp/b.qorr4";
  const POINT at = f.ViewPoint(5, 7);
  EXPECT_TRUE(user::InjectFileDrop(at, uris));
  const std::vector<Drop> drops = TakeDrops();
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].window, f.main);  // the view does not take files; its frame does
  EXPECT_EQ(drops[0].names,
            (std::vector<std::string>{"/home/user/\xC4\xEE\xF0\xEE\xE3\xE0 1.qorr5", "/tmp/b.qorr4"}));
  POINT client = at;
  ScreenToClient(f.main, &client);
  EXPECT_EQ(drops[0].point.x, client.x);
  EXPECT_EQ(drops[0].point.y, client.y);
  EXPECT_TRUE(drops[0].inClient);

  // On the caption the point lies outside the client area.
  RECT frame;
  GetWindowRect(f.main, &frame);
  EXPECT_TRUE(user::InjectFileDrop(POINT{frame.left + 60, frame.top + 5}, "file:///a"));
  const std::vector<Drop> caption = TakeDrops();
  ASSERT_EQ(caption.size(), 1u);
  EXPECT_FALSE(caption[0].inClient);
}

TEST(DroppedFiles, NothingReachesAWindowThatDoesNotAcceptOrADropWithoutLocalFiles)
{
  Frame f;
  const POINT at = f.ViewPoint(5, 7);
  EXPECT_FALSE(user::InjectFileDrop(at, "file:///tmp/a.qorr5"));
  DragAcceptFiles(f.main, TRUE);
  DragAcceptFiles(f.main, FALSE);
  EXPECT_FALSE(user::InjectFileDrop(at, "file:///tmp/a.qorr5"));
  DragAcceptFiles(f.view, TRUE);
  // A zero, escaped or sent as it is, would split one name in two.
  const std::string refused = "https://example.org/a\r\nfile:/relative\r\nfile:///bad%00zero\r\n"
                              "file:///tmp/a.qorr5" + std::string(1, '\0') + "/etc/passwd\r\n";
  EXPECT_FALSE(user::InjectFileDrop(at, refused));
  EXPECT_TRUE(TakeDrops().empty());
  EXPECT_TRUE(user::InjectFileDrop(at, "file:///tmp/a.qorr5\n"));
  const std::vector<Drop> drops = TakeDrops();
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].window, f.view);
}

TEST(DroppedFiles, QueryingANameIntoASmallBufferCutsItAndEndsIt)
{
  Frame f;
  DragAcceptFiles(f.main, TRUE);
  ASSERT_TRUE(user::InjectFileDrop(f.ViewPoint(1, 1), "file:///tmp/long-name.qorr5"));
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE));
  HDROP drop = reinterpret_cast<HDROP>(msg.wParam);
  char small[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(DragQueryFile(drop, 0, small, sizeof small), 4u);
  EXPECT_STREQ(small, "/tmp");
  EXPECT_EQ(DragQueryFile(drop, 1, small, sizeof small), 0u);  // past the last name
  DragFinish(drop);
}

}  // namespace
