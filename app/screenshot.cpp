// `make run` under Xvfb: the picture of the whole X screen, as a PNG, so the program can be looked at later.
#include "platform/display/presenter.h"
#include "platform/gdi/png.h"
#include "platform/gdi/surface.h"

#include <cstdio>

int main(int argc, char** argv)
{
  if (argc != 2) {
    std::fprintf(stderr, "usage: qorroad_screenshot <file.png>\n");
    return 2;
  }
  std::unique_ptr<display::Presenter> presenter = display::MakeX11Presenter();
  if (!presenter) {
    std::fprintf(stderr, "qorroad_screenshot: no X display\n");
    return 1;
  }
  gdi::Surface screen;
  if (!presenter->Capture(screen) || !gdi::SavePng(screen, argv[1])) {
    std::fprintf(stderr, "qorroad_screenshot: the screen could not be saved to %s\n", argv[1]);
    return 1;
  }
  return 0;
}
