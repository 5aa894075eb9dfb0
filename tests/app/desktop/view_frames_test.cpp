// The view of the live program shows each new frame on the X screen by itself: after a new project, the view
// commands, a drag that turns the 3D view and the wheel, the window's pixels read back from the screen change, with no
// resize or exposure to force them out. Pictures of the sequence go to build/artifacts/x-view-*.png.
#include "tests/app/desktop/live_program.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace xsession;
using desktoptest::LiveProgram;

constexpr unsigned kCommand = 0x0111;  // WM_COMMAND

std::string Artifact(const std::string& name) { return std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name; }

TEST(ViewFrames, EveryViewCommandAndDragReachesTheScreen)
{
  std::string why;
  auto desktop = Desktop::Start({}, &why);
  if (!desktop) {
    GTEST_SKIP() << why;
  }
  LiveProgram program;
  ASSERT_TRUE(program.Start(*desktop));
  const XWindow main = program.MainWindow(*desktop);
  ASSERT_NE(main, 0u) << program.Trace();
  const Rect frame = desktop->Geometry(main);
  ASSERT_GT(frame.width, 400);
  ASSERT_TRUE(desktop->WaitForStill(frame, 1s, 60s));

  // A new project with a straight road (the command of Файл > Создать > Прямая дорога); the view fills the
  // frame between the panes.
  ASSERT_TRUE(program.Post(kCommand, 32849, 0));
  ASSERT_TRUE(desktop->WaitForStill(frame, 1s, 60s));
  const Rect view{frame.x + frame.width * 16 / 100, frame.y + frame.height * 14 / 100, frame.width * 69 / 100,
                  frame.height * 82 / 100};
  const int cx = view.x + view.width / 2;
  const int cy = view.y + view.height / 2;
  ASSERT_TRUE(SavePng(desktop->GrabScreen(), Artifact("x-view-0-opened.png")));

  struct Step {
    const char* name;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"1-3d", [&] { program.Post(kCommand, 32778, 0); }},
      {"2-drag", [&] { desktop->Drag(cx - 120, cy, cx + 120, cy + 40); }},
      {"3-top", [&] { program.Post(kCommand, 32842, 0); }},
      {"4-3d", [&] { program.Post(kCommand, 32778, 0); }},
      {"5-2d", [&] { program.Post(kCommand, 1021, 0); }},
  };
  const Rect before = desktop->Geometry(main);
  for (const Step& step : steps) {
    const Image was = desktop->Grab(view);
    step.act();
    EXPECT_TRUE(desktop->WaitForChange(view, was, 10s)) << step.name << ": the view kept its old picture";
    desktop->WaitForStill(view, 500ms, 10s);
    const Image now = desktop->GrabWindow(main);
    SavePng(now, Artifact(std::string("x-view-") + step.name + ".png"));
    EXPECT_GT(desktop->Grab(view).Colours(), 2u) << step.name << ": the view is blank";
    ASSERT_TRUE(program.Process().Alive()) << step.name;
  }
  // The wheel over the view, which has the keyboard after a click, zooms it: in, then back out.
  desktop->Click(cx, cy);
  desktop->WaitForStill(view, 500ms, 10s);
  for (const auto& [name, clicks] : {std::pair{"6-wheel-up", 3}, std::pair{"7-wheel-down", -6}}) {
    const Image was = desktop->Grab(view);
    desktop->Wheel(cx, cy, clicks);
    EXPECT_TRUE(desktop->WaitForChange(view, was, 10s)) << name << ": the wheel left the view as it was";
    desktop->WaitForStill(view, 500ms, 10s);
    SavePng(desktop->GrabWindow(main), Artifact(std::string("x-view-") + name + ".png"));
  }

  // Nothing was resized or moved to bring the frames out.
  const Rect after = desktop->Geometry(main);
  EXPECT_EQ(after.width, before.width);
  EXPECT_EQ(after.height, before.height);
}

}  // namespace
