// What the desktop and its tools see of the live program's windows, and the names the desktop hands it: the main
// window found by its class and process, a dialog kept above the window it belongs to, popups typed as such; a
// project named in Russian on the command line (UTF-8, as a file manager passes it) opens, and a name the program's
// code page cannot spell is told and the program goes on with a new project.
#include "tests/app/desktop/live_program.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <X11/Xlib.h>

namespace {

using namespace xsession;
using desktoptest::LiveProgram;

constexpr unsigned kCommand = 0x0111;  // WM_COMMAND

std::string Artifact(const std::string& name) { return std::string(TESMIRA_ARTIFACTS_DIR) + "/" + name; }

std::string Sample() { return std::string(TESMIRA_SOURCE_DIR) + "/tests/document/fuzz/corpus/v6.0.42.0.qorr5"; }

class DesktopNames : public ::testing::Test {
protected:
  void SetUp() override
  {
    std::string why;
    desktop_ = Desktop::Start({}, &why);
    if (!desktop_) {
      GTEST_SKIP() << why;
    }
  }
  std::unique_ptr<Desktop> desktop_;
};

XWindow DefaultRoot(const Desktop& desktop) { return DefaultRootWindow(desktop.Dpy()); }

bool Has(const std::vector<std::string>& names, const std::string& name)
{
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The program's tooltip windows, mapped or not: popups of its own the window manager does not manage.
std::vector<XWindow> TooltipWindows(const Desktop& desktop)
{
  std::vector<XWindow> found;
  ::Window root = 0;
  ::Window parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(desktop.Dpy(), DefaultRoot(desktop), &root, &parent, &children, &count) == 0) {
    return found;
  }
  for (unsigned i = 0; i < count; ++i) {
    if (Has(desktop.AtomProperty(children[i], "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_TOOLTIP")) {
      found.push_back(children[i]);
    }
  }
  XFree(children);
  return found;
}

int MapState(const Desktop& desktop, XWindow window)
{
  XWindowAttributes attributes{};
  return XGetWindowAttributes(desktop.Dpy(), window, &attributes) != 0 ? attributes.map_state : -1;
}

// A tip shown over a toolbar button goes from the screen when it hides: its window is unmapped, not left up
// empty or moved away.
TEST_F(DesktopNames, AToolTipThatHidesIsUnmapped)
{
  LiveProgram program;
  ASSERT_TRUE(program.Start(*desktop_));
  const XWindow main = program.MainWindow(*desktop_);
  ASSERT_NE(main, 0u) << program.Trace();
  const Rect frame = desktop_->Geometry(main);
  ASSERT_TRUE(desktop_->WaitForStill(frame, 1s, 60s));
  auto shown = [&]() -> XWindow {
    for (XWindow tip : TooltipWindows(*desktop_)) {
      if (MapState(*desktop_, tip) == IsViewable) {
        return tip;
      }
    }
    return 0;
  };
  // Along the row of the standard toolbar, under the menu bar, until a button offers its tip.
  XWindow tip = 0;
  for (int x = frame.x + 12; x < frame.x + 400 && tip == 0; x += 23) {
    desktop_->MoveTo(x, frame.y + 50);
    WaitUntil([&] { return (tip = shown()) != 0; }, 3s);
  }
  ASSERT_NE(tip, 0u) << "no tip came up over the toolbar";
  SavePng(desktop_->GrabScreen(), Artifact("x-names-tooltip-shown.png"));
  // Away over the view, and a click there: the tip hides.
  desktop_->Click(frame.x + frame.width / 2, frame.y + frame.height / 2);
  EXPECT_TRUE(WaitUntil([&] { return MapState(*desktop_, tip) == IsUnmapped; }, 10s))
      << "map state " << MapState(*desktop_, tip);
  SavePng(desktop_->GrabScreen(), Artifact("x-names-tooltip-hidden.png"));
}

TEST_F(DesktopNames, WindowsCarryTheirClassProcessTypeAndOwner)
{
  LiveProgram program;
  ASSERT_TRUE(program.Start(*desktop_));
  const XWindow main =
      desktop_->FindWindow(ByClass("qorroad").Name("Tesmira Road").Pid(program.Process().Pid()), 60s);
  ASSERT_NE(main, 0u) << program.Trace();
  EXPECT_EQ(desktop_->TextProperty(main, "WM_CLASS"), std::string("qorroad\0Qorroad\0", 16));
  EXPECT_NE(desktop_->TextProperty(main, "WM_NAME").find("Tesmira Road"), std::string::npos);
  EXPECT_TRUE(Has(desktop_->AtomProperty(main, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_NORMAL"));
  EXPECT_TRUE(desktop_->LongProperty(main, "WM_TRANSIENT_FOR").empty());
  // The program's icon: the picture as drawn and the small one, each led by its size; clear outside its rounded
  // corners, opaque within, with the lamp's yellow at its head.
  const std::vector<long> icon = desktop_->LongProperty(main, "_NET_WM_ICON");
  ASSERT_EQ(icon.size(), 2u + 48 * 48 + 2u + 16 * 16);
  EXPECT_EQ(icon[0], 48);
  EXPECT_EQ(icon[1], 48);
  EXPECT_EQ(icon[2 + 48 * 48], 16);
  EXPECT_EQ(icon[2 + 48 * 48 + 1], 16);
  auto pixel = [&](int x, int y) { return static_cast<unsigned long>(icon[2 + y * 48 + x]) & 0xFFFFFFFFul; };
  EXPECT_EQ(pixel(0, 0) >> 24, 0u);
  EXPECT_EQ(pixel(24, 40) >> 24, 0xFFu);
  const unsigned long lamp = pixel(24, 10);
  EXPECT_GT((lamp >> 16) & 0xFF, 200u);
  EXPECT_GT((lamp >> 8) & 0xFF, 180u);
  EXPECT_LT(lamp & 0xFF, 160u);
  ASSERT_TRUE(desktop_->WaitForStill(desktop_->Geometry(main), 1s, 60s));

  // The About box: a dialog over the main window, its owner.
  ASSERT_TRUE(program.Post(kCommand, 57664, 0));
  const XWindow about = desktop_->FindWindow(ByName(Utf8(U"О Программе")).Class("qorroad"), 20s);
  ASSERT_NE(about, 0u);
  EXPECT_TRUE(Has(desktop_->AtomProperty(about, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DIALOG"));
  const std::vector<long> owner = desktop_->LongProperty(about, "WM_TRANSIENT_FOR");
  ASSERT_EQ(owner.size(), 1u);
  EXPECT_EQ(static_cast<XWindow>(owner[0]), main);
  // The window manager's own order, bottom to top.
  const std::vector<long> stack = desktop_->LongProperty(DefaultRoot(*desktop_), "_NET_CLIENT_LIST_STACKING");
  const auto at = [&](XWindow w) { return std::find(stack.begin(), stack.end(), static_cast<long>(w)) - stack.begin(); };
  EXPECT_GT(at(about), at(main)) << "the dialog lies above its owner";
  desktop_->WaitForStill(desktop_->Geometry(about), 300ms, 5s);
  SavePng(desktop_->GrabScreen(), Artifact("x-names-about.png"));
  ASSERT_TRUE(desktop_->Key("Return"));
  EXPECT_TRUE(WaitUntil([&] { return !desktop_->Viewable(about); }, 10s));

  // The windows the manager leaves alone (menus, tips, lists) say what they are.
  for (XWindow w : desktop_->ClientWindows()) {
    const std::vector<long> pid = desktop_->LongProperty(w, "_NET_WM_PID");
    if (pid.empty() || pid[0] != program.Process().Pid() || !desktop_->LongProperty(w, "WM_STATE").empty()) {
      continue;
    }
    const std::vector<std::string> type = desktop_->AtomProperty(w, "_NET_WM_WINDOW_TYPE");
    EXPECT_TRUE(Has(type, "_NET_WM_WINDOW_TYPE_POPUP_MENU") || Has(type, "_NET_WM_WINDOW_TYPE_TOOLTIP") ||
                Has(type, "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU"))
        << w;
  }
  EXPECT_TRUE(program.Process().Alive());
}

TEST_F(DesktopNames, AProjectNamedInRussianOnTheCommandLineOpens)
{
  LiveProgram program;
  const std::string project = program.Documents() + "/" + Utf8(U"Проект - 1.qorr5");
  ASSERT_TRUE(desktoptest::CopyFile(Sample(), project));
  ASSERT_TRUE(program.Start(*desktop_, {project}));
  const XWindow main = desktop_->FindWindow(ByName(Utf8(U"Проект - 1")).Class("qorroad"), 60s);
  ASSERT_NE(main, 0u) << program.Trace();
  // A start that opened its file ends the trace with step 17, and makes no new document (step 20).
  ASSERT_TRUE(WaitUntil([&] { return program.Trace().find("\n17\n") != std::string::npos; }, 30s))
      << program.Trace();
  EXPECT_EQ(program.Trace().find("\n20\n"), std::string::npos);
  desktop_->WaitForStill(desktop_->Geometry(main), 1s, 30s);
  SavePng(desktop_->GrabScreen(), Artifact("x-names-russian-argument.png"));
  EXPECT_TRUE(program.Process().Alive());
}

TEST_F(DesktopNames, ANameTheCodePageCannotSpellIsToldAndANewProjectMade)
{
  LiveProgram program;
  const std::string project = program.Documents() + "/" + Utf8(U"План 東京.qorr5");
  ASSERT_TRUE(desktoptest::CopyFile(Sample(), project));
  ASSERT_TRUE(program.Start(*desktop_, {project}));
  const XWindow message = desktop_->FindWindow(ByName("Tesmira Road").Class("qorroad"), 60s);
  ASSERT_NE(message, 0u) << program.Trace();
  EXPECT_TRUE(Has(desktop_->AtomProperty(message, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DIALOG"));
  desktop_->WaitForStill(desktop_->Geometry(message), 300ms, 5s);
  SavePng(desktop_->GrabScreen(), Artifact("x-names-unspellable.png"));
  EXPECT_TRUE(program.Process().Alive());
  // Its OK button, in the middle of the bottom row.
  const Rect box = desktop_->Geometry(message);
  desktop_->Click(box.x + box.width / 2, box.y + box.height - 24);
  // The program goes on: its main window with a new project (trace step 20).
  ASSERT_TRUE(WaitUntil([&] { return program.Trace().find("\n20\n") != std::string::npos; }, 60s))
      << program.Trace();
  EXPECT_NE(desktop_->FindWindow(ByName("Tesmira Road").Class("qorroad"), 30s), 0u);
  EXPECT_TRUE(program.Process().Alive());
}

}  // namespace
