// What the library holds between calls: its projects, the view it draws in and the matrices of its last frame.
// One library per process, as one module is loaded once.
#pragma once

#include "outside/grafocore/drawing_block.h"
#include "platform/base/wintypes.h"

namespace grafocore {

struct ViewState {
  double modelview[16] = {};
  double projection[16] = {};
  int viewport[4] = {0, 0, 0, 0};
  bool known = false;  // a frame has been drawn with a drawing
};

struct Library {
  Projects projects;
  int nextId = 1;
  HWND window = nullptr;
  ViewState view;
};

Library& State();
// The current project; null when none is set or the id names no project.
Project* Current();
// A free id with the library's bit.
int NewId();

}  // namespace grafocore
